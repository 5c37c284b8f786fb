#include "kv_network_client.h"

#include <QCoreApplication>
#include <QTcpSocket>
#include <mutex>

#include "kv_addr.h"
#include "kv_project_db.h"
#include "kv_trace.h"

KV_Endpoint kv_route_endpoint(const KV_Routes::_route& route)
{
    KV_Endpoint endpoint;
    endpoint.host = QString::fromStdString(route.m_str_ip);
    endpoint.port = KV_PORT_DIRECT;
    if (route.m_use_kv_dns_svr) {
        endpoint.port = KV_PORT_ONLINE;
        endpoint.host = QString::fromStdString(route.m_str_dns_vpn);
    }
    // "host:port"; more than one colon (an IPv6 address) is taken whole.
    const QStringList parts = endpoint.host.split(':');
    if (parts.size() == 2) {
        endpoint.host = parts[0];
        endpoint.port = parts[1].toUShort(); // 0 for anything but a number
    }
    return endpoint;
}

CKV_Studio_Network_Client::CKV_Studio_Network_Client(CKV_Project_Db* project, QObject* parent)
    : QObject(parent)
    , m_project(project)
    , m_socket(new QTcpSocket(this))
{
    m_supervision.setInterval(SUPERVISION_MS);
    m_grace_timer.setSingleShot(true);
    m_grace_timer.setInterval(GRACE_MS);
    m_answer_timer.setSingleShot(true);
    m_answer_timer.setInterval(ANSWER_MS);
    QObject::connect(m_socket, &QTcpSocket::connected, this, &CKV_Studio_Network_Client::slot_connected);
    QObject::connect(m_socket, &QTcpSocket::disconnected, this, &CKV_Studio_Network_Client::slot_disconnected);
    QObject::connect(m_socket, &QTcpSocket::readyRead, this, &CKV_Studio_Network_Client::slot_readyRead);
    QObject::connect(&m_supervision, &QTimer::timeout, this, &CKV_Studio_Network_Client::slot_timeout);
    QObject::connect(&m_grace_timer, &QTimer::timeout, this,
                     &CKV_Studio_Network_Client::slot_timeout_fresh_connected);
    QObject::connect(&m_answer_timer, &QTimer::timeout, this, &CKV_Studio_Network_Client::no_answer);

    m_stream.set_message_handler([this](CKV_Network_Msg* header, uint8_t* payload) {
        emit onDataReadClient(header, payload);
    });
    m_stream.set_netvar_handler([this](const KV_Addr_Tgm& tgm) {
        set_alive(true); // values arriving are a sign of life
        emit onDataReadClient(tgm);
    });
    m_stream.set_pause_hook([this] { pause_for_events(); });
}

CKV_Studio_Network_Client::~CKV_Studio_Network_Client()
{
    // No reports to receivers that may already be gone.
    m_socket->disconnect(this);
    m_socket->abort();
}

void CKV_Studio_Network_Client::set_intervals(int supervision_ms, int grace_ms)
{
    m_supervision_ms = supervision_ms;
    m_supervision.setInterval(supervision_ms);
    m_grace_timer.setInterval(grace_ms);
    m_answer_timer.setInterval(supervision_ms / (SUPERVISION_MS / ANSWER_MS));
}

void CKV_Studio_Network_Client::set_alive(bool alive)
{
    m_alive = alive;
    if (alive)
        forget_answer();
}

bool CKV_Studio_Network_Client::connect_route(const KV_Routes::_route* route)
{
    if (!route)
        return false;
    KV_Routes::_route copy = *route; // route may be our own copy
    copy.m_communication_version = 1;
    if (copy.m_use_kv_dns_svr && copy.m_str_dns_vpn.empty())
        copy.m_str_dns_vpn = KV_ONLINE_SERVER_HOST;
    m_route = std::move(copy);
    const KV_Endpoint endpoint = kv_route_endpoint(m_route);
    disconnect_route();
    m_socket->connectToHost(endpoint.host, endpoint.port, QIODevice::ReadWrite, QAbstractSocket::AnyIPProtocol);
    m_reconnect_wanted = true;
    m_supervision.start(m_supervision_ms);
    return true;
}

void CKV_Studio_Network_Client::disconnect_route()
{
    m_supervision.stop();
    m_reconnect_wanted = false;
    m_socket->disconnectFromHost();
    m_socket->abort();
    m_socket->close();
    m_stream.reset();
    m_grace_timer.stop();
    forget_answer();
    m_grace = false;
    m_connected = false;
}

bool CKV_Studio_Network_Client::send(uint32_t id)
{
    return send_data(id, 0, nullptr);
}

bool CKV_Studio_Network_Client::send_text(uint32_t id, const std::string& text)
{
    return send_data(id, static_cast<uint32_t>(text.size() + 1), text.c_str());
}

bool CKV_Studio_Network_Client::send_data(uint32_t id, uint32_t length, const void* bytes)
{
    if (!m_connected)
        return false;
    if (!kv_frame_message(m_encipher, id, bytes, length, m_frame))
        return false;
    const qint64 written = m_socket->write(reinterpret_cast<const char*>(m_frame.data()), static_cast<qint64>(m_frame.size()));
    if (written > 0)
        m_bytes_sent += static_cast<quint32>(written);
    if (id == kv_msg::KEEP_ALIVE && !m_answer_owed) {
        m_answer_owed = true;
        m_answer_timer.start();
    }
    return written == static_cast<qint64>(m_frame.size());
}

bool CKV_Studio_Network_Client::send_netvar(const KV_Group_Address& address, double value)
{
    if (!m_project)
        return false;
    KV_Addr_Tgm tgm;
    {
        std::lock_guard lock(kv_address_lock());
        KV_Addr_Db* record = m_project->m_addr.find_address(address);
        if (!record)
            return false;
        set_value_from_double(*record, value);
        tgm = kv_make_netvar(*record, address_from_text(m_project->m_settings_knx.m_addr_src));
    }
    return send_netvar(tgm);
}

bool CKV_Studio_Network_Client::send_netvar(const KV_Addr_Tgm& tgm)
{
    const uint32_t length = kv_netvar_data_length(tgm);
    if (length == 0) {
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_ZRQ, "ERROR::send_netvar: m_data_length %u beyond the value field\n",
              tgm.m_data_length);
        return false;
    }
    if (tgm.m_data_length == 0)
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_ZRQ, "ERROR::send_netvar: m_data_length==0\n");
    return send_data(kv_msg::NETVAR, length, &tgm);
}

void CKV_Studio_Network_Client::slot_connected()
{
    m_stream.reset();
    forget_answer();
    m_connected = true;
    m_grace_timer.start();
    m_grace = true;
    emit onConnectClient(true, m_route);
}

void CKV_Studio_Network_Client::slot_disconnected()
{
    m_stream.reset();
    forget_answer();
    m_connected = false;
    // A loss within the first second after connecting is reported when that
    // second ends, so that the window never goes on showing "connected".
    if (!m_grace)
        emit onConnectClient(false, m_route);
}

void CKV_Studio_Network_Client::slot_readyRead()
{
    // Bytes read from inside a handler (a nested event loop) queue behind the
    // message being delivered.
    while (m_socket->bytesAvailable() > 0) {
        const QByteArray bytes = m_socket->read(READ_PIECE);
        m_stream.feed(reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size()));
        if (m_stream.has_pending_header())
            emit receiving(qint64(m_stream.buffered_bytes()));
        if (m_socket->bytesAvailable() > 0)
            pause_for_events(); // a large file or a flood goes on arriving
    }
}

void CKV_Studio_Network_Client::slot_timeout()
{
    // An unanswered keep-alive is the answer timer's to judge: an answer just
    // after the tick counts for the next period.
    if (m_socket->state() == QAbstractSocket::ConnectedState && !m_alive && !m_answer_owed) {
        read_pending();
        if (!m_alive && m_socket->state() == QAbstractSocket::ConnectedState)
            reconnect_silent_link("no sign of life");
    }
    m_alive = false;
    if (m_socket->state() == QAbstractSocket::UnconnectedState && m_reconnect_wanted)
        connect_route(&m_route);
}

void CKV_Studio_Network_Client::slot_timeout_fresh_connected()
{
    m_grace = false;
    if (!m_connected && m_socket->state() != QAbstractSocket::ConnectedState)
        emit onConnectClient(false, m_route);
}

void CKV_Studio_Network_Client::forget_answer()
{
    m_answer_owed = false;
    m_answer_timer.stop();
}

void CKV_Studio_Network_Client::no_answer()
{
    // Inside a burst the answer waits behind the values still being handed on.
    if (m_pausing) {
        m_answer_timer.start();
        return;
    }
    read_pending();
    if (!m_answer_owed || m_socket->state() != QAbstractSocket::ConnectedState)
        return;
    reconnect_silent_link("keep-alive unanswered");
}

void CKV_Studio_Network_Client::read_pending()
{
    // Bytes that came while the event loop was busy elsewhere may hold the
    // sign of life: what the socket has buffered, then what the system holds
    // (read at once, without waiting).
    slot_readyRead();
    if (m_socket->state() == QAbstractSocket::ConnectedState)
        m_socket->waitForReadyRead(0);
}

void CKV_Studio_Network_Client::reconnect_silent_link(const char* why)
{
    // A wall panel has nobody to press connect: the same controller again.
    TRACE(kv_trace::LEVEL_MSG, kv_trace::AREA_ZRQ, "NETWORK_CLIENT::%s, connecting again\n", why);
    connect_route(&m_route);
}

void CKV_Studio_Network_Client::pause_for_events()
{
    if (m_pausing)
        return;
    m_pausing = true;
    QCoreApplication::processEvents(QEventLoop::ExcludeSocketNotifiers, PAUSE_MS);
    m_pausing = false;
}
