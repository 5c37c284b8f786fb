#pragma once
// The fields of one switching time: its name, whether it is weekly or on a
// date, hour and minute, the weekdays of a weekly time or the date of a
// date time (on a calendar, every year or in one year only), the value, and
// the operating mode and scene it is tied to. The clock control's editor
// and the tile's time editor both use it, each naming the fields its own
// way.

#include <QWidget>
#include <array>

#include "kv_clock_model.h"
#include "kv_gui_classic_popup.h"

class QCalendarWidget;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
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

// The name of a switching time, entered over the window: "OK" hands it on.
class CKV_Gui_Control_Popup_Name : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* TITLE = "Name der Schaltzeit";
    CKV_Gui_Control_Popup_Name(const QString& name, QWidget* window);
    void show_over_window();
    QLineEdit* input() const { return m_input; }

signals:
    void accepted(const QString& name);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLineEdit* m_input;
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

    // Fills the fields; named values are picked from a list, any other
    // value is entered as a number.
    void set_time(const KV_Clock_Time& time, const KV_Time_Choices& choices);
    // The time given to set_time with the fields' contents.
    KV_Clock_Time time() const;

    // Weekly (0) or on a date (1).
    void set_type(int type);
    void set_name(const QString& name);
    // Picks a date as the calendar does.
    void set_date(const QDate& date);

    QPushButton* name_button() const { return m_name; }
    QPushButton* weekly_button() const { return m_weekly; }
    QPushButton* date_button() const { return m_dated; }
    QCalendarWidget* calendar() const { return m_calendar; }
    QCheckBox* every_year() const { return m_every_year; }
    QSpinBox* day() const { return m_day; }
    QComboBox* month() const { return m_month; }
    QComboBox* group() const { return m_group; }
    QComboBox* scene() const { return m_scene; }

private:
    // Hour and minute are buttons showing "%1 h" and "%1 m" that open the
    // clock keypad: finger-sized, where spin box arrows are not.
    QPushButton* time_button(const char* name, CKV_Gui_Control_Popup_Keyboard_Clock::Part part);
    void show_time_part(CKV_Gui_Control_Popup_Keyboard_Clock::Part part, int value);
    // Month and weekday names of the calendar as the panel's other fields read.
    void show_calendar_in_panel_language();
    // Day, month and calendar agree; the day stays within its month.
    void show_date(int day, int month, int year);

    KV_Clock_Time m_time;
    KV_Time_Choices m_choices;
    int m_type = 0;
    int m_year = 2016;
    QString m_name_text;
    int m_hour_value = 0;
    int m_minute_value = 0;
    QPushButton* m_name = nullptr;
    QPushButton* m_weekly = nullptr;
    QPushButton* m_dated = nullptr;
    QPushButton* m_hour = nullptr;
    QPushButton* m_minute = nullptr;
    QWidget* m_days = nullptr;
    std::array<QToolButton*, 7> m_day_buttons{};
    QWidget* m_date = nullptr;
    QCalendarWidget* m_calendar = nullptr;
    QCheckBox* m_every_year = nullptr;
    QSpinBox* m_day = nullptr;
    QComboBox* m_month = nullptr;
    QComboBox* m_choice_value = nullptr;
    int m_shown_choice = -1;
    QDoubleSpinBox* m_number_value = nullptr;
    QString m_value_name;
    QComboBox* m_group = nullptr;
    QComboBox* m_scene = nullptr;
    class QFormLayout* m_layout = nullptr;
};
