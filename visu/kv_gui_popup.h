#pragma once
// Popups: a hidden container whose children are shown on demand above the
// page, and the button (or telegram) that opens it.

#include "kv_gui_triggered.h"

class CKV_Gui_Control_Popup_Container : public CKV_Gui_Control {
    Q_OBJECT
public:
    using CKV_Gui_Control::CKV_Gui_Control;

    void apply_record() override;
    void attach_to_parent() override;
    // Shows the popup in the visible part of the page, centred or by its
    // alignment parameters. With close_after_use the first operation of one
    // of its controls closes it again.
    void open(bool centred, bool close_after_use);
    void close_popup();
    bool is_open() const { return isVisible(); }
    // An open popup keeps its place in the visible part of the page when the
    // page is placed anew (resize, zoom).
    int place_scaled(double sx, double sy) override;

protected:
    QRect pressed_area() const override { return {}; }
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void watch_controls(CKV_Gui_Control* control);
    // Moves the popup into the visible part of the page and the backdrop
    // over the whole page.
    void place_in_view();

    int m_align_h = 1;
    int m_align_v = 1;
    bool m_centred = false;
    bool m_close_after_use = false;
    QWidget* m_backdrop = nullptr;
};

class CKV_Gui_Control_Popup_Button : public CKV_Gui_Control_Triggered {
    Q_OBJECT
public:
    using CKV_Gui_Control_Triggered::CKV_Gui_Control_Triggered;

    void apply_record() override;
    // The container this button opens; null when the page has none.
    CKV_Gui_Control_Popup_Container* popup() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    // Draws its pressed face itself.
    QRect pressed_area() const override { return {}; }
    // Opens the popup.
    void act() override;

private:
    bool opens_once() const;

    bool m_centred = false;
};
