#pragma once
// The chart of one logger group: a time axis, one value axis and the
// group's curves, each drawn as runs that break where the panel was not
// connected. One finger (or the mouse) drags the time, two fingers pinch
// it, the wheel zooms; a tap puts a crosshair at the touched time.

#include <QChartView>
#include <QList>
#include <QPen>
#include <QPointF>
#include <QVector>
#include <cstdint>
#include <vector>

class QDateTimeAxis;
class QGestureEvent;
class QGraphicsLineItem;
class QLineSeries;
class QValueAxis;

class CKV_Logger_Chart : public QChartView {
    Q_OBJECT
public:
    // Nothing narrower than a minute nor wider than ten years.
    static constexpr int64_t MIN_SPAN_MS = 60'000;
    static constexpr int64_t MAX_SPAN_MS = 3650LL * 86'400'000;
    // Wider spans draw their curves with a thin pen.
    static constexpr int64_t THIN_PEN_SPAN_MS = 2 * 86'400'000LL;
    // Wider spans draw without smoothing.
    static constexpr int64_t SMOOTH_SPAN_MS = 14 * 86'400'000LL;
    static constexpr int VALUE_TICKS = 5;

    struct Curve {
        QString name;
        bool step = false; // 1-bit values switch, they do not slide
    };

    explicit CKV_Logger_Chart(QWidget* parent = nullptr);

    void set_curves(const QList<Curve>& curves);
    // Runs of (ms, value) points per curve, already scaled, and the values
    // the axis must show.
    using Runs = QList<QVector<QPointF>>;
    void set_data(const QList<Runs>& curves, double low, double high);
    // Empties the curves (old points at a new scale are only cost).
    void clear_data();
    void set_range(int64_t t0, int64_t t1);
    void set_dark(bool dark);

    int64_t range_start() const { return m_t0; }
    int64_t range_end() const { return m_t1; }
    // Width of the plot in pixels (the data is fetched at one bucket per column).
    int plot_width() const;
    // Points drawn for a curve, over all its runs.
    int drawn_points(int curve) const;
    QColor curve_color(int curve) const;
    bool has_crosshair() const { return m_crosshair_t >= 0; }
    int64_t crosshair_time() const { return m_crosshair_t; }
    int64_t time_at(qreal x) const;

signals:
    // The user dragged, pinched or zoomed the time axis.
    void range_changed(qint64 t0, qint64 t1);
    void crosshair_moved(qint64 t);

protected:
    bool viewportEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void press(QPointF pos);
    void drag(QPointF pos);
    void release(QPointF pos);
    void zoom(double factor, qreal x);
    void pan_by_pixels(qreal dx);
    void apply_range(int64_t t0, int64_t t1, bool by_user);
    void place_crosshair(int64_t t);
    void set_runs(int curve, const Runs& runs);
    QPen curve_pen(int curve) const;
    void update_pens();
    void set_value_range(double low, double high);
    bool gesture(QGestureEvent* event);

    QDateTimeAxis* m_axis_t = nullptr;
    QValueAxis* m_axis_v = nullptr;
    QGraphicsLineItem* m_crosshair = nullptr;
    QList<Curve> m_curves;
    QList<QList<QLineSeries*>> m_series; // per curve, one per run
    int64_t m_t0 = 0;
    int64_t m_t1 = 60'000;
    int64_t m_crosshair_t = -1;
    bool m_thin = false;
    // The press being dragged, in viewport pixels.
    QPointF m_press_pos;
    QPointF m_last_pos;
    bool m_pressed = false;
    bool m_dragging = false;
    bool m_pinching = false;
};
