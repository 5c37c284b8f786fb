#pragma once
// Numeric input: the formatted value, with optional minus and plus buttons
// that step it between minimum and maximum; a tap on the value opens the
// number keypad. Minimum, maximum and step are in shown units: what the
// user types is what the control shows once the controller answers, so
// writes take offset and factor back out.

#include "kv_gui_control.h"

class CKV_Gui_Control_Popup_Number;

class CKV_Gui_Control_Edit : public CKV_Gui_Control {
    Q_OBJECT
public:
    CKV_Gui_Control_Edit(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record);

    void apply_record() override;
    void on_value(const KV_Addr_Db& address, int entry, double value) override;
    void on_release(const QPoint& point) override;
    QString shown_text() const;
    // The keypad while it is open.
    CKV_Gui_Control_Popup_Number* keypad() const { return m_keypad; }
    // The value as shown (offset added, then factor) and back.
    double shown_value() const;
    double raw_value(double shown) const;
    QList<QRect> operable_parts() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    QRect pressed_area() const override;

private:
    QRect text_area() const;
    QRect minus_area() const;
    QRect plus_area() const;
    void reformat();
    // Clamps a shown value into the range and writes it to entry 0.
    void submit(double shown);
    void open_keypad();

    double m_minimum = 0.0;
    double m_maximum = 100.0;
    double m_step = 1.0;
    bool m_buttons = true;
    int m_text_percent = 50;
    QString m_format;
    double m_factor = 1.0;
    double m_offset = 0.0;
    QString m_text;
    CKV_Gui_Control_Popup_Number* m_keypad = nullptr;
};
