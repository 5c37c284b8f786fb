#include "kv_gui_factory.h"

#include <cstring>
#include <functional>
#include <map>
#include <string>

#include "kv_control_catalog.h"
#include "kv_gui_action_button.h"
#include "kv_gui_alarm.h"
#include "kv_gui_container.h"
#include "kv_gui_edit.h"
#include "kv_gui_form.h"
#include "kv_gui_gauge.h"
#include "kv_gui_image.h"
#include "kv_gui_label.h"
#include "kv_gui_language_switch.h"
#include "kv_gui_page_button.h"
#include "kv_gui_page_slider.h"
#include "kv_gui_popup.h"
#include "kv_gui_slider.h"
#include "kv_gui_switch.h"
#include "kv_trace.h"

namespace {
using Creator = std::function<CKV_Gui_Control*(CKV_Gui_Control_Container*, const KV_GUI_Control&)>;

template <class Control>
Creator make()
{
    return [](CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record) -> CKV_Gui_Control* {
        return new Control(canvas, record);
    };
}

const char* const kStaticText = "CKV_Gui_Control_Label_Text";

// The classes built so far, by the catalogue's class name. A class the
// catalogue names but that is missing here stands in as static text with its
// type kept, so that the record survives a save unchanged; add new classes
// to this table and nothing else changes.
const std::map<std::string, Creator>& creators()
{
    static const std::map<std::string, Creator> table = {
        {"CKV_Gui_Control_Label_Text", make<CKV_Gui_Control_Label_Text>()},
        {"CKV_Gui_Control_Label_Value", make<CKV_Gui_Control_Label_Value>()},
        {"CKV_Gui_Control_Label_Var_Text", make<CKV_Gui_Control_Label_Var_Text>()},
        {"CKV_Gui_Control_Button_Universal", make<CKV_Gui_Control_Button_Universal>()},
        {"CKV_Gui_Control_Button_FlipSwitch", make<CKV_Gui_Control_Button_FlipSwitch>()},
        {"CKV_Gui_Control_Slider_Hor", make<CKV_Gui_Control_Slider_Hor>()},
        {"CKV_Gui_Control_Slider_Ver", make<CKV_Gui_Control_Slider_Ver>()},
        {"CKV_Gui_Control_Edit", make<CKV_Gui_Control_Edit>()},
        {"CKV_Gui_Control_Progress_Hor", make<CKV_Gui_Control_Progress_Hor>()},
        {"CKV_Gui_Control_Progress_Ver", make<CKV_Gui_Control_Progress_Ver>()},
        {"CKV_Gui_Control_Button_Seitenwechsel", make<CKV_Gui_Control_Button_Seitenwechsel>()},
        {"CKV_Gui_Control_Button_Gruppe", make<CKV_Gui_Control_Button_Gruppe>()},
        {"CKV_Gui_Control_Popup_Button", make<CKV_Gui_Control_Popup_Button>()},
        {"CKV_Gui_Control_Popup_Container", make<CKV_Gui_Control_Popup_Container>()},
        {"CKV_Gui_Control_Image", make<CKV_Gui_Control_Image>()},
        {"CKV_Gui_Control_Image_OnOff", make<CKV_Gui_Control_Image_OnOff>()},
        {"CKV_Gui_Control_Image_Gif", make<CKV_Gui_Control_Image_Gif>()},
        {"CKV_Gui_Control_Image_Value", make<CKV_Gui_Control_Image_Value>()},
        {"CKV_Gui_Control_Fuellstand", make<CKV_Gui_Control_Fuellstand>()},
        {"CKV_Gui_Control_Form", make<CKV_Gui_Control_Form>()},
        {"CKV_Gui_Control_Analoganzeige", make<CKV_Gui_Control_Analoganzeige>()},
        {"CKV_Gui_Control_Alarmanzeige", make<CKV_Gui_Control_Alarmanzeige>()},
        {"CKV_Gui_Control_Button_Startapp", make<CKV_Gui_Control_Button_Startapp>()},
        {"CKV_Gui_Control_Button_Sound", make<CKV_Gui_Control_Button_Sound>()},
        {"CKV_Gui_Control_Button_Exit", make<CKV_Gui_Control_Button_Exit>()},
        {"CKV_Gui_Control_Sprachumschaltung", make<CKV_Gui_Control_Sprachumschaltung>()},
        {"CKV_Gui_Control_App_Seitenwechsel_Slider", make<CKV_Gui_Control_App_Seitenwechsel_Slider>()},
    };
    return table;
}

const Creator* creator_for(int type)
{
    const char* class_name = kv_control_class_name(type);
    if (!class_name)
        return nullptr;
    auto it = creators().find(class_name);
    return it == creators().end() ? nullptr : &it->second;
}
} // namespace

const char* kv_created_class_name(int type)
{
    return creator_for(type) ? kv_control_class_name(type) : kStaticText;
}

CKV_Gui_Control* kv_create_control(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record)
{
    KV_GUI_Control copy = record;
    const int type = kv_control_effective_type(copy);
    if (type != copy.m_typ) {
        TRACE(kv_trace::LEVEL_MSG, kv_trace::AREA_ZRQ, "CONTROL TYPE %d LOADS AS STATIC TEXT\n", copy.m_typ);
        copy.m_typ = type;
    }
    kv_control_fill_defaults(copy);
    if (const Creator* create = creator_for(type))
        return (*create)(canvas, copy);
    return new CKV_Gui_Control_Label_Text(canvas, copy);
}
