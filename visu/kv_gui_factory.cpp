#include "kv_gui_factory.h"

#include <map>
#include <set>
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
using Creator = KV_Control_Creator;

const char* const kStaticText = "CKV_Gui_Control_Label_Text";

// The classes built so far, by the catalogue's class name. A class the
// catalogue names but that is missing here stands in as static text with its
// type kept, so that the record survives a save unchanged; add new classes
// to this table (or register them) and nothing else changes.
std::map<std::string, Creator>& creators()
{
    static std::map<std::string, Creator> table = {
        {"CKV_Gui_Control_Label_Text", kv_creator<CKV_Gui_Control_Label_Text>()},
        {"CKV_Gui_Control_Label_Value", kv_creator<CKV_Gui_Control_Label_Value>()},
        {"CKV_Gui_Control_Label_Var_Text", kv_creator<CKV_Gui_Control_Label_Var_Text>()},
        {"CKV_Gui_Control_Button_Universal", kv_creator<CKV_Gui_Control_Button_Universal>()},
        {"CKV_Gui_Control_Button_FlipSwitch", kv_creator<CKV_Gui_Control_Button_FlipSwitch>()},
        {"CKV_Gui_Control_Slider_Hor", kv_creator<CKV_Gui_Control_Slider_Hor>()},
        {"CKV_Gui_Control_Slider_Ver", kv_creator<CKV_Gui_Control_Slider_Ver>()},
        {"CKV_Gui_Control_Edit", kv_creator<CKV_Gui_Control_Edit>()},
        {"CKV_Gui_Control_Progress_Hor", kv_creator<CKV_Gui_Control_Progress_Hor>()},
        {"CKV_Gui_Control_Progress_Ver", kv_creator<CKV_Gui_Control_Progress_Ver>()},
        {"CKV_Gui_Control_Button_Seitenwechsel", kv_creator<CKV_Gui_Control_Button_Seitenwechsel>()},
        {"CKV_Gui_Control_Button_Gruppe", kv_creator<CKV_Gui_Control_Button_Gruppe>()},
        {"CKV_Gui_Control_Popup_Button", kv_creator<CKV_Gui_Control_Popup_Button>()},
        {"CKV_Gui_Control_Popup_Container", kv_creator<CKV_Gui_Control_Popup_Container>()},
        {"CKV_Gui_Control_Image", kv_creator<CKV_Gui_Control_Image>()},
        {"CKV_Gui_Control_Image_OnOff", kv_creator<CKV_Gui_Control_Image_OnOff>()},
        {"CKV_Gui_Control_Image_Gif", kv_creator<CKV_Gui_Control_Image_Gif>()},
        {"CKV_Gui_Control_Image_Value", kv_creator<CKV_Gui_Control_Image_Value>()},
        {"CKV_Gui_Control_Fuellstand", kv_creator<CKV_Gui_Control_Fuellstand>()},
        {"CKV_Gui_Control_Form", kv_creator<CKV_Gui_Control_Form>()},
        {"CKV_Gui_Control_Analoganzeige", kv_creator<CKV_Gui_Control_Analoganzeige>()},
        {"CKV_Gui_Control_Alarmanzeige", kv_creator<CKV_Gui_Control_Alarmanzeige>()},
        {"CKV_Gui_Control_Button_Startapp", kv_creator<CKV_Gui_Control_Button_Startapp>()},
        {"CKV_Gui_Control_Button_Sound", kv_creator<CKV_Gui_Control_Button_Sound>()},
        {"CKV_Gui_Control_Button_Exit", kv_creator<CKV_Gui_Control_Button_Exit>()},
        {"CKV_Gui_Control_Sprachumschaltung", kv_creator<CKV_Gui_Control_Sprachumschaltung>()},
        {"CKV_Gui_Control_App_Seitenwechsel_Slider", kv_creator<CKV_Gui_Control_App_Seitenwechsel_Slider>()},
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

void kv_register_control_class(const char* class_name, KV_Control_Creator create)
{
    creators()[class_name] = std::move(create);
}

const char* kv_created_class_name(int type)
{
    return creator_for(type) ? kv_control_class_name(type) : kStaticText;
}

CKV_Gui_Control* kv_create_control(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record)
{
    KV_GUI_Control copy = record;
    const int type = kv_control_effective_type(copy);
    if (type != copy.m_typ) {
        // Once per type: a project full of one unknown type would otherwise
        // trace a line per control while its pages are built.
        static std::set<int> traced;
        if (traced.insert(copy.m_typ).second)
            TRACE(kv_trace::LEVEL_MSG, kv_trace::AREA_ZRQ, "CONTROL TYPE %d LOADS AS STATIC TEXT\n", copy.m_typ);
        copy.m_typ = type;
    }
    kv_control_fill_defaults(copy);
    if (const Creator* create = creator_for(type))
        return (*create)(canvas, copy);
    return new CKV_Gui_Control_Label_Text(canvas, copy);
}
