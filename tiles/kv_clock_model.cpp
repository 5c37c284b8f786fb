#include "kv_clock_model.h"

#include <QLocale>
#include <QStringList>
#include <optional>

#include "kv_gui_control.h"
#include "kv_network_msg.h"
#include "kv_settings_scene.h"
#include "kv_visu_host.h"

namespace {
const char* const DAY_NAMES[7] = {"Mo", "Di", "Mi", "Do", "Fr", "Sa", "So"};

QString two_digits(int number)
{
    return QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0'));
}

bool days_exactly(const KV_Clock_Time& time, int first, int last)
{
    for (int d = 0; d < 7; ++d)
        if (time.m_fwekday[d] != (d >= first && d <= last))
            return false;
    return true;
}

QString number_text(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

// When a time switches next after `now`; none for a weekly time without
// days or a date that has passed.
std::optional<QDateTime> next_occurrence(const KV_Clock_Time& time, const QDateTime& now)
{
    const QTime at(time.m_hour, time.m_minute);
    if (time.m_typ == 0) {
        // Eight days reach the same weekday of next week at an earlier hour.
        for (int offset = 0; offset <= 7; ++offset) {
            const QDate date = now.date().addDays(offset);
            const QDateTime when(date, at);
            if (time.m_fwekday[date.dayOfWeek() - 1] && when > now)
                return when;
        }
        return std::nullopt;
    }
    const int first_year = time.m_use_year ? time.m_year : now.date().year();
    const int last_year = time.m_use_year ? time.m_year : first_year + 1;
    for (int year = first_year; year <= last_year; ++year) {
        const QDateTime when(QDate(year, time.m_month, time.m_day), at);
        if (when.isValid() && when > now)
            return when;
    }
    return std::nullopt;
}
} // namespace

KV_Clock* kv_find_clock(KV_Settings_Clock& settings, const std::string& guid)
{
    for (KV_Clock& clock : settings.m_list_clock)
        if (clock.m_str_guid == guid)
            return &clock;
    return nullptr;
}

QString kv_clock_time_text(const KV_Clock_Time& time, const char* pattern)
{
    return QString::fromUtf8(pattern).arg(two_digits(time.m_hour), two_digits(time.m_minute));
}

QString kv_clock_day_name(int day)
{
    return day >= 0 && day < 7 ? QString::fromLatin1(DAY_NAMES[day]) : QString();
}

QString kv_clock_weekdays_text(const KV_Clock_Time& time)
{
    if (days_exactly(time, 0, 6))
        return QStringLiteral("Mo-So");
    if (days_exactly(time, 0, 4))
        return QStringLiteral("Mo-Fr");
    if (days_exactly(time, 5, 6))
        return QStringLiteral("Sa-So");
    QStringList chosen;
    for (int d = 0; d < 7; ++d)
        if (time.m_fwekday[d])
            chosen << kv_clock_day_name(d);
    return chosen.isEmpty() ? QStringLiteral("Auswahl Tage...") : chosen.join(QStringLiteral("; "));
}

QString kv_clock_date_text(const KV_Clock_Time& time)
{
    return QStringLiteral("%1 . %2").arg(two_digits(time.m_day), two_digits(time.m_month));
}

QString kv_clock_once_text(const KV_Clock_Time& time)
{
    if (!time.m_use_year)
        return QStringLiteral("Jährlich am %1.%2").arg(two_digits(time.m_day), two_digits(time.m_month));
    return QStringLiteral("Einmalig am %1.%2.%3").arg(two_digits(time.m_day), two_digits(time.m_month)).arg(time.m_year);
}

QString kv_clock_when_text(const KV_Clock_Time& time)
{
    return time.m_typ == 0 ? kv_clock_weekdays_text(time) : kv_clock_date_text(time);
}

QString KV_Clock_Value_Texts::on_text() const
{
    return on.isEmpty() ? QStringLiteral("Ein") : on;
}

QString KV_Clock_Value_Texts::off_text() const
{
    return off.isEmpty() ? QStringLiteral("Aus") : off;
}

KV_Clock_Value_Texts kv_clock_value_texts(const CKV_Gui_Control& control)
{
    return {control.text_param("Text Wert ein"), control.text_param("Text Wert aus")};
}

QString kv_clock_value_text(const KV_Clock_Time* time, uint32_t data_type, const KV_Clock_Value_Texts& texts)
{
    if (!time)
        return QStringLiteral("-");
    switch (data_type) {
    case KV_CLOCK_TYPE_SWITCH:
        return time->m_value == 0.0 ? texts.off_text() : texts.on_text();
    case KV_CLOCK_TYPE_PERCENT:
        return QStringLiteral("%1 %").arg(number_text(time->m_value));
    default:
        return number_text(time->m_value);
    }
}

uint32_t kv_clock_data_type(KV_Visu_Host& host, const KV_Clock& clock)
{
    const KV_Addr_Db* address = host.address_tree().find_address(clock.m_addr_db_write);
    return address ? address->m_data_typ : 0;
}

KV_Time_Choices kv_clock_choices(KV_Visu_Host& host, const KV_Clock& clock, const KV_Clock_Value_Texts& texts)
{
    KV_Time_Choices choices;
    if (kv_clock_data_type(host, clock) == KV_CLOCK_TYPE_SWITCH)
        choices.values = {{0.0, texts.off_text()}, {1.0, texts.on_text()}};
    choices.groups = QString::fromStdString(host.clock_settings().m_str_groups).split(QLatin1Char(';'));
    for (const KV_Settings_Scene::Scene& scene : host.scene_settings().m_list_scene)
        choices.scenes.emplace_back(QString::fromStdString(scene.m_str_name), scene.m_str_guid);
    return choices;
}

bool kv_clock_remove_time(KV_Settings_Clock& settings, const std::string& guid, int index)
{
    KV_Clock* clock = kv_find_clock(settings, guid);
    if (!clock || index < 0 || size_t(index) >= clock->m_list_time.size())
        return false;
    clock->m_list_time.erase(clock->m_list_time.begin() + index);
    return true;
}

int kv_clock_next_time(const KV_Clock& clock, const QDateTime& now)
{
    if (clock.m_list_time.empty())
        return -1;
    int next = 0;
    std::optional<QDateTime> soonest;
    for (size_t i = 0; i < clock.m_list_time.size(); ++i) {
        const auto when = next_occurrence(clock.m_list_time[i], now);
        if (when && (!soonest || *when < *soonest)) {
            soonest = when;
            next = int(i);
        }
    }
    return next;
}

bool kv_clock_store_time(KV_Settings_Clock& settings, const std::string& guid, int index, const KV_Clock_Time& time)
{
    KV_Clock* clock = kv_find_clock(settings, guid);
    if (!clock || index < 0 || size_t(index) >= clock->m_list_time.size())
        return false;
    clock->m_list_time[size_t(index)] = time;
    return true;
}

bool kv_clock_send(KV_Visu_Host& host)
{
    return host.send_text(kv_msg::CLOCK_SETTINGS, host.clock_settings().encode()) &&
           host.send_message(kv_msg::CLOCK_APPLY) && host.send_message(kv_msg::CLOCK_APPLY_2);
}
