#include "kv_climate_settings.h"

#include <QString>

#include "kv_climate.h"
#include "kv_gui_control.h"
#include "kv_visu_host.h"

CTRL_Settings_Heizkreis::CTRL_Settings_Heizkreis(const KV_LOGIC_Control& block)
    : m_block(block)
{
}

bool CTRL_Settings_Heizkreis::manual() const
{
    const std::string* value = m_block.param(MANUAL);
    return value && *value == "1";
}

void CTRL_Settings_Heizkreis::set_manual(bool manual)
{
    m_block.set_param(MANUAL, manual ? "1" : "0");
}

std::optional<double> CTRL_Settings_Heizkreis::preset(int mode) const
{
    if (mode < 1 || mode > 4)
        return std::nullopt;
    const std::string* value = m_block.param(PRESETS[mode - 1]);
    bool ok = false;
    const double number = value ? QString::fromStdString(*value).toDouble(&ok) : 0.0;
    return ok ? std::optional<double>(number) : std::nullopt;
}

void CTRL_Settings_Heizkreis::set_preset(int mode, double value)
{
    if (mode >= 1 && mode <= 4)
        m_block.set_param(PRESETS[mode - 1], QString::number(value).toStdString());
}

std::vector<KV_Clock_Time> CTRL_Settings_Heizkreis::times() const
{
    std::vector<KV_Clock_Time> times;
    if (const std::string* list = m_block.param(TIME_PROGRAM))
        for (std::string_view entry : kv_list_from_text(*list, MAX_TIMES))
            times.push_back(kv_time_entry_from_text(entry));
    return times;
}

void CTRL_Settings_Heizkreis::set_times(const std::vector<KV_Clock_Time>& times)
{
    std::vector<std::string> entries;
    for (size_t i = 0; i < times.size() && i < MAX_TIMES; ++i)
        entries.push_back(kv_time_entry_text(times[i]));
    m_block.set_param(TIME_PROGRAM, kv_list_text(entries));
}

std::string CTRL_Settings_Heizkreis::encoded() const
{
    KV_LOGIC_Control copy = m_block;
    return copy.encode();
}

// ---------------------------------------------------------------- link

KV_Climate_Link::KV_Climate_Link(CKV_Gui_Control& control)
    : m_control(control)
{
}

void KV_Climate_Link::link()
{
    m_settings.reset();
    if (const KV_LOGIC_Control* block = m_control.host().find_logic_block(m_control.param("ID").toStdString()))
        m_settings = std::make_unique<CTRL_Settings_Heizkreis>(*block);
}

bool KV_Climate_Link::relink_on(const CKV_Network_Msg& header, const unsigned char* payload)
{
    const std::string guid = KV_Visu_Host::changed_block_guid(header, payload);
    if (guid.empty() || guid != m_control.param("ID").toStdString())
        return false;
    link();
    return true;
}

bool KV_Climate_Link::set_manual(bool manual)
{
    if (!m_settings || m_settings->manual() == manual)
        return false;
    m_settings->set_manual(manual);
    changed();
    return true;
}

bool KV_Climate_Link::set_times(const std::vector<KV_Clock_Time>& times)
{
    if (!m_settings)
        return false;
    m_settings->set_times(times);
    changed();
    return true;
}

void KV_Climate_Link::changed()
{
    if (!m_settings)
        return;
    m_control.host().store_logic_block(m_settings->block());
    send(kv_msg::BLOCK_CHANGED);
}

void KV_Climate_Link::send(uint32_t message_id) const
{
    if (m_settings && m_control.host().is_connected())
        m_control.host().send_text(message_id, m_settings->encoded());
}

// ---------------------------------------------------------------- heating program

std::string KV_Heating_Program::guid()
{
    return m_link.settings() ? m_link.settings()->block().m_str_guid : std::string();
}

std::vector<KV_Clock_Time>* KV_Heating_Program::times()
{
    if (!m_link.settings())
        return nullptr;
    m_times = m_link.settings()->times();
    return &m_times;
}

void KV_Heating_Program::commit()
{
    m_link.set_times(m_times);
}

KV_Time_Choices KV_Heating_Program::choices()
{
    KV_Time_Choices choices;
    for (int mode = KV_MODE_COMFORT; mode <= KV_MODE_FROST; ++mode)
        choices.values.emplace_back(mode, kv_mode_name(mode));
    return choices;
}

QString KV_Heating_Program::value_text(const KV_Clock_Time& time)
{
    return kv_mode_name(int(time.m_value));
}
