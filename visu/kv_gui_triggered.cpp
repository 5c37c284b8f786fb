#include "kv_gui_triggered.h"

void CKV_Gui_Control_Triggered::apply_record()
{
    CKV_Gui_Control::apply_record();
    m_trigger.reset(param_int(trigger_param()), entry_value(0));
    update();
}

void CKV_Gui_Control_Triggered::on_value(const KV_Addr_Db&, int entry, double value)
{
    if (entry == 0 && m_trigger.fires(value))
        act();
}

void CKV_Gui_Control_Triggered::on_release(const QPoint&)
{
    act();
}
