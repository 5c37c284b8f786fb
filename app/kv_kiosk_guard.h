#pragma once
// Kiosk mode of a wall panel: the window fills the screen without menu, and
// a passer-by cannot leave it. Only a press held on the top right corner
// (the empty end of the navigation bar) for a few seconds asks for the
// settings PIN, and only that PIN leaves kiosk mode.

#include <QPointer>
#include <QTimer>
#include <functional>

#include "kv_gui_overlay_pin.h"

class QMainWindow;

class KV_Kiosk_Guard : public QObject {
    Q_OBJECT
public:
    static constexpr int HOLD_MS = 3000;
    static constexpr int CORNER_PX = 60;

    // `pin` gives the PIN when it is asked for.
    KV_Kiosk_Guard(QMainWindow* window, std::function<QString()> pin);

    void set_active(bool active);
    bool is_active() const { return m_active; }
    CKV_Gui_Overlay_Pin* pin_overlay() const { return m_overlay; }

signals:
    // Entered or left; the window hides or shows its menu and settings.
    void active_changed(bool active);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool in_corner(const QPointF& global) const;
    void ask_pin();

    QMainWindow* m_window;
    std::function<QString()> m_pin;
    bool m_active = false;
    QTimer m_hold;
    QPointer<CKV_Gui_Overlay_Pin> m_overlay;
};
