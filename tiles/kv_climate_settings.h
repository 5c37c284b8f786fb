#pragma once
// The settings of a room-controller or heating-circuit logic block as a
// temperature tile holds them: manual or automatic operation and the preset
// set points of the modes and the heating program, kept in the block's
// parameters. The text sent to
// the controller is the block's record with those parameters.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "kv_gui_time_program.h"
#include "kv_logic.h"
#include "kv_network_msg.h"

class CKV_Gui_Control;

class CTRL_Settings_Heizkreis {
public:
    // Parameter names: the manual flag and the presets of modes 1 to 4.
    static constexpr const char* MANUAL = "Manuell";
    static constexpr const char* PRESETS[4] = {"Komfort", "Standby", "Nacht", "Frost"};
    // The switching times of the room's heating program, each switching
    // to an operating mode, as a list (kv_list_text of kv_time_entry_text).
    static constexpr const char* TIME_PROGRAM = "Zeitprogramm";
    static constexpr size_t MAX_TIMES = 32;

    explicit CTRL_Settings_Heizkreis(const KV_LOGIC_Control& block);

    bool manual() const;
    void set_manual(bool manual);
    // The preset of a mode (1 to 4); none when the block has no such parameter.
    std::optional<double> preset(int mode) const;
    void set_preset(int mode, double value);
    std::vector<KV_Clock_Time> times() const;
    void set_times(const std::vector<KV_Clock_Time>& times);

    // The block's record text with the current parameters.
    std::string encoded() const;
    const KV_LOGIC_Control& block() const { return m_block; }

private:
    KV_LOGIC_Control m_block;
};

// The logic block a control names in its "ID" parameter, and the messages
// carrying that block's settings to the controller.
class KV_Climate_Link {
public:
    explicit KV_Climate_Link(CKV_Gui_Control& control);

    // Looks the block up again; unlinked when "ID" names none.
    void link();
    // Links again when the message is the controller's change of the
    // linked block (602); true then.
    bool relink_on(const CKV_Network_Msg& header, const unsigned char* payload);
    CTRL_Settings_Heizkreis* settings() const { return m_settings.get(); }
    // False when unlinked or already so; else changes and sends.
    bool set_manual(bool manual);
    // Changes and sends the heating program; false when unlinked.
    bool set_times(const std::vector<KV_Clock_Time>& times);
    // Sends the settings while linked and connected.
    void send(uint32_t message_id) const;
    // The settings changed: the project's block takes them, the controller
    // gets them (602).
    void changed();

private:
    CKV_Gui_Control& m_control;
    std::unique_ptr<CTRL_Settings_Heizkreis> m_settings;
};

// The heating program of a linked block as the time overlays edit it: each
// time switches to an operating mode; changes go out as 602.
class KV_Heating_Program : public KV_Time_Program {
public:
    explicit KV_Heating_Program(KV_Climate_Link& link)
        : m_link(link)
    {
    }
    std::string guid() override;
    std::vector<KV_Clock_Time>* times() override;
    void commit() override;
    KV_Time_Choices choices() override;
    QString value_text(const KV_Clock_Time& time) override;

private:
    KV_Climate_Link& m_link;
    std::vector<KV_Clock_Time> m_times;
};
