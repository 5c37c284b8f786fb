// The light and blind tiles: a tap toggles the switching address, the off
// state comes from switching value and feedback, the brightness overlay
// opens only with a value address, slides its content in, writes the level
// where the finger lifts and follows the feedback; the relative dimmer's
// buttons start and stop dimming. The blind tile's arrow taps move, other
// taps stop; its overlay writes height and slat where the finger lifts.

#include <QPushButton>
#include <QtTest>

#include "kv_tile_test.h"
#include "kv_gui_factory.h"
#include "kv_gui_tile_dimmer.h"
#include "kv_gui_tile_jalousie.h"
#include "kv_gui_tiles.h"
#include "kv_tile_level_slider.h"

namespace {
using Dimmer = CKV_Gui_Control_Tile_Dimmer;
using Plus_Minus = CKV_Gui_Control_Tile_Dimmer_Plus_Minus;
using Overlay = CKV_Gui_Control_Tile_Overlay_Base;

constexpr int DIMMER_TYPE = 132;
constexpr int PLUS_MINUS_TYPE = 136;

const std::vector<KV_Group_Address>& addresses_of(int type)
{
    return type == DIMMER_TYPE ? DIMMER_ADDRESSES : PLUS_MINUS_ADDRESSES;
}
KV_Group_Address switching_of(int type)
{
    return addresses_of(type)[type == DIMMER_TYPE ? int(Dimmer::SWITCHING) : int(Plus_Minus::SWITCHING)];
}
KV_Group_Address switch_feedback_of(int type)
{
    return addresses_of(type)[type == DIMMER_TYPE ? int(Dimmer::SWITCH_FEEDBACK) : int(Plus_Minus::SWITCH_FEEDBACK)];
}

template <class Tile>
Tile* light_tile(KV_Test_Page& p, int type, const std::vector<KV_Group_Address>& addresses,
                 const KV_Params& params = {})
{
    add_light_addresses(p.host, 5);
    p.add(type, "{light}", addresses, params, 240, 270);
    p.build();
    return p.control<Tile>("{light}");
}

// Holds the tile for seven ticks, releases it and waits until the panel is open.
template <class Panel>
Panel* held_open(CKV_Gui_Control_Tile_Touch_Base* tile)
{
    QTest::mousePress(tile, Qt::LeftButton, {}, QPoint(20, 20));
    tick(tile, 7);
    QTest::mouseRelease(tile, Qt::LeftButton, {}, QPoint(20, 20));
    auto* panel = dynamic_cast<Panel*>(tile->overlay());
    if (panel && !QTest::qWaitFor([panel] { return panel->state() == Overlay::State::Open; }, 3000))
        return nullptr;
    return panel;
}

using Sent = std::vector<std::pair<KV_Group_Address, double>>;

using Blind = CKV_Gui_Control_Tile_Jalousie;
using Blind_Panel = CKV_Gui_Control_Tile_Jalousie_Overlay;

// Move, step, height, slat, height and slat feedback: slots 0 to 5 on 2/0/1 .. 2/0/6.
Blind* blind(KV_Test_Page& p, const KV_Params& params = {}, bool with_slat = true)
{
    const std::vector<int> no_slat = {3, 5};
    p.add(133, "{blind}", slot_addresses(p.host, 2, 0, 6, [](int slot) { return slot < 2 ? 1u : 14u; },
                                         with_slat ? std::vector<int>{} : no_slat),
          params, 240, 270);
    p.build();
    return p.control<Blind>("{blind}");
}

// A finger on the level at `part` of its height from the bottom.
void drag_level(KV_Tile_Level_Slider* level, double from, double to)
{
    auto at = [level](double part) {
        const int top = 4, bottom = level->height() - 4 - 28 - 1;
        return QPoint(level->width() / 2, int(bottom - part * (bottom - top)));
    };
    QTest::mousePress(level, Qt::LeftButton, {}, at(from));
    QTest::mouseMove(level, at(to));
    QTest::mouseRelease(level, Qt::LeftButton, {}, at(to));
}
} // namespace

class tst_tile_light_blind : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { kv_register_tile_controls(); }

    void tap_toggles_the_switching_address()
    {
        const std::tuple<int, double, double> cases[] = {{DIMMER_TYPE, 0.0, 1.0},     {DIMMER_TYPE, 0.4, 0.0},
                                                         {DIMMER_TYPE, -1.0, 0.0},    {PLUS_MINUS_TYPE, 0.0, 1.0},
                                                         {PLUS_MINUS_TYPE, 0.4, 0.0}};
        for (const auto& [type, current, written] : cases) {
            KV_Test_Page p;
            const KV_Group_Address switching = switching_of(type);
            auto* tile = light_tile<CKV_Gui_Control_Tile_Light_Base>(p, type, addresses_of(type));
            p.host.set_value(switching, current);
            KV_Test_Page::click(tile);
            QCOMPARE(p.host.sent_pairs(), (Sent{{switching, written}}));
            QCOMPARE(tile->overlay(), nullptr); // a tap never opens the panel

            // A release that slid off the tile does nothing.
            QTest::mousePress(tile, Qt::LeftButton, {}, QPoint(20, 20));
            QTest::mouseRelease(tile, Qt::LeftButton, {}, QPoint(20, 400));
            QCOMPARE(p.host.sent.size(), size_t(1));
        }
    }

    void off_state_and_state_line()
    {
        for (int type : {DIMMER_TYPE, PLUS_MINUS_TYPE}) {
            const bool dimmer = type == DIMMER_TYPE;
            const auto& addresses = addresses_of(type);
            KV_Test_Page p;
            // The relative tile shows its value feedback only when it has one.
            auto* tile = light_tile<CKV_Gui_Control_Tile_Light_Base>(
                p, type, dimmer ? addresses : std::vector<KV_Group_Address>{addresses[0], {}, addresses[2], addresses[3]},
                dimmer ? KV_Params{{"Sollwert Anzeigen", "0"}} : KV_Params{});
            // Switching value and feedback: off when neither is above 0.
            for (const auto& [switching, feedback, off] : {std::tuple{0.0, 0.0, true}, std::tuple{0.4, 0.0, false},
                                                           std::tuple{0.0, 1.0, false}, std::tuple{-2.0, 0.0, true}}) {
                p.host.set_value(switching_of(type), switching);
                p.host.set_value(switch_feedback_of(type), feedback);
                QCOMPARE(tile->is_off(), off);
                QCOMPARE(tile->state_text(), off ? QStringLiteral("Aus") : QStringLiteral("Ein"));
            }
        }
    }

    void state_line_shows_the_brightness()
    {
        KV_Test_Page p;
        auto* tile = light_tile<Dimmer>(p, DIMMER_TYPE, DIMMER_ADDRESSES);
        p.send(DIMMER_ADDRESSES[Dimmer::VALUE], 255);
        p.send(DIMMER_ADDRESSES[Dimmer::VALUE_FEEDBACK], 64); // 64/255: 25 %
        QCOMPARE(tile->state_text(), QStringLiteral("25 %"));

        // Without feedback the value itself is shown.
        KV_Test_Page q;
        auto* plain = light_tile<Dimmer>(q, DIMMER_TYPE, {DIMMER_ADDRESSES[0], DIMMER_ADDRESSES[1]});
        q.send(DIMMER_ADDRESSES[Dimmer::VALUE], 191); // 75 %
        QCOMPARE(plain->state_text(), QStringLiteral("75 %"));

        KV_Test_Page r;
        auto* relative = light_tile<Plus_Minus>(r, PLUS_MINUS_TYPE, PLUS_MINUS_ADDRESSES);
        r.send(PLUS_MINUS_ADDRESSES[Plus_Minus::VALUE_FEEDBACK], 64);
        QCOMPARE(relative->state_text(), QStringLiteral("25 %"));
    }

    void hold_opens_the_panel_only_with_an_address_to_operate()
    {
        {
            KV_Test_Page p; // switching only: no value to set
            auto* tile = light_tile<Dimmer>(p, DIMMER_TYPE, {DIMMER_ADDRESSES[0], {}, DIMMER_ADDRESSES[2]});
            QTest::mousePress(tile, Qt::LeftButton, {}, QPoint(20, 20));
            tick(tile, 7);
            QCOMPARE(tile->hold_counter(), 0.0);
            QCOMPARE(tile->overlay(), nullptr);
            QTest::mouseRelease(tile, Qt::LeftButton, {}, QPoint(20, 20));
            QCOMPARE(tile->overlay(), nullptr);
        }
        {
            KV_Test_Page p; // relative without a dimming address
            auto* tile = light_tile<Plus_Minus>(p, PLUS_MINUS_TYPE, {{}, {}, PLUS_MINUS_ADDRESSES[2]});
            QTest::mousePress(tile, Qt::LeftButton, {}, QPoint(20, 20));
            tick(tile, 7);
            QCOMPARE(tile->overlay(), nullptr);
        }
        {
            KV_Test_Page p;
            auto* tile = light_tile<Dimmer>(p, DIMMER_TYPE, DIMMER_ADDRESSES);
            QTest::mousePress(tile, Qt::LeftButton, {}, QPoint(20, 20));
            tick(tile, 6);
            QCOMPARE(tile->overlay(), nullptr);
            tick(tile, 1);
            auto* panel = qobject_cast<CKV_Gui_Control_Tile_Dimmer_Overlay*>(tile->overlay());
                QCOMPARE(panel->parentWidget(), p.area.get()); // outside the scrolled viewport
            QTest::mouseRelease(tile, Qt::LeftButton, {}, QPoint(20, 20));
            QVERIFY(p.host.sent.empty()); // lifting the finger after the hold does not switch

            // The content slides up into place within its own 300 ms.
            QVERIFY(panel->is_content_sliding());
            QVERIFY(panel->content()->y() > panel->content_box().y());
            QTRY_VERIFY(!panel->is_content_sliding());
            QCOMPARE(panel->content()->geometry(), panel->content_box());
            QTRY_COMPARE(panel->state(), Overlay::State::Open);
        }
    }

    // Tablet view light, phone view dark.
    void panel_background_follows_the_display_mode()
    {
        const std::tuple<int, const char*, QColor> cases[] = {{DIMMER_TYPE, "0", QColor(0xEA, 0xEA, 0xEA)},
                                                              {DIMMER_TYPE, "1", QColor(0x64, 0x64, 0x64)},
                                                              {PLUS_MINUS_TYPE, "1", QColor(0x64, 0x64, 0x64)}};
        for (const auto& [type, view, background] : cases) {
            KV_Test_Page p;
            auto* tile = light_tile<CKV_Gui_Control_Tile_Light_Base>(
                p, type, addresses_of(type), {{"Ansicht", view}});
            auto* panel = held_open<CKV_Gui_Control_Tile_Light_Overlay_Base>(tile);
            const QImage image = panel->grab().toImage();
            QCOMPARE(image.pixelColor(panel->width() - 3, 3), background); // top right, beside the close button
            QCOMPARE(image.pixelColor(3, panel->height() - 3), background);
        }
    }

    void slider_writes_the_level_where_the_finger_lifts()
    {
        KV_Test_Page p;
        auto* tile = light_tile<Dimmer>(p, DIMMER_TYPE, DIMMER_ADDRESSES);
        auto* panel = held_open<CKV_Gui_Control_Tile_Dimmer_Overlay>(tile);
        QTRY_VERIFY(!panel->is_content_sliding());
        KV_Tile_Level_Slider* slider = panel->slider();
        QVERIFY(slider->isVisible());
        const KV_Group_Address value_address = DIMMER_ADDRESSES[Dimmer::VALUE];

        // Dragging writes nothing; lifting at the top writes full brightness.
        const int mid_x = slider->width() / 2;
        QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(mid_x, slider->height() / 2));
        QTest::mouseMove(slider, QPoint(mid_x, slider->height() / 4));
        QTest::mouseMove(slider, QPoint(mid_x, 0));
        QVERIFY(p.host.sent.empty());
        QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(mid_x, 0));
        QCOMPARE(p.host.sent_pairs(), (Sent{{value_address, 100.0}}));
        QCOMPARE(tile->entry_value(Dimmer::VALUE), 100.0); // the tree holds it too

        // A tap in the middle writes exactly the level it shows; the bottom is 0.
        KV_Test_Page::click(slider, QPoint(mid_x, slider->height() / 2));
        const double middle = slider->value();
        QVERIFY(middle > 0.0 && middle < 100.0);
        QCOMPARE(p.host.sent.back().value, middle);
        KV_Test_Page::click(slider, QPoint(mid_x, slider->height() - 1));
        QCOMPARE(p.host.sent_pairs(), (Sent{{value_address, 100.0}, {value_address, middle}, {value_address, 0.0}}));
    }

    void slider_writes_nothing_to_an_unknown_address()
    {
        KV_Test_Page p;
        auto* tile = light_tile<Dimmer>(p, DIMMER_TYPE, {DIMMER_ADDRESSES[0], {9, 9, 9}});
        auto* panel = held_open<CKV_Gui_Control_Tile_Dimmer_Overlay>(tile);
        KV_Test_Page::click(panel->slider(), QPoint(panel->slider()->width() / 2, 0));
        QCOMPARE(panel->slider()->value(), 100.0);
        QVERIFY(p.host.sent.empty());
    }

    void slider_follows_the_feedback_unless_held()
    {
        KV_Test_Page p;
        auto* tile = light_tile<Dimmer>(p, DIMMER_TYPE, DIMMER_ADDRESSES);
        p.send(DIMMER_ADDRESSES[Dimmer::VALUE_FEEDBACK], 64); // 25 %, before the panel exists
        auto* panel = held_open<CKV_Gui_Control_Tile_Dimmer_Overlay>(tile);
        KV_Test_Page::click(panel->slider(), QPoint(panel->slider()->width() / 2, 0)); // from 25 %
        QCOMPARE(panel->slider()->value(), 100.0);
        p.send(DIMMER_ADDRESSES[Dimmer::VALUE], 255); // the value address is not what it shows
        p.send(DIMMER_ADDRESSES[Dimmer::VALUE_FEEDBACK], 128); // 50 %
        QCOMPARE(panel->slider()->value(), 50.0);

        // A finger on the slider wins over the feedback.
        KV_Tile_Level_Slider* slider = panel->slider();
        QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(slider->width() / 2, slider->height() - 1));
        p.send(DIMMER_ADDRESSES[Dimmer::VALUE_FEEDBACK], 255);
        QCOMPARE(slider->value(), 0.0);
        QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(slider->width() / 2, slider->height() - 1));
        QCOMPARE(p.host.sent.back().value, 0.0);

        // Reopened, it shows the brightness reported while it was closed.
        panel->set_visible_animated(false);
        QTRY_COMPARE(panel->state(), Overlay::State::Hidden);
        p.send(DIMMER_ADDRESSES[Dimmer::VALUE_FEEDBACK], 191); // 75 %
        QCOMPARE(held_open<CKV_Gui_Control_Tile_Dimmer_Overlay>(tile), panel);
        QCOMPARE(slider->value(), 75.0);
    }

    void relative_buttons_start_and_stop_dimming()
    {
        KV_Test_Page p;
        auto* tile = light_tile<Plus_Minus>(p, PLUS_MINUS_TYPE, PLUS_MINUS_ADDRESSES);
        p.send(PLUS_MINUS_ADDRESSES[Plus_Minus::VALUE_FEEDBACK], 64);
        auto* panel = held_open<CKV_Gui_Control_Tile_Dimmer_Plus_Minus_Overlay>(tile);
        QCOMPARE(panel->shown_brightness(), QStringLiteral("25 %"));
        p.send(PLUS_MINUS_ADDRESSES[Plus_Minus::VALUE_FEEDBACK], 128);
        QCOMPARE(panel->shown_brightness(), QStringLiteral("50 %"));

        auto* plus = panel->findChild<QPushButton*>(QStringLiteral("kv_dimmer_plus"));
        auto* minus = panel->findChild<QPushButton*>(QStringLiteral("kv_dimmer_minus"));
        QCOMPARE(plus->text(), QStringLiteral("+"));
        QCOMPARE(minus->text(), QStringLiteral("-"));
        const KV_Group_Address dimming = PLUS_MINUS_ADDRESSES[Plus_Minus::DIMMING];
        QTest::mousePress(plus, Qt::LeftButton);
        QCOMPARE(p.host.sent_pairs(), (Sent{{dimming, 9.0}})); // brighter, whole range
        QTest::mouseRelease(plus, Qt::LeftButton);
        QTest::mousePress(minus, Qt::LeftButton);
        QTest::mouseRelease(minus, Qt::LeftButton);
        QCOMPARE(p.host.sent_pairs(), (Sent{{dimming, 9.0}, {dimming, 0.0}, {dimming, 1.0}, {dimming, 0.0}}));
        QCOMPARE(tile->entry_value(Plus_Minus::DIMMING), 0.0); // the tree ends at stop
    }
    void blind_taps_move_and_stop()
    {
        KV_Test_Page p;
        Blind* tile = blind(p, {{"Sollwert Anzeigen", "1"}});
        KV_Test_Page::click(tile, tile->up_box().center());
        KV_Test_Page::click(tile, tile->down_box().center());
        KV_Test_Page::click(tile, QPoint(30, 200));
        QCOMPARE(slot_writes(p.host), (Slot_Writes{{0, 0.0}, {0, 1.0}, {1, 1.0}}));
        QVERIFY(!tile->overlay()); // taps open nothing

        QVERIFY(tile->is_off());
        p.send({2, 0, 5}, 60); // height feedback
        QCOMPARE(tile->height_percent(), 60.0);
        QVERIFY(!tile->is_off());

        // Without a slat address the overlay has the height only.
        KV_Test_Page q;
        Blind* plain = blind(q, {}, false);
        QVERIFY(!plain->has_slat());
        plain->open_overlay();
        QVERIFY(!static_cast<Blind_Panel*>(plain->overlay())->slat_slider());
    }

    void blind_overlay_writes_levels_where_the_finger_lifts()
    {
        KV_Test_Page p;
        Blind* tile = blind(p, {{"Max. Lamellenstellung", "80"}});
        p.send({2, 0, 5}, 30);
        tile->open_overlay();
        auto* panel = static_cast<Blind_Panel*>(tile->overlay());
        QTRY_COMPARE(panel->state(), Overlay::State::Open);
        QCOMPARE(panel->height_slider()->value(), 30.0);
        QCOMPARE(panel->slat_slider()->maximum(), 80.0);

        drag_level(panel->height_slider(), 0.2, 0.75); // only the end is written
        drag_level(panel->slat_slider(), 0.5, 1.0);
        QCOMPARE(slot_writes(p.host), (Slot_Writes{{2, 75.0}, {3, 80.0}}));

        // Reported levels move the sliders, except one under a finger.
        p.send({2, 0, 5}, 75);
        p.send({2, 0, 6}, 40);
        QCOMPARE(panel->height_slider()->value(), 75.0);
        QCOMPARE(panel->slat_slider()->value(), 40.0);
        QTest::mousePress(panel->height_slider(), Qt::LeftButton, {}, QPoint(40, 20));
        const double held = panel->height_slider()->value();
        p.send({2, 0, 5}, 10);
        QCOMPARE(panel->height_slider()->value(), held);
        QTest::mouseRelease(panel->height_slider(), Qt::LeftButton, {}, QPoint(40, 20));

        p.host.sent.clear();
        for (const char* name : {"kv_blind_up", "kv_blind_stop", "kv_blind_down"})
            click_child(panel, QString::fromLatin1(name));
        QCOMPARE(slot_writes(p.host), (Slot_Writes{{0, 0.0}, {1, 1.0}, {0, 1.0}}));
    }
};

QTEST_MAIN(tst_tile_light_blind)
#include "tst_tile_light_blind.moc"
