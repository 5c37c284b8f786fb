#include "kv_gui_tile_dimmer.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "kv_gui_container.h"
#include "kv_gui_switch.h"
#include "kv_tile_level_slider.h"

namespace {
// The close button's row at the top of the panel stays free.
constexpr int CONTENT_TOP = 68;
} // namespace

QString kv_percent_text(double value)
{
    return QStringLiteral("%1 %").arg(std::lround(value));
}

// ---------------------------------------------------------------- light base

CKV_Gui_Control_Tile_Light_Base::CKV_Gui_Control_Tile_Light_Base(CKV_Gui_Control_Container* canvas,
                                                                 const KV_GUI_Control& record, Entries entries)
    : CKV_Gui_Control_Tile_Touch_Base(canvas, record)
    , m_entries(entries)
{
}

void CKV_Gui_Control_Tile_Light_Base::on_value(const KV_Addr_Db&, int entry, double value)
{
    if (entry == brightness_entry())
        emit brightness_changed(value);
    update();
}

void CKV_Gui_Control_Tile_Light_Base::on_release(const QPoint& point)
{
    if (!touch_area().contains(point))
        return;
    write_value(m_entries.switching,
                kv_switch_release(KV_SWITCH_TOGGLE, entry_value(m_entries.switching), 1.0, 0.0).value);
    update();
}

bool CKV_Gui_Control_Tile_Light_Base::is_off() const
{
    return !(entry_value(m_entries.switching) > 0.0 || entry_value(m_entries.switch_feedback) > 0.0);
}

QString CKV_Gui_Control_Tile_Light_Base::state_text() const
{
    if (shows_brightness())
        return kv_percent_text(brightness());
    return is_off() ? tr("Aus") : tr("Ein");
}

// ---------------------------------------------------------------- light overlay

CKV_Gui_Control_Tile_Light_Overlay_Base::CKV_Gui_Control_Tile_Light_Overlay_Base(
    CKV_Gui_Control_Tile_Light_Base* tile)
    : CKV_Gui_Control_Tile_Overlay_Base(tile->canvas()->scroll_area())
    , m_tile(tile)
    , m_content(new QWidget(this))
    , m_layout(new QVBoxLayout(m_content))
    , m_content_slide(m_content, "geometry")
{
    m_content->setObjectName(QStringLiteral("kv_light_content"));
    m_content_slide.setDuration(CONTENT_SLIDE_MS);
    m_content_slide.setEasingCurve(QEasingCurve::OutSine);

    auto* title = new QLabel(tile->text_param("Text"), m_content);
    title->setObjectName(QStringLiteral("kv_light_title"));
    title->setFont(panel_font(24, true));
    title->setAlignment(Qt::AlignCenter);
    QPalette palette = title->palette();
    palette.setColor(QPalette::WindowText, text_color());
    title->setPalette(palette);
    m_layout->addWidget(title);

    connect(tile, &CKV_Gui_Control_Tile_Light_Base::brightness_changed, this,
            [this](double value) { show_brightness(value); });
}

QColor CKV_Gui_Control_Tile_Light_Overlay_Base::text_color() const
{
    return m_tile->display() == CKV_Gui_Control_Tile_Base::TABLET ? QColor(0x3B, 0x3B, 0x3B) : QColor(Qt::white);
}

void CKV_Gui_Control_Tile_Light_Overlay_Base::paint_panel(QPainter& painter)
{
    painter.fillRect(rect(), m_tile->display() == CKV_Gui_Control_Tile_Base::TABLET ? TABLET_BACKGROUND
                                                                                    : PHONE_BACKGROUND);
}

QRect CKV_Gui_Control_Tile_Light_Overlay_Base::content_box() const
{
    return rect().adjusted(0, CONTENT_TOP, 0, 0);
}

void CKV_Gui_Control_Tile_Light_Overlay_Base::resizeEvent(QResizeEvent* event)
{
    CKV_Gui_Control_Tile_Overlay_Base::resizeEvent(event);
    m_content_slide.stop();
    m_content->setGeometry(content_box());
}

void CKV_Gui_Control_Tile_Light_Overlay_Base::set_visible_animated(bool visible)
{
    const bool opening = visible && state() == State::Hidden;
    CKV_Gui_Control_Tile_Overlay_Base::set_visible_animated(visible);
    if (!opening)
        return;
    // What the tile showed while the panel was closed is current again.
    show_brightness(m_tile->brightness());
    const QRect box = content_box();
    m_content_slide.setStartValue(box.translated(0, box.height()));
    m_content_slide.setEndValue(box);
    m_content_slide.start();
}

// ---------------------------------------------------------------- dimmer

CKV_Gui_Control_Tile_Dimmer::CKV_Gui_Control_Tile_Dimmer(CKV_Gui_Control_Container* canvas,
                                                         const KV_GUI_Control& record)
    : CKV_Gui_Control_Tile_Light_Base(canvas, record, {SWITCHING, SWITCH_FEEDBACK})
{
}

std::shared_ptr<CKV_Gui_Control_Tile_Overlay_Base> CKV_Gui_Control_Tile_Dimmer::create_overlay()
{
    if (entry_address(VALUE).is_null())
        return nullptr;
    return std::make_shared<CKV_Gui_Control_Tile_Dimmer_Overlay>(this);
}

CKV_Gui_Control_Tile_Dimmer_Overlay::CKV_Gui_Control_Tile_Dimmer_Overlay(CKV_Gui_Control_Tile_Dimmer* tile)
    : CKV_Gui_Control_Tile_Light_Overlay_Base(tile)
    , m_slider(new KV_Tile_Level_Slider(content()))
{
    setObjectName(QStringLiteral("kv_dimmer_overlay"));
    m_slider->setObjectName(QStringLiteral("kv_dimmer_slider"));
    m_slider->set_caption(tr("Helligkeit"));
    m_slider->setMinimumWidth(120);
    m_slider->set_value(tile->brightness());
    content_layout()->addWidget(m_slider, 1, Qt::AlignHCenter);
    connect(m_slider, &KV_Tile_Level_Slider::released, this,
            [tile](double value) { tile->write_value(CKV_Gui_Control_Tile_Dimmer::VALUE, value); });
}

void CKV_Gui_Control_Tile_Dimmer_Overlay::show_brightness(double value)
{
    m_slider->set_value(value);
}

// ---------------------------------------------------------------- relative dimmer

CKV_Gui_Control_Tile_Dimmer_Plus_Minus::CKV_Gui_Control_Tile_Dimmer_Plus_Minus(CKV_Gui_Control_Container* canvas,
                                                                               const KV_GUI_Control& record)
    : CKV_Gui_Control_Tile_Light_Base(canvas, record, {SWITCHING, SWITCH_FEEDBACK})
{
}

std::shared_ptr<CKV_Gui_Control_Tile_Overlay_Base> CKV_Gui_Control_Tile_Dimmer_Plus_Minus::create_overlay()
{
    if (entry_address(DIMMING).is_null())
        return nullptr;
    return std::make_shared<CKV_Gui_Control_Tile_Dimmer_Plus_Minus_Overlay>(this);
}

CKV_Gui_Control_Tile_Dimmer_Plus_Minus_Overlay::CKV_Gui_Control_Tile_Dimmer_Plus_Minus_Overlay(
    CKV_Gui_Control_Tile_Dimmer_Plus_Minus* tile)
    : CKV_Gui_Control_Tile_Light_Overlay_Base(tile)
    , m_brightness(new QLabel(content()))
{
    setObjectName(QStringLiteral("kv_dimmer_pm_overlay"));
    m_brightness->setObjectName(QStringLiteral("kv_dimmer_brightness"));
    m_brightness->setFont(panel_font(50));
    m_brightness->setAlignment(Qt::AlignCenter);
    QPalette palette = m_brightness->palette();
    palette.setColor(QPalette::WindowText, text_color());
    m_brightness->setPalette(palette);
    content_layout()->addWidget(m_brightness);

    auto* buttons = new QHBoxLayout;
    for (auto [text, command] : {std::pair{"-", KV_DIM_DARKER}, std::pair{"+", KV_DIM_BRIGHTER}}) {
        auto* button = new QPushButton(QString::fromLatin1(text), content());
        button->setObjectName(command == KV_DIM_BRIGHTER ? QStringLiteral("kv_dimmer_plus")
                                                         : QStringLiteral("kv_dimmer_minus"));
        button->setFont(panel_font(50, true));
        button->setMinimumSize(120, 120);
        connect(button, &QPushButton::pressed, this,
                [tile, command] { tile->write_value(CKV_Gui_Control_Tile_Dimmer_Plus_Minus::DIMMING, command); });
        connect(button, &QPushButton::released, this,
                [tile] { tile->write_value(CKV_Gui_Control_Tile_Dimmer_Plus_Minus::DIMMING, KV_DIM_STOP); });
        buttons->addWidget(button);
    }
    content_layout()->addLayout(buttons);
    content_layout()->addStretch(1);
    show_brightness(tile->brightness());
}

QString CKV_Gui_Control_Tile_Dimmer_Plus_Minus_Overlay::shown_brightness() const
{
    return m_brightness->text();
}

void CKV_Gui_Control_Tile_Dimmer_Plus_Minus_Overlay::show_brightness(double value)
{
    m_brightness->setText(tile()->shows_brightness() ? kv_percent_text(value) : QString());
}
