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
