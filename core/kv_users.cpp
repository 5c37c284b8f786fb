#include "kv_users.h"

#include "kv_record_fields.h"

KV_Settings_Users::KV_Settings_Users(const std::string& text)
    : KV_Data(text)
{
    decode_text(*this);
}

std::string KV_Settings_Users::encode()
{
    m_text.clear();
    uint32_t index = 0;
    for (const User& user : m_list_user) {
        m_text += put_string("m_str_name", user.m_str_name, index);
        m_text += put_string("m_str_passwd_md5", user.m_str_passwd_md5, index);
        m_text += put_bool("m_str_analytics", user.m_str_analytics, index);
        ++index;
    }
    return m_text;
}

void KV_Settings_Users::decode()
{
    kv_rewind_search_cursor();
    read_list(m_list_user, MAX_USERS, "m_str_name", [this](uint32_t i, User& user) {
        user.m_str_name = get_string(*this, "m_str_name", "", i);
        if (user.m_str_name.empty())
            return false;
        user.m_str_passwd_md5 = get_string(*this, "m_str_passwd_md5", user.m_str_passwd_md5, i);
        user.m_str_analytics = get_bool(*this, "m_str_analytics", user.m_str_analytics, i);
        return true;
    });
}
