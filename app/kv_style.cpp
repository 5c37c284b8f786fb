#include "kv_style.h"

#include "kv_trace.h"

#include <QFile>

QString kv_app_style_path(int index)
{
    switch (index) {
    case KV_STYLE_LIGHT:
        return QStringLiteral(":stylesheets/light.qss");
    case KV_STYLE_DARK:
        return QStringLiteral(":stylesheets/dark.qss");
    default:
        return QString();
    }
}

QString kv_read_style_sheet(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_ZRQ, "STYLE SHEET NOT FOUND: %s\n", qPrintable(path));
        return QString();
    }
    return QString::fromLatin1(file.readAll());
}
