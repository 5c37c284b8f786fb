#include "kv_studio_main.h"

#include <QAction>
#include <QGuiApplication>
#include <QLocale>
#include <QMessageBox>
#include <QProcess>
#include <QScreen>
#include <QSettings>
#include <QTimer>
#include <cmath>

#include "kv_addr.h"
#include "kv_app_context.h"
#include "kv_app_version.h"
#include "kv_dlg_settings.h"
#include "kv_gui_translator.h"
#include "kv_network_client.h"
#include "kv_page_rules.h"
#include "kv_project_db.h"
#include "kv_trace.h"
#include "kv_visu_host.h"

namespace {
const char* const STYLE_PROBES[] = {"on", "off", "page", "on_logic", "off_logic", "page_logic", "navbar"};
}

CKV_Studio_Main::CKV_Studio_Main(QWidget* parent)
    : QMainWindow(parent)
{
    QSettings global{QLatin1String(KV_SETTINGS_ORGANISATION), QLatin1String(LANGUAGE_SCOPE)};
    m_str_language_main = global.value(QStringLiteral("m_str_language_main"), QStringLiteral("de")).toString();
    m_str_language_usr = global.value(QStringLiteral("m_str_language_usr"), QString()).toString();

    m_project = std::make_unique<CKV_Project_Db>();
    m_translator = new CKV_GUITranslator(*m_project, this);
    QCoreApplication::installTranslator(m_translator);
    apply_language();
    m_settings = new CKV_Dlg_Settings(this);
    m_client = new CKV_Studio_Network_Client(m_project.get(), this);
    kv_app().project = m_project.get();
    kv_app().client = m_client;

    read_screen();
    m_orientation = m_screen_orientation;
    if (QScreen* screen = QGuiApplication::primaryScreen())
        connect(screen, &QScreen::orientationChanged, this, &CKV_Studio_Main::slot_orientationChanged);
    connect(m_client, qOverload<CKV_Network_Msg*, uchar*>(&CKV_Studio_Network_Client::onDataReadClient), this,
            qOverload<CKV_Network_Msg*, uchar*>(&CKV_Studio_Main::slot_onDataReadClient), Qt::DirectConnection);
    connect(m_client, qOverload<KV_Addr_Tgm>(&CKV_Studio_Network_Client::onDataReadClient), this,
            qOverload<const KV_Addr_Tgm&>(&CKV_Studio_Main::slot_onDataReadClient), Qt::DirectConnection);
    connect(m_client, &CKV_Studio_Network_Client::onConnectClient, this, &CKV_Studio_Main::slot_onConnectClient,
            Qt::DirectConnection);
    connect(this, &CKV_Studio_Main::stylesheet_App_Changed, m_settings, &CKV_Dlg_Settings::slot_Stylesheet_App_Changed);

    create_style_probes();
}

CKV_Studio_Main::~CKV_Studio_Main()
{
    // No reports into a half-destroyed window.
    m_client->disconnect(this);
    m_client->disconnect_route();
    if (kv_app().client == m_client)
        kv_app().client = nullptr;
    if (kv_app().project == m_project.get())
        kv_app().project = nullptr;
    QCoreApplication::removeTranslator(m_translator);
}

void CKV_Studio_Main::read_screen()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    m_screen_orientation = kv_orientation_of(screen->orientation());
    m_screen_size = screen->size();
    m_base_size = static_cast<int>(std::trunc(std::max(m_screen_size.width(), m_screen_size.height()) * 0.035));
}

void CKV_Studio_Main::create_style_probes()
{
    for (const char* name : STYLE_PROBES) {
        auto* probe = new QWidget(this);
        probe->setObjectName(QStringLiteral("kv_style_probe_%1").arg(QLatin1String(name)));
        probe->setProperty("kv_style", QLatin1String(name));
        probe->hide();
        m_style_probes.append(probe);
    }
}

QWidget* CKV_Studio_Main::style_probe(const QString& name) const
{
    for (QWidget* probe : m_style_probes)
        if (probe->property("kv_style").toString() == name)
            return probe;
    return nullptr;
}

void CKV_Studio_Main::apply_language()
{
    QLocale::setDefault(QLocale(m_str_language_main));
    m_translator->load(m_str_language_main, m_str_language_usr);
}

void CKV_Studio_Main::set_languages(const QString& main, const QString& usr)
{
    QSettings global{QLatin1String(KV_SETTINGS_ORGANISATION), QLatin1String(LANGUAGE_SCOPE)};
    m_str_language_main = main;
    m_str_language_usr = usr;
    if (global.value(QStringLiteral("m_str_language_main")).toString() != main)
        global.setValue(QStringLiteral("m_str_language_main"), main);
    if (global.value(QStringLiteral("m_str_language_usr")).toString() != usr)
        global.setValue(QStringLiteral("m_str_language_usr"), usr);
    global.sync();
}

void CKV_Studio_Main::set_orientation(int orientation)
{
    m_orientation = orientation == KV_ORIENTATION_PORTRAIT ? KV_ORIENTATION_PORTRAIT : KV_ORIENTATION_LANDSCAPE;
    on_orientation_changed();
}

void CKV_Studio_Main::tick(int) {}

void CKV_Studio_Main::slot_onConnectClient(bool, KV_Routes::_route) {}

void CKV_Studio_Main::slot_onDataReadClient(CKV_Network_Msg*, uchar*) {}

void CKV_Studio_Main::slot_onDataReadClient(const KV_Addr_Tgm& tgm)
{
    on_telegram(tgm);
}

void CKV_Studio_Main::on_telegram(const KV_Addr_Tgm& telegram)
{
    std::lock_guard lock(kv_address_lock());
    m_project->m_addr.addresses_for_telegram(telegram);
}

void CKV_Studio_Main::slot_orientationChanged(Qt::ScreenOrientation orientation)
{
    m_screen_orientation = kv_orientation_of(orientation);
    set_orientation(m_screen_orientation);
}

void CKV_Studio_Main::slot_extras_lang(QAction* action)
{
    if (!action)
        return;
    show_information(QString::fromUtf8(RESTART_MESSAGE));
    set_languages(action->data().toString(), m_str_language_usr);
}

void CKV_Studio_Main::slot_help_quick()
{
    const QString program = kv_app().dirs.program_dir + QStringLiteral("bin/") + QLatin1String(QUICK_SUPPORT_PROGRAM);
    // Waited for without holding the window: the program reports its start
    // or its failure, and one that has not started after 30 s counts as failed.
    auto* process = new QProcess(this);
    process->setProgram(program);
    auto* limit = new QTimer(process);
    limit->setSingleShot(true);
    const auto failed = [this, process, program] {
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_ZRQ, "QUICK SUPPORT NOT STARTED: %s\n", qPrintable(program));
        show_information(QStringLiteral("Fehler beim Aufruf von \"%1\"").arg(QLatin1String(QUICK_SUPPORT_PROGRAM)));
        process->deleteLater(); // its time limit goes with it
    };
    connect(process, &QProcess::started, limit, &QTimer::stop);
    connect(process, &QProcess::errorOccurred, this, [failed](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            failed();
    });
    connect(limit, &QTimer::timeout, this, [process, failed] {
        process->kill();
        failed();
    });
    connect(process, &QProcess::finished, process, &QObject::deleteLater);
    limit->start(QUICK_SUPPORT_WAIT_MS);
    process->start();
}

void CKV_Studio_Main::show_information(const QString& text)
{
    QMessageBox::information(this, QLatin1String(KV_APP_NAME), text);
}
