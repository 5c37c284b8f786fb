#include "kv_gui_clock_time_form.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>
#include <type_traits>

#include "kv_touch.h"

namespace {
const char* const MONTH_NAMES[12] = {"Januar", "Februar", "März",      "April",   "Mai",      "Juni",
                                     "Juli",   "August",  "September", "Oktober", "November", "Dezember"};
// A yearly date may be the 29th of February.
constexpr int LEAP_YEAR = 2000;

template <class Field>
Field* field(const char* name, QWidget* parent)
{
    auto* widget = new Field(parent);
    if (name)
        widget->setObjectName(QString::fromLatin1(name));
    widget->setMinimumSize(KV_FINGER_PX, KV_FINGER_PX);
    if constexpr (std::is_same_v<Field, QComboBox>)
        kv_touch_combo(widget);
    return widget;
}

QPushButton* choice_button(const QString& text, const char* name, QWidget* parent)
{
    auto* button = field<QPushButton>(name, parent);
    button->setText(text);
    button->setCheckable(true);
    button->setAutoExclusive(true);
    return button;
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

// ---------------------------------------------------------------- name input

CKV_Gui_Control_Popup_Name::CKV_Gui_Control_Popup_Name(const QString& name, QWidget* window)
    : QWidget(window)
    , m_input(field<QLineEdit>("kv_name_input", nullptr))
{
    setObjectName(QStringLiteral("kv_popup_name"));
    auto* panel = new QWidget(this);
    panel->setAutoFillBackground(true);
    panel->setMinimumWidth(320);
    auto* column = new QVBoxLayout(panel);
    auto* title = new QLabel(tr(TITLE), panel);
    QFont font = title->font();
    font.setBold(true);
    title->setFont(font);
    column->addWidget(title);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(tr("Name:"), panel));
    m_input->setParent(panel);
    m_input->setText(name);
    row->addWidget(m_input, 1);
    column->addLayout(row);
    auto* buttons = new QHBoxLayout;
    auto* cancel = field<QPushButton>("kv_name_cancel", panel);
    cancel->setText(tr("Abbrechen"));
    auto* ok = field<QPushButton>("kv_name_ok", panel);
    ok->setText(tr("OK"));
    buttons->addWidget(cancel);
    buttons->addWidget(ok);
    column->addLayout(buttons);
    auto* outer = new QVBoxLayout(this);
    outer->addStretch();
    outer->addWidget(panel, 0, Qt::AlignHCenter);
    outer->addStretch();

    const auto close = [this] {
        hide();
        deleteLater();
    };
    connect(cancel, &QPushButton::clicked, this, close);
    connect(ok, &QPushButton::clicked, this, [this, close] {
        emit accepted(m_input->text().trimmed());
        close();
    });
    connect(m_input, &QLineEdit::returnPressed, ok, &QPushButton::click);
}

void CKV_Gui_Control_Popup_Name::show_over_window()
{
    setGeometry(parentWidget()->rect());
    show();
    raise();
    m_input->setFocus();
    m_input->selectAll();
}

void CKV_Gui_Control_Popup_Name::paintEvent(QPaintEvent*)
{
    QPainter(this).fillRect(rect(), QColor(0, 0, 0, 120));
}

// ---------------------------------------------------------------- form

QPushButton* CKV_Gui_Clock_Time_Form::time_button(const char* name, CKV_Gui_Control_Popup_Keyboard_Clock::Part part)
{
    auto* button = field<QPushButton>(name, this);
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
    m_layout = new QFormLayout(this);
    m_name = field<QPushButton>("kv_time_name", this);
    connect(m_name, &QPushButton::clicked, this, [this] {
        auto* input = new CKV_Gui_Control_Popup_Name(m_name_text, window());
        connect(input, &CKV_Gui_Control_Popup_Name::accepted, this, [this](const QString& name) {
            if (!name.isEmpty())
                set_name(name);
        });
        input->show_over_window();
    });
    m_layout->addRow(tr("Name:"), m_name);

    auto* type_row = new QHBoxLayout;
    m_weekly = choice_button(tr("Wöchentlich"), "kv_time_weekly", this);
    m_dated = choice_button(tr("Datum"), "kv_time_dated", this);
    connect(m_weekly, &QPushButton::clicked, this, [this] { set_type(0); });
    connect(m_dated, &QPushButton::clicked, this, [this] { set_type(1); });
    type_row->addWidget(m_weekly);
    type_row->addWidget(m_dated);
    m_layout->addRow(tr("Art"), type_row);

    auto* time_row = new QHBoxLayout;
    m_hour = time_button(names.hour, CKV_Gui_Control_Popup_Keyboard_Clock::Part::Hour);
    m_minute = time_button(names.minute, CKV_Gui_Control_Popup_Keyboard_Clock::Part::Minute);
    time_row->addWidget(m_hour);
    time_row->addWidget(m_minute);
    m_layout->addRow(tr("Uhrzeit"), time_row);

    m_days = new QWidget(this);
    m_days->setObjectName(QString::fromLatin1(names.days));
    auto* day_row = new QHBoxLayout(m_days);
    day_row->setContentsMargins(0, 0, 0, 0);
    for (int d = 0; d < 7; ++d) {
        m_day_buttons[d] = new QToolButton(m_days);
        m_day_buttons[d]->setText(kv_clock_day_name(d));
        m_day_buttons[d]->setCheckable(true);
        m_day_buttons[d]->setMinimumSize(KV_FINGER_PX, KV_FINGER_PX);
        day_row->addWidget(m_day_buttons[d]);
    }
    m_layout->addRow(tr("Tage"), m_days);

    m_date = new QWidget(this);
    auto* date_column = new QVBoxLayout(m_date);
    date_column->setContentsMargins(0, 0, 0, 0);
    m_calendar = new QCalendarWidget(m_date);
    m_calendar->setObjectName(QStringLiteral("kv_time_calendar"));
    show_calendar_in_panel_language();
    // Seven columns of six weeks under the month bar and the day names.
    m_calendar->setMinimumSize(7 * KV_FINGER_PX, 8 * KV_FINGER_PX);
    date_column->addWidget(m_calendar);
    auto* date_row = new QHBoxLayout;
    m_day = field<QSpinBox>(names.day, m_date);
    m_day->setRange(1, 31);
    m_month = field<QComboBox>(names.month, m_date);
    for (const char* month : MONTH_NAMES)
        m_month->addItem(QString::fromUtf8(month));
    m_every_year = field<QCheckBox>("kv_time_every_year", m_date);
    m_every_year->setText(tr("Jedes Jahr"));
    date_row->addWidget(m_day);
    date_row->addWidget(m_month, 1);
    date_row->addWidget(m_every_year);
    date_column->addLayout(date_row);
    m_layout->addRow(tr("Datum"), m_date);
    connect(m_calendar, &QCalendarWidget::clicked, this, &CKV_Gui_Clock_Time_Form::set_date);
    connect(m_day, &QSpinBox::valueChanged, this,
            [this](int day) { show_date(day, m_month->currentIndex() + 1, m_year); });
    connect(m_month, &QComboBox::activated, this,
            [this](int month) { show_date(m_day->value(), month + 1, m_year); });
    connect(m_every_year, &QCheckBox::toggled, this,
            [this] { show_date(m_day->value(), m_month->currentIndex() + 1, m_year); });

    // One of both value fields is shown, by the choices.
    auto* value_row = new QHBoxLayout;
    m_choice_value = field<QComboBox>(nullptr, this);
    m_number_value = field<QDoubleSpinBox>(nullptr, this);
    m_number_value->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    m_number_value->setDecimals(2);
    value_row->addWidget(m_choice_value);
    value_row->addWidget(m_number_value);
    m_layout->addRow(tr("Wert"), value_row);
    m_value_name = QString::fromLatin1(names.value);

    m_group = field<QComboBox>("kv_time_group", this);
    m_layout->addRow(tr("Betriebsart"), m_group);
    m_scene = field<QComboBox>("kv_time_scene", this);
    m_layout->addRow(tr("Szene"), m_scene);
}

void CKV_Gui_Clock_Time_Form::set_name(const QString& name)
{
    m_name_text = name;
    m_name->setText(name.isEmpty() ? tr("Name der Schaltzeit") : name);
}

void CKV_Gui_Clock_Time_Form::set_type(int type)
{
    m_type = type == 0 ? 0 : 1;
    m_weekly->setChecked(m_type == 0);
    m_dated->setChecked(m_type != 0);
    m_layout->setRowVisible(m_days, m_type == 0);
    m_layout->setRowVisible(m_date, m_type != 0);
}

void CKV_Gui_Clock_Time_Form::set_date(const QDate& date)
{
    m_year = date.year();
    show_date(date.day(), date.month(), date.year());
}

void CKV_Gui_Clock_Time_Form::show_calendar_in_panel_language()
{
    // The panel speaks German whatever language the system or the toolkit's
    // dialogs use: months as the month field names them.
    m_calendar->setLocale(QLocale(QLocale::German, QLocale::Germany));
    m_calendar->setFirstDayOfWeek(Qt::Monday);
    m_calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    // The locale would head the days "Mo.": the weekday buttons' names head
    // them instead, in a row between month bar and days.
    auto* calendar_column = qobject_cast<QBoxLayout*>(m_calendar->layout());
    if (!calendar_column)
        return;
    m_calendar->setHorizontalHeaderFormat(QCalendarWidget::NoHorizontalHeader);
    auto* header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 0, 0);
    header->setSpacing(0);
    for (int d = 0; d < 7; ++d) {
        auto* name = new QLabel(kv_clock_day_name(d), m_calendar);
        name->setObjectName(QStringLiteral("kv_calendar_day"));
        name->setAlignment(Qt::AlignCenter);
        header->addWidget(name, 1);
    }
    calendar_column->insertLayout(1, header);
}

void CKV_Gui_Clock_Time_Form::show_date(int day, int month, int year)
{
    month = std::clamp(month, 1, 12);
    const int days = QDate(m_every_year->isChecked() ? LEAP_YEAR : year, month, 1).daysInMonth();
    day = std::clamp(day, 1, days);
    const QSignalBlocker day_blocker(m_day);
    m_day->setRange(1, days);
    m_day->setValue(day);
    m_month->setCurrentIndex(month - 1);
    const QDate shown(year, month, std::min(day, QDate(year, month, 1).daysInMonth()));
    const QSignalBlocker calendar_blocker(m_calendar);
    m_calendar->setSelectedDate(shown);
}

void CKV_Gui_Clock_Time_Form::set_time(const KV_Clock_Time& time, const KV_Time_Choices& choices)
{
    m_time = time;
    m_choices = choices;
    set_name(QString::fromStdString(time.m_str_name));
    set_type(time.m_typ);
    show_time_part(CKV_Gui_Control_Popup_Keyboard_Clock::Part::Hour, time.m_hour);
    show_time_part(CKV_Gui_Control_Popup_Keyboard_Clock::Part::Minute, time.m_minute);
    for (int d = 0; d < 7; ++d)
        m_day_buttons[d]->setChecked(time.m_fwekday[d]);
    // A time that never had a date starts from today.
    const bool has_date = time.m_day >= 1 && time.m_month >= 1;
    const QDate today = QDate::currentDate();
    m_year = has_date ? time.m_year : today.year();
    {
        const QSignalBlocker blocker(m_every_year);
        m_every_year->setChecked(!time.m_use_year);
    }
    show_date(has_date ? time.m_day : today.day(), has_date ? time.m_month : today.month(), m_year);

    const bool named = !choices.values.empty();
    m_choice_value->clear();
    int shown = -1;
    for (size_t i = 0; i < choices.values.size(); ++i) {
        m_choice_value->addItem(choices.values[i].second);
        if (choices.values[i].first == time.m_value)
            shown = int(i);
    }
    // A switching value other than 0 and 1 still reads as "on".
    if (shown < 0 && named)
        shown = time.m_value != 0.0 ? int(choices.values.size()) - 1 : 0;
    m_choice_value->setCurrentIndex(shown);
    m_shown_choice = shown;
    m_number_value->setValue(time.m_value);
    m_choice_value->setVisible(named);
    m_number_value->setVisible(!named);
    // The name belongs to the field in use.
    m_choice_value->setObjectName(named ? m_value_name : QString());
    m_number_value->setObjectName(named ? QString() : m_value_name);

    m_group->clear();
    m_group->addItem(tr("Immer"));
    m_group->addItems(choices.groups);
    m_group->setCurrentIndex(time.m_use_group && time.m_group >= 0 && time.m_group < choices.groups.size()
                                 ? time.m_group + 1
                                 : 0);
    m_layout->setRowVisible(m_group, !choices.groups.isEmpty());
    m_scene->clear();
    m_scene->addItem(tr("Keine"), QString());
    for (const auto& [name, guid] : choices.scenes) {
        m_scene->addItem(name, QString::fromStdString(guid));
        if (guid == time.m_str_scene)
            m_scene->setCurrentIndex(m_scene->count() - 1);
    }
    m_layout->setRowVisible(m_scene, !choices.scenes.empty());
}

KV_Clock_Time CKV_Gui_Clock_Time_Form::time() const
{
    KV_Clock_Time time = m_time;
    time.m_str_name = m_name_text.toStdString();
    time.m_typ = m_type;
    time.m_hour = m_hour_value;
    time.m_minute = m_minute_value;
    if (time.m_typ == 0) {
        for (int d = 0; d < 7; ++d)
            time.m_fwekday[d] = m_day_buttons[d]->isChecked();
    } else {
        time.m_day = m_day->value();
        time.m_month = m_month->currentIndex() + 1;
        time.m_year = m_calendar->selectedDate().year();
        time.m_use_year = !m_every_year->isChecked();
    }
    if (!m_choices.values.empty()) {
        // Keeps the stored value when the choice did not change.
        const int index = m_choice_value->currentIndex();
        if (index >= 0 && index != m_shown_choice)
            time.m_value = m_choices.values[size_t(index)].first;
    } else {
        time.m_value = m_number_value->value();
    }
    if (!m_choices.groups.isEmpty()) {
        time.m_use_group = m_group->currentIndex() > 0;
        time.m_group = time.m_use_group ? m_group->currentIndex() - 1 : 0;
    }
    if (!m_choices.scenes.empty())
        time.m_str_scene = m_scene->currentData().toString().toStdString();
    return time;
}
