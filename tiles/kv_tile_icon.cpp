#include "kv_tile_icon.h"

#include <QDebug>
#include <QFile>
#include <QPainter>
#include <QSvgRenderer>

namespace {
QByteArray read_resource_or_path(const QString& name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool is_svg(const QString& name)
{
    return name.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive);
}
} // namespace

KV_Tile_Icon::KV_Tile_Icon() = default;
KV_Tile_Icon::~KV_Tile_Icon() = default;

void KV_Tile_Icon::clear()
{
    m_svg.reset();
    m_image = QImage();
    m_tinted = QImage();
    m_loaded = false;
}

bool KV_Tile_Icon::load_bytes(const QString& name, const QByteArray& bytes)
{
    clear();
    if (bytes.isEmpty())
        return false;
    if (is_svg(name)) {
        auto svg = std::make_unique<QSvgRenderer>(bytes);
        if (!svg->isValid() || svg->defaultSize().isEmpty())
            return false;
        m_svg = std::move(svg);
        return true;
    }
    m_image = QImage::fromData(bytes);
    return !m_image.isNull();
}

bool KV_Tile_Icon::load(const QString& name, const File_Reader& read_file)
{
    m_name = name;
    // Resources and paths first; a bare name is a file stored in the project.
    QByteArray bytes = name.isEmpty() ? QByteArray() : read_resource_or_path(name);
    if (bytes.isEmpty() && !name.startsWith(QLatin1Char(':')) && read_file)
        bytes = read_file(name);
    if (load_bytes(name, bytes)) {
        m_loaded = true;
        return true;
    }
    qDebug().noquote() << QStringLiteral("Missing Icon: ") + name;
    // The stand-in is drawn like any icon.
    m_loaded = load_bytes(QString::fromLatin1(MISSING), read_resource_or_path(QString::fromLatin1(MISSING)));
    return false;
}

void KV_Tile_Icon::set_color(const QColor& color)
{
    if (color == m_color)
        return;
    m_color = color;
    m_tinted = QImage();
}

const QImage& KV_Tile_Icon::tinted(const QSize& size)
{
    if (m_tinted.size() == size || size.isEmpty())
        return m_tinted;
    m_tinted = QImage(size, QImage::Format_ARGB32_Premultiplied);
    m_tinted.fill(Qt::transparent);
    QPainter painter(&m_tinted);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (m_svg) {
        m_svg->render(&painter);
        // Vector icons take the tile's icon colour, keeping their shape.
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        painter.fillRect(m_tinted.rect(), m_color);
    } else if (!m_image.isNull()) {
        painter.drawImage(m_tinted.rect(), m_image);
    }
    return m_tinted;
}

void KV_Tile_Icon::draw(QPainter& painter, const QRect& box)
{
    QSize natural = m_svg ? m_svg->defaultSize() : m_image.size();
    if (natural.isEmpty() || box.isEmpty())
        return;
    natural.scale(box.size(), Qt::KeepAspectRatio);
    const QRect target(box.x() + (box.width() - natural.width()) / 2,
                       box.y() + (box.height() - natural.height()) / 2, natural.width(), natural.height());
    painter.drawImage(target, tinted(target.size()));
}
