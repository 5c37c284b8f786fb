#pragma once
// The number keypad over the window: digits replace the shown number, then
// add to it; "-" and "+" move it by a step; "," and "±" appear where the
// range has decimals or goes below 0; "OK" hands on the number, kept within
// the limits, and closes. `name` prefixes the object names of the popup,
// its panel and its input field; keys are named "kv_key_" and their text.

#include <QWidget>

class QLineEdit;

class CKV_Gui_Control_Popup_Number : public QWidget {
    Q_OBJECT
public:
    struct Range {
        double minimum;
        double maximum;
        double step;
        QString unit;
        int decimals = 0;
    };
    CKV_Gui_Control_Popup_Number(const QString& name, const QString& title, double value, const Range& range,
                                 QWidget* window);

    // Covers the window and takes the keyboard.
    void show_over_window();
    QLineEdit* input() const { return m_input; }
    double entered() const;

signals:
    void accepted(double value);

public slots:
    void slot_digit(int digit);
    void slot_step(int direction);
    void slot_comma();
    void slot_sign();
    void slot_ok();
    void slot_cancel();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void show_value(double value);
    void show_text(const QString& text);

    Range m_range;
    bool m_fresh = true; // the first key replaces the shown number
    QLineEdit* m_input = nullptr;
};
