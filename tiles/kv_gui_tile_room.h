#pragma once
// Tiles that act on a tap without an overlay: the room tile leads to a
// room's page, the scene tile starts a scene on the controller.

#include <string>

#include "kv_gui_tile_base.h"

// The page a tile leads to: the "Seite" parameter, or, when the target
// depends on the user, the entry "user=page" of the user list ("Seite User",
// ";"-separated) for the logged-in user, "Seite" when none names them.
std::string kv_tile_target_page(const CKV_Gui_Control& control, const char* dependent_label);

class CKV_Gui_Control_Tile_Room : public CKV_Gui_Control_Tile_Base {
    Q_OBJECT
public:
    using CKV_Gui_Control_Tile_Base::CKV_Gui_Control_Tile_Base;

    void on_release(const QPoint& point) override;

protected:
    bool operable() const override { return true; }
    // A room is neither on nor off: its icon keeps the accent colour.
    QColor icon_color(bool) const override { return CKV_Gui_Control_Tile_Base::icon_color(true); }
    void paint_content(QPainter& painter) override;
};

class CKV_Gui_Control_Tile_Scene : public CKV_Gui_Control_Tile_Base {
    Q_OBJECT
public:
    // A release further than this from its press (x plus y distance) is a
    // swipe over the page, not a tap.
    static constexpr int SWIPE_DISTANCE = 5;

    using CKV_Gui_Control_Tile_Base::CKV_Gui_Control_Tile_Base;

    void on_value(const KV_Addr_Db& address, int entry, double value) override;
    void on_release(const QPoint& point) override;
    // New scene settings (192) may rename or re-icon the tile's scene.
    void on_message(const CKV_Network_Msg& header, const unsigned char* payload) override;
    // The feedback address is set and reports the scene active.
    bool is_active() const;

protected:
    bool operable() const override { return true; }
    QColor tile_color() const override;
    QColor icon_color(bool on) const override;
    void paint_content(QPainter& painter) override;
};
