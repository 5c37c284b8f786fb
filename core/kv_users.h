#pragma once
// User accounts of the visualisation.

#include <string>
#include <vector>

#include "kv_data.h"

class KV_Settings_Users : public KV_Data {
public:
    static constexpr size_t MAX_USERS = 64;

    struct User {
        std::string m_str_name;
        std::string m_str_passwd_md5;
        bool m_str_analytics = true; // an integer despite its key
    };

    KV_Settings_Users() = default;
    explicit KV_Settings_Users(const std::string& text);

    std::string encode() override;
    void decode() override;

    std::vector<User> m_list_user;
};
