#pragma once
// Types shared by the history of values: its file, the levels it keeps
// values at, and what a reading gives back. Times are milliseconds since
// 1970 (UTC).

#include <cstdint>
#include <string>

// Trace area of the history: the controller's logger module.
inline constexpr int KV_TRACE_AREA_LOGGER = 11;

// The history lives next to the local project, never inside it.
inline constexpr const char* KV_HISTORY_FILE = "kv_app_history.db";

// How long each level keeps its values; 0 keeps them for ever.
struct KV_History_Limits {
    int raw_days = 7;     // every value as received
    int minute_days = 92; // per-minute minimum, maximum and mean
    int hour_days = 0;    // per-hour minimum, maximum and mean
};

// The levels, finest first, and the width of their buckets. Ten minutes
// and six hours are kept as long as minutes and hours: a week or a year
// then reads about one row per pixel column.
enum class KV_History_Level { Raw = 0, Minute, Minutes10, Hour, Hours6 };
inline constexpr int KV_HISTORY_LEVELS = 5;
inline constexpr int64_t KV_MINUTE_MS = 60'000;
inline constexpr int64_t KV_HOUR_MS = 3'600'000;
inline constexpr int64_t KV_DAY_MS = 86'400'000;

struct KV_History_Level_Table {
    const char* name; // the table; all but raw hold minimum, maximum, sum and count
    int64_t width;    // of a row's bucket; 0 for raw values
};
inline constexpr KV_History_Level_Table KV_HISTORY_TABLES[KV_HISTORY_LEVELS] = {
    {"raw", 0}, {"minute", KV_MINUTE_MS}, {"minute10", 10 * KV_MINUTE_MS}, {"hour", KV_HOUR_MS},
    {"hour6", 6 * KV_HOUR_MS}};

// Values of one address within one stretch of time.
struct KV_History_Bucket {
    int64_t t_first = 0; // time of the first and the last value in it
    int64_t t_last = 0;
    double v_first = 0; // the first value, to order minimum and maximum
    double vmin = 0;
    double vmax = 0;
    double vsum = 0;
    int64_t n = 0;

    double mean() const { return n > 0 ? vsum / static_cast<double>(n) : 0.0; }
};

// A time in which the panel was not connected; end is open (the end of
// time) while the gap lasts.
struct KV_History_Gap {
    int64_t start = 0;
    int64_t end = 0;
};
inline constexpr int64_t KV_HISTORY_OPEN_END = INT64_MAX;
