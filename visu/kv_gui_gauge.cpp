#include "kv_gui_gauge.h"

#include <QPainter>
#include <QtMath>
#include <algorithm>
#include <cmath>
#include <limits>

#include "kv_visu_host.h"

double kv_gauge_fraction(double value, double minimum, double maximum)
{
    const double range = maximum - minimum;
    if (!(std::fabs(range) > 0.0) || !std::isfinite(value))
        return 0.0;
    return std::clamp((value - minimum) / range, 0.0, 1.0);
}

namespace {
// The displayed value: offset first, then the factor unless it is 0.
double scaled(double raw, double factor, double offset)
{
    const double shifted = raw + offset;
    return std::fabs(factor) <= std::numeric_limits<double>::epsilon() ? shifted : shifted * factor;
}
} // namespace

// ---- Fill level ----

void CKV_Gui_Control_Fuellstand::apply_record()
{
    CKV_Gui_Control::apply_record();
    m_minimum = param_double("Minimum");
    m_maximum = param_double("Maximum");
    m_format = param("Format");
    m_factor = param_double("Faktor");
    m_offset = param_double("Offset");
    m_foreground = param_color("Vordergrund", btncolorswitchon());
    recompute();
}

void CKV_Gui_Control_Fuellstand::recompute()
{
    m_level = kv_gauge_fraction(scaled(entry_value(0), m_factor, m_offset), m_minimum, m_maximum);
    m_value_text = format_value(*this, 0, m_format, m_factor, m_offset);
    update();
}

void CKV_Gui_Control_Fuellstand::on_value(const KV_Addr_Db&, int entry, double)
{
    if (entry == 0)
        recompute();
}

void CKV_Gui_Control_Fuellstand::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    prepare_painter(painter);
    const QRectF box = frame_box();
    const qreal radius = borderradius();
    painter.setPen(QPen(or_default(bordercolor(), btncolorslideroff()), std::max(1, borderwidth())));
    painter.setBrush(or_default(backgroundcolor(), Qt::transparent));
    painter.drawRoundedRect(box, radius, radius);

    // Upright containers fill from the bottom, wide ones from the left.
    QRectF filled = box;
    if (box.height() >= box.width())
        filled.setTop(box.bottom() - box.height() * m_level);
    else
        filled.setWidth(box.width() * m_level);
    if (m_level > 0.0) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(m_foreground);
        painter.drawRoundedRect(filled, radius, radius);
    }
    painter.setFont(text_font());
    painter.setPen(or_default(btncolortext(), static_text_color()));
    painter.drawText(rect(), Qt::AlignCenter, m_value_text);
}

// ---- Analogue dial ----

CKV_Gui_Control_Analoganzeige::CKV_Gui_Control_Analoganzeige(CKV_Gui_Control_Container* canvas,
                                                             const KV_GUI_Control& record)
    : CKV_Gui_Control(canvas, record)
{
    m_animation.setDuration(ANIMATION_MS);
    m_animation.setEasingCurve(QEasingCurve::OutCubic);
    connect(&m_animation, &QVariantAnimation::valueChanged, this, [this](const QVariant& angle) {
        m_pointer_angle = angle.toDouble();
        update();
    });
}

void CKV_Gui_Control_Analoganzeige::apply_record()
{
    CKV_Gui_Control::apply_record();
    m_minimum = param_double("Minimum");
    m_maximum = param_double("Maximum");
    m_sweep = std::clamp(param_double("0-360 Grad"), 0.0, 360.0);
    m_pointer_color = param_color("Zeiger", btncolorswitchon());
    m_line_color = param_color("Linie Farbe", btncolorswitchoff());
    m_font_factor = param_double("Faktor Schriftgröße");
    if (m_font_factor <= 0.0)
        m_font_factor = 1.0;
    move_pointer(entry_value(0), false);
}

void CKV_Gui_Control_Analoganzeige::move_pointer(double value, bool animated)
{
    m_target_angle = kv_gauge_fraction(value, m_minimum, m_maximum) * m_sweep;
    m_value_text = format_value(*this, 0, QString(), 1.0, 0.0);
    m_animation.stop();
    if (animated && isVisible()) {
        m_animation.setStartValue(m_pointer_angle);
        m_animation.setEndValue(m_target_angle);
        m_animation.start();
    } else {
        m_pointer_angle = m_target_angle;
    }
    update();
}

void CKV_Gui_Control_Analoganzeige::on_value(const KV_Addr_Db&, int entry, double value)
{
    if (entry == 0)
        move_pointer(value, true);
}

void CKV_Gui_Control_Analoganzeige::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    prepare_painter(painter);
    const qreal side = std::min(width(), height()) - 4.0;
    if (side <= 4.0)
        return;
    const QPointF centre(width() / 2.0, height() / 2.0);
    const QRectF dial(centre.x() - side / 2, centre.y() - side / 2, side, side);

    // The scale's gap is centred at the bottom; Qt counts angles
    // counter-clockwise from three o'clock.
    const double start = 270.0 - (360.0 - m_sweep) / 2.0; // minimum mark
    const qreal line = std::max(2.0, side * 0.04);
    painter.setPen(QPen(m_line_color, line, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    const QRectF arc = dial.adjusted(line, line, -line, -line);
    painter.drawArc(arc, static_cast<int>(start * 16), static_cast<int>(-m_sweep * 16));

    const double radians = qDegreesToRadians(start - m_pointer_angle);
    const QPointF tip(centre.x() + std::cos(radians) * side * 0.4, centre.y() - std::sin(radians) * side * 0.4);
    painter.setPen(QPen(m_pointer_color, std::max(2.0, side * 0.03), Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(centre, tip);
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_pointer_color);
    painter.drawEllipse(centre, side * 0.05, side * 0.05);

    QFont font = text_font();
    if (font.pixelSize() > 0)
        font.setPixelSize(std::max(1, static_cast<int>(font.pixelSize() * m_font_factor)));
    else
        font.setPointSizeF(font.pointSizeF() * m_font_factor);
    painter.setFont(font);
    painter.setPen(or_default(btncolortext(), static_text_color()));
    const QRectF text_box(dial.left(), centre.y() + side * 0.12, dial.width(), side * 0.3);
    painter.drawText(text_box, Qt::AlignCenter, m_value_text);
}
