#pragma once
// Time switches: clocks, each with its switching times.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "kv_address.h"
#include "kv_data.h"

inline constexpr const char* KV_CLOCK_DEFAULT_GROUPS = "Anwesend;Abwesend;Arbeit;Wochenende;Urlaub";

class KV_Settings_Clock : public KV_Data {
public:
    static constexpr size_t MAX_CLOCKS = 255;
    static constexpr size_t MAX_TIMES = 128;

    struct Time {
        int32_t m_typ = 0; // 0 weekly, 1 on a date
        int32_t m_group = 0;
        bool m_use_group = false;
        std::string m_str_scene;
        std::string m_str_name;
        int32_t m_year = 2016;
        bool m_use_year = false;
        int32_t m_month = 0;
        int32_t m_day = 0;
        int32_t m_hour = 0;
        int32_t m_minute = 0;
        double m_value = 0.0;
        bool m_fwekday[7] = {}; // Monday ... Sunday
    };

    struct Clock {
        bool m_active = true;
        std::string m_str_name;
        std::string m_str_guid;
        KV_Group_Address m_addr_db_write;
        KV_Group_Address m_addr_db_lock;
        bool m_addr_db_lock_invert_ = false;
        bool m_hold_value_ = false;
        std::vector<Time> m_list_time;
    };

    KV_Settings_Clock() = default;
    explicit KV_Settings_Clock(const std::string& text);

    std::string encode() override;
    void decode() override;

    bool m_use_it = false;
    KV_Group_Address m_addr_db_group;
    std::string m_str_groups = KV_CLOCK_DEFAULT_GROUPS; // ";"-separated, position = mode number
    std::vector<Clock> m_list_clock;
};

// A switching time inside a logic block parameter (a room's heating program):
// "typ/days/hour/minute/value/day/month/year/use_year/name", days as seven
// "0" or "1" from Monday. Missing or bad fields read as the defaults.
std::string kv_time_entry_text(const KV_Settings_Clock::Time& time);
KV_Settings_Clock::Time kv_time_entry_from_text(std::string_view text);
