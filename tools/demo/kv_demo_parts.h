#pragma once
// The pieces of the demo project "Haus Sonnenhang", each filling its part of
// the project store.

#include <string>
#include <utility>
#include <vector>

#include "kv_demo_builder.h"

class CKV_Project_Db;

// Page keys; demo_id::page(key) gives the page's GUID.
namespace demo_page {
inline constexpr const char* UEBERSICHT = "uebersicht";
inline constexpr const char* ERDGESCHOSS = "erdgeschoss";
inline constexpr const char* OBERGESCHOSS = "obergeschoss";
inline constexpr const char* KELLER_GARTEN = "keller_garten";
inline constexpr const char* TECHNIK = "technik";
inline constexpr const char* START = "start";
inline constexpr const char* WOHNEN = "wohnen";
inline constexpr const char* SCHLAFEN = "schlafen";
inline constexpr const char* GARTEN = "garten";
inline constexpr const char* GAST = "gast";
} // namespace demo_page

// Address sets that classic and tile pages share.
namespace demo_slots {
inline constexpr KV_Demo_Slot RAUMREGLER_WZ[] = {
    {"Betriebsart*", "3/0/1"},   {"Soll Komfort*", "3/0/2"},        {"Soll Standby*", "3/0/3"},
    {"Soll Nacht*", "3/0/4"},    {"Soll Frost*", "3/0/5"},          {"Soll RM", "3/0/6"},
    {"Raum Istwert*", "3/0/7"},  {"Heizen Stellgröße RM", "3/0/8"}, {"Freigabe Heizen RM", "3/2/4"},
    {"Fensterkontakt RM", "3/0/9"},
};
inline constexpr KV_Demo_Slot ROLLLADEN_WZ[] = {
    {"Langzeit", "2/0/1"},     {"Kurzzeit", "2/0/2"},     {"Höhe Wert", "2/0/3"},
    {"Lamelle Wert", "2/0/4"}, {"Höhe Wert RM", "2/0/5"}, {"Lamelle Wert RM", "2/0/6"},
};
inline constexpr KV_Demo_Slot ROLLLADEN_SZ[] = {
    {"Langzeit", "2/1/1"}, {"Kurzzeit", "2/1/2"}, {"Höhe Wert", "2/1/3"}, {"Höhe Wert RM", "2/1/4"},
};
inline constexpr KV_Demo_Slot RGBW_TERRASSE[] = {
    {"Rot", "1/2/3"}, {"Grün", "1/2/4"}, {"Blau", "1/2/5"}, {"Weiß", "1/2/6"},
};
} // namespace demo_slots

// The two users of the demo.
inline constexpr const char* DEMO_USER_FAMILY = "Familie";
inline constexpr const char* DEMO_USER_GUEST = "Gast";

void kv_demo_add_addresses(CKV_Project_Db& db);
void kv_demo_add_classic_pages(CKV_Project_Db& db, KV_Demo_Errors& errors);
void kv_demo_add_tile_pages(CKV_Project_Db& db, KV_Demo_Errors& errors);
void kv_demo_add_logic(CKV_Project_Db& db);
void kv_demo_add_settings(CKV_Project_Db& db);
// English translations of the visualisation texts, source first.
std::vector<std::pair<std::string, std::string>> kv_demo_english();
