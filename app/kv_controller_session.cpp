#include "kv_controller_session.h"

#include <cstring>

#include "kv_gui_value_dispatch.h"
#include "kv_network_client.h"
#include "kv_project_check.h"
#include "kv_project_db.h"
#include "kv_project_installer.h"
#include "kv_trace.h"
#include "kv_visu_host.h"

namespace {
// Messages that show the controller is alive.
bool is_sign_of_life(uint32_t id)
{
    switch (id) {
    case kv_msg::LOGIN_ACCEPTED:
    case kv_msg::NETVAR:
    case kv_msg::PROJECT_RECORD:
    case kv_msg::ALIVE:
    case kv_msg::ALL_SENT:
    case kv_msg::PROJECT_CHANGED:
    case kv_msg::CLOCK_SETTINGS:
    case kv_msg::SCENE_SETTINGS:
    case kv_msg::LOGGED_IN:
    case kv_msg::PROJECT_RELOAD:
    case kv_msg::MAIN_SWITCH:
    case kv_msg::READY:
    case kv_msg::KEEP_ALIVE:
        return true;
    default:
        return false;
    }
}

// A payload text up to its NUL, never beyond the message.
std::string payload_text(const uchar* data, uint32_t length)
{
    if (!data)
        return {};
    const char* text = reinterpret_cast<const char*>(data);
    return std::string(text, strnlen(text, length));
}

void replace_settings_text(KV_Data& record, const std::string& text)
{
    if (text == record.m_text)
        return;
    record.set_text(text);
    TRACE(kv_trace::LEVEL_MSG, kv_trace::AREA_ZRQ, "SETTINGS REPLACED FROM THE CONTROLLER\n");
}
} // namespace

KV_Controller_Session::KV_Controller_Session(CKV_Studio_Network_Client& client, CKV_Project_Db& project,
                                             KV_Visu_Host& host, KV_Project_Installer& installer, QObject* parent)
    : QObject(parent)
    , m_client(client)
    , m_project(project)
    , m_host(host)
    , m_installer(installer)
{
}

void KV_Controller_Session::on_connected(const KV_Routes::_route& route)
{
    m_lost_countdown = 0;
    m_project_timeout = PROJECT_TIMEOUT_CONNECTED_S;
    m_client.send_text(route.m_use_kv_dns_svr ? kv_msg::LOGIN_ONLINE : kv_msg::LOGIN, route_login_text(route));
}

void KV_Controller_Session::on_lost(bool pages_shown)
{
    m_project_timeout = 0;
    m_logged_in = false;
    m_host.dispatch().set_stale(true);
    m_installer.stop_waiting();
    const CKV_Network_Msg lost = kv_make_header(kv_msg::CONNECTION_LOST, 0);
    on_message(lost, nullptr);
    if (pages_shown)
        m_lost_countdown = LOST_CONNECTION_DELAY_S;
}

void KV_Controller_Session::second_passed()
{
    if (m_project_timeout > 0 && --m_project_timeout == 0 && !m_client.is_connected())
        m_client.connect_route(m_project.m_routes.active_route());
    if (m_lost_countdown > 0 && --m_lost_countdown == 0 && !m_client.is_connected())
        emit lost_for_long();
}

void KV_Controller_Session::ten_seconds_passed(bool status_panel_shown)
{
    if (m_logged_in)
        m_client.send(kv_msg::KEEP_ALIVE);
    else if (m_project_timeout == 0 && status_panel_shown && !m_client.is_connected())
        m_client.connect_route(m_project.m_routes.active_route());
}

void KV_Controller_Session::request_project()
{
    if (m_client.send_text(kv_msg::FILE_REQUEST, KV_BOOT_PROJECT_FILE))
        m_installer.await_project();
}

void KV_Controller_Session::on_login_accepted()
{
    emit login_accepted();
    if (m_client.send(kv_msg::PROJECT_REQUEST))
        m_installer.await_project();
    m_project_timeout = PROJECT_TIMEOUT_LOGIN_S;
}

void KV_Controller_Session::on_online_accepted(const std::string& serial)
{
    if (KV_Routes::_route* route = m_project.m_routes.active_route()) {
        route->m_str_serial = serial;
        m_project.save_routes();
        // The second login speaks the same version as the first.
        KV_Routes::_route login = *route;
        login.m_communication_version = m_client.route().m_communication_version;
        m_client.send_text(kv_msg::LOGIN, route_login_text(login));
    }
    m_project_timeout = PROJECT_TIMEOUT_LOGIN_S;
}

void KV_Controller_Session::on_all_sent()
{
    m_host.dispatch().set_stale(false);
    m_client.send(kv_msg::ALL_SENT_ANSWER);
    m_client.send(kv_msg::READY);
}

void KV_Controller_Session::on_message(const CKV_Network_Msg& msg, const uchar* data)
{
    const uint32_t length = data ? msg.data_length : 0;
    if (is_sign_of_life(msg.id))
        m_client.set_alive(true);
    switch (msg.id) {
    case kv_msg::LOGIN_ACCEPTED:
        on_login_accepted();
        break;
    case kv_msg::LOGIN_REFUSED:
        m_project_timeout = 0;
        emit answer_for_user(msg.id, QString());
        break;
    case kv_msg::LOGGED_IN:
    case kv_msg::READY:
        m_project_timeout = 0;
        m_logged_in = true;
        break;
    case kv_msg::ONLINE_ACCEPTED:
        on_online_accepted(payload_text(data, length));
        break;
    case kv_msg::ONLINE_SERIAL_WRONG:
    case kv_msg::ONLINE_PASSWORD_WRONG:
    case kv_msg::ONLINE_NOT_REGISTERED:
    case kv_msg::ONLINE_SERIALS:
    case kv_msg::FILE_MISSING:
        emit answer_for_user(msg.id, QString::fromStdString(payload_text(data, length)));
        break;
    case kv_msg::FILE:
        m_project_timeout = 0;
        m_installer.take_file(data, length, m_client.take_payload());
        break;
    case kv_msg::FILE_PROGRESS:
        m_project_timeout = 0;
        m_installer.on_file_announced(payload_text(data, length));
        break;
    case kv_msg::PROJECT_RECORD:
        if (!kv_decode_project_record(payload_text(data, length), m_project.m_project))
            TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_ZRQ, "PROJECT RECORD NOT DECODED, KEPT\n");
        emit project_record_changed();
        break;
    case kv_msg::ALL_SENT:
        on_all_sent();
        break;
    case kv_msg::PROJECT_CHANGED:
    case kv_msg::PROJECT_RELOAD:
        request_project();
        break;
    case kv_msg::CLOCK_SETTINGS:
        replace_settings_text(m_project.m_settings_clock, payload_text(data, length));
        break;
    case kv_msg::SCENE_SETTINGS:
        replace_settings_text(m_project.m_settings_scene, payload_text(data, length));
        break;
    case kv_msg::BLOCK_CHANGED:
        // The controls linked to the block re-read it when the message reaches them.
        m_host.store_logic_block(KV_LOGIC_Control(payload_text(data, length)));
        break;
    case kv_msg::MAIN_SWITCH:
        emit main_switch(length > 0 && data[0] == '1');
        break;
    default:
        break;
    }
    m_host.dispatch().on_message(msg, data);
}
