#pragma once
// The project record: identity, name and the pages shown last.

#include <cstdint>
#include <ctime>
#include <string>

#include "kv_data.h"

// Version text the program writes into every project it saves.
inline constexpr const char* KV_PROGRAM_VERSION = "3.01111";

class KV_Project : public KV_Data {
public:
    KV_Project() = default;
    explicit KV_Project(const std::string& text);

    std::string encode() override;
    void decode() override;

    int64_t m_tm_modified = std::time(nullptr); // seconds since 1970; missing in a text: time of decoding
    std::string m_str_guid;
    std::string m_str_name;
    std::string m_str_comment;
    std::string m_str_filename;
    std::string m_str_version;
    int32_t m_last_page_gui = 0;
    int32_t m_last_page_logic = 0;
    int32_t m_last_page_hw_settings = 0;
    bool m_mark_project_changed_on_clock = false;
    bool m_mark_project_changed_on_scene = false;
};
