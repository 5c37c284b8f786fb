#include "kv_control_catalog.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "kv_gui.h"
#include "kv_trace.h"

namespace {

struct Type_Entry {
    int type;
    const char* display_name;
    const char* class_name; // nullptr: static text, stored as 9999
};

// clang-format off
const Type_Entry TYPE_TABLE[] = {
    {0,    "Statischer Text",                   "CKV_Gui_Control_Label_Text"},
    {1,    "Wertanzeige",                       "CKV_Gui_Control_Label_Value"},
    {10,   "IP Kamera - HTTP Bild",             nullptr},
    {11,   "IP Kamera - MJPEG (experimentell)", nullptr},
    {12,   "HTTP Seite",                        nullptr},
    {14,   "Grafik Anzeige statisch",           "CKV_Gui_Control_Image"},
    {15,   "Grafik Anzeige ein/aus",            "CKV_Gui_Control_Image_OnOff"},
    {16,   "Füllstand",                         "CKV_Gui_Control_Fuellstand"},
    {17,   "Form",                              "CKV_Gui_Control_Form"},
    {18,   "Wert/Meldung",                      "CKV_Gui_Control_Label_Var_Text"},
    {19,   "Analoganzeige",                     "CKV_Gui_Control_Analoganzeige"},
    {20,   "Alarmanzeige",                      "CKV_Gui_Control_Alarmanzeige"},
    {21,   "Grafik Anzeige GIF",                "CKV_Gui_Control_Image_Gif"},
    {22,   "Grafik Anzeige Wert",               "CKV_Gui_Control_Image_Value"},
    {100,  "Flipswitch",                        "CKV_Gui_Control_Button_FlipSwitch"},
    {101,  "Schieberegler horizontal",          "CKV_Gui_Control_Slider_Hor"},
    {102,  "Schieberegler vertikal",            "CKV_Gui_Control_Slider_Ver"},
    {103,  "Eingabefeld",                       "CKV_Gui_Control_Edit"},
    {104,  "Fortschrittanzeige horizontal",     "CKV_Gui_Control_Progress_Hor"},
    {105,  "Fortschrittanzeige vertikal",       "CKV_Gui_Control_Progress_Ver"},
    {106,  "Beschattung",                       "CKV_Gui_Control_App_Rollo"},
    {107,  "Beschattung",                       "CKV_Gui_Control_App_Rollo"},
    {108,  "Dimmer absolut",                    "CKV_Gui_Control_App_Dimmer"},
    {109,  "Schalter universal",                "CKV_Gui_Control_Button_Universal"},
    {110,  "UNKNOWN",                           "CKV_Gui_Control_Tile_Room"},
    {111,  "Zeitschaltuhr",                     "CKV_Gui_Control_App_Uhr"},
    {112,  "Wertanzeige",                       "CKV_Gui_Control_Label_Value"},
    {113,  "Eingabefeld",                       "CKV_Gui_Control_Edit"},
    {114,  "Statischer Text",                   "CKV_Gui_Control_Label_Text"},
    {115,  "UNKNOWN",                           "CKV_Gui_Control_Tile_Scene"},
    {116,  "IP Kamera (http)",                  "CKV_Gui_Control_App_IP_Cam"},
    {117,  "Raumregler",                        "CKV_Gui_Control_App_Raumr"},
    {118,  "Dimmer absolut",                    "CKV_Gui_Control_App_Dimmer"},
    {119,  "Beschattung",                       "CKV_Gui_Control_App_Rollo"},
    {120,  "Schalter universal",                "CKV_Gui_Control_Button_Universal"},
    {121,  "Seitenwechsel",                     "CKV_Gui_Control_Button_Seitenwechsel"},
    {122,  "Mehrfachbedienung",                 "CKV_Gui_Control_Button_Gruppe"},
    {123,  "Url-Programmaufruf",                "CKV_Gui_Control_Button_Startapp"},
    {124,  "Audio abspielen",                   "CKV_Gui_Control_Button_Sound"},
    {125,  "Button Exit",                       "CKV_Gui_Control_Button_Exit"},
    {130,  "Wertanzeige Kachel",                "CKV_Gui_Control_Tile_Value"},
    {131,  "Header",                            "CKV_Gui_Control_Tile_Header"},
    {132,  "Dimmer Kachel absolut",             "CKV_Gui_Control_Tile_Dimmer"},
    {133,  "Beschattung Kachel",                "CKV_Gui_Control_Tile_Jalousie"},
    {134,  "Temperaturregler Kachel",           "CKV_Gui_Control_Tile_Temperature"},
    {135,  "Schalter On/Off",                   "CKV_Gui_Control_Tile_OnOff"},
    {136,  "Dimmer Kachel relativ",             "CKV_Gui_Control_Tile_Dimmer_Plus_Minus"},
    {137,  "Seitenwechsel Kachel",              "CKV_Gui_Control_Tile_Room"},
    {138,  "Szene",                             "CKV_Gui_Control_Tile_Scene"},
    {139,  "Zeitschaltuhr Kachel",              "CKV_Gui_Control_Tile_Clock"},
    {200,  "Popup Aufruf Mehrfach",             "CKV_Gui_Control_Popup_Button"},
    {201,  "Popup Container",                   "CKV_Gui_Control_Popup_Container"},
    {202,  "Popup Aufruf Einfach",              "CKV_Gui_Control_Popup_Button"},
    {210,  "Sprachumschaltung",                 "CKV_Gui_Control_Sprachumschaltung"},
    {1116, "IP Kamera (http) Snapshot",         "CKV_Gui_Control_App_IP_Cam_Snapshot"},
    {1119, "Dimmer relativ",                    "CKV_Gui_Control_App_Dimmer_PM"},
    {1120, "Zeitschaltuhr",                     "CKV_Gui_Control_App_Uhr"},
    {1121, "Popup Container",                   "CKV_Gui_Control_Popup_Container"},
    {1122, "Statischer Text",                   "CKV_Gui_Control_Label_Text"},
    {1123, "Heizkreisregler",                   "CKV_Gui_Control_App_Heizkreis"},
    {1124, "Online Wetter",                     "CKV_Gui_Control_App_Open_Weather"},
    {1126, "Szene Seite",                       "CKV_Gui_Control_App_Scene_Page"},
    {1500, "Dimmer absolut",                    "CKV_Gui_Control_App_Dimmer"},
    {1501, "Beschattung",                       "CKV_Gui_Control_App_Rollo"},
    {1502, "UNKNOWN",                           "CKV_Gui_Control_Tile_Room"},
    {1503, "Statischer Text",                   "CKV_Gui_Control_Label_Text"},
    {1504, "Seitenwechsel Slider",              "CKV_Gui_Control_App_Seitenwechsel_Slider"},
    {1505, "Zeitschaltuhr",                     "CKV_Gui_Control_App_Uhr"},
    {1509, "Szene Seite",                       "CKV_Gui_Control_App_Scene_Page"},
    {1512, "RGBW",                              "CKV_Gui_Control_App_RGBW"},
    {1513, "Popup Aufruf Mehrfach",             "CKV_Gui_Control_Popup_Button"},
    {1514, "Popup Container",                   "CKV_Gui_Control_Popup_Container"},
    {1515, "Popup Aufruf Einfach",              "CKV_Gui_Control_Popup_Button"},
    {1519, "Wetterstation Anzeige",             "CKV_Gui_Control_App_WS_Anzeige"},
    {1520, "Szene",                             "CKV_Gui_Control_Tile_Scene"},
    {1522, "UNKNOWN",                           "CKV_Gui_Control_App_Raumr"},
    {1523, "UNKNOWN",                           "CKV_Gui_Control_Button_Universal"},
    {1524, "Online Wetter",                     "CKV_Gui_Control_App_Open_Weather"},
    {1525, "RGBW",                              "CKV_Gui_Control_App_RGBW"},
    {1526, "RGBW Sequenz",                      "CKV_Gui_Control_App_RGBW_SEQU"},
};
// clang-format on

const Type_Entry* find_type(int type)
{
    for (const Type_Entry& entry : TYPE_TABLE)
        if (entry.type == type)
            return &entry;
    return nullptr;
}

constexpr const char* PIN = "Pin (nur 4 stellig)";
constexpr const char* SWITCH_FUNCTIONS = "Umschalten Toggeln;Umschalten Ein/Aus Wert;Nur Ein Wert;Taster";
constexpr const char* TRIGGERS = "Klick;Bei jedem Telegramm;Steigende Flanke;Fallende Flanke";
constexpr const char* ALIGN_H = "Links;Zentriert;Rechts";

// Builds one schema; parameters are placed at explicit positions so that
// classes with fixed indices keep them, the positions in between stay unnamed.
class Schema_Builder {
public:
    explicit Schema_Builder(const char* class_name) { m_schema.class_name = class_name; }

    Schema_Builder& param(int index, std::string label, std::string def = "", std::string choices = "")
    {
        KV_Control_Param p{std::move(label), std::move(def), std::move(choices)};
        if (index >= KV_PARAM_STORED_MAX) {
            m_schema.fixed.push_back({index, std::move(p)});
            return *this;
        }
        if (m_schema.params.size() <= size_t(index))
            m_schema.params.resize(index + 1);
        m_schema.params[index] = std::move(p);
        return *this;
    }
    // Appends after the last position in use.
    Schema_Builder& next(std::string label, std::string def = "", std::string choices = "")
    {
        return param(int(m_schema.params.size()), std::move(label), std::move(def), std::move(choices));
    }
    Schema_Builder& slots(std::vector<std::string> names)
    {
        m_schema.addr_slots = std::move(names);
        return *this;
    }
    KV_Control_Schema build() { return std::move(m_schema); }

private:
    KV_Control_Schema m_schema;
};

// "%1" in a label replaced by a 1-based number.
std::string numbered(const char* pattern, int n)
{
    std::string text = pattern;
    text.replace(text.find("%1"), 2, std::to_string(n));
    return text;
}

// Common head of the operable tiles: view, touch style, show text, text, info.
Schema_Builder operable_tile(const char* class_name, const char* text_default)
{
    Schema_Builder b(class_name);
    b.param(0, "Ansicht", "0", "Tablet;Smartphone")
        .param(1, "Touch Style", "0")
        .param(2, "Text anzeigen", "1")
        .param(3, "Text", text_default)
        .param(4, "Info");
    return b;
}

// Common parameters of the classic climate controllers (room and heating
// circuit): text, set-point step and range, view, logic ID, set-point scaling.
Schema_Builder classic_climate(const char* class_name, const char* text_default)
{
    Schema_Builder b(class_name);
    b.param(0, "Text", text_default)
        .param(6, "Schrittweite", "0.5")
        .param(7, "Minimum", "0")
        .param(8, "Maximum", "30")
        .param(9, "Ansicht", "0", "Horizontal;Kompakt")
        .param(10, "ID")
        .param(11, "Soll Offset", "0")
        .param(12, "Soll Faktor", "1");
    return b;
}

const std::vector<std::string> BLIND_SLOTS = {"Langzeit",     "Kurzzeit",        "Höhe Wert",
                                              "Lamelle Wert", "Höhe Wert RM", "Lamelle Wert RM"};
const std::vector<std::string> CLIMATE_SLOTS = {
    "Betriebsart*",           "Soll Komfort*",         "Soll Standby*",
    "Soll Nacht*",            "Soll Frost*",           "Soll RM",
    "Raum Istwert*",          "Kühlen Stellgröße RM",  "Heizen Stellgröße RM",
    "Heizen+Kühlen Stellgröße RM", "Freigabe Kühlen RM", "Freigabe Heizen RM",
    "Freigabe Heizen/kühlen RM", "Fensterkontakt RM"};

Schema_Builder classic_dimmer(const char* class_name, const char* text_default)
{
    Schema_Builder b(class_name);
    b.param(0, "Text", text_default)
        .param(2, "Vordergrund", "f3f4f5")
        .param(5, "Ring Grad. Begin", "fcfadb")
        .param(6, "Ring Grad. Ende", "ede880")
        .param(8, "Ring Hintergrund", "ccd1d5")
        .param(10, "Ansicht", "1", "Horizontal;Vertikal;Popup")
        .param(11, "Icon aus")
        .param(12, "Icon ein")
        .param(14, "ID")
        .param(15, "Zeit Popup", "0.5")
        .param(20, "Schritt +/-", "10")
        .param(21, PIN);
    return b;
}

std::vector<KV_Control_Schema> build_schemas()
{
    std::vector<KV_Control_Schema> all;
    auto add = [&all](Schema_Builder& b) { all.push_back(b.build()); };

    // Displays.
    {
        Schema_Builder b("CKV_Gui_Control_Label_Text");
        b.next("Text").next("Ausrichtung", "1", ALIGN_H).next("Rotation", "0").next("Zoom", "1");
        add(b);
    }
    {
        Schema_Builder b("CKV_Gui_Control_Label_Value");
        b.next("Text").next("Format").next("Faktor", "1").next("Offset", "0").next("Wert rechts", "0").next(
            "Rahmen", "0");
        add(b.slots({"Wert"}));
    }
    {
        Schema_Builder b("CKV_Gui_Control_Label_Var_Text");
        b.next("Hintergrund Standard", "ffffff").next("Schrift/Linie Standard", "000000").next("Rahmenbreite", "0");
        for (int i = 1; i <= 10; ++i)
            b.next(numbered("%1: Wert", i))
                .next(numbered("%1: Text", i))
                .next(numbered("%1: Hintergrund", i))
                .next(numbered("%1: Schrift/Linie", i));
        add(b.slots({"Wert"}));
    }
    {
        Schema_Builder b("CKV_Gui_Control_Image");
        b.next("Grafik").next("Text").next("Proportional", "1").next("Ausrichtung", "1", ALIGN_H);
        add(b);
    }
    {
        Schema_Builder b("CKV_Gui_Control_Image_OnOff");
        b.next("Grafik EIN").next("Grafik AUS").next("Text EIN").next("Text AUS").next("Auto Seitenwechsel", "0").next(
            "Seite");
        add(b.slots({"Wert"}));
    }
    {
        Schema_Builder b("CKV_Gui_Control_Image_Gif");
        b.next("Grafik").next("Start/Stop", "1").next("Geschwindigkeit %", "100");
        add(b.slots({"Wert"}));
    }
    {
        Schema_Builder b("CKV_Gui_Control_Image_Value");
        b.next("Standard Grafik").next("Taktzeit", "0");
        for (int i = 1; i <= 10; ++i)
            b.next(numbered("%1: Wert", i)).next(numbered("%1: Grafik", i));
        add(b.slots({"Wert"}));
    }
    {
        Schema_Builder b("CKV_Gui_Control_Fuellstand");
        b.next("Minimum", "0").next("Maximum", "100").next("Format").next("Faktor", "1").next("Offset", "0").next(
            "Vordergrund", "29c7a5");
        add(b.slots({"Wert"}));
    }
    {
        // Operates like the universal switch when it has a switching address.
        Schema_Builder b("CKV_Gui_Control_Form");
        b.next("Form", "0", "Rechteck;Kreis;Dreieck;Linie horizontal;Linie vertikal;Pfeil")
            .next("Rundung", "0")
            .next("Rotation", "0")
            .next("Funktion", "0", SWITCH_FUNCTIONS)
            .next("Wert ein", "1")
            .next("Wert aus", "0")
            .next("Text anzeigen", "0")
            .next(PIN);
        add(b.slots({"Schaltadresse", "Schaltadresse RM"}));
    }
    {
        Schema_Builder b("CKV_Gui_Control_Analoganzeige");
        b.next("Minimum", "0").next("Maximum", "100").next("0-360 Grad", "270").next("Zeiger", "d32f2f").next(
            "Linie Farbe", "3b3b3b").next("Faktor Schriftgröße", "1");
        add(b.slots({"Wert"}));
    }
    {
        Schema_Builder b("CKV_Gui_Control_Alarmanzeige");
        b.next("Anzahl anzeigen", "1").next("Ansicht", "0", "Liste;Kompakt");
        add(b);
    }

    // Classic operating controls.
    {
        Schema_Builder b("CKV_Gui_Control_Button_FlipSwitch");
        b.next("Funktion", "0", SWITCH_FUNCTIONS).next("Wert Ein", "1").next("Wert Aus", "0").next(PIN);
        add(b.slots({"Schalten", "Schalten RM"}));
    }
    {
        Schema_Builder b("CKV_Gui_Control_Button_Universal");
        b.next("Funktion", "0", SWITCH_FUNCTIONS)
            .next("Wert ein", "1")
            .next("Wert aus", "0")
            .next("Text ein", "Ein")
            .next("Text aus", "Aus")
            .next("Grafik ein")
            .next("Grafik aus")
            .next(PIN);
        add(b.slots({"Schaltadresse", "Schaltadresse RM"}));
    }
    for (const char* name : {"CKV_Gui_Control_Slider_Hor", "CKV_Gui_Control_Slider_Ver"}) {
        Schema_Builder b(name);
        b.next("Minimum", "0").next("Maximum", "100").next("Schrittweite", "1").next(PIN);
        add(b.slots({"Wert"}));
    }
    {
        Schema_Builder b("CKV_Gui_Control_Edit");
        b.next("Minimum", "0")
            .next("Maximum", "100")
            .next("Schrittweite", "1")
            .next("Buttons anzeigen", "1")
            .next("Breite Text", "50")
            .next("Format")
            .next("Faktor", "1")
            .next("Offset", "0")
            .next(PIN);
        add(b.slots({"Wert"}));
    }
    for (const char* name : {"CKV_Gui_Control_Progress_Hor", "CKV_Gui_Control_Progress_Ver"}) {
        Schema_Builder b(name);
        b.next("Minimum", "0").next("Maximum", "100");
        add(b.slots({"Wert"}));
    }
    {
        Schema_Builder b("CKV_Gui_Control_Button_Seitenwechsel");
        b.next("Seite").next("Auto Seitenwechsel", "0", "Aus;Bei jedem Telegramm;Steigende Flanke;Fallende Flanke").next(
            PIN);
        add(b.slots({"Trigger"}));
    }
    {
        Schema_Builder b("CKV_Gui_Control_Button_Gruppe");
        b.next("Anzahl Buttons", "2");
        for (int i = 1; i <= 8; ++i)
            b.next(numbered("Button %1", i)).next(numbered("Wert: %1", i), std::to_string(i - 1)).next(numbered("Name: %1", i));
        b.next(PIN);
        add(b.slots({"Schaltadresse", "Schaltadresse RM"}));
    }
    {
        Schema_Builder b("CKV_Gui_Control_Button_Startapp");
        b.next("Programm Windows")
            .next("Programm Android")
            .next("Programm IOs")
            .next("Programm Allgemein")
            .next("Trigger", "0", TRIGGERS)
            .next(PIN);
        add(b.slots({"Trigger"}));
    }
    {
        Schema_Builder b("CKV_Gui_Control_Button_Sound");
        b.next("Audio").next("Trigger", "0", TRIGGERS).next(PIN);
        add(b.slots({"Trigger"}));
    }
    {
        Schema_Builder b("CKV_Gui_Control_Button_Exit");
        b.next("Text", "Beenden").next(PIN);
        add(b);
    }
    {
        Schema_Builder b("CKV_Gui_Control_Popup_Button");
        b.next("Container").next("Popup zentrieren", "0").next("Trigger", "0", TRIGGERS).next(PIN);
        add(b.slots({"Trigger"}));
    }
    {
        Schema_Builder b("CKV_Gui_Control_Popup_Container");
        b.next("Ausrichtung Horizontal", "1", ALIGN_H).next("Ausrichtung Vertikal", "1", "Oben;Zentriert;Unten");
        add(b);
    }
    {
        Schema_Builder b("CKV_Gui_Control_Sprachumschaltung");
        b.next("Icon", "1").next("Umschaltung", "0", "Liste;Nächste Sprache").next(PIN);
        add(b);
    }
    {
        Schema_Builder b("CKV_Gui_Control_App_Seitenwechsel_Slider");
        b.next("Seite Begin").next("Seite End").next("Auswahl Seiten").next(PIN);
        add(b);
    }

    // App controls.
    {
        Schema_Builder b = classic_dimmer("CKV_Gui_Control_App_Dimmer", "Dimmer absolut");
        add(b.slots({"Schalten", "Wert", "Schalten RM", "Wert RM"}));
    }
    {
        Schema_Builder b = classic_dimmer("CKV_Gui_Control_App_Dimmer_PM", "Dimmer relativ");
        add(b.slots({"Dimmer", "Wert RM", "Schalten", "Schalten RM"}));
    }
    {
        Schema_Builder b("CKV_Gui_Control_App_Rollo");
        b.next("Text", "Beschattung")
            .next("Ansicht", "1", "Horizontal;Vertikal;Popup")
            .next("Max. Lamellenstellung", "0")
            .next("Zeit Popup", "0.5")
            .next("ID")
            .next(PIN);
        add(b.slots(BLIND_SLOTS));
    }
    {
        Schema_Builder b("CKV_Gui_Control_App_RGBW");
        b.param(0, "Text", "RGBW")
            .param(3, "Ansicht", "1", "Horizontal;Vertikal;Ein/aus;Popup")
            .param(4, "Kurzer Klick", "1")
            .param(10, "ID")
            .param(11, PIN);
        add(b.slots({"Rot", "Grün", "Blau", "Weiß"}));
    }
    {
        Schema_Builder b("CKV_Gui_Control_App_RGBW_SEQU");
        b.param(0, "Text", "RGBW Sequenz")
            .param(3, "Ansicht", "1", "Horizontal;Vertikal")
            .param(4, "Animation anzeigen", "1")
            .param(5, "Weißkanal darstellen", "1")
            .param(10, "ID")
            .param(11, PIN);
        add(b.slots({"Sequenz start", "Rot", "Grün", "Blau", "Weiß", "Orange", "Sequ. Zeit", "Sequ. Nummer"}));
    }
    {
        Schema_Builder b = classic_climate("CKV_Gui_Control_App_Raumr", "Raumregler ");
        b.param(13, PIN);
        add(b.slots(CLIMATE_SLOTS));
    }
    {
        Schema_Builder b = classic_climate("CKV_Gui_Control_App_Heizkreis", "Heizkreisregler ");
        b.param(13, "Soll Frost änderbar", "1")
            .param(14, PIN);
        add(b.slots({"Betriebsart",
                     "Soll Komfort*",
                     "Soll Standby",
                     "Soll Nacht",
                     "Soll Frost",
                     "Vorlauftemperatur*",
                     "Außentemperatur*",
                     "Raumtemperatur",
                     "Freigabe heizen",
                     "Freigabe kühlen",
                     "Freigabe Pumpe",
                     "Heizbetrieb Heizkurve +/-",
                     "Heizbetrieb Parallelverschiebung +/-",
                     "Kühlbetrieb Kühlkurve +/-",
                     "Kühlbetrieb Parallelverschiebung +/-",
                     "Auf",
                     "Zu",
                     "Prozentwert",
                     "Pumpe",
                     "Info VL Sollwert",
                     "Info Timer PWM",
                     "Info Status Bitcodiert"}));
    }
    {
        Schema_Builder b("CKV_Gui_Control_App_Uhr");
        b.param(0, "Text", "Zeitschaltuhr")
            .param(6, "Icon Ein", ":/images/icons/uhr_gr.png")
            .param(7, "Uhr")
            .param(12, "Icon Aus", ":/images/icons/uhr_rt.png")
            .param(14, "Ansicht", "1", "Horizontal;Kompakt;Popup")
            .param(19, "Anzeige mit", "%1")
            .param(20, "Zeit Popup", "0.5")
            .param(21, "Editor öffnen", "0", "Kurzer klick;Langer klick")
            .param(22, "Text Wert ein")
            .param(23, "Text Wert aus")
            .param(24, PIN);
        add(b.slots({"Wert", "Wert RM"}));
    }
    {
        Schema_Builder b("CKV_Gui_Control_App_Scene_Page");
        b.param(0, "Text", "Szene")
            .param(2, "Vordergrund", "f3f4f5")
            .param(6, "Ansicht", "%1")
            .param(7, "Speichern erlauben", "1")
            .param(8, "Icon", "1")
            .param(10, "Icon Abstand", "0.08")
            .param(14, "ID")
            .param(15, "Zeit Popup", "0.5")
            .param(16, PIN);
        add(b);
    }
    {
        Schema_Builder b("CKV_Gui_Control_App_IP_Cam");
        b.param(0, "Bild Strecken", "0")
            .param(1, "Popup anzeigen", "1")
            .param(4, "Interval in s", "5")
            .param(5, "GUID")
            .param(6, "Info anzeigen", "1")
            .param(7, "Freigabe invertieren", "0")
            .param(9, "Status Icon", "2", "keines;grau;Kamera");
        add(b.slots({"Freigabe"}));
    }
    {
        Schema_Builder b("CKV_Gui_Control_App_IP_Cam_Snapshot");
        b.param(0, "Text", "Snapshot")
            .param(1, "Bild Strecken", "0")
            .param(4, "Icon")
            .param(5, "Aurichtung", "0", "Horizontal;Kompakt")
            .param(10, "GUID");
        add(b.slots({"Trigger", "Reset", "Anzahl"}));
    }
    {
        Schema_Builder b("CKV_Gui_Control_App_Open_Weather");
        b.param(0, "Text", "Online Wetter")
            .param(1, "Hintergrund", "191919")
            .param(2, "Schrift/Linie", "FFFFFF")
            .param(25, "ID");
        add(b);
    }
    {
        Schema_Builder b("CKV_Gui_Control_App_WS_Anzeige");
        b.param(0, "Text", "Wetterstation")
            .param(1, "Darstellung", "0", "Grafik;Werte")
            .param(10, "Skal. Temp. Min", "-10")
            .param(11, "Skal. Temp. Max", "40")
            .param(12, "Skal. Wind. Max", "80")
            .param(25, "ID");
        add(b.slots({"Temperatur", "Helligkeit", "Wind", "Regen"}));
    }

    // Tiles.
    {
        Schema_Builder b = operable_tile("CKV_Gui_Control_Tile_Dimmer", "Dimmer absolut");
        b.param(11, "Sollwert Anzeigen", "1").param(91, "Icon", ":/images/Smartphone/phone_Licht.svg");
        add(b.slots({"Schalten", "Wert", "Schalten RM", "Wert RM"}));
    }
    {
        Schema_Builder b = operable_tile("CKV_Gui_Control_Tile_Dimmer_Plus_Minus", "Dimmer relativ");
        b.param(91, "Icon", ":/images/Smartphone/phone_Licht.svg");
        add(b.slots({"Dimmer", "Wert RM", "Schalten", "Schalten RM"}));
    }
    {
        Schema_Builder b = operable_tile("CKV_Gui_Control_Tile_Jalousie", "Beschattung");
        b.param(10, "Max. Lamellenstellung", "0")
            .param(11, "Sollwert Anzeigen", "0")
            .param(91, "Icon", ":/images/Smartphone/phone_Beschattung.svg");
        add(b.slots(BLIND_SLOTS));
    }
    {
        Schema_Builder b = operable_tile("CKV_Gui_Control_Tile_OnOff", "Schalter");
        b.param(5, "ON Icon")
            .param(6, "OFF Icon")
            .param(8, PIN)
            .param(9, "Wert Ein", "1")
            .param(10, "Wert Aus", "0")
            .param(11, "Funktion", "0", SWITCH_FUNCTIONS)
            .param(12, "Wertänderung\nignorieren", "0")
            .param(91, "Icon", ":/images/svg/Schalter.svg");
        add(b.slots({"Schalten", "Schalten RM"}));
    }
    {
        // "Minimum"/"Maximum" name the comfort limits; the other modes carry
        // their name so that each limit has a label of its own.
        Schema_Builder b = operable_tile("CKV_Gui_Control_Tile_Temperature", "Temperatur");
        b.param(9, "Info nach Modus", "0")
            .param(10, "ID")
            .param(11, "Soll Offset", "0")
            .param(12, "Soll Faktor", "1")
            .param(13, "Schrittweite", "0.1")
            .param(20, "Minimum", "20.0")
            .param(21, "Maximum", "26.0")
            .param(22, "Minimum Standby", "17.0")
            .param(23, "Maximum Standby", "25.0")
            .param(24, "Minimum Nacht", "16.0")
            .param(25, "Maximum Nacht", "24.0")
            .param(26, "Minimum Frost", "5.0")
            .param(27, "Maximum Frost", "20.0")
            .param(28, "Sollwert Anzeigen", "1")
            .param(91, "Icon", ":/images/Smartphone/phone_Temperatur.svg");
        add(b.slots(CLIMATE_SLOTS));
    }
    {
        Schema_Builder b = operable_tile("CKV_Gui_Control_Tile_Clock", "Zeitschaltuhr");
        b.param(5, "Uhr")
            .param(6, "Text Wert ein")
            .param(7, "Text Wert aus")
            .param(91, "Icon", ":/images/svg/Zeitschaltuhr.svg");
        add(b.slots({"Wert", "Wert RM"}));
    }
    {
        Schema_Builder b("CKV_Gui_Control_Tile_Room");
        b.param(0, "Text", "Raum")
            .param(6, "Icon")
            .param(7, "Seite")
            .param(8, PIN)
            .param(13, "Info")
            .param(16, "Seite User")
            .param(20, "Ziel Benutzerabhängig", "0")
            .param(91, "Ansicht", "0", "Tablet;Smartphone");
        add(b);
    }
    {
        Schema_Builder b("CKV_Gui_Control_Tile_Scene");
        b.param(1, "Text", "Szene")
            .param(8, "GUID")
            .param(13, "Icon")
            .param(14, "Info")
            .param(91, "Ansicht", "0", "Tablet;Smartphone");
        add(b.slots({"Szene RM"}));
    }
    {
        Schema_Builder b("CKV_Gui_Control_Tile_Value");
        b.param(0, "Text", "Wert: ")
            .param(1, "Format", "%d%%")
            .param(2, "Faktor", "1")
            .param(3, "Offset", "0")
            .param(7, "Einheit")
            .param(10, "Ansicht", "0", "Tablet;Smartphone")
            .param(11, "Icon");
        add(b.slots({"Wert"}));
    }
    {
        // Six header values, five parameters each, at 10..39.
        Schema_Builder b("CKV_Gui_Control_Tile_Header");
        b.param(0, "Ansicht", "0", "Tablet;Smartphone")
            .param(1, "Icon", ":/images/Smartphone/phone_Profile.svg")
            .param(3, "Titel", "Übersicht")
            .param(4, "Zurück anzeigen", "0")
            .param(5, "Seite")
            .param(6, PIN)
            .param(7, "Menü anzeigen", "0")
            .param(8, "Menü Verknüpfung")
            .param(9, "Ziel Benutzerabhängig", "0");
        std::vector<std::string> slot_names;
        for (int i = 1; i <= 6; ++i) {
            b.next(numbered("%1: Text", i), "Wert:")
                .next(numbered("%1: Format", i), "%d%%")
                .next(numbered("%1: Einheit", i))
                .next(numbered("%1: Faktor", i), "1")
                .next(numbered("%1: Offset", i), "0");
            slot_names.push_back(numbered("Wert %1", i));
            slot_names.push_back(numbered("Wert %1 Tablet", i));
        }
        b.param(41, "Seite User");
        add(b.slots(slot_names));
    }
    return all;
}

const std::vector<KV_Control_Schema>& schemas()
{
    static const std::vector<KV_Control_Schema> all = build_schemas();
    return all;
}

} // namespace

const char* kv_control_display_name(int type)
{
    const Type_Entry* entry = find_type(type);
    return entry ? entry->display_name : "UNKNOWN";
}

const char* kv_control_class_name(int type)
{
    const Type_Entry* entry = find_type(type);
    return entry ? entry->class_name : nullptr;
}

bool kv_control_type_known(int type)
{
    return kv_control_class_name(type) != nullptr;
}

const std::vector<int>& kv_control_types()
{
    static const std::vector<int> types = [] {
        std::vector<int> list;
        for (const Type_Entry& entry : TYPE_TABLE)
            if (entry.class_name)
                list.push_back(entry.type);
        std::sort(list.begin(), list.end());
        return list;
    }();
    return types;
}

int kv_control_effective_type(const KV_GUI_Control& control)
{
    if (!kv_control_type_known(control.m_typ))
        return KV_TYPE_STATIC_FALLBACK;
    if (control.m_typ == 118 && control.m_list_addr.size() == 9)
        return KV_TYPE_STATIC_FALLBACK;
    return control.m_typ;
}

const KV_Control_Schema* kv_control_schema(const char* class_name)
{
    if (!class_name)
        return nullptr;
    for (const KV_Control_Schema& schema : schemas())
        if (schema.class_name == class_name)
            return &schema;
    return nullptr;
}

const KV_Control_Schema* kv_control_schema_for_type(int type)
{
    return kv_control_schema(kv_control_class_name(type));
}

int kv_param_index(const char* class_name, const char* label)
{
    const KV_Control_Schema* schema = kv_control_schema(class_name);
    if (!schema || !label || !*label)
        return -1;
    for (size_t i = 0; i < schema->params.size(); ++i)
        if (schema->params[i].label == label)
            return int(i);
    for (const KV_Control_Fixed_Param& fixed : schema->fixed)
        if (fixed.param.label == label)
            return fixed.index;
    return -1;
}

int kv_addr_slot_index(const char* class_name, const char* slot_name)
{
    const KV_Control_Schema* schema = kv_control_schema(class_name);
    if (!schema || !slot_name)
        return -1;
    for (size_t i = 0; i < schema->addr_slots.size(); ++i)
        if (schema->addr_slots[i] == slot_name)
            return int(i);
    return -1;
}

int kv_control_fill_defaults(KV_GUI_Control& control)
{
    const KV_Control_Schema* schema = kv_control_schema_for_type(control.m_typ);
    if (!schema)
        return 0;
    int added = 0;
    for (size_t i = control.m_list_param.size(); i < schema->params.size(); ++i, ++added)
        control.m_list_param.push_back(schema->params[i].def);
    return added;
}

std::string kv_param_value(const KV_GUI_Control& control, const char* label)
{
    const KV_Control_Schema* schema = kv_control_schema_for_type(control.m_typ);
    int index = kv_param_index(schema ? schema->class_name.c_str() : nullptr, label);
    if (index < 0)
        return {};
    if (size_t(index) < control.m_list_param.size())
        return control.m_list_param[index];
    if (index < KV_PARAM_STORED_MAX)
        return schema->params[index].def;
    for (const KV_Control_Fixed_Param& fixed : schema->fixed)
        if (fixed.index == index)
            return fixed.param.def;
    return {};
}

bool kv_param_set(KV_GUI_Control& control, const char* label, const std::string& value)
{
    const char* class_name = kv_control_class_name(control.m_typ);
    int index = kv_param_index(class_name, label);
    if (index < 0 || index >= KV_PARAM_STORED_MAX) {
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_ZRQ, "CONTROL PARAM NOT STORABLE: %d %s\n", control.m_typ,
              label ? label : "");
        return false;
    }
    kv_control_fill_defaults(control);
    control.m_list_param[index] = value;
    return true;
}
