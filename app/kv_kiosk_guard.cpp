#include "kv_kiosk_guard.h"

#include <QApplication>
#include <QMainWindow>
#include <QMouseEvent>
#include <QTouchEvent>
#include <QWindow>

#include "kv_gui_overlay_pin.h"
#include "kv_trace.h"

KV_Kiosk_Guard::KV_Kiosk_Guard(QMainWindow* window, std::function<QString()> pin)
    : QObject(window)
    , m_window(window)
    , m_pin(std::move(pin))
{
    m_hold.setSingleShot(true);
    m_hold.setInterval(HOLD_MS);
    connect(&m_hold, &QTimer::timeout, this, &KV_Kiosk_Guard::ask_pin);
}

void KV_Kiosk_Guard::set_active(bool active)
{
    if (active == m_active)
        return;
    m_active = active;
    m_hold.stop();
    if (active) {
        qApp->installEventFilter(this);
        m_window->setWindowState(m_window->windowState() | Qt::WindowFullScreen);
    } else {
        qApp->removeEventFilter(this);
        m_window->setWindowState(m_window->windowState() & ~Qt::WindowFullScreen);
        if (m_overlay)
            m_overlay->slot_cancel();
    }
    TRACE(kv_trace::LEVEL_MSG, kv_trace::AREA_ZRQ, active ? "KIOSK MODE ON\n" : "KIOSK MODE OFF\n");
    emit active_changed(active);
}

bool KV_Kiosk_Guard::in_corner(const QPointF& global) const
{
    const QPoint point = m_window->mapFromGlobal(global.toPoint());
    return point.x() >= m_window->width() - CORNER_PX && point.x() < m_window->width() && point.y() >= 0 &&
           point.y() < CORNER_PX;
}

bool KV_Kiosk_Guard::eventFilter(QObject* watched, QEvent* event)
{
    // One press reaches the window and then the widget under it: only the
    // window's copy counts.
    if (watched != static_cast<QObject*>(m_window->windowHandle()) || m_overlay)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::TouchBegin:
    case QEvent::MouseButtonPress: {
        auto* pointer = static_cast<QPointerEvent*>(event);
        if (pointer->pointCount() == 1 && in_corner(pointer->point(0).globalPosition()))
            m_hold.start();
        else
            m_hold.stop();
        break;
    }
    case QEvent::TouchUpdate:
    case QEvent::MouseMove: {
        auto* pointer = static_cast<QPointerEvent*>(event);
        if (pointer->pointCount() != 1 || !in_corner(pointer->point(0).globalPosition()))
            m_hold.stop();
        break;
    }
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::MouseButtonRelease:
        m_hold.stop();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void KV_Kiosk_Guard::ask_pin()
{
    auto* overlay = new CKV_Gui_Overlay_Pin(m_pin(), m_window);
    m_overlay = overlay;
    connect(overlay, &CKV_Gui_Overlay_Pin::accepted, this, [this, overlay] {
        overlay->deleteLater();
        set_active(false);
    });
    connect(overlay, &CKV_Gui_Overlay_Pin::cancelled, overlay, &QObject::deleteLater);
    overlay->show_over(m_window);
}
