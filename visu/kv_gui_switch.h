#pragma once
// Two-state operating controls: the universal switch and the flip switch.
// Both follow the same four switching functions on entry 0 (switching
// address) with entry 1 as feedback address.

#include "kv_gui_control.h"

class CKV_Gui_Control_Switch_Base : public CKV_Gui_Control {
    Q_OBJECT
public:
    enum Function { TOGGLE = 0, ON_OFF_VALUE = 1, ONLY_ON = 2, PUSH_BUTTON = 3 };

    CKV_Gui_Control_Switch_Base(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record,
                                const char* label_on, const char* label_off);

    void apply_record() override;
    void on_value(const KV_Addr_Db& address, int entry, double value) override;
    void on_press(const QPoint& point) override;
    void on_release(const QPoint& point) override;

    bool is_on() const { return m_on; }
    double current_value() const { return m_current; }

private:
    bool has_feedback() const { return !entry_address(1).is_null(); }
    // The switching value follows what this switch sends and receives on
    // entry 0, unless the window keeps feedback apart and there is one.
    bool keeps_own_value() const;
    bool shows_on(double value) const;
    void show_state(bool on);

    const char* m_label_on;
    const char* m_label_off;
    int m_function = TOGGLE;
    double m_value_on = 1.0;
    double m_value_off = 0.0;
    double m_current = 0.0;
    bool m_on = false;
};

class CKV_Gui_Control_Button_Universal : public CKV_Gui_Control_Switch_Base {
    Q_OBJECT
public:
    CKV_Gui_Control_Button_Universal(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record);
    void apply_record() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text_on;
    QString m_text_off;
    QString m_image_on;
    QString m_image_off;
};

class CKV_Gui_Control_Button_FlipSwitch : public CKV_Gui_Control_Switch_Base {
    Q_OBJECT
public:
    CKV_Gui_Control_Button_FlipSwitch(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record);

protected:
    void paintEvent(QPaintEvent* event) override;
};
