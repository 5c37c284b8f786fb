#include "kv_screen_inhibitor.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QEvent>
#include <QGuiApplication>
#include <QWidget>

#include "kv_app_version.h"
#include "kv_trace.h"

namespace {
const QString SERVICE = QStringLiteral("org.freedesktop.ScreenSaver");
const QString PATH = QStringLiteral("/org/freedesktop/ScreenSaver");

QDBusMessage call(const QString& method)
{
    return QDBusMessage::createMethodCall(SERVICE, PATH, SERVICE, method);
}
} // namespace

KV_Screen_Inhibitor::KV_Screen_Inhibitor(QWidget* window, const QDBusConnection& bus)
    : QObject(window)
    , m_window(window)
    , m_bus(bus)
{
    window->installEventFilter(this);
    connect(qApp, &QGuiApplication::applicationStateChanged, this, &KV_Screen_Inhibitor::update);
}

KV_Screen_Inhibitor::~KV_Screen_Inhibitor()
{
    // The service also drops the request when our bus connection closes.
    if (m_cookie)
        m_bus.call(call(QStringLiteral("UnInhibit")) << *m_cookie, QDBus::NoBlock);
}

void KV_Screen_Inhibitor::set_enabled(bool enabled)
{
    m_enabled = enabled;
    update();
}

bool KV_Screen_Inhibitor::wanted() const
{
    const Qt::ApplicationState state = QGuiApplication::applicationState();
    return m_enabled && m_window->isVisible() && !m_window->isMinimized() && state != Qt::ApplicationHidden &&
           state != Qt::ApplicationSuspended;
}

bool KV_Screen_Inhibitor::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show || event->type() == QEvent::Hide || event->type() == QEvent::WindowStateChange)
        update();
    return QObject::eventFilter(watched, event);
}

void KV_Screen_Inhibitor::update()
{
    if (m_pending)
        return; // decided again when the answer is in
    if (wanted() && !m_cookie) {
        m_pending = true;
        const QDBusPendingCall pending =
            m_bus.asyncCall(call(QStringLiteral("Inhibit")) << QString::fromLatin1(KV_APP_NAME)
                                                             << QStringLiteral("Wandpanel: Bildschirm aktiv lassen"));
        auto* watcher = new QDBusPendingCallWatcher(pending, this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* done) {
            done->deleteLater();
            inhibit_answered(done->reply());
        });
    } else if (!wanted() && m_cookie) {
        m_bus.call(call(QStringLiteral("UnInhibit")) << *m_cookie, QDBus::NoBlock);
        m_cookie.reset();
        TRACE(kv_trace::LEVEL_MSG, kv_trace::AREA_ZRQ, "SCREEN SAVER ALLOWED AGAIN\n");
        emit inhibiting_changed(false);
    }
}

void KV_Screen_Inhibitor::inhibit_answered(const QDBusMessage& reply)
{
    m_pending = false;
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        if (!m_missing_told) {
            m_missing_told = true;
            TRACE(kv_trace::LEVEL_MSG, kv_trace::AREA_ZRQ,
                  "NO SCREEN SAVER SERVICE: the screen may blank (%s)\n", qPrintable(reply.errorName()));
        }
        return; // not asked again until something changes
    }
    m_cookie = reply.arguments().constFirst().toUInt();
    TRACE(kv_trace::LEVEL_MSG, kv_trace::AREA_ZRQ, "SCREEN SAVER INHIBITED\n");
    emit inhibiting_changed(true);
    update(); // released at once when no longer wanted meanwhile
}
