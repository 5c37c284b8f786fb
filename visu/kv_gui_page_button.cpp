#include "kv_gui_page_button.h"

#include <QPainter>
#include <algorithm>
#include <cfloat>
#include <cmath>

#include "kv_data.h"
#include "kv_visu_host.h"

void CKV_Gui_Control_Button_Seitenwechsel::apply_record()
{
    m_page_guid = param("Seite").toStdString();
    CKV_Gui_Control_Triggered::apply_record();
}

void CKV_Gui_Control_Button_Seitenwechsel::act()
{
    if (!m_page_guid.empty())
        host().goPage(m_page_guid);
}

void CKV_Gui_Control_Button_Seitenwechsel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    prepare_painter(painter);
    painter.setPen(border_pen());
    painter.setBrush(shows_pressed() ? or_default(btncolorpress(), btncolorpageswipepress())
                                     : or_default(btncolorface(), btn_cta_default_color()));
    painter.drawRoundedRect(frame_box(), borderradius(), borderradius());
    painter.setFont(text_font());
    painter.setPen(or_default(btncolortext(), btn_cta_text_color()));
    painter.drawText(rect(), Qt::AlignCenter, name_text());
}

void CKV_Gui_Control_Button_Gruppe::apply_record()
{
    CKV_Gui_Control::apply_record();
    const int count = std::clamp(param_int("Anzahl Buttons"), 1, MAX_BUTTONS);
    m_buttons.clear();
    for (int i = 1; i <= count; ++i) {
        const QByteArray value_label = QStringLiteral("Wert: %1").arg(i).toUtf8();
        const QByteArray name_label = QStringLiteral("Name: %1").arg(i).toUtf8();
        m_buttons.push_back({param_double(value_label.constData()), text_param(name_label.constData())});
    }
    m_feedback = entry_value(entry_address(1).is_null() ? 0 : 1);
    update();
}

void CKV_Gui_Control_Button_Gruppe::on_value(const KV_Addr_Db&, int entry, double value)
{
    // The feedback address marks the active button; without one the
    // switching address does.
    const int marking_entry = entry_address(1).is_null() ? 0 : 1;
    if (entry != marking_entry)
        return;
    m_feedback = value;
    update();
}

int CKV_Gui_Control_Button_Gruppe::active_button() const
{
    for (size_t i = 0; i < m_buttons.size(); ++i) {
        if (std::fabs(m_buttons[i].value - m_feedback) <= DBL_EPSILON)
            return static_cast<int>(i);
    }
    return -1;
}

QList<QRect> CKV_Gui_Control_Button_Gruppe::operable_parts() const
{
    QList<QRect> parts;
    for (int i = 0; i < button_count(); ++i)
        parts.append(button_rect(i));
    return parts;
}

QRect CKV_Gui_Control_Button_Gruppe::button_rect(int index) const
{
    const int count = button_count();
    if (width() >= height()) {
        const int left = width() * index / count;
        return QRect(left, 0, width() * (index + 1) / count - left, height());
    }
    const int top = height() * index / count;
    return QRect(0, top, width(), height() * (index + 1) / count - top);
}

int CKV_Gui_Control_Button_Gruppe::button_at(const QPoint& point) const
{
    for (int i = 0; i < button_count(); ++i) {
        if (button_rect(i).contains(point))
            return i;
    }
    return -1;
}

QRect CKV_Gui_Control_Button_Gruppe::pressed_area() const
{
    const int index = button_at(press_point());
    return index < 0 ? QRect() : button_rect(index).adjusted(1, 1, -1, -1);
}

void CKV_Gui_Control_Button_Gruppe::on_release(const QPoint& point)
{
    const int index = button_at(point);
    if (index < 0)
        return;
    write_value(0, m_buttons[static_cast<size_t>(index)].value);
}

void CKV_Gui_Control_Button_Gruppe::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    prepare_painter(painter);
    painter.setFont(text_font());
    const int active = active_button();
    for (int i = 0; i < button_count(); ++i) {
        const QRect box = button_rect(i).adjusted(1, 1, -1, -1);
        painter.setPen(border_pen());
        painter.setBrush(i == active ? btn_grp_active_color() : btn_grp_inactive_color());
        painter.drawRoundedRect(QRectF(box), borderradius(), borderradius());
        painter.setPen(i == active ? btn_grp_text_color() : btn_grp_text_inactive_color());
        painter.drawText(box, Qt::AlignCenter, m_buttons[static_cast<size_t>(i)].name);
    }
}
