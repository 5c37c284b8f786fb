#pragma once
// The light tiles: the dimmer tile sets a brightness in its overlay, the
// relative dimmer tile dims up and down while a button is held. A tap on
// either switches the light.

#include <QPropertyAnimation>

#include "kv_gui_tile_base.h"
#include "kv_gui_tile_overlay.h"

class QLabel;
class QVBoxLayout;
class KV_Tile_Level_Slider;

// Relative dimming command (4 bits): bit 3 the direction (set: brighter),
// bits 0-2 the step, step 1 running over the whole range until the stop.
enum KV_Dim_Command { KV_DIM_STOP = 0, KV_DIM_DARKER = 1, KV_DIM_BRIGHTER = 9 };

// "45 %": a brightness as the tiles and overlays show it.
QString kv_percent_text(double value);

// What both dimmer tiles share: a tap toggles the switching address, the
// tile is off while neither switching value nor feedback is above 0, and the
// brightness it shows is passed on to its open overlay.
class CKV_Gui_Control_Tile_Light_Base : public CKV_Gui_Control_Tile_Touch_Base {
    Q_OBJECT
public:
    // The address entries of switching and of its feedback.
    struct Entries {
        int switching;
        int switch_feedback;
    };

    CKV_Gui_Control_Tile_Light_Base(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record, Entries entries);

    void on_value(const KV_Addr_Db& address, int entry, double value) override;
    void on_release(const QPoint& point) override;
    bool is_off() const override;
    double brightness() const { return entry_value(brightness_entry()); }
    // The line under the title: the brightness, or on and off.
    QString state_text() const override;
    // The state line and the overlay show the brightness, not just on or off.
    virtual bool shows_brightness() const = 0;

signals:
    void brightness_changed(double value);

protected:
    // The entry whose value is the brightness shown.
    virtual int brightness_entry() const = 0;

private:
    Entries m_entries;
};

// Background, title and brightness of the light overlays; their content
// slides up into place while the panel comes in.
class CKV_Gui_Control_Tile_Light_Overlay_Base : public CKV_Gui_Control_Tile_Overlay_Base {
    Q_OBJECT
public:
    static constexpr int CONTENT_SLIDE_MS = 300;
    static inline const QColor TABLET_BACKGROUND{0xEA, 0xEA, 0xEA};
    static inline const QColor PHONE_BACKGROUND{0x64, 0x64, 0x64};

    explicit CKV_Gui_Control_Tile_Light_Overlay_Base(CKV_Gui_Control_Tile_Light_Base* tile);

    void paint_panel(QPainter& painter) override;
    void set_visible_animated(bool visible) override;

    QWidget* content() const { return m_content; }
    // Where the content rests once it has slid in: below the close button.
    QRect content_box() const;
    bool is_content_sliding() const { return m_content_slide.state() == QAbstractAnimation::Running; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    CKV_Gui_Control_Tile_Light_Base* tile() const { return m_tile; }
    QVBoxLayout* content_layout() const { return m_layout; }
    QColor text_color() const;
    virtual void show_brightness(double value) = 0;

private:
    CKV_Gui_Control_Tile_Light_Base* m_tile;
    QWidget* m_content;
    QVBoxLayout* m_layout;
    QPropertyAnimation m_content_slide;
};

class CKV_Gui_Control_Tile_Dimmer : public CKV_Gui_Control_Tile_Light_Base {
    Q_OBJECT
public:
    enum Entry { SWITCHING = 0, VALUE = 1, SWITCH_FEEDBACK = 2, VALUE_FEEDBACK = 3 };

    CKV_Gui_Control_Tile_Dimmer(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record);
    bool shows_brightness() const override { return param_int("Sollwert Anzeigen") == 1; }

protected:
    // Without a value address there is nothing to set: holding does nothing.
    std::shared_ptr<CKV_Gui_Control_Tile_Overlay_Base> create_overlay() override;
    // The feedback, or the value when there is none.
    int brightness_entry() const override { return entry_address(VALUE_FEEDBACK).is_null() ? VALUE : VALUE_FEEDBACK; }
};

// The brightness slider: shows the tile's brightness and writes the level
// where the finger lifts to the tile's value address.
class CKV_Gui_Control_Tile_Dimmer_Overlay : public CKV_Gui_Control_Tile_Light_Overlay_Base {
    Q_OBJECT
public:
    explicit CKV_Gui_Control_Tile_Dimmer_Overlay(CKV_Gui_Control_Tile_Dimmer* tile);

    KV_Tile_Level_Slider* slider() const { return m_slider; }

protected:
    void show_brightness(double value) override;

private:
    KV_Tile_Level_Slider* m_slider;
};

class CKV_Gui_Control_Tile_Dimmer_Plus_Minus : public CKV_Gui_Control_Tile_Light_Base {
    Q_OBJECT
public:
    enum Entry { DIMMING = 0, VALUE_FEEDBACK = 1, SWITCHING = 2, SWITCH_FEEDBACK = 3 };

    CKV_Gui_Control_Tile_Dimmer_Plus_Minus(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record);

    bool shows_brightness() const override { return !entry_address(VALUE_FEEDBACK).is_null(); }

protected:
    // Without a dimming address the buttons would send nothing.
    std::shared_ptr<CKV_Gui_Control_Tile_Overlay_Base> create_overlay() override;
    int brightness_entry() const override { return VALUE_FEEDBACK; }
};

// "+" and "-": pressing starts dimming brighter or darker, releasing stops.
class CKV_Gui_Control_Tile_Dimmer_Plus_Minus_Overlay : public CKV_Gui_Control_Tile_Light_Overlay_Base {
    Q_OBJECT
public:
    explicit CKV_Gui_Control_Tile_Dimmer_Plus_Minus_Overlay(CKV_Gui_Control_Tile_Dimmer_Plus_Minus* tile);

    QString shown_brightness() const;

protected:
    void show_brightness(double value) override;

private:
    QLabel* m_brightness;
};
