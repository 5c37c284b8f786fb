#include "kv_gui.h"

#include <cstdio>
#include <cstdlib>

#include "kv_record_fields.h"

namespace {
constexpr const char* ADDR_MARKER = "m_list_addr.addr.m_use_it";
constexpr const char* ADDR_TEXT = "m_list_addr.addr.m_addr";
constexpr const char* PARAM_MARKER = "m_list_param.m_use_it";
constexpr const char* PARAM_TEXT = "m_list_param.m_str_value";
} // namespace

KV_GUI_Control::KV_GUI_Control(const std::string& text)
    : KV_Data(text)
{
    decode_text(*this);
}

std::string KV_GUI_Control::encode()
{
    m_text.clear();
    m_text += put_int("m_typ", m_typ);
    m_text += put_bool("m_activ", m_activ);
    m_text += put_int("m_x", m_x);
    m_text += put_int("m_y", m_y);
    m_text += put_int("m_width", m_width);
    m_text += put_int("m_height", m_height);
    m_text += put_int("m_transparenz", m_transparenz);
    m_text += put_string("m_str_font", m_str_font);
    m_text += put_int("m_align", m_align);
    m_text += put_int("m_text_offs_x", m_text_offs_x);
    m_text += put_int("m_text_offs_y", m_text_offs_y);
    m_text += put_string("m_str_guid", m_str_guid);
    m_text += put_string("m_str_guid_parent_page", m_str_guid_parent_page);
    m_text += put_string("m_str_guid_parent_control", m_str_guid_parent_control);
    m_text += put_string("m_str_name", m_str_name);
    m_text += put_addr("m_addr_disable", m_addr_disable);
    m_text += put_addr("m_addr_hide", m_addr_hide);
    for (uint32_t i = 0; i < m_list_addr.size(); ++i) {
        m_text += put_int(ADDR_MARKER, 1, i);
        m_text += put_addr(ADDR_TEXT, m_list_addr[i], i);
    }
    for (uint32_t i = 0; i < m_list_param.size(); ++i) {
        m_text += put_int(PARAM_MARKER, 1, i);
        m_text += put_string(PARAM_TEXT, m_list_param[i], i);
    }
    return m_text;
}

void KV_GUI_Control::decode()
{
    static const KV_GUI_Control def;
    kv_rewind_search_cursor();
    m_typ = get_int(*this, "m_typ", def.m_typ);
    m_activ = get_bool(*this, "m_activ", def.m_activ);
    m_x = get_int(*this, "m_x", def.m_x);
    m_y = get_int(*this, "m_y", def.m_y);
    m_width = get_int(*this, "m_width", def.m_width);
    m_height = get_int(*this, "m_height", def.m_height);
    m_transparenz = get_int(*this, "m_transparenz", def.m_transparenz);
    m_str_font = get_string(*this, "m_str_font", def.m_str_font);
    m_align = get_int(*this, "m_align", def.m_align);
    m_text_offs_x = get_int(*this, "m_text_offs_x", def.m_text_offs_x);
    m_text_offs_y = get_int(*this, "m_text_offs_y", def.m_text_offs_y);
    m_str_guid = get_string(*this, "m_str_guid", def.m_str_guid);
    m_str_guid_parent_page = get_string(*this, "m_str_guid_parent_page", def.m_str_guid_parent_page);
    m_str_guid_parent_control = get_string(*this, "m_str_guid_parent_control", def.m_str_guid_parent_control);
    m_str_name = get_string(*this, "m_str_name", def.m_str_name);
    m_addr_disable = get_addr(*this, "m_addr_disable");
    m_addr_hide = get_addr(*this, "m_addr_hide");
    read_list(m_list_addr, MAX_ADDR, ADDR_TEXT, [this](uint32_t i, KV_Group_Address& addr) {
        if (!marker_present(*this, ADDR_MARKER, i))
            return false;
        addr = get_addr(*this, ADDR_TEXT, i);
        return true;
    });
    read_list(m_list_param, MAX_PARAM, PARAM_TEXT, [this](uint32_t i, std::string& param) {
        if (!marker_present(*this, PARAM_MARKER, i))
            return false;
        param = get_string(*this, PARAM_TEXT, "", i);
        return true;
    });
}

std::string normalise_bg_color(const std::string& text)
{
    const unsigned long value = std::strtoul(text.c_str(), nullptr, 16);
    char out[32];
    snprintf(out, sizeof out, "%06lx", value);
    return out;
}

KV_GUI_Page::KV_GUI_Page(const std::string& text)
    : KV_Data(text)
{
    decode_text(*this);
}

std::string KV_GUI_Page::encode()
{
    m_text.clear();
    m_text += put_int("m_page_orientation", m_page_orientation);
    m_text += put_string("m_str_guid", m_str_guid);
    m_text += put_string("m_str_caption", m_str_caption);
    m_text += put_string("m_str_users", m_str_users);
    m_text += put_string("m_str_bg_color", m_str_bg_color);
    m_text += put_string("m_str_frame_color", m_str_frame_color);
    m_text += put_string("m_str_image_bg", m_str_image_bg);
    m_text += put_string("m_str_image_icon", m_str_image_icon);
    m_text += put_int("m_align", m_align);
    m_text += put_bool("m_zoom_to_page", m_zoom_to_page);
    m_text += put_bool("m_keep_aspect", m_keep_aspect);
    m_text += put_int("m_width", m_width);
    m_text += put_int("m_height", m_height);
    m_text += put_int("m_width_virt", m_width_virt);
    m_text += put_int("m_height_virt", m_height_virt);
    return m_text;
}

void KV_GUI_Page::decode()
{
    static const KV_GUI_Page def;
    kv_rewind_search_cursor();
    m_page_orientation = get_int(*this, "m_page_orientation", def.m_page_orientation);
    m_str_guid = get_string(*this, "m_str_guid", def.m_str_guid);
    m_str_caption = get_string(*this, "m_str_caption", def.m_str_caption);
    m_str_users = get_string(*this, "m_str_users", def.m_str_users);
    m_str_bg_color = normalise_bg_color(get_string(*this, "m_str_bg_color", def.m_str_bg_color));
    m_str_frame_color = get_string(*this, "m_str_frame_color", m_str_bg_color);
    m_str_image_bg = get_string(*this, "m_str_image_bg", def.m_str_image_bg);
    m_str_image_icon = get_string(*this, "m_str_image_icon", def.m_str_image_icon);
    m_align = get_int(*this, "m_align", def.m_align);
    m_zoom_to_page = get_bool(*this, "m_zoom_to_page", def.m_zoom_to_page);
    m_keep_aspect = get_bool(*this, "m_keep_aspect", def.m_keep_aspect);
    m_width = get_int(*this, "m_width", def.m_width);
    m_height = get_int(*this, "m_height", def.m_height);
    m_width_virt = get_int(*this, "m_width_virt", m_width);
    m_height_virt = get_int(*this, "m_height_virt", m_height);
}

KV_GUI_Control* KV_GUI_Page::find_control(const std::string& guid) const
{
    return find_by_guid(m_controls, guid);
}

KV_GUI_Control* KV_GUI_Page::add_control(const KV_GUI_Control& record)
{
    if (KV_GUI_Control* existing = find_control(record.m_str_guid)) {
        KV_GUI_Control copy(record);
        existing->set_text(copy.encode());
        return existing;
    }
    m_controls.push_back(std::make_unique<KV_GUI_Control>(record));
    return m_controls.back().get();
}
