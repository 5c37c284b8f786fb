#pragma once
// Numeric input: the formatted value in a text field, with optional minus and
// plus buttons that step it between minimum and maximum.

#include "kv_gui_control.h"

class QLineEdit;

class CKV_Gui_Control_Edit : public CKV_Gui_Control {
    Q_OBJECT
public:
    CKV_Gui_Control_Edit(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record);

    void apply_record() override;
    void on_value(const KV_Addr_Db& address, int entry, double value) override;
    void on_release(const QPoint& point) override;
    QString shown_text() const;
    QLineEdit* editor() const { return m_editor; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private slots:
    void slot_editing_finished();

private:
    QRect text_area() const;
    void reformat();
    // Clamps into the range and writes entry 0.
    void submit(double value);

    double m_minimum = 0.0;
    double m_maximum = 100.0;
    double m_step = 1.0;
    bool m_buttons = true;
    int m_text_percent = 50;
    QString m_format;
    double m_factor = 1.0;
    double m_offset = 0.0;
    QString m_text;
    QLineEdit* m_editor = nullptr;
};
