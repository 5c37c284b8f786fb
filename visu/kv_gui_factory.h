#pragma once
// The control factory: the class a control record's type number creates.

class CKV_Gui_Control;
class CKV_Gui_Control_Container;
class KV_GUI_Control;

// Creates the control for `record` on `canvas`. Types without a class become
// static text stored with the fallback type 9999; a type 118 record with
// exactly nine address entries too. Missing parameters get their defaults.
CKV_Gui_Control* kv_create_control(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record);

// The class the factory actually built for a type number: the catalogue's
// class, or "CKV_Gui_Control_Label_Text" where it stands in.
const char* kv_created_class_name(int type);
