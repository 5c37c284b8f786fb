#pragma once
// Sliders writing a value between minimum and maximum, and progress bars
// showing one. A slider owns every drag that starts on it: the page does not
// scroll under it, and only the value where the finger lifts is written.

#include "kv_gui_control.h"

// Value range shared by sliders and progress bars: entry 0 between
// "Minimum" and "Maximum".
class CKV_Gui_Control_Range_Base : public CKV_Gui_Control {
    Q_OBJECT
public:
    CKV_Gui_Control_Range_Base(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record, Qt::Orientation axis);

    void apply_record() override;
    void on_value(const KV_Addr_Db& address, int entry, double value) override;
    double value() const { return m_value; }
    Qt::Orientation axis() const { return m_axis; }

protected:
    // Position of the value along the axis, 0 at minimum, 1 at maximum.
    double fraction() const;
    void set_shown_value(double value);
    void paint_bar(QPainter& painter, const QColor& filled, const QColor& empty) const;

    double m_minimum = 0.0;
    double m_maximum = 100.0;

private:
    Qt::Orientation m_axis;
    double m_value = 0.0;
};

class CKV_Gui_Control_Slider : public CKV_Gui_Control_Range_Base {
    Q_OBJECT
public:
    using CKV_Gui_Control_Range_Base::CKV_Gui_Control_Range_Base;
    void apply_record() override;
    void on_value(const KV_Addr_Db& address, int entry, double value) override;
    void on_press(const QPoint& point) override;
    void on_release(const QPoint& point) override;
    bool owns_drag() const override { return true; }
    bool is_dragging() const { return m_dragging; }

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    // The knob under the finger is the feedback.
    QRect pressed_area() const override { return {}; }

private:
    // The value at a point, clamped and put on the step grid.
    double value_at(const QPoint& point) const;

    double m_step = 1.0;
    bool m_dragging = false;
};

class CKV_Gui_Control_Slider_Hor : public CKV_Gui_Control_Slider {
    Q_OBJECT
public:
    CKV_Gui_Control_Slider_Hor(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record)
        : CKV_Gui_Control_Slider(canvas, record, Qt::Horizontal)
    {
    }
};

class CKV_Gui_Control_Slider_Ver : public CKV_Gui_Control_Slider {
    Q_OBJECT
public:
    CKV_Gui_Control_Slider_Ver(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record)
        : CKV_Gui_Control_Slider(canvas, record, Qt::Vertical)
    {
    }
};

class CKV_Gui_Control_Progress : public CKV_Gui_Control_Range_Base {
    Q_OBJECT
public:
    using CKV_Gui_Control_Range_Base::CKV_Gui_Control_Range_Base;
    bool operable() const override { return false; }

protected:
    void paintEvent(QPaintEvent* event) override;
};

class CKV_Gui_Control_Progress_Hor : public CKV_Gui_Control_Progress {
    Q_OBJECT
public:
    CKV_Gui_Control_Progress_Hor(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record)
        : CKV_Gui_Control_Progress(canvas, record, Qt::Horizontal)
    {
    }
};

class CKV_Gui_Control_Progress_Ver : public CKV_Gui_Control_Progress {
    Q_OBJECT
public:
    CKV_Gui_Control_Progress_Ver(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record)
        : CKV_Gui_Control_Progress(canvas, record, Qt::Vertical)
    {
    }
};
