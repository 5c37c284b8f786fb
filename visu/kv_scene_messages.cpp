#include "kv_scene_messages.h"

#include "kv_network_msg.h"
#include "kv_settings_scene.h"
#include "kv_visu_host.h"

bool kv_scene_start(KV_Visu_Host& host, const std::string& scene_guid)
{
    return host.send_text(kv_msg::SCENE_TEXT, scene_guid);
}

bool kv_scene_send_record(KV_Visu_Host& host, const std::string& scene_guid)
{
    return host.send_text(kv_msg::SCENE_SETTINGS, host.scene_settings().encode()) &&
           host.send_text(kv_msg::SCENE_PAGE_TEXT, scene_guid) && host.send_message(kv_msg::SCENE_APPLY);
}
