#pragma once
// Scenes, each with the items it writes.

#include <cstdint>
#include <string>
#include <vector>

#include "kv_address.h"
#include "kv_data.h"

class KV_Settings_Scene : public KV_Data {
public:
    static constexpr size_t MAX_SCENES = 1024;
    static constexpr size_t MAX_ITEMS = 1024;

    struct Item {
        bool m_active = true;
        KV_Group_Address m_addr;
        double m_value = 0.0;
        double m_time = 0.0;
        std::string m_str_gui_control;
    };

    struct Scene {
        bool m_active = true;
        std::string m_str_name;
        std::string m_str_guid;
        std::string m_str_icon;
        double m_time = 0.5;
        KV_Group_Address m_addr_bit_load;
        int32_t m_addr_bit_load_trigger = 0;
        KV_Group_Address m_addr_bit_save;
        int32_t m_addr_bit_save_trigger = 0;
        KV_Group_Address m_addr_bit_stop;
        int32_t m_addr_bit_stop_trigger = 0;
        std::string m_gui_used;
        std::vector<Item> m_list_item;
    };

    KV_Settings_Scene() = default;
    explicit KV_Settings_Scene(const std::string& text);

    std::string encode() override;
    void decode() override;

    bool m_use_it = false;
    KV_Group_Address m_addr_num;
    int32_t m_addr_num_save = 128; // a scene-number value, not an address
    std::vector<Scene> m_list_scene;
};
