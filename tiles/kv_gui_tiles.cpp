#include "kv_gui_tiles.h"

#include "kv_gui_cam.h"
#include "kv_gui_classic_blind.h"
#include "kv_gui_classic_color.h"
#include "kv_gui_color_sequence.h"
#include "kv_gui_classic_light.h"
#include "kv_gui_factory.h"
#include "kv_gui_heizkreis.h"
#include "kv_gui_raumr.h"
#include "kv_gui_tile_dimmer.h"
#include "kv_gui_tile_jalousie.h"
#include "kv_gui_tile_onoff.h"
#include "kv_gui_tile_room.h"
#include "kv_gui_tile_temperature.h"
#include "kv_gui_tile_value.h"
#include "kv_gui_weather.h"

void kv_register_tile_controls()
{
    kv_register_control_class("CKV_Gui_Control_Tile_OnOff", kv_creator<CKV_Gui_Control_Tile_OnOff>());
    kv_register_control_class("CKV_Gui_Control_Tile_Value", kv_creator<CKV_Gui_Control_Tile_Value>());
    kv_register_control_class("CKV_Gui_Control_Tile_Header", kv_creator<CKV_Gui_Control_Tile_Header>());
    kv_register_control_class("CKV_Gui_Control_Tile_Room", kv_creator<CKV_Gui_Control_Tile_Room>());
    kv_register_control_class("CKV_Gui_Control_Tile_Scene", kv_creator<CKV_Gui_Control_Tile_Scene>());
    kv_register_control_class("CKV_Gui_Control_Tile_Jalousie", kv_creator<CKV_Gui_Control_Tile_Jalousie>());
    kv_register_control_class("CKV_Gui_Control_Tile_Dimmer", kv_creator<CKV_Gui_Control_Tile_Dimmer>());
    kv_register_control_class("CKV_Gui_Control_Tile_Dimmer_Plus_Minus",
                              kv_creator<CKV_Gui_Control_Tile_Dimmer_Plus_Minus>());
    kv_register_control_class("CKV_Gui_Control_Tile_Temperature", kv_creator<CKV_Gui_Control_Tile_Temperature>());
    kv_register_control_class("CKV_Gui_Control_App_Raumr", kv_creator<CKV_Gui_Control_App_Raumr>());
    kv_register_control_class("CKV_Gui_Control_App_Heizkreis", kv_creator<CKV_Gui_Control_App_Heizkreis>());
    kv_register_control_class("CKV_Gui_Control_App_Dimmer", kv_creator<CKV_Gui_Control_App_Dimmer>());
    kv_register_control_class("CKV_Gui_Control_App_Dimmer_PM", kv_creator<CKV_Gui_Control_App_Dimmer_PM>());
    kv_register_control_class("CKV_Gui_Control_App_Rollo", kv_creator<CKV_Gui_Control_App_Rollo>());
    kv_register_control_class("CKV_Gui_Control_App_RGBW", kv_creator<CKV_Gui_Control_App_RGBW>());
    kv_register_control_class("CKV_Gui_Control_App_RGBW_SEQU", kv_creator<CKV_Gui_Control_App_RGBW_SEQU>());
    kv_register_control_class("CKV_Gui_Control_App_WS_Anzeige", kv_creator<CKV_Gui_Control_App_WS_Anzeige>());
    kv_register_control_class("CKV_Gui_Control_App_IP_Cam", kv_creator<CKV_Gui_Control_App_IP_Cam>());
    kv_register_control_class("CKV_Gui_Control_App_IP_Cam_Snapshot",
                              kv_creator<CKV_Gui_Control_App_IP_Cam_Snapshot>());
    kv_register_control_class("CKV_Gui_Control_App_Open_Weather", kv_creator<CKV_Gui_Control_App_Open_Weather>());
}
