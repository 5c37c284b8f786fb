#include "kv_gui_container.h"

#include <QEasingCurve>
#include <QGestureEvent>
#include <QPainter>
#include <QScrollBar>
#include <QScroller>
#include <QScrollerProperties>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "kv_gui_control.h"
#include "kv_gui_factory.h"
#include "kv_gui_value_dispatch.h"
#include "kv_touch.h"
#include "kv_trace.h"
#include "kv_visu_host.h"

namespace {
int design_extent(int value)
{
    return value < 1 ? 100 : value;
}

QColor page_color(const std::string& text)
{
    const QColor color(QLatin1Char('#') + QString::fromStdString(text));
    return color.isValid() ? color : QColor(Qt::white);
}
} // namespace

CKV_Gui_Control_Container::CKV_Gui_Control_Container(KV_Visu_Host& host, const KV_GUI_Page& page, QWidget* parent,
                                                     Controls controls)
    : QWidget(nullptr)
    , m_host(host)
    , m_page_guid(page.m_str_guid)
    , m_vertical(page.m_page_orientation != 0)
    , m_width(design_extent(page.m_width))
    , m_height(design_extent(page.m_height))
    , m_width_virt(page.m_width_virt)
    , m_height_virt(page.m_height_virt)
{
    m_animation_tick.setInterval(ANIMATION_TICK_MS);
    connect(&m_animation_tick, &QTimer::timeout, this, &CKV_Gui_Control_Container::animation_tick);
    m_scroll = new CKV_Gui_Control_Container_Sv(parent);
    m_scroll->setWidget(this);
    m_host.dispatch().add_canvas(this);

    setAcceptDrops(true);
    apply_page_settings();
    installEventFilter(this);

    if (m_host.run_mode()) {
        grabGesture(Qt::PanGesture);
        grabGesture(Qt::PinchGesture);
        // One finger swipes; Qt's own swipe needs three.
        grabGesture(KV_Swipe_Recognizer::type());
        grabGesture(Qt::TapAndHoldGesture);
        m_zoom_allowed = true;
        m_scroll->enable_kinetic_scrolling();
    }
    if (controls == Controls::Now)
        load_more_controls(QDeadlineTimer(QDeadlineTimer::Forever));
}

CKV_Gui_Control_Container::~CKV_Gui_Control_Container()
{
    // The controls die with the widget tree after this; they leave the
    // value path now, while the host is certainly reachable.
    leave_value_path();
}

void CKV_Gui_Control_Container::leave_value_path()
{
    m_animation_tick.stop();
    for (CKV_Gui_Control* control : findChildren<CKV_Gui_Control*>())
        control->unsubscribe();
    m_host.dispatch().remove_canvas(this);
}

void CKV_Gui_Control_Container::apply_touch_roles()
{
    const Qt::GestureType flick = QScroller::grabbedGesture(m_scroll->viewport());
    for (CKV_Gui_Control* control : std::as_const(m_controls)) {
        control->apply_press_through();
        if (!control->owns_drag())
            continue;
        // A gesture grabbed by a child wins over the same gesture of its
        // parents, and neither the scroller nor the swipe act on children.
        control->grabGesture(flick);
        control->grabGesture(KV_Swipe_Recognizer::type());
    }
}

void CKV_Gui_Control_Container::request_animation_tick()
{
    m_animation_requested = true;
    if (!m_animation_tick.isActive())
        m_animation_tick.start();
}

void CKV_Gui_Control_Container::animation_tick()
{
    m_animation_requested = false;
    for (CKV_Gui_Control* control : std::as_const(m_controls))
        control->notify_children(100);
    if (!m_animation_requested)
        m_animation_tick.stop();
}

KV_GUI_Page* CKV_Gui_Control_Container::page_record() const
{
    return m_host.find_page(m_page_guid);
}

bool CKV_Gui_Control_Container::load_more_controls(const QDeadlineTimer& deadline)
{
    if (m_loaded)
        return true;
    const KV_GUI_Page* page = page_record();
    if (!page)
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_ZRQ, "PAGE NOT FOUND: %s\n", m_page_guid.c_str());
    const size_t count = page ? page->m_controls.size() : 0;
    if (m_next_record < count) {
        do
            create_control(*page->m_controls[m_next_record++], true);
        while (m_next_record < count && !deadline.hasExpired());
        if (m_next_record < count)
            return false;
    }
    // A child may come before its parent control in the page.
    for (CKV_Gui_Control* control : std::as_const(m_controls))
        control->attach_to_parent();
    if (m_host.run_mode())
        apply_touch_roles();
    m_modified = false; // as loaded
    m_loaded = true;
    return true;
}

void CKV_Gui_Control_Container::store_controls()
{
    KV_GUI_Page* page = page_record();
    if (!page)
        return;
    page->m_controls.clear();
    for (CKV_Gui_Control* control : std::as_const(m_controls))
        page->m_controls.push_back(std::make_unique<KV_GUI_Control>(control->record()));
}

CKV_Gui_Control* CKV_Gui_Control_Container::create_control(const KV_GUI_Control& record, bool append)
{
    CKV_Gui_Control* control = kv_create_control(this, record);
    control->apply_record();
    control->show();
    if (append)
        m_controls.append(control);
    control->installEventFilter(this);
    return control;
}

void CKV_Gui_Control_Container::apply_page_settings()
{
    setMinimumSize(m_width, m_height);
    setMaximumSize(m_width, m_height);
    if (const KV_GUI_Page* page = page_record()) {
        m_color_bg = page_color(page->m_str_bg_color);
        m_color_frame = page_color(page->m_str_frame_color);
        m_image_bg = page->m_str_image_bg.empty() ? QPixmap() : m_host.image(QString::fromStdString(page->m_str_image_bg));
        m_image_bg_scaled = QPixmap();
        m_image_icon =
            page->m_str_image_icon.empty() ? QPixmap() : m_host.image(QString::fromStdString(page->m_str_image_icon));
        m_zoom_to_page = page->m_zoom_to_page;
        m_keep_aspect = page->m_keep_aspect;
        m_align = page->m_align;
    } else {
        m_color_bg = QColor(Qt::white);
        m_color_frame = m_color_bg;
    }
    QPalette palette = m_scroll->palette();
    palette.setColor(QPalette::Window, m_color_bg);
    m_scroll->setPalette(palette);
    m_scroll->setBackgroundRole(QPalette::Window);
    update();
}

void CKV_Gui_Control_Container::fit_to_view(const QSize& view)
{
    double view_w = view.width();
    double view_h = view.height();
    if (m_zoom_allowed) {
        view_w *= m_zoom;
        view_h *= m_zoom;
    }
    if (view_w <= 0)
        view_w = 100;
    if (view_h <= 0)
        view_h = 100;
    m_width = design_extent(m_width);
    m_height = design_extent(m_height);
    const double scale = std::max(view_w / m_width, view_h / m_height);
    const int height = static_cast<int>(std::lround(m_height * scale));
    const int width = m_vertical ? static_cast<int>(view_w) : static_cast<int>(std::lround(m_width * scale));
    setMinimumSize(width, height);
    setMaximumSize(width, height);
    resize(width, height);
    place_controls();
}

void CKV_Gui_Control_Container::place_controls()
{
    if (m_host.pages_ready())
        place_controls_now();
}

void CKV_Gui_Control_Container::place_controls_now()
{
    if (m_placing)
        return;
    m_placing = true;
    const double sx = double(width()) / m_width;
    double sy = double(height()) / m_height;
    if (m_host.orientation() == KV_ORIENTATION_PORTRAIT)
        sy = sx;
    int bottom = 0;
    for (CKV_Gui_Control* control : std::as_const(m_controls)) {
        if (control->parentWidget() == this)
            bottom = std::max(bottom, control->place_scaled(sx, sy));
    }
    // A vertical page grows to hold its lowest control and scrolls.
    if (m_vertical && bottom > height()) {
        setMinimumHeight(bottom);
        setMaximumHeight(bottom);
        resize(width(), bottom);
    }
    m_placing = false;
}

void CKV_Gui_Control_Container::dispatch_telegram(const KV_Addr_Tgm& telegram)
{
    for (CKV_Gui_Control* control : std::as_const(m_controls))
        control->on_telegram(telegram);
}

void CKV_Gui_Control_Container::dispatch_message(const CKV_Network_Msg& header, const unsigned char* payload)
{
    for (CKV_Gui_Control* control : std::as_const(m_controls))
        control->on_message(header, payload);
}

QList<CKV_Gui_Control*> CKV_Gui_Control_Container::controls_of_type(std::initializer_list<int> types) const
{
    QList<CKV_Gui_Control*> result;
    for (CKV_Gui_Control* control : m_controls) {
        if (std::find(types.begin(), types.end(), control->type()) != types.end())
            result.append(control);
    }
    return result;
}

CKV_Gui_Control* CKV_Gui_Control_Container::find_control(const std::string& guid) const
{
    if (guid.empty())
        return nullptr;
    for (CKV_Gui_Control* control : m_controls) {
        if (control->record().m_str_guid == guid)
            return control;
    }
    return nullptr;
}

void CKV_Gui_Control_Container::set_zoom(float zoom)
{
    m_zoom = std::clamp(zoom, KV_ZOOM_MIN, KV_ZOOM_MAX);
    m_scroll->fit_page();
}

void CKV_Gui_Control_Container::pinch_zoom(qreal total_scale, Qt::GestureState state)
{
    if (!m_zoom_allowed || m_host.orientation() != KV_ORIENTATION_LANDSCAPE)
        return;
    if (state == Qt::GestureStarted)
        m_pinch_base = m_zoom;
    set_zoom(static_cast<float>(m_pinch_base * total_scale));
    // A pinch never leaves the page smaller than the window.
    if (state == Qt::GestureFinished && m_zoom < 1.0f)
        set_zoom(1.0f);
}

void CKV_Gui_Control_Container::wheel_zoom(int delta)
{
    if (!m_zoom_allowed || delta == 0)
        return;
    set_zoom(m_zoom + (delta > 0 ? KV_ZOOM_WHEEL_STEP : -KV_ZOOM_WHEEL_STEP));
}

bool CKV_Gui_Control_Container::gesture_event(QGestureEvent* event)
{
    if (auto* pinch = static_cast<QPinchGesture*>(event->gesture(Qt::PinchGesture))) {
        if (pinch->state() == Qt::GestureStarted)
            note_takeover();
        pinch_zoom(pinch->totalScaleFactor(), pinch->state());
    }
    if (auto* swipe = static_cast<KV_Swipe_Gesture*>(event->gesture(KV_Swipe_Recognizer::type()))) {
        if (swipe->state() == Qt::GestureStarted)
            note_takeover();
        else if (swipe->state() == Qt::GestureFinished)
            swipe_finished(swipe->to_left());
    }
    event->accept();
    return true;
}

void CKV_Gui_Control_Container::swipe_finished(bool to_left)
{
    // A page that scrolls sideways scrolls first; it changes only once the
    // finger starts at the end it pushes against.
    const QScrollBar* bar = m_scroll->horizontalScrollBar();
    const int start = m_scroll->press_scroll_x();
    if (bar->maximum() > bar->minimum() && start != (to_left ? bar->maximum() : bar->minimum()))
        return;
    if (to_left)
        m_host.goPrevPage();
    else
        m_host.goNextPage();
}

bool CKV_Gui_Control_Container::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != this)
        return false;
    if (event->type() == QEvent::Gesture)
        return gesture_event(static_cast<QGestureEvent*>(event));
    if (event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (m_host.run_mode() && (wheel->modifiers() & Qt::ControlModifier))
            wheel_zoom(wheel->angleDelta().y());
        // Scrolling goes on as usual.
        return false;
    }
    return false;
}

QRect CKV_Gui_Control_Container::background_rect(const QSize& image) const
{
    const int canvas_w = width();
    const int canvas_h = height();
    QSize drawn;
    if (m_zoom_to_page && m_keep_aspect) {
        drawn = QSize(canvas_w, image.height() * canvas_w / image.width());
        if (drawn.height() > canvas_h) {
            drawn = QSize(image.width() * canvas_h / image.height(), canvas_h);
            if (drawn.width() > canvas_w)
                drawn = QSize(canvas_w, image.height() * canvas_w / image.width());
        }
    } else if (m_zoom_to_page) {
        drawn = QSize(canvas_w, canvas_h);
    } else {
        drawn = QSize(image.width() * canvas_w / m_width, image.height() * canvas_h / m_height);
    }
    int x = 0;
    if (m_align & Qt::AlignHCenter)
        x = canvas_w / 2 - drawn.width() / 2;
    else if (m_align & Qt::AlignRight)
        x = canvas_w - drawn.width();
    int y = 0;
    if (m_align & Qt::AlignVCenter)
        y = canvas_h / 2 - drawn.height() / 2;
    else if (m_align & Qt::AlignBottom)
        y = canvas_h - drawn.height();
    return QRect(QPoint(x, y), drawn);
}

void CKV_Gui_Control_Container::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_color_bg);
    if (m_image_bg.width() > 0 && m_image_bg.height() > 0) {
        // Smooth scaling costs far more than drawing: once per size.
        const QRect target = background_rect(m_image_bg.size());
        if (m_image_bg_scaled.size() != target.size())
            m_image_bg_scaled = m_image_bg.scaled(target.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        painter.drawPixmap(target.topLeft(), m_image_bg_scaled);
    }
}


CKV_Gui_Control_Container_Sv::CKV_Gui_Control_Container_Sv(QWidget* parent)
    : QScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(false);
}

CKV_Gui_Control_Container* CKV_Gui_Control_Container_Sv::canvas() const
{
    return qobject_cast<CKV_Gui_Control_Container*>(widget());
}

void CKV_Gui_Control_Container_Sv::enable_kinetic_scrolling()
{
    QScroller::grabGesture(viewport(), QScroller::TouchGesture);
    QScroller* scroller = QScroller::scroller(viewport());
    QScrollerProperties properties = scroller->scrollerProperties();
    properties.setScrollMetric(QScrollerProperties::DragStartDistance, 0.001);
    properties.setScrollMetric(QScrollerProperties::AxisLockThreshold, 1);
    properties.setScrollMetric(QScrollerProperties::MinimumVelocity, 0);
    properties.setScrollMetric(QScrollerProperties::MaximumVelocity, 1.0);
    properties.setScrollMetric(QScrollerProperties::MaximumClickThroughVelocity, 0);
    properties.setScrollMetric(QScrollerProperties::ScrollingCurve, QEasingCurve(QEasingCurve::OutQuad));
    properties.setScrollMetric(QScrollerProperties::AcceleratingFlickSpeedupFactor, 1.5);
    properties.setScrollMetric(QScrollerProperties::AcceleratingFlickMaximumTime, 0.3);
    properties.setScrollMetric(QScrollerProperties::OvershootDragResistanceFactor, 0.05);
    properties.setScrollMetric(QScrollerProperties::OvershootScrollDistanceFactor, 0.05);
    scroller->setScrollerProperties(properties);
    connect(scroller, &QScroller::stateChanged, this, [this](QScroller::State state) {
        if (state == QScroller::Pressed) {
            m_caught_flick = m_scroller_state == QScroller::Scrolling;
            m_press_scroll_x = horizontalScrollBar()->value();
        }
        if (state == QScroller::Dragging)
            if (CKV_Gui_Control_Container* page = canvas())
                page->note_takeover();
        m_scroller_state = state;
    });
}

void CKV_Gui_Control_Container_Sv::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    fit_page();
}

void CKV_Gui_Control_Container_Sv::fit_page()
{
    CKV_Gui_Control_Container* page = canvas();
    if (!page)
        return;
    QSize view = maximumViewportSize();
    page->fit_to_view(view);
    const bool tall = page->height() > view.height();
    const bool wide = page->width() > view.width();
    if (!tall && !wide)
        return;
    if (tall)
        view.rwidth() -= verticalScrollBar()->sizeHint().width();
    if (wide)
        view.rheight() -= horizontalScrollBar()->sizeHint().height();
    page->fit_to_view(view);
}

