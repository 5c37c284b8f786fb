#pragma once
// The weather data an online weather logic block keeps in its parameters,
// as record texts.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "kv_data.h"

// Current weather of an online weather block, as a record text in the
// block's parameter "Aktuell".
class CTRL_Settings_Open_Weather_Current : public KV_Data {
public:
    CTRL_Settings_Open_Weather_Current() = default;
    explicit CTRL_Settings_Open_Weather_Current(const std::string& text);
    std::string encode() override;
    void decode() override;

    int64_t m_time = 0; // seconds since 1970, 0: no data
    double m_temp = 0.0;
    double m_humidity = 0.0;
    double m_clouds = 0.0;
    double m_wind = 0.0; // km/h
    std::string m_icon = "09d";
    std::string m_description;
    std::string m_source;
};

// Daily forecast of an online weather block, as a record text in the
// block's parameter "Vorhersage": one element per day, index-suffixed,
// ending at the first day without m_time.
class CTRL_Settings_Open_Weather_Forecast : public KV_Data {
public:
    static constexpr size_t MAX_DAYS = 16;
    struct Day {
        int64_t m_time = 0;
        double m_temp_min = 0.0;
        double m_temp_max = 0.0;
        double m_humidity = 0.0; // average over the day
        double m_clouds = 0.0;   // average over the day
        double m_wind_max = 0.0; // km/h
        std::string m_icon = "09d";
    };

    CTRL_Settings_Open_Weather_Forecast() = default;
    explicit CTRL_Settings_Open_Weather_Forecast(const std::string& text);
    std::string encode() override;
    void decode() override;

    std::vector<Day> m_days;
};

// The block keeps these records in its parameters "Aktuell" and "Vorhersage"
// as hex text of their record texts: a value inside the block's own record
// text cannot carry 0x02 and 0x03.
std::string kv_weather_param(KV_Data& record);
// The record text in a parameter value; empty for a value that is no hex.
std::string kv_weather_record_text(std::string_view param);
