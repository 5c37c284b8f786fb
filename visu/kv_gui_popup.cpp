#include "kv_gui_popup.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QToolTip>

#include "kv_gui_container.h"
#include "kv_trace.h"
#include "kv_visu_host.h"

namespace {
// Closes the popup on a click beside it.
class Popup_Backdrop : public QWidget {
public:
    Popup_Backdrop(QWidget* parent, CKV_Gui_Control_Popup_Container* popup)
        : QWidget(parent)
        , m_popup(popup)
    {
        hide();
    }

protected:
    void mousePressEvent(QMouseEvent* event) override { event->accept(); }
    void mouseReleaseEvent(QMouseEvent*) override { m_popup->close_popup(); }
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), QColor(0, 0, 0, 60)); }

private:
    CKV_Gui_Control_Popup_Container* m_popup;
};

int aligned(int choice, int start, int room, int size)
{
    switch (choice) {
    case 0:
        return start;
    case 2:
        return start + room - size;
    default:
        return start + (room - size) / 2;
    }
}
} // namespace

void CKV_Gui_Control_Popup_Container::apply_record()
{
    CKV_Gui_Control::apply_record();
    m_align_h = param_int("Ausrichtung Horizontal");
    m_align_v = param_int("Ausrichtung Vertikal");
}

void CKV_Gui_Control_Popup_Container::attach_to_parent()
{
    CKV_Gui_Control::attach_to_parent();
    hide();
}

void CKV_Gui_Control_Popup_Container::watch_controls(CKV_Gui_Control* control)
{
    for (CKV_Gui_Control* child : control->children_controls()) {
        child->removeEventFilter(this);
        child->installEventFilter(this);
        watch_controls(child);
    }
}

void CKV_Gui_Control_Popup_Container::open(bool centred, bool close_after_use)
{
    m_centred = centred;
    m_close_after_use = close_after_use;
    if (!m_backdrop)
        m_backdrop = new Popup_Backdrop(parentWidget(), this);
    place_in_view();
    watch_controls(this);
    m_backdrop->show();
    m_backdrop->raise();
    show();
    raise();
    host().set_popup_open(true);
}

void CKV_Gui_Control_Popup_Container::place_in_view()
{
    QWidget* page = parentWidget();
    m_backdrop->setGeometry(page->rect());
    // The visible part of the page inside the scroll area.
    QRect visible = page->rect();
    if (QScrollArea* area = canvas()->scroll_area()) {
        visible = QRect(QPoint(area->horizontalScrollBar()->value(), area->verticalScrollBar()->value()),
                        area->viewport()->size())
                      .intersected(page->rect());
    }
    const int h = m_centred ? 1 : m_align_h;
    const int v = m_centred ? 1 : m_align_v;
    move(aligned(h, visible.left(), visible.width(), width()), aligned(v, visible.top(), visible.height(), height()));
}

int CKV_Gui_Control_Popup_Container::place_scaled(double sx, double sy)
{
    const int bottom = CKV_Gui_Control::place_scaled(sx, sy);
    // Once the scroll area has laid out its bars and view for the new size.
    if (is_open())
        QMetaObject::invokeMethod(this, &CKV_Gui_Control_Popup_Container::place_in_view, Qt::QueuedConnection);
    return bottom;
}

void CKV_Gui_Control_Popup_Container::close_popup()
{
    hide();
}

bool CKV_Gui_Control_Popup_Container::eventFilter(QObject*, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease && m_close_after_use && isVisible())
        QTimer::singleShot(0, this, &CKV_Gui_Control_Popup_Container::close_popup);
    return false;
}

void CKV_Gui_Control_Popup_Container::mouseReleaseEvent(QMouseEvent* event)
{
    // A click on the popup's own background closes it.
    CKV_Gui_Control::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton)
        close_popup();
}

void CKV_Gui_Control_Popup_Container::hideEvent(QHideEvent* event)
{
    CKV_Gui_Control::hideEvent(event);
    if (m_backdrop)
        m_backdrop->hide();
    host().set_popup_open(false);
}

void CKV_Gui_Control_Popup_Container::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    prepare_painter(painter);
    painter.setPen(border_pen());
    painter.setBrush(or_default(backgroundcolor(), header_bg_color()));
    painter.drawRoundedRect(frame_box(), borderradius(), borderradius());
}

void CKV_Gui_Control_Popup_Button::apply_record()
{
    CKV_Gui_Control_Triggered::apply_record();
    m_centred = param_int("Popup zentrieren") != 0;
    if (CKV_Gui_Control_Popup_Container* container = popup())
        add_popup(container);
}

bool CKV_Gui_Control_Popup_Button::opens_once() const
{
    return type() == 202 || type() == 1515;
}

CKV_Gui_Control_Popup_Container* CKV_Gui_Control_Popup_Button::popup() const
{
    return qobject_cast<CKV_Gui_Control_Popup_Container*>(canvas()->find_control(param("Container").toStdString()));
}

void CKV_Gui_Control_Popup_Button::act()
{
    CKV_Gui_Control_Popup_Container* container = popup();
    if (!container) {
        const QString text = canvas()->controls_of_type({201, 1121, 1514}).isEmpty()
                                 ? QStringLiteral("Keine Controls vom Typ Popup Container vorhanden!")
                                 : QString();
        TRACE(kv_trace::LEVEL_MSG, kv_trace::AREA_ZRQ, "POPUP CONTAINER NOT FOUND: %s\n",
              param("Container").toUtf8().constData());
        if (!text.isEmpty())
            QToolTip::showText(mapToGlobal(rect().center()), text, this);
        return;
    }
    container->open(m_centred, opens_once());
}

void CKV_Gui_Control_Popup_Button::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    prepare_painter(painter);
    painter.setPen(border_pen());
    painter.setBrush(shows_pressed() ? or_default(btncolorpress(), btn_cta_active_color())
                                     : or_default(btncolorface(), btn_cta_default_color()));
    painter.drawRoundedRect(frame_box(), borderradius(), borderradius());
    painter.setFont(text_font());
    painter.setPen(or_default(btncolortext(), btn_cta_text_color()));
    painter.drawText(rect(), Qt::AlignCenter, name_text());
}
