// The tiles of a tile page: on/off switching with its four functions, PIN
// and feedback; the value and header texts; scene starts and when they are
// held back; room and header links with user-dependent targets; and the
// factory building each tile type.

#include <QtTest>
#include <cstring>
#include <set>

#include "../visu/kv_fake_host.h"
#include "kv_gui_factory.h"
#include <QLineEdit>

#include "kv_gui_overlay_pin.h"
#include "kv_gui_switch.h"
#include "kv_gui_tile_onoff.h"
#include "kv_gui_tile_room.h"
#include "kv_gui_tile_value.h"
#include "kv_gui_tiles.h"
#include "kv_network_msg.h"

namespace {
// An on/off tile on byte addresses the project knows.
CKV_Gui_Control_Tile_OnOff* onoff(KV_Test_Page& p, int function, const std::vector<KV_Group_Address>& addresses,
                                  const KV_Params& extra = {}, bool known = true)
{
    if (known)
        for (const KV_Group_Address& address : addresses)
            p.host.add_address(address, 14);
    KV_Params params = {{"Funktion", std::to_string(function)}, {"Wert Ein", "5"}, {"Wert Aus", "2"}};
    params.insert(params.end(), extra.begin(), extra.end());
    p.add(135, "{onoff}", addresses, params, 160, 180);
    p.build();
    return p.control<CKV_Gui_Control_Tile_OnOff>("{onoff}");
}
} // namespace

class tst_tiles : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { kv_register_tile_controls(); }

    void factory_builds_every_catalogue_class()
    {
        // Every type the catalogue gives a class is built as that class, and
        // keeps its type; with the tiles registered only the clock and scene
        // controls (another library) stand in as text.
        KV_Test_Page p;
        for (int type : kv_control_types())
            p.add(type, "{t" + std::to_string(type) + "}");
        p.build();
        std::set<int> stand_ins;
        for (int type : kv_control_types()) {
            CKV_Gui_Control* control = p.canvas()->find_control("{t" + std::to_string(type) + "}");
            QCOMPARE(control->type(), type);
            if (std::strcmp(control->metaObject()->className(), kv_control_class_name(type)) != 0)
                stand_ins.insert(type);
        }
        QCOMPARE(stand_ins, (std::set<int>{111, 139, 1120, 1126, 1505, 1509}));
    }

    // The written values on press and release, per function, with "Wert Ein" 5 and "Wert Aus" 2.
    void onoff_functions()
    {
        using V = std::vector<double>;
        const struct {
            int function;
            unsigned char current;
            V after_press, after_release;
        } cases[] = {
            {KV_SWITCH_TOGGLE, 0, {}, {1.0}},         {KV_SWITCH_TOGGLE, 5, {}, {0.0}},
            {KV_SWITCH_ON_OFF_VALUE, 2, {}, {5.0}},   {KV_SWITCH_ON_OFF_VALUE, 7, {}, {2.0}},
            {KV_SWITCH_ONLY_ON, 5, {}, {5.0}},        {KV_SWITCH_PUSH, 0, {5.0}, {5.0, 2.0}},
        };
        for (const auto& c : cases) {
            KV_Test_Page p;
            auto* tile = onoff(p, c.function, {{1, 0, 1}, {1, 0, 2}});
            p.send({1, 0, 2}, c.current); // the feedback sets the state
            QCOMPARE(tile->current_value(), double(c.current));
            QTest::mousePress(tile, Qt::LeftButton, {}, QPoint(20, 20));
            QCOMPARE(p.host.sent_values(), c.after_press);
            QTest::mouseRelease(tile, Qt::LeftButton, {}, QPoint(20, 20));
            QCOMPARE(p.host.sent_values(), c.after_release);
            QVERIFY(p.host.sent.back().address == KV_Group_Address(1, 0, 1));
        }
    }

    void onoff_state_follows_feedback_unless_told_to_ignore_it()
    {
        {
            KV_Test_Page p;
            auto* tile = onoff(p, KV_SWITCH_ON_OFF_VALUE, {{1, 0, 1}, {1, 0, 2}});
            p.send({1, 0, 1}, 5); // the switching address is not what it shows
            QVERIFY(tile->is_off());
            p.send({1, 0, 2}, 5);
            QVERIFY(!tile->is_off());
            KV_Test_Page::click(tile); // sends off; the state waits for the feedback
            QCOMPARE(p.host.sent_values(), std::vector<double>{2.0});
            QVERIFY(!tile->is_off());
        }
        {
            KV_Test_Page p;
            auto* tile = onoff(p, KV_SWITCH_ON_OFF_VALUE, {{1, 0, 1}}, {{"Wertänderung\nignorieren", "1"}});
            p.send({1, 0, 1}, 5);
            QVERIFY(tile->is_off());
            KV_Test_Page::click(tile); // 0 is not the off value: off is sent
            QCOMPARE(tile->current_value(), 2.0); // what it wrote
            KV_Test_Page::click(tile);
            QCOMPARE(p.host.sent_values(), (std::vector<double>{2.0, 5.0}));
            QVERIFY(!tile->is_off());
        }
        {
            KV_Test_Page p; // no such address in the project: nothing is written
            auto* tile = onoff(p, KV_SWITCH_TOGGLE, {{9, 9, 9}}, {}, false);
            KV_Test_Page::click(tile);
            QVERIFY(p.host.sent.empty());
        }
    }

    void onoff_with_pin_switches_only_after_the_pin()
    {
        KV_Test_Page p;
        auto* tile = onoff(p, KV_SWITCH_TOGGLE, {{1, 0, 1}}, {{"Pin (nur 4 stellig)", "1234"}});
        KV_Test_Page::click(tile);
        QVERIFY(p.host.sent.empty());
        auto* pin = p.area->findChild<CKV_Gui_Overlay_Pin*>(QStringLiteral("kv_gui_overlay_pin"));
        QVERIFY(pin);
        QTest::keyClicks(pin->input(), QStringLiteral("1243"));
        QVERIFY(p.host.sent.empty());
        QTest::keyClicks(pin->input(), QStringLiteral("1234"));
        QCOMPARE(p.host.sent_values(), std::vector<double>{1.0});
    }

    void value_texts_of_value_and_header_tiles()
    {
        KV_Test_Page p;
        p.host.add_address({5, 0, 1}, 14);
        p.host.add_address({5, 0, 2}, 5); // 2-byte float
        p.host.add_address({5, 0, 3}, 5);
        p.add(130, "{percent}", {{5, 0, 1}});
        p.add(130, "{temp}", {{5, 0, 2}}, {{"Format", "%.1f"}, {"Einheit", "°C"}, {"Offset", "0.5"}});
        // Header: value 1 on phones only, value 2 on tablets only.
        p.add(131, "{head}", {{5, 0, 2}, {}, {}, {5, 0, 3}},
              {{"1: Text", "Außen"}, {"1: Format", "%.1f"}, {"1: Einheit", "°C"}, {"2: Text", "Innen"},
               {"2: Format", "%.0f"}, {"2: Faktor", "2"}},
              480, 70);
        p.build();
        p.send({5, 0, 1}, 45);
        QCOMPARE(p.control<CKV_Gui_Control_Tile_Value>("{percent}")->value_text(), QStringLiteral("45%"));
        p.host.dispatch().on_telegram(make_telegram({5, 0, 2}, KV_TGM_WRITE, {0x0C, 0x1A})); // 21.0
        p.host.dispatch().on_telegram(make_telegram({5, 0, 3}, KV_TGM_WRITE, {0x07, 0xD0})); // 20.0
        QCOMPARE(p.control<CKV_Gui_Control_Tile_Value>("{temp}")->value_text(), QStringLiteral("21.5 °C"));

        auto* header = p.control<CKV_Gui_Control_Tile_Header>("{head}");
        QCOMPARE(header->value_texts(), QStringList{QStringLiteral("Innen 40")});
        kv_param_set(header->record(), "Ansicht", "1");
        header->apply_record();
        QCOMPARE(header->value_texts(), QStringList{QStringLiteral("Außen 21.0 °C")});
    }

    void scene_start_and_when_it_is_held_back()
    {
        KV_Test_Page p;
        p.host.add_address({6, 0, 8}, 1);
        p.add(138, "{abend}", {{6, 0, 8}}, {{"GUID", "{scene-abend}"}}, 160, 180);
        p.build();
        auto* tile = p.control<CKV_Gui_Control_Tile_Scene>("{abend}");
        KV_Test_Page::click(tile);
        using Texts = std::vector<std::pair<uint32_t, std::string>>;
        QCOMPARE(p.host.texts_sent, (Texts{{kv_msg::SCENE_TEXT, "{scene-abend}"}}));

        // A swipe over the tile is no start.
        QTest::mousePress(tile, Qt::LeftButton, {}, QPoint(20, 20));
        QTest::mouseRelease(tile, Qt::LeftButton, {}, QPoint(24, 22));
        QCOMPARE(p.host.texts_sent.size(), size_t(1));
        QTest::mousePress(tile, Qt::LeftButton, {}, QPoint(20, 20));
        QTest::mouseRelease(tile, Qt::LeftButton, {}, QPoint(23, 22)); // 5 px is still a tap
        QCOMPARE(p.host.texts_sent.size(), size_t(2));

        // Already active by its feedback: nothing to start.
        p.send({6, 0, 8}, 1);
        QVERIFY(tile->is_active());
        KV_Test_Page::click(tile);
        QCOMPARE(p.host.texts_sent.size(), size_t(2));
    }

    void room_and_header_links()
    {
        KV_Test_Page p;
        p.host.user_name = "anna";
        p.add(137, "{room}", {}, {{"Seite", "{wohnen}"}}, 160, 180);
        p.add(137, "{own}", {}, {{"Seite", "{wohnen}"}, {"Seite User", "ben={b};anna={a}"}, {"Ziel Benutzerabhängig", "1"}},
              160, 180);
        p.add(137, "{other}", {}, {{"Seite", "{wohnen}"}, {"Seite User", "ben={b}"}, {"Ziel Benutzerabhängig", "1"}},
              160, 180);
        p.add(131, "{head}", {}, {{"Zurück anzeigen", "1"}, {"Menü anzeigen", "1"}, {"Menü Verknüpfung", "{menu}"},
                                  {"Seite", "{profil}"}},
              480, 70);
        p.build();
        for (const char* guid : {"{room}", "{own}", "{other}"})
            KV_Test_Page::click(p.canvas()->find_control(guid));
        QCOMPARE(p.host.pages_shown, (std::vector<std::string>{"{wohnen}", "{a}", "{wohnen}"}));

        auto* header = p.control<CKV_Gui_Control_Tile_Header>("{head}");
        KV_Test_Page::click(header, header->back_box().center());
        QCOMPARE(p.host.pages_back, 1);
        KV_Test_Page::click(header, header->menu_box().center());
        KV_Test_Page::click(header, QPoint(240, 35));
        QCOMPARE(p.host.pages_shown.back(), std::string("{profil}"));
        QCOMPARE(p.host.pages_shown.at(3), std::string("{menu}"));
    }
};

QTEST_MAIN(tst_tiles)
#include "tst_tiles.moc"
