#pragma once
// Buttons that change the page, and the multiple-choice button row.

#include <vector>

#include "kv_gui_triggered.h"

class CKV_Gui_Control_Button_Seitenwechsel : public CKV_Gui_Control_Triggered {
    Q_OBJECT
public:
    using CKV_Gui_Control_Triggered::CKV_Gui_Control_Triggered;

    void apply_record() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    // Draws its pressed face itself.
    QRect pressed_area() const override { return {}; }
    // Changes the page.
    void act() override;
    const char* trigger_param() const override { return "Auto Seitenwechsel"; }

private:
    std::string m_page_guid;
};

class CKV_Gui_Control_Button_Gruppe : public CKV_Gui_Control {
    Q_OBJECT
public:
    static constexpr int MAX_BUTTONS = 8;

    using CKV_Gui_Control::CKV_Gui_Control;

    void apply_record() override;
    void on_value(const KV_Addr_Db& address, int entry, double value) override;
    void on_release(const QPoint& point) override;
    // The button marked by the feedback value, -1 for none.
    int active_button() const;
    int button_count() const { return static_cast<int>(m_buttons.size()); }
    QList<QRect> operable_parts() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    // The pressed look on the button under the finger.
    QRect pressed_area() const override;

private:
    struct Button {
        double value = 0.0;
        QString name;
    };
    QRect button_rect(int index) const;
    int button_at(const QPoint& point) const;

    std::vector<Button> m_buttons;
    double m_feedback = 0.0;
};
