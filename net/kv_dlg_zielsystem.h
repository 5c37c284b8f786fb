#pragma once
// The target dialog: choose the controller ("Zielsystem"), create, edit and
// delete connection targets (routes of the project) and start the
// connection. The status panel inside it shows the progress and the
// failures of a login; the main window reports the controller's answers
// through the public operations below.

#include "kv_route_form.h"
#include "kv_routes.h"
#include "kv_salt_client.h"

#include <QTimer>
#include <QWidget>

class CKV_Dlg_App_Zielsysteminfo;
class CKV_Project_Db;
class CKV_Studio_Network_Client;
class CKV_Target_Search;
class QAbstractButton;
class QButtonGroup;
class QFormLayout;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStackedLayout;
class QStackedWidget;
class QVBoxLayout;

class CKV_Dlg_App_Zielsystem : public QWidget {
    Q_OBJECT
public:
    // Where the dialog's traffic goes: the online server's host name that
    // online and demonstration routes carry, its account service, and the
    // port the search listens on. Tests point them at this machine.
    struct Network_Setup {
        QString online_host;
        CKV_Salt_Client::Endpoint salt;
        quint16 search_port = 0;
        static Network_Setup product();
    };

    enum Page {
        PAGE_LIST,
        PAGE_ASSISTENT,
        PAGE_SEARCH,
        PAGE_NEU_MAN,
        PAGE_NEU_LOCAL,
        PAGE_NEU_ONLINE,
        PAGE_BE_LOCAL,
        PAGE_BE_ONLINE,
    };
    static constexpr int STATE_IDLE = 0;
    static constexpr int STATE_CONNECTING = 3;
    static constexpr int CONNECT_TIMEOUT_MS = 15000;

    static inline const QString DEMO_BUTTON = QStringLiteral("Demo-Modus");
    static inline const QString DEMO_ROUTE = QStringLiteral("Demo-VPN");

    // Neither the store nor the client is owned; both must outlive the dialog.
    CKV_Dlg_App_Zielsystem(CKV_Project_Db* db, CKV_Studio_Network_Client* client,
                           const Network_Setup& setup = Network_Setup::product(), QWidget* parent = nullptr);

    // Rebuilds the target list from the project's routes (after a download
    // or when the project changed) and shows it.
    void show_targets();
    void show_page(Page page);
    Page current_page() const;
    CKV_Dlg_App_Zielsysteminfo* info() const { return m_info; }
    bool is_info_shown() const;
    void show_info();
    void hide_info();

    int state() const { return m_state; }
    void set_connect_timeout(int ms) { m_timer_connect.setInterval(ms); }
    bool is_connect_timer_active() const { return m_timer_connect.isActive(); }
    CKV_Target_Search* search() const { return m_search; }

    // Answers of a login, as the main window receives them.
    void stop_connect_timer();                       // connection reported, or 11
    void login_refused();                            // 12
    void project_failed();                           // 27
    void project_failed(const QString& reason);      // a project not stored, and why
    void project_arrived();                          // 26 handled
    void online_serial_wrong();                      // 1002
    void online_password_wrong();                    // 1003
    void online_refused();                           // 1006
    void online_serials(const QString& serial_list); // 1010, serial numbers separated by ";"
    // The connection was lost and did not come back: the panel shows the fault.
    void connection_lost();

signals:
    // A connection attempt starts: the main window clears its project time-out.
    void clear_project_timeout();

public slots:
    void slot_timeout_connect();
    void slot_bearbeiten_clicked(const QAbstractButton* button);
    void on_m_btn_start_assistent_clicked();
    void on_m_btn_assistent_weiter_clicked();
    void on_m_btn_local_search_weiter_clicked();
    void on_m_btn_neu_man_connect_clicked();
    void on_m_btn_neu_local_connect_clicked();
    void on_m_btn_neu_online_connect_clicked();
    void on_m_btn_connect_clicked();
    void on_m_btn_local_save_clicked();
    void on_m_btn_local_delete_clicked();
    void on_m_btn_online_save_clicked();
    void on_m_btn_online_delete_clicked();
    void on_m_headerbtn_assistent_clicked();
    void on_m_headerbtn_neu_man_clicked();
    void on_m_headerbtn_search_clicked();
    void on_m_headerbtn_neu_local_clicked();
    void on_m_headerbtn_neu_online_clicked();
    void on_m_headerbtn_be_local_clicked();
    void on_m_headerbtn_be_online_clicked();

private:
    // What waits for the salt of the online account.
    enum class Salt_Purpose { None, Create_Online, Save_Online };

    void create_gui();
    QWidget* create_list_page();
    QWidget* create_assistent_page();
    QWidget* create_search_page();
    QWidget* create_form_page(QFormLayout* form, const QList<QPushButton*>& buttons);
    void rebuild_targets();

    KV_Routes& routes();
    const KV_Routes& routes() const;
    std::vector<KV_Routes::_route>& route_list();
    const std::vector<KV_Routes::_route>& route_list() const;
    static bool is_demo(const KV_Routes::_route& route);
    void store_routes();
    void remove_route(size_t index);
    void remove_demo_route();
    KV_Routes::_route demo_route() const;
    // 1-based index of the checked target button, 0 for "Demo-Modus".
    int selected_target() const;

    bool check_form(const KV_Route_Form& form, int own_index);
    bool name_taken(const QString& name, int own_index) const;
    void show_message(const QString& title, const QString& text);

    void create_local(const KV_Route_Form& form);
    void create_online(const std::string& online_digest);
    void append_and_connect(const KV_Routes::_route& route);
    // The route m_edit_index names, or null (traced).
    KV_Routes::_route* edited_route();
    void open_edit(int index);
    void open_selected_for_edit(bool online);
    void finish_edit(KV_Routes::_route& route, const KV_Route_Form& form);
    void save_online(const std::string& online_digest);
    void ask_delete();

    void request_salt(Salt_Purpose purpose, const QString& mail);
    void slot_salt_ready(const QString& result);

    void start_connect(const KV_Routes::_route& route);
    void end_attempt();
    void show_failure(void (CKV_Dlg_App_Zielsysteminfo::*show_on_panel)());

    void start_search();
    void add_search_entries(int first, int count);
    void fill_neu_local(const QString& name, const QString& ip);

    void slot_back_to_list();
    void slot_retry();
    void slot_delete_confirmed();
    void slot_serial_chosen(const QString& serial);

    CKV_Project_Db* m_db;
    CKV_Studio_Network_Client* m_client;
    QString m_online_host;
    CKV_Salt_Client m_salt_client;
    CKV_Target_Search* m_search = nullptr;
    Salt_Purpose m_salt_purpose = Salt_Purpose::None;

    KV_Routes::_route m_route_connect;
    // After a serial number choice the new online page shows "******" for
    // the digests of m_route_connect, so that the passwords need not be typed again.
    bool m_online_digests_kept = false;
    int m_edit_index = 0;
    int m_state = STATE_IDLE;
    QTimer m_timer_connect;

    QStackedLayout* m_layout_outer = nullptr;
    QWidget* m_widget_pages = nullptr;
    QStackedWidget* m_stackedWidget = nullptr;
    CKV_Dlg_App_Zielsysteminfo* m_info = nullptr;

    QPushButton* m_btn_zurueck = nullptr;
    QVBoxLayout* m_layout_targets = nullptr;
    QButtonGroup* m_buttonGroup_targets = nullptr;
    QButtonGroup* m_buttonGroup_bearbeiten = nullptr;
    QRadioButton* m_radioButton_assistent_search = nullptr;
    QRadioButton* m_radioButton_assistent_man = nullptr;
    QRadioButton* m_radioButton_assistent_online = nullptr;
    QProgressBar* m_progressBar_search = nullptr;
    QVBoxLayout* m_layout_search = nullptr;
    QButtonGroup* m_buttonGroup_search = nullptr;

    KV_Route_Form m_form_neu_man;
    KV_Route_Form m_form_neu_local;
    KV_Route_Form m_form_neu_online;
    KV_Route_Form m_form_be_local;
    KV_Route_Form m_form_be_online;
};
