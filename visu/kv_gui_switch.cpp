#include "kv_gui_switch.h"

#include <QPainter>
#include <cfloat>
#include <cmath>

#include "kv_visu_host.h"

namespace {
bool same(double a, double b)
{
    return std::fabs(a - b) <= DBL_EPSILON;
}
} // namespace

KV_Switch_Step kv_switch_release(int function, double current, double value_on, double value_off)
{
    switch (function) {
    case KV_SWITCH_TOGGLE: {
        const bool on = same(current, 0.0);
        return {on ? 1.0 : 0.0, on};
    }
    case KV_SWITCH_ON_OFF_VALUE: {
        const bool on = same(current, value_off);
        return {on ? value_on : value_off, on};
    }
    case KV_SWITCH_ONLY_ON:
        return {value_on, false};
    default:
        return {value_off, false};
    }
}

bool kv_switch_shows_on(int function, double value, double value_on)
{
    return function == KV_SWITCH_TOGGLE ? !same(value, 0.0) : same(value, value_on);
}

int kv_switch_function(int number)
{
    return number < KV_SWITCH_TOGGLE || number > KV_SWITCH_PUSH ? KV_SWITCH_TOGGLE : number;
}

CKV_Gui_Control_Switch_Base::CKV_Gui_Control_Switch_Base(CKV_Gui_Control_Container* canvas,
                                                         const KV_GUI_Control& record, const char* label_on,
                                                         const char* label_off)
    : CKV_Gui_Control(canvas, record)
    , m_label_on(label_on)
    , m_label_off(label_off)
{
}

void CKV_Gui_Control_Switch_Base::apply_record()
{
    CKV_Gui_Control::apply_record();
    m_function = kv_switch_function(param_int("Funktion"));
    m_value_on = param_double(m_label_on);
    m_value_off = param_double(m_label_off);
    m_current = entry_value(keeps_own_value() ? 0 : 1);
    show_state(kv_switch_shows_on(m_function, m_current, m_value_on));
}

bool CKV_Gui_Control_Switch_Base::keeps_own_value() const
{
    return !(host().keep_feedback_separate() && has_feedback());
}

void CKV_Gui_Control_Switch_Base::show_state(bool on)
{
    m_on = on;
    update();
}

void CKV_Gui_Control_Switch_Base::on_value(const KV_Addr_Db&, int entry, double value)
{
    if (entry == 1) {
        // The feedback is the switching address's value as far as anyone
        // reading the tree is concerned.
        if (KV_Addr_Db* switching = host().address_tree().find_address(entry_address(0)))
            set_value_from_double(*switching, value);
        m_current = value;
    } else if (entry == 0) {
        if (keeps_own_value())
            m_current = value;
    } else {
        return;
    }
    show_state(kv_switch_shows_on(m_function, m_current, m_value_on));
}

void CKV_Gui_Control_Switch_Base::on_press(const QPoint&)
{
    if (m_function == KV_SWITCH_ONLY_ON) {
        show_state(true);
    } else if (m_function == KV_SWITCH_PUSH) {
        send(m_value_on);
        show_state(true);
    }
}

void CKV_Gui_Control_Switch_Base::on_release(const QPoint&)
{
    const KV_Switch_Step step = kv_switch_release(m_function, m_current, m_value_on, m_value_off);
    send(step.value);
    show_state(step.on);
}

void CKV_Gui_Control_Switch_Base::send(double value)
{
    // What the switch sends is the address's value from now on, echo or not,
    // so the next toggle starts from it.
    write_value(0, value);
    if (keeps_own_value())
        m_current = value;
}

CKV_Gui_Control_Button_Universal::CKV_Gui_Control_Button_Universal(CKV_Gui_Control_Container* canvas,
                                                                   const KV_GUI_Control& record)
    : CKV_Gui_Control_Switch_Base(canvas, record, "Wert ein", "Wert aus")
{
}

void CKV_Gui_Control_Button_Universal::apply_record()
{
    m_text_on = text_param("Text ein");
    m_text_off = text_param("Text aus");
    m_image_on = param("Grafik ein");
    m_image_off = param("Grafik aus");
    CKV_Gui_Control_Switch_Base::apply_record();
}

void CKV_Gui_Control_Button_Universal::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    prepare_painter(painter);
    const QColor face = shows_pressed() ? or_default(btncolorpress(), btncolorswitchon())
                                     : (is_on() ? btncolorswitchon() : or_default(btncolorface(), btncolorswitchoff()));
    const QRectF box = frame_box();
    painter.setPen(border_pen());
    painter.setBrush(face);
    painter.drawRoundedRect(box, borderradius(), borderradius());

    QRect text_box = rect().adjusted(4, 2, -4, -2);
    const QPixmap image = host().image(is_on() ? m_image_on : m_image_off);
    if (!image.isNull()) {
        const int side = std::min(height() - 4, width() / 3);
        const QRect icon(4, (height() - side) / 2, side, side);
        painter.drawPixmap(icon, image.scaled(icon.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
        text_box.setLeft(icon.right() + 4);
    }
    painter.setFont(text_font());
    painter.setPen(or_default(btncolortext(), Qt::white));
    painter.drawText(text_box, Qt::AlignCenter, is_on() ? m_text_on : m_text_off);
}

CKV_Gui_Control_Button_FlipSwitch::CKV_Gui_Control_Button_FlipSwitch(CKV_Gui_Control_Container* canvas,
                                                                     const KV_GUI_Control& record)
    : CKV_Gui_Control_Switch_Base(canvas, record, "Wert Ein", "Wert Aus")
{
}

void CKV_Gui_Control_Button_FlipSwitch::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    prepare_painter(painter);
    const qreal track_h = std::min<qreal>(height(), width() / 2.0);
    const QRectF track((width() - 2 * track_h) / 2.0, (height() - track_h) / 2.0, 2 * track_h, track_h);
    painter.setPen(Qt::NoPen);
    painter.setBrush(is_on() ? btncolorswitchon() : btncolorslideroff());
    painter.drawRoundedRect(track, track_h / 2, track_h / 2);
    const qreal knob = track_h - 4;
    const qreal x = is_on() ? track.right() - knob - 2 : track.left() + 2;
    painter.setPen(border_pen());
    painter.setBrush(or_default(btncolorface(), Qt::white));
    painter.drawEllipse(QRectF(x, track.top() + 2, knob, knob));
}
