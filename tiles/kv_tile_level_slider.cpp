#include "kv_tile_level_slider.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {
constexpr int CAPTION_HEIGHT = 28;
}

KV_Tile_Level_Slider::KV_Tile_Level_Slider(QWidget* parent)
    : QWidget(parent)
{
    setMinimumSize(90, 200);
    // Touch presses become mouse presses here; no gesture may take them.
    setAttribute(Qt::WA_AcceptTouchEvents, false);
}

void KV_Tile_Level_Slider::set_maximum(double maximum)
{
    m_maximum = maximum > 0 ? maximum : 100.0;
    m_value = std::clamp(m_value, 0.0, m_maximum);
    update();
}

void KV_Tile_Level_Slider::set_value(double value)
{
    if (m_dragging)
        return;
    m_value = std::clamp(value, 0.0, m_maximum);
    update();
}

void KV_Tile_Level_Slider::set_caption(const QString& caption)
{
    m_caption = caption;
    update();
}

void KV_Tile_Level_Slider::set_fill_color(const QColor& color)
{
    m_fill = color;
    update();
}

QRect KV_Tile_Level_Slider::column() const
{
    const int w = std::min(width() - 8, 96);
    return QRect((width() - w) / 2, 4, w, height() - 8 - CAPTION_HEIGHT);
}

double KV_Tile_Level_Slider::value_at(int y) const
{
    const QRect box = column();
    const double part = double(box.bottom() - y) / std::max(1, box.height());
    return std::round(std::clamp(part, 0.0, 1.0) * m_maximum);
}

void KV_Tile_Level_Slider::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRect box = column();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x3B, 0x3B, 0x3B));
    painter.drawRoundedRect(box, 18, 18);
    const int filled = int(std::lround(box.height() * (m_value / m_maximum)));
    if (filled > 0) {
        painter.setClipRect(QRect(box.left(), box.bottom() - filled + 1, box.width(), filled));
        painter.setBrush(m_fill);
        painter.drawRoundedRect(box, 18, 18);
        painter.setClipping(false);
    }
    QFont font(QStringLiteral("Graphik Medium"));
    font.setPixelSize(22);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(box.adjusted(0, 0, 0, -12), Qt::AlignHCenter | Qt::AlignBottom,
                     QStringLiteral("%1 %").arg(std::lround(m_value * 100.0 / m_maximum)));
    font.setFamily(QStringLiteral("Graphik Regular"));
    font.setPixelSize(15);
    painter.setFont(font);
    painter.setPen(QColor(0xC1, 0xC1, 0xC1));
    painter.drawText(QRect(0, height() - CAPTION_HEIGHT, width(), CAPTION_HEIGHT), Qt::AlignCenter, m_caption);
}

void KV_Tile_Level_Slider::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_dragging = true;
    m_value = value_at(int(event->position().y()));
    update();
}

void KV_Tile_Level_Slider::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragging)
        return;
    m_value = value_at(int(event->position().y()));
    update();
}

void KV_Tile_Level_Slider::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_dragging)
        return;
    m_dragging = false;
    m_value = value_at(int(event->position().y()));
    update();
    emit released(m_value);
}
