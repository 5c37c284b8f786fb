#include "kv_gui_edit.h"

#include <QPainter>
#include <QPointer>
#include <algorithm>
#include <cfloat>
#include <cmath>

#include "kv_gui_number_popup.h"

namespace {
const QString kNoVariable = QStringLiteral("Keine Variable verknüpft!");

bool no_factor(double factor)
{
    return std::fabs(factor) <= DBL_EPSILON;
}

// Decimals the step needs (0.5 → 1), at most 3.
int step_decimals(double step)
{
    int decimals = 0;
    for (double scaled = std::fabs(step); decimals < 3 && std::fabs(scaled - std::round(scaled)) > 1e-9; ++decimals)
        scaled *= 10;
    return decimals;
}

// The unit after the number of a printf format ("%.1f °C" → "°C").
QString format_unit(const QString& format)
{
    const int percent = format.indexOf(QLatin1Char('%'));
    if (percent < 0)
        return {};
    int end = percent + 1;
    while (end < format.size() && !format.at(end).isLetter())
        ++end;
    return format.mid(end + 1).trimmed();
}
} // namespace

CKV_Gui_Control_Edit::CKV_Gui_Control_Edit(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record)
    : CKV_Gui_Control(canvas, record)
{
}

void CKV_Gui_Control_Edit::apply_record()
{
    CKV_Gui_Control::apply_record();
    m_minimum = param_double("Minimum");
    m_maximum = param_double("Maximum");
    m_step = param_double("Schrittweite");
    m_buttons = param_int("Buttons anzeigen") != 0;
    m_text_percent = std::clamp(param_int("Breite Text"), 10, 100);
    m_format = param("Format");
    m_factor = param_double("Faktor");
    m_offset = param_double("Offset");
    reformat();
}

QString CKV_Gui_Control_Edit::shown_text() const
{
    return entry_address(0).is_null() ? kNoVariable : m_text;
}

double CKV_Gui_Control_Edit::shown_value() const
{
    const double value = entry_value(0) + m_offset;
    return no_factor(m_factor) ? value : value * m_factor;
}

double CKV_Gui_Control_Edit::raw_value(double shown) const
{
    return (no_factor(m_factor) ? shown : shown / m_factor) - m_offset;
}

void CKV_Gui_Control_Edit::reformat()
{
    m_text = format_value(*this, 0, m_format, m_factor, m_offset);
    update();
}

void CKV_Gui_Control_Edit::on_value(const KV_Addr_Db&, int entry, double)
{
    if (entry == 0)
        reformat();
}

QRect CKV_Gui_Control_Edit::text_area() const
{
    if (!m_buttons)
        return rect();
    const int text_width = width() * m_text_percent / 100;
    return QRect((width() - text_width) / 2, 0, text_width, height());
}

QRect CKV_Gui_Control_Edit::minus_area() const
{
    return QRect(0, 0, text_area().left() - 2, height());
}

QRect CKV_Gui_Control_Edit::plus_area() const
{
    const QRect text = text_area();
    return QRect(text.right() + 3, 0, width() - text.right() - 3, height());
}

QList<QRect> CKV_Gui_Control_Edit::operable_parts() const
{
    if (!m_buttons)
        return {};
    return {minus_area(), text_area(), plus_area()};
}

QRect CKV_Gui_Control_Edit::pressed_area() const
{
    if (!m_buttons)
        return rect();
    const QPoint point = press_point();
    return point.x() < text_area().left() ? minus_area() : point.x() > text_area().right() ? plus_area() : text_area();
}

void CKV_Gui_Control_Edit::submit(double shown)
{
    shown = std::clamp(shown, std::min(m_minimum, m_maximum), std::max(m_minimum, m_maximum));
    if (write_value(0, raw_value(shown)))
        reformat();
}

void CKV_Gui_Control_Edit::on_release(const QPoint& point)
{
    if (entry_address(0).is_null())
        return;
    const QRect text = text_area();
    if (m_buttons && point.x() < text.left())
        submit(shown_value() - m_step);
    else if (m_buttons && point.x() > text.right())
        submit(shown_value() + m_step);
    else
        open_keypad();
}

void CKV_Gui_Control_Edit::open_keypad()
{
    if (m_keypad)
        return;
    const CKV_Gui_Control_Popup_Number::Range range{std::min(m_minimum, m_maximum), std::max(m_minimum, m_maximum),
                                                    m_step > 0 ? m_step : 1.0, format_unit(m_format),
                                                    step_decimals(m_step)};
    m_keypad = new CKV_Gui_Control_Popup_Number(QStringLiteral("kv_popup_edit"), name_text(), shown_value(), range,
                                                window());
    connect(m_keypad, &CKV_Gui_Control_Popup_Number::accepted, this, &CKV_Gui_Control_Edit::submit);
    connect(m_keypad, &QObject::destroyed, this, [this] { m_keypad = nullptr; });
    m_keypad->show_over_window();
}

void CKV_Gui_Control_Edit::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    prepare_painter(painter);
    const QRect text = text_area();
    const QPen edge(or_default(bordercolor(), btncolorslideroff()), std::max(1, borderwidth()));
    painter.setPen(edge);
    painter.setBrush(or_default(backgroundcolor(), Qt::white));
    painter.drawRoundedRect(QRectF(text).adjusted(0.5, 0.5, -0.5, -0.5), borderradius(), borderradius());
    painter.setFont(text_font());
    painter.setPen(static_text_color());
    painter.drawText(text, Qt::AlignCenter, shown_text());
    if (!m_buttons)
        return;
    for (const auto& [box, label] :
         {std::pair{minus_area(), QStringLiteral("−")}, std::pair{plus_area(), QStringLiteral("+")}}) {
        painter.setPen(edge);
        painter.setBrush(or_default(btncolorface(), btncolorswitchon()));
        painter.drawRoundedRect(QRectF(box).adjusted(0.5, 0.5, -0.5, -0.5), borderradius(), borderradius());
        painter.setPen(or_default(btncolortext(), Qt::white));
        painter.drawText(box, Qt::AlignCenter, label);
    }
}
