#pragma once
// The navigation bar's icons: SVGs drawn in one colour. Each is drawn once per
// colour and size and then handed out again: the icon engine caches what it
// paints under the pixmap's own key, so a fresh icon on every change of the
// connection would fill the pixmap cache with copies on a panel that runs
// for months.

#include <QColor>
#include <QHash>
#include <QIcon>
#include <QString>

class KV_Tool_Icons {
public:
    QIcon icon(const QString& svg_path, const QColor& color, int size);

private:
    QHash<QString, QIcon> m_icons;
    QColor m_color;
    int m_size = 0;
};
