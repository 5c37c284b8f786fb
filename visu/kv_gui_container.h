#pragma once
// The page canvas: a widget of the page's design size inside a scroll area,
// holding the page's controls. It builds the controls through the factory,
// scales the page to the window, zooms on pinch and Ctrl+wheel, scrolls
// kinetically and turns swipes into page changes.

#include <QColor>
#include <QDeadlineTimer>
#include <QList>
#include <QPixmap>
#include <QScrollArea>
#include <QTimer>
#include <QWidget>
#include <initializer_list>
#include <string>

#include "kv_addr_tgm.h"
#include "kv_gui.h"

class CKV_Gui_Control;
class CKV_Gui_Control_Container_Sv;
class KV_Visu_Host;
class QGestureEvent;
struct CKV_Network_Msg;

constexpr float KV_ZOOM_MIN = 0.7f;
constexpr float KV_ZOOM_MAX = 4.0f;
constexpr float KV_ZOOM_WHEEL_STEP = 0.1f;

class CKV_Gui_Control_Container : public QWidget {
    Q_OBJECT
public:
    enum class Controls { Now, Later };
    // Builds the canvas for one page inside a new scroll area (parent of the
    // scroll area: `parent`); the scroll area owns the canvas. With
    // Controls::Later the canvas starts empty and load_more_controls() fills it.
    CKV_Gui_Control_Container(KV_Visu_Host& host, const KV_GUI_Page& page, QWidget* parent = nullptr,
                              Controls controls = Controls::Now);
    ~CKV_Gui_Control_Container() override;
    // Takes no more telegrams, messages or animation ticks, so that a canvas
    // on its way out may be deleted later; the destructor does it too.
    void leave_value_path();

    KV_Visu_Host& host() const { return m_host; }
    CKV_Gui_Control_Container_Sv* scroll_area() const { return m_scroll; }
    const std::string& page_guid() const { return m_page_guid; }
    // The page record in the project store; null when it is gone.
    KV_GUI_Page* page_record() const;
    bool is_vertical() const { return m_vertical; }
    QSize design_size() const { return {m_width, m_height}; }

    // Creates the page's next controls until the deadline has passed, one at
    // least; true once the page has all its controls (then attached to their
    // parent controls and, in run mode, given their touch roles).
    bool load_more_controls(const QDeadlineTimer& deadline);
    // Writes the controls' working records back into the page record.
    void store_controls();
    CKV_Gui_Control* create_control(const KV_GUI_Control& record, bool append);
    void apply_page_settings();
    void fit_to_view(const QSize& view);
    // Places every top-level control (and its children) for the current
    // canvas size; done only once the window's pages are ready. fit_to_view
    // calls it after each resize.
    void place_controls();
    // The same before the pages are ready: for a page shown while it fills.
    void place_controls_now();

    const QList<CKV_Gui_Control*>& controls() const { return m_controls; }
    QList<CKV_Gui_Control*> controls_of_type(std::initializer_list<int> types) const;
    CKV_Gui_Control* find_control(const std::string& guid) const;
    // Every control of the canvas in creation order, no index: the plain path.
    void dispatch_telegram(const KV_Addr_Tgm& telegram);
    void dispatch_message(const CKV_Network_Msg& header, const unsigned char* payload);

    bool is_modified() const { return m_modified; }
    void set_modified(bool modified) { m_modified = modified; }

    bool zoom_allowed() const { return m_zoom_allowed; }
    void set_zoom_allowed(bool allowed) { m_zoom_allowed = allowed; }
    float zoom() const { return m_zoom; }
    // A pinch with its total scale so far: it scales the zoom the page had
    // when the pinch began.
    void pinch_zoom(qreal total_scale, Qt::GestureState state);
    // One Ctrl+wheel step: up for a positive delta, down for a negative one.
    void wheel_zoom(int delta);

    // The 100-ms animation tick hands code 100 to every control. It runs only
    // while a control asks for it: a request holds for the next tick, so a
    // control that animates asks again on each tick it gets.
    static constexpr int ANIMATION_TICK_MS = 100;
    void request_animation_tick();
    bool is_animation_tick_running() const { return m_animation_tick.isActive(); }

    // Counts the gestures that took a touch over (scroll, swipe, pinch): a
    // press whose count changed before the finger lifted is no tap.
    unsigned takeovers() const { return m_takeovers; }
    void note_takeover() { ++m_takeovers; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool gesture_event(QGestureEvent* event);
    void swipe_finished(bool to_left);
    // Run mode: controls that own their drags keep the page's scroller and
    // swipe off them; display-only controls let presses through.
    void apply_touch_roles();
    void set_zoom(float zoom);
    void animation_tick();
    QRect background_rect(const QSize& image) const;

    KV_Visu_Host& m_host;
    std::string m_page_guid;
    bool m_vertical = false;
    int m_width = 100;
    int m_height = 100;
    int m_width_virt = 100;
    int m_height_virt = 100;
    QPixmap m_image_bg;
    QPixmap m_image_bg_scaled; // m_image_bg at the size it is drawn now
    QPixmap m_image_icon;
    QColor m_color_bg;
    QColor m_color_frame;
    bool m_zoom_to_page = false;
    bool m_keep_aspect = false;
    int m_align = 0;
    QList<CKV_Gui_Control*> m_controls;
    size_t m_next_record = 0; // next control record of the page to load
    bool m_loaded = false;
    CKV_Gui_Control_Container_Sv* m_scroll = nullptr;
    bool m_zoom_allowed = false;
    float m_zoom = 1.0f;
    float m_pinch_base = 1.0f;
    unsigned m_takeovers = 0;
    bool m_modified = false;
    bool m_placing = false;
    QTimer m_animation_tick;
    bool m_animation_requested = false;
};

class CKV_Gui_Control_Container_Sv : public QScrollArea {
    Q_OBJECT
public:
    explicit CKV_Gui_Control_Container_Sv(QWidget* parent = nullptr);

    CKV_Gui_Control_Container* canvas() const;
    // Kinetic scrolling by touch on the viewport, with the panel's metrics.
    void enable_kinetic_scrolling();
    // The finger that is down now stopped a running flick: it is no tap.
    bool press_caught_flick() const { return m_caught_flick; }
    // The horizontal scroll position when the finger went down.
    int press_scroll_x() const { return m_press_scroll_x; }
    // Fits the page to the view. Where the page scrolls one way, the bar it
    // brings narrows the view the other way, and the page is fitted to what
    // is left, so the bar brings no scroll of a few pixels the other way.
    void fit_page();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    int m_scroller_state = 0;
    bool m_caught_flick = false;
    int m_press_scroll_x = 0;
};
