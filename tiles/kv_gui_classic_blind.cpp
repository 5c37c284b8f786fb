#include "kv_gui_classic_blind.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "kv_blind_commands.h"
#include "kv_gui_tile_dimmer.h"

CKV_Gui_Control_App_Rollo::CKV_Gui_Control_App_Rollo(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record)
    : CKV_Gui_Control(canvas, record)
{
    connect(&m_hold, &KV_Press_Hold::held, this, &CKV_Gui_Control_App_Rollo::open_value_popup);
}

void CKV_Gui_Control_App_Rollo::apply_record()
{
    CKV_Gui_Control::apply_record();
    m_view = std::clamp(param_int("Ansicht"), int(HORIZONTAL), int(POPUP));
}

void CKV_Gui_Control_App_Rollo::on_value(const KV_Addr_Db&, int, double)
{
    update();
}

QRect CKV_Gui_Control_App_Rollo::part(int i) const
{
    if (m_view == POPUP)
        return {};
    if (m_view == HORIZONTAL)
        return QRect(width() * i / 3, 0, width() * (i + 1) / 3 - width() * i / 3, height());
    return QRect(0, height() * i / 3, width(), height() * (i + 1) / 3 - height() * i / 3);
}

QRect CKV_Gui_Control_App_Rollo::up_box() const
{
    return part(0);
}

QRect CKV_Gui_Control_App_Rollo::stop_box() const
{
    return part(1);
}

QRect CKV_Gui_Control_App_Rollo::down_box() const
{
    return part(2);
}

QList<QRect> CKV_Gui_Control_App_Rollo::operable_parts() const
{
    if (m_view == POPUP)
        return {};
    return {up_box(), stop_box(), down_box()};
}

void CKV_Gui_Control_App_Rollo::on_press(const QPoint&)
{
    m_hold.start(param_double("Zeit Popup"));
}

void CKV_Gui_Control_App_Rollo::on_release(const QPoint& point)
{
    m_hold.stop();
    if (m_hold.fired())
        return;
    if (m_view == POPUP)
        open_value_popup();
    else if (up_box().contains(point))
        kv_blind_move(*this, false);
    else if (down_box().contains(point))
        kv_blind_move(*this, true);
    else if (stop_box().contains(point))
        kv_blind_stop(*this);
}

void CKV_Gui_Control_App_Rollo::open_value_popup()
{
    // A popup just closed goes away with the next event loop turn.
    if ((m_popup && m_popup->isVisible()) || entry_address(KV_BLIND_HEIGHT).is_null())
        return;
    m_popup = new CKV_Gui_Control_App_Rollo_Popup_Wert(this);
    m_popup->show_over_window();
}

void CKV_Gui_Control_App_Rollo::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    prepare_painter(painter);
    painter.setFont(text_font());
    const QColor text = or_default(btncolortext(), Qt::white);
    const QString height_text = kv_percent_text(kv_blind_height(*this));
    if (m_view == POPUP) {
        painter.setPen(border_pen());
        painter.setBrush(or_default(btncolorface(), btncolorswitchoff()));
        painter.drawRoundedRect(frame_box(), borderradius(), borderradius());
        painter.setPen(text);
        painter.drawText(rect(), Qt::AlignCenter, text_param("Text") + QLatin1Char('\n') + height_text);
        return;
    }
    const QStringList labels = {QStringLiteral("\u25B2"), height_text, QStringLiteral("\u25BC")};
    for (int i = 0; i < 3; ++i) {
        const QRect box = part(i).adjusted(2, 2, -2, -2);
        painter.setPen(border_pen());
        painter.setBrush(or_default(btncolorface(), btncolorswitchoff()));
        painter.drawRoundedRect(box, borderradius(), borderradius());
        painter.setPen(text);
        painter.drawText(box, Qt::AlignCenter, labels[i]);
    }
}

CKV_Gui_Control_App_Rollo_Popup_Wert::CKV_Gui_Control_App_Rollo_Popup_Wert(CKV_Gui_Control_App_Rollo* blind)
    : CKV_Gui_Control_Popup_Percent(blind->text_param("Text"), kv_blind_height(*blind), 10.0, blind->window())
{
    setObjectName(QStringLiteral("kv_rollo_popup_wert"));
    connect(this, &CKV_Gui_Control_Popup_Percent::accepted, blind,
            [blind](double percent) { blind->write_value(KV_BLIND_HEIGHT, percent); });
}
