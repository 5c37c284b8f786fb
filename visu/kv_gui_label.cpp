#include "kv_gui_label.h"

#include <QPainter>
#include <algorithm>

#include "kv_gui_choice.h"
#include "kv_gui_image.h"

namespace {

// The record's text offsets move the text inside the control.
QRect text_rect(const CKV_Gui_Control& control)
{
    return control.rect().adjusted(4, 0, -4, 0).translated(control.record().m_text_offs_x,
                                                           control.record().m_text_offs_y);
}
} // namespace

void CKV_Gui_Control_Label_Text::apply_record()
{
    CKV_Gui_Control::apply_record();
    m_text = text_param("Text");
    if (m_text.isEmpty())
        m_text = name_text();
    m_alignment = kv_horizontal_alignment(param_int("Ausrichtung")) | Qt::AlignVCenter;
    m_rotation = param_int("Rotation");
    m_zoom = param_double("Zoom");
    if (m_zoom <= 0)
        m_zoom = 1.0;
    update();
}

void CKV_Gui_Control_Label_Text::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    prepare_painter(painter);
    QFont font = text_font();
    if (font.pixelSize() > 0)
        font.setPixelSize(std::max(1, static_cast<int>(font.pixelSize() * m_zoom)));
    else
        font.setPointSizeF(font.pointSizeF() * m_zoom);
    painter.setFont(font);
    painter.setPen(static_text_color());
    if (backgroundcolor().isValid())
        painter.fillRect(rect(), backgroundcolor());
    if (m_rotation % 360 == 0) {
        painter.drawText(text_rect(*this), static_cast<int>(m_alignment) | Qt::TextWordWrap, m_text);
        return;
    }
    painter.translate(rect().center());
    painter.rotate(m_rotation);
    const QRect box(-width() / 2, -height() / 2, width(), height());
    painter.drawText(box, static_cast<int>(m_alignment), m_text);
}

void CKV_Gui_Control_Label_Value::apply_record()
{
    CKV_Gui_Control::apply_record();
    m_label = text_param("Text");
    m_format = param("Format");
    m_factor = param_double("Faktor");
    m_offset = param_double("Offset");
    m_value_right = param_int("Wert rechts") != 0;
    m_frame = param_int("Rahmen") != 0;
    reformat();
}

void CKV_Gui_Control_Label_Value::reformat()
{
    m_value_text = format_value(*this, 0, m_format, m_factor, m_offset);
    update();
}

void CKV_Gui_Control_Label_Value::on_value(const KV_Addr_Db&, int entry, double)
{
    if (entry == 0)
        reformat();
}

void CKV_Gui_Control_Label_Value::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    prepare_painter(painter);
    if (backgroundcolor().isValid())
        painter.fillRect(rect(), backgroundcolor());
    if (m_frame) {
        painter.setPen(QPen(or_default(bordercolor(), static_text_color()), std::max(1, borderwidth())));
        painter.drawRoundedRect(frame_box(), borderradius(), borderradius());
    }
    painter.setFont(text_font());
    painter.setPen(static_text_color());
    const QRect box = text_rect(*this);
    if (m_label.isEmpty()) {
        painter.drawText(box, Qt::AlignCenter, m_value_text);
    } else if (m_value_right) {
        painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, m_label);
        painter.drawText(box, Qt::AlignRight | Qt::AlignVCenter, m_value_text);
    } else {
        painter.drawText(box, Qt::AlignCenter, m_label + QLatin1Char(' ') + m_value_text);
    }
}

void CKV_Gui_Control_Label_Var_Text::apply_record()
{
    CKV_Gui_Control::apply_record();
    m_choices.clear();
    for (int i = 1; i <= ENTRY_COUNT; ++i) {
        auto label = [i](const char* pattern) { return QString::fromUtf8(pattern).arg(i).toUtf8(); };
        const QByteArray value_label = label("%1: Wert");
        if (param(value_label.constData()).trimmed().isEmpty())
            continue; // unused row
        Choice choice;
        choice.value = param_double(value_label.constData());
        choice.text = text_param(label("%1: Text").constData());
        choice.background = param_color(label("%1: Hintergrund").constData(), QColor());
        choice.foreground = param_color(label("%1: Schrift/Linie").constData(), static_text_color());
        m_choices.push_back(choice);
    }
    m_default.text = QStringLiteral("Text undefiniert");
    m_default.background = param_color("Hintergrund Standard", QColor());
    m_default.foreground = param_color("Schrift/Linie Standard", static_text_color());
    m_border = param_int("Rahmenbreite");
    choose(entry_value(0));
}

void CKV_Gui_Control_Label_Var_Text::choose(double value)
{
    const Choice* chosen = kv_row_for_value(m_choices, value);
    m_shown = chosen ? *chosen : m_default;
    update();
}

void CKV_Gui_Control_Label_Var_Text::on_value(const KV_Addr_Db&, int entry, double value)
{
    if (entry == 0)
        choose(value);
}

void CKV_Gui_Control_Label_Var_Text::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    prepare_painter(painter);
    if (m_shown.background.isValid())
        painter.fillRect(rect(), m_shown.background);
    if (m_border > 0) {
        painter.setPen(QPen(m_shown.foreground, m_border));
        painter.drawRect(QRectF(rect()).adjusted(m_border / 2.0, m_border / 2.0, -m_border / 2.0, -m_border / 2.0));
    }
    painter.setFont(text_font());
    painter.setPen(m_shown.foreground);
    painter.drawText(text_rect(*this), Qt::AlignCenter | Qt::TextWordWrap, m_shown.text);
}
