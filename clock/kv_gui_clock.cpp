#include "kv_gui_clock.h"

#include "kv_gui_factory.h"
#include "kv_gui_scene_page.h"

void kv_register_clock_controls()
{
    kv_register_control_class("CKV_Gui_Control_App_Scene_Page", kv_creator<CKV_Gui_Control_App_Scene_Page>());
}
