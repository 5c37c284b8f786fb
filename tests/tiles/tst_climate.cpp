// The room controls: the temperature tile takes mode and scaled set points
// per slot, its overlay steps the current mode's set point within that
// mode's limits and writes it scaled back, chooses the mode, and while linked
// to a logic block and connected sends the block's settings when it opens
// and after each change of manual operation or presets. The classic room
// controller's popup does the same steps within one pair of limits.

#include <QComboBox>
#include <QLineEdit>
#include <QToolButton>
#include <QtTest>

#include "../app/kv_test_settings_home.h"
#include "kv_tile_test.h"
#include "kv_climate.h"
#include "kv_gui_factory.h"
#include "kv_gui_raumr.h"
#include "kv_gui_tile_temperature.h"
#include "kv_gui_time_program.h"
#include "kv_gui_tiles.h"

namespace {
// Slot i on 3/0/(i+1).
KV_Group_Address slot_address(int slot)
{
    return {3, 0, uint32_t(slot + 1)};
}

using Tile = CKV_Gui_Control_Tile_Temperature;
using Panel = CKV_Gui_Control_Tile_Temperature_Overlay;

constexpr int TEMPERATURE_TYPE = 134;
constexpr uint32_t BIT = 1;
constexpr uint32_t FLOAT = 9; // 4-byte float
constexpr uint32_t BYTE = 14;

uint32_t slot_type(int slot)
{
    if (slot == KV_CLIMATE_MODE)
        return BYTE;
    return slot >= KV_CLIMATE_RELEASE_COOLING ? BIT : FLOAT;
}

std::vector<KV_Group_Address> climate_addresses(KV_Fake_Host& host, const std::vector<int>& missing = {})
{
    return slot_addresses(host, 3, 0, KV_CLIMATE_SLOTS, slot_type, missing);
}

Tile* temperature(KV_Test_Page& p, const KV_Params& params = {}, const std::vector<int>& missing = {})
{
    p.add(TEMPERATURE_TYPE, "{temp}", climate_addresses(p.host, missing), params, 240, 270);
    p.build();
    return p.control<Tile>("{temp}");
}

Panel* open_panel(Tile* tile)
{
    tile->open_overlay();
    return static_cast<Panel*>(tile->overlay());
}

// A room-controller block with presets, as the project brings it.
void add_block(KV_Fake_Host& host, const std::string& guid)
{
    auto block = std::make_unique<KV_LOGIC_Control>();
    block->m_typ = 310;
    block->m_str_guid = guid;
    block->m_str_name = "Raumregler Bad";
    block->m_list_param = {{"Komfort", "21.5"}, {"Standby", "19.5"}, {"Nacht", "18"}, {"Frost", "7"}};
    host.blocks.push_back(std::move(block));
}

// The block's parameters as the message text carries them.
KV_LOGIC_Control block_of(const std::string& text)
{
    return KV_LOGIC_Control(text);
}

std::string param_of(const KV_LOGIC_Control& block, const std::string& name)
{
    for (const auto& param : block.m_list_param)
        if (param.m_str_name == name)
            return param.m_str_value;
    return "(none)";
}
} // namespace

class tst_climate : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { kv_register_tile_controls(); }

    void received_values_per_slot_data()
    {
        QTest::addColumn<QString>("offset");
        QTest::addColumn<QString>("factor");
        QTest::addColumn<float>("received");
        QTest::addColumn<double>("shown");
        QTest::newRow("plain") << "0" << "1" << 21.5f << 21.5;
        QTest::newRow("factor 0 leaves division out") << "0" << "0" << 21.5f << 21.5;
        QTest::newRow("offset then factor") << "1" << "2" << 45.0f << 22.0;
        QTest::newRow("offset alone") << "-2" << "0" << 19.5f << 21.5;
    }

    void received_values_per_slot()
    {
        QFETCH(QString, offset);
        QFETCH(QString, factor);
        QFETCH(float, received);
        QFETCH(double, shown);
        KV_Test_Page p;
        Tile* tile = temperature(p, {{"Soll Offset", offset.toStdString()}, {"Soll Faktor", factor.toStdString()}});
        QVERIFY(tile);
        // Each mode's set point lands in its own place; the last slot's value
        // differs so that a mix-up shows.
        for (int mode = KV_MODE_COMFORT; mode <= KV_MODE_FROST; ++mode)
            send_float(p, slot_address(mode), mode == KV_MODE_FROST ? received + 2.0f : received);
        QCOMPARE(tile->values().set_point(KV_MODE_COMFORT), shown);
        QCOMPARE(tile->values().set_point(KV_MODE_NIGHT), shown);
        QVERIFY(tile->values().set_point(KV_MODE_FROST) != shown);

        // Feedback and room values are kept unscaled.
        send_float(p, slot_address(KV_CLIMATE_SET_RM), 23.0f);
        send_float(p, slot_address(KV_CLIMATE_ROOM), 20.25f);
        QCOMPARE(tile->values().current_set_point(), 23.0);
        QCOMPARE(tile->values().room_temperature(), 20.25);
    }

    void mode_heating_and_window_are_shown()
    {
        KV_Test_Page p;
        Tile* tile = temperature(p, {}, {KV_CLIMATE_SET_RM});
        send_float(p, slot_address(KV_CLIMATE_SET_NIGHT), 17.5f);
        p.send(slot_address(KV_CLIMATE_MODE), 3);
        QCOMPARE(tile->values().mode(), 3);
        QCOMPARE(tile->state_text(), QStringLiteral("Automatik (Nachtmodus)"));
        QCOMPARE(tile->mode_icon_name(), QStringLiteral(":/images/svg/Nacht.svg"));
        QCOMPARE(tile->values().current_set_point(), 17.5); // no feedback: the mode's set point

        p.send(slot_address(KV_CLIMATE_MODE), 7);
        QCOMPARE(tile->state_text(), QStringLiteral("Automatik"));
        QCOMPARE(tile->mode_icon_name(), QStringLiteral(":/images/Smartphone/phone_Default.svg"));

        QVERIFY(tile->is_off());
        send_float(p, slot_address(KV_CLIMATE_HEATING), 40.0f);
        QVERIFY(tile->values().heating() && !tile->values().cooling());
        QVERIFY(!tile->is_off());
        send_float(p, slot_address(KV_CLIMATE_HEATING), 0.0f);
        send_float(p, slot_address(KV_CLIMATE_COOLING), 30.0f);
        QVERIFY(tile->values().cooling() && !tile->values().heating());
        QVERIFY(!tile->values().window_open());
        p.send(slot_address(KV_CLIMATE_WINDOW), 1);
        QVERIFY(tile->values().window_open());
        tile->grab(); // paints with all indicators
    }

    void set_point_steps_within_the_mode_limits_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("offset");
        QTest::addColumn<QString>("factor");
        QTest::addColumn<float>("received");
        QTest::addColumn<double>("upper_written");  // after running into the maximum
        QTest::addColumn<double>("lower_written");  // after running into the minimum
        // Standby 17..25, step 0.5, shown 24.0: up twice reaches 25 and stays.
        QTest::newRow("standby") << 2 << "0" << "1" << 24.0f << 25.0 << 17.0;
        // Frost 5..20, scaled by 2 with offset 1: shown (39-1)/2 = 19.
        QTest::newRow("frost scaled") << 4 << "1" << "2" << 39.0f << (20.0 + 1) * 2 << (5.0 + 1) * 2;
        // An unknown mode steps the comfort set point within 20..26.
        QTest::newRow("unknown mode uses comfort") << 9 << "0" << "0" << 25.5f << 26.0 << 20.0;
    }

    void set_point_steps_within_the_mode_limits()
    {
        QFETCH(int, mode);
        QFETCH(QString, offset);
        QFETCH(QString, factor);
        QFETCH(float, received);
        QFETCH(double, upper_written);
        QFETCH(double, lower_written);
        KV_Test_Page p;
        Tile* tile = temperature(p, {{"Schrittweite", "0.5"},
                                     {"Soll Offset", offset.toStdString()},
                                     {"Soll Faktor", factor.toStdString()}});
        p.send(slot_address(KV_CLIMATE_MODE), uint8_t(mode));
        const int slot = kv_mode_known(mode) ? mode : KV_CLIMATE_SET_COMFORT;
        send_float(p, slot_address(slot), received);
        Panel* panel = open_panel(tile);
        for (int i = 0; i < 4; ++i)
            click_child(panel, QStringLiteral("kv_temp_plus"));
        auto sent = slot_writes(p.host);
        QCOMPARE(sent.size(), size_t(4));
        for (const auto& [written_slot, value] : sent)
            QCOMPARE(written_slot, slot);
        QCOMPARE(sent.back().second, upper_written);
        QCOMPARE(tile->values().set_point(mode), tile->maximum(mode));

        for (int i = 0; i < 40; ++i)
            click_child(panel, QStringLiteral("kv_temp_minus"));
        QCOMPARE(slot_writes(p.host).back().second, lower_written);
        QCOMPARE(child_text(panel, QStringLiteral("kv_temp_set_point")),
                 QString::number(tile->minimum(mode), 'f', 1) + QStringLiteral(" °C"));
    }

    void small_steps_do_not_drift()
    {
        KV_Test_Page p;
        Tile* tile = temperature(p); // step 0.1
        p.send(slot_address(KV_CLIMATE_MODE), 1);
        send_float(p, slot_address(KV_CLIMATE_SET_COMFORT), 21.0f);
        for (int i = 0; i < 7; ++i)
            tile->step_set_point(1);
        QCOMPARE(slot_writes(p.host).back().second, 21.7);
    }

    void mode_choice_writes_slot_zero_only()
    {
        KV_Test_Page p;
        Tile* tile = temperature(p);
        p.send(slot_address(KV_CLIMATE_MODE), 1);
        Panel* panel = open_panel(tile);
        QVERIFY(panel->findChild<QPushButton*>(QStringLiteral("kv_temp_mode_1"))->isChecked());
        click_child(panel, QStringLiteral("kv_temp_mode_4"));
        click_child(panel, QStringLiteral("kv_temp_mode_2"));
        using W = std::vector<std::pair<int, double>>;
        QCOMPARE(slot_writes(p.host), (W{{0, 4.0}, {0, 2.0}}));
        QCOMPARE(tile->state_text(), QStringLiteral("Automatik (Abwesend)"));
        QVERIFY(panel->findChild<QPushButton*>(QStringLiteral("kv_temp_mode_2"))->isChecked());
        QVERIFY(!panel->findChild<QPushButton*>(QStringLiteral("kv_temp_mode_4"))->isChecked());
        // The set point now steps the standby address.
        click_child(panel, QStringLiteral("kv_temp_plus"));
        QCOMPARE(slot_writes(p.host).back().first, int(KV_CLIMATE_SET_STANDBY));

        // Without the mode address nothing is sent.
        KV_Test_Page q;
        Tile* lonely = temperature(q, {}, {KV_CLIMATE_MODE});
        lonely->choose_mode(3);
        QVERIFY(q.host.sent.empty());
    }

    void settings_messages_only_while_linked_and_connected()
    {
        KV_Test_Page p;
        add_block(p.host, "{block-bad}");
        Tile* tile = temperature(p, {{"ID", "{block-bad}"}, {"Schrittweite", "0.5"}});
        QVERIFY(tile->settings());
        Panel* panel = open_panel(tile);
        QCOMPARE(p.host.texts_sent.size(), size_t(1));
        QCOMPARE(p.host.texts_sent[0].first, 600u);
        const KV_LOGIC_Control shown = block_of(p.host.texts_sent[0].second);
        QCOMPARE(shown.m_str_guid, std::string("{block-bad}"));
        QCOMPARE(param_of(shown, "Komfort"), std::string("21.5"));
        QCOMPARE(child_text(panel, QStringLiteral("kv_temp_preset_1")), QStringLiteral("21.5 °C"));

        click_child(panel, QStringLiteral("kv_temp_manual"));
        QCOMPARE(tile->state_text(), QStringLiteral("Manuell"));
        click_child(panel, QStringLiteral("kv_temp_manual")); // unchanged: nothing sent
        click_child(panel, QStringLiteral("kv_temp_preset_1_plus"));
        click_child(panel, QStringLiteral("kv_temp_preset_4_minus"));
        QCOMPARE(p.host.texts_sent.size(), size_t(4));
        for (size_t i = 1; i < 4; ++i)
            QCOMPARE(p.host.texts_sent[i].first, 602u);
        const KV_LOGIC_Control changed = block_of(p.host.texts_sent[3].second);
        QCOMPARE(param_of(changed, "Manuell"), std::string("1"));
        QCOMPARE(param_of(changed, "Komfort"), std::string("22"));
        QCOMPARE(param_of(changed, "Frost"), std::string("6.5"));
        QCOMPARE(child_text(panel, QStringLiteral("kv_temp_preset_4")), QStringLiteral("6.5 °C"));
        QVERIFY(p.host.sent.empty()); // settings travel as messages, not as values

        // Disconnected: nothing, and the overlay still works.
        p.host.connected = false;
        p.host.messages_sent.clear();
        click_child(panel, QStringLiteral("kv_temp_automatic"));
        QCOMPARE(tile->state_text(), QStringLiteral("Automatik"));
        tile->open_overlay();
        QVERIFY(p.host.messages_sent.empty());
    }

    // The room's heating program: listed in the overlay, a time added and
    // set there goes out in the block (602) and stays in the project's block;
    // a preset stored before brings the program back the same way.
    void overlay_shows_and_edits_the_rooms_switching_times()
    {
        using State = CKV_Gui_Control_Tile_Overlay_Base::State;
        KV_Test_Settings_Home home;
        QVERIFY(home.isValid());
        KV_Test_Page p;
        add_block(p.host, "{block-bad}");
        p.host.blocks[0]->m_list_param.push_back({"Zeitprogramm", "1#0/1111100/6/0/1/0/0/2016/0/Aufstehen"});
        Tile* tile = temperature(p, {{"ID", "{block-bad}"}});
        Panel* panel = open_panel(tile);
        auto* summary = panel->findChild<QPushButton*>(QStringLiteral("kv_temp_times"));
        QCOMPARE(summary->text(), QStringLiteral("06:00 Mo-Fr Anwesend"));
        QTRY_COMPARE(panel->state(), State::Open);
        summary->click();
        CKV_Gui_Control_App_Overlay_Timer* times = panel->times();
        QVERIFY(times && times->isVisible());
        QCOMPARE(times->row_texts(), QStringList{QStringLiteral("Aufstehen\n06:00   Mo-Fr   Anwesend")});

        QTRY_COMPARE(times->state(), State::Open);
        times->preset_list()->name_field()->setText(QStringLiteral("Normal"));
        times->preset_list()->store_button()->click();
        times->add_button()->click();
        CKV_Gui_Overlay_Shift_Time_Edit* editor = times->editor();
        QTRY_COMPARE(editor->state(), State::Open);
        auto* mode = editor->findChild<QComboBox*>(QStringLiteral("kv_value"));
        QCOMPARE(mode->count(), 4);
        mode->setCurrentIndex(2); // "Nachtmodus"
        editor->findChild<QWidget*>(QStringLiteral("kv_days"))->findChildren<QToolButton*>().at(0)->click();
        editor->done_button()->click();

        const std::string program = "2#0/1111100/6/0/1/0/0/2016/0/Aufstehen#0/1000000/0/0/3/0/0/2016/0/Schaltzeit 2";
        QCOMPARE(p.host.texts_sent.back().first, 602u);
        QCOMPARE(QString::fromStdString(param_of(block_of(p.host.texts_sent.back().second), "Zeitprogramm")),
                 QString::fromStdString(program));
        QCOMPARE(*p.host.blocks[0]->param("Zeitprogramm"), program);
        QCOMPARE(times->row_texts().at(1), QStringLiteral("Schaltzeit 2\n00:00   Mo   Nachtmodus"));
        times->set_visible_animated(false);
        QTRY_COMPARE(summary->text(), QStringLiteral("06:00 Mo-Fr Anwesend\n00:00 Mo Nachtmodus"));

        summary->click();
        QTRY_COMPARE(times->state(), State::Open);
        times->preset_list()->rows().at(0)->click();
        QCOMPARE(p.host.texts_sent.back().first, 602u);
        QCOMPARE(*p.host.blocks[0]->param("Zeitprogramm"), std::string("1#0/1111100/6/0/1/0/0/2016/0/Aufstehen"));
        QCOMPARE(times->rows().size(), 1);
    }

    void unlinked_tiles_send_no_settings()
    {
        for (const std::string id : {"", "{no-such-block}"}) {
            KV_Test_Page p;
            add_block(p.host, "{block-bad}");
            Tile* tile = temperature(p, {{"ID", id}});
            QVERIFY(!tile->settings());
            Panel* panel = open_panel(tile);
            QVERIFY(!panel->findChild<QPushButton*>(QStringLiteral("kv_temp_manual")));
            tile->set_manual(true);
            tile->step_preset(1, 1);
            QVERIFY(p.host.messages_sent.empty());
        }
    }

    void classic_controller_popup_writes_data()
    {
        QTest::addColumn<int>("type");
        QTest::newRow("room controller") << 117;
        QTest::newRow("second room controller type") << 1522;
    }

    void classic_controller_popup_writes()
    {
        QFETCH(int, type);
        KV_Test_Page p;
        p.add(type, "{raumr}", climate_addresses(p.host),
              {{"Minimum", "16"}, {"Maximum", "22.5"}, {"Soll Faktor", "10"}}, 320, 80);
        p.build();
        auto* control = p.control<CKV_Gui_Control_App_Raumr>("{raumr}");
        QVERIFY(control);
        p.send(slot_address(KV_CLIMATE_MODE), 2);
        send_float(p, slot_address(KV_CLIMATE_SET_STANDBY), 215.0f); // tenths of a degree
        send_float(p, slot_address(KV_CLIMATE_SET_RM), 21.0f);

        KV_Test_Page::click(control);
        auto* popup = control->popup();
        QVERIFY(popup && popup->isVisible());
        auto button = [popup](const char* name) { return popup->findChild<QPushButton*>(QString::fromLatin1(name)); };
        auto text = [popup](const char* name) { return popup->findChild<QLabel*>(QString::fromLatin1(name))->text(); };
        QCOMPARE(text("kv_raumr_set_point"), QStringLiteral("21.5 °C"));
        QCOMPARE(text("kv_raumr_feedback"), QStringLiteral("Soll: 21.0 °C"));
        QVERIFY(button("kv_raumr_mode_2")->isChecked());

        for (int i = 0; i < 3; ++i)
            button("kv_raumr_plus")->click(); // step 0.5 up to the maximum 22.5
        button("kv_raumr_minus")->click();
        button("kv_raumr_mode_3")->click();
        using W = std::vector<std::pair<int, double>>;
        QCOMPARE(slot_writes(p.host), (W{{2, 220.0}, {2, 225.0}, {2, 225.0}, {2, 220.0}, {0, 3.0}}));
        QVERIFY(button("kv_raumr_mode_3")->isChecked() && !button("kv_raumr_mode_2")->isChecked());

        QCOMPARE(popup->heating_image(), QStringLiteral(":/images/icons/btr_heizen_aus.png"));
        send_float(p, slot_address(KV_CLIMATE_HEATING), 60.0f);
        QCOMPARE(popup->heating_image(), QStringLiteral(":/images/icons/btr_heizen_ein.png"));
        QCOMPARE(popup->cooling_image(), QStringLiteral(":/images/icons/btr_kuehlen_aus.png"));

        // A tap beside the panel closes the popup; in the editor a tap opens none.
        KV_Test_Page::click(popup, QPoint(2, 2));
        QVERIFY(!popup->isVisible());
        p.host.running = false;
        KV_Test_Page::click(control);
        QVERIFY(!popup->isVisible());
    }
};

QTEST_MAIN(tst_climate)
#include "tst_climate.moc"
