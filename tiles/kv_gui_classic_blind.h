#pragma once
// The classic blind control: up, stop and down side by side (or stacked),
// the height shown; a long press, or a tap in the popup view, opens the
// keypad for the height.

#include <QPointer>

#include "kv_gui_classic_popup.h"
#include "kv_gui_control.h"

class CKV_Gui_Control_App_Rollo : public CKV_Gui_Control {
    Q_OBJECT
public:
    enum View { HORIZONTAL = 0, VERTICAL = 1, POPUP = 2 };

    CKV_Gui_Control_App_Rollo(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record);

    void apply_record() override;
    void on_value(const KV_Addr_Db& address, int entry, double value) override;
    void on_press(const QPoint& point) override;
    void on_release(const QPoint& point) override;

    int view() const { return m_view; }
    // The three buttons; empty in the popup view.
    QRect up_box() const;
    QRect stop_box() const;
    QRect down_box() const;
    QList<QRect> operable_parts() const override;
    void open_value_popup();
    class CKV_Gui_Control_App_Rollo_Popup_Wert* value_popup() const { return m_popup; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The i-th of three equal parts along the control's axis.
    QRect part(int i) const;

    int m_view = VERTICAL;
    KV_Press_Hold m_hold;
    QPointer<class CKV_Gui_Control_App_Rollo_Popup_Wert> m_popup;
};

// The blind's keypad: the height entered is written to "Höhe Wert".
class CKV_Gui_Control_App_Rollo_Popup_Wert : public CKV_Gui_Control_Popup_Percent {
    Q_OBJECT
public:
    explicit CKV_Gui_Control_App_Rollo_Popup_Wert(CKV_Gui_Control_App_Rollo* blind);
};
