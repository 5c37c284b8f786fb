#include "kv_settings_scene.h"

#include "kv_record_fields.h"

namespace {
// scene_<s>_ and scene_<s>_item_<i>_
std::string scene_prefix(uint32_t s) { return list_prefix("", "scene", s); }
std::string item_prefix(std::string_view scene, uint32_t i) { return list_prefix(scene, "item", i); }

void write_item(std::string& text, KV_Prefixed_Key p, const KV_Settings_Scene::Item& item)
{
    text += put_int(p("m_use_it"), 1);
    text += put_bool(p("m_active"), item.m_active);
    text += put_addr(p("m_addr"), item.m_addr);
    text += put_double(p("m_value"), item.m_value);
    text += put_double(p("m_time"), item.m_time);
    text += put_string(p("m_str_gui_control"), item.m_str_gui_control);
}

bool read_item(const KV_Data& r, KV_Prefixed_Key p, KV_Settings_Scene::Item& item)
{
    if (!marker_present(r, p("m_use_it")))
        return false;
    item.m_active = get_bool(r, p("m_active"), item.m_active);
    item.m_addr = get_addr(r, p("m_addr"));
    item.m_value = get_double(r, p("m_value"), item.m_value);
    item.m_time = get_double(r, p("m_time"), item.m_time);
    item.m_str_gui_control = get_string(r, p("m_str_gui_control"), item.m_str_gui_control);
    return true;
}
} // namespace

KV_Settings_Scene::KV_Settings_Scene(const std::string& text)
    : KV_Data(text)
{
    decode_text(*this);
}

std::string KV_Settings_Scene::encode()
{
    m_text.clear();
    m_text += put_bool("m_use_it", m_use_it);
    m_text += put_addr("m_addr_num", m_addr_num);
    m_text += put_int("m_addr_num_save", m_addr_num_save);
    for (uint32_t s = 0; s < m_list_scene.size(); ++s) {
        const Scene& scene = m_list_scene[s];
        KV_Prefixed_Key p(scene_prefix(s));
        m_text += put_int(p("m_use_it"), 1);
        m_text += put_bool(p("m_active"), scene.m_active);
        m_text += put_string(p("m_str_name"), scene.m_str_name);
        m_text += put_string(p("m_str_guid"), scene.m_str_guid);
        m_text += put_string(p("m_str_icon"), scene.m_str_icon);
        m_text += put_double(p("m_time"), scene.m_time);
        m_text += put_addr(p("m_addr_bit_load"), scene.m_addr_bit_load);
        m_text += put_int(p("m_addr_bit_load_trigger"), scene.m_addr_bit_load_trigger);
        m_text += put_addr(p("m_addr_bit_save"), scene.m_addr_bit_save);
        m_text += put_int(p("m_addr_bit_save_trigger"), scene.m_addr_bit_save_trigger);
        m_text += put_addr(p("m_addr_bit_stop"), scene.m_addr_bit_stop);
        m_text += put_int(p("m_addr_bit_stop_trigger"), scene.m_addr_bit_stop_trigger);
        m_text += put_string(p("m_gui_used"), scene.m_gui_used);
        for (uint32_t i = 0; i < scene.m_list_item.size(); ++i)
            write_item(m_text, KV_Prefixed_Key(item_prefix(p.prefix(), i)), scene.m_list_item[i]);
    }
    return m_text;
}

void KV_Settings_Scene::decode()
{
    static const KV_Settings_Scene def;
    kv_rewind_search_cursor();
    m_use_it = get_bool(*this, "m_use_it", def.m_use_it);
    m_addr_num = get_addr(*this, "m_addr_num");
    m_addr_num_save = get_int(*this, "m_addr_num_save", def.m_addr_num_save);
    read_list(m_list_scene, MAX_SCENES, "scene", [this](uint32_t s, Scene& scene) {
        KV_Prefixed_Key p(scene_prefix(s));
        if (!marker_present(*this, p("m_use_it")))
            return false;
        scene.m_active = get_bool(*this, p("m_active"), scene.m_active);
        scene.m_str_name = get_string(*this, p("m_str_name"), scene.m_str_name);
        scene.m_str_guid = get_string(*this, p("m_str_guid"), scene.m_str_guid);
        scene.m_str_icon = get_string(*this, p("m_str_icon"), scene.m_str_icon);
        scene.m_time = get_double(*this, p("m_time"), scene.m_time);
        scene.m_addr_bit_load = get_addr(*this, p("m_addr_bit_load"));
        scene.m_addr_bit_load_trigger = get_int(*this, p("m_addr_bit_load_trigger"), scene.m_addr_bit_load_trigger);
        scene.m_addr_bit_save = get_addr(*this, p("m_addr_bit_save"));
        scene.m_addr_bit_save_trigger = get_int(*this, p("m_addr_bit_save_trigger"), scene.m_addr_bit_save_trigger);
        scene.m_addr_bit_stop = get_addr(*this, p("m_addr_bit_stop"));
        scene.m_addr_bit_stop_trigger = get_int(*this, p("m_addr_bit_stop_trigger"), scene.m_addr_bit_stop_trigger);
        scene.m_gui_used = get_string(*this, p("m_gui_used"), scene.m_gui_used);
        read_list(scene.m_list_item, MAX_ITEMS, std::string(p.prefix()) + "item",
                  [&](uint32_t i, Item& item) { return read_item(*this, KV_Prefixed_Key(item_prefix(p.prefix(), i)), item); });
        return true;
    });
}
