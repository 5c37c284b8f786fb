// The classic landscape pages (1024 x 576): overview, the three floors and
// the technical room, each with a title and a page-change bar.

#include "kv_demo_ids.h"
#include "kv_demo_parts.h"
#include "kv_project_db.h"

namespace {

constexpr const char* TITLE_FONT = "Arial,18,75,0";
constexpr const char* SMALL_FONT = "Arial,9,-1,0";

struct Nav_Target {
    const char* key;
    const char* caption;
};

const Nav_Target CLASSIC_PAGES[] = {
    {demo_page::UEBERSICHT, "Übersicht"},       {demo_page::ERDGESCHOSS, "Erdgeschoss"},
    {demo_page::OBERGESCHOSS, "Obergeschoss"}, {demo_page::KELLER_GARTEN, "Keller/Garten"},
    {demo_page::TECHNIK, "Technik"},
};

// Title and page-change bar of every classic page.
void add_frame(KV_Demo_Page& page, int title_type, const char* title)
{
    page.add(title_type, "titel", 0, 0, 1024, 48, title).param("Text", title).param("Ausrichtung", "0").font(TITLE_FONT);
    int x = 17;
    for (const Nav_Target& target : CLASSIC_PAGES) {
        const std::string key = std::string("nav_") + target.key;
        page.add(121, key.c_str(), x, 522, 190, 44, target.caption).param("Seite", demo_id::page(target.key));
        x += 200;
    }
}

void add_overview(CKV_Project_Db& db, KV_Demo_Errors& errors)
{
    KV_GUI_Page& record = kv_demo_new_page(db, demo_page::UEBERSICHT, "Übersicht", "", false);
    record.m_str_image_bg = "abendhimmel.png";
    record.m_str_image_icon = "haus.svg";
    KV_Demo_Page page(record, demo_page::UEBERSICHT, errors);
    add_frame(page, 0, "Haus Sonnenhang");

    page.add(210, "sprache", 900, 2, 110, 44, "Sprache").param("Icon", "1");
    page.add(14, "logo", 24, 60, 120, 120, "Logo")
        .param("Grafik", "haus.svg")
        .param("Text", "Haus\nSonnenhang")
        .param("Proportional", "1");
    page.add(1, "uhrzeit", 160, 64, 220, 36, "Uhrzeit")
        .param("Text", "Uhrzeit")
        .param("Wert rechts", "1")
        .addr("Wert", "6/0/1");
    page.add(112, "datum", 160, 104, 220, 36, "Datum").param("Text", "Datum").param("Wert rechts", "1").addr("Wert", "6/0/2");
    page.add(1, "meldung", 160, 144, 420, 36, "Meldung").param("Rahmen", "1").addr("Wert", "6/0/3");
    page.add(21, "klingel", 396, 64, 64, 64, "Türklingel")
        .param("Grafik", "klingel.gif")
        .param("Start/Stop", "1")
        .param("Geschwindigkeit %", "150")
        .addr("Wert", "6/1/9");
    page.add(19, "aussen", 24, 196, 180, 180, "Außentemperatur")
        .param("Minimum", "-20")
        .param("Maximum", "40")
        .param("0-360 Grad", "270")
        .param("Faktor Schriftgröße", "1.2")
        .addr("Wert", "4/0/1");
    const KV_Demo_State presence[] = {{"0", "Niemand zu Hause", "eceff1"}, {"1", "Familie zu Hause", "c8e6c9"}};
    page.add(18, "anwesenheit", 24, 392, 180, 40, "Anwesenheit")
        .states(presence)
        .param("Rahmenbreite", "1")
        .addr("Wert", "6/0/6");
    page.add(20, "alarme", 220, 196, 360, 130, "Alarme").param("Anzahl anzeigen", "1");
    page.add(1126, "szenen", 220, 340, 360, 90, "Szenen").param("Text", "Szenen").param("Speichern erlauben", "1");
    page.add(121, "kamera", 220, 444, 170, 44, "Kamera")
        .param("Seite", demo_id::page(demo_page::TECHNIK))
        .param("Auto Seitenwechsel", "2")
        .addr("Trigger", "6/1/9");
    page.add(1519, "wetterstation", 600, 60, 400, 200, "Wetterstation")
        .param("Text", "Wetterstation Sonnenhang")
        .param("ID", demo_id::logic("wetterstation"))
        .addr("Temperatur", "4/0/1")
        .addr("Helligkeit", "4/0/2")
        .addr("Wind", "4/0/3")
        .addr("Regen", "4/0/4");
    page.add(1124, "online_wetter", 600, 272, 400, 236, "Online Wetter")
        .param("Text", "Wetter Freiburg")
        .param("ID", demo_id::logic("online_wetter"));
}

void add_ground_floor(CKV_Project_Db& db, KV_Demo_Errors& errors)
{
    KV_GUI_Page& record = kv_demo_new_page(db, demo_page::ERDGESCHOSS, "Erdgeschoss", DEMO_USER_FAMILY, false);
    record.m_str_image_icon = "lampe_ein.svg";
    KV_Demo_Page page(record, demo_page::ERDGESCHOSS, errors);
    add_frame(page, 114, "Erdgeschoss");

    page.add(108, "wz_decke", 24, 60, 300, 110, "Wohnzimmer Decke")
        .param("Text", "Wohnzimmer Decke")
        .param("Ansicht", "0")
        .param("Icon ein", "lampe_ein.svg")
        .param("Icon aus", "lampe_aus.svg")
        .addr("Schalten", "1/0/1")
        .addr("Wert", "1/0/4")
        .addr("Schalten RM", "1/0/2")
        .addr("Wert RM", "1/0/5");
    page.add(1119, "ez_pendel", 24, 180, 300, 110, "Esszimmer Pendelleuchte")
        .param("Text", "Esszimmer Pendel")
        .param("Ansicht", "0")
        .param("Schritt +/-", "5")
        .addr("Dimmer", "1/0/10")
        .addr("Wert RM", "1/0/12")
        .addr("Schalten", "1/0/8")
        .addr("Schalten RM", "1/0/9");
    page.add(109, "kueche", 24, 300, 145, 60, "Küche")
        .param("Funktion", "0")
        .param("Text ein", "Küche an")
        .param("Text aus", "Küche aus")
        .param("Grafik ein", "lampe_ein.svg")
        .param("Grafik aus", "lampe_aus.svg")
        .addr("Schaltadresse", "1/0/6")
        .addr("Schaltadresse RM", "1/0/7");
    page.add(100, "flur", 179, 300, 145, 60, "Flur").addr("Schalten", "1/0/13").addr("Schalten RM", "1/0/14");
    page.add(101, "ez_helligkeit", 24, 372, 300, 50, "Esszimmer Helligkeit")
        .param("Schrittweite", "5")
        .addr("Wert", "1/0/11");
    page.add(15, "kueche_status", 24, 432, 64, 64, "Küche Status")
        .param("Grafik EIN", "lampe_ein.svg")
        .param("Grafik AUS", "lampe_aus.svg")
        .param("Text EIN", "an")
        .param("Text AUS", "aus")
        .addr("Wert", "1/0/7");

    page.add(106, "wz_rollladen", 350, 60, 300, 110, "Wohnzimmer Rollladen")
        .param("Text", "Wohnzimmer Rollladen")
        .param("Ansicht", "0")
        .param("Max. Lamellenstellung", "100")
        .param("ID", demo_id::logic("beschattung_wz"))
        .addrs(demo_slots::ROLLLADEN_WZ);
    page.add(119, "wz_terrassentuer", 350, 180, 140, 230, "Terrassentür")
        .param("Text", "Terrassentür")
        .param("Ansicht", "1")
        .addr("Langzeit", "2/0/1")
        .addr("Kurzzeit", "2/0/2")
        .addr("Höhe Wert", "2/0/3")
        .addr("Höhe Wert RM", "2/0/5");
    page.add(104, "wz_position", 500, 180, 150, 36, "Rollladen Position").addr("Wert", "2/0/5");

    page.add(117, "wz_raumregler", 680, 60, 320, 140, "Wohnzimmer Raumregler")
        .param("Text", "Wohnzimmer ")
        .param("Minimum", "16")
        .param("Maximum", "28")
        .param("ID", demo_id::logic("raumregler_wz"))
        .addrs(demo_slots::RAUMREGLER_WZ);
    page.add(103, "wz_komfort", 680, 210, 320, 50, "Sollwert Komfort")
        .param("Minimum", "16")
        .param("Maximum", "28")
        .param("Schrittweite", "0.5")
        .param("Format", "%.1f °C")
        .addr("Wert", "3/0/2");
    page.add(22, "wz_fenster_bild", 680, 270, 48, 48, "Fenster Symbol")
        .param("Standard Grafik", "fenster_zu.svg")
        .param("1: Wert", "0")
        .param("1: Grafik", "fenster_zu.svg")
        .param("2: Wert", "1")
        .param("2: Grafik", "fenster_offen.svg")
        .addr("Wert", "3/0/9");
    const KV_Demo_State window[] = {{"0", "Fenster geschlossen"}, {"1", "Fenster offen", "ffcdd2"}};
    page.add(18, "wz_fenster", 736, 274, 264, 40, "Fensterkontakt")
        .states(window)
        .param("2: Schrift/Linie", "b71c1c")
        .addr("Wert", "3/0/9");
    // One button per operating mode; mode n sends value n.
    const char* const modes[] = {"Komfort", "Standby", "Nacht", "Frost"};
    KV_Demo_Control mode_buttons = page.add(122, "wz_betriebsart", 680, 326, 320, 60, "Betriebsart")
                                       .param("Anzahl Buttons", std::to_string(std::size(modes)))
                                       .addr("Schaltadresse", "3/0/1")
                                       .addr("Schaltadresse RM", "3/0/1");
    for (size_t i = 0; i < std::size(modes); ++i) {
        const std::string n = std::to_string(i + 1);
        mode_buttons.param(("Wert: " + n).c_str(), n).param(("Name: " + n).c_str(), modes[i]);
    }
}

void add_upper_floor(CKV_Project_Db& db, KV_Demo_Errors& errors)
{
    KV_GUI_Page& record = kv_demo_new_page(db, demo_page::OBERGESCHOSS, "Obergeschoss", DEMO_USER_FAMILY, false);
    KV_Demo_Page page(record, demo_page::OBERGESCHOSS, errors);
    add_frame(page, 1122, "Obergeschoss");

    page.add(118, "sz_licht", 24, 60, 300, 110, "Schlafzimmer Licht")
        .param("Text", "Schlafzimmer")
        .param("Ansicht", "0")
        .addr("Schalten", "1/1/1")
        .addr("Wert", "1/1/3")
        .addr("Schalten RM", "1/1/2")
        .addr("Wert RM", "1/1/4");
    page.add(102, "sz_helligkeit", 340, 60, 60, 240, "Schlafzimmer Helligkeit")
        .param("Schrittweite", "10")
        .addr("Wert", "1/1/3");
    page.add(107, "sz_rollladen", 420, 60, 300, 110, "Schlafzimmer Rollladen")
        .param("Text", "Schlafzimmer Rollladen")
        .param("Ansicht", "0")
        .addrs(demo_slots::ROLLLADEN_SZ);
    page.add(1501, "sz_rollladen_popup", 420, 180, 140, 60, "Rollladen Popup")
        .param("Text", "Rollladen")
        .param("Ansicht", "2")
        .addrs(demo_slots::ROLLLADEN_SZ);
    page.add(1522, "sz_raumregler", 740, 60, 260, 140, "Schlafzimmer Raumregler")
        .param("Text", "Schlafzimmer ")
        .param("Ansicht", "1")
        .param("ID", demo_id::logic("raumregler_sz"))
        .addr("Betriebsart*", "3/1/1")
        .addr("Soll Komfort*", "3/1/2")
        .addr("Soll RM", "3/1/3")
        .addr("Raum Istwert*", "3/1/4");
    page.add(111, "rollladen_uhr", 24, 190, 300, 80, "Rollladen Zeitschaltuhr")
        .param("Text", "Rollläden Wohnzimmer")
        .param("Uhr", demo_id::clock("rollladen"))
        .param("Anzeige mit", "%1 %")
        .addr("Wert", "2/0/3")
        .addr("Wert RM", "2/0/5");

    // Popup containers lie hidden on the page; their buttons open them.
    // Kinderzimmer light in a popup that stays open.
    KV_Demo_Control kinder = page.add(200, "popup_kinder", 24, 300, 200, 50, "Kinderzimmer").param("Popup zentrieren", "0");
    KV_Demo_Control kinder_box = page.add(201, "container_kinder", 24, 356, 360, 140, "Kinderzimmer Popup")
                                     .param("Ausrichtung Horizontal", "0");
    kinder.param("Container", kinder_box.guid());
    page.add(1500, "kinder_licht", 10, 10, 340, 110, "Kinderzimmer Licht")
        .param("Text", "Kinderzimmer")
        .param("Ansicht", "0")
        .addr("Schalten", "1/1/5")
        .addr("Wert", "1/1/9")
        .addr("Schalten RM", "1/1/6")
        .addr("Wert RM", "1/1/10")
        .inside(kinder_box.record());

    // Bathroom in a popup that closes after one operation.
    KV_Demo_Control bad = page.add(202, "popup_bad", 240, 300, 200, 50, "Bad").param("Popup zentrieren", "1");
    KV_Demo_Control bad_box = page.add(1121, "container_bad", 240, 356, 300, 160, "Bad Popup");
    bad.param("Container", bad_box.guid());
    page.add(1523, "bad_spiegel", 10, 10, 280, 60, "Spiegelleuchte")
        .param("Text ein", "Spiegel an")
        .param("Text aus", "Spiegel aus")
        .addr("Schaltadresse", "1/1/7")
        .addr("Schaltadresse RM", "1/1/8")
        .inside(bad_box.record());
    page.add(1, "bad_temperatur", 10, 80, 280, 40, "Bad Temperatur")
        .param("Text", "Bad")
        .param("Format", "%.1f °C")
        .param("Wert rechts", "1")
        .addr("Wert", "3/1/6")
        .inside(bad_box.record());
}

void add_basement_garden(CKV_Project_Db& db, KV_Demo_Errors& errors)
{
    KV_GUI_Page& record =
        kv_demo_new_page(db, demo_page::KELLER_GARTEN, "Keller/Garten", "Familie;Gast", false);
    record.m_str_image_icon = "garten.svg";
    KV_Demo_Page page(record, demo_page::KELLER_GARTEN, errors);
    add_frame(page, 1503, "Keller und Garten");

    page.add(1512, "terrasse_rgbw", 24, 60, 300, 110, "Terrasse LED")
        .param("Text", "Terrasse LED")
        .param("Ansicht", "0")
        .param("ID", demo_id::logic("rgbw_terrasse"))
        .addrs(demo_slots::RGBW_TERRASSE);
    page.add(1525, "terrasse_rgbw_schalter", 24, 180, 145, 60, "Terrasse LED Schalter")
        .param("Text", "Terrasse")
        .param("Ansicht", "2")
        .param("ID", demo_id::logic("rgbw_terrasse"))
        .addrs(demo_slots::RGBW_TERRASSE);
    page.add(1526, "terrasse_sequenz", 24, 250, 300, 110, "Terrasse Farbwechsel")
        .param("Text", "Farbwechsel")
        .param("Ansicht", "0")
        .param("Animation anzeigen", "1")
        .param("Weißkanal darstellen", "1")
        .param("ID", demo_id::logic("rgbw_sequenz"))
        .addr("Sequenz start", "1/2/7")
        .addrs(demo_slots::RGBW_TERRASSE)
        .addr("Sequ. Zeit", "1/2/8")
        .addr("Sequ. Nummer", "1/2/9");
    page.add(113, "sequenz_zeit", 24, 370, 300, 50, "Sequenz Zeit")
        .param("Minimum", "1")
        .param("Maximum", "60")
        .param("Format", "%.0f s")
        .addr("Wert", "1/2/8");
    page.add(1523, "gartenweg", 179, 180, 145, 60, "Gartenweg")
        .param("Text ein", "Weg an")
        .param("Text aus", "Weg aus")
        .addr("Schaltadresse", "1/2/1")
        .addr("Schaltadresse RM", "1/2/2");

    page.add(17, "kellerlicht", 350, 60, 120, 120, "Kellerlicht")
        .param("Form", "1")
        .param("Funktion", "0")
        .param("Text anzeigen", "1")
        .addr("Schaltadresse", "1/2/10")
        .addr("Schaltadresse RM", "1/2/11");
    page.add(16, "zisterne", 490, 60, 120, 200, "Zisterne")
        .param("Format", "%d %%")
        .param("Vordergrund", "1e88e5")
        .addr("Wert", "5/0/6");
    page.add(105, "zisterne_balken", 620, 60, 40, 200, "Zisterne Balken").addr("Wert", "5/0/6");

    // Garden extras in a popup that stays open; the cellar in a single-use one.
    KV_Demo_Control extras = page.add(1513, "popup_garten", 350, 280, 200, 50, "Garten Extras");
    KV_Demo_Control extras_box =
        page.add(1514, "container_garten", 350, 336, 300, 150, "Garten Popup");
    extras.param("Container", extras_box.guid());
    page.add(1503, "bewaesserung_titel", 10, 6, 280, 30, "Bewässerung")
        .param("Text", "Bewässerung")
        .inside(extras_box.record());
    page.add(109, "bewaesserung", 10, 44, 280, 60, "Bewässerung Ventil")
        .param("Funktion", "0")
        .param("Text ein", "Wasser an")
        .param("Text aus", "Wasser aus")
        .param("Pin (nur 4 stellig)", "1357")
        .addr("Schaltadresse", "1/2/12")
        .addr("Schaltadresse RM", "1/2/13")
        .inside(extras_box.record());

    KV_Demo_Control keller = page.add(1515, "popup_keller", 560, 280, 200, 50, "Keller").param("Popup zentrieren", "1");
    KV_Demo_Control keller_box =
        page.add(201, "container_keller", 560, 336, 300, 110, "Keller Popup");
    keller.param("Container", keller_box.guid());
    const KV_Demo_State water[] = {{"0", "Keller trocken"}, {"1", "Wasser im Keller!", "ffcdd2"}};
    page.add(18, "wassermelder", 10, 10, 280, 40, "Wassermelder")
        .states(water)
        .addr("Wert", "6/1/2")
        .inside(keller_box.record());

    page.add(1524, "wetter_kompakt", 690, 60, 310, 200, "Wetter")
        .param("Text", "Wetter")
        .param("Hintergrund", "263238")
        .param("ID", demo_id::logic("online_wetter"));
}

void add_technical_room(CKV_Project_Db& db, KV_Demo_Errors& errors)
{
    KV_GUI_Page& record = kv_demo_new_page(db, demo_page::TECHNIK, "Technik", DEMO_USER_FAMILY, false);
    KV_Demo_Page page(record, demo_page::TECHNIK, errors);
    add_frame(page, 0, "Technik und Sicherheit");

    page.add(116, "kamera", 24, 60, 480, 290, "Kamera Einfahrt")
        .param("GUID", demo_id::camera("einfahrt"))
        .param("Interval in s", "2")
        .addr("Freigabe", "6/1/3");
    page.add(1116, "snapshot", 24, 360, 300, 70, "Snapshots Einfahrt")
        .param("Text", "Snapshots")
        .param("GUID", demo_id::logic("snapshot_einfahrt"))
        .addr("Trigger", "6/1/4")
        .addr("Reset", "6/1/5")
        .addr("Anzahl", "6/1/6");
    page.add(120, "garagentor", 334, 360, 170, 70, "Garagentor")
        .param("Funktion", "3")
        .param("Text ein", "Tor fährt")
        .param("Text aus", "Garagentor")
        .param("Pin (nur 4 stellig)", "2580")
        .addr("Schaltadresse", "6/1/7")
        .addr("Schaltadresse RM", "6/1/8");
    page.add(124, "klingelton", 24, 440, 150, 60, "Klingelton")
        .param("Audio", "klingel.wav")
        .param("Trigger", "2")
        .addr("Trigger", "6/1/9");
    page.add(123, "wetterdienst", 184, 440, 150, 60, "Wetterdienst")
        .param("Programm Allgemein", "https://www.dwd.de")
        .param("Trigger", "0");
    page.add(125, "beenden", 344, 440, 160, 60, "Beenden").param("Text", "Beenden").param("Pin (nur 4 stellig)", "1234");

    page.add(1123, "heizkreis", 530, 60, 470, 150, "Heizkreis")
        .param("Text", "Heizkreis Fußboden ")
        .param("Minimum", "20")
        .param("Maximum", "55")
        .param("ID", demo_id::logic("heizkreis"))
        .addr("Betriebsart", "3/2/1")
        .addr("Soll Komfort*", "3/2/2")
        .addr("Vorlauftemperatur*", "3/2/3")
        .addr("Außentemperatur*", "4/0/1")
        .addr("Raumtemperatur", "3/0/7")
        .addr("Freigabe heizen", "3/2/4")
        .addr("Heizbetrieb Heizkurve +/-", "3/2/6")
        .addr("Heizbetrieb Parallelverschiebung +/-", "3/2/7")
        .addr("Pumpe", "3/2/5")
        .addr("Info VL Sollwert", "3/2/2")
        .addr("Info Status Bitcodiert", "3/2/8");
    page.add(113, "heizkurve", 530, 220, 230, 50, "Heizkurve")
        .param("Minimum", "-5")
        .param("Maximum", "5")
        .param("Schrittweite", "0.1")
        .param("Format", "%.1f")
        .addr("Wert", "3/2/6");
    page.add(1120, "heizung_uhr", 530, 280, 230, 80, "Heizung Zeitschaltuhr")
        .param("Text", "Heizung Wohnzimmer")
        .param("Uhr", demo_id::clock("heizung"))
        .param("Anzeige mit", "%1 °C")
        .addr("Wert", "3/0/2")
        .addr("Wert RM", "3/0/6");
    page.add(1505, "garten_uhr", 770, 280, 230, 80, "Garten Zeitschaltuhr")
        .param("Text", "Gartenbeleuchtung")
        .param("Uhr", demo_id::clock("garten"))
        .param("Text Wert ein", "An")
        .param("Text Wert aus", "Aus")
        .addr("Wert", "1/2/1")
        .addr("Wert RM", "1/2/2");
    page.add(19, "leistung", 530, 370, 140, 140, "Leistung")
        .param("Maximum", "10000")
        .addr("Wert", "5/0/3");
    page.add(1, "strom", 680, 370, 320, 30, "Strombezug")
        .param("Text", "Strom Bezug")
        .param("Format", "%.1f kWh")
        .param("Faktor", "0.001")
        .param("Wert rechts", "1")
        .addr("Wert", "5/0/1")
        .font(SMALL_FONT);
    page.add(112, "pv", 680, 404, 320, 30, "PV Einspeisung")
        .param("Text", "PV Einspeisung")
        .param("Format", "%.1f kWh")
        .param("Faktor", "0.001")
        .param("Wert rechts", "1")
        .addr("Wert", "5/0/2")
        .font(SMALL_FONT);
    page.add(1, "wasser", 680, 438, 320, 30, "Wasser")
        .param("Text", "Wasser")
        .param("Format", "%d l")
        .param("Wert rechts", "1")
        .addr("Wert", "5/0/4")
        .font(SMALL_FONT);
    page.add(1509, "szenen_technik", 680, 472, 150, 44, "Szenen").param("Ansicht", "3").param("Speichern erlauben", "0");

    std::string all_pages;
    for (const Nav_Target& target : CLASSIC_PAGES)
        all_pages += (all_pages.empty() ? "" : ";") + demo_id::page(target.key);
    page.add(1504, "seitenauswahl", 840, 472, 160, 44, "Seitenauswahl")
        .param("Seite Begin", demo_id::page(demo_page::UEBERSICHT))
        .param("Seite End", demo_id::page(demo_page::TECHNIK))
        .param("Auswahl Seiten", all_pages);
}

} // namespace

void kv_demo_add_classic_pages(CKV_Project_Db& db, KV_Demo_Errors& errors)
{
    add_overview(db, errors);
    add_ground_floor(db, errors);
    add_upper_floor(db, errors);
    add_basement_garden(db, errors);
    add_technical_room(db, errors);
}
