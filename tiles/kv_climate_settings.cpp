#include "kv_climate_settings.h"

#include <QString>

CTRL_Settings_Heizkreis::CTRL_Settings_Heizkreis(const KV_LOGIC_Control& block)
    : m_block(block)
{
}

const std::string* CTRL_Settings_Heizkreis::value_of(const char* name) const
{
    for (const KV_LOGIC_Param& param : m_block.m_list_param)
        if (param.m_str_name == name)
            return &param.m_str_value;
    return nullptr;
}

void CTRL_Settings_Heizkreis::set_value(const char* name, const std::string& value)
{
    for (KV_LOGIC_Param& param : m_block.m_list_param)
        if (param.m_str_name == name) {
            param.m_str_value = value;
            return;
        }
    if (m_block.m_list_param.size() < KV_LOGIC_Control::MAX_PARAM)
        m_block.m_list_param.push_back({name, value});
}

bool CTRL_Settings_Heizkreis::manual() const
{
    const std::string* value = value_of(MANUAL);
    return value && *value == "1";
}

void CTRL_Settings_Heizkreis::set_manual(bool manual)
{
    set_value(MANUAL, manual ? "1" : "0");
}

std::optional<double> CTRL_Settings_Heizkreis::preset(int mode) const
{
    if (mode < 1 || mode > 4)
        return std::nullopt;
    const std::string* value = value_of(PRESETS[mode - 1]);
    bool ok = false;
    const double number = value ? QString::fromStdString(*value).toDouble(&ok) : 0.0;
    return ok ? std::optional<double>(number) : std::nullopt;
}

void CTRL_Settings_Heizkreis::set_preset(int mode, double value)
{
    if (mode >= 1 && mode <= 4)
        set_value(PRESETS[mode - 1], QString::number(value).toStdString());
}

std::string CTRL_Settings_Heizkreis::encoded() const
{
    KV_LOGIC_Control copy = m_block;
    return copy.encode();
}
