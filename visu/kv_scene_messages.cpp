#include "kv_scene_messages.h"

#include "kv_network_msg.h"
#include "kv_settings_scene.h"
#include "kv_visu_host.h"

bool kv_scene_start(KV_Visu_Host& host, const std::string& scene_guid)
{
    return host.send_text(kv_msg::SCENE_TEXT, scene_guid);
}

bool kv_scene_stop(KV_Visu_Host& host, const std::string& scene_guid)
{
    for (const KV_Settings_Scene::Scene& scene : host.scene_settings().m_list_scene) {
        if (scene.m_str_guid != scene_guid)
            continue;
        KV_Addr_Db* address = host.address_tree().find_address(scene.m_addr_bit_stop);
        if (scene.m_addr_bit_stop.is_null() || !address)
            return false;
        set_value_from_double(*address, scene.m_addr_bit_stop_trigger);
        host.send_netvar(scene.m_addr_bit_stop, scene.m_addr_bit_stop_trigger);
        return true;
    }
    return false;
}

bool kv_scene_send_record(KV_Visu_Host& host, const std::string& scene_guid)
{
    return host.send_text(kv_msg::SCENE_SETTINGS, host.scene_settings().encode()) &&
           host.send_text(kv_msg::SCENE_PAGE_TEXT, scene_guid) && host.send_message(kv_msg::SCENE_APPLY);
}
