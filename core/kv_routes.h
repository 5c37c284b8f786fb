#pragma once
// Connection targets of the installation and the controller's system
// information.

#include <cstdint>
#include <string>
#include <vector>

#include "kv_data.h"

// VPN name-service host of the online server; the default of every route.
inline constexpr const char* KV_ONLINE_SERVER_HOST = "connect.kirovantor3.net";

class KV_Routes : public KV_Data {
public:
    static constexpr size_t MAX_ROUTES = 64;

    struct _route {
        bool m_use_kv_dns_svr = false; // through the online server instead of m_str_ip
        std::string m_str_name;
        std::string m_str_ip;
        std::string m_str_dns_vpn = KV_ONLINE_SERVER_HOST;
        std::string m_str_mac;
        std::string m_str_plattform;
        std::string m_str_serial;
        std::string m_str_mail;
        std::string m_str_user;
        std::string m_str_passwd_md5;
        std::string m_str_passwd_sha512_online;
        int32_t m_communication_version = 0; // set by the login, not stored in the list
    };

    KV_Routes() = default;
    explicit KV_Routes(const std::string& text);

    std::string encode() override;
    void decode() override;

    // The route at m_route_default; an index outside the list is reset to 0
    // first. Null for an empty list.
    _route* active_route();

    int32_t m_route_default = 0;
    std::vector<_route> m_list_route;
};

// The record text a route logs in with (no list prefix, no index).
std::string route_login_text(const KV_Routes::_route& route);

class KV_SysInfo : public KV_Data {
public:
    KV_SysInfo() = default;
    explicit KV_SysInfo(const std::string& text);

    std::string encode() override;
    void decode() override;

    std::string m_str_name;
    std::string m_str_serial;
    std::string m_str_ip;
    std::string m_str_ip_vpn;
    std::string m_str_mac;
    std::string m_str_pattform; // the controller's spelling
    std::string m_str_project_name;
    std::string m_str_project_guid;
    std::string m_str_version;
    std::string m_str_version_build;
    std::string m_str_boardtyp = "0";
};
