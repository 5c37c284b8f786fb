#include "kv_sim_controller.h"

#include <QDateTime>
#include <QFile>
#include <QNetworkDatagram>
#include <QRandomGenerator>
#include <QTcpSocket>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "kv_addr.h"
#include "kv_color_settings.h"
#include "kv_crypto.h"
#include "kv_demo_logger.h"
#include "kv_discovery.h"
#include "kv_network_msg.h"
#include "kv_sim_camera.h"
#include "kv_weather.h"

namespace {
// A key no controller uses, for the wrong-key fault.
const unsigned char FOREIGN_KEY[KV_MESSAGE_KEY_LENGTH] = {'k', 'v', 's', 'i', 'm', '-', 'f', 'o', 'r', 'e', 'i',
                                                          'g', 'n', '-', 'k', 'e', 'y', '-', 'n', 'o', 't', '-',
                                                          't', 'h', 'e', '-', 'r', 'e', 'a', 'l', '-', '1'};

const char* command_name(uint32_t command)
{
    switch (command) {
    case KV_TGM_READ:
        return "READ";
    case KV_TGM_RESPONSE:
        return "RESPONSE";
    case KV_TGM_WRITE:
        return "WRITE";
    default:
        return "?";
    }
}

void log_line(const QString& peer, const QString& text)
{
    printf("%s %s\n", qPrintable(peer), qPrintable(text));
    fflush(stdout);
}

// Texts up to their NUL.
std::string payload_text(const uint8_t* payload, uint32_t length)
{
    return payload ? std::string(reinterpret_cast<const char*>(payload), strnlen(reinterpret_cast<const char*>(payload), length))
                   : std::string();
}

// A payload text for the log, shortened unless whole is asked for.
QString log_text(const std::string& payload, bool whole)
{
    QString text = QString::fromStdString(payload).replace('\x02', '=').replace('\x03', ' ');
    return text.size() > 80 && !whole ? text.left(80) + "..." : text;
}

} // namespace

std::vector<KV_Addr_Db*> CKV_Sim_Controller::all_addresses() const
{
    std::vector<KV_Addr_Db*> addresses;
    for (const auto& hg : m_db.m_addr.main_groups())
        for (const auto& mg : hg->middle_groups())
            for (const auto& address : mg->addresses())
                addresses.push_back(address.get());
    return addresses;
}

CKV_Sim_Session::CKV_Sim_Session(QTcpSocket* socket, const unsigned char* send_key, CKV_Sim_Controller& controller)
    : QObject(&controller)
    , m_socket(socket)
    , m_peer(QString("%1:%2").arg(socket->peerAddress().toString()).arg(socket->peerPort()))
    , m_encipher(KV_Cipher::Direction::Encipher, send_key)
{
    socket->setParent(this);
    m_stream.set_message_handler([this, &controller](CKV_Network_Msg* header, uint8_t* payload) {
        controller.on_message(*this, *header, payload);
    });
    m_stream.set_netvar_handler([this, &controller](const KV_Addr_Tgm& tgm) { controller.on_netvar(*this, tgm); });
    connect(socket, &QTcpSocket::readyRead, this, [this] {
        const QByteArray bytes = m_socket->readAll();
        m_stream.feed(reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size()));
    });
}

void CKV_Sim_Session::send(uint32_t id, const void* payload, uint32_t length)
{
    if (kv_frame_message(m_encipher, id, payload, length, m_frame))
        m_socket->write(reinterpret_cast<const char*>(m_frame.data()), static_cast<qint64>(m_frame.size()));
}

void CKV_Sim_Session::send_text(uint32_t id, const std::string& text)
{
    send(id, text.c_str(), static_cast<uint32_t>(text.size() + 1));
}

void CKV_Sim_Session::send_netvar(const KV_Addr_Tgm& tgm)
{
    send(kv_msg::NETVAR, &tgm, kv_netvar_data_length(tgm));
}

void CKV_Sim_Session::send_raw(const QByteArray& bytes)
{
    m_socket->write(bytes);
}

CKV_Sim_Controller::CKV_Sim_Controller(const KV_Sim_Options& options, const std::string& project_path)
    : m_options(options)
    , m_project_path(project_path)
    , m_password_md5(kv_crypto::password_md5(options.password))
{
    connect(&m_server, &QTcpServer::newConnection, this, &CKV_Sim_Controller::accept_connections);
    connect(&m_search_socket, &QUdpSocket::readyRead, this, &CKV_Sim_Controller::answer_searches);
    connect(&m_live_timer, &QTimer::timeout, this, &CKV_Sim_Controller::live_step);
    m_commands = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
    connect(m_commands, &QSocketNotifier::activated, this, &CKV_Sim_Controller::read_commands);
}

void CKV_Sim_Controller::read_commands()
{
    char buffer[4096];
    const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (got <= 0) {
        m_commands->setEnabled(false); // end of input: no more commands
        return;
    }
    m_command_bytes.append(buffer, got);
    qsizetype end;
    while ((end = m_command_bytes.indexOf('\n')) >= 0) {
        const QString line = QString::fromUtf8(m_command_bytes.left(end)).trimmed();
        m_command_bytes.remove(0, end + 1);
        if (!line.isEmpty())
            run_command(line);
    }
}

void CKV_Sim_Controller::run_command(const QString& line)
{
    const QString verb = line.section(' ', 0, 0);
    const QString rest = line.section(' ', 1).trimmed();
    if (verb == "send") {
        bool ok = false;
        const uint32_t id = rest.toUInt(&ok);
        if (!ok) {
            printf("command refused: %s\n", qPrintable(line));
            fflush(stdout);
            return;
        }
        for (CKV_Sim_Session* session : m_sessions)
            if (session->m_logged_in)
                session->send(id);
        log_line("command", QString("-> %1").arg(id));
    } else if (verb == "clock") {
        send_settings(kv_msg::CLOCK_SETTINGS, m_db.m_settings_clock,
                      m_db.m_settings_clock.m_list_clock.empty() ? nullptr : &m_db.m_settings_clock.m_list_clock[0].m_str_name, rest);
    } else if (verb == "weather") {
        refresh_weather();
    } else if (verb == "scene") {
        send_settings(kv_msg::SCENE_SETTINGS, m_db.m_settings_scene,
                      m_db.m_settings_scene.m_list_scene.empty() ? nullptr : &m_db.m_settings_scene.m_list_scene[0].m_str_name, rest);
    } else if (!run_fault_command(verb, rest)) {
        printf("command refused: %s\n", qPrintable(line));
        fflush(stdout);
    }
}

void CKV_Sim_Controller::send_settings(uint32_t id, KV_Data& record, std::string* first_name, const QString& name)
{
    if (!name.isEmpty() && first_name)
        *first_name = name.toStdString();
    const std::string text = record.encode();
    for (CKV_Sim_Session* session : m_sessions)
        if (session->m_logged_in)
            session->send_text(id, text);
    log_line("command", QString("-> %1 (%2 bytes)").arg(id).arg(text.size() + 1));
}

bool CKV_Sim_Controller::start()
{
    if (!m_db.load(m_project_path)) {
        fprintf(stderr, "kvsim: cannot open project %s\n", m_project_path.c_str());
        return false;
    }
    if (!m_server.listen(m_options.listen_address, m_options.port)) {
        fprintf(stderr, "kvsim: cannot listen on port %u: %s\n", m_options.port, qPrintable(m_server.errorString()));
        return false;
    }
    if (m_options.discovery) {
        if (!m_search_socket.bind(QHostAddress::AnyIPv4, m_options.discovery_port,
                                  QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint)) {
            fprintf(stderr, "kvsim: cannot bind UDP port %u: %s\n", m_options.discovery_port,
                    qPrintable(m_search_socket.errorString()));
            return false;
        }
        printf("search answers on %u\n", m_search_socket.localPort());
    }
    if (m_options.live_interval_ms > 0) {
        for (KV_Addr_Db* address : all_addresses()) {
            if (kv_demo_logged_value(address->m_addr_write, 0))
                m_modelled.push_back({address, NAN});
            else if (QString::fromStdString(address->m_str_comment).contains("temperatur", Qt::CaseInsensitive))
                m_drifting.push_back({address, value_as_double(*address)});
        }
        m_live_timer.start(m_options.live_interval_ms);
    }
    printf("project %s with %zu group addresses\n", m_db.m_project.m_str_name.c_str(), m_db.m_addr.address_count());
    printf("listening on %u\n", m_server.serverPort());
    fflush(stdout);
    return true;
}

void CKV_Sim_Controller::accept_connections()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        auto* session = new CKV_Sim_Session(socket, m_options.wrong_key ? FOREIGN_KEY : KV_MESSAGE_KEY, *this);
        m_sessions.push_back(session);
        log_line(session->peer(), "connected");
        connect(socket, &QTcpSocket::disconnected, this, [this, session] { forget(session); });
        if (m_options.project_fault == KV_Sim_Project_Fault::Unsolicited)
            send_project(*session, KV_BOOT_PROJECT_FILE);
        if (m_options.garbage_bytes > 0) {
            QByteArray garbage(m_options.garbage_bytes, Qt::Uninitialized);
            for (char& byte : garbage)
                byte = static_cast<char>(QRandomGenerator::global()->bounded(256));
            session->send_raw(garbage);
        }
        if (m_options.drop_after_s > 0)
            QTimer::singleShot(m_options.drop_after_s * 1000, socket, [socket] { socket->abort(); });
    }
}

void CKV_Sim_Controller::forget(CKV_Sim_Session* session)
{
    log_line(session->peer(), "disconnected");
    std::erase(m_sessions, session);
    session->deleteLater();
}

void CKV_Sim_Controller::answer_searches()
{
    while (m_search_socket.hasPendingDatagrams()) {
        const QNetworkDatagram request = m_search_socket.receiveDatagram();
        if (request.data() != QByteArray(KV_SEARCH_REQUEST))
            continue;
        KV_SysInfo info;
        info.m_str_name = m_db.m_project.m_str_name;
        info.m_str_serial = "KVSIM-0001";
        info.m_str_ip = m_options.ip_text.toStdString();
        info.m_str_mac = m_options.mac.toStdString();
        info.m_str_pattform = "kvsim";
        info.m_str_project_name = m_db.m_project.m_str_name;
        info.m_str_project_guid = m_db.m_project.m_str_guid;
        info.m_str_version = "3.1";
        m_search_socket.writeDatagram(QByteArray::fromStdString(info.encode()), request.senderAddress(),
                                      static_cast<quint16>(request.senderPort()));
        log_line(QString("%1:%2").arg(request.senderAddress().toString()).arg(request.senderPort()), "search answered");
    }
}

void CKV_Sim_Controller::on_message(CKV_Sim_Session& session, const CKV_Network_Msg& header, const uint8_t* payload)
{
    if (paused())
        return; // a controller that hangs hears nothing
    const std::string text = payload_text(payload, header.data_length);
    log_line(session.peer(), QString("<- %1 (%2 bytes) %3").arg(header.id).arg(header.data_length).arg(
                                 header.id == kv_msg::FILE ? QString() : log_text(text, m_options.full_log)));
    if (header.id == kv_msg::LOGIN) {
        on_login(session, text);
        return;
    }
    if (header.id == kv_msg::LOGIN_ONLINE) {
        session.send(kv_msg::ONLINE_NOT_REGISTERED); // not an online server
        return;
    }
    if (!session.m_logged_in)
        return;
    if (m_options.no_project && (header.id == kv_msg::PROJECT_REQUEST || header.id == kv_msg::FILE_REQUEST))
        return; // logged above, never answered
    switch (header.id) {
    case kv_msg::KEEP_ALIVE:
        session.send(kv_msg::KEEP_ALIVE);
        break;
    case kv_msg::PROJECT_REQUEST:
        send_project(session, KV_BOOT_PROJECT_FILE);
        session.send(kv_msg::LOGGED_IN);
        send_all_values(session);
        if (m_options.flood_count > 0)
            flood(session);
        break;
    case kv_msg::FILE_REQUEST:
        send_project(session, text);
        break;
    case kv_msg::CLOCK_SETTINGS:
        store_settings(m_db.m_settings_clock, "clock", text);
        break;
    case kv_msg::SCENE_SETTINGS:
        store_settings(m_db.m_settings_scene, "scene", text);
        break;
    case kv_msg::SCENE_TEXT:
        run_scene(text);
        break;
    case kv_msg::BLOCK_CHANGED:
        store_block(session, text);
        break;
    case kv_msg::CAMERA_REQUEST:
        send_camera_picture(session, text);
        break;
    case kv_msg::SNAPSHOT_REQUEST:
        send_snapshot(session, text);
        break;
    case kv_msg::MAIN_SWITCH: // the push switch: the state is confirmed as it is set
        session.send_text(kv_msg::MAIN_SWITCH, text);
        break;
    default: // 181, 182, 183, 193, 1197 and the rest: accepted, logged above
        break;
    }
}

void CKV_Sim_Controller::on_login(CKV_Sim_Session& session, const std::string& text)
{
    const KV_Data login(text);
    const bool accepted = !m_options.refuse_login && get_string(login, "m_str_user", "") == m_options.user.toStdString() &&
                          get_string(login, "m_str_passwd_md5", "") == m_password_md5;
    session.m_logged_in = accepted;
    log_line(session.peer(), accepted ? "login accepted" : "login refused");
    session.send(accepted ? kv_msg::LOGIN_ACCEPTED : kv_msg::LOGIN_REFUSED);
}

void CKV_Sim_Controller::send_project(CKV_Sim_Session& session, const std::string& name)
{
    QFile file(QString::fromStdString(m_project_path));
    QByteArray content = name == KV_BOOT_PROJECT_FILE && file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    if (!content.isEmpty())
        content = kv_sim_damaged_project(content, m_options.corrupt_project ? KV_Sim_Project_Fault::Not_Sqlite
                                                                            : m_options.project_fault);
    if (content.isEmpty() || content.size() > qsizetype(KV_MSG_MAX_DATA_LENGTH - KV_FILE_NAME_FIELD)) {
        log_line(session.peer(), QString("-> 27, no file %1").arg(QString::fromStdString(name)));
        session.send(kv_msg::FILE_MISSING);
        return;
    }
    const std::string sent_name =
        m_options.project_fault == KV_Sim_Project_Fault::Wrong_Name ? std::string("anderes_projekt.kvp") : name;
    session.send_text(kv_msg::FILE_PROGRESS, sent_name + ";" + std::to_string(content.size()));
    QByteArray payload(KV_FILE_NAME_FIELD, '\0');
    std::memcpy(payload.data(), sent_name.data(), std::min<size_t>(sent_name.size(), KV_FILE_NAME_FIELD - 1));
    payload += content;
    session.send(kv_msg::FILE, payload.constData(), static_cast<uint32_t>(payload.size()));
    log_line(session.peer(), QString("-> 26, %1 bytes of %2").arg(content.size()).arg(QString::fromStdString(sent_name)));
}

void CKV_Sim_Controller::store_settings(KV_Data& record, const char* what, const std::string& text)
{
    record.set_text(text);
    const bool saved = m_db.save(false);
    printf("%s settings stored%s\n", what, saved ? "" : ", but the project file could not be written");
    fflush(stdout);
}

void CKV_Sim_Controller::send_snapshot(CKV_Sim_Session& session, const std::string& text)
{
    const size_t separator = text.find(';');
    const std::string guid = text.substr(0, separator);
    const int index = separator == std::string::npos ? 0 : kv_atoi(std::string_view(text).substr(separator + 1));
    const bool known = std::any_of(m_db.m_logic_pages.begin(), m_db.m_logic_pages.end(), [&](const auto& page) {
        return page->find_control(guid) != nullptr;
    });
    if (!known || index < 0)
        return; // not a snapshot block of the project: a controller stays silent
    // Snapshot n was taken n ten-minute steps ago.
    send_picture(session, guid, QTime::currentTime().addSecs(-600 * (index % 144)));
}

void CKV_Sim_Controller::send_picture(CKV_Sim_Session& session, const std::string& guid, const QTime& time)
{
    const QByteArray payload = QByteArray::fromStdString(guid) + ';' + kv_sim_camera_picture(time);
    session.send(kv_msg::CAMERA_IMAGE, payload.constData(), static_cast<uint32_t>(payload.size()));
}

void CKV_Sim_Controller::send_camera_picture(CKV_Sim_Session& session, const std::string& guid)
{
    const auto& cams = m_db.m_settings_ip_cam.m_list_cam;
    if (std::none_of(cams.begin(), cams.end(), [&](const auto& cam) { return cam.m_str_guid == guid; }))
        return; // not a camera of the project: a controller stays silent
    send_picture(session, guid, QTime::currentTime());
}

void CKV_Sim_Controller::run_scene(const std::string& guid)
{
    for (const KV_Settings_Scene::Scene& scene : m_db.m_settings_scene.m_list_scene) {
        if (scene.m_str_guid != guid)
            continue;
        for (const KV_Settings_Scene::Item& item : scene.m_list_item) {
            KV_Addr_Db* record = m_db.m_addr.find_address(item.m_addr);
            if (!item.m_active || !record)
                continue;
            set_value_from_double(*record, item.m_value);
            write_to_bus(*record);
        }
        printf("scene %s written\n", scene.m_str_name.c_str());
        fflush(stdout);
        return;
    }
    printf("scene %s unknown\n", guid.c_str());
    fflush(stdout);
}

void CKV_Sim_Controller::on_netvar(CKV_Sim_Session& session, const KV_Addr_Tgm& tgm)
{
    if (paused())
        return;
    const KV_Group_Address dest{tgm.dest_address[0], tgm.dest_address[1], tgm.dest_address[2]};
    log_line(session.peer(), QString("<- 13 %1 %2 type %3 value %4")
                                 .arg(command_name(tgm.command), QString::fromStdString(address_to_text(dest)))
                                 .arg(tgm.data_type)
                                 .arg(QByteArray(reinterpret_cast<const char*>(tgm.value), std::min<int>(tgm.m_data_length, 16)).toHex()));
    if (!session.m_logged_in)
        return;
    if (tgm.command == KV_TGM_READ) {
        if (const KV_Addr_Db* record = m_db.m_addr.find_address(dest))
            session.send_netvar(telegram_of(*record, KV_TGM_RESPONSE));
        return;
    }
    m_db.m_addr.addresses_for_telegram(tgm);
    // The bus carries a write to every listener, the writer included.
    if (tgm.command == KV_TGM_WRITE) {
        send_to_all(tgm);
        if (const KV_Addr_Db* record = m_db.m_addr.find_address(dest))
            start_sequences(dest, value_as_double(*record));
    }
}

void CKV_Sim_Controller::store_block(CKV_Sim_Session& from, const std::string& text)
{
    const KV_LOGIC_Control block(text);
    for (const auto& page : m_db.m_logic_pages)
        if (KV_LOGIC_Control* held = page->find_control(block.m_str_guid)) {
            held->set_text(text);
            const bool saved = m_db.save(false);
            printf("logic block %s stored%s\n", held->m_str_name.c_str(),
                   saved ? "" : ", but the project file could not be written");
            fflush(stdout);
            for (CKV_Sim_Session* session : m_sessions)
                if (session != &from && session->m_logged_in)
                    session->send_text(kv_msg::BLOCK_CHANGED, text);
            return;
        }
    printf("logic block %s unknown\n", block.m_str_guid.c_str());
    fflush(stdout);
}

void CKV_Sim_Controller::start_sequences(const KV_Group_Address& dest, double value)
{
    if (value == 0.0)
        return;
    for (const auto& page : m_db.m_logic_pages)
        for (const auto& block : page->m_controls) {
            const auto start = block->input(0);
            const auto number_input = block->input(2);
            if (!start || start->m_addr != dest || !block->param(CTRL_Settings_RGBW_SEQU::param_name(1)))
                continue;
            const KV_Addr_Db* number = number_input ? m_db.m_addr.find_address(number_input->m_addr) : nullptr;
            const int n = number ? std::max(1, int(value_as_double(*number))) : 1;
            const std::string* text = block->param(CTRL_Settings_RGBW_SEQU::param_name(size_t(n)));
            const std::vector<KV_Sequence_Step> steps = text ? kv_sequence_from_text(*text) : std::vector<KV_Sequence_Step>{};
            if (steps.empty())
                continue;
            const double channels[] = {steps[0].color.red, steps[0].color.green, steps[0].color.blue, steps[0].color.white};
            for (size_t i = 0; i < 4; ++i)
                if (const auto output = block->output(i))
                    if (KV_Addr_Db* record = m_db.m_addr.find_address(output->m_addr)) {
                        set_value_from_double(*record, channels[i]);
                        write_to_bus(*record);
                    }
            printf("sequence %d of %s started with %zu steps\n", n, block->m_str_name.c_str(), steps.size());
            fflush(stdout);
        }
}

KV_Addr_Tgm CKV_Sim_Controller::telegram_of(const KV_Addr_Db& record, uint32_t command) const
{
    KV_Addr_Tgm tgm = kv_make_netvar(record, address_from_text(m_db.m_settings_knx.m_addr_src));
    tgm.source_module = KV_MODULE_SERVER;
    tgm.dest_module = KV_MODULE_APP;
    tgm.command = command;
    return tgm;
}

KV_Addr_Tgm CKV_Sim_Controller::bus_write(const KV_Addr_Db& record)
{
    const KV_Addr_Tgm tgm = telegram_of(record, KV_TGM_WRITE);
    m_db.m_addr.addresses_for_telegram(tgm); // the listeners of the address
    return tgm;
}

void CKV_Sim_Controller::write_to_bus(KV_Addr_Db& record)
{
    send_to_all(bus_write(record));
}

void CKV_Sim_Controller::send_to_all(const KV_Addr_Tgm& tgm)
{
    for (CKV_Sim_Session* session : m_sessions)
        if (session->m_logged_in)
            session->send_netvar(tgm);
}

void CKV_Sim_Controller::flood(CKV_Sim_Session& session)
{
    const std::vector<KV_Addr_Db*> addresses = all_addresses();
    if (addresses.empty())
        return;
    for (int i = 0; i < m_options.flood_count; ++i)
        session.send_netvar(bus_write(*addresses[static_cast<size_t>(i) % addresses.size()]));
    log_line(session.peer(), QString("-> flood of %1 net variables").arg(m_options.flood_count));
}

void CKV_Sim_Controller::live_step()
{
    // A slow swing of about a degree and a half, each address in its own phase.
    ++m_live_step;
    for (size_t i = 0; i < m_drifting.size(); ++i) {
        const double phase = 2.0 * M_PI * (m_live_step / 120.0 + static_cast<double>(i) / 7.0);
        set_value_from_double(*m_drifting[i].record, std::round((m_drifting[i].base + 1.5 * std::sin(phase)) * 10.0) / 10.0);
        write_to_bus(*m_drifting[i].record);
    }
    // Sent when the model changes, so that a light switched by hand stays until the model switches it.
    const int64_t now = QDateTime::currentMSecsSinceEpoch();
    for (Drifting& m : m_modelled) {
        const double value = kv_demo_logged_value(m.record->m_addr_write, now).value_or(m.base);
        if (value == m.base)
            continue;
        m.base = value;
        set_value_from_double(*m.record, value);
        write_to_bus(*m.record);
    }
}

void CKV_Sim_Controller::refresh_weather()
{
    const int64_t now = static_cast<int64_t>(QDateTime::currentSecsSinceEpoch());
    for (const auto& page : m_db.m_logic_pages)
        for (const auto& block : page->m_controls) {
            const std::string* param = block->param("Aktuell");
            if (!param)
                continue;
            CTRL_Settings_Open_Weather_Current current(kv_weather_record_text(*param));
            current.m_time = now;
            current.m_temp = std::round((current.m_temp + 0.3) * 10.0) / 10.0; // a little warmer each fetch
            block->set_param("Aktuell", kv_weather_param(current));
            const std::string text = block->encode();
            for (CKV_Sim_Session* session : m_sessions)
                if (session->m_logged_in)
                    session->send_text(kv_msg::BLOCK_CHANGED, text);
            log_line("command", QString("-> 602 weather %1, %2 °C").arg(QString::fromStdString(block->m_str_name)).arg(current.m_temp));
        }
}
