#include "kv_gui_tile_onoff.h"

#include <utility>

#include "kv_gui_switch.h"
#include "kv_visu_host.h"

void CKV_Gui_Control_Tile_OnOff::apply_record()
{
    m_function = kv_switch_function(param_int("Funktion"));
    m_value_on = param_double("Wert Ein");
    m_value_off = param_double("Wert Aus");
    m_ignore_values = param_int("Wertänderung\nignorieren") != 0;
    m_current = entry_value(shown_entry());
    const auto read_file = [this](const QString& file) { return host().file_data(file); };
    for (auto [icon, label] : {std::pair{&m_icon_on, "ON Icon"}, std::pair{&m_icon_off, "OFF Icon"}}) {
        const QString name = param(label);
        if (name.isEmpty())
            icon->clear();
        else
            icon->load(name, read_file);
    }
    CKV_Gui_Control_Tile_Touch_Base::apply_record();
}

void CKV_Gui_Control_Tile_OnOff::draw_icon(QPainter& painter, const QRect& box)
{
    KV_Tile_Icon& own = is_off() ? m_icon_off : m_icon_on;
    if (!own.has_icon()) {
        CKV_Gui_Control_Tile_Touch_Base::draw_icon(painter, box);
        return;
    }
    own.set_color(icon().color());
    own.draw(painter, box);
}

void CKV_Gui_Control_Tile_OnOff::on_value(const KV_Addr_Db&, int entry, double value)
{
    if (m_ignore_values || entry != shown_entry())
        return;
    m_current = value;
    update();
}

void CKV_Gui_Control_Tile_OnOff::write(double value)
{
    if (write_value(0, value) && m_ignore_values)
        m_current = value;
    update();
}

void CKV_Gui_Control_Tile_OnOff::on_press(const QPoint& point)
{
    if (m_function == KV_SWITCH_PUSH && touch_area().contains(point))
        write(m_value_on);
}

void CKV_Gui_Control_Tile_OnOff::on_release(const QPoint& point)
{
    if (!touch_area().contains(point))
        return;
    write(kv_switch_release(m_function, m_current, m_value_on, m_value_off).value);
}

bool CKV_Gui_Control_Tile_OnOff::is_off() const
{
    return !kv_switch_shows_on(m_function, m_current, m_value_on);
}

QString CKV_Gui_Control_Tile_OnOff::state_text() const
{
    return is_off() ? tr("Aus") : tr("Ein");
}
