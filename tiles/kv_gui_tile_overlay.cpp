#include "kv_gui_tile_overlay.h"

#include <QEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPropertyAnimation>
#include <QToolButton>
#include <algorithm>

#include "kv_touch.h"

namespace {
const char* const SAMPLE_TEXT = "-25.9°C";
}

CKV_Gui_Control_Tile_Overlay_Base::CKV_Gui_Control_Tile_Overlay_Base(QWidget* page)
    : QWidget(page)
{
    setObjectName(QStringLiteral("kv_gui_tile_overlay"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    hide();

    m_slide_x = new QPropertyAnimation(this, "x", this);
    m_slide_y = new QPropertyAnimation(this, "y", this);
    for (QPropertyAnimation* animation : {m_slide_x, m_slide_y}) {
        animation->setDuration(SLIDE_MS);
        animation->setEasingCurve(QEasingCurve::OutSine);
        m_slide.addAnimation(animation);
    }
    connect(&m_slide, &QAbstractAnimation::finished, this, &CKV_Gui_Control_Tile_Overlay_Base::slide_finished);
    m_frame_timer.setInterval(FRAME_MS);
    connect(&m_frame_timer, &QTimer::timeout, this, qOverload<>(&QWidget::update));

    m_close = new QToolButton(this);
    m_close->setObjectName(QStringLiteral("kv_overlay_close"));
    m_close->setIcon(QIcon(QStringLiteral(":/images/Tablet/tablet_Schliessen.svg")));
    m_close->setIconSize(QSize(32, 32));
    m_close->setAutoRaise(true);
    m_close->setGeometry(12, 12, KV_FINGER_PX, KV_FINGER_PX);
    connect(m_close, &QToolButton::clicked, this, [this] { set_visible_animated(false); });

    if (page)
        page->installEventFilter(this);
    measure();
}

QFont CKV_Gui_Control_Tile_Overlay_Base::panel_font(int pixel_size, bool medium) const
{
    QFont font(medium ? QStringLiteral("Graphik Medium") : QStringLiteral("Graphik Regular"));
    font.setPixelSize(pixel_size);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

void CKV_Gui_Control_Tile_Overlay_Base::measure()
{
    m_sample_size = QFontMetrics(panel_font(36)).size(Qt::TextSingleLine, QString::fromUtf8(SAMPLE_TEXT));
}

QPoint CKV_Gui_Control_Tile_Overlay_Base::closed_position() const
{
    return {parentWidget() ? parentWidget()->width() : width(), 0};
}

bool CKV_Gui_Control_Tile_Overlay_Base::eventFilter(QObject* watched, QEvent* event)
{
    // The panel always covers the whole page, also after the window resizes.
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        resize(parentWidget()->size());
        if (m_state == State::Open)
            move(open_position());
    }
    return QWidget::eventFilter(watched, event);
}

void CKV_Gui_Control_Tile_Overlay_Base::set_visible_animated(bool visible)
{
    if (visible == m_target_open && m_state != State::Hidden)
        return;
    if (!visible && m_state == State::Hidden)
        return;
    if (visible && m_state == State::Hidden) {
        if (parentWidget())
            resize(parentWidget()->size());
        move(closed_position());
        show();
        raise();
    }
    slide_to(visible);
}

void CKV_Gui_Control_Tile_Overlay_Base::slide_to(bool open)
{
    m_target_open = open;
    m_slide.stop();
    const QPoint target = open ? open_position() : closed_position();
    m_slide_x->setStartValue(x());
    m_slide_x->setEndValue(target.x());
    m_slide_y->setStartValue(y());
    m_slide_y->setEndValue(target.y());
    m_state = State::Sliding;
    set_widgets_live(false);
    m_frame_timer.start();
    m_slide.start();
}

void CKV_Gui_Control_Tile_Overlay_Base::slide_finished()
{
    m_frame_timer.stop();
    if (m_target_open) {
        m_state = State::Open;
        set_widgets_live(true);
        emit opened();
    } else {
        m_state = State::Hidden;
        hide();
        emit closed();
    }
}

void CKV_Gui_Control_Tile_Overlay_Base::set_widgets_live(bool live)
{
    // A press on a dead widget lands on the panel, which ignores it.
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        child->setAttribute(Qt::WA_TransparentForMouseEvents, !live);
}

void CKV_Gui_Control_Tile_Overlay_Base::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform | QPainter::TextAntialiasing);
    painter.fillRect(rect(), BACKGROUND);
    paint_panel(painter);
}

void CKV_Gui_Control_Tile_Overlay_Base::paint_panel(QPainter&)
{
}

void CKV_Gui_Control_Tile_Overlay_Base::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || m_state != State::Open)
        return;
    m_dragging = false;
    m_drag_start_x = int(event->globalPosition().x());
    m_drag_panel_x = x();
}

void CKV_Gui_Control_Tile_Overlay_Base::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton) || m_state != State::Open)
        return;
    const int dx = int(event->globalPosition().x()) - m_drag_start_x;
    if (!m_dragging && std::abs(dx) < 4)
        return; // a tap, not a drag
    m_dragging = true;
    set_x(std::max(0, m_drag_panel_x + dx));
}

void CKV_Gui_Control_Tile_Overlay_Base::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_dragging)
        return;
    m_dragging = false;
    m_frame_timer.stop();
    slide_to(x() < width() * CLOSE_DRAG_PART);
}
