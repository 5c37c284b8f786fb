#pragma once
// What the room controls share (temperature tile and classic room
// controller): the address slots of a room controller, the operating modes,
// set-point scaling and the values last received, and the writes of mode and
// set points.

#include <QString>
#include <array>

class CKV_Gui_Control;

// A temperature as the controls show it: "21.5 °C".
QString kv_degrees(double value);

// Address slots of a room controller.
enum KV_Climate_Slot {
    KV_CLIMATE_MODE = 0,
    KV_CLIMATE_SET_COMFORT = 1,
    KV_CLIMATE_SET_STANDBY = 2,
    KV_CLIMATE_SET_NIGHT = 3,
    KV_CLIMATE_SET_FROST = 4,
    KV_CLIMATE_SET_RM = 5,
    KV_CLIMATE_ROOM = 6,
    KV_CLIMATE_COOLING = 7,
    KV_CLIMATE_HEATING = 8,
    KV_CLIMATE_HEAT_COOL = 9,
    KV_CLIMATE_RELEASE_COOLING = 10,
    KV_CLIMATE_RELEASE_HEATING = 11,
    KV_CLIMATE_RELEASE_HEAT_COOL = 12,
    KV_CLIMATE_WINDOW = 13,
    KV_CLIMATE_SLOTS = 14,
};

// Operating modes, the values of the mode address.
enum KV_Climate_Mode { KV_MODE_COMFORT = 1, KV_MODE_STANDBY = 2, KV_MODE_NIGHT = 3, KV_MODE_FROST = 4 };

bool kv_mode_known(int mode);
// "Anwesend", "Abwesend", "Nachtmodus", "Frostschutz"; empty for others.
QString kv_mode_name(int mode);
// The small mode icon of the tiles; the default icon for unknown modes.
QString kv_mode_tile_icon(int mode);
// The large mode icon of the overlay and the classic popup; empty for unknown modes.
QString kv_mode_icon(int mode);
// The set-point slot of a mode; unknown modes use the comfort set point.
int kv_mode_set_point_slot(int mode);

// A set point as received and as written: the controller's value is
// (shown + offset) * factor; a factor of 0 leaves the multiplication out.
double kv_set_point_shown(double received, double offset, double factor);
double kv_set_point_written(double shown, double offset, double factor);
// `value` moved by `steps` times `step`, kept within [minimum, maximum] and
// rounded to a thousandth so that repeated steps do not drift.
double kv_set_point_stepped(double value, double step, int steps, double minimum, double maximum);

// The values a room control received, and its writes through the control's
// address list. Offset and factor come from "Soll Offset" and "Soll Faktor".
class KV_Climate_Values {
public:
    explicit KV_Climate_Values(CKV_Gui_Control& control);

    // Takes a value received for `slot`; false for slots outside the list.
    bool receive(int slot, double value);

    int mode() const { return int(m_values[KV_CLIMATE_MODE]); }
    // The shown set point of a mode (unknown modes: comfort).
    double set_point(int mode) const { return m_values[size_t(kv_mode_set_point_slot(mode))]; }
    // The set point the controller reports, else that of the current mode.
    double current_set_point() const;
    double room_temperature() const { return m_values[KV_CLIMATE_ROOM]; }
    double value(int slot) const { return m_values[size_t(slot)]; }
    bool heating() const;
    bool cooling() const;
    bool window_open() const { return m_values[KV_CLIMATE_WINDOW] != 0.0; }

    // Writes the mode to slot 0; false when nothing was written.
    bool write_mode(int mode);
    // Writes a shown set point of `mode` to that mode's slot, scaled back.
    bool write_set_point(int mode, double shown);
    // Moves a mode's set point by `steps` steps within the limits and writes it.
    bool step_set_point(int mode, int steps, double step, double minimum, double maximum);
    // The same for the current mode.
    bool step_set_point(int steps, double step, double minimum, double maximum)
    {
        return step_set_point(mode(), steps, step, minimum, maximum);
    }

private:
    double offset() const;
    double factor() const;

    CKV_Gui_Control& m_control;
    std::array<double, KV_CLIMATE_SLOTS> m_values{};
};
