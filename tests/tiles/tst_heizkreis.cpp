// The classic heating circuit control: it shows flow, outside and room
// temperature, mode and pump per slot; its popup (live pages only) steps the
// comfort and, when allowed, the frost set point within one pair of limits
// and writes them scaled back, writes the mode, switches a linked block
// between manual and automatic, and sends the curve and parallel-shift steps.

#include <QtTest>

#include "kv_tile_test.h"
#include "kv_gui_factory.h"
#include "kv_gui_heizkreis.h"
#include "kv_gui_time_program.h"
#include "kv_gui_tiles.h"

namespace {
using Control = CKV_Gui_Control_App_Heizkreis;
using Writes = std::vector<std::pair<int, double>>;

constexpr int HEIZKREIS_TYPE = 1123;
constexpr uint32_t BIT = 1;
constexpr uint32_t FLOAT = 9; // 4-byte float
constexpr uint32_t BYTE = 14;

// Slot i on 3/2/(i+1): mode and steps bytes, pump and releases bits, floats else.
KV_Group_Address slot_address(int slot)
{
    return {3, 2, uint32_t(slot + 1)};
}

uint32_t slot_type(int slot)
{
    if (slot == KV_CLIMATE_MODE || (slot >= KV_HEIZKREIS_HEATING_CURVE && slot <= KV_HEIZKREIS_COOLING_SHIFT))
        return BYTE;
    if ((slot >= 8 && slot <= 10) || slot == KV_HEIZKREIS_PUMP)
        return BIT;
    return FLOAT;
}

Control* heizkreis(KV_Test_Page& p, const KV_Params& params = {}, const std::vector<int>& missing = {})
{
    const std::vector<KV_Group_Address> addresses =
        slot_addresses(p.host, 3, 2, KV_HEIZKREIS_SLOTS, slot_type, missing);
    p.add(HEIZKREIS_TYPE, "{hk}", addresses, params, 470, 150);
    p.build();
    return p.control<Control>("{hk}");
}

CKV_Gui_Control_App_Heizkreis_Popup* open(Control* control)
{
    KV_Test_Page::click(control);
    return control->popup();
}

QPushButton* button(QWidget* popup, const QString& name)
{
    return popup->findChild<QPushButton*>(name);
}

void add_block(KV_Fake_Host& host, const std::string& guid)
{
    auto block = std::make_unique<KV_LOGIC_Control>();
    block->m_typ = 311;
    block->m_str_guid = guid;
    block->m_str_name = "Heizkreis Fußboden";
    block->m_list_param = {{"Manuell", "0"}, {"Komfort", "21"}};
    host.blocks.push_back(std::move(block));
}

std::string param_of(const std::string& text, const std::string& name)
{
    for (const auto& param : KV_LOGIC_Control(text).m_list_param)
        if (param.m_str_name == name)
            return param.m_str_value;
    return "(none)";
}
} // namespace

class tst_heizkreis : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { kv_register_tile_controls(); }

    void values_per_slot_shown()
    {
        KV_Test_Page p;
        Control* control = heizkreis(p, {{"Text", "Heizkreis Fußboden "}, {"Soll Offset", "2"}, {"Soll Faktor", "10"}});
        QVERIFY(control);
        QCOMPARE(control->lines(), (QStringList{"Heizkreis Fußboden", "Vorlauf 0.0 °C", "Außen 0.0 °C",
                                                "Raum 0.0 °C", "–", "Pumpe aus"}));

        p.send(slot_address(KV_CLIMATE_MODE), 3);
        send_float(p, slot_address(KV_CLIMATE_SET_COMFORT), 217.0f); // (217 - 2) / 10
        send_float(p, slot_address(KV_CLIMATE_SET_FROST), 72.0f);
        send_float(p, slot_address(KV_HEIZKREIS_FLOW), 34.5f);
        send_float(p, slot_address(KV_HEIZKREIS_OUTSIDE), -3.5f);
        send_float(p, slot_address(KV_HEIZKREIS_ROOM), 21.0f);
        p.send(slot_address(KV_HEIZKREIS_PUMP), 1);
        QCOMPARE(control->values().set_point(KV_MODE_COMFORT), 21.5);
        QCOMPARE(control->values().set_point(KV_MODE_FROST), 7.0);
        QCOMPARE(control->lines(), (QStringList{"Heizkreis Fußboden", "Vorlauf 34.5 °C", "Außen -3.5 °C",
                                                "Raum 21.0 °C", "Nachtmodus", "Pumpe ein"}));
        // Slots past the set points are not scaled.
        QCOMPARE(control->value(KV_HEIZKREIS_FLOW), 34.5);

        auto* popup = open(control);
        QVERIFY(popup && popup->isVisible());
        QCOMPARE(child_text(popup, "kv_heizkreis_comfort"), QStringLiteral("21.5 °C"));
        QCOMPARE(child_text(popup, "kv_heizkreis_frost"), QStringLiteral("7.0 °C"));
        QVERIFY(button(popup, "kv_heizkreis_mode_3")->isChecked());
        QVERIFY(p.host.sent.empty()); // showing writes nothing
    }

    void set_points_step_scaled_within_limits()
    {
        KV_Test_Page p;
        Control* control = heizkreis(p, {{"Minimum", "20"}, {"Maximum", "21"}, {"Schrittweite", "0.5"},
                                         {"Soll Offset", "1"}, {"Soll Faktor", "10"}});
        send_float(p, slot_address(KV_CLIMATE_SET_COMFORT), 206.0f); // shown 20.5
        send_float(p, slot_address(KV_CLIMATE_SET_FROST), 300.0f);   // shown 29.9, above the maximum
        auto* popup = open(control);
        for (int i = 0; i < 2; ++i)
            click_child(popup, "kv_heizkreis_comfort_plus"); // 21, then held at the maximum
        click_child(popup, "kv_heizkreis_comfort_minus");
        click_child(popup, "kv_heizkreis_frost_minus"); // pulled into the limits first
        QCOMPARE(slot_writes(p.host), (Writes{{1, 220.0}, {1, 220.0}, {1, 215.0}, {4, 220.0}}));
        QCOMPARE(child_text(popup, "kv_heizkreis_comfort"), QStringLiteral("20.5 °C"));
        QCOMPARE(child_text(popup, "kv_heizkreis_frost"), QStringLiteral("21.0 °C"));

        // A factor of 0 leaves the multiplication out: 20.5 - 0.5, one step, + 0.5.
        KV_Test_Page q;
        Control* plain = heizkreis(q, {{"Soll Faktor", "0"}, {"Soll Offset", "0.5"}});
        send_float(q, slot_address(KV_CLIMATE_SET_COMFORT), 20.5f);
        plain->step_comfort(1);
        QCOMPARE(slot_writes(q.host), (Writes{{1, 21.0}}));
    }

    void frost_fixed_unless_changeable()
    {
        KV_Test_Page p;
        Control* control = heizkreis(p, {{"Soll Frost änderbar", "0"}});
        auto* popup = open(control);
        QVERIFY(!button(popup, "kv_heizkreis_frost_plus"));
        QCOMPARE(child_text(popup, "kv_heizkreis_frost"), QStringLiteral("(none)"));
        control->step_frost(1);
        QVERIFY(p.host.sent.empty());
        click_child(popup, "kv_heizkreis_comfort_plus");
        QCOMPARE(slot_writes(p.host), (Writes{{1, 0.5}}));
    }

    void mode_and_manual_operation()
    {
        KV_Test_Page p;
        add_block(p.host, "{hk-block}");
        Control* control = heizkreis(p, {{"ID", "{hk-block}"}});
        auto* popup = open(control);
        QCOMPARE(p.host.texts_sent.size(), size_t(1));
        QCOMPARE(p.host.texts_sent[0].first, 600u);

        click_child(popup, "kv_heizkreis_mode_2");
        QCOMPARE(slot_writes(p.host), (Writes{{0, 2.0}}));
        QVERIFY(button(popup, "kv_heizkreis_mode_2")->isChecked());
        QCOMPARE(control->lines()[4], QStringLiteral("Abwesend"));

        click_child(popup, "kv_heizkreis_manual");
        click_child(popup, "kv_heizkreis_manual"); // unchanged: nothing sent, still checked
        QCOMPARE(p.host.texts_sent.size(), size_t(2));
        QCOMPARE(p.host.texts_sent[1].first, 602u);
        QCOMPARE(param_of(p.host.texts_sent[1].second, "Manuell"), std::string("1"));
        QVERIFY(button(popup, "kv_heizkreis_manual")->isChecked());
        click_child(popup, "kv_heizkreis_auto");
        QCOMPARE(param_of(p.host.texts_sent.back().second, "Manuell"), std::string("0"));
        QVERIFY(button(popup, "kv_heizkreis_auto")->isChecked());
        QCOMPARE(slot_writes(p.host).size(), size_t(1)); // settings travel as messages

        // "Zeit" slides in the block's heating program in place of the popup.
        click_child(popup, "kv_heizkreis_time");
        QVERIFY(!popup->isVisible());
        QVERIFY(control->times() && control->times()->isVisible());
        QVERIFY(control->times()->empty_label()->isVisibleTo(control->times()));

        // Unlinked: no manual operation and no time program offered, no messages.
        KV_Test_Page q;
        Control* lonely = heizkreis(q, {{"ID", "{no-such-block}"}});
        QVERIFY(!button(open(lonely), "kv_heizkreis_manual"));
        QVERIFY(!button(open(lonely), "kv_heizkreis_time"));
        lonely->set_manual(true);
        QVERIFY(q.host.messages_sent.empty());
    }

    void curve_and_shift_steps()
    {
        KV_Test_Page p;
        Control* control = heizkreis(p, {}, {KV_HEIZKREIS_COOLING_CURVE});
        auto* popup = open(control);
        click_child(popup, "kv_heizkreis_adjust_11_plus");
        click_child(popup, "kv_heizkreis_adjust_11_minus");
        click_child(popup, "kv_heizkreis_adjust_12_minus");
        click_child(popup, "kv_heizkreis_adjust_14_plus");
        QCOMPARE(slot_writes(p.host), (Writes{{11, 1.0}, {11, -1.0}, {12, -1.0}, {14, 1.0}}));
        // A command without an address is not offered.
        QVERIFY(!button(popup, "kv_heizkreis_adjust_13_plus"));
        QVERIFY(button(popup, "kv_heizkreis_adjust_12_plus"));
    }

    void popup_only_on_live_pages()
    {
        KV_Test_Page p;
        p.host.running = false;
        Control* control = heizkreis(p);
        KV_Test_Page::click(control);
        QVERIFY(!control->popup());

        p.host.running = true;
        auto* popup = open(control);
        QVERIFY(popup && popup->isVisible());
        KV_Test_Page::click(popup, QPoint(2, 2)); // beside the panel
        QVERIFY(!popup->isVisible());
        click_child(popup, "kv_heizkreis_close"); // hidden already; still no write
        QVERIFY(p.host.sent.empty());
    }
};

QTEST_MAIN(tst_heizkreis)
#include "tst_heizkreis.moc"
