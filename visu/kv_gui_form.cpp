#include "kv_gui_form.h"

#include <QPainter>
#include <QTransform>
#include <algorithm>

CKV_Gui_Control_Form::CKV_Gui_Control_Form(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record)
    : CKV_Gui_Control_Switch_Base(canvas, record, "Wert ein", "Wert aus")
{
}

void CKV_Gui_Control_Form::apply_record()
{
    m_shape = param_int("Form");
    if (m_shape < RECTANGLE || m_shape > ARROW)
        m_shape = RECTANGLE;
    m_rounding = std::max(0.0, param_double("Rundung"));
    m_rotation = param_double("Rotation");
    m_show_text = param_int("Text anzeigen") != 0;
    CKV_Gui_Control_Switch_Base::apply_record();
}

// Without a switching address the shape is decoration only.
void CKV_Gui_Control_Form::on_press(const QPoint& point)
{
    if (operable())
        CKV_Gui_Control_Switch_Base::on_press(point);
}

void CKV_Gui_Control_Form::on_release(const QPoint& point)
{
    if (operable())
        CKV_Gui_Control_Switch_Base::on_release(point);
}

QPainterPath CKV_Gui_Control_Form::shape_path(int shape, const QRectF& box, double rounding)
{
    QPainterPath path;
    const QPointF c = box.center();
    switch (shape) {
    case CIRCLE:
        path.addEllipse(box);
        break;
    case TRIANGLE:
        path.moveTo(c.x(), box.top());
        path.lineTo(box.bottomRight());
        path.lineTo(box.bottomLeft());
        path.closeSubpath();
        break;
    case LINE_HORIZONTAL:
        path.moveTo(box.left(), c.y());
        path.lineTo(box.right(), c.y());
        break;
    case LINE_VERTICAL:
        path.moveTo(c.x(), box.top());
        path.lineTo(c.x(), box.bottom());
        break;
    case ARROW: {
        // Pointing right: a shaft of half the height and a head of the last third.
        const qreal head = box.left() + box.width() * 2.0 / 3.0;
        const qreal shaft_top = box.top() + box.height() / 4.0;
        const qreal shaft_bottom = box.bottom() - box.height() / 4.0;
        path.moveTo(box.left(), shaft_top);
        path.lineTo(head, shaft_top);
        path.lineTo(head, box.top());
        path.lineTo(box.right(), c.y());
        path.lineTo(head, box.bottom());
        path.lineTo(head, shaft_bottom);
        path.lineTo(box.left(), shaft_bottom);
        path.closeSubpath();
        break;
    }
    default:
        path.addRoundedRect(box, rounding, rounding);
        break;
    }
    return path;
}

QPainterPath CKV_Gui_Control_Form::drawn_path(int shape, const QRectF& box, double rounding, double rotation)
{
    // Rotated about its centre, then shrunk and centred where it would stick out.
    QTransform turn;
    turn.translate(box.center().x(), box.center().y());
    turn.rotate(rotation);
    turn.translate(-box.center().x(), -box.center().y());
    QPainterPath path = turn.map(shape_path(shape, box, rounding));
    const QRectF bounds = path.boundingRect();
    if (!box.contains(bounds)) {
        const qreal fit = std::min({1.0, bounds.width() > 0 ? box.width() / bounds.width() : 1.0,
                                    bounds.height() > 0 ? box.height() / bounds.height() : 1.0});
        QTransform shrink;
        shrink.translate(box.center().x(), box.center().y());
        shrink.scale(fit, fit);
        shrink.translate(-bounds.center().x(), -bounds.center().y());
        path = shrink.map(path);
    }
    return path;
}

void CKV_Gui_Control_Form::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    prepare_painter(painter);
    const bool on = is_on();
    const qreal line = std::max(1, borderwidth());
    const QRectF box = QRectF(rect()).adjusted(line / 2, line / 2, -line / 2, -line / 2);

    const QPainterPath path = drawn_path(m_shape, box, m_rounding, m_rotation);
    const bool is_line = m_shape == LINE_HORIZONTAL || m_shape == LINE_VERTICAL;
    painter.setPen(QPen(on ? form_color_line_on() : form_color_line_off(), line, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(is_line ? QBrush(Qt::NoBrush) : QBrush(on ? form_color_bg_on() : form_color_bg_off()));
    painter.drawPath(path);

    if (m_show_text) {
        painter.setFont(text_font());
        painter.setPen(or_default(btncolortext(), static_text_color()));
        painter.drawText(rect().translated(record().m_text_offs_x, record().m_text_offs_y), Qt::AlignCenter,
                         name_text());
    }
}
