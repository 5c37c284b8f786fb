#pragma once
// The control factory: the class a control record's type number creates.

#include <functional>

class CKV_Gui_Control;
class CKV_Gui_Control_Container;
class KV_GUI_Control;

using KV_Control_Creator = std::function<CKV_Gui_Control*(CKV_Gui_Control_Container*, const KV_GUI_Control&)>;

template <class Control>
KV_Control_Creator kv_creator()
{
    return [](CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record) -> CKV_Gui_Control* {
        return new Control(canvas, record);
    };
}

// Makes the factory build `class_name` (a class the type catalogue names)
// with `create`; libraries above this one add their classes this way.
void kv_register_control_class(const char* class_name, KV_Control_Creator create);

// Creates the control for `record` on `canvas`. Types without a class become
// static text stored with the fallback type 9999; a type 118 record with
// exactly nine address entries too. Missing parameters get their defaults.
CKV_Gui_Control* kv_create_control(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record);

// The class the factory actually built for a type number: the catalogue's
// class, or "CKV_Gui_Control_Label_Text" where it stands in.
const char* kv_created_class_name(int type);
