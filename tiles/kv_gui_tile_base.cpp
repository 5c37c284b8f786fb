#include "kv_gui_tile_base.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "kv_gui_container.h"
#include "kv_gui_tile_overlay.h"
#include "kv_visu_host.h"

namespace {
struct Text_Style {
    const char* family;
    int pixel_size;
};
constexpr Text_Style TEXT_STYLE_TABLE[CKV_Gui_Control_Tile_Base::TEXT_STYLES] = {
    {"Graphik Regular", 34}, {"Graphik Regular", 26}, {"Graphik Medium", 24}, {"Graphik Regular", 22},
    {"Graphik Medium", 18},  {"Graphik Regular", 15}, {"Graphik Medium", 15}, {"Graphik Medium", 16},
    {"Graphik Medium", 12},  {"Graphik Medium", 14},  {"Graphik Regular", 12}, {"Graphik Regular", 36},
    {"Graphik Regular", 50},
};

// Title and state styles per display mode: tablet tiles are larger.
constexpr int TITLE_STYLE[2] = {5, 7};
constexpr int STATE_STYLE[2] = {6, 11};
} // namespace

CKV_Gui_Control_Tile_Base::CKV_Gui_Control_Tile_Base(CKV_Gui_Control_Container* canvas,
                                                     const KV_GUI_Control& record, const char* default_icon)
    : CKV_Gui_Control(canvas, record)
    , m_default_icon(default_icon)
{
    setObjectName(QStringLiteral("ZRQControlTile"));
    for (int i = 0; i < TEXT_STYLES; ++i) {
        m_styles[i] = QFont(QString::fromLatin1(TEXT_STYLE_TABLE[i].family));
        m_styles[i].setPixelSize(TEXT_STYLE_TABLE[i].pixel_size);
        m_styles[i].setHintingPreference(QFont::PreferNoHinting);
    }
}

const QFont& CKV_Gui_Control_Tile_Base::text_style(int number) const
{
    return m_styles[std::clamp(number, 1, TEXT_STYLES) - 1];
}

QFont CKV_Gui_Control_Tile_Base::scaled_style(int number) const
{
    QFont font = text_style(number);
    font.setPixelSize(std::max(6, int(std::lround(font.pixelSize() * m_scale))));
    return font;
}

void CKV_Gui_Control_Tile_Base::set_inset(bool inset)
{
    m_inset = inset ? 1 : 0;
    update();
}

void CKV_Gui_Control_Tile_Base::apply_record()
{
    CKV_Gui_Control::apply_record();
    // Tiles laid straight onto a page stand apart as cards; inside another
    // control that control draws the frame.
    m_inset = parent_control() ? 0 : 1;
    m_display = param_int("Ansicht") == SMARTPHONE ? SMARTPHONE : TABLET;
    QString name = param("Icon");
    if (name.isEmpty())
        name = QString::fromLatin1(m_default_icon);
    if (name.isEmpty())
        m_icon.clear();
    else
        m_icon.load(name, [this](const QString& file) { return host().file_data(file); });
    layout(size());
    update();
}

void CKV_Gui_Control_Tile_Base::add_property_editors(QDialog*)
{
    // Property editors belong to the engineering tools; the panel has none.
}

void CKV_Gui_Control_Tile_Base::paint_content(QPainter&)
{
}

void CKV_Gui_Control_Tile_Base::set_nominal_size(int width, int height)
{
    m_nominal_w = std::max(1, width);
    m_nominal_h = std::max(1, height);
}

void CKV_Gui_Control_Tile_Base::update_metrics()
{
    const bool phone = m_display == SMARTPHONE;
    m_nominal_w = phone ? 160 : 240;
    if (has_icon())
        m_nominal_h = phone ? 180 : 270;
    else
        m_nominal_h = phone ? 120 : 210;
}

void CKV_Gui_Control_Tile_Base::layout(const QSize& size)
{
    update_metrics();
    m_scale = std::max(0.1, std::min(size.width() / double(m_nominal_w), size.height() / double(m_nominal_h)));
    const int pad = int(std::lround(14 * m_scale));
    const int icon_side = has_icon() ? int(std::lround(m_nominal_w * 0.3 * m_scale)) : 0;
    m_icon_box = QRect(pad, pad, icon_side, icon_side);
    const int state_h = QFontMetrics(scaled_style(STATE_STYLE[m_display])).height();
    const int title_h = QFontMetrics(scaled_style(TITLE_STYLE[m_display])).height();
    const int text_w = std::max(0, size.width() - 2 * pad);
    m_state_box = QRect(pad, size.height() - pad - state_h, text_w, state_h);
    m_title_box = QRect(pad, m_state_box.top() - title_h, text_w, title_h);
}

void CKV_Gui_Control_Tile_Base::set_icon_color(const QColor& color)
{
    m_icon.set_color(color);
}

void CKV_Gui_Control_Tile_Base::draw_icon(QPainter& painter, const QRect& box)
{
    m_icon.draw(painter, box);
}

void CKV_Gui_Control_Tile_Base::paint_standard(QPainter& painter, const QString& title, const QString& state,
                                               bool on)
{
    set_icon_color(icon_color(on));
    draw_icon(painter, m_icon_box);
    const QColor text = or_default(btncolortext(), QColor(0x3B, 0x3B, 0x3B));
    painter.setPen(text);
    painter.setFont(scaled_style(TITLE_STYLE[m_display]));
    painter.drawText(m_title_box, Qt::AlignLeft | Qt::AlignVCenter,
                     painter.fontMetrics().elidedText(title, Qt::ElideRight, m_title_box.width()));
    painter.setPen(on ? or_default(btncolorswitchon(), KV_Tile_Icon::DEFAULT_COLOR) : text);
    painter.setFont(scaled_style(STATE_STYLE[m_display]));
    painter.drawText(m_state_box, Qt::AlignLeft | Qt::AlignVCenter,
                     painter.fontMetrics().elidedText(state, Qt::ElideRight, m_state_box.width()));
}

QColor CKV_Gui_Control_Tile_Base::icon_color(bool on) const
{
    return on ? or_default(btncolorswitchon(), KV_Tile_Icon::DEFAULT_COLOR)
              : or_default(btncolorswitchoff(), QColor(0x64, 0x64, 0x64));
}

QColor CKV_Gui_Control_Tile_Base::tile_color() const
{
    return or_default(backgroundcolor(), Qt::white);
}

void CKV_Gui_Control_Tile_Base::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setFont(base_font());
    layout(size());
    painter.setOpacity(opacity());
    if (opacity() <= 0.0)
        return;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    if (m_inset) {
        const QRectF box = QRectF(rect()).adjusted(width() * INSET_FACTOR, height() * INSET_FACTOR,
                                                   -width() * INSET_FACTOR, -height() * INSET_FACTOR);
        painter.setBrush(tile_color());
        painter.drawRoundedRect(box, borderradius(), borderradius());
    } else {
        // A soft edge below stands for the shadow; a blur per tile would cost
        // a full offscreen pass on every repaint.
        QColor shadow = shadowcolor();
        shadow.setAlphaF(0.12);
        painter.setBrush(shadow);
        painter.drawRect(QRectF(0, 2, width(), height() - 2));
        painter.setBrush(tile_color());
        painter.drawRect(QRectF(0, 0, width(), height() - 2));
    }
    paint_content(painter);
}

// ---------------------------------------------------------------- operable

CKV_Gui_Control_Tile_Touch_Base::CKV_Gui_Control_Tile_Touch_Base(CKV_Gui_Control_Container* canvas,
                                                                 const KV_GUI_Control& record)
    : CKV_Gui_Control_Tile_Base(canvas, record, DEFAULT_ICON)
{
}

void CKV_Gui_Control_Tile_Touch_Base::apply_record()
{
    m_show_text = param_int("Text anzeigen") != 0;
    CKV_Gui_Control_Tile_Base::apply_record();
}

void CKV_Gui_Control_Tile_Touch_Base::layout(const QSize& size)
{
    CKV_Gui_Control_Tile_Base::layout(size);
    m_touch_area = QRect(QPoint(0, 0), size);
}

QColor CKV_Gui_Control_Tile_Touch_Base::tile_color() const
{
    if (shows_pressed())
        return or_default(btncolorpress(), QColor(0xEA, 0xEA, 0xEA));
    return CKV_Gui_Control_Tile_Base::tile_color();
}

void CKV_Gui_Control_Tile_Touch_Base::paint_content(QPainter& painter)
{
    QString state = state_text();
    const QString info = text_param("Info");
    if (!info.isEmpty())
        state = state.isEmpty() ? info : info + QStringLiteral(" · ") + state;
    paint_standard(painter, m_show_text ? text_param("Text") : QString(), state, !is_off());
}

void CKV_Gui_Control_Tile_Touch_Base::mousePressEvent(QMouseEvent* event)
{
    const QPoint point(int(std::lround(event->position().x())), int(std::lround(event->position().y())));
    if (host().run_mode() && event->button() == Qt::LeftButton && m_touch_area.contains(point)) {
        m_hold = HOLD_START;
        canvas()->request_animation_tick();
    }
    CKV_Gui_Control_Tile_Base::mousePressEvent(event);
}

void CKV_Gui_Control_Tile_Touch_Base::mouseReleaseEvent(QMouseEvent* event)
{
    m_hold = 0.0;
    if (m_opened_by_hold) {
        // The hold opened the overlay; lifting the finger must not also operate.
        m_opened_by_hold = false;
        cancel_press();
        return;
    }
    CKV_Gui_Control_Tile_Base::mouseReleaseEvent(event);
    update();
}

void CKV_Gui_Control_Tile_Touch_Base::notify_children(int code)
{
    CKV_Gui_Control_Tile_Base::notify_children(code);
    if (code != 100 || m_hold <= 0.0)
        return;
    if (is_pressed() && press_cancelled()) {
        m_hold = 0.0; // the finger went on to scroll or swipe
        return;
    }
    m_hold -= HOLD_STEP;
    if (m_hold > 0.0) {
        canvas()->request_animation_tick();
        return;
    }
    m_hold = 0.0;
    if (!host().run_mode())
        return;
    open_overlay();
    m_opened_by_hold = is_pressed() && m_overlay;
}

void CKV_Gui_Control_Tile_Touch_Base::open_overlay()
{
    if (!m_overlay)
        m_overlay = create_overlay();
    if (m_overlay)
        m_overlay->set_visible_animated(true);
}
