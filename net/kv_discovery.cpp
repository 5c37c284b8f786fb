#include "kv_discovery.h"

#include <QNetworkDatagram>
#include <QUdpSocket>

#include "kv_crypto.h"
#include "kv_trace.h"

KV_Routes::_route kv_route_from_search_answer(const KV_SysInfo& answer, const QString& sender_ip)
{
    KV_Routes::_route route;
    route.m_use_kv_dns_svr = false;
    route.m_str_name = answer.m_str_ip + "_" + answer.m_str_mac;
    route.m_str_ip = sender_ip.toStdString();
    route.m_str_user = KV_DEFAULT_USER;
    route.m_str_passwd_md5 = kv_crypto::md5_hex(KV_DEFAULT_PASSWORD);
    return route;
}

CKV_Target_Search::CKV_Target_Search(QObject* parent, quint16 listen_port)
    : QObject(parent)
    , m_socket(new QUdpSocket(this))
{
    // Fails quietly when another program holds the port exclusively: the
    // search then finds nothing.
    if (!m_socket->bind(QHostAddress::AnyIPv4, listen_port, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint))
        TRACE(kv_trace::LEVEL_MSG, kv_trace::AREA_ZRQ, "SEARCH: cannot bind UDP port %u: %s\n", listen_port,
              qPrintable(m_socket->errorString()));
    m_tick.setInterval(TICK_MS);
    connect(m_socket, &QUdpSocket::readyRead, this, &CKV_Target_Search::slot_readyRead_Udp);
    connect(&m_tick, &QTimer::timeout, this, &CKV_Target_Search::slot_timeout);
}

void CKV_Target_Search::set_target(const QHostAddress& address, quint16 port)
{
    m_target_address = address;
    m_target_port = port;
}

quint16 CKV_Target_Search::listen_port() const
{
    return m_socket->localPort();
}

void CKV_Target_Search::start()
{
    m_entries.clear();
    m_progress = 0;
    emit progress_changed(m_progress);
    m_tick.start();
}

void CKV_Target_Search::stop()
{
    m_tick.stop();
}

void CKV_Target_Search::slot_timeout()
{
    if (m_progress == 0)
        m_socket->writeDatagram(KV_SEARCH_REQUEST, sizeof KV_SEARCH_REQUEST - 1, m_target_address, m_target_port);
    m_progress = m_progress <= 99 ? m_progress + 20 : 0;
    emit progress_changed(m_progress);
}

void CKV_Target_Search::slot_readyRead_Udp()
{
    while (m_socket->hasPendingDatagrams()) {
        const QNetworkDatagram datagram = m_socket->receiveDatagram();
        const QByteArray text = datagram.data();
        // Our own request comes back to us on the shared port.
        if (text == QByteArray(KV_SEARCH_REQUEST))
            continue;
        const KV_SysInfo answer(text.toStdString());
        const QString sender = QHostAddress(datagram.senderAddress().toIPv4Address()).toString();
        KV_Routes::_route route = kv_route_from_search_answer(answer, sender);
        const QString name = QString::fromStdString(route.m_str_name);
        const bool known = std::any_of(m_entries.begin(), m_entries.end(), [&](const Entry& e) { return e.name == name; });
        if (known)
            continue;
        m_entries.push_back({name, route});
        emit entry_found(static_cast<int>(m_entries.size() - 1), name, route);
    }
}
