#include "kv_gui_clock.h"

#include "kv_gui_clock_control.h"
#include "kv_gui_factory.h"
#include "kv_gui_scene_page.h"
#include "kv_gui_tile_clock.h"

void kv_register_clock_controls()
{
    kv_register_control_class("CKV_Gui_Control_App_Uhr", kv_creator<CKV_Gui_Control_App_Uhr>());
    kv_register_control_class("CKV_Gui_Control_Tile_Clock", kv_creator<CKV_Gui_Control_Tile_Clock>());
    kv_register_control_class("CKV_Gui_Control_App_Scene_Page", kv_creator<CKV_Gui_Control_App_Scene_Page>());
}
