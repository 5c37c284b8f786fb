#pragma once
// The settings of a room-controller or heating-circuit logic block as a
// temperature tile holds them: manual or automatic operation and the preset
// set points of the modes, kept in the block's parameters. The text sent to
// the controller is the block's record with those parameters.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "kv_logic.h"

class CKV_Gui_Control;

class CTRL_Settings_Heizkreis {
public:
    // Parameter names: the manual flag and the presets of modes 1 to 4.
    static constexpr const char* MANUAL = "Manuell";
    static constexpr const char* PRESETS[4] = {"Komfort", "Standby", "Nacht", "Frost"};

    explicit CTRL_Settings_Heizkreis(const KV_LOGIC_Control& block);

    bool manual() const;
    void set_manual(bool manual);
    // The preset of a mode (1 to 4); none when the block has no such parameter.
    std::optional<double> preset(int mode) const;
    void set_preset(int mode, double value);

    // The block's record text with the current parameters.
    std::string encoded() const;

private:
    const std::string* value_of(const char* name) const;
    void set_value(const char* name, const std::string& value);

    KV_LOGIC_Control m_block;
};

// The logic block a control names in its "ID" parameter, and the messages
// carrying that block's settings to the controller.
class KV_Climate_Link {
public:
    // Sent when the settings are shown, and after each change.
    static constexpr uint32_t MSG_SETTINGS_SHOWN = 600;
    static constexpr uint32_t MSG_SETTINGS_CHANGED = 602;

    explicit KV_Climate_Link(CKV_Gui_Control& control);

    // Looks the block up again; unlinked when "ID" names none.
    void link();
    CTRL_Settings_Heizkreis* settings() const { return m_settings.get(); }
    // False when unlinked or already so; else changes and sends.
    bool set_manual(bool manual);
    // Sends the settings while linked and connected.
    void send(uint32_t message_id) const;

private:
    CKV_Gui_Control& m_control;
    std::unique_ptr<CTRL_Settings_Heizkreis> m_settings;
};
