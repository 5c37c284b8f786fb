#pragma once
// The colour controls for RGBW lights: they work only when linked to the
// project's RGBW logic block; a tap then opens the colour overlay, which
// picks a colour and the white level and writes the four channels in
// percent; the sequence control runs colour sequences of its block.

#include <QPointer>
#include <QWidget>
#include <memory>
#include <vector>

#include "kv_color_settings.h"
#include "kv_gui_classic_popup.h"
#include "kv_gui_control.h"
#include "kv_gui_overlay_preset.h"
#include "kv_logic.h"

// Shown when the "ID" names no logic block.
extern const char* const KV_COLOR_UNLINKED_TEXT;

// The colour ring: the hue runs clockwise from red at the top.
class CKV_Gui_Control_Widget_Color_Selection : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool colordesign READ colordesign WRITE set_colordesign)
public:
    static constexpr const char* RING_IMAGE = ":/images/svg/Color_Pick_Ring.svg";

    explicit CKV_Gui_Control_Widget_Color_Selection(QWidget* parent = nullptr);

    bool colordesign() const { return m_colordesign; }
    void set_colordesign(bool on);
    QColor color() const { return m_color; }
    void set_color(const QColor& color);
    // The full colour of the hue at a point (its angle around the centre).
    QColor color_at(const QPoint& point) const;
    QRect ring_box() const;

signals:
    // The colour where the finger lifted.
    void released(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_colordesign = false;
    QColor m_color = Qt::red;
};

// A horizontal slider 0..100 over a gradient between two colours.
class CKV_Gui_Control_Widget_Gradient_Slider : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool sliderdesign READ sliderdesign WRITE set_sliderdesign)
public:
    explicit CKV_Gui_Control_Widget_Gradient_Slider(QWidget* parent = nullptr);

    bool sliderdesign() const { return m_sliderdesign; }
    void set_sliderdesign(bool on);
    void set_colors(const QColor& begin, const QColor& end);
    double value() const { return m_value; }
    void set_value(double value);
    double value_at(int x) const;

signals:
    void released(double value);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_sliderdesign = false;
    QColor m_begin = Qt::black;
    QColor m_end = Qt::white;
    double m_value = 0.0;
};

// A colour as a finger picks it: hue on the ring, saturation and brightness
// on two sliders, the white channel on a third. `changed` follows every
// lifted finger.
class CKV_Gui_Color_Editor : public QWidget {
    Q_OBJECT
public:
    explicit CKV_Gui_Color_Editor(QWidget* parent);

    // The four channels shown, in percent.
    KV_Color color() const;
    void show_color(const KV_Color& color);

    CKV_Gui_Control_Widget_Color_Selection* ring() const { return m_ring; }
    CKV_Gui_Control_Widget_Gradient_Slider* saturation() const { return m_saturation; }
    CKV_Gui_Control_Widget_Gradient_Slider* brightness() const { return m_brightness; }
    CKV_Gui_Control_Widget_Gradient_Slider* white() const { return m_white; }

signals:
    void changed();

private:
    void show_gradients();

    double m_hue = 0.0; // 0..1
    CKV_Gui_Control_Widget_Color_Selection* m_ring;
    CKV_Gui_Control_Widget_Gradient_Slider* m_saturation;
    CKV_Gui_Control_Widget_Gradient_Slider* m_brightness;
    CKV_Gui_Control_Widget_Gradient_Slider* m_white;
};

// Edits the colour of an RGBW control and writes the four channels in
// percent at every change. Presets come from the linked block and are
// stored back into it.
class CKV_Gui_Control_App_Overlay_Color : public CKV_Gui_Control_Tile_Overlay_Preset_Base {
    Q_OBJECT
public:
    CKV_Gui_Control_App_Overlay_Color(CKV_Gui_Control& control, QWidget* page);

    // Shows the channels and the block's presets, sends the block (600) and
    // slides in.
    void open();
    // The block's presets as the project holds them now.
    void load_block();
    CKV_Gui_Color_Editor* editor() const { return m_editor; }

    void tumbler_changed() override;
    QStringList preset_names() const override;
    void recall_preset(int index) override;
    void store_preset(const QString& name) override;
    void remove_preset(int index) override;

private:
    // The presets into the block, the block into the project and to the controller.
    void store_settings();

    CKV_Gui_Control& m_control;
    KV_LOGIC_Control m_block;
    std::vector<KV_Color_Preset> m_presets;
    CKV_Gui_Color_Editor* m_editor;
};

// What both colour controls share: the link to the logic block, the
// message without one, and the swatch of the colour their channels hold.
class CKV_Gui_Control_App_Color_Base : public CKV_Gui_Control {
    Q_OBJECT
public:
    CKV_Gui_Control_App_Color_Base(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record,
                                   int first_channel);

    void on_value(const KV_Addr_Db& address, int entry, double value) override;
    // The linked block changed on the controller (602): an open overlay
    // shows its new settings.
    void on_message(const CKV_Network_Msg& header, const unsigned char* payload) override;
    // The block named by "ID"; null without one.
    const KV_LOGIC_Control* linked_block() const;
    // The colour of the channels, white mixed in when `with_white`.
    QColor shown_color(bool with_white = false) const;

protected:
    virtual void block_changed() {}
    // Shows the message and returns false without a linked block.
    bool check_link() const;
    void paint_swatch(QPainter& painter, const QColor& color, const QString& state);

    int m_first;
};

// Slots "Rot", "Grün", "Blau", "Weiß". Views ("Ansicht"): 0 "Horizontal" and
// 1 "Vertikal" show the swatch beside or above the text, 2 "Ein/aus" is a
// switch, 3 "Popup" a button. A short click opens the colour overlay when
// "Kurzer Klick" is set and the view is no switch; otherwise it switches
// the light (on is the last colour seen, white before any) and holding
// opens the overlay.
class CKV_Gui_Control_App_RGBW : public CKV_Gui_Control_App_Color_Base {
    Q_OBJECT
public:
    enum View { HORIZONTAL = 0, VERTICAL = 1, ON_OFF = 2, POPUP = 3 };
    static constexpr double HOLD_SECONDS = 0.6;

    CKV_Gui_Control_App_RGBW(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record);
    ~CKV_Gui_Control_App_RGBW() override;

    void on_value(const KV_Addr_Db& address, int entry, double value) override;
    void on_press(const QPoint& point) override;
    void on_release(const QPoint& point) override;

    View view() const;
    bool click_opens() const;
    bool is_on() const;
    // Writes the four channels in percent.
    void write_color(const KV_Color& color);
    void open_overlay();
    CKV_Gui_Control_App_Overlay_Color* overlay() const { return m_overlay; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void block_changed() override;

private:
    void toggle();

    KV_Color m_last_on{100, 100, 100, 0};
    KV_Press_Hold m_hold;
    // Lives on the page it covers; gone with it or with the control.
    QPointer<CKV_Gui_Control_App_Overlay_Color> m_overlay;
};
