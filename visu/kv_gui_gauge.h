#pragma once
// Value gauges: a fill level and an analogue dial, both between a minimum
// and a maximum and clamped beyond them.

#include <QVariantAnimation>

#include "kv_gui_control.h"

// Where `value` lies between `minimum` and `maximum`, 0..1, clamped; 0 when
// the range is empty.
double kv_gauge_fraction(double value, double minimum, double maximum);

class CKV_Gui_Control_Fuellstand : public CKV_Gui_Control {
    Q_OBJECT
public:
    bool operable() const override { return false; }
    using CKV_Gui_Control::CKV_Gui_Control;
    void apply_record() override;
    void on_value(const KV_Addr_Db& address, int entry, double value) override;
    // The filled part, 0..1, of the scaled value between minimum and maximum.
    double level() const { return m_level; }
    QString value_text() const { return m_value_text; }
    QColor foreground() const { return m_foreground; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void recompute();

    double m_minimum = 0.0;
    double m_maximum = 100.0;
    QString m_format;
    double m_factor = 1.0;
    double m_offset = 0.0;
    QColor m_foreground;
    double m_level = 0.0;
    QString m_value_text;
};

class CKV_Gui_Control_Analoganzeige : public CKV_Gui_Control {
    Q_OBJECT
public:
    bool operable() const override { return false; }
    static constexpr int ANIMATION_MS = 300;

    CKV_Gui_Control_Analoganzeige(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record);
    void apply_record() override;
    void on_value(const KV_Addr_Db& address, int entry, double value) override;
    // Degrees from the minimum mark, clockwise: where the pointer goes, and
    // where it is drawn now while it moves there.
    double target_angle() const { return m_target_angle; }
    double pointer_angle() const { return m_pointer_angle; }
    double sweep() const { return m_sweep; }
    QString value_text() const { return m_value_text; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void move_pointer(double value, bool animated);

    double m_minimum = 0.0;
    double m_maximum = 100.0;
    double m_sweep = 270.0;
    QColor m_pointer_color;
    QColor m_line_color;
    double m_font_factor = 1.0;
    double m_target_angle = 0.0;
    double m_pointer_angle = 0.0;
    QString m_value_text;
    QVariantAnimation m_animation;
};
