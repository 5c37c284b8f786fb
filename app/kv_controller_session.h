#pragma once
// The conversation with the controller once a link stands: the login and its
// answers, the timeouts that bring a silent link back, the project files
// handed to the installer and the settings the controller replaces. What the
// user must see is left to the window through the signals.

#include <QObject>
#include <QString>
#include <string>

#include "kv_network_msg.h"
#include "kv_routes.h"

class CKV_Project_Db;
class CKV_Studio_Network_Client;
class KV_Project_Installer;
class KV_Visu_Host;

class KV_Controller_Session : public QObject {
    Q_OBJECT
public:
    static constexpr int PROJECT_TIMEOUT_CONNECTED_S = 30;
    static constexpr int PROJECT_TIMEOUT_LOGIN_S = 20;
    static constexpr int LOST_CONNECTION_DELAY_S = 4;

    KV_Controller_Session(CKV_Studio_Network_Client& client, CKV_Project_Db& project, KV_Visu_Host& host,
                          KV_Project_Installer& installer, QObject* parent);

    // Sends the route's login.
    void on_connected(const KV_Routes::_route& route);
    // `pages_shown`: the loss is told to the user after a delay, as a short
    // one mends itself unseen.
    void on_lost(bool pages_shown);
    void on_message(const CKV_Network_Msg& msg, const uchar* data);
    // Every second: the timeouts run down.
    void second_passed();
    // Every ten seconds: keeps a login alive, or tries the route again while
    // the status panel waits for it.
    void ten_seconds_passed(bool status_panel_shown);
    // Asks for the project after the controller changed it.
    void request_project();

    bool is_logged_in() const { return m_logged_in; }
    int project_timeout() const { return m_project_timeout; }
    void clear_project_timeout() { m_project_timeout = 0; }
    int lost_connection_countdown() const { return m_lost_countdown; }

signals:
    void login_accepted();
    // An answer the status view shows: the message code and the controller's text.
    void answer_for_user(uint32_t message_id, const QString& text);
    void project_record_changed();
    void main_switch(bool on);
    // The link did not come back within the delay after a loss.
    void lost_for_long();

private:
    void on_login_accepted();
    void on_online_accepted(const std::string& serial);
    void on_all_sent();

    CKV_Studio_Network_Client& m_client;
    CKV_Project_Db& m_project;
    KV_Visu_Host& m_host;
    KV_Project_Installer& m_installer;
    bool m_logged_in = false;
    int m_project_timeout = 0;
    int m_lost_countdown = 0;
};
