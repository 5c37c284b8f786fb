#include "kv_settings_clock.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "kv_logic.h"
#include "kv_record_fields.h"

namespace {
const char* const WEEKDAY_KEYS[7] = {"m_fwekday[0]", "m_fwekday[1]", "m_fwekday[2]", "m_fwekday[3]",
                                     "m_fwekday[4]", "m_fwekday[5]", "m_fwekday[6]"};

// clock__<c>_ and clock__<c>__tm__<t>_
std::string clock_prefix(uint32_t c) { return list_prefix("", "clock_", c); }
std::string time_prefix(std::string_view clock, uint32_t t) { return list_prefix(clock, "_tm_", t); }

void write_time(std::string& text, KV_Prefixed_Key p, const KV_Settings_Clock::Time& t)
{
    text += put_int(p("m_typ"), t.m_typ);
    text += put_int(p("m_group"), t.m_group);
    text += put_bool(p("m_use_group"), t.m_use_group);
    text += put_string(p("m_str_scene"), t.m_str_scene);
    text += put_string(p("m_str_name"), t.m_str_name);
    text += put_int(p("m_year"), t.m_year);
    text += put_bool(p("m_use_year"), t.m_use_year);
    text += put_int(p("m_month"), t.m_month);
    text += put_int(p("m_day"), t.m_day);
    text += put_int(p("m_hour"), t.m_hour);
    text += put_int(p("m_minute"), t.m_minute);
    text += put_double(p("m_value"), t.m_value);
    for (int d = 0; d < 7; ++d)
        text += put_bool(p(WEEKDAY_KEYS[d]), t.m_fwekday[d]);
}

bool read_time(const KV_Data& r, KV_Prefixed_Key p, KV_Settings_Clock::Time& t)
{
    t.m_typ = get_int(r, p("m_typ"), -1);
    if (t.m_typ < 0)
        return false;
    t.m_group = get_int(r, p("m_group"), t.m_group);
    t.m_use_group = get_bool(r, p("m_use_group"), t.m_use_group);
    t.m_str_scene = get_string(r, p("m_str_scene"), t.m_str_scene);
    t.m_str_name = get_string(r, p("m_str_name"), t.m_str_name);
    t.m_year = get_int(r, p("m_year"), t.m_year);
    t.m_use_year = get_bool(r, p("m_use_year"), t.m_use_year);
    t.m_month = get_int(r, p("m_month"), t.m_month);
    t.m_day = get_int(r, p("m_day"), t.m_day);
    t.m_hour = get_int(r, p("m_hour"), t.m_hour);
    t.m_minute = get_int(r, p("m_minute"), t.m_minute);
    t.m_value = get_double(r, p("m_value"), t.m_value);
    for (int d = 0; d < 7; ++d)
        t.m_fwekday[d] = get_bool(r, p(WEEKDAY_KEYS[d]), t.m_fwekday[d]);
    return true;
}
} // namespace

KV_Settings_Clock::KV_Settings_Clock(const std::string& text)
    : KV_Data(text)
{
    decode_text(*this);
}

std::string KV_Settings_Clock::encode()
{
    m_text.clear();
    m_text += put_bool("m_use_it", m_use_it);
    m_text += put_addr("m_addr_db_group", m_addr_db_group);
    m_text += put_string("m_str_groups", m_str_groups);
    for (uint32_t c = 0; c < m_list_clock.size(); ++c) {
        const Clock& clock = m_list_clock[c];
        KV_Prefixed_Key p(clock_prefix(c));
        m_text += put_bool(p("m_active"), clock.m_active);
        m_text += put_string(p("m_str_name"), clock.m_str_name);
        m_text += put_string(p("m_str_guid"), clock.m_str_guid);
        m_text += put_addr(p("m_addr_db_write"), clock.m_addr_db_write);
        m_text += put_addr(p("m_addr_db_lock"), clock.m_addr_db_lock);
        m_text += put_bool(p("m_addr_db_lock_invert_"), clock.m_addr_db_lock_invert_);
        m_text += put_bool(p("m_hold_value_"), clock.m_hold_value_);
        for (uint32_t t = 0; t < clock.m_list_time.size(); ++t)
            write_time(m_text, KV_Prefixed_Key(time_prefix(p.prefix(), t)), clock.m_list_time[t]);
    }
    return m_text;
}

void KV_Settings_Clock::decode()
{
    static const KV_Settings_Clock def;
    kv_rewind_search_cursor();
    m_use_it = get_bool(*this, "m_use_it", def.m_use_it);
    m_addr_db_group = get_addr(*this, "m_addr_db_group");
    m_str_groups = get_string(*this, "m_str_groups", def.m_str_groups);
    if (m_str_groups.empty())
        m_str_groups = def.m_str_groups;
    read_list(m_list_clock, MAX_CLOCKS, "clock", [this](uint32_t c, Clock& clock) {
        KV_Prefixed_Key p(clock_prefix(c));
        if (!read_flag_marker(*this, p("m_active"), KV_NO_INDEX, clock.m_active))
            return false;
        clock.m_str_name = get_string(*this, p("m_str_name"), clock.m_str_name);
        clock.m_str_guid = get_string(*this, p("m_str_guid"), clock.m_str_guid);
        clock.m_addr_db_write = get_addr(*this, p("m_addr_db_write"));
        clock.m_addr_db_lock = get_addr(*this, p("m_addr_db_lock"));
        clock.m_addr_db_lock_invert_ = get_bool(*this, p("m_addr_db_lock_invert_"), clock.m_addr_db_lock_invert_);
        clock.m_hold_value_ = get_bool(*this, p("m_hold_value_"), clock.m_hold_value_);
        read_list(clock.m_list_time, MAX_TIMES, std::string(p.prefix()) + "_tm_",
                  [&](uint32_t t, Time& time) { return read_time(*this, KV_Prefixed_Key(time_prefix(p.prefix(), t)), time); });
        return true;
    });
}

std::string kv_time_entry_text(const KV_Settings_Clock::Time& time)
{
    // The shortest text that reads back the same value: "3", "21.5".
    char value[64];
    const auto written = std::to_chars(value, value + sizeof value, time.m_value);
    std::string days;
    for (bool day : time.m_fwekday)
        days += day ? '1' : '0';
    return std::to_string(time.m_typ) + "/" + days + "/" + std::to_string(time.m_hour) + "/" +
           std::to_string(time.m_minute) + "/" + std::string(value, written.ptr) + "/" + std::to_string(time.m_day) +
           "/" + std::to_string(time.m_month) + "/" + std::to_string(time.m_year) + "/" +
           (time.m_use_year ? "1" : "0") + "/" + time.m_str_name;
}

KV_Settings_Clock::Time kv_time_entry_from_text(std::string_view text)
{
    KV_Settings_Clock::Time time;
    time.m_typ = kv_atoi(kv_next_field(text, '/')) == 0 ? 0 : 1;
    const std::string_view days = kv_next_field(text, '/');
    for (size_t d = 0; d < 7 && d < days.size(); ++d)
        time.m_fwekday[d] = days[d] == '1';
    time.m_hour = std::clamp(kv_atoi(kv_next_field(text, '/')), 0, 23);
    time.m_minute = std::clamp(kv_atoi(kv_next_field(text, '/')), 0, 59);
    const double value = kv_atof(kv_next_field(text, '/'));
    time.m_value = std::isfinite(value) ? value : 0.0;
    time.m_day = std::clamp(kv_atoi(kv_next_field(text, '/')), 0, 31);
    time.m_month = std::clamp(kv_atoi(kv_next_field(text, '/')), 0, 12);
    const std::string_view year = kv_next_field(text, '/');
    if (!year.empty())
        time.m_year = kv_atoi(year);
    time.m_use_year = kv_atoi(kv_next_field(text, '/')) != 0;
    time.m_str_name = std::string(text);
    return time;
}
