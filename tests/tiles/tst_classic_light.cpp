// The classic light and blind controls: a tap switches, a drag along the
// bar writes one level where the finger lifts, feedback moves the level and
// the icon, the keypad popup writes the percent entered, the relative
// dimmer starts and stops dimming, and the blind moves, stops and takes a
// height from its keypad.

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "kv_tile_test.h"
#include "kv_blind_commands.h"
#include "kv_gui_classic_blind.h"
#include "kv_gui_classic_light.h"
#include "kv_gui_factory.h"
#include "kv_gui_tile_dimmer.h"
#include "kv_gui_tiles.h"

namespace {
using Dimmer = CKV_Gui_Control_App_Dimmer;
using Plus_Minus = CKV_Gui_Control_App_Dimmer_PM;
using Rollo = CKV_Gui_Control_App_Rollo;
using Sent = std::vector<std::pair<KV_Group_Address, double>>;

constexpr int DIMMER_TYPE = 108;
constexpr int PLUS_MINUS_TYPE = 1119;
constexpr int BLIND_TYPE = 106;

// Blind: move, step, height, slat, height feedback, slat feedback.
const std::vector<KV_Group_Address> BLIND_ADDRESSES = {{3, 0, 1}, {3, 0, 2}, {3, 0, 3},
                                                       {3, 0, 4}, {3, 0, 5}, {3, 0, 6}};

template <class Control>
Control* build(KV_Test_Page& p, int type, const std::vector<KV_Group_Address>& addresses, const KV_Params& params,
               int width = 300, int height = 60)
{
    add_light_addresses(p.host, 1);
    for (const KV_Group_Address& address : BLIND_ADDRESSES)
        p.host.add_address(address, 6);
    p.add(type, "{c}", addresses, params, width, height);
    p.build();
    return p.control<Control>("{c}");
}

// Presses the popup's keys by their texts.
void press_keys(QWidget* popup, const QStringList& keys)
{
    for (const QString& text : keys) {
        auto* key = popup->findChild<QPushButton*>(QStringLiteral("kv_key_") + text);
        QVERIFY2(key, qPrintable(text));
        key->click();
    }
}
} // namespace

class tst_classic_light : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { kv_register_tile_controls(); }

    // Off, switched on by value, on by feedback.
    void tap_switches_by_the_state_shown()
    {
        const std::tuple<double, double, double> cases[] = {{0.0, 0.0, 1.0}, {0.4, 0.0, 0.0}, {0.0, 1.0, 0.0}};
        for (const auto& [switching, feedback, written] : cases) {
            for (int type : {DIMMER_TYPE, 118, 1500}) {
                KV_Test_Page p;
                auto* dimmer = build<Dimmer>(p, type, DIMMER_ADDRESSES, {{"Ansicht", "0"}});
                p.host.set_value(DIMMER_ADDRESSES[Dimmer::SWITCHING], switching);
                p.host.set_value(DIMMER_ADDRESSES[Dimmer::SWITCH_FEEDBACK], feedback);
                KV_Test_Page::click(dimmer, dimmer->bar_box().center());
                QCOMPARE(p.host.sent_pairs(), (Sent{{DIMMER_ADDRESSES[Dimmer::SWITCHING], written}}));
            }
            // The relative dimmer switches with a tap between "-" and "+".
            KV_Test_Page p;
            auto* relative = build<Plus_Minus>(p, PLUS_MINUS_TYPE, PLUS_MINUS_ADDRESSES, {{"Ansicht", "0"}});
            p.host.set_value(PLUS_MINUS_ADDRESSES[Plus_Minus::SWITCHING], switching);
            p.host.set_value(PLUS_MINUS_ADDRESSES[Plus_Minus::SWITCH_FEEDBACK], feedback);
            KV_Test_Page::click(relative, relative->rect().center());
            QCOMPARE(p.host.sent_pairs(), (Sent{{PLUS_MINUS_ADDRESSES[Plus_Minus::SWITCHING], written}}));
        }
    }

    void drag_writes_the_level_once_where_the_finger_lifts()
    {
        for (const bool horizontal : {true, false}) {
            KV_Test_Page p;
            auto* dimmer =
                build<Dimmer>(p, DIMMER_TYPE, DIMMER_ADDRESSES, {{"Ansicht", horizontal ? "0" : "1"}}, 300, 300);
            const QRect bar = dimmer->bar_box();
            // From one end of the bar to three quarters of it, in steps.
            const QPoint start = horizontal ? QPoint(bar.left() + 2, bar.center().y())
                                            : QPoint(bar.center().x(), bar.bottom() - 2);
            const QPoint end = horizontal ? QPoint(bar.left() + bar.width() * 3 / 4, bar.center().y())
                                          : QPoint(bar.center().x(), bar.bottom() - bar.height() * 3 / 4);
            QTest::mousePress(dimmer, Qt::LeftButton, {}, start);
            for (int i = 1; i <= 5; ++i)
                QTest::mouseMove(dimmer, start + (end - start) * i / 5);
            QVERIFY(dimmer->is_dragging());
            QVERIFY(p.host.sent.empty());
            const double shown = dimmer->brightness();
            QVERIFY(std::abs(shown - 75.0) <= 1.0);
            // A value arriving meanwhile does not move the finger's level.
            p.send(DIMMER_ADDRESSES[Dimmer::VALUE_FEEDBACK], 0);
            QCOMPARE(dimmer->brightness(), shown);
            QTest::mouseRelease(dimmer, Qt::LeftButton, {}, end);
            QCOMPARE(p.host.sent_pairs(), (Sent{{DIMMER_ADDRESSES[Dimmer::VALUE], shown}}));
            QVERIFY(!dimmer->is_dragging());
        }
    }

    void feedback_moves_level_and_icon()
    {
        KV_Test_Page p;
        auto* dimmer = build<Dimmer>(p, DIMMER_TYPE, DIMMER_ADDRESSES,
                                     {{"Icon ein", ":/images/Tablet/tablet_Beleuchtung.svg"},
                                      {"Ring Grad. Begin", "102030"},
                                      {"Ring Hintergrund", "aabbcc"}});
        QCOMPARE(dimmer->ring_begin(), QColor(0x10, 0x20, 0x30));
        QCOMPARE(dimmer->ring_end(), QColor(0xED, 0xE8, 0x80)); // the default
        QCOMPARE(dimmer->ring_background(), QColor(0xAA, 0xBB, 0xCC));
        QCOMPARE(dimmer->icon_name(), QStringLiteral(":/images/Smartphone/phone_Beleuchtung.svg"));

        p.send(DIMMER_ADDRESSES[Dimmer::VALUE], 255);
        p.send(DIMMER_ADDRESSES[Dimmer::VALUE_FEEDBACK], 64); // 64/255: 25 %
        QCOMPARE(std::lround(dimmer->brightness()), 25L);
        p.send(DIMMER_ADDRESSES[Dimmer::SWITCH_FEEDBACK], 1);
        QVERIFY(dimmer->is_on());
        QCOMPARE(dimmer->icon_name(), QStringLiteral(":/images/Tablet/tablet_Beleuchtung.svg"));

        // Without a feedback address the value itself is shown.
        KV_Test_Page q;
        auto* plain = build<Dimmer>(q, DIMMER_TYPE, {DIMMER_ADDRESSES[0], DIMMER_ADDRESSES[1]}, {});
        q.send(DIMMER_ADDRESSES[Dimmer::VALUE], 191); // 75 %
        QCOMPARE(std::lround(plain->brightness()), 75L);
    }

    void keypad_writes_the_percent_entered()
    {
        KV_Test_Page p;
        auto* dimmer = build<Dimmer>(p, DIMMER_TYPE, DIMMER_ADDRESSES, {{"Ansicht", "2"}, {"Schritt +/-", "5"}}, 100, 100);
        p.send(DIMMER_ADDRESSES[Dimmer::VALUE_FEEDBACK], 128);
        // The popup view opens the keypad on a tap instead of switching.
        KV_Test_Page::click(dimmer, dimmer->rect().center());
        auto* popup = dimmer->value_popup();
        QVERIFY(popup && popup->isVisible());
        QVERIFY(p.host.sent.empty());
        QCOMPARE(popup->input()->text(), QString::number(std::lround(dimmer->brightness())));
        press_keys(popup, {"4", "2", "+"});
        QCOMPARE(popup->input()->text(), QStringLiteral("47"));
        press_keys(popup, {"OK"});
        QCOMPARE(p.host.sent_pairs(), (Sent{{DIMMER_ADDRESSES[Dimmer::VALUE], 47.0}}));

        // Above 100 is 100; "Abbrechen" writes nothing.
        const QPointer<QWidget> closed = popup;
        KV_Test_Page::click(dimmer, dimmer->rect().center());
        popup = dimmer->value_popup();
        QVERIFY(popup && popup->isVisible());
        QVERIFY(!closed || !closed->isVisible());
        press_keys(popup, {"9", "9", "9"});
        QCOMPARE(popup->entered(), 100.0);
        press_keys(popup, {"Abbrechen"});
        QCOMPARE(p.host.sent.size(), size_t(1));
        KV_Test_Page::click(dimmer, dimmer->rect().center());
        QVERIFY(dimmer->value_popup() && dimmer->value_popup()->isVisible());
        press_keys(dimmer->value_popup(), {"1", "0", "0", "0", "OK"});
        QCOMPARE(p.host.sent.back().value, 100.0);
    }

    void long_press_opens_the_keypad_and_does_not_switch()
    {
        KV_Test_Page p;
        auto* dimmer = build<Dimmer>(p, DIMMER_TYPE, DIMMER_ADDRESSES, {{"Ansicht", "0"}, {"Zeit Popup", "0.05"}});
        QTest::mousePress(dimmer, Qt::LeftButton, {}, dimmer->bar_box().center());
        QTRY_VERIFY(dimmer->value_popup());
        QTest::mouseRelease(dimmer, Qt::LeftButton, {}, dimmer->bar_box().center());
        QVERIFY(p.host.sent.empty());
        press_keys(dimmer->value_popup(), {"3", "OK"});
        QCOMPARE(p.host.sent_pairs(), (Sent{{DIMMER_ADDRESSES[Dimmer::VALUE], 3.0}}));
    }

    void pin_holds_the_switching_back()
    {
        KV_Test_Page p;
        auto* dimmer = build<Dimmer>(p, DIMMER_TYPE, DIMMER_ADDRESSES, {{"Ansicht", "0"}, {KV_PARAM_PIN, "1234"}});
        KV_Test_Page::click(dimmer, dimmer->bar_box().center());
        QVERIFY(p.host.sent.empty());
    }

    void plus_minus_start_and_stop_dimming()
    {
        for (const char* view : {"0", "1"}) {
            KV_Test_Page p;
            auto* relative = build<Plus_Minus>(p, PLUS_MINUS_TYPE, PLUS_MINUS_ADDRESSES, {{"Ansicht", view}}, 180, 180);
            const KV_Group_Address dimming = PLUS_MINUS_ADDRESSES[Plus_Minus::DIMMING];
            QTest::mousePress(relative, Qt::LeftButton, {}, relative->plus_box().center());
            QCOMPARE(p.host.sent_pairs(), (Sent{{dimming, double(KV_DIM_BRIGHTER)}}));
            QTest::mouseRelease(relative, Qt::LeftButton, {}, relative->plus_box().center());
            KV_Test_Page::click(relative, relative->minus_box().center());
            QCOMPARE(p.host.sent_pairs(), (Sent{{dimming, double(KV_DIM_BRIGHTER)},
                                         {dimming, double(KV_DIM_STOP)},
                                         {dimming, double(KV_DIM_DARKER)},
                                         {dimming, double(KV_DIM_STOP)}}));
        }
    }

    void blind_moves_stops_and_takes_a_height()
    {
        for (int type : {BLIND_TYPE, 107, 119, 1501}) {
            KV_Test_Page p;
            auto* blind = build<Rollo>(p, type, BLIND_ADDRESSES, {{"Ansicht", "0"}});
            KV_Test_Page::click(blind, blind->up_box().center());
            KV_Test_Page::click(blind, blind->stop_box().center());
            KV_Test_Page::click(blind, blind->down_box().center());
            QCOMPARE(p.host.sent_pairs(), (Sent{{BLIND_ADDRESSES[KV_BLIND_MOVE], 0.0},
                                         {BLIND_ADDRESSES[KV_BLIND_STEP], 1.0},
                                         {BLIND_ADDRESSES[KV_BLIND_MOVE], 1.0}}));
        }
        KV_Test_Page p;
        auto* blind = build<Rollo>(p, BLIND_TYPE, BLIND_ADDRESSES, {{"Ansicht", "2"}}, 100, 100);
        p.send(BLIND_ADDRESSES[KV_BLIND_HEIGHT_RM], 64); // 25 %, what the keypad starts from
        KV_Test_Page::click(blind, blind->rect().center());
        QVERIFY(blind->value_popup());
        QCOMPARE(blind->value_popup()->input()->text(), QStringLiteral("25"));
        press_keys(blind->value_popup(), {"6", "5", "OK"});
        QCOMPARE(p.host.sent_pairs(), (Sent{{BLIND_ADDRESSES[KV_BLIND_HEIGHT], 65.0}}));
    }
};

QTEST_MAIN(tst_classic_light)
#include "tst_classic_light.moc"
