#pragma once
// The colour controls for RGBW lights: they work only when linked to the
// project's RGBW logic block; a tap then opens the colour overlay, which
// picks a hue on the colour ring and the white level on a gradient slider
// and writes the four channels in percent.

#include <QPointer>
#include <QWidget>

#include "kv_gui_control.h"

class KV_LOGIC_Control;

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

// Edits one colour of a colour control: writes red, green, blue and white
// in percent to four consecutive address entries whenever a finger lifts.
class CKV_Gui_Control_App_Overlay_Color : public QWidget {
    Q_OBJECT
public:
    CKV_Gui_Control_App_Overlay_Color(CKV_Gui_Control& control, int first_channel);

    void show_over_window();
    CKV_Gui_Control_Widget_Color_Selection* ring() const { return m_ring; }
    CKV_Gui_Control_Widget_Gradient_Slider* white() const { return m_white; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void write_channels();

    CKV_Gui_Control& m_control;
    int m_first;
    CKV_Gui_Control_Widget_Color_Selection* m_ring;
    CKV_Gui_Control_Widget_Gradient_Slider* m_white;
};

// What both colour controls share: the link to the logic block, the
// message without one, and the overlay on their colour channels.
class CKV_Gui_Control_App_Color_Base : public CKV_Gui_Control {
    Q_OBJECT
public:
    CKV_Gui_Control_App_Color_Base(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record,
                                   int first_channel);

    void on_value(const KV_Addr_Db& address, int entry, double value) override;
    void on_release(const QPoint& point) override;
    // The block named by "ID"; null without one.
    const KV_LOGIC_Control* linked_block() const;
    // The colour of the channels, white left aside.
    QColor shown_color() const;
    CKV_Gui_Control_App_Overlay_Color* overlay() const { return m_overlay; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_first;
    QPointer<CKV_Gui_Control_App_Overlay_Color> m_overlay;
};

// Slots "Rot", "Grün", "Blau", "Weiß".
class CKV_Gui_Control_App_RGBW : public CKV_Gui_Control_App_Color_Base {
    Q_OBJECT
public:
    CKV_Gui_Control_App_RGBW(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record)
        : CKV_Gui_Control_App_Color_Base(canvas, record, 0)
    {
    }
};

// Slot 0 starts the sequence; the colour channels follow from slot 1.
class CKV_Gui_Control_App_RGBW_SEQU : public CKV_Gui_Control_App_Color_Base {
    Q_OBJECT
public:
    CKV_Gui_Control_App_RGBW_SEQU(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record)
        : CKV_Gui_Control_App_Color_Base(canvas, record, 1)
    {
    }
};
