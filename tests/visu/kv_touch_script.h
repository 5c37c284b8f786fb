#pragma once
// Finger scripts for the touch tests: real touch sequences from a touch
// screen, with the pauses of a hand, so that Qt's scroller and gesture
// recognisers see what they see on the panel. Points are in coordinates of
// the widget named; the events go through its window.

#include <QPointingDevice>
#include <QtTest>

#include "kv_touch.h"

class KV_Finger {
public:
    static QPointingDevice* device()
    {
        static QPointingDevice* screen = QTest::createTouchDevice(QInputDevice::DeviceType::TouchScreen);
        return screen;
    }
    // Millimetres on the test screen, in pixels.
    static int mm(const QWidget* widget, double mm) { return qRound(kv_touch_mm(widget, mm)); }

    static void down(QWidget* widget, QPoint point, int id = 0)
    {
        QTest::touchEvent(widget->window(), device()).press(id, in_window(widget, point));
    }
    static void move(QWidget* widget, QPoint point, int id = 0)
    {
        QTest::touchEvent(widget->window(), device()).move(id, in_window(widget, point));
    }
    static void up(QWidget* widget, QPoint point, int id = 0)
    {
        QTest::touchEvent(widget->window(), device()).release(id, in_window(widget, point));
    }
    static void tap(QWidget* widget, QPoint point)
    {
        down(widget, point);
        QTest::qWait(40);
        up(widget, point);
    }
    // Down at `from`, through `steps` moves of `step_ms` each to `to`, up
    // there: slow steps drag, quick ones flick.
    static void drag(QWidget* widget, QPoint from, QPoint to, int steps = 10, int step_ms = 16)
    {
        down(widget, from);
        for (int i = 1; i <= steps; ++i) {
            QTest::qWait(step_ms);
            move(widget, from + (to - from) * i / steps);
        }
        QTest::qWait(step_ms);
        up(widget, to);
    }
    // Two fingers about `centre`, from `from` to `to` pixels apart.
    static void pinch(QWidget* widget, QPoint centre, int from, int to, int steps = 8)
    {
        const auto at = [&](int spread, int side) { return in_window(widget, centre + QPoint(side * spread / 2, 0)); };
        QTest::touchEvent(widget->window(), device()).press(0, at(from, -1)).press(1, at(from, 1));
        for (int i = 1; i <= steps; ++i) {
            QTest::qWait(16);
            const int spread = from + (to - from) * i / steps;
            QTest::touchEvent(widget->window(), device()).move(0, at(spread, -1)).move(1, at(spread, 1));
        }
        QTest::qWait(16);
        QTest::touchEvent(widget->window(), device()).release(0, at(to, -1)).release(1, at(to, 1));
    }

private:
    static QPoint in_window(QWidget* widget, QPoint point) { return widget->mapTo(widget->window(), point); }
};
