#pragma once
// Two-state operating controls: the universal switch and the flip switch.
// Both follow the same four switching functions on entry 0 (switching
// address) with entry 1 as feedback address.

#include "kv_gui_control.h"

// The four switching functions shared by every switch, classic or tile.
enum KV_Switch_Function { KV_SWITCH_TOGGLE = 0, KV_SWITCH_ON_OFF_VALUE = 1, KV_SWITCH_ONLY_ON = 2, KV_SWITCH_PUSH = 3 };

// What a release sends and whether the switch shows on afterwards, from
// the value it holds before.
struct KV_Switch_Step {
    double value;
    bool on;
};
KV_Switch_Step kv_switch_release(int function, double current, double value_on, double value_off);
// Whether a switch holding `value` shows on: toggles when not 0, the others
// when the value is the on-value.
bool kv_switch_shows_on(int function, double value, double value_on);
// The "Funktion" parameter, out-of-range numbers taken as toggling.
int kv_switch_function(int number);

class CKV_Gui_Control_Switch_Base : public CKV_Gui_Control {
    Q_OBJECT
public:
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
    void show_state(bool on);
    void send(double value);

    const char* m_label_on;
    const char* m_label_off;
    int m_function = KV_SWITCH_TOGGLE;
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
    // Draws its pressed face itself.
    QRect pressed_area() const override { return {}; }

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
