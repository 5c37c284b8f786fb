#include "kv_gui_classic_color.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSvgRenderer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "kv_gui_container.h"
#include "kv_network_msg.h"
#include "kv_touch.h"
#include "kv_visu_host.h"

const char* const KV_COLOR_UNLINKED_TEXT =
    "Keine Logik mit dem Bedienelement verknüpft. Klicken Sie mit der rechten maustaste auf das Bedienelement "
    "und verknüpfen es mit einer entsprechenden Logik.";

namespace {
QFont widget_font()
{
    QFont font(QStringLiteral("Graphik Regular"));
    font.setPixelSize(15);
    return font;
}

} // namespace

// ---------------------------------------------------------------- colour ring

CKV_Gui_Control_Widget_Color_Selection::CKV_Gui_Control_Widget_Color_Selection(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("ZRQColorSelectionWidget"));
    setFont(widget_font());
    setMinimumSize(200, 200);
}

void CKV_Gui_Control_Widget_Color_Selection::set_colordesign(bool on)
{
    m_colordesign = on;
    update();
}

void CKV_Gui_Control_Widget_Color_Selection::set_color(const QColor& color)
{
    m_color = color;
    update();
}

QRect CKV_Gui_Control_Widget_Color_Selection::ring_box() const
{
    // An odd side puts the centre in the middle of a pixel: the column above
    // it is pure red, whatever size the overlay's layout gives the ring.
    const int side = (std::min(width(), height()) - 1) | 1;
    return QRect((width() - side) / 2, (height() - side) / 2, side, side);
}

QColor CKV_Gui_Control_Widget_Color_Selection::color_at(const QPoint& point) const
{
    // Measured from the middle of the pixel touched.
    const QPointF from_centre = QPointF(point) + QPointF(0.5, 0.5) - QRectF(ring_box()).center();
    // Clockwise from the top: the angle of (x, -y) measured from the y axis.
    double degrees = std::atan2(from_centre.x(), -from_centre.y()) * 180.0 / std::numbers::pi;
    if (degrees < 0)
        degrees += 360.0;
    return QColor::fromHsvF(std::fmod(degrees, 360.0) / 360.0, 1.0, 1.0);
}

void CKV_Gui_Control_Widget_Color_Selection::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRect box = ring_box();
    QSvgRenderer(QString::fromLatin1(RING_IMAGE)).render(&painter, box);
    // The chosen colour fills the middle (inside the ring's inner edge).
    const QRectF middle = QRectF(box).adjusted(box.width() * 0.2, box.height() * 0.2, -box.width() * 0.2,
                                               -box.height() * 0.2);
    painter.setPen(m_colordesign ? QPen(palette().color(QPalette::WindowText), 2) : Qt::NoPen);
    painter.setBrush(m_color);
    painter.drawEllipse(middle);
}

void CKV_Gui_Control_Widget_Color_Selection::mousePressEvent(QMouseEvent* event)
{
    set_color(color_at(event->position().toPoint()));
}

void CKV_Gui_Control_Widget_Color_Selection::mouseMoveEvent(QMouseEvent* event)
{
    set_color(color_at(event->position().toPoint()));
}

void CKV_Gui_Control_Widget_Color_Selection::mouseReleaseEvent(QMouseEvent* event)
{
    set_color(color_at(event->position().toPoint()));
    emit released(m_color);
}

// ---------------------------------------------------------------- gradient slider

CKV_Gui_Control_Widget_Gradient_Slider::CKV_Gui_Control_Widget_Gradient_Slider(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("ZRQGradientSliderWidget"));
    setFont(widget_font());
    setMinimumSize(200, KV_FINGER_PX);
}

void CKV_Gui_Control_Widget_Gradient_Slider::set_sliderdesign(bool on)
{
    m_sliderdesign = on;
    update();
}

void CKV_Gui_Control_Widget_Gradient_Slider::set_colors(const QColor& begin, const QColor& end)
{
    m_begin = begin;
    m_end = end;
    update();
}

void CKV_Gui_Control_Widget_Gradient_Slider::set_value(double value)
{
    m_value = std::clamp(value, 0.0, 100.0);
    update();
}

double CKV_Gui_Control_Widget_Gradient_Slider::value_at(int x) const
{
    return std::round(std::clamp(double(x) / std::max(1, width() - 1), 0.0, 1.0) * 100.0);
}

void CKV_Gui_Control_Widget_Gradient_Slider::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient gradient(rect().topLeft(), rect().topRight());
    gradient.setColorAt(0, m_begin);
    gradient.setColorAt(1, m_end);
    const qreal radius = m_sliderdesign ? height() / 2.0 : 4.0;
    painter.setPen(Qt::NoPen);
    painter.setBrush(gradient);
    painter.drawRoundedRect(rect(), radius, radius);
    const qreal x = (width() - 1) * m_value / 100.0;
    painter.setBrush(Qt::white);
    painter.setPen(QPen(QColor(0x3B, 0x3B, 0x3B), 1));
    painter.drawEllipse(QPointF(x, height() / 2.0), height() / 2.5, height() / 2.5);
    painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("%1 %").arg(std::lround(m_value)));
}

void CKV_Gui_Control_Widget_Gradient_Slider::mousePressEvent(QMouseEvent* event)
{
    set_value(value_at(int(event->position().x())));
}

void CKV_Gui_Control_Widget_Gradient_Slider::mouseMoveEvent(QMouseEvent* event)
{
    set_value(value_at(int(event->position().x())));
}

void CKV_Gui_Control_Widget_Gradient_Slider::mouseReleaseEvent(QMouseEvent* event)
{
    set_value(value_at(int(event->position().x())));
    emit released(m_value);
}

// ---------------------------------------------------------------- colour editor

CKV_Gui_Color_Editor::CKV_Gui_Color_Editor(QWidget* parent)
    : QWidget(parent)
    , m_ring(new CKV_Gui_Control_Widget_Color_Selection(this))
    , m_saturation(new CKV_Gui_Control_Widget_Gradient_Slider(this))
    , m_brightness(new CKV_Gui_Control_Widget_Gradient_Slider(this))
    , m_white(new CKV_Gui_Control_Widget_Gradient_Slider(this))
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(kv_panel_label(tr("Farbe"), this));
    column->addWidget(m_ring, 1);
    m_white->set_colors(Qt::black, Qt::white);
    for (const auto& [label, slider] : {std::pair{tr("Sättigung"), m_saturation},
                                       std::pair{tr("Helligkeit"), m_brightness}, std::pair{tr("Weiß"), m_white}}) {
        column->addWidget(kv_panel_label(label, this));
        column->addWidget(slider);
    }
    connect(m_ring, &CKV_Gui_Control_Widget_Color_Selection::released, this, [this](const QColor& hue) {
        m_hue = std::max(0.0f, hue.hsvHueF());
        // A hue chosen on a grey or dark colour is meant to be seen.
        for (auto* slider : {m_saturation, m_brightness})
            if (slider->value() == 0)
                slider->set_value(100);
        show_gradients();
        emit changed();
    });
    for (auto* slider : {m_saturation, m_brightness, m_white})
        connect(slider, &CKV_Gui_Control_Widget_Gradient_Slider::released, this, [this] {
            show_gradients();
            emit changed();
        });
}

KV_Color CKV_Gui_Color_Editor::color() const
{
    const QColor rgb = QColor::fromHsvF(m_hue, m_saturation->value() / 100.0, m_brightness->value() / 100.0);
    const auto percent = [](float channel) { return std::round(channel * 100.0); };
    return {percent(rgb.redF()), percent(rgb.greenF()), percent(rgb.blueF()), m_white->value()};
}

void CKV_Gui_Color_Editor::show_color(const KV_Color& color)
{
    const QColor rgb = QColor::fromRgbF(color.red / 100.0, color.green / 100.0, color.blue / 100.0);
    // A grey has no hue of its own: it keeps the one shown.
    if (rgb.hsvHueF() >= 0)
        m_hue = rgb.hsvHueF();
    m_saturation->set_value(std::round(rgb.hsvSaturationF() * 100.0));
    m_brightness->set_value(std::round(rgb.valueF() * 100.0));
    m_white->set_value(color.white);
    show_gradients();
}

void CKV_Gui_Color_Editor::show_gradients()
{
    m_saturation->set_colors(Qt::white, QColor::fromHsvF(m_hue, 1.0, 1.0));
    m_brightness->set_colors(Qt::black, QColor::fromHsvF(m_hue, m_saturation->value() / 100.0, 1.0));
    const KV_Color shown = color();
    m_ring->set_color(QColor::fromRgbF(shown.red / 100.0, shown.green / 100.0, shown.blue / 100.0));
}

// ---------------------------------------------------------------- colour overlay

CKV_Gui_Control_App_Overlay_Color::CKV_Gui_Control_App_Overlay_Color(CKV_Gui_Control& control, QWidget* page)
    : CKV_Gui_Control_Tile_Overlay_Preset_Base(page)
    , m_control(control)
    , m_editor(new CKV_Gui_Color_Editor(this))
{
    setObjectName(QStringLiteral("kv_overlay_color"));
    kv_style_panel(this);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(68, 16, 24, 24);
    row->setSpacing(24);
    auto* column = new QVBoxLayout;
    column->addWidget(kv_panel_title(tr("Farbeinstellung"), this));
    column->addWidget(m_editor, 1);
    row->addLayout(column, 3);
    row->addWidget(preset_list(), 2);
    connect(m_editor, &CKV_Gui_Color_Editor::changed, this, [this] { tumbler_changed(); });
}

void CKV_Gui_Control_App_Overlay_Color::open()
{
    const auto level = [this](int i) { return std::clamp(m_control.entry_value(i), 0.0, 100.0); };
    m_editor->show_color({level(0), level(1), level(2), level(3)});
    load_block();
    if (!m_block.m_str_guid.empty() && m_control.host().is_connected())
        m_control.host().send_text(kv_msg::BLOCK_SHOWN, m_block.encode());
    set_visible_animated(true);
}

void CKV_Gui_Control_App_Overlay_Color::load_block()
{
    if (const KV_LOGIC_Control* block = m_control.host().find_logic_block(m_control.param("ID").trimmed().toStdString())) {
        m_block = *block;
        m_presets = CTRL_Settings_RGBW(m_block).m_presets;
    }
    preset_list()->refresh();
}

void CKV_Gui_Control_App_Overlay_Color::tumbler_changed()
{
    const KV_Color chosen = m_editor->color();
    const double channels[] = {chosen.red, chosen.green, chosen.blue, chosen.white};
    for (int i = 0; i < 4; ++i)
        m_control.write_value(i, channels[i]);
    m_control.update();
}

QStringList CKV_Gui_Control_App_Overlay_Color::preset_names() const
{
    QStringList names;
    for (const KV_Color_Preset& preset : m_presets)
        names << QString::fromStdString(preset.name);
    return names;
}

void CKV_Gui_Control_App_Overlay_Color::recall_preset(int index)
{
    if (index < 0 || size_t(index) >= m_presets.size())
        return;
    m_editor->show_color(m_presets[size_t(index)].color);
    tumbler_changed();
}

void CKV_Gui_Control_App_Overlay_Color::store_preset(const QString& name)
{
    if (m_presets.size() >= CTRL_Settings_RGBW::MAX_PRESETS)
        return;
    m_presets.push_back({m_editor->color(), name.toStdString()});
    store_settings();
}

void CKV_Gui_Control_App_Overlay_Color::remove_preset(int index)
{
    if (index < 0 || size_t(index) >= m_presets.size())
        return;
    m_presets.erase(m_presets.begin() + index);
    store_settings();
}

void CKV_Gui_Control_App_Overlay_Color::store_settings()
{
    if (m_block.m_str_guid.empty())
        return;
    CTRL_Settings_RGBW settings(m_block);
    settings.m_presets = m_presets;
    settings.write_to(m_block);
    KV_Visu_Host& host = m_control.host();
    host.store_logic_block(m_block);
    if (host.is_connected())
        host.send_text(kv_msg::BLOCK_CHANGED, m_block.encode());
}

// ---------------------------------------------------------------- colour controls

CKV_Gui_Control_App_Color_Base::CKV_Gui_Control_App_Color_Base(CKV_Gui_Control_Container* canvas,
                                                               const KV_GUI_Control& record, int first_channel)
    : CKV_Gui_Control(canvas, record)
    , m_first(first_channel)
{
}

void CKV_Gui_Control_App_Color_Base::on_value(const KV_Addr_Db&, int, double)
{
    update();
}

void CKV_Gui_Control_App_Color_Base::on_message(const CKV_Network_Msg& header, const unsigned char* payload)
{
    CKV_Gui_Control::on_message(header, payload);
    const std::string guid = KV_Visu_Host::changed_block_guid(header, payload);
    if (!guid.empty() && guid == param("ID").trimmed().toStdString())
        block_changed();
}

const KV_LOGIC_Control* CKV_Gui_Control_App_Color_Base::linked_block() const
{
    return host().find_logic_block(param("ID").trimmed().toStdString());
}

bool CKV_Gui_Control_App_Color_Base::check_link() const
{
    if (linked_block())
        return true;
    host().show_message(QString::fromUtf8(KV_COLOR_UNLINKED_TEXT));
    return false;
}

QColor CKV_Gui_Control_App_Color_Base::shown_color(bool with_white) const
{
    const auto level = [this](int i) { return std::clamp(entry_value(m_first + i), 0.0, 100.0) / 100.0; };
    const double white = with_white ? level(3) : 0.0;
    const auto mix = [white](double channel) { return std::min(1.0, channel + white * (1.0 - channel)); };
    return QColor::fromRgbF(mix(level(0)), mix(level(1)), mix(level(2)));
}

void CKV_Gui_Control_App_Color_Base::paint_swatch(QPainter& painter, const QColor& color, const QString& state)
{
    prepare_painter(painter);
    painter.setPen(border_pen());
    painter.setBrush(or_default(btncolorface(), btncolorswitchoff()));
    painter.drawRoundedRect(frame_box(), borderradius(), borderradius());
    const bool vertical = param_int("Ansicht") == CKV_Gui_Control_App_RGBW::VERTICAL;
    const int side = std::max(8, vertical ? std::min(width() - 12, height() / 2) : std::min(width(), height()) - 12);
    const QRect swatch = vertical ? QRect((width() - side) / 2, 6, side, side) : QRect(6, (height() - side) / 2, side, side);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawEllipse(swatch);
    painter.setFont(text_font());
    painter.setPen(or_default(btncolortext(), Qt::white));
    const QRect text_box = vertical ? rect().adjusted(4, swatch.bottom() + 4, -4, -4) : rect().adjusted(side + 12, 0, -4, 0);
    const QString text = state.isEmpty() ? text_param("Text") : text_param("Text") + QLatin1Char('\n') + state;
    painter.drawText(text_box, (vertical ? Qt::AlignHCenter | Qt::AlignTop : Qt::AlignLeft | Qt::AlignVCenter), text);
}

// ---------------------------------------------------------------- RGBW

CKV_Gui_Control_App_RGBW::CKV_Gui_Control_App_RGBW(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record)
    : CKV_Gui_Control_App_Color_Base(canvas, record, 0)
{
    connect(&m_hold, &KV_Press_Hold::held, this, &CKV_Gui_Control_App_RGBW::open_overlay);
}

CKV_Gui_Control_App_RGBW::~CKV_Gui_Control_App_RGBW()
{
    delete m_overlay;
}

CKV_Gui_Control_App_RGBW::View CKV_Gui_Control_App_RGBW::view() const
{
    const int view = param_int("Ansicht");
    return view >= HORIZONTAL && view <= POPUP ? View(view) : VERTICAL;
}

bool CKV_Gui_Control_App_RGBW::click_opens() const
{
    return view() != ON_OFF && param_int("Kurzer Klick") != 0;
}

bool CKV_Gui_Control_App_RGBW::is_on() const
{
    for (int i = 0; i < 4; ++i)
        if (entry_value(i) > 0)
            return true;
    return false;
}

void CKV_Gui_Control_App_RGBW::on_value(const KV_Addr_Db& address, int entry, double value)
{
    CKV_Gui_Control_App_Color_Base::on_value(address, entry, value);
    if (is_on())
        m_last_on = {entry_value(0), entry_value(1), entry_value(2), entry_value(3)};
}

void CKV_Gui_Control_App_RGBW::on_press(const QPoint&)
{
    m_hold.start(click_opens() ? 0.0 : HOLD_SECONDS);
}

void CKV_Gui_Control_App_RGBW::on_release(const QPoint&)
{
    m_hold.stop();
    if (m_hold.fired())
        return; // the hold opened the overlay already
    if (click_opens())
        open_overlay();
    else if (check_link())
        toggle();
}

void CKV_Gui_Control_App_RGBW::toggle()
{
    write_color(is_on() ? KV_Color{} : m_last_on);
}

void CKV_Gui_Control_App_RGBW::write_color(const KV_Color& color)
{
    const double channels[] = {color.red, color.green, color.blue, color.white};
    for (int i = 0; i < 4; ++i)
        write_value(i, channels[i]);
    update();
}

void CKV_Gui_Control_App_RGBW::open_overlay()
{
    if (!check_link())
        return;
    if (!m_overlay)
        m_overlay = new CKV_Gui_Control_App_Overlay_Color(*this, canvas()->scroll_area());
    m_overlay->open();
}

void CKV_Gui_Control_App_RGBW::block_changed()
{
    if (m_overlay && m_overlay->isVisible())
        m_overlay->load_block();
}

void CKV_Gui_Control_App_RGBW::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QString state = view() == ON_OFF ? (is_on() ? tr("Ein") : tr("Aus")) : QString();
    paint_swatch(painter, shown_color(true), state);
}
