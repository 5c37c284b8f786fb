#include "kv_climate_settings.h"

#include <QString>

#include "kv_gui_control.h"
#include "kv_visu_host.h"

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

// ---------------------------------------------------------------- link

KV_Climate_Link::KV_Climate_Link(CKV_Gui_Control& control)
    : m_control(control)
{
}

void KV_Climate_Link::link()
{
    m_settings.reset();
    const std::string id = m_control.param("ID").toStdString();
    if (id.empty())
        return;
    for (const KV_LOGIC_Control* block : m_control.host().logic_blocks())
        if (block && block->m_str_guid == id) {
            m_settings = std::make_unique<CTRL_Settings_Heizkreis>(*block);
            return;
        }
}

bool KV_Climate_Link::set_manual(bool manual)
{
    if (!m_settings || m_settings->manual() == manual)
        return false;
    m_settings->set_manual(manual);
    send(MSG_SETTINGS_CHANGED);
    return true;
}

void KV_Climate_Link::send(uint32_t message_id) const
{
    if (m_settings && m_control.host().is_connected())
        m_control.host().send_text(message_id, m_settings->encoded());
}
