#include "kv_routes.h"

#include "kv_record_fields.h"

namespace {
constexpr const char* ROUTE_MARKER = "m_list_route.m_use_kv_dns_svr";
} // namespace

KV_Routes::KV_Routes(const std::string& text)
    : KV_Data(text)
{
    decode_text(*this);
}

std::string KV_Routes::encode()
{
    m_text.clear();
    m_text += put_uint("m_route_default", static_cast<uint32_t>(m_route_default));
    for (uint32_t i = 0; i < m_list_route.size(); ++i) {
        const _route& r = m_list_route[i];
        m_text += put_bool(ROUTE_MARKER, r.m_use_kv_dns_svr, i);
        m_text += put_string("m_list_route.m_str_name", r.m_str_name, i);
        m_text += put_string("m_list_route.m_str_ip", r.m_str_ip, i);
        m_text += put_string("m_list_route.m_str_dns_vpn", r.m_str_dns_vpn, i);
        m_text += put_string("m_list_route.m_str_mac", r.m_str_mac, i);
        m_text += put_string("m_list_route.m_str_plattform", r.m_str_plattform, i);
        m_text += put_string("m_list_route.m_str_serial", r.m_str_serial, i);
        m_text += put_string("m_list_route.m_str_mail", r.m_str_mail, i);
        m_text += put_string("m_list_route.m_str_user", r.m_str_user, i);
        m_text += put_string("m_list_route.m_str_passwd_md5", r.m_str_passwd_md5, i);
        m_text += put_string("m_list_route.m_str_passwd_sha512_online", r.m_str_passwd_sha512_online, i);
    }
    return m_text;
}

void KV_Routes::decode()
{
    kv_rewind_search_cursor();
    m_route_default = get_int(*this, "m_route_default", 0);
    read_list(m_list_route, MAX_ROUTES, "m_list_route", [this](uint32_t i, _route& r) {
        if (!read_flag_marker(*this, ROUTE_MARKER, i, r.m_use_kv_dns_svr))
            return false;
        r.m_str_name = get_string(*this, "m_list_route.m_str_name", r.m_str_name, i);
        r.m_str_ip = get_string(*this, "m_list_route.m_str_ip", r.m_str_ip, i);
        r.m_str_dns_vpn = get_string(*this, "m_list_route.m_str_dns_vpn", r.m_str_dns_vpn, i);
        r.m_str_mac = get_string(*this, "m_list_route.m_str_mac", r.m_str_mac, i);
        r.m_str_plattform = get_string(*this, "m_list_route.m_str_plattform", r.m_str_plattform, i);
        r.m_str_serial = get_string(*this, "m_list_route.m_str_serial", r.m_str_serial, i);
        r.m_str_mail = get_string(*this, "m_list_route.m_str_mail", r.m_str_mail, i);
        r.m_str_user = get_string(*this, "m_list_route.m_str_user", r.m_str_user, i);
        r.m_str_passwd_md5 = get_string(*this, "m_list_route.m_str_passwd_md5", r.m_str_passwd_md5, i);
        r.m_str_passwd_sha512_online =
            get_string(*this, "m_list_route.m_str_passwd_sha512_online", r.m_str_passwd_sha512_online, i);
        return true;
    });
}

KV_Routes::_route* KV_Routes::active_route()
{
    if (m_route_default < 0 || static_cast<size_t>(m_route_default) >= m_list_route.size())
        m_route_default = 0;
    return m_list_route.empty() ? nullptr : &m_list_route[static_cast<size_t>(m_route_default)];
}

std::string route_login_text(const KV_Routes::_route& route)
{
    std::string text;
    text += put_bool("m_use_kv_dns_svr", route.m_use_kv_dns_svr);
    text += put_string("m_str_name", route.m_str_name);
    text += put_string("m_str_dns_vpn", route.m_str_dns_vpn);
    text += put_string("m_str_ip", route.m_str_ip);
    text += put_string("m_str_user", route.m_str_user);
    text += put_string("m_str_passwd_md5", route.m_str_passwd_md5);
    text += put_string("m_str_passwd_sha512_online", route.m_str_passwd_sha512_online);
    text += put_string("m_str_serial", route.m_str_serial);
    text += put_string("m_str_mail", route.m_str_mail);
    text += put_int("m_communication_version", route.m_communication_version);
    return text;
}

KV_SysInfo::KV_SysInfo(const std::string& text)
    : KV_Data(text)
{
    decode_text(*this);
}

std::string KV_SysInfo::encode()
{
    m_text.clear();
    m_text += put_string("m_str_name", m_str_name);
    m_text += put_string("m_str_serial", m_str_serial);
    m_text += put_string("m_str_ip", m_str_ip);
    m_text += put_string("m_str_ip_vpn", m_str_ip_vpn);
    m_text += put_string("m_str_mac", m_str_mac);
    m_text += put_string("m_str_pattform", m_str_pattform);
    m_text += put_string("m_str_project_name", m_str_project_name);
    m_text += put_string("m_str_project_guid", m_str_project_guid);
    m_text += put_string("m_str_version", m_str_version);
    m_text += put_string("m_str_version_build", m_str_version_build);
    m_text += put_string("m_str_boardtyp", m_str_boardtyp);
    return m_text;
}

void KV_SysInfo::decode()
{
    static const KV_SysInfo def;
    kv_rewind_search_cursor();
    m_str_name = get_string(*this, "m_str_name", def.m_str_name);
    m_str_serial = get_string(*this, "m_str_serial", def.m_str_serial);
    m_str_ip = get_string(*this, "m_str_ip", def.m_str_ip);
    m_str_ip_vpn = get_string(*this, "m_str_ip_vpn", def.m_str_ip_vpn);
    m_str_mac = get_string(*this, "m_str_mac", def.m_str_mac);
    m_str_pattform = get_string(*this, "m_str_pattform", def.m_str_pattform);
    m_str_project_name = get_string(*this, "m_str_project_name", def.m_str_project_name);
    m_str_project_guid = get_string(*this, "m_str_project_guid", def.m_str_project_guid);
    m_str_version = get_string(*this, "m_str_version", def.m_str_version);
    m_str_version_build = get_string(*this, "m_str_version_build", def.m_str_version_build);
    m_str_boardtyp = get_string(*this, "m_str_boardtyp", def.m_str_boardtyp);
}
