#pragma once
// The touch tiles: a square-ish area with icon, title and state. Plain tiles
// only show; operable tiles act on a tap and open their overlay when held
// for about 0.7 s (seven ticks of the page's 100-ms animation tick).

#include <QFont>
#include <QRect>
#include <array>
#include <memory>

#include "kv_gui_control.h"
#include "kv_tile_icon.h"

class CKV_Gui_Control_Tile_Overlay_Base;
class QDialog;

class CKV_Gui_Control_Tile_Base : public CKV_Gui_Control {
    Q_OBJECT
public:
    enum Display { TABLET = 0, SMARTPHONE = 1 };
    static constexpr int TEXT_STYLES = 13;
    static constexpr double INSET_FACTOR = 0.03;

    // `default_icon`: the icon used when the record names none; without one
    // such a tile has no icon.
    CKV_Gui_Control_Tile_Base(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record,
                              const char* default_icon = "");

    void apply_record() override;

    // Text style 1 to 13: family and pixel size, no hinting.
    const QFont& text_style(int number) const;
    int display() const { return m_display; }
    // Nominal size for the display mode, with or without an icon.
    int nominal_width() const { return m_nominal_w; }
    int nominal_height() const { return m_nominal_h; }
    bool has_icon() const { return m_icon.has_icon(); }
    const KV_Tile_Icon& icon() const { return m_icon; }
    bool inset() const { return m_inset != 0; }
    void set_inset(bool inset);

    // Slot table of the tiles, after the control's own.
    virtual void add_property_editors(QDialog* dialog);
    virtual void paint_content(QPainter& painter);
    virtual void layout(const QSize& size);
    virtual void update_metrics();
    virtual void draw_icon(QPainter& painter, const QRect& box);

protected:
    void paintEvent(QPaintEvent* event) override;

    // Scale of the widget against the nominal size (the smaller of both axes).
    double tile_scale() const { return m_scale; }
    // The areas `layout` computed: icon (top left), title and state (below).
    QRect icon_box() const { return m_icon_box; }
    QRect title_box() const { return m_title_box; }
    QRect state_box() const { return m_state_box; }
    // A text style scaled to the tile's size.
    QFont scaled_style(int number) const;
    // Plain tiles let presses through to what lies below them; the tiles
    // that act on a tap say so.
    bool operable() const override { return false; }
    // Tiles draw their pressed colour themselves.
    QRect pressed_area() const override { return {}; }
    // Background of the tile; the "on" colour of operated tiles.
    virtual QColor tile_color() const;
    void set_icon_color(const QColor& color);
    virtual QColor icon_color(bool on) const;
    void set_nominal_size(int width, int height);
    // Icon, title and the state line below it; `on` draws icon and state in
    // the accent colour.
    void paint_standard(QPainter& painter, const QString& title, const QString& state, bool on);

    // The hold counter: 0 when idle; operable tiles count it down.
    double m_hold = 0.0;

private:
    const char* m_default_icon;
    std::array<QFont, TEXT_STYLES> m_styles;
    int m_nominal_w = 240;
    int m_nominal_h = 270;
    KV_Tile_Icon m_icon;
    int m_inset = 0;
    int m_display = TABLET;
    double m_scale = 1.0;
    QRect m_icon_box;
    QRect m_title_box;
    QRect m_state_box;
};

class CKV_Gui_Control_Tile_Touch_Base : public CKV_Gui_Control_Tile_Base {
    Q_OBJECT
public:
    // The hold counter's start and its step per animation tick, as single
    // precision values: a press held for seven ticks opens the overlay.
    static constexpr float HOLD_START = 0.6f;
    static constexpr float HOLD_STEP = 0.1f;

    static constexpr const char* DEFAULT_ICON = ":/images/Smartphone/phone_Default.svg";

    CKV_Gui_Control_Tile_Touch_Base(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record);

    void apply_record() override;
    void notify_children(int code) override;
    void layout(const QSize& size) override;

    virtual void hook_touch() {}
    // Creates the overlay on first use and shows it; tiles without one do nothing.
    virtual void open_overlay();
    // Drawn in the off state.
    virtual bool is_off() const { return true; }

    double hold_counter() const { return m_hold; }
    QRect touch_area() const { return m_touch_area; }
    bool shows_text() const { return m_show_text; }
    CKV_Gui_Control_Tile_Overlay_Base* overlay() const { return m_overlay.get(); }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool operable() const override { return true; }
    QColor tile_color() const override;
    void paint_content(QPainter& painter) override;
    // The tile's overlay class; null for tiles that have none.
    virtual std::shared_ptr<CKV_Gui_Control_Tile_Overlay_Base> create_overlay() { return nullptr; }
    // The state line under the title ("Ein", "21.5 °C").
    virtual QString state_text() const { return {}; }
    // `layout` makes the whole tile the touch area; tiles with a detail
    // area of their own narrow it after that.
    void set_touch_area(const QRect& area) { m_touch_area = area; }

private:
    QRect m_touch_area;
    std::shared_ptr<CKV_Gui_Control_Tile_Overlay_Base> m_overlay;
    bool m_show_text = true;
    bool m_opened_by_hold = false;
};
