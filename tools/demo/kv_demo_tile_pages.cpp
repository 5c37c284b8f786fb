// The portrait tile pages (480 x 960, smartphone tiles of 160 x 180): a start
// page with rooms and scenes, one page per area and a page for guests.

#include "kv_demo_ids.h"
#include "kv_demo_parts.h"
#include "kv_project_db.h"

namespace {

constexpr int TILE_W = 160;
constexpr int TILE_H = 180;
constexpr int HEADER_H = 100;
constexpr const char* SMARTPHONE = "1";

// Position of tile n (row by row, three per row) below the header.
int tile_x(int n) { return (n % 3) * TILE_W; }
int tile_y(int n) { return HEADER_H + 10 + (n / 3) * (TILE_H + 10); }

KV_Demo_Control header(KV_Demo_Page& page, const char* title, const char* back_to)
{
    KV_Demo_Control control = page.add(131, "header", 0, 0, 480, HEADER_H, title)
                                  .param("Ansicht", SMARTPHONE)
                                  .param("Titel", title)
                                  .param("Menü anzeigen", "1")
                                  .param("Menü Verknüpfung", demo_id::page(demo_page::UEBERSICHT))
                                  .param("1: Text", "Außen")
                                  .param("1: Format", "%.1f")
                                  .param("1: Einheit", "°C")
                                  .addr("Wert 1", "4/0/1")
                                  .addr("Wert 1 Tablet", "4/0/1");
    if (back_to)
        control.param("Zurück anzeigen", "1").param("Seite", demo_id::page(back_to));
    return control;
}

KV_Demo_Control tile(KV_Demo_Page& page, int type, const char* key, int n, const std::string& name)
{
    KV_Demo_Control control = page.add(type, key, tile_x(n), tile_y(n), TILE_W, TILE_H, name);
    return control.param("Ansicht", SMARTPHONE);
}

KV_Demo_Control room_tile(KV_Demo_Page& page, int type, const char* key, int n, const char* text, const char* target,
                          const char* icon)
{
    KV_Demo_Control control = page.add(type, key, tile_x(n), tile_y(n), TILE_W, TILE_H, text);
    return control.param("Text", text).param("Seite", demo_id::page(target)).param("Icon", icon);
}

KV_Demo_Control scene_tile(KV_Demo_Page& page, int type, const char* key, int n, const char* text,
                           const char* scene_key)
{
    KV_Demo_Control control = page.add(type, key, tile_x(n), tile_y(n), TILE_W, TILE_H, text);
    return control.param("Text", text).param("GUID", demo_id::scene(scene_key)).param("Icon", "sonne.svg");
}

KV_Demo_Control value_tile(KV_Demo_Page& page, const char* key, int n, const char* text, const char* format,
                           const char* unit, const char* address)
{
    return tile(page, 130, key, n, text)
        .param("Text", text)
        .param("Format", format)
        .param("Einheit", unit)
        .addr("Wert", address);
}

KV_Demo_Control switch_tile(KV_Demo_Page& page, const char* key, int n, const char* text, const char* address,
                            const char* feedback)
{
    return tile(page, 135, key, n, text)
        .param("Text", text)
        .param("ON Icon", "lampe_ein.svg")
        .param("OFF Icon", "lampe_aus.svg")
        .addr("Schalten", address)
        .addr("Schalten RM", feedback);
}

KV_Demo_Control dimmer_tile(KV_Demo_Page& page, const char* key, int n, const char* text, const char* sw,
                            const char* value, const char* sw_rm, const char* value_rm)
{
    return tile(page, 132, key, n, text)
        .param("Text", text)
        .addr("Schalten", sw)
        .addr("Wert", value)
        .addr("Schalten RM", sw_rm)
        .addr("Wert RM", value_rm);
}

void add_start(CKV_Project_Db& db, KV_Demo_Errors& errors)
{
    KV_GUI_Page& record = kv_demo_new_page(db, demo_page::START, "Start", "", true);
    record.m_str_image_icon = "haus.svg";
    KV_Demo_Page page(record, demo_page::START, errors);
    header(page, "Haus Sonnenhang", nullptr)
        .param("2: Text", "Leistung")
        .param("2: Format", "%.0f")
        .param("2: Einheit", "W")
        .addr("Wert 2", "5/0/3")
        .addr("Wert 2 Tablet", "5/0/3");
    room_tile(page, 137, "raum_wohnen", 0, "Wohnen", demo_page::WOHNEN, "haus.svg")
        .param("Info", "Erdgeschoss");
    room_tile(page, 110, "raum_schlafen", 1, "Schlafen", demo_page::SCHLAFEN, "lampe_aus.svg")
        .param("Info", "Obergeschoss");
    room_tile(page, 1502, "raum_garten", 2, "Garten", demo_page::GARTEN, "garten.svg")
        .param("Info", "Keller und Garten")
        .param("Ziel Benutzerabhängig", "1")
        .param("Seite User", std::string(DEMO_USER_FAMILY) + "=" + demo_id::page(demo_page::GARTEN) + ";" +
                                 DEMO_USER_GUEST + "=" + demo_id::page(demo_page::GAST));
    scene_tile(page, 138, "szene_abend", 3, "Abend", "abend").param("Info", "Gemütlich").addr("Szene RM", "6/0/8");
    scene_tile(page, 115, "szene_kino", 4, "Kino", "kino");
    scene_tile(page, 1520, "szene_alles_aus", 5, "Alles aus", "alles_aus");
    value_tile(page, "aussen", 6, "Außen", "%.1f", "°C", "4/0/1");
    tile(page, 139, "uhr_garten", 7, "Gartenlicht")
        .param("Text", "Gartenlicht")
        .param("Uhr", demo_id::clock("garten"))
        .param("Text Wert ein", "An")
        .param("Text Wert aus", "Aus")
        .addr("Wert", "1/2/1")
        .addr("Wert RM", "1/2/2");
    value_tile(page, "wind", 8, "Wind", "%.1f", "km/h", "4/0/3");
}

void add_living(CKV_Project_Db& db, KV_Demo_Errors& errors)
{
    KV_GUI_Page& record = kv_demo_new_page(db, demo_page::WOHNEN, "Wohnen", DEMO_USER_FAMILY, true);
    KV_Demo_Page page(record, demo_page::WOHNEN, errors);
    header(page, "Wohnen", demo_page::START);
    dimmer_tile(page, "wz_decke", 0, "Wohnzimmer", "1/0/1", "1/0/4", "1/0/2", "1/0/5").param("Info", "Decke");
    tile(page, 136, "ez_pendel", 1, "Esszimmer")
        .param("Text", "Esszimmer")
        .addr("Dimmer", "1/0/10")
        .addr("Wert RM", "1/0/12")
        .addr("Schalten", "1/0/8")
        .addr("Schalten RM", "1/0/9");
    switch_tile(page, "kueche", 2, "Küche", "1/0/6", "1/0/7");
    tile(page, 133, "wz_rollladen", 3, "Rollladen")
        .param("Text", "Rollladen")
        .param("Info", "Wohnzimmer")
        .param("Sollwert Anzeigen", "1")
        .addrs(demo_slots::ROLLLADEN_WZ);
    tile(page, 134, "wz_temperatur", 4, "Wohnzimmer")
        .param("Text", "Wohnzimmer")
        .param("Schrittweite", "0.5")
        .param("ID", demo_id::logic("raumregler_wz"))
        .addrs(demo_slots::RAUMREGLER_WZ);
    switch_tile(page, "flur", 5, "Flur", "1/0/13", "1/0/14").param("Funktion", "0");
}

void add_sleeping(CKV_Project_Db& db, KV_Demo_Errors& errors)
{
    KV_GUI_Page& record = kv_demo_new_page(db, demo_page::SCHLAFEN, "Schlafen", DEMO_USER_FAMILY, true);
    KV_Demo_Page page(record, demo_page::SCHLAFEN, errors);
    header(page, "Schlafen", demo_page::START);
    dimmer_tile(page, "sz_licht", 0, "Schlafzimmer", "1/1/1", "1/1/3", "1/1/2", "1/1/4");
    dimmer_tile(page, "kinder_licht", 1, "Kinderzimmer", "1/1/5", "1/1/9", "1/1/6", "1/1/10");
    switch_tile(page, "bad_spiegel", 2, "Bad", "1/1/7", "1/1/8").param("Info", "Spiegel");
    tile(page, 133, "sz_rollladen", 3, "Rollladen")
        .param("Text", "Rollladen")
        .param("Info", "Schlafzimmer")
        .addrs(demo_slots::ROLLLADEN_SZ);
    tile(page, 134, "sz_temperatur", 4, "Schlafzimmer")
        .param("Text", "Schlafzimmer")
        .param("ID", demo_id::logic("raumregler_sz"))
        .addr("Betriebsart*", "3/1/1")
        .addr("Soll Komfort*", "3/1/2")
        .addr("Soll Standby*", "3/1/7")
        .addr("Soll Nacht*", "3/1/8")
        .addr("Soll Frost*", "3/1/9")
        .addr("Soll RM", "3/1/3")
        .addr("Raum Istwert*", "3/1/4");
    value_tile(page, "kinder_temperatur", 5, "Kinderzimmer", "%.1f", "°C", "3/1/5");
}

void add_garden(CKV_Project_Db& db, KV_Demo_Errors& errors)
{
    KV_GUI_Page& record = kv_demo_new_page(db, demo_page::GARTEN, "Garten", "Familie;Gast", true);
    record.m_str_image_icon = "garten.svg";
    KV_Demo_Page page(record, demo_page::GARTEN, errors);
    header(page, "Garten", demo_page::START);
    switch_tile(page, "gartenweg", 0, "Gartenweg", "1/2/1", "1/2/2");
    switch_tile(page, "bewaesserung", 1, "Bewässerung", "1/2/12", "1/2/13")
        .param("Pin (nur 4 stellig)", "1357")
        .param("ON Icon", "garten.svg")
        .param("OFF Icon", "garten.svg");
    switch_tile(page, "kellerlicht", 2, "Keller", "1/2/10", "1/2/11").param("Funktion", "3");
    value_tile(page, "zisterne", 3, "Zisterne", "%d%%", "", "5/0/6");
    value_tile(page, "helligkeit", 4, "Helligkeit", "%.0f", "Lux", "4/0/2");
    tile(page, 139, "uhr_garten", 5, "Gartenlicht").param("Uhr", demo_id::clock("garten")).addr("Wert", "1/2/1");
}

void add_guest(CKV_Project_Db& db, KV_Demo_Errors& errors)
{
    KV_GUI_Page& record = kv_demo_new_page(db, demo_page::GAST, "Gast", DEMO_USER_GUEST, true);
    KV_Demo_Page page(record, demo_page::GAST, errors);
    header(page, "Willkommen", nullptr).param("Ziel Benutzerabhängig", "0");
    switch_tile(page, "flur", 0, "Flur", "1/0/13", "1/0/14");
    switch_tile(page, "gartenweg", 1, "Gartenweg", "1/2/1", "1/2/2");
    scene_tile(page, 138, "szene_abend", 2, "Abend", "abend");
    value_tile(page, "aussen", 3, "Außen", "%.1f", "°C", "4/0/1");
    room_tile(page, 137, "zum_garten", 4, "Garten", demo_page::GARTEN, "garten.svg");
}

} // namespace

void kv_demo_add_tile_pages(CKV_Project_Db& db, KV_Demo_Errors& errors)
{
    add_start(db, errors);
    add_living(db, errors);
    add_sleeping(db, errors);
    add_garden(db, errors);
    add_guest(db, errors);
}
