#pragma once
// The clock tile: it shows whether its clock runs and the state of its
// value; holding (or tapping) it slides in the list of the clock's
// switching times, and a time of that list opens its editor.

#include <memory>
#include <string>

#include "kv_clock_model.h"
#include "kv_gui_tile_base.h"
#include "kv_gui_time_program.h"

class KV_Visu_Host;

// A clock of the project as the time overlays edit it: changes go out as
// the clock record (180, 182, 183) and reach the clock controls showing it.
class KV_Clock_Program : public KV_Time_Program {
public:
    KV_Clock_Program(KV_Visu_Host& host, const std::string& guid, const KV_Clock_Value_Texts& texts);
    std::string guid() override { return m_guid; }
    std::vector<KV_Clock_Time>* times() override;
    void commit() override;
    KV_Time_Choices choices() override;
    QString value_text(const KV_Clock_Time& time) override;

private:
    KV_Visu_Host& m_host;
    std::string m_guid;
    KV_Clock_Value_Texts m_texts;
};

class CKV_Gui_Control_Tile_Clock : public CKV_Gui_Control_Tile_Touch_Base {
    Q_OBJECT
public:
    using CKV_Gui_Control_Tile_Touch_Base::CKV_Gui_Control_Tile_Touch_Base;

    void apply_record() override;
    void on_value(const KV_Addr_Db& address, int entry, double value) override;
    void on_release(const QPoint& point) override;
    // Off while the clock is missing or switched off.
    bool is_off() const override;

    const std::string& clock_guid() const { return m_guid; }

protected:
    QString state_text() const override;
    std::shared_ptr<CKV_Gui_Control_Tile_Overlay_Base> create_overlay() override;

private:
    int shown_entry() const { return entry_address(1).is_null() ? 0 : 1; }

    std::string m_guid;
    double m_current = 0.0;
};
