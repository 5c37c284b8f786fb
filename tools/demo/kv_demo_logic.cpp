// Logic blocks that visual controls are tied to: room controllers, heating
// circuit, colour light and sequence, weather, snapshot, blinds and alarms.
// Block type numbers follow the controller's block catalogue.

#include "kv_color_settings.h"
#include "kv_demo_ids.h"
#include "kv_demo_parts.h"
#include "kv_project_db.h"
#include "kv_weather.h"

#include <ctime>

namespace {

enum Block_Type : int32_t {
    ROOM_CONTROLLER = 310,
    HEATING_CIRCUIT = 320,
    RGBW = 410,
    RGBW_SEQUENCE = 411,
    WEATHER_STATION = 510,
    ONLINE_WEATHER = 520,
    SNAPSHOT = 610,
    BLINDS = 710,
    ALARM = 810,
};

struct Io {
    const char* addr;
    const char* comment;
};

struct Param {
    const char* name;
    const char* value;
};

class Logic_Page {
public:
    Logic_Page(CKV_Project_Db& db, const char* key, const char* caption)
    {
        auto page = std::make_unique<KV_LOGIC_Page>();
        page->m_str_guid = demo_id::logic("page:" + std::string(key));
        page->m_str_caption = caption;
        db.m_logic_pages.push_back(std::move(page));
        m_page = db.m_logic_pages.back().get();
    }

    KV_LOGIC_Control* add(int32_t type, const char* key, const char* name, std::initializer_list<Io> inputs,
                          std::initializer_list<Param> params, std::initializer_list<Io> outputs)
    {
        KV_LOGIC_Control block;
        block.m_typ = type;
        block.m_x = 40 + 220 * (m_count % 4);
        block.m_y = 40 + 180 * (m_count / 4);
        block.m_str_guid = demo_id::logic(key);
        block.m_str_guid_parent_page = m_page->m_str_guid;
        block.m_str_name = name;
        for (const Io& io : inputs)
            block.m_list_io_input.push_back(std::make_shared<KV_LOGIC_IO>(KV_LOGIC_IO{address_from_text(io.addr), io.comment}));
        for (const Param& p : params)
            block.m_list_param.push_back({p.name, p.value});
        for (const Io& io : outputs)
            block.m_list_io_output.push_back(std::make_shared<KV_LOGIC_IO>(KV_LOGIC_IO{address_from_text(io.addr), io.comment}));
        ++m_count;
        return m_page->add_control(block);
    }

private:
    KV_LOGIC_Page* m_page = nullptr;
    int m_count = 0;
};

// What an online weather block holds after its last fetch: a grey December
// hour in Freiburg and the next five days.
void add_weather_fetch(KV_LOGIC_Control& block)
{
    const int64_t hour = static_cast<int64_t>(std::time(nullptr)) / 3600 * 3600;
    CTRL_Settings_Open_Weather_Current now;
    now.m_time = hour;
    now.m_temp = 6.4;
    now.m_humidity = 81;
    now.m_clouds = 75;
    now.m_wind = 14.8;
    now.m_icon = "04d";
    now.m_description = "Überwiegend bewölkt";
    now.m_source = "Freiburg im Breisgau";

    struct Day_Values {
        double low, high, humidity, clouds, wind;
        const char* icon;
    };
    const Day_Values days[] = {{2.1, 7.3, 84, 80, 18.4, "04d"}, {1.4, 5.8, 90, 95, 25.2, "10d"},
                               {-0.6, 4.2, 76, 40, 11.9, "02d"}, {-2.3, 3.1, 70, 10, 8.6, "01d"},
                               {0.4, 5.0, 88, 100, 21.6, "13d"}};
    CTRL_Settings_Open_Weather_Forecast forecast;
    for (int d = 0; d < 5; ++d) {
        const Day_Values& v = days[d];
        forecast.m_days.push_back({hour + d * 86400, v.low, v.high, v.humidity, v.clouds, v.wind, v.icon});
    }
    block.m_list_param.push_back({"Aktuell", kv_weather_param(now)});
    block.m_list_param.push_back({"Vorhersage", kv_weather_param(forecast)});
}

// The living room's week: comfort in the mornings and evenings, night
// set-back, and frost protection over the family's winter holiday.
void add_heating_program(KV_LOGIC_Control& block)
{
    const auto time = [](const char* name, const char* days, int hour, int minute, int mode) {
        KV_Settings_Clock::Time t;
        t.m_str_name = name;
        for (int d = 0; d < 7; ++d)
            t.m_fwekday[d] = days[d] == '1';
        t.m_hour = hour;
        t.m_minute = minute;
        t.m_value = mode;
        return t;
    };
    KV_Settings_Clock::Time holiday = time("Winterurlaub", "0000000", 8, 0, 4);
    holiday.m_typ = 1;
    holiday.m_day = 27;
    holiday.m_month = 12;
    holiday.m_year = 2026;
    holiday.m_use_year = true;
    std::vector<std::string> entries;
    for (const KV_Settings_Clock::Time& t :
         {time("Aufstehen", "1111100", 6, 0, 1), time("Nachtabsenkung", "1111111", 22, 30, 3),
          time("Wochenende", "0000011", 8, 0, 1), holiday})
        entries.push_back(kv_time_entry_text(t));
    block.set_param("Zeitprogramm", kv_list_text(entries));
}

// The terrace light's presets: the usual ones and two of the family's own.
void add_color_presets(KV_LOGIC_Control& block)
{
    CTRL_Settings_RGBW settings(block);
    settings.m_presets.push_back({{100, 35, 0, 20}, "Abendstimmung"});
    settings.m_presets.push_back({{0, 10, 40, 0}, "Kino"});
    settings.write_to(block);
}

// A slow rainbow and a flickering fire.
void add_color_sequences(KV_LOGIC_Control& block)
{
    CTRL_Settings_RGBW_SEQU settings(block);
    settings.m_sequences = {
        {{{100, 0, 0, 0}, 0, 20, false}, {{100, 100, 0, 0}, 0, 20, false}, {{0, 100, 0, 0}, 0, 20, false},
         {{0, 100, 100, 0}, 0, 20, false}, {{0, 0, 100, 0}, 0, 20, false}, {{100, 0, 100, 0}, 0, 20, false}},
        {{{100, 20, 0, 0}, 60, 2, true}, {{80, 10, 0, 0}, 100, 1, true}, {{100, 30, 0, 10}, 40, 3, true}},
    };
    settings.write_to(block);
}

} // namespace

void kv_demo_add_logic(CKV_Project_Db& db)
{
    Logic_Page climate(db, "klima", "Klima");
    add_heating_program(*climate.add(ROOM_CONTROLLER, "raumregler_wz", "Raumregler Wohnzimmer",
                {{"3/0/7", "Istwert"}, {"3/0/9", "Fensterkontakt"}, {"3/0/1", "Betriebsart"},
                 {"3/0/2", "Sollwert Komfort"}},
                {{"Komfort", "21.5"}, {"Standby", "19.5"}, {"Nacht", "18.0"}, {"Frost", "7.0"}},
                {{"3/0/8", "Stellgröße Heizen"}, {"3/0/6", "Sollwert RM"}}));
    climate.add(ROOM_CONTROLLER, "raumregler_sz", "Raumregler Schlafzimmer",
                {{"3/1/4", "Istwert"}, {"0/0/0", "Fensterkontakt"}, {"3/1/1", "Betriebsart"},
                 {"3/1/2", "Sollwert Komfort"}},
                {{"Komfort", "19.0"}, {"Standby", "17.0"}, {"Nacht", "16.0"}, {"Frost", "7.0"}},
                {{"0/0/0", "Stellgröße Heizen"}, {"3/1/3", "Sollwert RM"}});
    climate.add(HEATING_CIRCUIT, "heizkreis", "Heizkreis Fußboden",
                {{"4/0/1", "Außentemperatur"}, {"3/2/3", "Vorlauftemperatur"}, {"3/2/1", "Betriebsart"},
                 {"3/2/6", "Heizkurve +/-"}, {"3/2/7", "Parallelverschiebung +/-"}},
                {{"Heizkurve", "1.2"}, {"Fußpunkt", "22"}, {"Vorlauf max", "45"}},
                {{"3/2/2", "Vorlauf Sollwert"}, {"3/2/5", "Pumpe"}, {"3/2/4", "Freigabe Heizen"},
                 {"3/2/8", "Status bitcodiert"}});

    Logic_Page light(db, "licht", "Licht und Wetter");
    add_color_presets(*light.add(RGBW, "rgbw_terrasse", "RGBW Terrasse", {}, {},
                                 {{"1/2/3", "Rot"}, {"1/2/4", "Grün"}, {"1/2/5", "Blau"}, {"1/2/6", "Weiß"}}));
    add_color_sequences(*light.add(RGBW_SEQUENCE, "rgbw_sequenz", "Farbwechsel Terrasse",
                                   {{"1/2/7", "Start"}, {"1/2/8", "Zeit"}, {"1/2/9", "Nummer"}}, {},
                                   {{"1/2/3", "Rot"}, {"1/2/4", "Grün"}, {"1/2/5", "Blau"}, {"1/2/6", "Weiß"}}));
    light.add(WEATHER_STATION, "wetterstation", "Wetterstation", {}, {{"Standort", "Dach Nordseite"}},
              {{"4/0/1", "Temperatur"}, {"4/0/2", "Helligkeit"}, {"4/0/3", "Wind"}, {"4/0/4", "Regen"},
               {"4/0/5", "Windalarm"}});
    add_weather_fetch(*light.add(ONLINE_WEATHER, "online_wetter", "Online Wetter", {},
                                 {{"Ort", "Freiburg im Breisgau"}, {"Land", "DE"}, {"Intervall", "1800"}}, {}));
    light.add(BLINDS, "beschattung_wz", "Beschattung Wohnzimmer",
              {{"4/0/2", "Helligkeit"}, {"4/0/3", "Wind"}, {"4/0/5", "Windalarm"}},
              {{"Helligkeit Schwelle", "30000"}, {"Wind Schwelle", "50"}},
              {{"2/0/1", "Langzeit"}, {"2/0/3", "Position"}, {"2/0/7", "Zwangsführung"}});

    Logic_Page safety(db, "sicherheit", "Sicherheit");
    safety.add(SNAPSHOT, "snapshot_einfahrt", "Snapshot Einfahrt", {{"6/1/4", "Auslösen"}, {"6/1/5", "Zurücksetzen"}},
               {{"Kamera", demo_id::camera("einfahrt").c_str()}, {"Anzahl max", "20"}}, {{"6/1/6", "Anzahl"}});
    safety.add(ALARM, "alarm_rauch", "Rauchmelder", {{"6/1/1", "Alarm"}}, {{"Text", "Rauchalarm im Haus"}}, {});
    safety.add(ALARM, "alarm_wasser", "Wassermelder Keller", {{"6/1/2", "Alarm"}}, {{"Text", "Wasser im Keller"}}, {});
    safety.add(ALARM, "alarm_wind", "Windalarm", {{"4/0/5", "Alarm"}}, {{"Text", "Sturm: Rollläden gesichert"}}, {});
}
