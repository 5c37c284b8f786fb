#pragma once
// Vocabulary of the control type numbers: which class a type creates, the
// name under which it is shown, and per class the meaning of each parameter
// position and address slot of a control record.
//
// Parameter forms used throughout:
// - colours: six hexadecimal digits RRGGBB;
// - choices (KV_Control_Param::choices non-empty): the value is the position
//   of the chosen entry in the ";"-separated list, as a decimal number;
// - "Seite", "Seite Begin", "Seite End", "Container", "Uhr", "ID", "GUID":
//   the GUID of the page, container control, clock, scene, camera or logic
//   block meant;
// - "Seite User", "Auswahl Seiten": ";"-separated entries, "user=page GUID"
//   for "Seite User", page GUIDs for "Auswahl Seiten".

#include <string>
#include <vector>

class KV_GUI_Control;

// A type number without a class is created as static text and stored with this type.
constexpr int KV_TYPE_STATIC_FALLBACK = 9999;
// Parameter positions at or beyond this are never stored in a record.
constexpr int KV_PARAM_STORED_MAX = 90;

// Display name of a type number; "UNKNOWN" for numbers the table does not name.
const char* kv_control_display_name(int type);
// Class created for a type number; nullptr where the type loads as static text.
const char* kv_control_class_name(int type);
// The factory has a class for this type number.
bool kv_control_type_known(int type);
// Every type number that has a class, ascending.
const std::vector<int>& kv_control_types();
// The type a record is created and stored with: its own type when known,
// else KV_TYPE_STATIC_FALLBACK; a type 118 record with exactly 9 address
// entries also falls back.
int kv_control_effective_type(const KV_GUI_Control& control);

struct KV_Control_Param {
    std::string label; // empty: the position carries no meaning for the class
    std::string def;
    std::string choices;
};

// A parameter a class names at a position the record cannot hold (at or
// beyond KV_PARAM_STORED_MAX): it always has its default.
struct KV_Control_Fixed_Param {
    int index;
    KV_Control_Param param;
};

struct KV_Control_Schema {
    std::string class_name;
    std::vector<KV_Control_Param> params;  // position = parameter index
    std::vector<std::string> addr_slots;   // position = address slot index
    std::vector<KV_Control_Fixed_Param> fixed;
};

// Schema of a class (nullptr for unknown names) and of a type number.
const KV_Control_Schema* kv_control_schema(const char* class_name);
const KV_Control_Schema* kv_control_schema_for_type(int type);

// Position of the first parameter with that label, -1 if none. A label of the
// fixed set gives its index (>= KV_PARAM_STORED_MAX).
int kv_param_index(const char* class_name, const char* label);
// Position of the address slot with that name, -1 if none.
int kv_addr_slot_index(const char* class_name, const char* slot_name);

// Extends the record's parameter list to its class's parameter count, giving
// every missing position its default; present values stay. Returns the
// number of parameters added. Types without a class are left unchanged.
int kv_control_fill_defaults(KV_GUI_Control& control);
// The text of the labelled parameter: the stored value where the record has
// it, else the schema default; empty for unknown labels.
std::string kv_param_value(const KV_GUI_Control& control, const char* label);
// Sets the labelled parameter, extending the list with defaults as needed.
// False (and a trace line) when the class has no such storable parameter.
bool kv_param_set(KV_GUI_Control& control, const char* label, const std::string& value);
