#include "kv_touch.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QTouchEvent>
#include <QWidget>
#include <cmath>

namespace {
constexpr double SLOP_MM = 2.0;
constexpr double FALLBACK_DPI = 96.0;

qint64 now_ms()
{
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return clock.elapsed();
}
} // namespace

void kv_touch_combo(QComboBox* combo)
{
    combo->setMinimumHeight(KV_FINGER_PX);
    combo->setItemDelegate(new QStyledItemDelegate(combo));
}

double kv_touch_mm(const QWidget* widget, double mm)
{
    const QScreen* screen = widget ? widget->screen() : QGuiApplication::primaryScreen();
    double dpi = screen ? screen->physicalDotsPerInch() : FALLBACK_DPI;
    if (!std::isfinite(dpi) || dpi <= 0)
        dpi = FALLBACK_DPI;
    return mm * dpi / 25.4;
}

double kv_touch_slop(const QWidget* widget)
{
    return kv_touch_mm(widget, SLOP_MM);
}

Qt::GestureType KV_Swipe_Recognizer::type()
{
    // The gesture manager owns the recogniser.
    static const Qt::GestureType registered = QGestureRecognizer::registerRecognizer(new KV_Swipe_Recognizer);
    return registered;
}

QGesture* KV_Swipe_Recognizer::create(QObject* target)
{
    if (auto* widget = qobject_cast<QWidget*>(target))
        widget->setAttribute(Qt::WA_AcceptTouchEvents);
    return new KV_Swipe_Gesture;
}

void KV_Swipe_Recognizer::reset(QGesture* gesture)
{
    auto* swipe = static_cast<KV_Swipe_Gesture*>(gesture);
    swipe->m_dead = false;
    swipe->m_to_left = false;
    QGestureRecognizer::reset(gesture);
}

QGestureRecognizer::Result KV_Swipe_Recognizer::recognize(QGesture* gesture, QObject* watched, QEvent* event)
{
    // Controls that own their drags grab this gesture themselves, so that the
    // page's swipe never starts on them; on them it does nothing.
    if (!watched->inherits("CKV_Gui_Control_Container"))
        return Ignore;
    auto* swipe = static_cast<KV_Swipe_Gesture*>(gesture);
    const auto type = event->type();
    if (type != QEvent::TouchBegin && type != QEvent::TouchUpdate && type != QEvent::TouchEnd) {
        if (type == QEvent::TouchCancel)
            return swipe->state() == Qt::NoGesture ? Ignore : CancelGesture;
        return Ignore;
    }
    const auto* touch = static_cast<const QTouchEvent*>(event);
    const bool one_finger = touch->pointingDevice()->type() == QInputDevice::DeviceType::TouchScreen &&
                            touch->points().size() == 1;
    if (type == QEvent::TouchBegin) {
        swipe->m_dead = !one_finger;
        if (swipe->m_dead)
            return Ignore;
        swipe->m_start = touch->points().first().globalPosition();
        swipe->m_start_ms = now_ms();
        swipe->setHotSpot(swipe->m_start);
        return MayBeGesture;
    }
    if (swipe->m_dead)
        return Ignore;
    if (!one_finger) {
        swipe->m_dead = true;
        return CancelGesture;
    }
    auto* widget = static_cast<QWidget*>(watched);
    const QPointF moved = touch->points().first().globalPosition() - swipe->m_start;
    const double dx = std::abs(moved.x());
    const double dy = std::abs(moved.y());
    // Going up or down first is scrolling: this touch never swipes.
    if (dy > kv_touch_slop(widget) && 2 * dy > dx) {
        swipe->m_dead = true;
        return CancelGesture;
    }
    const bool far_enough = dx >= kv_touch_mm(widget, SWIPE_MM) && dx >= 2 * dy;
    if (type == QEvent::TouchUpdate) {
        if (!far_enough)
            return swipe->state() == Qt::NoGesture ? MayBeGesture : TriggerGesture;
        swipe->m_to_left = moved.x() < 0;
        return TriggerGesture;
    }
    swipe->m_dead = true;
    if (!far_enough || now_ms() - swipe->m_start_ms > SWIPE_MAX_MS)
        return CancelGesture;
    swipe->m_to_left = moved.x() < 0;
    return FinishGesture;
}
