#pragma once
// Tiles that show values: the value tile, and the header tile that heads a
// tile page with its title, up to six values, a back button and links.

#include <QRect>
#include <vector>

#include "kv_gui_tile_base.h"

class CKV_Gui_Control_Tile_Value : public CKV_Gui_Control_Tile_Base {
    Q_OBJECT
public:
    using CKV_Gui_Control_Tile_Base::CKV_Gui_Control_Tile_Base;

    void on_value(const KV_Addr_Db& address, int entry, double value) override;
    // The value with its format, factor, offset and unit ("45%", "21.5 °C").
    QString value_text() const;

protected:
    void paint_content(QPainter& painter) override;
};

class CKV_Gui_Control_Tile_Header : public CKV_Gui_Control_Tile_Base {
    Q_OBJECT
public:
    static constexpr int VALUES = 6;
    static constexpr int NOMINAL_HEIGHT = 70;

    using CKV_Gui_Control_Tile_Base::CKV_Gui_Control_Tile_Base;

    void on_value(const KV_Addr_Db& address, int entry, double value) override;
    void on_release(const QPoint& point) override;
    void layout(const QSize& size) override;
    // A header scales with its height only: it spans the page's width.
    void update_metrics() override { set_nominal_size(width(), NOMINAL_HEIGHT); }
    // The values shown, each "Text value unit", for the display mode: the
    // tablet slots on tablets, the others on phones; unset slots are left out.
    QStringList value_texts() const;
    QRect back_box() const { return m_back_box; }
    QRect menu_box() const { return m_menu_box; }
    QList<QRect> operable_parts() const override;

protected:
    bool operable() const override { return true; }
    QColor tile_color() const override { return header_bg_color(); }
    void paint_content(QPainter& painter) override;

private:
    QRect m_back_box;
    QRect m_menu_box;
};
