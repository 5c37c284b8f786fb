#pragma once
// Display controls: static text, a formatted value, and a text chosen by value.

#include "kv_gui_control.h"

class CKV_Gui_Control_Label_Text : public CKV_Gui_Control {
    Q_OBJECT
public:
    bool operable() const override { return false; }
    using CKV_Gui_Control::CKV_Gui_Control;
    void apply_record() override;
    QString text() const { return m_text; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
    Qt::Alignment m_alignment = Qt::AlignCenter;
    int m_rotation = 0;
    double m_zoom = 1.0;
};

class CKV_Gui_Control_Label_Value : public CKV_Gui_Control {
    Q_OBJECT
public:
    bool operable() const override { return false; }
    using CKV_Gui_Control::CKV_Gui_Control;
    void apply_record() override;
    void on_value(const KV_Addr_Db& address, int entry, double value) override;
    QString value_text() const { return m_value_text; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void reformat();

    QString m_label;
    QString m_format;
    double m_factor = 1.0;
    double m_offset = 0.0;
    bool m_value_right = false;
    bool m_frame = false;
    QString m_value_text;
};

class CKV_Gui_Control_Label_Var_Text : public CKV_Gui_Control {
    Q_OBJECT
public:
    bool operable() const override { return false; }
    using CKV_Gui_Control::CKV_Gui_Control;
    static constexpr int ENTRY_COUNT = 10;

    void apply_record() override;
    void on_value(const KV_Addr_Db& address, int entry, double value) override;
    QString text() const { return m_shown.text; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Choice {
        double value = 0.0;
        QString text;
        QColor background;
        QColor foreground;
    };
    void choose(double value);

    std::vector<Choice> m_choices;
    Choice m_default;
    Choice m_shown;
    int m_border = 0;
};
