#pragma once
// The app window of the operating panel: keeps the local copy of the
// controller's project, logs in to the controller, shows one page canvas per
// page the user may see, navigates between them and shows whether what it
// shows is live.

#include <QList>
#include <QPointer>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "kv_controller_session.h"
#include "kv_device_display.h"
#include "kv_studio_main.h"
#include "kv_tool_icons.h"
#include "kv_visu_host.h"
#include "kv_wall_settings.h"

class CKV_Dlg_App_Settings;
class CKV_Dlg_App_Zielsystem;
class CKV_Dlg_App_Zielsysteminfo;
class CKV_Gui_Control_Container;
class CKV_Logger_View;
class KV_Idle_Return;
class KV_Image_Cache;
class KV_Kiosk_Guard;
class KV_Screen_Inhibitor;
class KV_Page_Builder;
class KV_Project_Installer;
class QAbstractButton;
class QActionGroup;
class QLabel;
class QMenu;
class QStackedWidget;
class QToolButton;

class CKV_Studio_Main_App : public CKV_Studio_Main, public KV_Visu_Host {
    Q_OBJECT
public:
    enum View { View_Pages = 0, View_Logger = 1, View_Settings = 2, View_Status = 3 };

    static constexpr int VERSION_CHECK_PERIOD_S = 604800;

    explicit CKV_Studio_Main_App(QWidget* parent = nullptr);
    ~CKV_Studio_Main_App() override;

    // The product ticks every 1 s and 10 s; tests shorten them.
    void set_tick_intervals(int tick_ms, int slow_tick_ms);

    // Connects to the project's active route, as the target dialog's connect
    // button does. False without a route.
    bool connect_active_route();

    // KV_Visu_Host
    KV_Addr_Tree& address_tree() override;
    KV_GUI_Page* find_page(const std::string& guid) override;
    QPixmap image(const QString& name) override;
    QByteArray file_data(const QString& name) override;
    std::vector<const KV_LOGIC_Control*> logic_blocks() override;
    bool store_logic_block(const KV_LOGIC_Control& block) override;
    std::vector<std::string> page_order() override;
    QList<KV_Visu_Language> visu_languages() override;
    void set_visu_language(const QString& code) override;
    QString visu_text(const QString& source) override;
    bool is_connected() const override;
    bool send_netvar(const KV_Group_Address& address, double value) override;
    bool send_netvar(const KV_Addr_Tgm& telegram) override;
    bool send_text(uint32_t message_id, const std::string& text) override;
    bool send_message(uint32_t message_id) override;
    KV_Settings_Clock& clock_settings() override;
    KV_Settings_Scene& scene_settings() override;
    bool run_mode() const override { return m_run_mode; }
    bool keep_feedback_separate() const override { return false; }
    bool pages_ready() const override;
    // Pages still being built, filled or taken down.
    bool pages_busy() const;
    int orientation() const override { return page_orientation(); }
    QString language() const override { return language_usr(); }
    void goPage(const std::string& page_guid) override;

    void tick(int code) override;

    // State for the status line, the tests and the target dialog.
    bool is_logged_in() const { return m_session->is_logged_in(); }
    int project_timeout() const { return m_session->project_timeout(); }
    int lost_connection_countdown() const { return m_session->lost_connection_countdown(); }
    int version_countdown() const { return m_version_countdown; }
    DeviceDisplay device_display() const { return m_device_display; }
    const std::string& user() const override { return m_str_user; }
    int current_view() const;
    int current_page() const;
    QList<int> page_history() const { return m_history; }
    const QList<CKV_Gui_Control_Container*>& canvases() const;
    bool is_page_stack_shown() const;
    bool is_not_connected_overlay_shown() const;
    CKV_Dlg_App_Zielsystem* target_dialog() const { return m_dlg_zielsystem; }
    // View 3 with the target dialog's status panel in front.
    bool is_status_panel_shown() const;
    QToolButton* status_button() const { return m_btn_status; }
    CKV_Logger_View* logger_view() const { return m_logger; }
    KV_Project_Installer& installer() const { return *m_installer; }

    // Wall panel: return to the start page, kiosk mode, screen kept on.
    KV_Wall_Settings& wall_settings() { return m_wall; }
    KV_Idle_Return* idle_return() const { return m_idle; }
    KV_Kiosk_Guard* kiosk_guard() const { return m_kiosk; }
    KV_Screen_Inhibitor* screen_inhibitor() const { return m_inhibitor; }

signals:
    void close_overlay();
    // After every rebuild of the pages (start, download), once the last
    // canvas is built.
    void pages_rebuilt();

public slots:
    void applicationStateChanged(Qt::ApplicationState state);
    void showMenu(bool show);
    void goHomePage();
    void goPrevPage() override;
    void goNextPage() override;
    void goPage(int page);
    bool isPageVisible(const KV_GUI_Page* page) const;
    void slot_status();
    void slot_hor();
    void slot_ver();
    void slot_settings();
    void slot_logger();
    void slot_reload();
    void slot_extras_sizes(QAction* action);

    void slot_onConnectClient(bool fconnected, KV_Routes::_route route) override;
    void slot_onDataReadClient(CKV_Network_Msg* msg, uchar* data) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void on_telegram(const KV_Addr_Tgm& telegram) override;
    void on_orientation_changed() override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void build_wall_panel();
    void apply_wall_settings();
    void build_menu();
    void build_views();
    void open_local_project();
    // Builds the canvases of the pages the user may see in slices, the one
    // shown first first (KV_Page_Builder); before the window is shown that
    // one at once.
    void build_pages();
    // Shows the first page of the orientation unless the shown one fits it.
    void show_fitting_page();
    // Shows the first page that fits the orientation; while none is built
    // yet, the build shows it when it comes. False when there is none.
    bool go_first_fitting_page();
    void connect_installer();
    void on_project_installed();
    bool is_full_screen_app() const;
    void update_title();
    void refresh_tool_icons();
    void show_view(int view);
    void show_page_or_notice(int page);
    void connect_session();
    // Shows the status view with the controller's answer.
    void show_answer(uint32_t message_id, const QString& text);
    void apply_fixed_size();
    std::string local_project_path() const;
    QString history_path() const;

    // Pages.
    QStackedWidget* m_views = nullptr;
    QStackedWidget* m_pages = nullptr;
    QWidget* m_start_view = nullptr;
    QWidget* m_overlay_not_connected = nullptr;
    QList<int> m_history;
    KV_Page_Builder* m_builder = nullptr;
    bool m_menu_shown = true;
    bool m_home_owed = false; // the home page is shown once the build reaches it
    DeviceDisplay m_device_display = Unknown;

    // Views and buttons.
    QToolButton* m_btn_home = nullptr;
    QToolButton* m_btn_logger = nullptr;
    QToolButton* m_btn_settings = nullptr;
    QToolButton* m_btn_status = nullptr;
    CKV_Logger_View* m_logger = nullptr;
    CKV_Dlg_App_Settings* m_dlg_app_settings = nullptr;
    CKV_Dlg_App_Zielsystem* m_dlg_zielsystem = nullptr;
    QActionGroup* m_group_sizes = nullptr;
    QActionGroup* m_group_languages = nullptr;

    // Link state.
    std::string m_str_user;
    int m_version_countdown = 0;
    QTimer m_timer_tick;
    QTimer m_timer_tick_slow;

    std::unique_ptr<KV_Image_Cache> m_images;
    KV_Tool_Icons m_tool_icons;

    KV_Wall_Settings m_wall;
    KV_Idle_Return* m_idle = nullptr;
    KV_Kiosk_Guard* m_kiosk = nullptr;
    KV_Screen_Inhibitor* m_inhibitor = nullptr;
    KV_Project_Installer* m_installer = nullptr;
    KV_Controller_Session* m_session = nullptr;
    // Told once at start: the local project was not the one expected.
    QString m_start_notice;
};
