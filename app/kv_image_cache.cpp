#include "kv_image_cache.h"

#include <QPainter>
#include <QSvgRenderer>
#include <vector>

#include "kv_project_db.h"
#include "kv_trace.h"

KV_Image_Cache::KV_Image_Cache(CKV_Project_Db& project)
    : m_project(project)
{
}

void KV_Image_Cache::clear()
{
    m_images.clear();
    m_missing.clear();
}

QPixmap KV_Image_Cache::image(const QString& name)
{
    if (name.isEmpty() || m_missing.contains(name))
        return QPixmap();
    auto found = m_images.constFind(name);
    if (found != m_images.constEnd())
        return *found;
    const QPixmap pixmap = decode(name);
    if (pixmap.isNull()) {
        m_missing.insert(name);
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_ZRQ, "IMAGE NOT FOUND: %s\n", qPrintable(name));
        return pixmap;
    }
    m_images.insert(name, pixmap);
    return pixmap;
}

QPixmap KV_Image_Cache::decode(const QString& name)
{
    std::vector<unsigned char> bytes;
    if (!m_project.get_file(name.toStdString(), bytes) || bytes.empty())
        return QPixmap();
    const QByteArray data(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
    if (name.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)) {
        QSvgRenderer renderer(data);
        if (!renderer.isValid())
            return QPixmap();
        const QSize size = renderer.defaultSize().isEmpty() ? QSize(64, 64) : renderer.defaultSize();
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        return pixmap;
    }
    QPixmap pixmap;
    pixmap.loadFromData(data);
    return pixmap;
}
