#pragma once
// A direct route as the tests write it: name, address, user and the digest
// of a password (by default the controller's factory login).

#include <string>

#include "kv_crypto.h"
#include "kv_routes.h"

inline KV_Routes::_route test_route(const std::string& name, const std::string& ip, const std::string& user = "root",
                                    const std::string& password = "werk-zugang")
{
    KV_Routes::_route route;
    route.m_str_name = name;
    route.m_str_ip = ip;
    route.m_str_user = user;
    route.m_str_passwd_md5 = kv_crypto::md5_hex(password);
    return route;
}
