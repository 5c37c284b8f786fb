#include "kv_gui_tile_jalousie.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>
#include <functional>

#include "kv_gui_container.h"
#include "kv_tile_level_slider.h"
#include "kv_touch.h"

double CKV_Gui_Control_Tile_Jalousie::shown_value(int feedback_slot, int value_slot) const
{
    return entry_value(entry_address(feedback_slot).is_null() ? value_slot : feedback_slot);
}

double CKV_Gui_Control_Tile_Jalousie::height_percent() const
{
    return kv_blind_height(*this);
}

double CKV_Gui_Control_Tile_Jalousie::slat_value() const
{
    return shown_value(SLAT_RM, SLAT);
}

double CKV_Gui_Control_Tile_Jalousie::slat_maximum() const
{
    const double maximum = param_double("Max. Lamellenstellung");
    return maximum > 0 ? maximum : 100.0;
}

void CKV_Gui_Control_Tile_Jalousie::on_value(const KV_Addr_Db&, int entry, double)
{
    if (entry < HEIGHT)
        return;
    if (auto* panel = static_cast<CKV_Gui_Control_Tile_Jalousie_Overlay*>(overlay()))
        panel->refresh_levels();
    update();
}

void CKV_Gui_Control_Tile_Jalousie::layout(const QSize& size)
{
    CKV_Gui_Control_Tile_Touch_Base::layout(size);
    // Two arrow buttons stacked at the right, level with the icon.
    const QRect icon = icon_box();
    const int side = std::max(KV_FINGER_PX, int(std::lround(44 * tile_scale())));
    const int right = size.width() - icon.left();
    m_up_box = QRect(right - side, icon.top(), side, side);
    m_down_box = QRect(right - side, icon.top() + side + side / 4, side, side);
}

void CKV_Gui_Control_Tile_Jalousie::on_release(const QPoint& point)
{
    if (m_up_box.contains(point))
        move_blind(false);
    else if (m_down_box.contains(point))
        move_blind(true);
    else if (touch_area().contains(point))
        stop_blind();
}

QString CKV_Gui_Control_Tile_Jalousie::state_text() const
{
    if (param_int("Sollwert Anzeigen") == 0 || entry_address(HEIGHT_RM).is_null() && entry_address(HEIGHT).is_null())
        return {};
    return QStringLiteral("%1 %").arg(std::lround(height_percent()));
}

void CKV_Gui_Control_Tile_Jalousie::paint_content(QPainter& painter)
{
    CKV_Gui_Control_Tile_Touch_Base::paint_content(painter);
    painter.setPen(QPen(or_default(btncolortext(), QColor(0x3B, 0x3B, 0x3B)), std::max(2.0, 3 * tile_scale()),
                        Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    for (const auto& [box, up] : {std::pair{m_up_box, true}, std::pair{m_down_box, false}}) {
        const QRectF arrow = QRectF(box).adjusted(box.width() * 0.3, box.height() * 0.38, -box.width() * 0.3,
                                                  -box.height() * 0.38);
        const qreal tip = up ? arrow.top() : arrow.bottom();
        const qreal base = up ? arrow.bottom() : arrow.top();
        const QPointF chevron[] = {{arrow.left(), base}, {arrow.center().x(), tip}, {arrow.right(), base}};
        painter.drawPolyline(chevron, 3);
    }
}

std::shared_ptr<CKV_Gui_Control_Tile_Overlay_Base> CKV_Gui_Control_Tile_Jalousie::create_overlay()
{
    return std::make_shared<CKV_Gui_Control_Tile_Jalousie_Overlay>(*this, canvas()->scroll_area());
}

// ---------------------------------------------------------------- overlay

CKV_Gui_Control_Tile_Jalousie_Overlay::CKV_Gui_Control_Tile_Jalousie_Overlay(CKV_Gui_Control_Tile_Jalousie& tile,
                                                                             QWidget* page)
    : CKV_Gui_Control_Tile_Overlay_Base(page)
    , m_tile(tile)
{
    auto* levels = new QHBoxLayout;
    levels->setSpacing(32);
    m_height = new KV_Tile_Level_Slider(this);
    m_height->setObjectName(QStringLiteral("kv_blind_height"));
    m_height->set_caption(tr("Höhe"));
    levels->addStretch();
    levels->addWidget(m_height);
    connect(m_height, &KV_Tile_Level_Slider::released, this, [this](double value) { m_tile.set_height(value); });
    if (m_tile.has_slat()) {
        m_slat = new KV_Tile_Level_Slider(this);
        m_slat->setObjectName(QStringLiteral("kv_blind_slat"));
        m_slat->set_caption(tr("Lamelle"));
        m_slat->set_maximum(m_tile.slat_maximum());
        levels->addWidget(m_slat);
        connect(m_slat, &KV_Tile_Level_Slider::released, this, [this](double value) { m_tile.set_slat(value); });
    }
    levels->addStretch();

    auto* buttons = new QHBoxLayout;
    const struct {
        const char* name;
        QString text;
        std::function<void()> act;
    } actions[] = {
        {"kv_blind_up", tr("Auf"), [this] { m_tile.move_blind(false); }},
        {"kv_blind_stop", tr("Stopp"), [this] { m_tile.stop_blind(); }},
        {"kv_blind_down", tr("Ab"), [this] { m_tile.move_blind(true); }},
    };
    for (const auto& action : actions) {
        auto* button = new QPushButton(action.text, this);
        button->setObjectName(QString::fromLatin1(action.name));
        button->setMinimumSize(96, 56);
        connect(button, &QPushButton::clicked, this, action.act);
        buttons->addWidget(button);
    }

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(24, 72, 24, 24);
    column->addLayout(levels, 1);
    column->addSpacing(16);
    column->addLayout(buttons);
    refresh_levels();
}

void CKV_Gui_Control_Tile_Jalousie_Overlay::refresh_levels()
{
    m_height->set_value(m_tile.height_percent());
    if (m_slat)
        m_slat->set_value(m_tile.slat_value());
}

void CKV_Gui_Control_Tile_Jalousie_Overlay::paint_panel(QPainter& painter)
{
    painter.setPen(Qt::white);
    painter.setFont(panel_font(24, true));
    painter.drawText(QRect(72, 12, width() - 96, 44), Qt::AlignLeft | Qt::AlignVCenter, m_tile.text_param("Text"));
}
