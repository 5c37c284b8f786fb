#include "kv_gui_tile_value.h"

#include <QPainter>

#include "kv_gui_tile_room.h"
#include "kv_visu_host.h"

namespace {
QString with_unit(const QString& value, const QString& unit)
{
    return unit.isEmpty() ? value : value + QLatin1Char(' ') + unit;
}
} // namespace

// ---------------------------------------------------------------- value

void CKV_Gui_Control_Tile_Value::on_value(const KV_Addr_Db&, int entry, double)
{
    if (entry == 0)
        update();
}

QString CKV_Gui_Control_Tile_Value::value_text() const
{
    return with_unit(format_value(*this, 0, param("Format"), param_double("Faktor"), param_double("Offset")),
                     text_param("Einheit"));
}

void CKV_Gui_Control_Tile_Value::paint_content(QPainter& painter)
{
    paint_standard(painter, text_param("Text"), QString(), false);
    // The value stands large above the title.
    const QRect value_box(title_box().left(), title_box().top() - int(title_box().height() * 1.6),
                          title_box().width(), int(title_box().height() * 1.6));
    painter.setPen(or_default(btncolortext(), QColor(0x3B, 0x3B, 0x3B)));
    painter.setFont(scaled_style(display() == SMARTPHONE ? 4 : 2));
    painter.drawText(value_box, Qt::AlignLeft | Qt::AlignBottom,
                     painter.fontMetrics().elidedText(value_text(), Qt::ElideRight, value_box.width()));
}

// ---------------------------------------------------------------- header

void CKV_Gui_Control_Tile_Header::on_value(const KV_Addr_Db&, int, double)
{
    update();
}

QStringList CKV_Gui_Control_Tile_Header::value_texts() const
{
    QStringList texts;
    for (int i = 1; i <= VALUES; ++i) {
        const int entry = 2 * (i - 1) + (display() == TABLET ? 1 : 0);
        if (entry_address(entry).is_null())
            continue;
        const auto label = [i](const char* name) { return QStringLiteral("%1: %2").arg(i).arg(QLatin1String(name)).toUtf8(); };
        const QString value = format_value(*this, entry, param(label("Format").constData()),
                                           param_double(label("Faktor").constData()),
                                           param_double(label("Offset").constData()));
        texts << text_param(label("Text").constData()) + QLatin1Char(' ') +
                     with_unit(value, text_param(label("Einheit").constData()));
    }
    return texts;
}

void CKV_Gui_Control_Tile_Header::layout(const QSize& size)
{
    CKV_Gui_Control_Tile_Base::layout(size);
    const int side = size.height();
    m_back_box = param_int("Zurück anzeigen") != 0 ? QRect(0, 0, side, side) : QRect();
    m_menu_box = param_int("Menü anzeigen") != 0 ? QRect(size.width() - side, 0, side, side) : QRect();
}

QList<QRect> CKV_Gui_Control_Tile_Header::operable_parts() const
{
    QList<QRect> parts;
    for (const QRect& box : {m_back_box, m_menu_box})
        if (!box.isEmpty())
            parts.append(box);
    return parts;
}

void CKV_Gui_Control_Tile_Header::on_release(const QPoint& point)
{
    if (m_back_box.contains(point)) {
        host().goPrevPage();
    } else if (m_menu_box.contains(point)) {
        const std::string menu = param("Menü Verknüpfung").toStdString();
        if (!menu.empty())
            host().goPage(menu);
    } else {
        const std::string page = kv_tile_target_page(*this, "Ziel Benutzerabhängig");
        if (!page.empty())
            host().goPage(page);
    }
}

void CKV_Gui_Control_Tile_Header::paint_content(QPainter& painter)
{
    const QColor text = or_default(header_text_color(), QColor(0x3B, 0x3B, 0x3B));
    painter.setPen(QPen(header_line_color(), 1));
    painter.drawLine(QPointF(0, height() - 0.5), QPointF(width(), height() - 0.5));

    int left = 12;
    painter.setPen(text);
    if (!m_back_box.isEmpty()) {
        painter.setFont(scaled_style(1));
        painter.drawText(m_back_box, Qt::AlignCenter, QStringLiteral("‹"));
        left = m_back_box.right() + 4;
    }
    const int side = std::min(height() - 16, 40);
    if (has_icon()) {
        set_icon_color(icon_color(true));
        draw_icon(painter, QRect(left, (height() - side) / 2, side, side));
        left += side + 12;
    }
    const int right = m_menu_box.isEmpty() ? width() - 12 : m_menu_box.left() - 4;
    painter.setFont(scaled_style(3));
    const QString title = text_param("Titel");
    const int title_w = std::min(painter.fontMetrics().horizontalAdvance(title), std::max(0, right - left));
    painter.drawText(QRect(left, 0, title_w, height()), Qt::AlignLeft | Qt::AlignVCenter, title);

    // The values stand right-aligned, the first one rightmost.
    painter.setFont(scaled_style(6));
    int x = right;
    for (const QString& value : value_texts()) {
        const int w = painter.fontMetrics().horizontalAdvance(value);
        if (x - w < left + title_w + 16)
            break;
        painter.drawText(QRect(x - w, 0, w, height()), Qt::AlignRight | Qt::AlignVCenter, value);
        x -= w + 20;
    }
    if (!m_menu_box.isEmpty()) {
        painter.setFont(scaled_style(2));
        painter.drawText(m_menu_box, Qt::AlignCenter, QStringLiteral("☰"));
    }
}
