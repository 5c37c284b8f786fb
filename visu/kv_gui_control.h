#pragma once
// Base of every visual control: owns copies of its record, places itself from
// the record's geometry, nests inside other controls, publishes the style
// properties the style sheets set, builds its font, formats address values
// and turns presses into the on_press / on_release hooks.

#include <QCheckBox>
#include <QColor>
#include <QFont>
#include <QList>
#include <QPoint>
#include <QPen>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>
#include <cstdint>

#include "kv_addr.h"
#include "kv_addr_tgm.h"
#include "kv_gui.h"

class CKV_Gui_Control_Container;
class CKV_Gui_Overlay_Pin;

// Label of the PIN parameter of every operating control.
inline constexpr const char* KV_PARAM_PIN = "Pin (nur 4 stellig)";
class KV_Visu_Host;
struct CKV_Network_Msg;

// Style property: member, reader and a writer that stores only a changed value.
#define KV_STYLE_PROPERTY(Type, name, def)                                                                             \
public:                                                                                                                \
    Type name() const { return m_##name; }                                                                            \
    void set_##name(const Type& value)                                                                                 \
    {                                                                                                                  \
        if (!(m_##name == value))                                                                                      \
            m_##name = value;                                                                                          \
    }                                                                                                                  \
                                                                                                                       \
private:                                                                                                               \
    Type m_##name = def;

class CKV_Gui_Control : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QColor backgroundcolor READ backgroundcolor WRITE set_backgroundcolor)
    Q_PROPERTY(int borderwidth READ borderwidth WRITE set_borderwidth)
    Q_PROPERTY(int borderradius READ borderradius WRITE set_borderradius)
    Q_PROPERTY(QColor bordercolor READ bordercolor WRITE set_bordercolor)
    Q_PROPERTY(QColor btncolorface READ btncolorface WRITE set_btncolorface)
    Q_PROPERTY(QColor btncolorpress READ btncolorpress WRITE set_btncolorpress)
    Q_PROPERTY(QColor btncolortext READ btncolortext WRITE set_btncolortext)
    Q_PROPERTY(int ratio_x READ ratio_x WRITE set_ratio_x)
    Q_PROPERTY(int ratio_y READ ratio_y WRITE set_ratio_y)
    Q_PROPERTY(int min_width READ min_width WRITE set_min_width)
    Q_PROPERTY(int min_height READ min_height WRITE set_min_height)
    Q_PROPERTY(bool zrqdesign READ zrqdesign WRITE set_zrqdesign)
    Q_PROPERTY(QColor selection_color READ selection_color WRITE set_selection_color)
    Q_PROPERTY(QColor hovercolor READ hovercolor WRITE set_hovercolor)
    Q_PROPERTY(QColor ankercolor READ ankercolor WRITE set_ankercolor)
    Q_PROPERTY(QColor btncolorswitchon READ btncolorswitchon WRITE set_btncolorswitchon)
    Q_PROPERTY(QColor btncolorswitchoff READ btncolorswitchoff WRITE set_btncolorswitchoff)
    Q_PROPERTY(QColor shadowcolor READ shadowcolor WRITE set_shadowcolor)
    Q_PROPERTY(double shadowblur READ shadowblur WRITE set_shadowblur)
    Q_PROPERTY(double shadowxoffset READ shadowxoffset WRITE set_shadowxoffset)
    Q_PROPERTY(double shadowyoffset READ shadowyoffset WRITE set_shadowyoffset)
    Q_PROPERTY(double shadow_popup_blur READ shadow_popup_blur WRITE set_shadow_popup_blur)
    Q_PROPERTY(double shadow_popup_xoffset READ shadow_popup_xoffset WRITE set_shadow_popup_xoffset)
    Q_PROPERTY(double shadow_popup_yoffset READ shadow_popup_yoffset WRITE set_shadow_popup_yoffset)
    Q_PROPERTY(QColor btncolorslideron READ btncolorslideron WRITE set_btncolorslideron)
    Q_PROPERTY(QColor btncolorslideroff READ btncolorslideroff WRITE set_btncolorslideroff)
    Q_PROPERTY(QColor btncolorpageswipepress READ btncolorpageswipepress WRITE set_btncolorpageswipepress)
    Q_PROPERTY(QColor btncolorpageswipepage READ btncolorpageswipepage WRITE set_btncolorpageswipepage)
    Q_PROPERTY(QColor btncolorpageswipeactpage READ btncolorpageswipeactpage WRITE set_btncolorpageswipeactpage)
    Q_PROPERTY(QColor form_color_bg_on READ form_color_bg_on WRITE set_form_color_bg_on)
    Q_PROPERTY(QColor form_color_line_on READ form_color_line_on WRITE set_form_color_line_on)
    Q_PROPERTY(QColor form_color_bg_off READ form_color_bg_off WRITE set_form_color_bg_off)
    Q_PROPERTY(QColor form_color_line_off READ form_color_line_off WRITE set_form_color_line_off)
    Q_PROPERTY(QColor static_text_color READ static_text_color WRITE set_static_text_color)
    Q_PROPERTY(QColor btn_cta_default_color READ btn_cta_default_color WRITE set_btn_cta_default_color)
    Q_PROPERTY(QColor btn_cta_active_color READ btn_cta_active_color WRITE set_btn_cta_active_color)
    Q_PROPERTY(QColor btn_cta_inactive_color READ btn_cta_inactive_color WRITE set_btn_cta_inactive_color)
    Q_PROPERTY(QColor btn_cta_text_color READ btn_cta_text_color WRITE set_btn_cta_text_color)
    Q_PROPERTY(QColor btn_cta_text_inactive_color READ btn_cta_text_inactive_color WRITE set_btn_cta_text_inactive_color)
    Q_PROPERTY(QColor btn_grp_active_color READ btn_grp_active_color WRITE set_btn_grp_active_color)
    Q_PROPERTY(QColor btn_grp_inactive_color READ btn_grp_inactive_color WRITE set_btn_grp_inactive_color)
    Q_PROPERTY(QColor btn_grp_text_color READ btn_grp_text_color WRITE set_btn_grp_text_color)
    Q_PROPERTY(QColor btn_grp_text_inactive_color READ btn_grp_text_inactive_color WRITE set_btn_grp_text_inactive_color)
    Q_PROPERTY(QColor tile_scene_inactive_color READ tile_scene_inactive_color WRITE set_tile_scene_inactive_color)
    Q_PROPERTY(QColor header_bg_color READ header_bg_color WRITE set_header_bg_color)
    Q_PROPERTY(QColor header_text_color READ header_text_color WRITE set_header_text_color)
    Q_PROPERTY(QColor header_line_color READ header_line_color WRITE set_header_line_color)

public:
    CKV_Gui_Control(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record);
    ~CKV_Gui_Control() override;

    // Slot table of the control's own operations.
    virtual void refresh();
    virtual void apply_record();
    virtual void attach_to_parent();
    virtual void hook_4() {}
    virtual void changed();
    virtual void fill_properties() {}
    virtual bool on_telegram(const KV_Addr_Tgm& telegram);
    // Header and payload are valid only during the call.
    virtual void on_message(const CKV_Network_Msg& header, const unsigned char* payload);
    virtual void on_value(const KV_Addr_Db& address, int entry, double value);
    virtual void hook_10() {}
    virtual void update_cursor();
    virtual void notify_children(int code);
    virtual void set_selected(bool selected);
    virtual void on_press(const QPoint& point);
    virtual void on_release(const QPoint& point);
    virtual void apply_font();
    virtual void set_modified();
    virtual QString description() const;
    virtual QString text_hook_19() const { return {}; }
    virtual QString text_hook_20() const { return {}; }
    virtual QList<CKV_Gui_Control*> children_controls() const;
    virtual CKV_Gui_Control* parent_control() const;

    virtual int min_width() const { return m_min_width; }
    virtual void set_min_width(int value);
    virtual int min_height() const { return m_min_height; }
    virtual void set_min_height(int value);

    // Operable controls take presses; display-only ones let presses through
    // to what lies below them in run mode.
    virtual bool operable() const { return true; }
    // Controls that follow a finger from touch-down (sliders): the page does
    // not scroll or swipe under them, and their release always comes.
    virtual bool owns_drag() const { return false; }
    // The buttons drawn inside the control that a finger operates on their
    // own; none when the whole control is one target.
    virtual QList<QRect> operable_parts() const { return {}; }
    // Run mode: a display-only control without child controls becomes
    // transparent for presses, so that a tap reaches what lies below.
    void apply_press_through();

    // Popups that belong to this control; they receive its values and messages.
    void add_popup(CKV_Gui_Control* popup);
    // Leaves the value dispatch; done before the canvas goes away.
    void unsubscribe();

    // Parameters by their label (defaults where the record lacks them).
    QString param(const char* label) const;
    // A text parameter as shown: in the visualisation language.
    QString text_param(const char* label) const;
    // The control's name as shown: in the visualisation language.
    QString name_text() const;
    double param_double(const char* label) const;
    int param_int(const char* label) const;
    // A colour parameter "RRGGBB"; `fallback` when empty or unreadable.
    QColor param_color(const char* label, const QColor& fallback) const;

    const KV_GUI_Control& record() const { return m_record; }
    KV_GUI_Control& record() { return m_record; }
    const KV_GUI_Control& loaded_record() const { return m_record_loaded; }
    CKV_Gui_Control_Container* canvas() const { return m_canvas; }
    KV_Visu_Host& host() const;
    int type() const { return m_record.m_typ; }
    // Creation order across all canvases; the value dispatch keeps it.
    uint64_t serial() const { return m_serial; }
    QPoint press_point() const { return m_press_point; }
    bool is_pressed() const { return m_pressed; }
    // A finger is down and it is still a tap: the pressed look shows.
    bool shows_pressed() const { return m_pressed && !press_cancelled(); }
    const QFont& text_font() const { return m_font_text; }
    const QFont& base_font() const { return m_font_base; }
    double scale_x() const { return m_scale_x; }
    double scale_y() const { return m_scale_y; }

    // Places the control from its design geometry (loaded record) scaled by
    // sx, sy, and its children alike; returns the bottom edge.
    virtual int place_scaled(double sx, double sy);

    // The group address of entry `index`; 0/0/0 for a missing entry.
    KV_Group_Address entry_address(int index) const;
    // Writes a value to the address of one entry: into the tree, then to the
    // controller while connected. False when nothing was written.
    bool write_value(int index, double value);
    // The current value of an entry's address from the tree (0 when absent).
    double entry_value(int index) const;
    // A non-zero value on the disable address greys the control, one on the
    // hide address makes it invisible; neither can then be operated.
    bool disabled_by_address() const;
    bool hidden_by_address() const;

    // Whether an entry names a group address: only such controls show values.
    bool shows_values() const;
    // Stale: the shown value dates from before a lost connection (a veil
    // that the style sheet colours) until a fresh value arrives.
    void set_stale(bool stale);
    bool is_stale() const { return m_stale_veil != nullptr; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    // Paints the pressed look over what the control drew.
    bool event(QEvent* event) override;
    // Where the pressed look goes while a finger is down; empty for controls
    // that draw their own.
    virtual QRect pressed_area() const { return rect(); }
    // The press under way is no longer a tap: the finger moved further than
    // the slop, or a scroll, swipe or pinch took the touch over.
    bool press_cancelled() const;
    void showEvent(QShowEvent* event) override;

    // Helpers for drawing: a colour that falls back when the style sheet left
    // it unset, and the record's opacity (lowered by the disable and hide
    // addresses).
    static QColor or_default(const QColor& color, const QColor& fallback);
    qreal opacity() const;
    // The opacity and antialiasing every control paints with.
    void prepare_painter(QPainter& painter) const;
    // The outline on half pixels, so that a 1-px border stays sharp.
    QRectF frame_box() const;
    // The style sheet's border, or none while it sets no colour or width.
    QPen border_pen() const;

    // Where a box of this control's size goes inside its parent control:
    // pulled back inside, except under the popup calls (types 200, 202).
    QPoint inside_parent(const QRect& box) const;

    // Forgets the press under way: its release then does nothing.
    void cancel_press();

    // Operates only after the PIN parameter, when set, was entered.
    bool pin_required() const;
    void show_pin_overlay();

private:
    static bool telegram_concerns(const KV_Addr_Db& address, const KV_Addr_Tgm& telegram);
    bool address_concerned(const KV_Group_Address& address, const KV_Addr_Tgm& telegram) const;
    bool address_set(const KV_Group_Address& address) const;

    KV_GUI_Control m_record;
    KV_GUI_Control m_record_loaded;
    CKV_Gui_Control_Container* m_canvas = nullptr;
    QRect m_handles[8];
    int m_handle = -1;
    QPoint m_press_point;
    QPointF m_press_global;
    unsigned m_press_takeovers = 0;
    bool m_selected = false;
    bool m_pressed = false;
    bool m_moved = false;
    bool m_shown_once = false;
    QFont m_font_text;
    QFont m_font_text2;
    QFont m_font_base;
    QList<CKV_Gui_Control*> m_popups;
    QCheckBox* m_check_style = nullptr;
    Qt::CursorShape m_cursor = Qt::BitmapCursor; // none set yet
    double m_scale_x = 1.0;
    double m_scale_y = 1.0;
    int32_t m_counter = 0;
    uint64_t m_serial = 0;
    bool m_subscribed = false;
    bool m_pin_pending = false; // a press waits for the PIN; its release is swallowed
    QPointer<CKV_Gui_Overlay_Pin> m_pin_overlay;
    QWidget* m_stale_veil = nullptr;
    int m_min_width = 10;
    int m_min_height = 10;

    KV_STYLE_PROPERTY(QColor, backgroundcolor, QColor())
    KV_STYLE_PROPERTY(int, borderwidth, 0)
    KV_STYLE_PROPERTY(int, borderradius, 0)
    KV_STYLE_PROPERTY(QColor, bordercolor, QColor())
    KV_STYLE_PROPERTY(QColor, btncolorface, QColor())
    KV_STYLE_PROPERTY(QColor, btncolorpress, QColor())
    KV_STYLE_PROPERTY(QColor, btncolortext, QColor())
    KV_STYLE_PROPERTY(int, ratio_x, 1)
    KV_STYLE_PROPERTY(int, ratio_y, 1)
    KV_STYLE_PROPERTY(bool, zrqdesign, false)
    KV_STYLE_PROPERTY(QColor, selection_color, QColor(0x29, 0xC7, 0xA5))
    KV_STYLE_PROPERTY(QColor, hovercolor, QColor(0x29, 0xC7, 0xA5))
    KV_STYLE_PROPERTY(QColor, ankercolor, QColor(0x29, 0xC7, 0xA5))
    KV_STYLE_PROPERTY(QColor, btncolorswitchon, QColor(0x29, 0xC7, 0xA5))
    KV_STYLE_PROPERTY(QColor, btncolorswitchoff, QColor(0x3B, 0x3B, 0x3B))
    KV_STYLE_PROPERTY(QColor, shadowcolor, QColor(0x00, 0x00, 0x00))
    KV_STYLE_PROPERTY(double, shadowblur, 0.4)
    KV_STYLE_PROPERTY(double, shadowxoffset, 0.0)
    KV_STYLE_PROPERTY(double, shadowyoffset, 0.2)
    KV_STYLE_PROPERTY(double, shadow_popup_blur, 1.8)
    KV_STYLE_PROPERTY(double, shadow_popup_xoffset, 0.0)
    KV_STYLE_PROPERTY(double, shadow_popup_yoffset, 0.7)
    KV_STYLE_PROPERTY(QColor, btncolorslideron, QColor(0x3B, 0x3B, 0x3B))
    KV_STYLE_PROPERTY(QColor, btncolorslideroff, QColor(0xC1, 0xC1, 0xC1))
    KV_STYLE_PROPERTY(QColor, btncolorpageswipepress, QColor(0xEA, 0xEA, 0xEA))
    KV_STYLE_PROPERTY(QColor, btncolorpageswipepage, QColor(0xC1, 0xC1, 0xC1))
    KV_STYLE_PROPERTY(QColor, btncolorpageswipeactpage, QColor(0x64, 0x64, 0x64))
    KV_STYLE_PROPERTY(QColor, form_color_bg_on, QColor(0x29, 0xC7, 0xA5))
    KV_STYLE_PROPERTY(QColor, form_color_line_on, QColor(0x27, 0xBA, 0x9A))
    KV_STYLE_PROPERTY(QColor, form_color_bg_off, QColor(0x64, 0x64, 0x64))
    KV_STYLE_PROPERTY(QColor, form_color_line_off, QColor(0xC1, 0xC1, 0xC1))
    KV_STYLE_PROPERTY(QColor, static_text_color, QColor(0x64, 0x64, 0x64))
    KV_STYLE_PROPERTY(QColor, btn_cta_default_color, QColor(0x27, 0xBA, 0x9A))
    KV_STYLE_PROPERTY(QColor, btn_cta_active_color, QColor(0x29, 0xC7, 0xA5))
    KV_STYLE_PROPERTY(QColor, btn_cta_inactive_color, QColor(0x29, 0xC7, 0xA5))
    KV_STYLE_PROPERTY(QColor, btn_cta_text_color, QColor(0xFF, 0xFF, 0xFF))
    KV_STYLE_PROPERTY(QColor, btn_cta_text_inactive_color, QColor(0xFF, 0xFF, 0xFF))
    KV_STYLE_PROPERTY(QColor, btn_grp_active_color, QColor(0xFF, 0xFF, 0xFF))
    KV_STYLE_PROPERTY(QColor, btn_grp_inactive_color, QColor(0xC1, 0xC1, 0xC1))
    KV_STYLE_PROPERTY(QColor, btn_grp_text_color, QColor(0x3B, 0x3B, 0x3B))
    KV_STYLE_PROPERTY(QColor, btn_grp_text_inactive_color, QColor(0x64, 0x64, 0x64))
    KV_STYLE_PROPERTY(QColor, tile_scene_inactive_color, QColor(0xC1, 0xC1, 0xC1))
    KV_STYLE_PROPERTY(QColor, header_bg_color, QColor(0xF2, 0xF2, 0xF2))
    KV_STYLE_PROPERTY(QColor, header_text_color, QColor(0x3B, 0x3B, 0x3B))
    KV_STYLE_PROPERTY(QColor, header_line_color, QColor(0xC1, 0xC1, 0xC1))
};

// The display text of entry `index` of a control's address list: the value
// from the address tree with offset added first, then multiplied by factor
// (unless 0), printed with a printf format (empty: general notation). Time,
// date and string types print their own forms.
QString format_value(const CKV_Gui_Control& control, int index, const QString& format, double factor, double offset);
