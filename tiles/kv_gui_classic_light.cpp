#include "kv_gui_classic_light.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "kv_gui_container.h"
#include "kv_gui_switch.h"
#include "kv_gui_tile_dimmer.h"
#include "kv_touch.h"
#include "kv_visu_host.h"

namespace {
constexpr const char* DEFAULT_ICON = ":/images/Smartphone/phone_Beleuchtung.svg";
}

// ---------------------------------------------------------------- light base

CKV_Gui_Control_App_Light_Base::CKV_Gui_Control_App_Light_Base(CKV_Gui_Control_Container* canvas,
                                                               const KV_GUI_Control& record, Entries entries)
    : CKV_Gui_Control(canvas, record)
    , m_entries(entries)
{
}

void CKV_Gui_Control_App_Light_Base::apply_record()
{
    CKV_Gui_Control::apply_record();
    m_view = std::clamp(param_int("Ansicht"), int(HORIZONTAL), int(POPUP));
    m_foreground = param_color("Vordergrund", QColor(0xF3, 0xF4, 0xF5));
    m_ring_begin = param_color("Ring Grad. Begin", QColor(0xFC, 0xFA, 0xDB));
    m_ring_end = param_color("Ring Grad. Ende", QColor(0xED, 0xE8, 0x80));
    m_ring_background = param_color("Ring Hintergrund", QColor(0xCC, 0xD1, 0xD5));
    const auto read = [this](const QString& file) { return host().file_data(file); };
    for (auto [icon, label] : {std::pair{&m_icon_on, "Icon ein"}, std::pair{&m_icon_off, "Icon aus"}}) {
        const QString name = param(label);
        icon->load(name.isEmpty() ? QString::fromLatin1(DEFAULT_ICON) : name, read);
    }
    m_icon_on.set_color(m_ring_end);
    m_icon_off.set_color(m_foreground);
}

void CKV_Gui_Control_App_Light_Base::on_value(const KV_Addr_Db&, int, double)
{
    update();
}

bool CKV_Gui_Control_App_Light_Base::is_on() const
{
    return entry_value(m_entries.switching) > 0.0 || entry_value(m_entries.switch_feedback) > 0.0;
}

QString CKV_Gui_Control_App_Light_Base::icon_name() const
{
    return is_on() ? m_icon_on.name() : m_icon_off.name();
}

void CKV_Gui_Control_App_Light_Base::toggle()
{
    write_value(m_entries.switching, kv_switch_release(KV_SWITCH_TOGGLE, is_on() ? 1.0 : 0.0, 1.0, 0.0).value);
    update();
}

void CKV_Gui_Control_App_Light_Base::draw_icon(QPainter& painter, const QRect& box)
{
    (is_on() ? m_icon_on : m_icon_off).draw(painter, box);
}

void CKV_Gui_Control_App_Light_Base::draw_text(QPainter& painter, const QRect& box, const QString& text, int flags)
{
    painter.setFont(text_font());
    painter.setPen(or_default(btncolortext(), m_foreground));
    painter.drawText(box, flags, text);
}

void CKV_Gui_Control_App_Light_Base::draw_level_bar(QPainter& painter, const QRect& box, Qt::Orientation axis,
                                                    double percent)
{
    const qreal radius = std::min(box.width(), box.height()) / 2.0;
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_ring_background);
    painter.drawRoundedRect(box, radius, radius);
    const double part = std::clamp(percent / 100.0, 0.0, 1.0);
    QRectF filled = box;
    QLinearGradient gradient;
    if (axis == Qt::Horizontal) {
        filled.setWidth(box.width() * part);
        gradient = QLinearGradient(box.topLeft(), box.topRight());
    } else {
        filled.setTop(box.bottom() + 1 - box.height() * part);
        gradient = QLinearGradient(box.bottomLeft(), box.topLeft());
    }
    gradient.setColorAt(0, m_ring_begin);
    gradient.setColorAt(1, m_ring_end);
    painter.setBrush(gradient);
    painter.drawRoundedRect(filled, radius, radius);
}

// ---------------------------------------------------------------- dimmer

CKV_Gui_Control_App_Dimmer::CKV_Gui_Control_App_Dimmer(CKV_Gui_Control_Container* canvas,
                                                       const KV_GUI_Control& record)
    : CKV_Gui_Control_App_Light_Base(canvas, record, {SWITCHING, SWITCH_FEEDBACK, VALUE_FEEDBACK})
{
    connect(&m_hold, &KV_Press_Hold::held, this, [this] {
        end_drag();
        open_value_popup();
    });
}

double CKV_Gui_Control_App_Dimmer::brightness() const
{
    if (m_dragging)
        return m_drag_level;
    return entry_value(entry_address(VALUE_FEEDBACK).is_null() ? VALUE : VALUE_FEEDBACK);
}

QRect CKV_Gui_Control_App_Dimmer::icon_box() const
{
    if (view() == POPUP)
        return rect().adjusted(width() / 5, height() / 5, -width() / 5, -height() / 5);
    const int side = view() == HORIZONTAL ? std::min(height(), width() / 3) : std::min(width(), height() / 3);
    return QRect(0, 0, side, side);
}

QRect CKV_Gui_Control_App_Dimmer::bar_box() const
{
    if (view() == POPUP)
        return {};
    const QRect icon = icon_box();
    if (view() == HORIZONTAL) {
        const int thickness = std::max(6, height() / 3);
        return QRect(icon.right() + 6, (height() - thickness) / 2, width() - icon.width() - 12, thickness);
    }
    const int thickness = std::max(6, width() / 3);
    return QRect((width() - thickness) / 2, icon.bottom() + 6, thickness, height() - icon.height() - 12);
}

double CKV_Gui_Control_App_Dimmer::level_at(const QPoint& point) const
{
    const QRect bar = bar_box();
    const double part = axis() == Qt::Horizontal ? double(point.x() - bar.left()) / std::max(1, bar.width())
                                                 : double(bar.bottom() - point.y()) / std::max(1, bar.height());
    return std::round(std::clamp(part, 0.0, 1.0) * 100.0);
}

bool CKV_Gui_Control_App_Dimmer::owns_drag() const
{
    return view() != POPUP && !entry_address(VALUE).is_null();
}

void CKV_Gui_Control_App_Dimmer::on_press(const QPoint& point)
{
    m_start = point;
    m_tracking = owns_drag();
    m_dragging = false;
    m_hold.start(param_double("Zeit Popup"));
}

void CKV_Gui_Control_App_Dimmer::mouseMoveEvent(QMouseEvent* event)
{
    CKV_Gui_Control_App_Light_Base::mouseMoveEvent(event);
    if (!m_tracking)
        return;
    const QPoint point = event->position().toPoint();
    const QPoint moved = point - m_start;
    const int along = std::abs(axis() == Qt::Horizontal ? moved.x() : moved.y());
    if (!m_dragging && along >= kv_touch_slop(this)) {
        m_dragging = true;
        m_hold.stop();
    }
    if (m_dragging) {
        m_drag_level = level_at(point);
        update();
    }
}

void CKV_Gui_Control_App_Dimmer::end_drag()
{
    m_tracking = false;
    m_dragging = false;
    update();
}

void CKV_Gui_Control_App_Dimmer::mouseReleaseEvent(QMouseEvent* event)
{
    CKV_Gui_Control_App_Light_Base::mouseReleaseEvent(event);
    // A gesture took the touch: nothing was written.
    m_hold.stop();
    end_drag();
}

void CKV_Gui_Control_App_Dimmer::on_release(const QPoint& point)
{
    m_hold.stop();
    if (m_hold.fired())
        return; // the long press opened the popup
    if (m_dragging) {
        // Only the level where the finger lifts goes to the bus.
        const double level = level_at(point);
        end_drag();
        write_value(VALUE, level);
        return;
    }
    end_drag();
    if (press_cancelled() || !rect().contains(point))
        return; // the finger wandered off: no tap
    if (view() == POPUP)
        open_value_popup();
    else
        toggle();
}

void CKV_Gui_Control_App_Dimmer::open_value_popup()
{
    // A popup just closed goes away with the next event loop turn.
    if ((m_popup && m_popup->isVisible()) || entry_address(VALUE).is_null())
        return;
    m_popup = new CKV_Gui_Control_App_Dimmer_Popup_Wert(this);
    m_popup->show_over_window();
}

void CKV_Gui_Control_App_Dimmer::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    prepare_painter(painter);
    const QRect icon = icon_box();
    const QString level = kv_percent_text(brightness());
    if (view() == POPUP) {
        // The ring around the icon shows the level, clockwise from the top.
        const qreal pen = std::max(3, std::min(width(), height()) / 12);
        const QRectF ring = QRectF(rect()).adjusted(pen, pen, -pen, -pen);
        painter.setPen(QPen(ring_background(), pen));
        painter.drawEllipse(ring);
        QConicalGradient gradient(ring.center(), 90);
        gradient.setColorAt(0, ring_begin());
        gradient.setColorAt(1, ring_end());
        painter.setPen(QPen(QBrush(gradient), pen, Qt::SolidLine, Qt::RoundCap));
        painter.drawArc(ring, 90 * 16, -int(std::lround(brightness() / 100.0 * 360 * 16)));
        draw_icon(painter, icon.adjusted(0, 0, 0, -icon.height() / 3));
        draw_text(painter, icon.adjusted(0, icon.height() * 2 / 3, 0, 0), level, Qt::AlignCenter);
        return;
    }
    draw_icon(painter, icon.adjusted(2, 2, -2, -2));
    const QRect bar = bar_box();
    draw_level_bar(painter, bar, axis(), brightness());
    draw_text(painter, bar, text_param("Text") + QLatin1Char(' ') + level, Qt::AlignCenter);
}

CKV_Gui_Control_App_Dimmer_Popup_Wert::CKV_Gui_Control_App_Dimmer_Popup_Wert(CKV_Gui_Control_App_Dimmer* dimmer)
    : CKV_Gui_Control_Popup_Percent(dimmer->text_param("Text"), dimmer->brightness(),
                                    dimmer->param_double("Schritt +/-"), dimmer->window())
{
    setObjectName(QStringLiteral("kv_dimmer_popup_wert"));
    connect(this, &CKV_Gui_Control_Popup_Percent::accepted, dimmer,
            [dimmer](double percent) { dimmer->write_value(CKV_Gui_Control_App_Dimmer::VALUE, percent); });
}

// ---------------------------------------------------------------- relative dimmer

CKV_Gui_Control_App_Dimmer_PM::CKV_Gui_Control_App_Dimmer_PM(CKV_Gui_Control_Container* canvas,
                                                             const KV_GUI_Control& record)
    : CKV_Gui_Control_App_Light_Base(canvas, record, {SWITCHING, SWITCH_FEEDBACK, VALUE_FEEDBACK})
{
}

QRect CKV_Gui_Control_App_Dimmer_PM::minus_box() const
{
    // Vertical: "+" on top, "-" at the bottom; otherwise "-" left, "+" right.
    if (view() == VERTICAL)
        return QRect(0, height() * 2 / 3, width(), height() - height() * 2 / 3);
    return QRect(0, 0, width() / 3, height());
}

QRect CKV_Gui_Control_App_Dimmer_PM::plus_box() const
{
    if (view() == VERTICAL)
        return QRect(0, 0, width(), height() / 3);
    return QRect(width() - width() / 3, 0, width() / 3, height());
}

void CKV_Gui_Control_App_Dimmer_PM::on_press(const QPoint& point)
{
    const bool minus = minus_box().contains(point);
    m_dimming = minus || plus_box().contains(point);
    if (m_dimming)
        write_value(DIMMING, minus ? KV_DIM_DARKER : KV_DIM_BRIGHTER);
}

void CKV_Gui_Control_App_Dimmer_PM::on_release(const QPoint&)
{
    if (m_dimming)
        write_value(DIMMING, KV_DIM_STOP);
    else
        toggle();
    m_dimming = false;
}

void CKV_Gui_Control_App_Dimmer_PM::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    prepare_painter(painter);
    const QRect minus = minus_box();
    const QRect plus = plus_box();
    const QRect middle = view() == VERTICAL ? QRect(0, plus.bottom() + 1, width(), minus.top() - plus.bottom() - 1)
                                            : QRect(minus.right() + 1, 0, plus.left() - minus.right() - 1, height());
    painter.setPen(Qt::NoPen);
    painter.setBrush(ring_background());
    for (const QRect& box : {minus, plus})
        painter.drawRoundedRect(box.adjusted(2, 2, -2, -2), borderradius(), borderradius());
    draw_text(painter, minus, QStringLiteral("-"), Qt::AlignCenter);
    draw_text(painter, plus, QStringLiteral("+"), Qt::AlignCenter);
    const int side = std::min(middle.width(), middle.height() * 2 / 3);
    draw_icon(painter, QRect(middle.center().x() - side / 2, middle.top(), side, side));
    if (!entry_address(VALUE_FEEDBACK).is_null())
        draw_text(painter, middle, kv_percent_text(brightness()), Qt::AlignHCenter | Qt::AlignBottom);
}
