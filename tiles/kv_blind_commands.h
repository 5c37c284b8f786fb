#pragma once
// What the blind controls write, tile and classic alike, on the blind
// address slots ("Langzeit", "Kurzzeit", "Höhe Wert", "Lamelle Wert").

#include "kv_gui_control.h"

enum KV_Blind_Slot { KV_BLIND_MOVE = 0, KV_BLIND_STEP = 1, KV_BLIND_HEIGHT = 2, KV_BLIND_SLAT = 3,
                     KV_BLIND_HEIGHT_RM = 4, KV_BLIND_SLAT_RM = 5 };

// The long-time address moves: 1 down, 0 up.
inline void kv_blind_move(CKV_Gui_Control& control, bool down)
{
    control.write_value(KV_BLIND_MOVE, down ? 1.0 : 0.0);
}
// A step on the short-time address stops a moving blind.
inline void kv_blind_stop(CKV_Gui_Control& control)
{
    control.write_value(KV_BLIND_STEP, 1.0);
}
// The reported height in percent: the feedback, or the value without one.
inline double kv_blind_height(const CKV_Gui_Control& control)
{
    return control.entry_value(control.entry_address(KV_BLIND_HEIGHT_RM).is_null() ? KV_BLIND_HEIGHT
                                                                                     : KV_BLIND_HEIGHT_RM);
}
