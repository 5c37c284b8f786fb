#include "kv_logger_chart.h"

#include <QApplication>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QGestureEvent>
#include <QGraphicsLineItem>
#include <QLineSeries>
#include <QPinchGesture>
#include <QTouchEvent>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace {
// Colours that read on light and dark backgrounds alike.
const QColor CURVE_COLORS[] = {QColor(0xe0, 0x55, 0x3a), QColor(0x2a, 0x9d, 0xf4), QColor(0x3c, 0xb3, 0x71),
                               QColor(0xe8, 0xa8, 0x00), QColor(0xa0, 0x5c, 0xd6), QColor(0x20, 0xb2, 0xaa),
                               QColor(0xe0, 0x5f, 0xa8), QColor(0x8c, 0x8c, 0x8c)};

QString axis_format(int64_t span)
{
    if (span <= 2 * 86'400'000LL)
        return QStringLiteral("HH:mm");
    if (span <= 14 * 86'400'000LL)
        return QStringLiteral("ddd dd.MM.");
    return QStringLiteral("dd.MM.yy");
}

// A switching value keeps its level until the next point.
QVector<QPointF> as_steps(const QVector<QPointF>& points)
{
    QVector<QPointF> steps;
    steps.reserve(points.size() * 2);
    for (qsizetype i = 0; i < points.size(); ++i) {
        if (i > 0 && points[i].x() > points[i - 1].x())
            steps.append(QPointF(points[i].x(), points[i - 1].y()));
        steps.append(points[i]);
    }
    return steps;
}
} // namespace

CKV_Logger_Chart::CKV_Logger_Chart(QWidget* parent)
    : QChartView(new QChart, parent)
{
    setObjectName(QStringLiteral("m_chart_logger"));
    QChart* c = chart();
    c->legend()->hide();
    c->setMargins(QMargins(4, 4, 4, 4));
    m_axis_t = new QDateTimeAxis;
    m_axis_t->setTickCount(7);
    m_axis_v = new QValueAxis;
    m_axis_v->setLabelFormat(QStringLiteral("%.1f"));
    c->addAxis(m_axis_t, Qt::AlignBottom);
    c->addAxis(m_axis_v, Qt::AlignLeft);
    m_crosshair = scene()->addLine(QLineF(), QPen(QColor(0x80, 0x80, 0x80), 1.5, Qt::DashLine));
    m_crosshair->setZValue(10);
    m_crosshair->hide();

    viewport()->setAttribute(Qt::WA_AcceptTouchEvents);
    viewport()->grabGesture(Qt::PinchGesture);
    set_dark(false);
    apply_range(m_t0, m_t1, false);
}

void CKV_Logger_Chart::set_curves(const QList<Curve>& curves)
{
    for (const QList<QLineSeries*>& runs : std::as_const(m_series))
        for (QLineSeries* series : runs) {
            chart()->removeSeries(series);
            delete series;
        }
    m_series.clear();
    m_curves = curves;
    m_series.resize(curves.size());
    m_crosshair_t = -1;
    m_crosshair->hide();
}

QColor CKV_Logger_Chart::curve_color(int curve) const
{
    return CURVE_COLORS[static_cast<size_t>(curve) % std::size(CURVE_COLORS)];
}

void CKV_Logger_Chart::clear_data()
{
    for (qsizetype c = 0; c < m_series.size(); ++c)
        set_runs(int(c), {});
}

void CKV_Logger_Chart::set_data(const QList<Runs>& curves, double low, double high)
{
    // Every series is laid out again when an axis changes and when its
    // points change: emptied first, the new points are laid out only once.
    clear_data();
    if (std::isfinite(low) && std::isfinite(high))
        set_value_range(low, high);
    for (qsizetype c = 0; c < curves.size(); ++c)
        set_runs(int(c), curves[c]);
}

void CKV_Logger_Chart::set_runs(int curve, const Runs& runs)
{
    if (curve < 0 || curve >= m_series.size())
        return;
    QList<QLineSeries*>& pool = m_series[curve];
    // Series are kept and refilled: making them is what costs.
    while (pool.size() < runs.size()) {
        auto* series = new QLineSeries;
        series->setName(m_curves[curve].name);
        chart()->addSeries(series);
        series->attachAxis(m_axis_t);
        series->attachAxis(m_axis_v);
        series->setPen(curve_pen(curve));
        pool.append(series);
    }
    for (qsizetype i = 0; i < pool.size(); ++i) {
        if (i < runs.size())
            pool[i]->replace(m_curves[curve].step ? as_steps(runs[i]) : runs[i]);
        else if (pool[i]->count() > 0)
            pool[i]->clear();
    }
}

int CKV_Logger_Chart::drawn_points(int curve) const
{
    int count = 0;
    if (curve >= 0 && curve < m_series.size())
        for (const QLineSeries* series : m_series[curve])
            count += series->count();
    return count;
}

void CKV_Logger_Chart::set_value_range(double low, double high)
{
    if (!(high > low)) {
        low -= 1.0;
        high += 1.0;
    }
    const double margin = (high - low) * 0.08;
    m_axis_v->setRange(low - margin, high + margin);
    // Nice numbers change the tick count: from the same start each time, so
    // that the same values get the same scale.
    m_axis_v->setTickCount(VALUE_TICKS);
    m_axis_v->applyNiceNumbers();
}

QPen CKV_Logger_Chart::curve_pen(int curve) const
{
    return QPen(curve_color(curve), m_thin ? 1.0 : 2.0);
}

void CKV_Logger_Chart::update_pens()
{
    for (qsizetype c = 0; c < m_series.size(); ++c)
        for (QLineSeries* series : std::as_const(m_series[c]))
            series->setPen(curve_pen(int(c)));
}

void CKV_Logger_Chart::set_dark(bool dark)
{
    chart()->setTheme(dark ? QChart::ChartThemeDark : QChart::ChartThemeLight);
    update_pens(); // the theme sets its own pens: the curves keep theirs
    chart()->legend()->hide();
    setBackgroundBrush(chart()->backgroundBrush());
}

void CKV_Logger_Chart::set_range(int64_t t0, int64_t t1) { apply_range(t0, t1, false); }

void CKV_Logger_Chart::apply_range(int64_t t0, int64_t t1, bool by_user)
{
    int64_t span = std::clamp<int64_t>(t1 - t0, MIN_SPAN_MS, MAX_SPAN_MS);
    const int64_t middle = t0 + (t1 - t0) / 2;
    if (span != t1 - t0) {
        t0 = middle - span / 2;
        t1 = t0 + span;
    }
    m_t0 = t0;
    m_t1 = t1;
    m_axis_t->setFormat(axis_format(span));
    // Over days, each pixel column is an up-and-down stroke of minimum and
    // maximum: a one-pixel pen draws those bands three times as fast.
    if (const bool thin = span > THIN_PEN_SPAN_MS; thin != m_thin) {
        m_thin = thin;
        update_pens();
    }
    // Over weeks the bands are upright strokes side by side: smoothing their
    // edges shows nothing and costs half the drawing.
    setRenderHint(QPainter::Antialiasing, span <= SMOOTH_SPAN_MS);
    m_axis_t->setRange(QDateTime::fromMSecsSinceEpoch(t0), QDateTime::fromMSecsSinceEpoch(t1));
    place_crosshair(m_crosshair_t);
    if (by_user)
        emit range_changed(t0, t1);
}

int CKV_Logger_Chart::plot_width() const { return std::max(1, int(chart()->plotArea().width())); }

int64_t CKV_Logger_Chart::time_at(qreal x) const
{
    const QRectF plot = chart()->plotArea();
    const double f = plot.width() > 0 ? (x - plot.left()) / plot.width() : 0.0;
    return m_t0 + static_cast<int64_t>(std::llround(f * double(m_t1 - m_t0)));
}

void CKV_Logger_Chart::place_crosshair(int64_t t)
{
    m_crosshair_t = t;
    const QRectF plot = chart()->plotArea();
    if (t < m_t0 || t > m_t1 || m_t1 <= m_t0) {
        m_crosshair->hide();
        return;
    }
    const qreal x = plot.left() + plot.width() * double(t - m_t0) / double(m_t1 - m_t0);
    m_crosshair->setLine(QLineF(x, plot.top(), x, plot.bottom()));
    m_crosshair->show();
}

void CKV_Logger_Chart::pan_by_pixels(qreal dx)
{
    const auto shift = static_cast<int64_t>(std::llround(-dx * double(m_t1 - m_t0) / plot_width()));
    apply_range(m_t0 + shift, m_t1 + shift, true);
}

void CKV_Logger_Chart::zoom(double factor, qreal x)
{
    if (!(factor > 0))
        return;
    const int64_t anchor = std::clamp(time_at(x), m_t0, m_t1);
    const double fraction = double(anchor - m_t0) / double(m_t1 - m_t0);
    const auto span =
        std::clamp<int64_t>(static_cast<int64_t>(double(m_t1 - m_t0) / factor), MIN_SPAN_MS, MAX_SPAN_MS);
    const int64_t t0 = anchor - static_cast<int64_t>(fraction * double(span));
    apply_range(t0, t0 + span, true);
}

void CKV_Logger_Chart::press(QPointF pos)
{
    m_pressed = true;
    m_dragging = false;
    m_press_pos = pos;
    m_last_pos = pos;
}

void CKV_Logger_Chart::drag(QPointF pos)
{
    if (!m_pressed)
        return;
    if (!m_dragging && (pos - m_press_pos).manhattanLength() < QApplication::startDragDistance())
        return;
    m_dragging = true;
    pan_by_pixels(pos.x() - m_last_pos.x());
    m_last_pos = pos;
}

void CKV_Logger_Chart::release(QPointF pos)
{
    if (m_pressed && !m_dragging && chart()->plotArea().contains(pos)) {
        place_crosshair(time_at(pos.x()));
        emit crosshair_moved(m_crosshair_t);
    }
    m_pressed = false;
    m_dragging = false;
}

bool CKV_Logger_Chart::gesture(QGestureEvent* event)
{
    auto* pinch = static_cast<QPinchGesture*>(event->gesture(Qt::PinchGesture));
    if (!pinch)
        return false;
    if (pinch->changeFlags() & QPinchGesture::ScaleFactorChanged)
        zoom(pinch->scaleFactor(), viewport()->mapFromGlobal(pinch->centerPoint()).x());
    event->accept(pinch);
    return true;
}

bool CKV_Logger_Chart::viewportEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd: {
        const auto* touch = static_cast<QTouchEvent*>(event);
        const QList<QEventPoint>& points = touch->points();
        // Two fingers pinch (the gesture does that); one finger drags or taps.
        if (points.size() >= 2)
            m_pinching = true;
        if (m_pinching)
            m_pressed = false;
        else if (!points.isEmpty() && event->type() == QEvent::TouchBegin)
            press(points.first().position());
        else if (!points.isEmpty() && event->type() == QEvent::TouchUpdate)
            drag(points.first().position());
        else if (!points.isEmpty())
            release(points.first().position());
        if (event->type() == QEvent::TouchEnd)
            m_pinching = false;
        event->accept();
        return true;
    }
    case QEvent::Gesture:
        return gesture(static_cast<QGestureEvent*>(event));
    default:
        return QChartView::viewportEvent(event);
    }
}

void CKV_Logger_Chart::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        press(event->position());
    event->accept();
}

void CKV_Logger_Chart::mouseMoveEvent(QMouseEvent* event)
{
    drag(event->position());
    event->accept();
}

void CKV_Logger_Chart::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        release(event->position());
    event->accept();
}

void CKV_Logger_Chart::wheelEvent(QWheelEvent* event)
{
    const int steps = event->angleDelta().y() / 120;
    if (steps != 0)
        zoom(std::pow(1.25, steps), event->position().x());
    event->accept();
}

void CKV_Logger_Chart::resizeEvent(QResizeEvent* event)
{
    QChartView::resizeEvent(event);
    place_crosshair(m_crosshair_t);
}
