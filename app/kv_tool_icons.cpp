#include "kv_tool_icons.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

QIcon KV_Tool_Icons::icon(const QString& svg_path, const QColor& color, int size)
{
    if (color != m_color || size != m_size) {
        m_icons.clear();
        m_color = color;
        m_size = size;
    }
    auto it = m_icons.find(svg_path);
    if (it != m_icons.end())
        return *it;
    QSvgRenderer renderer(svg_path);
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(pixmap.rect(), color);
    painter.end();
    return *m_icons.insert(svg_path, QIcon(pixmap));
}
