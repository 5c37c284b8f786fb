#include "kv_studio_main_app.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <mutex>

#include "kv_app_context.h"
#include "kv_app_dirs.h"
#include "kv_app_version.h"
#include "kv_kiosk_guard.h"
#include "kv_dlg_app_settings.h"
#include "kv_dlg_settings.h"
#include "kv_dlg_zielsystem.h"
#include "kv_dlg_zielsysteminfo.h"
#include "kv_file_modes.h"
#include "kv_gui_container.h"
#include "kv_gui_clock.h"
#include "kv_gui_control.h"
#include "kv_gui_tiles.h"
#include "kv_gui_translator.h"
#include "kv_language_table.h"
#include "kv_gui_value_dispatch.h"
#include "kv_image_cache.h"
#include "kv_local_project.h"
#include "kv_logger_view.h"
#include "kv_page_builder.h"
#include "kv_network_client.h"
#include "kv_page_rules.h"
#include "kv_style.h"
#include "kv_project_check.h"
#include "kv_project_db.h"
#include "kv_project_installer.h"
#include "kv_touch.h"
#include "kv_trace.h"

namespace {
const QString ICON_HOME = QStringLiteral(":/images/Smartphone/phone_Default.svg");
const QString ICON_LOGGER = QStringLiteral(":/images/svg/Analyse.svg");
const QString ICON_SETTINGS = QStringLiteral(":/images/svg/Settings.svg");
const QString ICON_STATUS_OFF = QStringLiteral(":/images/svg/Zielsystem_Off.svg");
const QString ICON_STATUS_ON = QStringLiteral(":/images/svg/Zielsystem_On.svg");

QToolButton* make_tool_button(const char* name, const QString& tip)
{
    auto* button = new QToolButton;
    button->setObjectName(QLatin1String(name));
    button->setToolTip(tip);
    button->setAutoRaise(true);
    return button;
}
} // namespace

CKV_Studio_Main_App::CKV_Studio_Main_App(QWidget* parent)
    : CKV_Studio_Main(parent)
    , m_images(std::make_unique<KV_Image_Cache>(project()))
    , m_installer(new KV_Project_Installer(project(), this))
    , m_session(new KV_Controller_Session(client(), project(), *this, *m_installer, this))
{
    m_run_mode = true;
    kv_app().main_window = this;
    kv_register_tile_controls();
    kv_register_clock_controls();

    build_menu();
    build_views();
    build_wall_panel();
    if (is_full_screen_app()) {
        // Hidden before the first show, so that showing needs no event processing.
        m_menu_shown = false;
        menuBar()->hide();
    }
    setWindowIcon(QIcon(QStringLiteral(":/images/icons/logo_icon.png")));

    // Created on first start; a folder the panel cannot write is named to
    // the user once the window shows, as nothing could be kept there.
    const QString working_dir_problem = kv_prepare_working_dir(settings().m_str_working_dir__);
    open_local_project();
    connect_installer();
    connect_session();
    if (!working_dir_problem.isEmpty())
        QTimer::singleShot(0, this, [this, working_dir_problem] { show_information(working_dir_problem); });
    m_logger->open_history(history_path(), KV_Logger_Settings::read());
    connect(&settings(), &CKV_Dlg_Settings::working_dir_changed, this,
            [this] { m_logger->move_history(history_path()); });

    connect(qApp, &QGuiApplication::applicationStateChanged, this, &CKV_Studio_Main_App::applicationStateChanged);
    m_version_countdown = VERSION_CHECK_PERIOD_S;

    // The values in the local project are from the last run: stale until
    // the controller has sent everything.
    dispatch().set_stale(true);
    build_pages(); // sets the orientation the pages call for
    update_title();

    if (!CKV_Dlg_Settings::restore_geometry(QLatin1String(KV_SETTINGS_ORGANISATION_APP), this) && screen_size().isValid())
        resize(screen_size() * 0.8); // first start: most of the screen
    CKV_Dlg_Settings::restore_state(QLatin1String(KV_SETTINGS_ORGANISATION_APP), this, 0);

    m_timer_tick.setInterval(1000);
    m_timer_tick_slow.setInterval(10000);
    connect(&m_timer_tick, &QTimer::timeout, this, [this] { tick(1000); });
    connect(&m_timer_tick_slow, &QTimer::timeout, this, [this] { tick(10000); });
    m_timer_tick.start();
    m_timer_tick_slow.start();

    // A wall panel comes back by itself after a power cut: the installation's
    // active target is connected at once, as the connect button would.
    if (project().m_routes.active_route())
        connect_active_route();
    if (!m_start_notice.isEmpty()) {
        show_view(View_Status);
        m_dlg_zielsystem->info()->show_message(QStringLiteral("Lokales Projekt"), m_start_notice);
        m_dlg_zielsystem->show_info();
    }
}

CKV_Studio_Main_App::~CKV_Studio_Main_App()
{
    m_timer_tick.stop();
    m_timer_tick_slow.stop();
    client().disconnect(this);
    // The canvases leave the value path while this window is still whole.
    m_builder->remove_pages();
    if (kv_app().main_window == this)
        kv_app().main_window = nullptr;
}

void CKV_Studio_Main_App::set_tick_intervals(int tick_ms, int slow_tick_ms)
{
    m_timer_tick.start(tick_ms);
    m_timer_tick_slow.start(slow_tick_ms);
}

std::string CKV_Studio_Main_App::local_project_path() const
{
    return kv_local_project_path(settings().m_str_working_dir__);
}

QString CKV_Studio_Main_App::history_path() const
{
    // The history lives next to the local project.
    return QFileInfo(QString::fromStdString(local_project_path())).dir().filePath(KV_HISTORY_FILE);
}

// ---------------------------------------------------------------- building

void CKV_Studio_Main_App::build_menu()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("Datei"));
    QAction* quit = file->addAction(QStringLiteral("Beenden"));
    quit->setToolTip(QStringLiteral("Beendet die Anwendung"));
    quit->setStatusTip(quit->toolTip());
    connect(quit, &QAction::triggered, this, &QWidget::close);

    const QIcon orientation_icon(QStringLiteral(":/images/icons/page_hor.png"));
    QAction* horizontal = menuBar()->addAction(orientation_icon, QStringLiteral("Horizontal"));
    connect(horizontal, &QAction::triggered, this, &CKV_Studio_Main_App::slot_hor);
    QAction* vertical = menuBar()->addAction(orientation_icon, QStringLiteral("Vertikal"));
    connect(vertical, &QAction::triggered, this, &CKV_Studio_Main_App::slot_ver);

    QAction* quick = menuBar()->addAction(QStringLiteral("Quick Support"));
    connect(quick, &QAction::triggered, this, &CKV_Studio_Main::slot_help_quick);

    QMenu* sizes = menuBar()->addMenu(QStringLiteral("Fixe Größe"));
    m_group_sizes = new QActionGroup(this);
    for (const auto& [text, entry] : kv_device_sizes()) {
        QAction* action = sizes->addAction(text);
        action->setCheckable(true);
        action->setChecked(entry.device == m_device_display);
        action->setData(static_cast<int>(entry.device));
        m_group_sizes->addAction(action);
    }
    connect(m_group_sizes, &QActionGroup::triggered, this, &CKV_Studio_Main_App::slot_extras_sizes);

    QMenu* languages = menuBar()->addMenu(QStringLiteral("Sprache"));
    m_group_languages = new QActionGroup(this);
    const std::pair<const char*, const char*> choices[] = {{"Deutsch (German)", "de"}, {"English (English)", "en"}};
    for (const auto& [text, code] : choices) {
        QAction* action = languages->addAction(QString::fromUtf8(text));
        action->setCheckable(true);
        action->setData(QLatin1String(code));
        action->setChecked(language_main() == QLatin1String(code));
        m_group_languages->addAction(action);
    }
    connect(m_group_languages, &QActionGroup::triggered, this, &CKV_Studio_Main::slot_extras_lang);
}

void CKV_Studio_Main_App::build_views()
{
    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* navbar = new QWidget;
    navbar->setObjectName(QStringLiteral("kv_navbar"));
    navbar->setProperty("kv_style", QStringLiteral("navbar"));
    auto* nav_layout = new QHBoxLayout(navbar);
    m_btn_home = make_tool_button("m_btn_home", QStringLiteral("Start"));
    m_btn_logger = make_tool_button("m_btn_logger", QStringLiteral("Datenlogger"));
    m_btn_settings = make_tool_button("m_btn_settings", QStringLiteral("Einstellungen"));
    m_btn_status = make_tool_button("m_btn_status", QStringLiteral("Zielsystem"));
    const int icon_size = std::max(24, base_size());
    for (QToolButton* button : {m_btn_home, m_btn_logger, m_btn_settings, m_btn_status}) {
        button->setIconSize(QSize(icon_size, icon_size));
        button->setMinimumSize(KV_FINGER_PX, KV_FINGER_PX);
        nav_layout->addWidget(button);
    }
    nav_layout->addStretch(1);
    connect(m_btn_home, &QToolButton::clicked, this, &CKV_Studio_Main_App::goHomePage);
    connect(m_btn_logger, &QToolButton::clicked, this, &CKV_Studio_Main_App::slot_logger);
    connect(m_btn_settings, &QToolButton::clicked, this, &CKV_Studio_Main_App::slot_settings);
    connect(m_btn_status, &QToolButton::clicked, this, &CKV_Studio_Main_App::slot_status);

    m_views = new QStackedWidget;
    m_views->setObjectName(QStringLiteral("m_stackedWidget_views"));

    // View 0: the pages, the start text when there are none, and the notice
    // that takes the pages' place while the controller is not connected.
    m_start_view = new QWidget;
    auto* start_layout = new QVBoxLayout(m_start_view);
    start_layout->setContentsMargins(0, 0, 0, 0);
    m_pages = new QStackedWidget;
    m_pages->setObjectName(QStringLiteral("m_stackedWidget_pages"));
    m_builder = new KV_Page_Builder(*this, *m_pages, this, this);
    // The orientation may have turned before a page of it was built.
    connect(m_builder, &KV_Page_Builder::pages_added, this, &CKV_Studio_Main_App::show_fitting_page);
    connect(m_builder, &KV_Page_Builder::pages_built, this, &CKV_Studio_Main_App::pages_rebuilt);
    start_layout->addWidget(m_pages, 1);
    m_overlay_not_connected = new QWidget;
    m_overlay_not_connected->setObjectName(QStringLiteral("kv_overlay_not_connected"));
    m_overlay_not_connected->setAttribute(Qt::WA_StyledBackground);
    auto* notice_layout = new QVBoxLayout(m_overlay_not_connected);
    auto* notice = new QLabel(QStringLiteral("Keine Verbindung zum Zielsystem.\nDie angezeigten Werte sind nicht aktuell."));
    notice->setObjectName(QStringLiteral("m_label_not_connected"));
    notice->setAlignment(Qt::AlignCenter);
    notice->setWordWrap(true);
    auto* to_status = new QPushButton(QStringLiteral("Zielsystem"));
    to_status->setObjectName(QStringLiteral("m_pushButton_not_connected"));
    connect(to_status, &QPushButton::clicked, this, &CKV_Studio_Main_App::slot_status);
    notice_layout->addStretch(1);
    notice_layout->addWidget(notice);
    notice_layout->addWidget(to_status, 0, Qt::AlignHCenter);
    notice_layout->addStretch(1);
    start_layout->addWidget(m_overlay_not_connected, 1);
    m_overlay_not_connected->hide();
    m_views->addWidget(m_start_view);

    // View 1: the data logger.
    m_logger = new CKV_Logger_View;
    m_views->addWidget(m_logger);

    // View 2: the app settings.
    m_dlg_app_settings = new CKV_Dlg_App_Settings(settings(), language_main());
    connect(m_dlg_app_settings, &CKV_Dlg_App_Settings::language_chosen, this,
            [this](const QString& language) { set_languages(language, QString()); });
    connect(m_dlg_app_settings, &CKV_Dlg_App_Settings::style_chosen, this, [this](int index) {
        emit stylesheet_App_Changed(index);
        refresh_tool_icons(); // the icons take the new style's text colour
    });
    // The controller keeps the push state; it answers with 1103 like at login.
    connect(m_dlg_app_settings, &CKV_Dlg_App_Settings::push_changed, this,
            [this](bool on) { client().send_text(kv_msg::MAIN_SWITCH, on ? "1" : "0"); });
    m_views->addWidget(m_dlg_app_settings);

    // View 3: the controller status, the target dialog with its status panel.
    m_dlg_zielsystem = new CKV_Dlg_App_Zielsystem(&project(), &client());
    connect(m_dlg_zielsystem, &CKV_Dlg_App_Zielsystem::clear_project_timeout, this,
            [this] { m_session->clear_project_timeout(); });
    m_views->addWidget(m_dlg_zielsystem);

    layout->addWidget(navbar);
    layout->addWidget(m_views, 1);
    setCentralWidget(central);
    refresh_tool_icons();
}

void CKV_Studio_Main_App::open_local_project()
{
    std::lock_guard lock(kv_project_lock());
    m_images->clear();
    // Copies left by an older version or another umask are made private
    // before the routes in them are used again.
    const QFileInfo local(QString::fromStdString(local_project_path()));
    kv_tighten_files(local.path(), local.fileName());
    const KV_Local_Open opened = kv_open_local_project(project(), local_project_path());
    if (opened.opened)
        apply_language();
    m_start_notice = opened.notice;
    if (settings().store_problem().size())
        m_start_notice += (m_start_notice.isEmpty() ? QString() : QStringLiteral("\n")) + settings().store_problem();
    const KV_Routes::_route* route = project().m_routes.active_route();
    m_str_user = route ? route->m_str_user : std::string();
}

bool CKV_Studio_Main_App::isPageVisible(const KV_GUI_Page* page) const
{
    return page && kv_page_visible_to(*page, m_str_user);
}

void CKV_Studio_Main_App::build_pages()
{
    std::lock_guard lock(kv_project_lock());
    m_history.clear();
    std::vector<KV_GUI_Page*> pages;
    bool vertical = false;
    bool horizontal = false;
    for (const auto& page : project().m_gui_pages) {
        if (!isPageVisible(page.get()))
            continue;
        pages.push_back(page.get());
        (page->m_page_orientation != 0 ? vertical : horizontal) = true;
    }
    // The builder's old canvases are out of the way before the orientation
    // turns to the new pages.
    m_builder->retire_pages();
    if (vertical && !horizontal)
        set_orientation(KV_ORIENTATION_PORTRAIT);
    else if (horizontal && !vertical)
        set_orientation(KV_ORIENTATION_LANDSCAPE);
    else
        set_orientation(screen_orientation());

    m_logger->set_logger_groups(project().m_logger_groups);
    // Before the window is shown nobody waits for input: the home page comes at once.
    m_builder->build(std::move(pages), orientation(), !isVisible());
    if (isVisible())
        goHomePage();
}

void CKV_Studio_Main_App::update_title()
{
    const QString file = project().is_open() ? QString::fromStdString(project().path()) : QString();
    setWindowTitle(kv_window_title(file, is_connected()));
}

void CKV_Studio_Main_App::refresh_tool_icons()
{
    const QColor color = palette().color(QPalette::ButtonText);
    const int size = m_btn_home->iconSize().width();
    m_btn_home->setIcon(m_tool_icons.icon(ICON_HOME, color, size));
    m_btn_logger->setIcon(m_tool_icons.icon(ICON_LOGGER, color, size));
    m_btn_settings->setIcon(m_tool_icons.icon(ICON_SETTINGS, color, size));
    const bool connected = is_connected();
    m_btn_status->setIcon(m_tool_icons.icon(connected ? ICON_STATUS_ON : ICON_STATUS_OFF, color, size));
    m_btn_status->setProperty("kv_connected", connected);
    m_dlg_app_settings->set_connected(connected);
}

// ---------------------------------------------------------------- host

KV_Addr_Tree& CKV_Studio_Main_App::address_tree()
{
    return project().m_addr;
}

KV_GUI_Page* CKV_Studio_Main_App::find_page(const std::string& guid)
{
    return project().find_gui_page(guid);
}

QPixmap CKV_Studio_Main_App::image(const QString& name)
{
    return m_images->image(name);
}

QByteArray CKV_Studio_Main_App::file_data(const QString& name)
{
    std::vector<unsigned char> bytes;
    if (!project().get_file(name.toStdString(), bytes))
        return {};
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

std::vector<const KV_LOGIC_Control*> CKV_Studio_Main_App::logic_blocks()
{
    std::vector<const KV_LOGIC_Control*> blocks;
    for (const auto& page : project().m_logic_pages)
        for (const auto& block : page->m_controls)
            blocks.push_back(block.get());
    return blocks;
}

bool CKV_Studio_Main_App::store_logic_block(const KV_LOGIC_Control& block)
{
    for (const auto& page : project().m_logic_pages)
        if (KV_LOGIC_Control* held = page->find_control(block.m_str_guid)) {
            KV_LOGIC_Control copy = block;
            held->set_text(copy.encode());
            return true;
        }
    return false;
}

std::vector<std::string> CKV_Studio_Main_App::page_order()
{
    std::vector<std::string> order;
    for (const CKV_Gui_Control_Container* canvas : canvases())
        order.push_back(canvas->page_guid());
    return order;
}

QList<KV_Visu_Language> CKV_Studio_Main_App::visu_languages()
{
    QList<KV_Visu_Language> languages;
    for (const QString& code : translator().project_languages()) {
        // "code;German name;native name;"
        const QString native = kv_language_lookup(code).section(QLatin1Char(';'), 2, 2);
        languages.append({code, native.isEmpty() || native == QLatin1String("00") ? code : native});
    }
    return languages;
}

void CKV_Studio_Main_App::set_visu_language(const QString& code)
{
    set_languages(language_main(), code);
    apply_language();
    // Every control takes its texts again, so the visible page changes at once.
    for (CKV_Gui_Control_Container* canvas : canvases()) {
        for (CKV_Gui_Control* control : canvas->controls()) {
            control->apply_record();
            control->update();
        }
    }
}

QString CKV_Studio_Main_App::visu_text(const QString& source)
{
    return translator().translate_text(source);
}

bool CKV_Studio_Main_App::is_connected() const
{
    return client().is_connected();
}

bool CKV_Studio_Main_App::send_netvar(const KV_Group_Address& address, double value)
{
    return client().send_netvar(address, value);
}

bool CKV_Studio_Main_App::send_netvar(const KV_Addr_Tgm& telegram)
{
    return client().send_netvar(telegram);
}

bool CKV_Studio_Main_App::send_text(uint32_t message_id, const std::string& text)
{
    return client().send_text(message_id, text);
}

bool CKV_Studio_Main_App::send_message(uint32_t message_id)
{
    return client().send(message_id);
}

KV_Settings_Clock& CKV_Studio_Main_App::clock_settings()
{
    return project().m_settings_clock;
}

KV_Settings_Scene& CKV_Studio_Main_App::scene_settings()
{
    return project().m_settings_scene;
}

// ---------------------------------------------------------------- navigation

int CKV_Studio_Main_App::current_view() const
{
    return m_views->currentIndex();
}

int CKV_Studio_Main_App::current_page() const
{
    return m_pages->currentIndex();
}

bool CKV_Studio_Main_App::is_page_stack_shown() const
{
    return !m_pages->isHidden();
}

bool CKV_Studio_Main_App::is_not_connected_overlay_shown() const
{
    return !m_overlay_not_connected->isHidden();
}

void CKV_Studio_Main_App::show_view(int view)
{
    if (view != View_Pages) {
        emit close_overlay();
        m_overlay_not_connected->hide();
    }
    m_views->setCurrentIndex(view);
}

const QList<CKV_Gui_Control_Container*>& CKV_Studio_Main_App::canvases() const
{
    return m_builder->canvases();
}

bool CKV_Studio_Main_App::pages_ready() const
{
    return m_builder->ready();
}

bool CKV_Studio_Main_App::pages_busy() const
{
    return m_builder->busy();
}

void CKV_Studio_Main_App::show_page_or_notice(int page)
{
    m_pages->setCurrentIndex(page);
    const bool live = is_connected();
    m_pages->setVisible(live);
    m_overlay_not_connected->setVisible(!live);
}

void CKV_Studio_Main_App::goHomePage()
{
    m_overlay_not_connected->hide();
    emit close_overlay();
    // Full screen keeps the menu away until a double click on a free area.
    showMenu(!is_full_screen_app());
    refresh_tool_icons();
    if (!is_connected())
        m_pages->hide();
    show_view(View_Pages);
    if (!go_first_fitting_page())
        m_overlay_not_connected->setVisible(!is_connected()); // leads to the target dialog
}

bool CKV_Studio_Main_App::go_first_fitting_page()
{
    const int first = m_builder->next_fitting_page(0, orientation());
    m_home_owed = first < 0 && m_builder->busy();
    goPage(first);
    return first >= 0;
}

void CKV_Studio_Main_App::goPage(int page)
{
    if (page < 0 || page >= canvases().size() || !kv_page_fits(canvases()[page]->is_vertical(), orientation()))
        return;
    const int current = m_pages->currentIndex();
    if (current >= 0 && current != page)
        m_history.append(current);
    show_page_or_notice(page);
}

void CKV_Studio_Main_App::goPage(const std::string& page_guid)
{
    for (int i = 0; i < canvases().size(); ++i)
        if (canvases()[i]->page_guid() == page_guid) {
            goPage(i);
            return;
        }
    TRACE(kv_trace::LEVEL_MSG, kv_trace::AREA_ZRQ, "PAGE NOT SHOWN: %s\n", page_guid.c_str());
}

void CKV_Studio_Main_App::goNextPage()
{
    goPage(m_builder->next_fitting_page(m_pages->currentIndex() + 1, orientation()));
}

void CKV_Studio_Main_App::goPrevPage()
{
    if (m_history.isEmpty())
        return;
    const int page = m_history.takeLast();
    if (page < canvases().size())
        show_page_or_notice(page);
}

void CKV_Studio_Main_App::showMenu(bool show)
{
    if (show == menuBar()->isVisible() || show == m_menu_shown)
        return;
    m_menu_shown = show;
    menuBar()->setVisible(show);
    // Pending layout work only: callers include a page build holding the
    // project lock, where input, timers or queued calls must not run.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
}

void CKV_Studio_Main_App::slot_status()
{
    show_view(View_Status);
}

bool CKV_Studio_Main_App::is_full_screen_app() const
{
    return settings()._m_app_full_screen != 0 || (m_kiosk && m_kiosk->is_active());
}

bool CKV_Studio_Main_App::eventFilter(QObject* watched, QEvent* event)
{
    // Controls take their own double clicks; what reaches a canvas hit a free area.
    if (event->type() == QEvent::MouseButtonDblClick && is_full_screen_app() && !m_kiosk->is_active() &&
        canvases().contains(qobject_cast<CKV_Gui_Control_Container*>(watched)))
        showMenu(!m_menu_shown);
    return CKV_Studio_Main::eventFilter(watched, event);
}

void CKV_Studio_Main_App::slot_settings()
{
    show_view(View_Settings);
}

void CKV_Studio_Main_App::slot_logger()
{
    m_logger->set_dark(settings().m_app_styleSheet == KV_STYLE_DARK);
    m_logger->show_for(kv_logger_allowed(project().m_settings_users, m_str_user));
    show_view(View_Logger);
}

void CKV_Studio_Main_App::slot_hor()
{
    set_orientation(KV_ORIENTATION_LANDSCAPE);
}

void CKV_Studio_Main_App::slot_ver()
{
    set_orientation(KV_ORIENTATION_PORTRAIT);
}

void CKV_Studio_Main_App::on_orientation_changed()
{
    apply_fixed_size();
    show_fitting_page();
}

void CKV_Studio_Main_App::show_fitting_page()
{
    // Also while the build fills the page: the user sees it come.
    if (m_home_owed) {
        go_first_fitting_page();
        return;
    }
    const int current = m_pages->currentIndex();
    if (current < 0 || !kv_page_fits(canvases()[current]->is_vertical(), orientation())) {
        const int first = m_builder->next_fitting_page(0, orientation());
        if (first >= 0)
            show_page_or_notice(first);
    }
}

void CKV_Studio_Main_App::slot_reload()
{
    m_session->request_project();
}

void CKV_Studio_Main_App::slot_extras_sizes(QAction* action)
{
    if (!action)
        return;
    m_device_display = static_cast<DeviceDisplay>(action->data().toInt());
    apply_fixed_size();
}

void CKV_Studio_Main_App::apply_fixed_size()
{
    const QSize size = kv_device_size(m_device_display);
    if (size.isEmpty()) {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        return;
    }
    // The table holds the portrait form; landscape turns it.
    setFixedSize(orientation() == KV_ORIENTATION_LANDSCAPE ? size.transposed() : size);
}

void CKV_Studio_Main_App::applicationStateChanged(Qt::ApplicationState state)
{
    // Back in front: the controller may have gone meanwhile.
    if (state == Qt::ApplicationActive)
        refresh_tool_icons();
}

void CKV_Studio_Main_App::showEvent(QShowEvent* event)
{
    CKV_Studio_Main::showEvent(event);
    if (!event->spontaneous())
        goHomePage();
}

void CKV_Studio_Main_App::closeEvent(QCloseEvent* event)
{
    CKV_Dlg_Settings::save_geometry(QLatin1String(KV_SETTINGS_ORGANISATION_APP), this);
    CKV_Dlg_Settings::save_state(QLatin1String(KV_SETTINGS_ORGANISATION_APP), this, 0);
    CKV_Studio_Main::closeEvent(event);
}

// ---------------------------------------------------------------- ticks

void CKV_Studio_Main_App::tick(int code)
{
    for (CKV_Gui_Control_Container* canvas : canvases())
        for (CKV_Gui_Control* control : canvas->controls())
            control->notify_children(code);

    if (code == 1000) {
        if (m_version_countdown != 0 && --m_version_countdown == 0) {
            if (settings().m_check_version_ != 0)
                settings().slot_check_version();
            m_version_countdown = VERSION_CHECK_PERIOD_S;
        }
        m_session->second_passed();
    } else if (code == 10000) {
        m_session->ten_seconds_passed(is_status_panel_shown());
    }
}

// ---------------------------------------------------------------- link

bool CKV_Studio_Main_App::connect_active_route()
{
    if (!project().m_routes.active_route())
        return false;
    // The target list preselects the active route.
    m_dlg_zielsystem->show_targets();
    m_dlg_zielsystem->on_m_btn_connect_clicked();
    return true;
}

bool CKV_Studio_Main_App::is_status_panel_shown() const
{
    return current_view() == View_Status && m_dlg_zielsystem->is_info_shown();
}

void CKV_Studio_Main_App::connect_session()
{
    connect(m_session, &KV_Controller_Session::login_accepted, this, [this] {
        m_dlg_zielsystem->stop_connect_timer();
        if (is_status_panel_shown())
            show_view(View_Pages);
    });
    connect(m_session, &KV_Controller_Session::answer_for_user, this, &CKV_Studio_Main_App::show_answer);
    connect(m_session, &KV_Controller_Session::project_record_changed, this, &CKV_Studio_Main_App::update_title);
    connect(m_session, &KV_Controller_Session::main_switch, m_dlg_app_settings, &CKV_Dlg_App_Settings::set_push);
    connect(m_session, &KV_Controller_Session::lost_for_long, this, [this] {
        if (current_view() != View_Pages)
            return;
        show_view(View_Status);
        m_dlg_zielsystem->connection_lost();
    });
}

void CKV_Studio_Main_App::show_answer(uint32_t message_id, const QString& text)
{
    show_view(View_Status);
    switch (message_id) {
    case kv_msg::LOGIN_REFUSED:
        m_dlg_zielsystem->login_refused();
        refresh_tool_icons();
        update_title();
        break;
    case kv_msg::ONLINE_SERIAL_WRONG:
        m_dlg_zielsystem->online_serial_wrong();
        break;
    case kv_msg::ONLINE_PASSWORD_WRONG:
        m_dlg_zielsystem->online_password_wrong();
        break;
    case kv_msg::ONLINE_NOT_REGISTERED:
        m_dlg_zielsystem->online_refused();
        break;
    case kv_msg::ONLINE_SERIALS:
        m_dlg_zielsystem->online_serials(text);
        break;
    case kv_msg::FILE_MISSING:
        m_dlg_zielsystem->project_failed();
        break;
    default:
        break;
    }
}

void CKV_Studio_Main_App::slot_onConnectClient(bool fconnected, KV_Routes::_route route)
{
    refresh_tool_icons();
    update_title();
    m_logger->set_connected(fconnected);
    if (!fconnected) {
        m_session->on_lost(current_view() == View_Pages);
        // Old values are not shown as live meanwhile.
        if (current_view() == View_Pages && m_pages->currentIndex() >= 0)
            show_page_or_notice(m_pages->currentIndex());
        return;
    }
    m_dlg_zielsystem->stop_connect_timer();
    if (is_status_panel_shown())
        show_view(View_Pages);
    if (current_view() == View_Pages && m_pages->currentIndex() >= 0)
        show_page_or_notice(m_pages->currentIndex());
    else
        m_overlay_not_connected->hide();
    if (route.m_str_user != m_str_user) {
        m_str_user = route.m_str_user;
        build_pages();
    }
    m_session->on_connected(route);
}

void CKV_Studio_Main_App::slot_onDataReadClient(CKV_Network_Msg* msg, uchar* data)
{
    if (msg)
        m_session->on_message(*msg, data);
}

void CKV_Studio_Main_App::connect_installer()
{
    m_installer->set_path(local_project_path());
    connect(m_installer, &KV_Project_Installer::progress, m_dlg_zielsystem->info(),
            &CKV_Dlg_App_Zielsysteminfo::set_progress);
    connect(&client(), &CKV_Studio_Network_Client::receiving, m_installer, &KV_Project_Installer::on_bytes_received);
    connect(m_installer, &KV_Project_Installer::replacing, this, [this] {
        // The canvases hold no pointers into the old project past this point;
        // the builder deletes them in slices.
        m_builder->retire_pages();
        m_images->clear();
    });
    connect(m_installer, &KV_Project_Installer::installed, this, &CKV_Studio_Main_App::on_project_installed);
    connect(m_installer, &KV_Project_Installer::failed, this,
            [this](KV_Download_Outcome::Kind, const QString& reason) {
                // The last good project stays in use; the user learns why.
                show_view(View_Status);
                m_dlg_zielsystem->project_failed(reason);
                client().send(kv_msg::PROJECT_HANDLED);
            });
}

void CKV_Studio_Main_App::on_project_installed()
{
    apply_language();
    build_pages();
    update_title();
    m_dlg_zielsystem->project_arrived();
    if (current_view() != View_Status)
        m_dlg_zielsystem->show_targets(); // the list shows the new project's routes
    client().send(kv_msg::PROJECT_HANDLED);
}

void CKV_Studio_Main_App::on_telegram(const KV_Addr_Tgm& telegram)
{
    std::lock_guard lock(kv_address_lock());
    dispatch().on_telegram(telegram);
    m_logger->record(telegram, project().m_addr, dispatch());
}
