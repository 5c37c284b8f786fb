#pragma once
// The PIN prompt in front of a protected control: a keypad over the window.
// The entry is compared as soon as it has the PIN's length.

#include <QWidget>

class QLabel;
class QLineEdit;

class CKV_Gui_Overlay_Pin : public QWidget {
    Q_OBJECT
public:
    CKV_Gui_Overlay_Pin(const QString& expected_pin, QWidget* parent);

    // Covers `area` (the window) and takes the keyboard.
    void show_over(QWidget* area);
    QLineEdit* input() const { return m_input; }
    QLabel* error_label() const { return m_error; }

signals:
    void accepted();
    void cancelled();

public slots:
    void slot_input_changed(const QString& text);
    void slot_cancel();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_expected;
    QLineEdit* m_input = nullptr;
    QLabel* m_error = nullptr;
};
