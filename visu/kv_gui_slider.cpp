#include "kv_gui_slider.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>


CKV_Gui_Control_Range_Base::CKV_Gui_Control_Range_Base(CKV_Gui_Control_Container* canvas,
                                                       const KV_GUI_Control& record, Qt::Orientation axis)
    : CKV_Gui_Control(canvas, record)
    , m_axis(axis)
{
}

void CKV_Gui_Control_Range_Base::apply_record()
{
    CKV_Gui_Control::apply_record();
    m_minimum = param_double("Minimum");
    m_maximum = param_double("Maximum");
    set_shown_value(entry_value(0));
}

void CKV_Gui_Control_Range_Base::on_value(const KV_Addr_Db&, int entry, double value)
{
    if (entry == 0)
        set_shown_value(value);
}

void CKV_Gui_Control_Range_Base::set_shown_value(double value)
{
    m_value = value;
    update();
}

double CKV_Gui_Control_Range_Base::fraction() const
{
    const double span = m_maximum - m_minimum;
    if (span == 0.0 || std::isnan(m_value))
        return 0.0;
    return std::clamp((m_value - m_minimum) / span, 0.0, 1.0);
}

void CKV_Gui_Control_Range_Base::paint_bar(QPainter& painter, const QColor& filled, const QColor& empty) const
{
    const QRectF box = QRectF(rect()).adjusted(1, 1, -1, -1);
    const qreal radius = std::min<qreal>(borderradius(), std::min(box.width(), box.height()) / 2);
    painter.setPen(Qt::NoPen);
    painter.setBrush(empty);
    painter.drawRoundedRect(box, radius, radius);
    QRectF part = box;
    if (m_axis == Qt::Horizontal)
        part.setWidth(box.width() * fraction());
    else
        part.setTop(box.bottom() - box.height() * fraction());
    painter.setBrush(filled);
    painter.drawRoundedRect(part, radius, radius);
}

void CKV_Gui_Control_Slider::apply_record()
{
    m_step = param_double("Schrittweite");
    CKV_Gui_Control_Range_Base::apply_record();
}

void CKV_Gui_Control_Slider::on_value(const KV_Addr_Db& address, int entry, double value)
{
    // The finger wins over values arriving during a drag.
    if (!m_dragging)
        CKV_Gui_Control_Range_Base::on_value(address, entry, value);
}

double CKV_Gui_Control_Slider::value_at(const QPoint& point) const
{
    double part = axis() == Qt::Horizontal ? double(point.x()) / std::max(1, width())
                                           : 1.0 - double(point.y()) / std::max(1, height());
    part = std::clamp(part, 0.0, 1.0);
    double value = m_minimum + part * (m_maximum - m_minimum);
    if (m_step > 0)
        value = m_minimum + std::round((value - m_minimum) / m_step) * m_step;
    return std::clamp(value, std::min(m_minimum, m_maximum), std::max(m_minimum, m_maximum));
}

void CKV_Gui_Control_Slider::on_press(const QPoint& point)
{
    m_dragging = true;
    set_shown_value(value_at(point));
}

void CKV_Gui_Control_Slider::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragging)
        set_shown_value(value_at(event->position().toPoint()));
}

void CKV_Gui_Control_Slider::on_release(const QPoint& point)
{
    // A drag and a tap both end with the value at the finger.
    m_dragging = false;
    const double value = value_at(point);
    set_shown_value(value);
    write_value(0, value);
}

void CKV_Gui_Control_Slider::mouseReleaseEvent(QMouseEvent* event)
{
    CKV_Gui_Control_Range_Base::mouseReleaseEvent(event);
    if (m_dragging) {
        // A pinch took the touch: nothing is written, the value stays.
        m_dragging = false;
        set_shown_value(entry_value(0));
    }
}

void CKV_Gui_Control_Slider::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    prepare_painter(painter);
    const bool horizontal = axis() == Qt::Horizontal;
    const qreal thickness = std::max<qreal>(4, (horizontal ? height() : width()) / 4.0);
    const qreal knob = std::min(width(), height()) - 2;
    QRectF track;
    if (horizontal)
        track = QRectF(knob / 2, (height() - thickness) / 2, width() - knob, thickness);
    else
        track = QRectF((width() - thickness) / 2, knob / 2, thickness, height() - knob);
    painter.setPen(Qt::NoPen);
    painter.setBrush(btncolorslideroff());
    painter.drawRoundedRect(track, thickness / 2, thickness / 2);
    QRectF filled = track;
    QPointF centre;
    if (horizontal) {
        filled.setWidth(track.width() * fraction());
        centre = QPointF(filled.right(), height() / 2.0);
    } else {
        filled.setTop(track.bottom() - track.height() * fraction());
        centre = QPointF(width() / 2.0, filled.top());
    }
    painter.setBrush(btncolorslideron());
    painter.drawRoundedRect(filled, thickness / 2, thickness / 2);
    // The knob keeps an edge on a page of its own colour.
    painter.setPen(border_pen());
    painter.setBrush(or_default(btncolorface(), btncolorswitchon()));
    const qreal edge = border_pen().style() == Qt::NoPen ? 0 : borderwidth() / 2.0;
    painter.drawEllipse(centre, knob / 2 - edge, knob / 2 - edge);
}

void CKV_Gui_Control_Progress::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    prepare_painter(painter);
    paint_bar(painter, btncolorswitchon(), btncolorslideroff());
}
