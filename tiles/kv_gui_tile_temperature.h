#pragma once
// The temperature tile: room temperature, set point, operating mode and
// heating or cooling of a room controller. Held, it opens the overlay that
// steps the set point of the current mode and chooses the mode. A tile
// linked to a room-controller logic block ("ID") also offers manual or
// automatic operation and the mode presets of that block.

#include <memory>

#include "kv_climate.h"
#include "kv_climate_settings.h"
#include "kv_gui_tile_base.h"
#include "kv_gui_tile_overlay.h"

class QLabel;
class QPushButton;

class CKV_Gui_Control_Tile_Temperature : public CKV_Gui_Control_Tile_Touch_Base {
    Q_OBJECT
public:
    CKV_Gui_Control_Tile_Temperature(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record);

    void apply_record() override;
    void on_value(const KV_Addr_Db& address, int entry, double value) override;
    void open_overlay() override;
    void on_message(const CKV_Network_Msg& header, const unsigned char* payload) override;
    bool is_off() const override { return !m_values.heating() && !m_values.cooling(); }

    const KV_Climate_Values& values() const { return m_values; }
    // "Minimum"/"Maximum" of a mode's set point (unknown modes: comfort).
    double minimum(int mode) const;
    double maximum(int mode) const;
    double step() const { return param_double("Schrittweite"); }

    // The overlay's operations: write at once.
    void step_set_point(int steps);
    void choose_mode(int mode);
    // Linked block only: change its settings and send them.
    CTRL_Settings_Heizkreis* settings() const { return m_link.settings(); }
    void set_manual(bool manual);
    void step_preset(int mode, int steps);
    KV_Climate_Link& link() { return m_link; }

    // "Automatik" or "Manuell", with the mode name when known.
    QString state_text() const override;
    QString mode_icon_name() const { return m_mode_icon.name(); }

signals:
    void values_changed();

protected:
    std::shared_ptr<CKV_Gui_Control_Tile_Overlay_Base> create_overlay() override;
    void paint_content(QPainter& painter) override;

private:
    void load_mode_icon();

    KV_Climate_Values m_values;
    KV_Climate_Link m_link;
    KV_Tile_Icon m_mode_icon;
    KV_Tile_Icon m_heating_icon;
    KV_Tile_Icon m_cooling_icon;
    KV_Tile_Icon m_window_icon;
};

class CKV_Gui_Control_Tile_Temperature_Overlay : public CKV_Gui_Control_Tile_Overlay_Base {
    Q_OBJECT
public:
    CKV_Gui_Control_Tile_Temperature_Overlay(CKV_Gui_Control_Tile_Temperature& tile, QWidget* page);

    // Takes the tile's values and settings.
    void refresh();
    // Slides in the room's switching times (linked block only).
    void open_times();
    CKV_Gui_Control_App_Overlay_Timer* times() const { return m_times; }

protected:
    void paint_panel(QPainter& painter) override;

private:
    QPushButton* add_button(const QString& name, const QString& text, bool checkable = false);
    QWidget* build_presets();
    QWidget* build_times();

    CKV_Gui_Control_Tile_Temperature& m_tile;
    QLabel* m_set_point = nullptr;
    QPushButton* m_times_button = nullptr;
    CKV_Gui_Control_App_Overlay_Timer* m_times = nullptr;
    QLabel* m_room = nullptr;
    QPushButton* m_modes[4] = {};
    QPushButton* m_manual = nullptr;
    QPushButton* m_automatic = nullptr;
    QLabel* m_presets[4] = {};
};
