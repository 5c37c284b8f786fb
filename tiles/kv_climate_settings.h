#pragma once
// The settings of a room-controller or heating-circuit logic block as a
// temperature tile holds them: manual or automatic operation and the preset
// set points of the modes, kept in the block's parameters. The text sent to
// the controller is the block's record with those parameters.

#include <optional>
#include <string>

#include "kv_logic.h"

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
