#pragma once
// The time switches as the visualisation shows and edits them: finding the
// clock a control links to, the texts of a switching time, and handing a
// changed clock record to the controller.

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>
#include <string>

#include "kv_settings_clock.h"

class CKV_Gui_Control;
class KV_Visu_Host;

using KV_Clock = KV_Settings_Clock::Clock;
using KV_Clock_Time = KV_Settings_Clock::Time;

// Data types of the output address that change how a value reads.
inline constexpr uint32_t KV_CLOCK_TYPE_SWITCH = 1;
inline constexpr uint32_t KV_CLOCK_TYPE_PERCENT = 6;

// Time-of-day forms: the clock control's and the tile overlays'.
inline constexpr const char* KV_CLOCK_TIME_CONTROL = "%1h : %2m";
inline constexpr const char* KV_CLOCK_TIME_TILE = "%1:%2";

// The first clock of the record with that identifier; null when none.
KV_Clock* kv_find_clock(KV_Settings_Clock& settings, const std::string& guid);

// "Mo" ... "So" for the weekdays 0 (Monday) to 6.
QString kv_clock_day_name(int day);

// Hour and minute with two digits each in `pattern` (%1 hour, %2 minute).
QString kv_clock_time_text(const KV_Clock_Time& time, const char* pattern);
// "Mo-So", "Mo-Fr", "Sa-So", the chosen days joined by "; ", or
// "Auswahl Tage..." when none is chosen.
QString kv_clock_weekdays_text(const KV_Clock_Time& time);
// Day and month of a date time, as the clock control shows it.
QString kv_clock_date_text(const KV_Clock_Time& time);
// A date time in the tile overlay: "Einmalig am" day, month, year, or
// "Jährlich am" day and month when the year is not used.
QString kv_clock_once_text(const KV_Clock_Time& time);
// What the clock control shows beside the time: weekdays or the date.
QString kv_clock_when_text(const KV_Clock_Time& time);

// The texts of a switching value's two states; empty ones read "Ein"/"Aus".
struct KV_Clock_Value_Texts {
    QString on;
    QString off;
    QString on_text() const;
    QString off_text() const;
};
// The control's "Text Wert ein" and "Text Wert aus".
KV_Clock_Value_Texts kv_clock_value_texts(const CKV_Gui_Control& control);
// A switching time's value as the output address's data type reads it;
// "-" without a time.
QString kv_clock_value_text(const KV_Clock_Time* time, uint32_t data_type, const KV_Clock_Value_Texts& texts);
// The data type of the clock's output address; 0 when it is not in the tree.
uint32_t kv_clock_data_type(KV_Visu_Host& host, const KV_Clock& clock);

// What the fields of a switching time offer.
struct KV_Time_Choices {
    // Named values to pick; none: the value is a number.
    std::vector<std::pair<double, QString>> values;
    // Operating modes a time can be limited to (position = mode number);
    // none: no such limit is offered.
    QStringList groups;
    // Scenes a time can start, as name and GUID; none: no scene is offered.
    std::vector<std::pair<QString, std::string>> scenes;
};
// A clock's choices: "Aus" and "Ein" (or the control's texts) for a
// switching output, the record's operating modes and the project's scenes.
KV_Time_Choices kv_clock_choices(KV_Visu_Host& host, const KV_Clock& clock, const KV_Clock_Value_Texts& texts);

// Removes switching time `index` of the clock; false when it is gone already.
bool kv_clock_remove_time(KV_Settings_Clock& settings, const std::string& guid, int index);

// The index of the time that switches next after `now`, or of the first
// time when none is due any more; -1 for a clock without times.
int kv_clock_next_time(const KV_Clock& clock, const QDateTime& now);

// Writes `time` over switching time `index` of the clock with that
// identifier; false when the clock or the time no longer exists.
bool kv_clock_store_time(KV_Settings_Clock& settings, const std::string& guid, int index, const KV_Clock_Time& time);
// The record text as 180, then 182 and 183 without data. Stops at the first
// message that could not be sent: nothing goes out while not connected (the
// record keeps the change).
bool kv_clock_send(KV_Visu_Host& host);
