#include "kv_weather.h"

CTRL_Settings_Open_Weather_Current::CTRL_Settings_Open_Weather_Current(const std::string& text)
    : KV_Data(text)
{
    decode_text(*this);
}

std::string CTRL_Settings_Open_Weather_Current::encode()
{
    m_text = put_string("m_time", std::to_string(m_time)) + put_double("m_temp", m_temp) +
             put_double("m_humidity", m_humidity) + put_double("m_clouds", m_clouds) + put_double("m_wind", m_wind) +
             put_string("m_icon", m_icon) + put_string("m_description", m_description) +
             put_string("m_source", m_source);
    return m_text;
}

void CTRL_Settings_Open_Weather_Current::decode()
{
    static const CTRL_Settings_Open_Weather_Current def;
    m_time = get_time(*this, "m_time", def.m_time);
    m_temp = get_double(*this, "m_temp", def.m_temp);
    m_humidity = get_double(*this, "m_humidity", def.m_humidity);
    m_clouds = get_double(*this, "m_clouds", def.m_clouds);
    m_wind = get_double(*this, "m_wind", def.m_wind);
    m_icon = get_string(*this, "m_icon", def.m_icon);
    m_description = get_string(*this, "m_description", def.m_description);
    m_source = get_string(*this, "m_source", def.m_source);
}

CTRL_Settings_Open_Weather_Forecast::CTRL_Settings_Open_Weather_Forecast(const std::string& text)
    : KV_Data(text)
{
    decode_text(*this);
}

std::string CTRL_Settings_Open_Weather_Forecast::encode()
{
    m_text.clear();
    for (uint32_t i = 0; i < m_days.size(); ++i) {
        const Day& d = m_days[i];
        m_text += put_string("m_time", std::to_string(d.m_time), i) + put_double("m_temp_min", d.m_temp_min, i) +
                  put_double("m_temp_max", d.m_temp_max, i) + put_double("m_humidity", d.m_humidity, i) +
                  put_double("m_clouds", d.m_clouds, i) + put_double("m_wind_max", d.m_wind_max, i) +
                  put_string("m_icon", d.m_icon, i);
    }
    return m_text;
}

void CTRL_Settings_Open_Weather_Forecast::decode()
{
    static const Day def;
    m_days.clear();
    for (uint32_t i = 0; i < MAX_DAYS; ++i) {
        Day d;
        d.m_time = get_time(*this, "m_time", -1, i);
        if (d.m_time < 0)
            break;
        d.m_temp_min = get_double(*this, "m_temp_min", def.m_temp_min, i);
        d.m_temp_max = get_double(*this, "m_temp_max", def.m_temp_max, i);
        d.m_humidity = get_double(*this, "m_humidity", def.m_humidity, i);
        d.m_clouds = get_double(*this, "m_clouds", def.m_clouds, i);
        d.m_wind_max = get_double(*this, "m_wind_max", def.m_wind_max, i);
        d.m_icon = get_string(*this, "m_icon", def.m_icon, i);
        m_days.push_back(d);
    }
}

std::string kv_weather_param(KV_Data& record)
{
    const std::string text = record.encode();
    return bytes_to_hex(reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
}

std::string kv_weather_record_text(std::string_view param)
{
    std::string text(param.size() / 2, '\0');
    hex_to_bytes(param, reinterpret_cast<unsigned char*>(text.data()), text.size());
    return text;
}
