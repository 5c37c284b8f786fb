// Group addresses of the demo house: main group = trade, middle group = floor
// or function, with believable current values.

#include <map>

#include "kv_demo_parts.h"
#include "kv_project_db.h"

namespace {

struct Group_Name {
    uint32_t main;
    uint32_t middle;
    const char* name;
};

// Main groups have middle 0xFFFFFFFF here.
constexpr uint32_t MAIN_ONLY = 0xFFFFFFFFu;

const Group_Name GROUPS[] = {
    {1, MAIN_ONLY, "Beleuchtung"},   {1, 0, "Erdgeschoss"},   {1, 1, "Obergeschoss"},  {1, 2, "Keller/Garten"},
    {2, MAIN_ONLY, "Beschattung"},   {2, 0, "Erdgeschoss"},   {2, 1, "Obergeschoss"},
    {3, MAIN_ONLY, "Heizung"},       {3, 0, "Erdgeschoss"},   {3, 1, "Obergeschoss"},  {3, 2, "Heizkreis"},
    {4, MAIN_ONLY, "Wetter"},        {4, 0, "Wetterstation"},
    {5, MAIN_ONLY, "Energie"},       {5, 0, "Zähler"},
    {6, MAIN_ONLY, "Zentral"},       {6, 0, "System"},        {6, 1, "Sicherheit"},
};

struct Demo_Address {
    const char* addr;
    const char* comment;
    uint32_t type;
    double value;
    const char* text = nullptr; // type 15
    bool listens_to_all_off = false;
};

// clang-format off
const Demo_Address ADDRESSES[] = {
    {"1/0/1",  "Wohnzimmer Decke Schalten",            1, 1, nullptr, true},
    {"1/0/2",  "Wohnzimmer Decke Schalten RM",         1, 1},
    {"1/0/3",  "Wohnzimmer Decke Dimmen",              2, 0},
    {"1/0/4",  "Wohnzimmer Decke Helligkeit",          6, 65},
    {"1/0/5",  "Wohnzimmer Decke Helligkeit RM",       6, 65},
    {"1/0/6",  "Küche Arbeitslicht Schalten",          1, 0, nullptr, true},
    {"1/0/7",  "Küche Arbeitslicht Schalten RM",       1, 0},
    {"1/0/8",  "Esszimmer Pendelleuchte Schalten",     1, 1, nullptr, true},
    {"1/0/9",  "Esszimmer Pendelleuchte Schalten RM",  1, 1},
    {"1/0/10", "Esszimmer Pendelleuchte Dimmen",       2, 0},
    {"1/0/11", "Esszimmer Pendelleuchte Helligkeit",   6, 40},
    {"1/0/12", "Esszimmer Pendelleuchte Helligkeit RM", 6, 40},
    {"1/0/13", "Flur Licht Schalten",                  1, 0, nullptr, true},
    {"1/0/14", "Flur Licht Schalten RM",               1, 0},
    {"1/1/1",  "Schlafzimmer Licht Schalten",          1, 0, nullptr, true},
    {"1/1/2",  "Schlafzimmer Licht Schalten RM",       1, 0},
    {"1/1/3",  "Schlafzimmer Licht Helligkeit",        6, 0},
    {"1/1/4",  "Schlafzimmer Licht Helligkeit RM",     6, 0},
    {"1/1/5",  "Kinderzimmer Licht Schalten",          1, 1, nullptr, true},
    {"1/1/6",  "Kinderzimmer Licht Schalten RM",       1, 1},
    {"1/1/7",  "Bad Spiegelleuchte Schalten",          1, 0, nullptr, true},
    {"1/1/8",  "Bad Spiegelleuchte Schalten RM",       1, 0},
    {"1/1/9",  "Kinderzimmer Licht Helligkeit",        6, 30},
    {"1/1/10", "Kinderzimmer Licht Helligkeit RM",     6, 30},
    {"1/2/1",  "Garten Wegbeleuchtung Schalten",       1, 1},
    {"1/2/2",  "Garten Wegbeleuchtung Schalten RM",    1, 1},
    {"1/2/3",  "Terrasse LED Rot",                     6, 100},
    {"1/2/4",  "Terrasse LED Grün",                    6, 55},
    {"1/2/5",  "Terrasse LED Blau",                    6, 10},
    {"1/2/6",  "Terrasse LED Weiß",                    6, 0},
    {"1/2/7",  "Terrasse LED Sequenz Start",           1, 0},
    {"1/2/8",  "Terrasse LED Sequenz Zeit",            5, 4},
    {"1/2/9",  "Terrasse LED Sequenz Nummer",          14, 2},
    {"1/2/10", "Kellerlicht Schalten",                 1, 0, nullptr, true},
    {"1/2/11", "Kellerlicht Schalten RM",              1, 0},
    {"1/2/12", "Garten Bewässerung Ventil",            1, 0},
    {"1/2/13", "Garten Bewässerung Ventil RM",         1, 0},
    {"2/0/1",  "Wohnzimmer Rollladen Auf/Ab",          7, 0},
    {"2/0/2",  "Wohnzimmer Rollladen Stopp/Lamelle",   7, 0},
    {"2/0/3",  "Wohnzimmer Rollladen Position",        6, 30},
    {"2/0/4",  "Wohnzimmer Rollladen Lamelle",         6, 50},
    {"2/0/5",  "Wohnzimmer Rollladen Position RM",     6, 30},
    {"2/0/6",  "Wohnzimmer Rollladen Lamelle RM",      6, 50},
    {"2/0/7",  "Wohnzimmer Rollladen Zwangsführung",   8, 0},
    {"2/1/1",  "Schlafzimmer Rollladen Auf/Ab",        7, 0},
    {"2/1/2",  "Schlafzimmer Rollladen Stopp",         7, 0},
    {"2/1/3",  "Schlafzimmer Rollladen Position",      6, 100},
    {"2/1/4",  "Schlafzimmer Rollladen Position RM",   6, 100},
    {"3/0/1",  "Wohnzimmer Betriebsart",               14, 1},
    {"3/0/2",  "Wohnzimmer Sollwert Komfort",          5, 21.5},
    {"3/0/3",  "Wohnzimmer Sollwert Standby",          5, 19.5},
    {"3/0/4",  "Wohnzimmer Sollwert Nacht",            5, 18},
    {"3/0/5",  "Wohnzimmer Sollwert Frost",            5, 7},
    {"3/0/6",  "Wohnzimmer Sollwert RM",               5, 21.5},
    {"3/0/7",  "Wohnzimmer Raumtemperatur",            5, 21.2},
    {"3/0/8",  "Wohnzimmer Heizen Stellgröße",         6, 35},
    {"3/0/9",  "Wohnzimmer Fensterkontakt",            1, 0},
    {"3/1/1",  "Schlafzimmer Betriebsart",             14, 3},
    {"3/1/2",  "Schlafzimmer Sollwert Komfort",        5, 19},
    {"3/1/3",  "Schlafzimmer Sollwert RM",             5, 17},
    {"3/1/4",  "Schlafzimmer Raumtemperatur",          5, 18.4},
    {"3/1/5",  "Kinderzimmer Raumtemperatur",          5, 20.6},
    {"3/1/6",  "Bad Raumtemperatur",                   5, 22.8},
    {"3/1/7",  "Schlafzimmer Sollwert Standby",        5, 17},
    {"3/1/8",  "Schlafzimmer Sollwert Nacht",          5, 16},
    {"3/1/9",  "Schlafzimmer Sollwert Frost",          5, 7},
    {"3/2/1",  "Heizkreis Betriebsart",                14, 1},
    {"3/2/2",  "Heizkreis Vorlauf Sollwert",           5, 38},
    {"3/2/3",  "Heizkreis Vorlauftemperatur",          5, 37.4},
    {"3/2/4",  "Heizkreis Freigabe Heizen",            1, 1},
    {"3/2/5",  "Heizkreis Pumpe",                      1, 1},
    {"3/2/6",  "Heizkreis Heizkurve +/-",              5, 0.2},
    {"3/2/7",  "Heizkreis Parallelverschiebung +/-",   5, 0},
    {"3/2/8",  "Heizkreis Status bitcodiert",          10, 5},
    {"4/0/1",  "Außentemperatur",                      5, 6.8},
    {"4/0/2",  "Helligkeit",                           5, 12400},
    {"4/0/3",  "Windgeschwindigkeit",                  5, 14.5},
    {"4/0/4",  "Regen",                                1, 0},
    {"4/0/5",  "Windalarm",                            1, 0},
    {"5/0/1",  "Stromzähler Bezug",                    11, 4821350},
    {"5/0/2",  "PV Einspeisung",                       11, 2987410},
    {"5/0/3",  "Leistung aktuell",                     9, 1432.5},
    {"5/0/4",  "Wasserzähler",                         16, 182340},
    {"5/0/5",  "Gaszähler",                            16, 9121},
    {"5/0/6",  "Zisterne Füllstand",                   6, 72},
    {"5/0/7",  "Verbrauch laufendes Jahr",             17, 3821.75},
    {"6/0/1",  "Uhrzeit",                              3, 18 * 3600 + 42 * 60},
    {"6/0/2",  "Datum",                                4, 20261206},
    {"6/0/3",  "Meldung",                              15, 0, "Willkommen im Haus Sonnenhang"},
    {"6/0/4",  "Szene Nummer",                         14, 0},
    {"6/0/5",  "Zentral Alles Aus",                    1, 0},
    {"6/0/6",  "Anwesenheit",                          1, 1},
    {"6/0/7",  "Zeitschaltuhr Betriebsart",            14, 0},
    {"6/0/8",  "Szene Abend aktiv RM",                 1, 0},
    {"6/0/9",  "Konstante Ein",                        0, 1},
    {"6/0/21", "Szene Abend stoppen",                  1, 0},
    {"6/1/1",  "Rauchmelder Alarm",                    1, 0},
    {"6/1/2",  "Wassermelder Keller",                  1, 0},
    {"6/1/3",  "Kamera Einfahrt Freigabe",             1, 1},
    {"6/1/4",  "Kamera Snapshot Auslösen",             1, 0},
    {"6/1/5",  "Kamera Snapshot Zurücksetzen",         1, 0},
    {"6/1/6",  "Kamera Snapshot Anzahl",               14, 3},
    {"6/1/7",  "Garagentor Taster",                    1, 0},
    {"6/1/8",  "Garagentor geschlossen RM",            1, 1},
    {"6/1/9",  "Türklingel",                           1, 0},
};
// clang-format on

} // namespace

void kv_demo_add_addresses(CKV_Project_Db& db)
{
    for (const Group_Name& group : GROUPS) {
        if (group.middle == MAIN_ONLY) {
            KV_Addr_HG hg;
            hg.m_num_hg = group.main;
            hg.m_str_name = group.name;
            db.m_addr.add_hg(hg);
        } else {
            KV_Addr_MG mg;
            mg.m_num_hg = group.main;
            mg.m_num_mg = group.middle;
            mg.m_str_name = group.name;
            db.m_addr.add_mg(mg);
        }
    }
    const KV_Group_Address all_off = address_from_text("6/0/5");
    // The switching address of each light's feedback (".. Schalten RM"): the
    // feedback listens to it, as an actuator would answer at once.
    std::map<std::string, KV_Group_Address> switching;
    for (const Demo_Address& entry : ADDRESSES)
        switching[std::string(entry.comment) + " RM"] = address_from_text(entry.addr);
    for (const Demo_Address& entry : ADDRESSES) {
        KV_Addr_Db record;
        record.m_addr_write = address_from_text(entry.addr);
        record.m_str_comment = entry.comment;
        record.m_data_typ = entry.type;
        record.m_fread_init = entry.type == 0 || entry.type == 15 ? 0 : 1;
        if (entry.listens_to_all_off)
            record.m_addr_listen.push_back(all_off);
        const std::string comment = entry.comment;
        if (comment.ends_with("Schalten RM") && switching.contains(comment))
            record.m_addr_listen.push_back(switching[comment]);
        if (entry.text)
            set_value_from_text(record, entry.text);
        else
            set_value_from_double(record, entry.value);
        db.m_addr.add_address(record);
    }
}
