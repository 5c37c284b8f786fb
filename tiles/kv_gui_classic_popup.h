#pragma once
// What the classic (non-tile) operating controls share: a press held for
// the control's "Zeit Popup" opens its value popup, and the value popup
// itself, the number keypad entering a level in percent.

#include <QTimer>
#include <QWidget>

#include "kv_gui_number_popup.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

// Fires `held` once a press has lasted the given time; stop() on release.
class KV_Press_Hold : public QObject {
    Q_OBJECT
public:
    explicit KV_Press_Hold(QObject* parent = nullptr);

    void start(double seconds);
    void stop() { m_timer.stop(); }
    // Whether the press now ending has opened the popup.
    bool fired() const { return m_fired; }

signals:
    void held();

private:
    QTimer m_timer;
    bool m_fired = false;
};

// The level keypad of the classic controls: 0 to 100 percent.
class CKV_Gui_Control_Popup_Percent : public CKV_Gui_Control_Popup_Number {
    Q_OBJECT
public:
    CKV_Gui_Control_Popup_Percent(const QString& title, double value, double step, QWidget* window);
};

// A popup over the whole window: a dimmed backdrop that takes every press,
// so nothing below is operated meanwhile, and a panel in its middle holding
// the controls. A tap beside the panel closes it.
class CKV_Gui_Control_Popup_Panel : public QWidget {
    Q_OBJECT
public:
    explicit CKV_Gui_Control_Popup_Panel(QWidget* window);

    // Covers the window and shows the panel on top.
    void show_over_window();
    // A button of at least finger size on `parent`.
    static QPushButton* add_button(QWidget* parent, const QString& name, const QString& text, bool checkable = false);

protected:
    QWidget* panel() const { return m_panel; }
    // The panel's column under a title row whose close button is named
    // `prefix` + "_close".
    QVBoxLayout* add_title_column(const QString& title, const QString& prefix);
    // Fits the panel to its contents and centres it.
    void center_panel();

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QWidget* m_panel = nullptr;
};
