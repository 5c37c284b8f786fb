// The room controls: the temperature tile takes mode and scaled set points
// per slot, its overlay steps the current mode's set point within that
// mode's limits and writes it scaled back, chooses the mode, and while linked
// to a logic block and connected sends the block's settings when it opens
// and after each change of manual operation or presets. The classic room
// controller's popup does the same steps within one pair of limits. The
// heating circuit shows flow, outside and room temperature, mode and pump;
// its popup steps comfort and, when allowed, frost set
// point, writes the mode, switches a linked block between manual and
// automatic, and sends the curve and parallel-shift steps.

#include <QComboBox>
#include <QLineEdit>
#include <QToolButton>
#include <QtTest>

#include "../app/kv_test_settings_home.h"
#include "kv_tile_test.h"
#include "kv_climate.h"
#include "kv_gui_heizkreis.h"
#include "kv_gui_raumr.h"
#include "kv_gui_tile_temperature.h"
#include "kv_gui_time_program.h"
#include "kv_gui_tiles.h"

namespace {
using Tile = CKV_Gui_Control_Tile_Temperature;
using Panel = CKV_Gui_Control_Tile_Temperature_Overlay;
using Heizkreis = CKV_Gui_Control_App_Heizkreis;

constexpr int TEMPERATURE_TYPE = 134;
constexpr int HEIZKREIS_TYPE = 1123;
constexpr uint32_t BIT = 1;
constexpr uint32_t FLOAT = 9; // 4-byte float
constexpr uint32_t BYTE = 14;

// Every control's slot i lies on 3/0/(i+1).
KV_Group_Address slot_address(int slot)
{
    return {3, 0, uint32_t(slot + 1)};
}

std::vector<KV_Group_Address> climate_addresses(KV_Fake_Host& host, const std::vector<int>& missing = {})
{
    return slot_addresses(host, 3, 0, KV_CLIMATE_SLOTS, [](int slot) {
        return slot == KV_CLIMATE_MODE ? BYTE : slot >= KV_CLIMATE_RELEASE_COOLING ? BIT : FLOAT;
    }, missing);
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

// Mode and steps bytes, pump and releases bits, floats else.
Heizkreis* heizkreis(KV_Test_Page& p, const KV_Params& params = {}, const std::vector<int>& missing = {})
{
    const auto type_of = [](int slot) {
        if (slot == KV_CLIMATE_MODE || (slot >= KV_HEIZKREIS_HEATING_CURVE && slot <= KV_HEIZKREIS_COOLING_SHIFT))
            return BYTE;
        return (slot >= 8 && slot <= 10) || slot == KV_HEIZKREIS_PUMP ? BIT : FLOAT;
    };
    p.add(HEIZKREIS_TYPE, "{hk}", slot_addresses(p.host, 3, 0, KV_HEIZKREIS_SLOTS, type_of, missing), params, 470,
          150);
    p.build();
    return p.control<Heizkreis>("{hk}");
}

CKV_Gui_Control_App_Heizkreis_Popup* open(Heizkreis* control)
{
    KV_Test_Page::click(control);
    return control->popup();
}

QPushButton* button(QWidget* popup, const QString& name)
{
    return popup->findChild<QPushButton*>(name);
}

// A room-controller block with presets, as the project brings it.
void add_room_block(KV_Fake_Host& host)
{
    add_block(host, "{block-bad}", 310, {{"Komfort", "21.5"}, {"Standby", "19.5"}, {"Nacht", "18"}, {"Frost", "7"}});
}
} // namespace

class tst_climate : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { kv_register_tile_controls(); }

    // Set points are shown as (received - offset) / factor; a factor of 0 leaves the division out.
    void received_values_per_slot()
    {
        const std::tuple<const char*, const char*, float, double> cases[] = {
            {"0", "1", 21.5f, 21.5}, {"0", "0", 21.5f, 21.5}, {"1", "2", 45.0f, 22.0}, {"-2", "0", 19.5f, 21.5}};
        for (const auto& [offset, factor, received, shown] : cases) {
            KV_Test_Page p;
            Tile* tile = temperature(p, {{"Soll Offset", offset}, {"Soll Faktor", factor}});
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

    // Written after running into the maximum and into the minimum: standby
    // 17..25 from 24; frost 5..20 scaled by 2 with offset 1 from (39-1)/2 = 19;
    // an unknown mode steps the comfort set point within 20..26, from 25.5 -
    // 0.5 and written + 0.5, as a factor of 0 leaves the multiplication out.
    void set_point_steps_within_the_mode_limits()
    {
        const std::tuple<int, const char*, const char*, float, double, double, const char*> cases[] = {
            {2, "0", "1", 24.0f, 25.0, 17.0, "17.0 °C"}, {4, "1", "2", 39.0f, (20.0 + 1) * 2, (5.0 + 1) * 2, "5.0 °C"},
            {9, "0.5", "0", 25.5f, 26.5, 20.5, "20.0 °C"}};
        for (const auto& [mode, offset, factor, received, upper_written, lower_written, lower_text] : cases) {
            KV_Test_Page p;
            Tile* tile = temperature(p, {{"Schrittweite", "0.5"}, {"Soll Offset", offset}, {"Soll Faktor", factor}});
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

            for (int i = 0; i < 40; ++i)
                click_child(panel, QStringLiteral("kv_temp_minus"));
            QCOMPARE(slot_writes(p.host).back().second, lower_written);
            QCOMPARE(child_text(panel, QStringLiteral("kv_temp_set_point")), QString::fromUtf8(lower_text));
        }
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
        QCOMPARE(slot_writes(p.host), (Slot_Writes{{0, 4.0}, {0, 2.0}}));
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
        add_room_block(p.host);
        Tile* tile = temperature(p, {{"ID", "{block-bad}"}, {"Schrittweite", "0.5"}});
        Panel* panel = open_panel(tile);
        QCOMPARE(p.host.messages_sent, std::vector<uint32_t>{600});
        QCOMPARE(KV_LOGIC_Control(p.host.texts_sent[0].second).m_str_guid, std::string("{block-bad}"));
        QCOMPARE(block_param(p.host.texts_sent[0].second, "Komfort"), std::string("21.5"));
        QCOMPARE(child_text(panel, QStringLiteral("kv_temp_preset_1")), QStringLiteral("21.5 °C"));

        click_child(panel, QStringLiteral("kv_temp_manual"));
        QCOMPARE(tile->state_text(), QStringLiteral("Manuell"));
        click_child(panel, QStringLiteral("kv_temp_manual")); // unchanged: nothing sent
        click_child(panel, QStringLiteral("kv_temp_preset_1_plus"));
        click_child(panel, QStringLiteral("kv_temp_preset_4_minus"));
        QCOMPARE(p.host.messages_sent, (std::vector<uint32_t>{600, 602, 602, 602}));
        const std::string& changed = p.host.texts_sent[3].second;
        QCOMPARE(block_param(changed, "Manuell"), std::string("1"));
        QCOMPARE(block_param(changed, "Komfort"), std::string("22"));
        QCOMPARE(block_param(changed, "Frost"), std::string("6.5"));
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
        add_room_block(p.host);
        p.host.blocks[0]->m_list_param.push_back({"Zeitprogramm", "1#0/1111100/6/0/1/0/0/2016/0/Aufstehen"});
        Tile* tile = temperature(p, {{"ID", "{block-bad}"}});
        Panel* panel = open_panel(tile);
        auto* summary = panel->findChild<QPushButton*>(QStringLiteral("kv_temp_times"));
        QCOMPARE(summary->text(), QStringLiteral("06:00 Mo-Fr Anwesend"));
        QTRY_COMPARE(panel->state(), State::Open);
        summary->click();
        CKV_Gui_Control_App_Overlay_Timer* times = panel->times();
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
        QCOMPARE(block_param(p.host.texts_sent.back().second, "Zeitprogramm"), program);
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
            add_room_block(p.host);
            Tile* tile = temperature(p, {{"ID", id}});
            QVERIFY(!tile->settings());
            Panel* panel = open_panel(tile);
            QVERIFY(!panel->findChild<QPushButton*>(QStringLiteral("kv_temp_manual")));
            tile->set_manual(true);
            tile->step_preset(1, 1);
            QVERIFY(p.host.messages_sent.empty());
        }
    }

    // Both room controller types.
    void classic_controller_popup_writes()
    {
        for (int type : {117, 1522}) {
            KV_Test_Page p;
            p.add(type, "{raumr}", climate_addresses(p.host),
                  {{"Minimum", "16"}, {"Maximum", "22.5"}, {"Soll Faktor", "10"}}, 320, 80);
            p.build();
            auto* control = p.control<CKV_Gui_Control_App_Raumr>("{raumr}");
            p.send(slot_address(KV_CLIMATE_MODE), 2);
            send_float(p, slot_address(KV_CLIMATE_SET_STANDBY), 215.0f); // tenths of a degree
            send_float(p, slot_address(KV_CLIMATE_SET_RM), 21.0f);

            KV_Test_Page::click(control);
            auto* popup = control->popup();
            QVERIFY(popup && popup->isVisible());
            QCOMPARE(child_text(popup, "kv_raumr_set_point"), QStringLiteral("21.5 °C"));
            QCOMPARE(child_text(popup, "kv_raumr_feedback"), QStringLiteral("Soll: 21.0 °C"));
            QVERIFY(button(popup, "kv_raumr_mode_2")->isChecked());

            for (int i = 0; i < 3; ++i)
                click_child(popup, "kv_raumr_plus"); // step 0.5 up to the maximum 22.5
            click_child(popup, "kv_raumr_minus");
            click_child(popup, "kv_raumr_mode_3");
            QCOMPARE(slot_writes(p.host), (Slot_Writes{{2, 220.0}, {2, 225.0}, {2, 225.0}, {2, 220.0}, {0, 3.0}}));
            QVERIFY(button(popup, "kv_raumr_mode_3")->isChecked() && !button(popup, "kv_raumr_mode_2")->isChecked());

            QCOMPARE(popup->heating_image(), QStringLiteral(":/images/icons/btr_heizen_aus.png"));
            send_float(p, slot_address(KV_CLIMATE_HEATING), 60.0f);
            QCOMPARE(popup->heating_image(), QStringLiteral(":/images/icons/btr_heizen_ein.png"));
            QCOMPARE(popup->cooling_image(), QStringLiteral(":/images/icons/btr_kuehlen_aus.png"));

            // A tap beside the panel closes the popup; in the editor a tap opens
            // none. The heating circuit's popup is the same panel.
            KV_Test_Page::click(popup, QPoint(2, 2));
            QVERIFY(!popup->isVisible());
            p.host.running = false;
            KV_Test_Page::click(control);
            QVERIFY(!popup->isVisible());
        }
    }

    void heizkreis_values_per_slot_shown()
    {
        KV_Test_Page p;
        Heizkreis* control = heizkreis(p, {{"Text", "Heizkreis Fußboden "}, {"Soll Offset", "2"}, {"Soll Faktor", "10"}});
        QCOMPARE(control->lines(), (QStringList{"Heizkreis Fußboden", "Vorlauf 0.0 °C", "Außen 0.0 °C",
                                                "Raum 0.0 °C", "–", "Pumpe aus"}));

        p.send(slot_address(KV_CLIMATE_MODE), 3);
        send_float(p, slot_address(KV_CLIMATE_SET_COMFORT), 217.0f); // (217 - 2) / 10
        send_float(p, slot_address(KV_CLIMATE_SET_FROST), 72.0f);
        send_float(p, slot_address(KV_HEIZKREIS_FLOW), 34.5f);
        send_float(p, slot_address(KV_HEIZKREIS_OUTSIDE), -3.5f);
        send_float(p, slot_address(KV_HEIZKREIS_ROOM), 21.0f);
        p.send(slot_address(KV_HEIZKREIS_PUMP), 1);
        QCOMPARE(control->lines(), (QStringList{"Heizkreis Fußboden", "Vorlauf 34.5 °C", "Außen -3.5 °C",
                                                "Raum 21.0 °C", "Nachtmodus", "Pumpe ein"}));

        auto* popup = open(control);
        QVERIFY(popup && popup->isVisible());
        QCOMPARE(child_text(popup, "kv_heizkreis_comfort"), QStringLiteral("21.5 °C"));
        QCOMPARE(child_text(popup, "kv_heizkreis_frost"), QStringLiteral("7.0 °C"));
        QVERIFY(button(popup, "kv_heizkreis_mode_3")->isChecked());
        QVERIFY(p.host.sent.empty()); // showing writes nothing
    }

    void heizkreis_set_points_step_scaled_within_limits()
    {
        KV_Test_Page p;
        Heizkreis* control = heizkreis(p, {{"Minimum", "20"}, {"Maximum", "21"}, {"Schrittweite", "0.5"},
                                         {"Soll Offset", "1"}, {"Soll Faktor", "10"}});
        send_float(p, slot_address(KV_CLIMATE_SET_COMFORT), 206.0f); // shown 20.5
        send_float(p, slot_address(KV_CLIMATE_SET_FROST), 300.0f);   // shown 29.9, above the maximum
        auto* popup = open(control);
        for (int i = 0; i < 2; ++i)
            click_child(popup, "kv_heizkreis_comfort_plus"); // 21, then held at the maximum
        click_child(popup, "kv_heizkreis_comfort_minus");
        click_child(popup, "kv_heizkreis_frost_minus"); // pulled into the limits first
        QCOMPARE(slot_writes(p.host), (Slot_Writes{{1, 220.0}, {1, 220.0}, {1, 215.0}, {4, 220.0}}));
        QCOMPARE(child_text(popup, "kv_heizkreis_comfort"), QStringLiteral("20.5 °C"));
        QCOMPARE(child_text(popup, "kv_heizkreis_frost"), QStringLiteral("21.0 °C"));
    }

    void heizkreis_frost_fixed_unless_changeable()
    {
        KV_Test_Page p;
        Heizkreis* control = heizkreis(p, {{"Soll Frost änderbar", "0"}});
        auto* popup = open(control);
        QVERIFY(!button(popup, "kv_heizkreis_frost_plus"));
        QCOMPARE(child_text(popup, "kv_heizkreis_frost"), QStringLiteral("(none)"));
        control->step_frost(1);
        QVERIFY(p.host.sent.empty());
        click_child(popup, "kv_heizkreis_comfort_plus");
        QCOMPARE(slot_writes(p.host), (Slot_Writes{{1, 0.5}}));
    }

    void heizkreis_mode_and_manual_operation()
    {
        KV_Test_Page p;
        add_block(p.host, "{hk-block}", 311, {{"Manuell", "0"}, {"Komfort", "21"}});
        Heizkreis* control = heizkreis(p, {{"ID", "{hk-block}"}});
        auto* popup = open(control);
        QCOMPARE(p.host.messages_sent, std::vector<uint32_t>{600});

        click_child(popup, "kv_heizkreis_mode_2");
        QCOMPARE(slot_writes(p.host), (Slot_Writes{{0, 2.0}}));
        QVERIFY(button(popup, "kv_heizkreis_mode_2")->isChecked());
        QCOMPARE(control->lines()[4], QStringLiteral("Abwesend"));

        click_child(popup, "kv_heizkreis_manual");
        click_child(popup, "kv_heizkreis_manual"); // unchanged: nothing sent, still checked
        QCOMPARE(p.host.messages_sent, (std::vector<uint32_t>{600, 602}));
        QCOMPARE(block_param(p.host.texts_sent[1].second, "Manuell"), std::string("1"));
        QVERIFY(button(popup, "kv_heizkreis_manual")->isChecked());
        click_child(popup, "kv_heizkreis_auto");
        QCOMPARE(block_param(p.host.texts_sent.back().second, "Manuell"), std::string("0"));
        QVERIFY(button(popup, "kv_heizkreis_auto")->isChecked());
        QCOMPARE(slot_writes(p.host).size(), size_t(1)); // settings travel as messages

        // "Zeit" slides in the block's heating program in place of the popup.
        click_child(popup, "kv_heizkreis_time");
        QVERIFY(!popup->isVisible());
        QVERIFY(control->times() && control->times()->isVisible());
        QVERIFY(control->times()->empty_label()->isVisibleTo(control->times()));

        // Unlinked: no manual operation and no time program offered, no messages.
        KV_Test_Page q;
        Heizkreis* lonely = heizkreis(q, {{"ID", "{no-such-block}"}});
        QVERIFY(!button(open(lonely), "kv_heizkreis_manual"));
        QVERIFY(!button(open(lonely), "kv_heizkreis_time"));
        lonely->set_manual(true);
        QVERIFY(q.host.messages_sent.empty());
    }

    void heizkreis_curve_and_shift_steps()
    {
        KV_Test_Page p;
        Heizkreis* control = heizkreis(p, {}, {KV_HEIZKREIS_COOLING_CURVE});
        auto* popup = open(control);
        click_child(popup, "kv_heizkreis_adjust_11_plus");
        click_child(popup, "kv_heizkreis_adjust_11_minus");
        click_child(popup, "kv_heizkreis_adjust_12_minus");
        click_child(popup, "kv_heizkreis_adjust_14_plus");
        QCOMPARE(slot_writes(p.host), (Slot_Writes{{11, 1.0}, {11, -1.0}, {12, -1.0}, {14, 1.0}}));
        // A command without an address is not offered.
        QVERIFY(!button(popup, "kv_heizkreis_adjust_13_plus"));
        QVERIFY(button(popup, "kv_heizkreis_adjust_12_plus"));
    }
};

QTEST_MAIN(tst_climate)
#include "tst_climate.moc"
