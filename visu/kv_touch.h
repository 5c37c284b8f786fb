#pragma once
// What a finger on the panel counts as: the slop below which a press is
// still a tap, and a one-finger horizontal swipe that changes the page.
// Qt's own swipe wants three fingers; this one wants one, and gives way to
// vertical scrolling and to controls that own their drags (sliders).

#include <QGesture>
#include <QGestureRecognizer>
#include <QPointF>

class QComboBox;
class QWidget;

// A finger's 9 mm on the reference panel (10.1", 1280 x 800, 149 DPI), in
// its pixels: the least side of anything a finger operates on its own.
inline constexpr int KV_FINGER_PX = 54;

// A drop-down a finger can pick from: its box and, through the style sheet's
// item rule (which the combo box's own row delegate ignores), its rows.
void kv_touch_combo(QComboBox* combo);

// About 2 mm on the screen showing `widget`, from its physical DPI.
double kv_touch_slop(const QWidget* widget);
// Millimetres to pixels on the screen showing `widget`.
double kv_touch_mm(const QWidget* widget, double mm);

class KV_Swipe_Gesture : public QGesture {
    Q_OBJECT
public:
    explicit KV_Swipe_Gesture(QObject* parent = nullptr)
        : QGesture(parent)
    {
    }
    // True when the finger went to the left (content follows it leftwards).
    bool to_left() const { return m_to_left; }

private:
    friend class KV_Swipe_Recognizer;
    QPointF m_start;
    qint64 m_start_ms = 0;
    bool m_dead = false; // this touch sequence can no longer be a swipe
    bool m_to_left = false;
};

class KV_Swipe_Recognizer : public QGestureRecognizer {
public:
    // Horizontal travel that makes a swipe, and the time it may take.
    static constexpr double SWIPE_MM = 12.0;
    static constexpr qint64 SWIPE_MAX_MS = 800;

    QGesture* create(QObject* target) override;
    Result recognize(QGesture* gesture, QObject* watched, QEvent* event) override;
    void reset(QGesture* gesture) override;

    // Registered with Qt once; the type widgets grab.
    static Qt::GestureType type();
};
