// Search answers come from anyone on the LAN: any datagram must parse
// without a crash into a direct route to its sender, or be refused.

#include <QByteArray>
#include <QHostAddress>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "kv_discovery.h"

namespace {
void check(bool condition)
{
    if (!condition)
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray datagram(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QHostAddress sender(QStringLiteral("192.168.7.20"));
    const std::optional<KV_Search_Answer> answer = kv_parse_search_answer(datagram, sender);
    const bool refused = datagram.size() > KV_SEARCH_MAX_ANSWER || datagram == QByteArray(KV_SEARCH_REQUEST);
    check(answer.has_value() != refused);
    if (!answer)
        return 0;
    check(!answer->identity.isEmpty());
    check(answer->name == QString::fromStdString(answer->route.m_str_name));
    check(answer->route.m_str_ip == "192.168.7.20");
    check(!answer->route.m_use_kv_dns_svr);
    check(answer->route.m_str_user == KV_DEFAULT_USER);
    // The same bytes are the same controller.
    check(kv_parse_search_answer(datagram, sender)->identity == answer->identity);
    return 0;
}
