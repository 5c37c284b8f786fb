#pragma once
// A control that does its one thing on a click and, depending on its trigger
// parameter, on telegrams of its first address.

#include "kv_gui_control.h"
#include "kv_gui_trigger.h"

class CKV_Gui_Control_Triggered : public CKV_Gui_Control {
    Q_OBJECT
public:
    using CKV_Gui_Control::CKV_Gui_Control;
    void apply_record() override;
    void on_value(const KV_Addr_Db& address, int entry, double value) override;
    void on_release(const QPoint& point) override;

protected:
    virtual void act() = 0;
    // The parameter holding the trigger mode.
    virtual const char* trigger_param() const { return "Trigger"; }

private:
    KV_Telegram_Trigger m_trigger;
};
