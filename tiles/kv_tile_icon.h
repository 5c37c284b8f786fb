#pragma once
// A tile's icon: loaded once from a resource (":/...") or a stored project
// file, SVG drawn in the icon colour, kept as a tinted copy at the size last
// drawn so that repaints only blit.

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QString>
#include <functional>
#include <memory>

class QPainter;
class QSvgRenderer;

class KV_Tile_Icon {
public:
    // Shown in place of an icon that cannot be loaded.
    static constexpr const char* MISSING = ":/images/Tablet/tablet_Schliessen.svg";
    static inline const QColor DEFAULT_COLOR{0x29, 0xC7, 0xA5};

    // The bytes of a stored project file; empty when there is none.
    using File_Reader = std::function<QByteArray(const QString&)>;

    KV_Tile_Icon();
    ~KV_Tile_Icon();

    // Loads `name`; when that fails, writes "Missing Icon: " and the name
    // to the trace, loads the stand-in and returns false.
    bool load(const QString& name, const File_Reader& read_file);
    // No icon at all.
    void clear();
    // Whether a real icon was loaded (not the stand-in, not empty).
    bool has_icon() const { return m_loaded; }
    const QString& name() const { return m_name; }

    void set_color(const QColor& color);
    const QColor& color() const { return m_color; }
    // Draws into `box`, keeping the aspect ratio, centred.
    void draw(QPainter& painter, const QRect& box);
    // The tinted copy at `size` (made on demand).
    const QImage& tinted(const QSize& size);

private:
    bool load_bytes(const QString& name, const QByteArray& bytes);

    QString m_name;
    bool m_loaded = false;
    QColor m_color = DEFAULT_COLOR;
    std::unique_ptr<QSvgRenderer> m_svg;
    QImage m_image;  // raster icons as loaded
    QImage m_tinted; // SVG tinted / raster scaled, at m_tinted.size()
};
