// The light, colour and blind controls, tiles and classic ones.
// Tiles: a tap toggles the switching address, the off state comes from
// switching value and feedback, the brightness overlay opens only with a
// value address, slides its content in, writes the level where the finger
// lifts and follows the feedback; the relative dimmer's buttons start and
// stop dimming. The blind tile's arrow taps move, other taps stop; its
// overlay writes height and slat where the finger lifts.
// Classic controls: a tap switches, a drag along the bar writes one level
// where the finger lifts, feedback moves the level and the icon, the keypad
// popup writes the percent entered, the relative dimmer starts and stops
// dimming, and the blind moves, stops and takes a height from its keypad.
// Colour controls: they refuse without their logic block; the RGBW
// control's views and short click; the colour overlay mixes hue,
// saturation and brightness into four channels and keeps presets in its
// block, sending the block as 600 and 602; the sequence control edits the
// steps of its block's sequences and starts one on the right slots.

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "kv_tile_test.h"
#include "kv_blind_commands.h"
#include "kv_gui_classic_blind.h"
#include "kv_gui_classic_color.h"
#include "kv_gui_classic_light.h"
#include "kv_gui_color_sequence.h"
#include "kv_gui_factory.h"
#include "kv_gui_tile_dimmer.h"
#include "kv_gui_tile_jalousie.h"
#include "kv_gui_tiles.h"
#include "kv_tile_level_slider.h"

namespace {
using Dimmer = CKV_Gui_Control_Tile_Dimmer;
using Plus_Minus = CKV_Gui_Control_Tile_Dimmer_Plus_Minus;
using Overlay = CKV_Gui_Control_Tile_Overlay_Base;
using Sent = std::vector<std::pair<KV_Group_Address, double>>;

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

using App_Dimmer = CKV_Gui_Control_App_Dimmer;
using App_Plus_Minus = CKV_Gui_Control_App_Dimmer_PM;
using Rollo = CKV_Gui_Control_App_Rollo;

constexpr int APP_DIMMER_TYPE = 108;
constexpr int APP_PLUS_MINUS_TYPE = 1119;
constexpr int APP_BLIND_TYPE = 106;

// Blind: move, step, height, slat, height feedback, slat feedback.
const std::vector<KV_Group_Address> BLIND_ADDRESSES = {{3, 0, 1}, {3, 0, 2}, {3, 0, 3},
                                                       {3, 0, 4}, {3, 0, 5}, {3, 0, 6}};

template <class Control>
Control* classic(KV_Test_Page& p, int type, const std::vector<KV_Group_Address>& addresses, const KV_Params& params,
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

constexpr uint32_t PERCENT = 6;
constexpr uint32_t FLOAT = 5;
constexpr int RGBW = 1512;
constexpr int SEQUENCE = 1526;
const char* const UNLINKED = "Keine Logik mit dem Bedienelement verknüpft. Klicken Sie mit der rechten maustaste auf "
                             "das Bedienelement und verknüpfen es mit einer entsprechenden Logik.";

// A page with one colour control on 4/0/1 and on, linked to block "{rgbw}".
template <class Control>
Control* colour(KV_Test_Page& p, int type, KV_Params params, const std::vector<KV_LOGIC_Param>& block_params = {})
{
    add_block(p.host, "{rgbw}", 0, block_params);
    const auto addresses =
        slot_addresses(p.host, 4, 0, type == SEQUENCE ? 8 : 4, [](int slot) { return slot >= 6 ? FLOAT : PERCENT; });
    if (std::none_of(params.begin(), params.end(), [](const auto& param) { return std::string(param.first) == "ID"; }))
        params.push_back({"ID", "{rgbw}"});
    p.add(type, "{c}", addresses, params, 300, 80);
    p.build();
    return p.control<Control>("{c}");
}

// Lifts a finger where the slider reads `value`.
void slide_to(CKV_Gui_Control_Widget_Gradient_Slider* slider, double value)
{
    for (int x = 0; x < slider->width(); ++x)
        if (slider->value_at(x) == value) {
            KV_Test_Page::click(slider, QPoint(x, slider->height() / 2));
            return;
        }
    QFAIL("value not on the slider");
}

std::string stored_param(KV_Test_Page& p, const char* name)
{
    const std::string* value = p.host.blocks[0]->param(name);
    return value ? *value : "(none)";
}
} // namespace

class tst_light_blind : public QObject {
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
        // Switching only, so no value to set; relative without a dimming address.
        for (const auto& [type, addresses] :
             {std::pair{DIMMER_TYPE, std::vector<KV_Group_Address>{DIMMER_ADDRESSES[0], {}, DIMMER_ADDRESSES[2]}},
              std::pair{PLUS_MINUS_TYPE, std::vector<KV_Group_Address>{{}, {}, PLUS_MINUS_ADDRESSES[2]}}}) {
            KV_Test_Page p;
            auto* tile = light_tile<CKV_Gui_Control_Tile_Light_Base>(p, type, addresses);
            QTest::mousePress(tile, Qt::LeftButton, {}, QPoint(20, 20));
            tick(tile, 7);
            QTest::mouseRelease(tile, Qt::LeftButton, {}, QPoint(20, 20));
            QCOMPARE(tile->overlay(), nullptr);
        }
        KV_Test_Page p;
        auto* tile = light_tile<Dimmer>(p, DIMMER_TYPE, DIMMER_ADDRESSES);
        QTest::mousePress(tile, Qt::LeftButton, {}, QPoint(20, 20));
        tick(tile, 7);
        auto* panel = qobject_cast<CKV_Gui_Control_Tile_Dimmer_Overlay*>(tile->overlay());
        QCOMPARE(panel->parentWidget(), p.area.get()); // outside the scrolled viewport
        QTest::mouseRelease(tile, Qt::LeftButton, {}, QPoint(20, 20));
        QVERIFY(p.host.sent.empty()); // lifting the finger after the hold does not switch

        // The content slides up into place within its own 300 ms.
        QVERIFY(panel->content()->y() > panel->content_box().y());
        QTRY_VERIFY(!panel->is_content_sliding());
        QCOMPARE(panel->content()->geometry(), panel->content_box());
        QTRY_COMPARE(panel->state(), Overlay::State::Open);
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
        const KV_Group_Address value_address = DIMMER_ADDRESSES[Dimmer::VALUE];

        // Dragging writes nothing; lifting at the top writes full brightness.
        const int mid_x = slider->width() / 2;
        QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(mid_x, slider->height() / 2));
        QTest::mouseMove(slider, QPoint(mid_x, slider->height() / 4));
        QTest::mouseMove(slider, QPoint(mid_x, 0));
        QVERIFY(p.host.sent.empty());
        QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(mid_x, 0));
        QCOMPARE(p.host.sent_pairs(), (Sent{{value_address, 100.0}}));

        // A tap in the middle writes exactly the level it shows; the bottom is 0.
        KV_Test_Page::click(slider, QPoint(mid_x, slider->height() / 2));
        const double middle = slider->value();
        QVERIFY(middle > 0.0 && middle < 100.0);
        KV_Test_Page::click(slider, QPoint(mid_x, slider->height() - 1));
        QCOMPARE(p.host.sent_pairs(), (Sent{{value_address, 100.0}, {value_address, middle}, {value_address, 0.0}}));
    }

    void slider_follows_the_feedback_unless_held()
    {
        KV_Test_Page p;
        auto* tile = light_tile<Dimmer>(p, DIMMER_TYPE, DIMMER_ADDRESSES);
        p.send(DIMMER_ADDRESSES[Dimmer::VALUE_FEEDBACK], 64); // 25 %, before the panel exists
        auto* panel = held_open<CKV_Gui_Control_Tile_Dimmer_Overlay>(tile);
        KV_Tile_Level_Slider* slider = panel->slider();
        KV_Test_Page::click(slider, QPoint(slider->width() / 2, 0)); // from 25 %
        QCOMPARE(slider->value(), 100.0);
        p.send(DIMMER_ADDRESSES[Dimmer::VALUE], 255); // the value address is not what it shows
        p.send(DIMMER_ADDRESSES[Dimmer::VALUE_FEEDBACK], 128); // 50 %
        QCOMPARE(slider->value(), 50.0);

        // A finger on the slider wins over the feedback.
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

    // Classic controls: off, switched on by value, on by feedback.
    void classic_tap_switches_by_the_state_shown()
    {
        const std::tuple<double, double, double> cases[] = {{0.0, 0.0, 1.0}, {0.4, 0.0, 0.0}, {0.0, 1.0, 0.0}};
        for (const auto& [switching, feedback, written] : cases) {
            for (int type : {APP_DIMMER_TYPE, 118, 1500}) {
                KV_Test_Page p;
                auto* dimmer = classic<App_Dimmer>(p, type, DIMMER_ADDRESSES, {{"Ansicht", "0"}});
                p.host.set_value(DIMMER_ADDRESSES[App_Dimmer::SWITCHING], switching);
                p.host.set_value(DIMMER_ADDRESSES[App_Dimmer::SWITCH_FEEDBACK], feedback);
                KV_Test_Page::click(dimmer, dimmer->bar_box().center());
                QCOMPARE(p.host.sent_pairs(), (Sent{{DIMMER_ADDRESSES[App_Dimmer::SWITCHING], written}}));
            }
            // The relative dimmer switches with a tap between "-" and "+".
            KV_Test_Page p;
            auto* relative =
                classic<App_Plus_Minus>(p, APP_PLUS_MINUS_TYPE, PLUS_MINUS_ADDRESSES, {{"Ansicht", "0"}});
            p.host.set_value(PLUS_MINUS_ADDRESSES[App_Plus_Minus::SWITCHING], switching);
            p.host.set_value(PLUS_MINUS_ADDRESSES[App_Plus_Minus::SWITCH_FEEDBACK], feedback);
            KV_Test_Page::click(relative, relative->rect().center());
            QCOMPARE(p.host.sent_pairs(), (Sent{{PLUS_MINUS_ADDRESSES[App_Plus_Minus::SWITCHING], written}}));
        }
    }

    void classic_drag_writes_the_level_once_where_the_finger_lifts()
    {
        for (const bool horizontal : {true, false}) {
            KV_Test_Page p;
            auto* dimmer = classic<App_Dimmer>(p, APP_DIMMER_TYPE, DIMMER_ADDRESSES,
                                               {{"Ansicht", horizontal ? "0" : "1"}}, 300, 300);
            const QRect bar = dimmer->bar_box();
            // From one end of the bar to three quarters of it, in steps.
            const QPoint start = horizontal ? QPoint(bar.left() + 2, bar.center().y())
                                            : QPoint(bar.center().x(), bar.bottom() - 2);
            const QPoint end = horizontal ? QPoint(bar.left() + bar.width() * 3 / 4, bar.center().y())
                                          : QPoint(bar.center().x(), bar.bottom() - bar.height() * 3 / 4);
            QTest::mousePress(dimmer, Qt::LeftButton, {}, start);
            for (int i = 1; i <= 5; ++i)
                QTest::mouseMove(dimmer, start + (end - start) * i / 5);
            QVERIFY(p.host.sent.empty());
            const double shown = dimmer->brightness();
            QVERIFY(std::abs(shown - 75.0) <= 1.0);
            // A value arriving meanwhile does not move the finger's level.
            p.send(DIMMER_ADDRESSES[App_Dimmer::VALUE_FEEDBACK], 0);
            QCOMPARE(dimmer->brightness(), shown);
            QTest::mouseRelease(dimmer, Qt::LeftButton, {}, end);
            QCOMPARE(p.host.sent_pairs(), (Sent{{DIMMER_ADDRESSES[App_Dimmer::VALUE], shown}}));
            QVERIFY(!dimmer->is_dragging());
        }
    }

    void classic_feedback_moves_level_and_icon()
    {
        KV_Test_Page p;
        auto* dimmer = classic<App_Dimmer>(p, APP_DIMMER_TYPE, DIMMER_ADDRESSES,
                                           {{"Icon ein", ":/images/Tablet/tablet_Beleuchtung.svg"},
                                            {"Ring Grad. Begin", "102030"},
                                            {"Ring Hintergrund", "aabbcc"}});
        QCOMPARE(dimmer->ring_begin(), QColor(0x10, 0x20, 0x30));
        QCOMPARE(dimmer->ring_end(), QColor(0xED, 0xE8, 0x80)); // the default
        QCOMPARE(dimmer->ring_background(), QColor(0xAA, 0xBB, 0xCC));
        QCOMPARE(dimmer->icon_name(), QStringLiteral(":/images/Smartphone/phone_Beleuchtung.svg"));

        p.send(DIMMER_ADDRESSES[App_Dimmer::VALUE], 255);
        p.send(DIMMER_ADDRESSES[App_Dimmer::VALUE_FEEDBACK], 64); // 64/255: 25 %
        QCOMPARE(std::lround(dimmer->brightness()), 25L);
        p.send(DIMMER_ADDRESSES[App_Dimmer::SWITCH_FEEDBACK], 1);
        QVERIFY(dimmer->is_on());
        QCOMPARE(dimmer->icon_name(), QStringLiteral(":/images/Tablet/tablet_Beleuchtung.svg"));

        // Without a feedback address the value itself is shown.
        KV_Test_Page q;
        auto* plain = classic<App_Dimmer>(q, APP_DIMMER_TYPE, {DIMMER_ADDRESSES[0], DIMMER_ADDRESSES[1]}, {});
        q.send(DIMMER_ADDRESSES[App_Dimmer::VALUE], 191); // 75 %
        QCOMPARE(std::lround(plain->brightness()), 75L);
    }

    void classic_keypad_writes_the_percent_entered()
    {
        KV_Test_Page p;
        auto* dimmer = classic<App_Dimmer>(p, APP_DIMMER_TYPE, DIMMER_ADDRESSES,
                                           {{"Ansicht", "2"}, {"Schritt +/-", "5"}}, 100, 100);
        p.send(DIMMER_ADDRESSES[App_Dimmer::VALUE_FEEDBACK], 128);
        // The popup view opens the keypad on a tap instead of switching.
        KV_Test_Page::click(dimmer, dimmer->rect().center());
        auto* popup = dimmer->value_popup();
        QVERIFY(popup && popup->isVisible());
        QVERIFY(p.host.sent.empty());
        QCOMPARE(popup->input()->text(), QStringLiteral("50"));
        press_keys(popup, {"4", "2", "+"});
        QCOMPARE(popup->input()->text(), QStringLiteral("47"));
        press_keys(popup, {"OK"});
        QCOMPARE(p.host.sent_pairs(), (Sent{{DIMMER_ADDRESSES[App_Dimmer::VALUE], 47.0}}));

        // Above 100 is 100; "Abbrechen" writes nothing.
        const QPointer<QWidget> closed = popup;
        KV_Test_Page::click(dimmer, dimmer->rect().center());
        QVERIFY(!closed || !closed->isVisible());
        press_keys(dimmer->value_popup(), {"9", "9", "9"});
        QCOMPARE(dimmer->value_popup()->entered(), 100.0);
        press_keys(dimmer->value_popup(), {"Abbrechen"});
        QCOMPARE(p.host.sent.size(), size_t(1));
        KV_Test_Page::click(dimmer, dimmer->rect().center());
        press_keys(dimmer->value_popup(), {"1", "0", "0", "0", "OK"});
        QCOMPARE(p.host.sent.back().value, 100.0);
    }

    void classic_long_press_opens_the_keypad_and_does_not_switch()
    {
        KV_Test_Page p;
        auto* dimmer = classic<App_Dimmer>(p, APP_DIMMER_TYPE, DIMMER_ADDRESSES,
                                           {{"Ansicht", "0"}, {"Zeit Popup", "0.05"}});
        QTest::mousePress(dimmer, Qt::LeftButton, {}, dimmer->bar_box().center());
        QTRY_VERIFY(dimmer->value_popup());
        QTest::mouseRelease(dimmer, Qt::LeftButton, {}, dimmer->bar_box().center());
        QVERIFY(p.host.sent.empty());
        press_keys(dimmer->value_popup(), {"3", "OK"});
        QCOMPARE(p.host.sent_pairs(), (Sent{{DIMMER_ADDRESSES[App_Dimmer::VALUE], 3.0}}));
    }

    void classic_plus_minus_start_and_stop_dimming()
    {
        for (const char* view : {"0", "1"}) {
            KV_Test_Page p;
            auto* relative = classic<App_Plus_Minus>(p, APP_PLUS_MINUS_TYPE, PLUS_MINUS_ADDRESSES,
                                                     {{"Ansicht", view}}, 180, 180);
            const KV_Group_Address dimming = PLUS_MINUS_ADDRESSES[App_Plus_Minus::DIMMING];
            QTest::mousePress(relative, Qt::LeftButton, {}, relative->plus_box().center());
            QCOMPARE(p.host.sent_pairs(), (Sent{{dimming, double(KV_DIM_BRIGHTER)}}));
            QTest::mouseRelease(relative, Qt::LeftButton, {}, relative->plus_box().center());
            KV_Test_Page::click(relative, relative->minus_box().center());
            QCOMPARE(p.host.sent_pairs(), (Sent{{dimming, 9.0}, {dimming, 0.0}, {dimming, 1.0}, {dimming, 0.0}}));
        }
    }

    void classic_blind_moves_stops_and_takes_a_height()
    {
        for (int type : {APP_BLIND_TYPE, 107, 119, 1501}) {
            KV_Test_Page p;
            auto* blind = classic<Rollo>(p, type, BLIND_ADDRESSES, {{"Ansicht", "0"}});
            KV_Test_Page::click(blind, blind->up_box().center());
            KV_Test_Page::click(blind, blind->stop_box().center());
            KV_Test_Page::click(blind, blind->down_box().center());
            QCOMPARE(p.host.sent_pairs(), (Sent{{BLIND_ADDRESSES[KV_BLIND_MOVE], 0.0},
                                                {BLIND_ADDRESSES[KV_BLIND_STEP], 1.0},
                                                {BLIND_ADDRESSES[KV_BLIND_MOVE], 1.0}}));
        }
        KV_Test_Page p;
        auto* blind = classic<Rollo>(p, APP_BLIND_TYPE, BLIND_ADDRESSES, {{"Ansicht", "2"}}, 100, 100);
        p.send(BLIND_ADDRESSES[KV_BLIND_HEIGHT_RM], 64); // 25 %, what the keypad starts from
        KV_Test_Page::click(blind, blind->rect().center());
        QCOMPARE(blind->value_popup()->input()->text(), QStringLiteral("25"));
        press_keys(blind->value_popup(), {"6", "5", "OK"});
        QCOMPARE(p.host.sent_pairs(), (Sent{{BLIND_ADDRESSES[KV_BLIND_HEIGHT], 65.0}}));
    }

    void unlinked_control_only_tells_so()
    {
        for (const auto& [type, id] : {std::pair{RGBW, ""}, std::pair{1525, "{gone}"}, std::pair{SEQUENCE, ""}}) {
            KV_Test_Page p;
            auto* control = colour<CKV_Gui_Control_App_Color_Base>(p, type, {{"ID", id}, {"Ansicht", "2"}});
            KV_Test_Page::click(control);
            QCOMPARE(p.host.messages, (std::vector<QString>{QString::fromUtf8(UNLINKED)}));
            QVERIFY(p.host.sent.empty());
            QVERIFY(p.host.texts_sent.empty());
        }
    }

    // A short click opens the overlay in the vertical and popup views; it
    // switches in "Ein/aus" and, without short click, in the horizontal view.
    void short_click_by_view()
    {
        const Slot_Writes on = {{0, 100}, {1, 100}, {2, 100}, {3, 0}};
        const struct {
            const char *view, *short_click;
            unsigned char red_before;
            Slot_Writes writes; // none: the overlay opens
        } cases[] = {
            {"1", "1", 0, {}}, {"3", "1", 0, {}}, {"0", "0", 0, on}, {"2", "1", 0, on},
            {"2", "1", 255, {{0, 0}, {1, 0}, {2, 0}, {3, 0}}},
        };
        for (const auto& c : cases) {
            KV_Test_Page p;
            auto* control =
                colour<CKV_Gui_Control_App_RGBW>(p, RGBW, {{"Ansicht", c.view}, {"Kurzer Klick", c.short_click}});
            p.send({4, 0, 1}, c.red_before);
            KV_Test_Page::click(control);
            QCOMPARE(control->overlay() != nullptr, c.writes.empty());
            QCOMPARE(slot_writes(p.host), c.writes);
        }
    }

    void holding_a_switch_opens_the_overlay()
    {
        KV_Test_Page p;
        auto* control = colour<CKV_Gui_Control_App_RGBW>(p, RGBW, {{"Ansicht", "2"}});
        QTest::mousePress(control, Qt::LeftButton, {}, QPoint(10, 10));
        QTRY_VERIFY(control->overlay());
        QTest::mouseRelease(control, Qt::LeftButton, {}, QPoint(10, 10));
        QVERIFY(p.host.sent.empty());
    }

    void overlay_mixes_hue_saturation_and_brightness()
    {
        KV_Test_Page p;
        auto* control = colour<CKV_Gui_Control_App_RGBW>(p, RGBW, {});
        KV_Test_Page::click(control);
        auto* overlay = control->overlay();
        QCOMPARE(p.host.texts_sent, (std::vector<std::pair<uint32_t, std::string>>{{600, p.host.blocks[0]->encode()}}));
        QTRY_COMPARE(overlay->state(), Overlay::State::Open);

        // Red sits at the top of the ring; a hue picked on an unlit colour is lit fully.
        CKV_Gui_Color_Editor* editor = overlay->editor();
        const QRect box = editor->ring()->ring_box();
        KV_Test_Page::click(editor->ring(), QPoint(box.center().x(), box.top() + box.height() / 20));
        QCOMPARE(slot_writes(p.host), (Slot_Writes{{0, 100}, {1, 0}, {2, 0}, {3, 0}}));
        const std::pair<CKV_Gui_Control_Widget_Gradient_Slider*, Slot_Writes> steps[] = {
            {editor->saturation(), {{0, 100}, {1, 50}, {2, 50}, {3, 0}}},
            {editor->brightness(), {{0, 50}, {1, 25}, {2, 25}, {3, 0}}},
            {editor->white(), {{0, 50}, {1, 25}, {2, 25}, {3, 50}}},
        };
        for (const auto& [slider, expected] : steps) {
            p.host.sent.clear();
            slide_to(slider, 50);
            QCOMPARE(slot_writes(p.host), expected);
        }
    }

    void presets_come_from_the_block_and_go_back_to_it()
    {
        KV_Test_Page p;
        auto* control = colour<CKV_Gui_Control_App_RGBW>(p, RGBW, {});
        KV_Test_Page::click(control);
        auto* overlay = control->overlay();
        QTRY_COMPARE(overlay->state(), Overlay::State::Open);
        CKV_Gui_Overlay_Preset_List* list = overlay->preset_list();
        QCOMPARE(list->rows().size(), 9); // the default set

        list->rows()[1]->click(); // "Grün"
        QCOMPARE(slot_writes(p.host), (Slot_Writes{{0, 0}, {1, 100}, {2, 0}, {3, 0}}));

        list->name_field()->setText(QStringLiteral("Lesen"));
        list->store_button()->click();
        const std::string stored = stored_param(p, "Voreinstellungen");
        QVERIFY2(stored.starts_with("10#100/0/0/0/Rot#") && stored.ends_with("#0/100/0/0/Lesen"), stored.c_str());
        QCOMPARE(p.host.texts_sent.back().first, 602u);
        QCOMPARE(p.host.texts_sent.back().second, p.host.blocks[0]->encode());
        QCOMPARE(list->rows().size(), 10);

        // Removing every preset leaves an empty list, not the default set.
        while (!list->rows().isEmpty()) {
            const int before = int(list->rows().size());
            list->findChildren<QPushButton*>(QStringLiteral("kv_preset_remove"))[0]->click();
            QTRY_COMPARE(list->rows().size(), before - 1);
        }
        QVERIFY(!list->empty_label()->isHidden());
        QCOMPARE(list->empty_label()->text(), QStringLiteral("Keine Voreinstellung vorhanden."));
        QCOMPARE(stored_param(p, "Voreinstellungen"), std::string("0#"));
    }

    void sequence_is_edited_and_started_on_its_slots()
    {
        KV_Test_Page p;
        auto* control = colour<CKV_Gui_Control_App_RGBW_SEQU>(
            p, SEQUENCE, {{"Animation anzeigen", "1"}},
            {{"Sequenz 1", "1#100/0/0/0/0/5/0"}, {"Sequenz 2", "2#0/0/100/0/0/10/0#100/0/0/0/50/20/1"}});
        KV_Test_Page::click(control);
        auto* overlay = control->overlay();
        QCOMPARE(p.host.texts_sent[0].first, 600u);
        QTRY_COMPARE(overlay->state(), Overlay::State::Open);
        QCOMPARE(overlay->chooser()->count(), 2);
        overlay->choose_sequence(1);
        QCOMPARE(overlay->row_texts(), (QStringList{"Schritt 1   00:10   Weich", "Schritt 2   00:20   Hart"}));

        overlay->rows()[0]->click();
        CKV_Gui_Overlay_Sequence_Color_Edit* step = overlay->step_editor();
        QTRY_COMPARE(step->state(), Overlay::State::Open);
        step->set_seconds(75);
        QCOMPARE(step->time_button()->text(), QStringLiteral("01:15"));
        step->hard_button()->click();
        step->done_button()->click();
        QCOMPARE(stored_param(p, "Sequenz 2"), std::string("2#0/0/100/0/0/75/1#100/0/0/0/50/20/1"));
        QCOMPARE(stored_param(p, "Sequenz 1"), std::string("1#100/0/0/0/0/5/0"));
        QCOMPARE(p.host.texts_sent.back().first, 602u);
        QCOMPARE(overlay->row_texts()[0], QStringLiteral("Schritt 1   01:15   Hart"));

        // Number, the time of one run, then the start.
        overlay->start_button()->click();
        QCOMPARE(slot_writes(p.host), (Slot_Writes{{7, 2}, {6, 95}, {0, 1}}));
        // The swatch runs through the steps: blue for 75 s, then red with orange.
        QCOMPARE(control->swatch_color(), QColor(0, 0, 255));
        tick(control, 760);
        QCOMPARE(control->swatch_color().red(), 255);
        QCOMPARE(control->swatch_color().blue(), 0);
        p.host.sent.clear();
        overlay->stop_button()->click();
        QCOMPARE(slot_writes(p.host), (Slot_Writes{{0, 0}}));
    }
};

QTEST_MAIN(tst_light_blind)
#include "tst_light_blind.moc"
