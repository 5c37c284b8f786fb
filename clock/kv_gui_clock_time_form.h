#pragma once
// The fields of one switching time: hour and minute, the weekdays of a
// weekly time or day and month of a date time, and the value. The clock
// control's editor and the tile's time editor both use it, each naming the
// fields its own way.

#include <QWidget>
#include <array>

#include "kv_clock_model.h"
#include "kv_gui_classic_popup.h"

class QComboBox;
class QDoubleSpinBox;
class QPushButton;
class QSpinBox;
class QToolButton;

// The clock keypad over the window: hours (0 to 23) or minutes (0 to 59).
class CKV_Gui_Control_Popup_Keyboard_Clock : public CKV_Gui_Control_Popup_Number {
    Q_OBJECT
public:
    enum class Part { Hour, Minute };
    CKV_Gui_Control_Popup_Keyboard_Clock(Part part, int value, QWidget* window);
};

// Object names of the fields.
struct KV_Clock_Form_Names {
    const char* hour;
    const char* minute;
    const char* day;
    const char* month;
    const char* days;
    const char* value;
};

class CKV_Gui_Clock_Time_Form : public QWidget {
    Q_OBJECT
public:
    CKV_Gui_Clock_Time_Form(const KV_Clock_Form_Names& names, QWidget* parent);

    // Fills the fields; a switching output (data type 1) picks its value
    // from the two state texts, any other enters a number.
    void set_time(const KV_Clock_Time& time, uint32_t data_type, const KV_Clock_Value_Texts& texts);
    // The time given to set_time with the fields' contents.
    KV_Clock_Time time() const;

private:
    // Hour and minute are buttons showing "%1 h" and "%1 m" that open the
    // clock keypad: finger-sized, where spin box arrows are not.
    QPushButton* time_button(const char* name, CKV_Gui_Control_Popup_Keyboard_Clock::Part part);
    void show_time_part(CKV_Gui_Control_Popup_Keyboard_Clock::Part part, int value);

    KV_Clock_Time m_time;
    bool m_switching = false;
    int m_hour_value = 0;
    int m_minute_value = 0;
    QPushButton* m_hour = nullptr;
    QPushButton* m_minute = nullptr;
    QWidget* m_days = nullptr;
    std::array<QToolButton*, 7> m_day_buttons{};
    QWidget* m_date = nullptr;
    QSpinBox* m_day = nullptr;
    QComboBox* m_month = nullptr;
    QComboBox* m_switch_value = nullptr;
    QDoubleSpinBox* m_number_value = nullptr;
    QString m_value_name;
};
