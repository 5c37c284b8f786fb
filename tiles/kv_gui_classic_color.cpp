#include "kv_gui_classic_color.h"

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

#include "kv_logic.h"
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

// A channel 0..255 as the percent the bus takes.
double percent(int channel)
{
    return std::round(channel * 100.0 / 255.0);
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
    const int side = std::min(width(), height());
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
    setMinimumSize(200, 40);
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

// ---------------------------------------------------------------- colour overlay

CKV_Gui_Control_App_Overlay_Color::CKV_Gui_Control_App_Overlay_Color(CKV_Gui_Control& control, int first_channel)
    : QWidget(control.window())
    , m_control(control)
    , m_first(first_channel)
    , m_ring(new CKV_Gui_Control_Widget_Color_Selection)
    , m_white(new CKV_Gui_Control_Widget_Gradient_Slider)
{
    setObjectName(QStringLiteral("kv_overlay_color"));
    auto* panel = new QWidget(this);
    panel->setAutoFillBackground(true);
    auto* column = new QVBoxLayout(panel);
    column->addWidget(new QLabel(QStringLiteral("Farbeinstellung"), panel), 0, Qt::AlignHCenter);
    column->addWidget(new QLabel(QStringLiteral("Farbe"), panel));
    m_ring->setParent(panel);
    column->addWidget(m_ring, 1);
    m_white->setParent(panel);
    m_white->set_colors(Qt::black, Qt::white);
    column->addWidget(m_white);
    auto* done = new QPushButton(QStringLiteral("Fertig"), panel);
    done->setObjectName(QStringLiteral("kv_overlay_color_done"));
    connect(done, &QPushButton::clicked, this, [this] {
        hide();
        deleteLater();
    });
    column->addWidget(done);

    auto* outer = new QVBoxLayout(this);
    outer->addStretch();
    outer->addWidget(panel, 0, Qt::AlignHCenter);
    outer->addStretch();

    // Start from what the channels hold.
    const auto level = [this](int i) { return std::clamp(m_control.entry_value(m_first + i), 0.0, 100.0); };
    m_ring->set_color(QColor::fromRgbF(level(0) / 100.0, level(1) / 100.0, level(2) / 100.0));
    m_white->set_value(level(3));
    connect(m_ring, &CKV_Gui_Control_Widget_Color_Selection::released, this, [this] { write_channels(); });
    connect(m_white, &CKV_Gui_Control_Widget_Gradient_Slider::released, this, [this] { write_channels(); });
}

void CKV_Gui_Control_App_Overlay_Color::show_over_window()
{
    setGeometry(parentWidget()->rect());
    show();
    raise();
}

void CKV_Gui_Control_App_Overlay_Color::write_channels()
{
    const QColor color = m_ring->color();
    m_control.write_value(m_first, percent(color.red()));
    m_control.write_value(m_first + 1, percent(color.green()));
    m_control.write_value(m_first + 2, percent(color.blue()));
    m_control.write_value(m_first + 3, m_white->value());
    m_control.update();
}

void CKV_Gui_Control_App_Overlay_Color::paintEvent(QPaintEvent*)
{
    QPainter(this).fillRect(rect(), QColor(0, 0, 0, 120));
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

const KV_LOGIC_Control* CKV_Gui_Control_App_Color_Base::linked_block() const
{
    const std::string id = param("ID").trimmed().toStdString();
    if (id.empty())
        return nullptr;
    for (const KV_LOGIC_Control* block : host().logic_blocks())
        if (block->m_str_guid == id)
            return block;
    return nullptr;
}

void CKV_Gui_Control_App_Color_Base::on_release(const QPoint&)
{
    if (!linked_block()) {
        host().show_message(QString::fromUtf8(KV_COLOR_UNLINKED_TEXT));
        return;
    }
    if (m_overlay && m_overlay->isVisible())
        return;
    m_overlay = new CKV_Gui_Control_App_Overlay_Color(*this, m_first);
    m_overlay->show_over_window();
}

QColor CKV_Gui_Control_App_Color_Base::shown_color() const
{
    const auto level = [this](int i) { return std::clamp(entry_value(m_first + i), 0.0, 100.0) / 100.0; };
    return QColor::fromRgbF(level(0), level(1), level(2));
}

void CKV_Gui_Control_App_Color_Base::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    prepare_painter(painter);
    painter.setPen(border_pen());
    painter.setBrush(or_default(btncolorface(), btncolorswitchoff()));
    painter.drawRoundedRect(frame_box(), borderradius(), borderradius());
    const int side = std::max(8, std::min(width(), height()) - 12);
    painter.setPen(Qt::NoPen);
    painter.setBrush(shown_color());
    painter.drawEllipse(QRect(6, (height() - side) / 2, side, side));
    painter.setFont(text_font());
    painter.setPen(or_default(btncolortext(), Qt::white));
    painter.drawText(rect().adjusted(side + 12, 0, -4, 0), Qt::AlignVCenter | Qt::AlignLeft, text_param("Text"));
}
