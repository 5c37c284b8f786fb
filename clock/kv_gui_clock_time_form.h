#pragma once
// The fields of one switching time: hour and minute, the weekdays of a
// weekly time or day and month of a date time, and the value. The clock
// control's editor and the tile's time editor both use it, each naming the
// fields its own way.

#include <QWidget>
#include <array>

#include "kv_clock_model.h"

class QComboBox;
class QDoubleSpinBox;
class QSpinBox;
class QToolButton;

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
    KV_Clock_Time m_time;
    bool m_switching = false;
    QSpinBox* m_hour = nullptr;
    QSpinBox* m_minute = nullptr;
    QWidget* m_days = nullptr;
    std::array<QToolButton*, 7> m_day_buttons{};
    QWidget* m_date = nullptr;
    QSpinBox* m_day = nullptr;
    QComboBox* m_month = nullptr;
    QComboBox* m_switch_value = nullptr;
    QDoubleSpinBox* m_number_value = nullptr;
    QString m_value_name;
};
