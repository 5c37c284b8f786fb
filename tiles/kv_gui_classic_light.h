#pragma once
// The classic light controls: the dimmer with its level bar (or, in the
// popup view, a ring) and its keypad popup, and the relative dimmer with
// "-" and "+". A tap switches the light in both.

#include <QPointer>

#include "kv_gui_classic_popup.h"
#include "kv_gui_control.h"
#include "kv_tile_icon.h"

// On state, switching and icons of the classic light controls.
class CKV_Gui_Control_App_Light_Base : public CKV_Gui_Control {
    Q_OBJECT
public:
    // The address entries of switching and of its feedback.
    struct Entries {
        int switching;
        int switch_feedback;
        int brightness; // the entry whose value is the brightness shown
    };
    enum View { HORIZONTAL = 0, VERTICAL = 1, POPUP = 2 };

    CKV_Gui_Control_App_Light_Base(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record, Entries entries);

    void apply_record() override;
    void on_value(const KV_Addr_Db& address, int entry, double value) override;

    // On while switching value or feedback is above 0.
    bool is_on() const;
    virtual double brightness() const { return entry_value(m_entries.brightness); }
    int view() const { return m_view; }
    // The icon for the current state ("Icon ein" / "Icon aus").
    QString icon_name() const;
    QColor foreground() const { return m_foreground; }
    QColor ring_begin() const { return m_ring_begin; }
    QColor ring_end() const { return m_ring_end; }
    QColor ring_background() const { return m_ring_background; }

protected:
    // Writes the opposite of the state shown to the switching address.
    void toggle();
    void draw_icon(QPainter& painter, const QRect& box);
    void draw_text(QPainter& painter, const QRect& box, const QString& text, int flags);
    // The level bar: background track, filled part in the ring gradient.
    void draw_level_bar(QPainter& painter, const QRect& box, Qt::Orientation axis, double percent);

private:
    Entries m_entries;
    int m_view = VERTICAL;
    QColor m_foreground;
    QColor m_ring_begin;
    QColor m_ring_end;
    QColor m_ring_background;
    KV_Tile_Icon m_icon_on;
    KV_Tile_Icon m_icon_off;
};

class CKV_Gui_Control_App_Dimmer : public CKV_Gui_Control_App_Light_Base {
    Q_OBJECT
public:
    enum Entry { SWITCHING = 0, VALUE = 1, SWITCH_FEEDBACK = 2, VALUE_FEEDBACK = 3 };

    CKV_Gui_Control_App_Dimmer(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record);

    void on_press(const QPoint& point) override;
    void on_release(const QPoint& point) override;
    // With a level bar the dimmer owns its drags: the page stays still.
    bool owns_drag() const override;
    // The finger's level while it drags, the reported one otherwise.
    double brightness() const override;
    bool is_dragging() const { return m_dragging; }
    // Where the level bar lies; empty in the popup view.
    QRect bar_box() const;
    // Opens the keypad popup (the popup view's tap, or a long press).
    void open_value_popup();
    class CKV_Gui_Control_App_Dimmer_Popup_Wert* value_popup() const { return m_popup; }

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    QRect pressed_area() const override { return m_dragging ? QRect() : rect(); }

private:
    Qt::Orientation axis() const { return view() == HORIZONTAL ? Qt::Horizontal : Qt::Vertical; }
    QRect icon_box() const;
    double level_at(const QPoint& point) const;
    void end_drag();

    KV_Press_Hold m_hold;
    QPoint m_start;
    bool m_tracking = false;
    bool m_dragging = false;
    double m_drag_level = 0.0;
    QPointer<class CKV_Gui_Control_App_Dimmer_Popup_Wert> m_popup;
};

// The dimmer's keypad: the level entered is written to "Wert".
class CKV_Gui_Control_App_Dimmer_Popup_Wert : public CKV_Gui_Control_Popup_Percent {
    Q_OBJECT
public:
    explicit CKV_Gui_Control_App_Dimmer_Popup_Wert(CKV_Gui_Control_App_Dimmer* dimmer);
};

// "-" at one end, "+" at the other: pressing starts dimming darker or
// brighter, releasing stops; a tap in between switches.
class CKV_Gui_Control_App_Dimmer_PM : public CKV_Gui_Control_App_Light_Base {
    Q_OBJECT
public:
    enum Entry { DIMMING = 0, VALUE_FEEDBACK = 1, SWITCHING = 2, SWITCH_FEEDBACK = 3 };

    CKV_Gui_Control_App_Dimmer_PM(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record);

    void on_press(const QPoint& point) override;
    void on_release(const QPoint& point) override;
    QRect minus_box() const;
    QRect plus_box() const;
    QList<QRect> operable_parts() const override { return {minus_box(), plus_box()}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_dimming = false; // a press on "-" or "+" is running
};
