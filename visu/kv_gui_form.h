#pragma once
// A drawn shape that operates like the universal switch once it has a
// switching address; its colours follow the switch state.

#include <QPainterPath>

#include "kv_gui_switch.h"

class CKV_Gui_Control_Form : public CKV_Gui_Control_Switch_Base {
    Q_OBJECT
public:
    enum Shape { RECTANGLE = 0, CIRCLE = 1, TRIANGLE = 2, LINE_HORIZONTAL = 3, LINE_VERTICAL = 4, ARROW = 5 };

    CKV_Gui_Control_Form(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record);
    void apply_record() override;
    void on_press(const QPoint& point) override;
    void on_release(const QPoint& point) override;

    int shape() const { return m_shape; }
    // The outline of a shape in `box`, unrotated; lines are open paths.
    static QPainterPath shape_path(int shape, const QRectF& box, double rounding);
    // The shape as drawn: turned by `rotation` degrees about the centre of
    // `box`, then shrunk and centred where it would stick out of the box.
    static QPainterPath drawn_path(int shape, const QRectF& box, double rounding, double rotation);

protected:
    void paintEvent(QPaintEvent* event) override;

public:
    // A shape without a switching address only decorates.
    bool operable() const override { return !entry_address(0).is_null(); }

private:

    int m_shape = RECTANGLE;
    double m_rounding = 0.0;
    double m_rotation = 0.0;
    bool m_show_text = false;
};
