#include "kv_demo_builder.h"

#include "kv_address.h"
#include "kv_control_catalog.h"
#include "kv_demo_ids.h"
#include "kv_project_db.h"

KV_Demo_Control& KV_Demo_Control::param(const char* label, const std::string& value)
{
    if (!kv_param_set(m_control, label, value))
        m_errors.add(m_control.m_str_name + ": no parameter \"" + label + "\"");
    return *this;
}

KV_Demo_Control& KV_Demo_Control::addr(const char* slot, const char* address)
{
    const int index = kv_addr_slot_index(kv_control_class_name(m_control.m_typ), slot);
    if (index < 0) {
        m_errors.add(m_control.m_str_name + ": no address slot \"" + slot + "\"");
        return *this;
    }
    if (m_control.m_list_addr.size() <= size_t(index))
        m_control.m_list_addr.resize(index + 1);
    m_control.m_list_addr[index] = address_from_text(address);
    return *this;
}

KV_Demo_Control& KV_Demo_Control::addrs(std::span<const KV_Demo_Slot> slots)
{
    for (const KV_Demo_Slot& slot : slots)
        addr(slot.slot, slot.address);
    return *this;
}

KV_Demo_Control& KV_Demo_Control::states(std::span<const KV_Demo_State> states)
{
    for (size_t i = 0; i < states.size(); ++i) {
        const std::string n = std::to_string(i + 1) + ": ";
        param((n + "Wert").c_str(), states[i].value);
        param((n + "Text").c_str(), states[i].text);
        if (states[i].background)
            param((n + "Hintergrund").c_str(), states[i].background);
    }
    return *this;
}

KV_Demo_Control& KV_Demo_Control::inside(const KV_GUI_Control& container)
{
    m_control.m_str_guid_parent_control = container.m_str_guid;
    return *this;
}

KV_Demo_Control& KV_Demo_Control::font(const char* font)
{
    m_control.m_str_font = font;
    return *this;
}

KV_Demo_Control KV_Demo_Page::add(int type, const char* key, int x, int y, int width, int height,
                                  const std::string& name)
{
    KV_GUI_Control record;
    record.m_typ = type;
    record.m_x = x;
    record.m_y = y;
    record.m_width = width;
    record.m_height = height;
    record.m_str_guid = demo_id::control(m_key, key);
    record.m_str_guid_parent_page = m_page.m_str_guid;
    record.m_str_name = name;
    kv_control_fill_defaults(record);
    if (!kv_control_type_known(type))
        m_errors.add(name + ": type without class " + std::to_string(type));
    if (m_page.find_control(record.m_str_guid))
        m_errors.add(name + ": key used twice on page " + m_key);
    return KV_Demo_Control(*m_page.add_control(record), m_errors);
}

KV_GUI_Page& kv_demo_new_page(CKV_Project_Db& db, const char* key, const char* caption, const char* users,
                              bool portrait)
{
    auto page = std::make_unique<KV_GUI_Page>();
    page->m_str_guid = demo_id::page(key);
    page->m_str_caption = caption;
    page->m_str_users = users;
    page->m_page_orientation = portrait ? 1 : 0;
    page->m_width = page->m_width_virt = portrait ? 480 : 1024;
    page->m_height = page->m_height_virt = portrait ? 960 : 576;
    page->m_str_bg_color = portrait ? "f2f2f2" : "fafafa";
    page->m_str_frame_color = page->m_str_bg_color;
    page->m_zoom_to_page = true;
    page->m_keep_aspect = true;
    db.m_gui_pages.push_back(std::move(page));
    return *db.m_gui_pages.back();
}
