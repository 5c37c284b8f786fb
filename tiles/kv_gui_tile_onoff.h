#pragma once
// The on/off tile: switches a load with the four switching functions of
// the classic switches, shows the state its feedback address reports.

#include "kv_gui_tile_base.h"

class CKV_Gui_Control_Tile_OnOff : public CKV_Gui_Control_Tile_Touch_Base {
    Q_OBJECT
public:
    using CKV_Gui_Control_Tile_Touch_Base::CKV_Gui_Control_Tile_Touch_Base;

    void apply_record() override;
    void on_value(const KV_Addr_Db& address, int entry, double value) override;
    void on_press(const QPoint& point) override;
    void on_release(const QPoint& point) override;
    bool is_off() const override;

    double current_value() const { return m_current; }

protected:
    QString state_text() const override;
    // The "ON Icon" / "OFF Icon" for the state where set, else the tile's icon.
    void draw_icon(QPainter& painter, const QRect& box) override;

private:
    // The entry whose value the tile shows: the feedback when there is one.
    int shown_entry() const { return entry_address(1).is_null() ? 0 : 1; }
    void write(double value);

    int m_function = 0;
    double m_value_on = 1.0;
    double m_value_off = 0.0;
    bool m_ignore_values = false;
    double m_current = 0.0;
    KV_Tile_Icon m_icon_on;
    KV_Tile_Icon m_icon_off;
};
