#include "kv_discovery.h"

#include <QNetworkDatagram>
#include <QUdpSocket>

#include <cctype>

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

namespace {
// The MAC address as its hexadecimal digits in lower case, whatever the
// separators and case the controller wrote.
QString mac_digits(const std::string& mac)
{
    QString digits;
    for (const char c : mac)
        if (std::isxdigit(static_cast<unsigned char>(c)))
            digits += QLatin1Char(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    return digits;
}
} // namespace

std::optional<KV_Search_Answer> kv_parse_search_answer(const QByteArray& datagram, const QHostAddress& sender)
{
    // Our own request comes back to us on the shared port.
    if (datagram.size() > KV_SEARCH_MAX_ANSWER || datagram == QByteArray(KV_SEARCH_REQUEST))
        return std::nullopt;
    const KV_SysInfo info(datagram.toStdString());
    KV_Search_Answer answer;
    answer.route = kv_route_from_search_answer(info, QHostAddress(sender.toIPv4Address()).toString());
    answer.name = QString::fromStdString(answer.route.m_str_name);
    const QString mac = mac_digits(info.m_str_mac);
    answer.identity = info.m_str_serial.empty() && mac.isEmpty()
                          ? QStringLiteral("name:") + answer.name
                          : QStringLiteral("id:") + QString::fromStdString(info.m_str_serial) + QLatin1Char('/') + mac;
    return answer;
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
    m_known.clear();
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
    const int first = static_cast<int>(m_entries.size());
    for (int read = 0; read < KV_SEARCH_BATCH && m_socket->hasPendingDatagrams(); ++read) {
        const QNetworkDatagram datagram = m_socket->receiveDatagram(KV_SEARCH_MAX_ANSWER + 1);
        // A full list takes nothing more; the rest is only drained.
        if (m_entries.size() >= KV_SEARCH_MAX_ENTRIES)
            continue;
        std::optional<KV_Search_Answer> answer = kv_parse_search_answer(datagram.data(), datagram.senderAddress());
        if (!answer || m_known.contains(answer->identity) || m_known.contains(answer->name))
            continue;
        m_known.insert(answer->identity);
        m_known.insert(answer->name);
        m_entries.push_back({answer->name, std::move(answer->route)});
    }
    const int added = static_cast<int>(m_entries.size()) - first;
    if (added > 0)
        emit entries_added(first, added);
}
