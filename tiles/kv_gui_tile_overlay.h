#pragma once
// The slide-in panel of a tile: covers the page it was opened on, slides in
// from the right edge and out again, and follows a drag so that a swipe to
// the right closes it.

#include <QParallelAnimationGroup>
#include <QPoint>
#include <QSize>
#include <QTimer>
#include <QWidget>
#include <cstdint>

class QPropertyAnimation;
class QToolButton;

class CKV_Gui_Control_Tile_Overlay_Base : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int x READ x WRITE set_x)
    Q_PROPERTY(int y READ y WRITE set_y)
public:
    static constexpr int SLIDE_MS = 400;
    static constexpr int FRAME_MS = 20;
    static constexpr int32_t INITIAL_MODE = 132;
    // A drag further right than this part of the width closes the panel.
    static constexpr double CLOSE_DRAG_PART = 1.0 / 3.0;
    static inline const QColor BACKGROUND{0x1B, 0x1B, 0x1B};

    enum class State { Hidden, Sliding, Open };

    // `page`: the widget the panel covers (the page's scroll area).
    explicit CKV_Gui_Control_Tile_Overlay_Base(QWidget* page);

    // Slot table after the plain widget's.
    virtual void hook_overlay_1() {}
    virtual void paint_panel(QPainter& painter);
    virtual void hook_overlay_2() {}
    virtual void measure();
    virtual void set_visible_animated(bool visible);
    virtual void hook_overlay_3() {}
    virtual void set_mode(int32_t mode) { m_mode = mode; }

    int32_t mode() const { return m_mode; }
    State state() const { return m_state; }
    bool is_frame_timer_running() const { return m_frame_timer.isActive(); }
    // Size of the sample text "-25.9°C" in the panel font, from measure().
    QSize sample_size() const { return m_sample_size; }

    void set_x(int x) { move(x, y()); }
    void set_y(int y) { move(x(), y); }

signals:
    void opened();
    void closed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The panel's own title, shown beside the close button.
    QFont panel_font(int pixel_size, bool medium = false) const;

private:
    void slide_to(bool open);
    void slide_finished();
    // Only an open panel's widgets take presses: not while it slides.
    void set_widgets_live(bool live);
    QPoint open_position() const { return {0, 0}; }
    QPoint closed_position() const;

    int32_t m_mode = INITIAL_MODE;
    State m_state = State::Hidden;
    bool m_target_open = false;
    QParallelAnimationGroup m_slide;
    QPropertyAnimation* m_slide_x = nullptr;
    QPropertyAnimation* m_slide_y = nullptr;
    QTimer m_frame_timer;
    QToolButton* m_close = nullptr;
    QSize m_sample_size;
    bool m_dragging = false;
    int m_drag_start_x = 0;   // pointer, on the screen: the panel moves under it
    int m_drag_panel_x = 0;   // panel position when the drag began
};
