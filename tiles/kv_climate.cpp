#include "kv_climate.h"

#include <algorithm>
#include <cmath>

#include "kv_gui_control.h"

namespace {
struct Mode_Info {
    const char* name;
    const char* tile_icon;
    const char* icon;
};

const Mode_Info MODES[] = {
    {"Anwesend", ":/images/svg/Anwesend_klein.svg", ":/images/svg/Anwesend.svg"},
    {"Abwesend", ":/images/svg/Abwesend_klein.svg", ":/images/svg/Abwesend.svg"},
    {"Nachtmodus", ":/images/svg/Nacht.svg", ":/images/svg/Nacht.svg"},
    {"Frostschutz", ":/images/svg/Frost.svg", ":/images/svg/Frost.svg"},
};

const char* const UNKNOWN_MODE_ICON = ":/images/Smartphone/phone_Default.svg";
} // namespace

QString kv_degrees(double value)
{
    return QString::number(value, 'f', 1) + QStringLiteral(" °C");
}

bool kv_mode_known(int mode)
{
    return mode >= KV_MODE_COMFORT && mode <= KV_MODE_FROST;
}

QString kv_mode_name(int mode)
{
    return kv_mode_known(mode) ? QString::fromUtf8(MODES[mode - 1].name) : QString();
}

QString kv_mode_tile_icon(int mode)
{
    return QString::fromLatin1(kv_mode_known(mode) ? MODES[mode - 1].tile_icon : UNKNOWN_MODE_ICON);
}

QString kv_mode_icon(int mode)
{
    return kv_mode_known(mode) ? QString::fromLatin1(MODES[mode - 1].icon) : QString();
}

int kv_mode_set_point_slot(int mode)
{
    return kv_mode_known(mode) ? mode : KV_CLIMATE_SET_COMFORT;
}

double kv_set_point_shown(double received, double offset, double factor)
{
    const double shifted = received - offset;
    return factor == 0.0 ? shifted : shifted / factor;
}

double kv_set_point_written(double shown, double offset, double factor)
{
    const double shifted = shown + offset;
    return factor == 0.0 ? shifted : shifted * factor;
}

double kv_set_point_stepped(double value, double step, int steps, double minimum, double maximum)
{
    const double moved = std::clamp(value + step * steps, minimum, std::max(minimum, maximum));
    return std::round(moved * 1000.0) / 1000.0;
}

// ---------------------------------------------------------------- values

KV_Climate_Values::KV_Climate_Values(CKV_Gui_Control& control)
    : m_control(control)
{
}

double KV_Climate_Values::offset() const
{
    return m_control.param_double("Soll Offset");
}

double KV_Climate_Values::factor() const
{
    return m_control.param_double("Soll Faktor");
}

bool KV_Climate_Values::receive(int slot, double value)
{
    if (slot < 0 || slot >= KV_CLIMATE_SLOTS)
        return false;
    const bool set_point = slot >= KV_CLIMATE_SET_COMFORT && slot <= KV_CLIMATE_SET_FROST;
    m_values[size_t(slot)] = set_point ? kv_set_point_shown(value, offset(), factor()) : value;
    return true;
}

double KV_Climate_Values::current_set_point() const
{
    if (!m_control.entry_address(KV_CLIMATE_SET_RM).is_null())
        return m_values[KV_CLIMATE_SET_RM];
    return set_point(mode());
}

// The combined output counts for cooling while cooling is released.
bool KV_Climate_Values::heating() const
{
    return m_values[KV_CLIMATE_HEATING] > 0.0 ||
           (m_values[KV_CLIMATE_HEAT_COOL] > 0.0 && m_values[KV_CLIMATE_RELEASE_COOLING] == 0.0);
}

bool KV_Climate_Values::cooling() const
{
    return m_values[KV_CLIMATE_COOLING] > 0.0 ||
           (m_values[KV_CLIMATE_HEAT_COOL] > 0.0 && m_values[KV_CLIMATE_RELEASE_COOLING] != 0.0);
}

bool KV_Climate_Values::write_mode(int mode)
{
    m_values[KV_CLIMATE_MODE] = mode;
    return m_control.write_value(KV_CLIMATE_MODE, mode);
}

bool KV_Climate_Values::write_set_point(int mode, double shown)
{
    const int slot = kv_mode_set_point_slot(mode);
    m_values[size_t(slot)] = shown;
    return m_control.write_value(slot, kv_set_point_written(shown, offset(), factor()));
}

bool KV_Climate_Values::step_set_point(int mode, int steps, double step, double minimum, double maximum)
{
    return write_set_point(mode, kv_set_point_stepped(set_point(mode), step, steps, minimum, maximum));
}
