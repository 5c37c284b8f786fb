#pragma once
// Visualisation page and control records.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "kv_address.h"
#include "kv_data.h"

class KV_GUI_Control : public KV_Data {
public:
    static constexpr size_t MAX_ADDR = 64;
    static constexpr size_t MAX_PARAM = 90;

    KV_GUI_Control() = default;
    explicit KV_GUI_Control(const std::string& text);

    std::string encode() override;
    void decode() override;

    int32_t m_typ = 0;
    bool m_activ = true;
    int32_t m_x = 0;
    int32_t m_y = 0;
    int32_t m_width = 100;
    int32_t m_height = 30;
    int32_t m_transparenz = 100;
    std::string m_str_font = "Arial,10,-1,0";
    int32_t m_align = 132; // centred horizontally and vertically
    int32_t m_text_offs_x = 0;
    int32_t m_text_offs_y = 0;
    std::string m_str_guid;
    std::string m_str_guid_parent_page;
    std::string m_str_guid_parent_control;
    std::string m_str_name;
    KV_Group_Address m_addr_disable;
    KV_Group_Address m_addr_hide;
    // Slot meanings are fixed per control type.
    std::vector<KV_Group_Address> m_list_addr;
    std::vector<std::string> m_list_param;
};

class KV_GUI_Page : public KV_Data {
public:
    KV_GUI_Page() = default;
    explicit KV_GUI_Page(const std::string& text);

    std::string encode() override;
    void decode() override;

    // Replaces the fields of the control with the same non-empty GUID, else
    // appends a copy. Returns the control in the list.
    KV_GUI_Control* add_control(const KV_GUI_Control& record);
    KV_GUI_Control* find_control(const std::string& guid) const;

    int32_t m_page_orientation = 0;
    std::string m_str_guid;
    std::string m_str_caption;
    std::string m_str_users;
    std::string m_str_bg_color = "ffffff"; // six lower-case hex digits after decoding
    std::string m_str_frame_color = "ffffff";
    std::string m_str_image_bg;
    std::string m_str_image_icon;
    int32_t m_align = 0;
    bool m_zoom_to_page = false;
    bool m_keep_aspect = false;
    int32_t m_width = 1024;
    int32_t m_height = 576;
    int32_t m_width_virt = 1024;
    int32_t m_height_virt = 576;

    // Not part of the page's record text.
    std::vector<std::unique_ptr<KV_GUI_Control>> m_controls;
};

// "%06lx" of the text read as a hexadecimal number ("xyz" gives "000000").
std::string normalise_bg_color(const std::string& text);
