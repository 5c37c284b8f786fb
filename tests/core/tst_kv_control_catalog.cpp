#include <QtTest>

#include <set>

#include "kv_control_catalog.h"
#include "kv_gui.h"

namespace {
KV_GUI_Control control_of(int type, std::vector<std::string> params = {})
{
    KV_GUI_Control control;
    control.m_typ = type;
    control.m_list_param = std::move(params);
    return control;
}
} // namespace

class TestKvControlCatalog : public QObject {
    Q_OBJECT
private slots:
    void static_text_fallbacks()
    {
        const std::pair<int, const char*> rows[] = {
            {10, "IP Kamera - HTTP Bild"}, {13, "UNKNOWN"}, {-1, "UNKNOWN"}, {9999, "UNKNOWN"}};
        for (const auto& [type, display] : rows) {
            QCOMPARE(QString::fromUtf8(kv_control_display_name(type)), QString(display));
            QVERIFY(kv_control_class_name(type) == nullptr);
            QVERIFY(!kv_control_type_known(type));
            QVERIFY(kv_control_schema_for_type(type) == nullptr);
            KV_GUI_Control control = control_of(type);
            QCOMPARE(kv_control_effective_type(control), KV_TYPE_STATIC_FALLBACK);
            QCOMPARE(kv_control_fill_defaults(control), 0);
            QVERIFY(control.m_list_param.empty());
        }
    }

    void dimmer_118_with_nine_addresses_falls_back()
    {
        KV_GUI_Control control = control_of(118);
        control.m_list_addr.resize(8);
        QCOMPARE(kv_control_effective_type(control), 118);
        control.m_list_addr.resize(9);
        QCOMPARE(kv_control_effective_type(control), KV_TYPE_STATIC_FALLBACK);
        control.m_list_addr.resize(10);
        QCOMPARE(kv_control_effective_type(control), 118);
        control.m_typ = 108;
        control.m_list_addr.resize(9);
        QCOMPARE(kv_control_effective_type(control), 108);
    }

    // Indices that the controls' own descriptions fix: stored records depend on them.
    void fixed_indices()
    {
        const struct { const char* cls; const char* label; int index; const char* def; } rows[] = {
            {"CKV_Gui_Control_App_Dimmer", "Ring Grad. Ende", 6, "ede880"},
            {"CKV_Gui_Control_App_Dimmer", "Schritt +/-", 20, "10"},
            {"CKV_Gui_Control_App_Heizkreis", "Soll Frost änderbar", 13, "1"},
            {"CKV_Gui_Control_App_Uhr", "Anzeige mit", 19, "%1"},
            {"CKV_Gui_Control_App_IP_Cam_Snapshot", "Aurichtung", 5, "0"},
            {"CKV_Gui_Control_Tile_Temperature", "Minimum Frost", 26, "5.0"},
            {"CKV_Gui_Control_Tile_OnOff", "Wertänderung\nignorieren", 12, "0"},
            {"CKV_Gui_Control_Tile_Header", "Titel", 3, "Übersicht"},
            {"CKV_Gui_Control_Tile_Header", "Seite User", 41, ""}};
        for (const auto& row : rows) {
            QCOMPARE(kv_param_index(row.cls, row.label), row.index);
            QCOMPARE(QString::fromStdString(kv_control_schema(row.cls)->params.at(row.index).def), QString::fromUtf8(row.def));
        }
        // Parameters beyond the record are fixed: read, never written.
        QCOMPARE(kv_param_index("CKV_Gui_Control_Tile_Dimmer", "Icon"), 91);
        QCOMPARE(kv_param_index("CKV_Gui_Control_Tile_Room", "Ansicht"), 91);
        KV_GUI_Control control = control_of(132);
        QCOMPARE(QString::fromStdString(kv_param_value(control, "Icon")), ":/images/Smartphone/phone_Licht.svg");
        QVERIFY(!kv_param_set(control, "Icon", "x.svg"));
        QVERIFY(control.m_list_param.empty());
    }

    // Every class's schema must be usable by label: no duplicate labels, no
    // more parameters than a record holds, and a PIN on each operating control.
    void schemas_are_consistent()
    {
        const std::vector<int>& types = kv_control_types();
        QVERIFY(std::is_sorted(types.begin(), types.end()));
        QCOMPARE(std::set<int>(types.begin(), types.end()).size(), types.size());
        std::set<std::string> classes;
        for (int type : types)
            classes.insert(kv_control_class_name(type));
        QCOMPARE(classes.size(), size_t(50));
        const std::set<std::string> without_pin = {
            "CKV_Gui_Control_Label_Text", "CKV_Gui_Control_Label_Value", "CKV_Gui_Control_Label_Var_Text",
            "CKV_Gui_Control_Image", "CKV_Gui_Control_Image_OnOff", "CKV_Gui_Control_Image_Gif",
            "CKV_Gui_Control_Image_Value", "CKV_Gui_Control_Fuellstand", "CKV_Gui_Control_Analoganzeige",
            "CKV_Gui_Control_Alarmanzeige", "CKV_Gui_Control_Progress_Hor", "CKV_Gui_Control_Progress_Ver",
            "CKV_Gui_Control_Popup_Container", "CKV_Gui_Control_App_IP_Cam", "CKV_Gui_Control_App_IP_Cam_Snapshot",
            "CKV_Gui_Control_App_Open_Weather", "CKV_Gui_Control_App_WS_Anzeige", "CKV_Gui_Control_Tile_Value",
            "CKV_Gui_Control_Tile_Scene", "CKV_Gui_Control_Tile_Dimmer", "CKV_Gui_Control_Tile_Dimmer_Plus_Minus",
            "CKV_Gui_Control_Tile_Jalousie", "CKV_Gui_Control_Tile_Temperature", "CKV_Gui_Control_Tile_Clock"};
        for (const std::string& cls : classes) {
            const KV_Control_Schema* schema = kv_control_schema(cls.c_str());
            QVERIFY2(schema, cls.c_str());
            QVERIFY2(schema->params.size() <= size_t(KV_PARAM_STORED_MAX), cls.c_str());
            QVERIFY2(schema->addr_slots.size() <= KV_GUI_Control::MAX_ADDR, cls.c_str());
            std::set<std::string> labels;
            for (const KV_Control_Param& p : schema->params) {
                if (p.label.empty())
                    continue;
                QVERIFY2(labels.insert(p.label).second, (cls + ": " + p.label).c_str());
                if (!p.choices.empty()) {
                    const int count = int(std::count(p.choices.begin(), p.choices.end(), ';')) + 1;
                    QVERIFY2(std::stoi(p.def) >= 0 && std::stoi(p.def) < count, (cls + ": " + p.label).c_str());
                }
            }
            for (const KV_Control_Fixed_Param& f : schema->fixed) {
                QVERIFY(f.index >= KV_PARAM_STORED_MAX);
                QVERIFY2(labels.insert(f.param.label).second, (cls + ": " + f.param.label).c_str());
            }
            const bool has_pin = kv_param_index(cls.c_str(), "Pin (nur 4 stellig)") >= 0;
            QVERIFY2(has_pin != bool(without_pin.count(cls)), cls.c_str());
        }
        QVERIFY(kv_control_schema("CKV_Gui_Control_Nothing") == nullptr);
        QVERIFY(kv_control_schema(nullptr) == nullptr);
    }

    void defaults_filled()
    {
        // A record without parameters gets all defaults; gaps stay empty.
        KV_GUI_Control dimmer = control_of(1500);
        QCOMPARE(kv_control_fill_defaults(dimmer), 22);
        QCOMPARE(QString::fromStdString(dimmer.m_list_param[0]), "Dimmer absolut");
        QCOMPARE(QString::fromStdString(dimmer.m_list_param[1]), "");
        QCOMPARE(QString::fromStdString(dimmer.m_list_param[15]), "0.5");
        QCOMPARE(kv_control_fill_defaults(dimmer), 0);

        // Present values stay, only the missing tail is added.
        KV_GUI_Control universal = control_of(1523, {"3", "5"});
        QCOMPARE(kv_control_fill_defaults(universal), 6);
        QCOMPARE(QString::fromStdString(universal.m_list_param[1]), "5");
        QCOMPARE(QString::fromStdString(universal.m_list_param[3]), "Ein");

        // A record with more parameters than its class knows keeps them all.
        KV_GUI_Control longer = control_of(104, {"1", "2", "3", "4"});
        QCOMPARE(kv_control_fill_defaults(longer), 0);
        QCOMPARE(longer.m_list_param.size(), size_t(4));
    }

    // Parameters and address slots found by their labels, values read and
    // written by them.
    void values_by_label()
    {
        QCOMPARE(kv_param_index("CKV_Gui_Control_Button_Universal", "Nicht da"), -1);
        QCOMPARE(kv_param_index("CKV_Gui_Control_Nothing", "Text"), -1);
        QCOMPARE(kv_addr_slot_index("CKV_Gui_Control_App_Heizkreis", "Info Status Bitcodiert"), 21);
        QCOMPARE(kv_addr_slot_index("CKV_Gui_Control_App_RGBW_SEQU", "Violett"), -1);
        // The button row: a heading per button, then its value and its name.
        QCOMPARE(kv_param_index("CKV_Gui_Control_Button_Gruppe", "Button 2"), 4);
        QCOMPARE(kv_param_index("CKV_Gui_Control_Button_Gruppe", "Name: 2"), 6);

        KV_GUI_Control tile = control_of(134);
        QCOMPARE(QString::fromStdString(kv_param_value(tile, "Text")), "Temperatur");
        QVERIFY(kv_param_set(tile, "Soll Offset", "2"));
        QCOMPARE(tile.m_list_param.size(), size_t(29));
        QCOMPARE(QString::fromStdString(tile.m_list_param[11]), "2");
        QCOMPARE(QString::fromStdString(kv_param_value(tile, "Sollwert Anzeigen")), "1");
        QVERIFY(!kv_param_set(tile, "Gibt es nicht", "1"));

        // The PIN of an operating control is found by its label.
        KV_GUI_Control flip = control_of(100);
        QVERIFY(kv_param_set(flip, "Pin (nur 4 stellig)", "1234"));
        QCOMPARE(QString::fromStdString(flip.m_list_param[3]), "1234");

        KV_GUI_Control unknown = control_of(12);
        QVERIFY(!kv_param_set(unknown, "Text", "x"));
        QCOMPARE(QString::fromStdString(kv_param_value(unknown, "Text")), "");
    }
};

QTEST_GUILESS_MAIN(TestKvControlCatalog)
#include "tst_kv_control_catalog.moc"
