#include "kv_project.h"

#include <ctime>

#include "kv_record_fields.h"

KV_Project::KV_Project(const std::string& text)
    : KV_Data(text)
{
    decode_text(*this);
}

std::string KV_Project::encode()
{
    m_text.clear();
    m_text += put_double("m_tm_modified", static_cast<double>(m_tm_modified));
    m_text += put_string("m_str_guid", m_str_guid);
    m_text += put_string("m_str_name", m_str_name);
    m_text += put_string("m_str_comment", m_str_comment);
    m_text += put_string("m_str_filename", m_str_filename);
    m_text += put_string("m_str_version", m_str_version);
    m_text += put_int("m_last_page_gui", m_last_page_gui);
    m_text += put_int("m_last_page_logic", m_last_page_logic);
    m_text += put_int("m_last_page_hw_settings", m_last_page_hw_settings);
    m_text += put_bool("m_mark_project_changed_on_clock", m_mark_project_changed_on_clock);
    m_text += put_bool("m_mark_project_changed_on_scene", m_mark_project_changed_on_scene);
    return m_text;
}

void KV_Project::decode()
{
    static const KV_Project def;
    kv_rewind_search_cursor();
    m_tm_modified = get_time(*this, "m_tm_modified", static_cast<int64_t>(std::time(nullptr)));
    m_str_guid = get_string(*this, "m_str_guid", def.m_str_guid);
    m_str_name = get_string(*this, "m_str_name", def.m_str_name);
    m_str_comment = get_string(*this, "m_str_comment", def.m_str_comment);
    m_str_filename = get_string(*this, "m_str_filename", def.m_str_filename);
    m_str_version = get_string(*this, "m_str_version", def.m_str_version);
    m_last_page_gui = get_int(*this, "m_last_page_gui", def.m_last_page_gui);
    m_last_page_logic = get_int(*this, "m_last_page_logic", def.m_last_page_logic);
    m_last_page_hw_settings = get_int(*this, "m_last_page_hw_settings", def.m_last_page_hw_settings);
    m_mark_project_changed_on_clock = get_bool(*this, "m_mark_project_changed_on_clock", def.m_mark_project_changed_on_clock);
    m_mark_project_changed_on_scene = get_bool(*this, "m_mark_project_changed_on_scene", def.m_mark_project_changed_on_scene);
}
