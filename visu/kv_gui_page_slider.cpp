#include "kv_gui_page_slider.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "kv_gui.h"
#include "kv_gui_container.h"
#include "kv_visu_host.h"

std::vector<std::string> CKV_Gui_Control_App_Seitenwechsel_Slider::collect_pages() const
{
    std::vector<std::string> result;
    const QStringList chosen = param("Auswahl Seiten").split(QLatin1Char(';'), Qt::SkipEmptyParts);
    if (!chosen.isEmpty()) {
        for (const QString& guid : chosen) {
            const std::string id = guid.trimmed().toStdString();
            if (host().find_page(id))
                result.push_back(id);
        }
        return result;
    }
    const std::vector<std::string> order = host().page_order();
    if (order.empty())
        return result;
    // A missing or unknown limit leaves the range open at that end.
    auto index_of = [&order](const std::string& guid, size_t fallback) {
        const auto it = std::find(order.begin(), order.end(), guid);
        return it == order.end() ? fallback : static_cast<size_t>(it - order.begin());
    };
    size_t first = index_of(param("Seite Begin").toStdString(), 0);
    size_t last = index_of(param("Seite End").toStdString(), order.size() - 1);
    if (last < first)
        std::swap(first, last);
    result.assign(order.begin() + static_cast<std::ptrdiff_t>(first),
                  order.begin() + static_cast<std::ptrdiff_t>(last) + 1);
    return result;
}

void CKV_Gui_Control_App_Seitenwechsel_Slider::apply_record()
{
    CKV_Gui_Control::apply_record();
    m_pages = collect_pages();
    // The page this selector lies on is selected when it is in the range.
    const auto own = std::find(m_pages.begin(), m_pages.end(), canvas()->page_guid());
    m_selected = m_pages.empty() ? -1 : (own == m_pages.end() ? 0 : static_cast<int>(own - m_pages.begin()));
    update();
}

bool CKV_Gui_Control_App_Seitenwechsel_Slider::step(int direction)
{
    const int next = m_selected + (direction < 0 ? -1 : 1);
    if (m_selected < 0 || next < 0 || next >= static_cast<int>(m_pages.size()))
        return false;
    m_selected = next;
    update();
    host().goPage(m_pages[static_cast<size_t>(next)]);
    return true;
}

bool CKV_Gui_Control_App_Seitenwechsel_Slider::is_wide() const
{
    return width() > 2 * height();
}

QRect CKV_Gui_Control_App_Seitenwechsel_Slider::arrow_rect(bool up) const
{
    // A flat selector keeps finger-sized arrows left and right of the caption.
    if (is_wide()) {
        const int side = std::max(height(), width() / 4);
        return up ? QRect(0, 0, side, height()) : QRect(width() - side, 0, side, height());
    }
    const int band = height() / 3;
    return up ? QRect(0, 0, width(), band) : QRect(0, height() - band, width(), band);
}

QRect CKV_Gui_Control_App_Seitenwechsel_Slider::pressed_area() const
{
    for (bool up : {true, false})
        if (arrow_rect(up).contains(press_point()))
            return arrow_rect(up);
    return {};
}

void CKV_Gui_Control_App_Seitenwechsel_Slider::on_release(const QPoint& point)
{
    if (arrow_rect(true).contains(point))
        step(-1);
    else if (arrow_rect(false).contains(point))
        step(+1);
}

void CKV_Gui_Control_App_Seitenwechsel_Slider::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    prepare_painter(painter);
    if (backgroundcolor().isValid() && backgroundcolor().alpha() > 0)
        painter.fillRect(rect(), backgroundcolor());

    const int last = static_cast<int>(m_pages.size()) - 1;
    auto draw_arrow = [&](bool up, bool enabled) {
        const QRectF box = arrow_rect(up);
        const qreal w = std::min(box.width(), box.height()) * 0.5;
        const QPointF c = box.center();
        // Points up (or left, when flat) for the previous page.
        const qreal tip = up ? -w / 4 : w / 4;
        QPainterPath chevron;
        if (is_wide()) {
            chevron.moveTo(c.x() - tip, c.y() - w / 2);
            chevron.lineTo(c.x() + tip, c.y());
            chevron.lineTo(c.x() - tip, c.y() + w / 2);
        } else {
            chevron.moveTo(c.x() - w / 2, c.y() - tip);
            chevron.lineTo(c.x(), c.y() + tip);
            chevron.lineTo(c.x() + w / 2, c.y() - tip);
        }
        painter.setPen(QPen(enabled ? btncolorpageswipeactpage() : btncolorpageswipepage(), 2.5, Qt::SolidLine,
                            Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(chevron);
    };
    draw_arrow(true, m_selected > 0);
    draw_arrow(false, m_selected >= 0 && m_selected < last);

    QString caption;
    if (m_selected >= 0)
        if (const KV_GUI_Page* page = host().find_page(m_pages[static_cast<size_t>(m_selected)]))
            caption = QString::fromStdString(page->m_str_caption);
    const QRect first = arrow_rect(true);
    const QRect second = arrow_rect(false);
    const QRect between = is_wide() ? QRect(first.right() + 1, 0, second.left() - first.right() - 1, height())
                                    : QRect(0, first.bottom() + 1, width(), second.top() - first.bottom() - 1);
    painter.setFont(text_font());
    painter.setPen(or_default(btncolortext(), static_text_color()));
    painter.drawText(between, Qt::AlignCenter, caption);
}
