#include "kv_gui_clock_time_form.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <algorithm>
#include <limits>

namespace {
const char* const DAY_NAMES[7] = {"Mo", "Di", "Mi", "Do", "Fr", "Sa", "So"};
const char* const MONTH_NAMES[12] = {"Januar", "Februar", "März",      "April",   "Mai",      "Juni",
                                     "Juli",   "August",  "September", "Oktober", "November", "Dezember"};
// Fingers need larger targets than a mouse.
constexpr int TOUCH_HEIGHT = 44;

QSpinBox* spin_box(const char* name, int minimum, int maximum, QWidget* parent)
{
    auto* box = new QSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(minimum, maximum);
    box->setMinimumHeight(TOUCH_HEIGHT);
    return box;
}
} // namespace

CKV_Gui_Control_Popup_Keyboard_Clock::CKV_Gui_Control_Popup_Keyboard_Clock(Part part, int value, QWidget* window)
    : CKV_Gui_Control_Popup_Number(QStringLiteral("kv_popup_clock"), part == Part::Hour ? tr("Stunde") : tr("Minute"),
                                   value,
                                   part == Part::Hour ? Range{0, 23, 1.0, QStringLiteral("h")}
                                                      : Range{0, 59, 1.0, QStringLiteral("m")},
                                   window)
{
}

QPushButton* CKV_Gui_Clock_Time_Form::time_button(const char* name, CKV_Gui_Control_Popup_Keyboard_Clock::Part part)
{
    auto* button = new QPushButton(this);
    button->setObjectName(QString::fromLatin1(name));
    button->setMinimumHeight(TOUCH_HEIGHT);
    connect(button, &QPushButton::clicked, this, [this, part] {
        const int value = part == CKV_Gui_Control_Popup_Keyboard_Clock::Part::Hour ? m_hour_value : m_minute_value;
        auto* keypad = new CKV_Gui_Control_Popup_Keyboard_Clock(part, value, window());
        connect(keypad, &CKV_Gui_Control_Popup_Number::accepted, this,
                [this, part](double entered) { show_time_part(part, static_cast<int>(entered)); });
        keypad->show_over_window();
    });
    return button;
}

void CKV_Gui_Clock_Time_Form::show_time_part(CKV_Gui_Control_Popup_Keyboard_Clock::Part part, int value)
{
    if (part == CKV_Gui_Control_Popup_Keyboard_Clock::Part::Hour) {
        m_hour_value = value;
        m_hour->setText(QStringLiteral("%1 h").arg(value));
    } else {
        m_minute_value = value;
        m_minute->setText(QStringLiteral("%1 m").arg(value));
    }
}

CKV_Gui_Clock_Time_Form::CKV_Gui_Clock_Time_Form(const KV_Clock_Form_Names& names, QWidget* parent)
    : QWidget(parent)
{
    auto* form = new QFormLayout(this);
    auto* time_row = new QHBoxLayout;
    m_hour = time_button(names.hour, CKV_Gui_Control_Popup_Keyboard_Clock::Part::Hour);
    m_minute = time_button(names.minute, CKV_Gui_Control_Popup_Keyboard_Clock::Part::Minute);
    time_row->addWidget(m_hour);
    time_row->addWidget(m_minute);
    form->addRow(tr("Uhrzeit"), time_row);

    m_days = new QWidget(this);
    m_days->setObjectName(QString::fromLatin1(names.days));
    auto* day_row = new QHBoxLayout(m_days);
    day_row->setContentsMargins(0, 0, 0, 0);
    for (int d = 0; d < 7; ++d) {
        m_day_buttons[d] = new QToolButton(m_days);
        m_day_buttons[d]->setText(QString::fromLatin1(DAY_NAMES[d]));
        m_day_buttons[d]->setCheckable(true);
        m_day_buttons[d]->setMinimumSize(TOUCH_HEIGHT, TOUCH_HEIGHT);
        day_row->addWidget(m_day_buttons[d]);
    }
    form->addRow(tr("Tage"), m_days);

    m_date = new QWidget(this);
    auto* date_row = new QHBoxLayout(m_date);
    date_row->setContentsMargins(0, 0, 0, 0);
    m_day = spin_box(names.day, 1, 31, m_date);
    m_month = new QComboBox(m_date);
    m_month->setObjectName(QString::fromLatin1(names.month));
    m_month->setMinimumHeight(TOUCH_HEIGHT);
    for (const char* month : MONTH_NAMES)
        m_month->addItem(QString::fromUtf8(month));
    date_row->addWidget(m_day);
    date_row->addWidget(m_month);
    form->addRow(tr("Datum"), m_date);

    // One of both value fields is shown, by the output's data type.
    auto* value_row = new QHBoxLayout;
    m_switch_value = new QComboBox(this);
    m_number_value = new QDoubleSpinBox(this);
    m_number_value->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    m_number_value->setDecimals(2);
    for (QWidget* field : {static_cast<QWidget*>(m_switch_value), static_cast<QWidget*>(m_number_value)}) {
        field->setMinimumHeight(TOUCH_HEIGHT);
        value_row->addWidget(field);
    }
    form->addRow(tr("Wert"), value_row);
    m_value_name = QString::fromLatin1(names.value);
}

void CKV_Gui_Clock_Time_Form::set_time(const KV_Clock_Time& time, uint32_t data_type, const KV_Clock_Value_Texts& texts)
{
    m_time = time;
    show_time_part(CKV_Gui_Control_Popup_Keyboard_Clock::Part::Hour, time.m_hour);
    show_time_part(CKV_Gui_Control_Popup_Keyboard_Clock::Part::Minute, time.m_minute);
    for (int d = 0; d < 7; ++d)
        m_day_buttons[d]->setChecked(time.m_fwekday[d]);
    const bool weekly = time.m_typ == 0;
    m_days->setVisible(weekly);
    m_date->setVisible(!weekly);
    m_day->setValue(time.m_day);
    m_month->setCurrentIndex(std::clamp(time.m_month, 1, 12) - 1);

    m_switching = data_type == KV_CLOCK_TYPE_SWITCH;
    m_switch_value->clear();
    m_switch_value->addItems({texts.off_text(), texts.on_text()});
    m_switch_value->setCurrentIndex(time.m_value == 0.0 ? 0 : 1);
    m_number_value->setValue(time.m_value);
    m_switch_value->setVisible(m_switching);
    m_number_value->setVisible(!m_switching);
    // The name belongs to the field in use.
    m_switch_value->setObjectName(m_switching ? m_value_name : QString());
    m_number_value->setObjectName(m_switching ? QString() : m_value_name);
}

KV_Clock_Time CKV_Gui_Clock_Time_Form::time() const
{
    KV_Clock_Time time = m_time;
    time.m_hour = m_hour_value;
    time.m_minute = m_minute_value;
    if (time.m_typ == 0) {
        for (int d = 0; d < 7; ++d)
            time.m_fwekday[d] = m_day_buttons[d]->isChecked();
    } else {
        time.m_day = m_day->value();
        time.m_month = m_month->currentIndex() + 1;
    }
    if (m_switching) {
        // Keeps the stored "on" value when the state did not change.
        const bool on = m_switch_value->currentIndex() == 1;
        if (on != (m_time.m_value != 0.0))
            time.m_value = on ? 1.0 : 0.0;
    } else {
        time.m_value = m_number_value->value();
    }
    return time;
}
