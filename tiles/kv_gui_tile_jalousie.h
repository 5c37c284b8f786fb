#pragma once
// The blind tile: taps on its arrows move the blind up or down, a tap
// elsewhere stops it; held, it opens the overlay with height and slat levels.

#include "kv_blind_commands.h"
#include "kv_gui_tile_base.h"
#include "kv_gui_tile_overlay.h"

class KV_Tile_Level_Slider;
class QLabel;

class CKV_Gui_Control_Tile_Jalousie : public CKV_Gui_Control_Tile_Touch_Base {
    Q_OBJECT
public:
    // Address slots.
    enum Slot { MOVE = 0, STEP = 1, HEIGHT = 2, SLAT = 3, HEIGHT_RM = 4, SLAT_RM = 5 };

    using CKV_Gui_Control_Tile_Touch_Base::CKV_Gui_Control_Tile_Touch_Base;

    void on_value(const KV_Addr_Db& address, int entry, double value) override;
    void on_release(const QPoint& point) override;
    void layout(const QSize& size) override;
    // Closed, even partly: the blind is "on".
    bool is_off() const override { return height_percent() <= 0.0; }

    // Reported height and slat angle, feedback first.
    double height_percent() const;
    double slat_value() const;
    // The largest slat value; "Max. Lamellenstellung" 0 means 100.
    double slat_maximum() const;
    bool has_slat() const { return !entry_address(SLAT).is_null(); }
    QRect up_box() const { return m_up_box; }
    QRect down_box() const { return m_down_box; }
    QList<QRect> operable_parts() const override { return {m_up_box, m_down_box}; }

    // What the overlay's buttons and levels do.
    void move_blind(bool down) { kv_blind_move(*this, down); }
    void stop_blind() { kv_blind_stop(*this); }
    void set_height(double percent) { write_value(HEIGHT, percent); }
    void set_slat(double value) { write_value(SLAT, value); }

protected:
    std::shared_ptr<CKV_Gui_Control_Tile_Overlay_Base> create_overlay() override;
    QString state_text() const override;
    void paint_content(QPainter& painter) override;

private:
    double shown_value(int feedback_slot, int value_slot) const;

    QRect m_up_box;
    QRect m_down_box;
};

class CKV_Gui_Control_Tile_Jalousie_Overlay : public CKV_Gui_Control_Tile_Overlay_Base {
    Q_OBJECT
public:
    CKV_Gui_Control_Tile_Jalousie_Overlay(CKV_Gui_Control_Tile_Jalousie& tile, QWidget* page);

    // Takes the tile's reported height and slat angle.
    void refresh_levels();
    KV_Tile_Level_Slider* height_slider() const { return m_height; }
    KV_Tile_Level_Slider* slat_slider() const { return m_slat; }

protected:
    void paint_panel(QPainter& painter) override;

private:
    CKV_Gui_Control_Tile_Jalousie& m_tile;
    KV_Tile_Level_Slider* m_height = nullptr;
    KV_Tile_Level_Slider* m_slat = nullptr;
};
