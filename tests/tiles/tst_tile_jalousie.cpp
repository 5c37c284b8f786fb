// The blind tile: arrow taps move, other taps stop, the state line shows
// the reported height; held, its overlay writes height and slat where the
// finger lifts and follows reported levels except under the finger.

#include <QPushButton>
#include <QtTest>

#include "../visu/kv_fake_host.h"
#include "kv_gui_tile_jalousie.h"
#include "kv_gui_tiles.h"
#include "kv_tile_level_slider.h"

namespace {
using Blind = CKV_Gui_Control_Tile_Jalousie;
using Panel = CKV_Gui_Control_Tile_Jalousie_Overlay;

// Move, step, height, slat, height and slat feedback: 2/0/1 .. 2/0/6.
Blind* blind(KV_Test_Page& p, const KV_Params& params = {}, bool with_slat = true)
{
    std::vector<KV_Group_Address> entries;
    for (uint32_t sub = 1; sub <= 6; ++sub) {
        p.host.add_address({2, 0, sub}, sub <= 2 ? 1 : 14);
        entries.push_back(with_slat || (sub != 4 && sub != 6) ? KV_Group_Address(2, 0, sub) : KV_Group_Address());
    }
    p.add(133, "{blind}", entries, params, 240, 270);
    p.build();
    return p.control<Blind>("{blind}");
}

std::vector<std::pair<uint32_t, double>> writes(const KV_Fake_Host& host)
{
    std::vector<std::pair<uint32_t, double>> result;
    for (const auto& sent : host.sent)
        result.push_back({sent.address.sub, sent.value});
    return result;
}

Panel* open_panel(Blind* tile)
{
    tile->open_overlay();
    return static_cast<Panel*>(tile->overlay());
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

class tst_tile_jalousie : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { kv_register_tile_controls(); }

    void taps_move_and_stop()
    {
        KV_Test_Page p;
        Blind* tile = blind(p, {{"Sollwert Anzeigen", "1"}});
        KV_Test_Page::click(tile, tile->up_box().center());
        KV_Test_Page::click(tile, tile->down_box().center());
        KV_Test_Page::click(tile, QPoint(30, 200));
        using W = std::vector<std::pair<uint32_t, double>>;
        QCOMPARE(writes(p.host), (W{{1, 0.0}, {1, 1.0}, {2, 1.0}}));
        QVERIFY(!tile->overlay()); // taps open nothing

        QVERIFY(tile->is_off());
        p.send({2, 0, 5}, 60); // height feedback
        QCOMPARE(tile->height_percent(), 60.0);
        QVERIFY(!tile->is_off());
    }

    void overlay_writes_levels_where_the_finger_lifts()
    {
        KV_Test_Page p;
        Blind* tile = blind(p, {{"Max. Lamellenstellung", "80"}});
        p.send({2, 0, 5}, 30);
        Panel* panel = open_panel(tile);
        QTRY_COMPARE(panel->state(), CKV_Gui_Control_Tile_Overlay_Base::State::Open);
        QCOMPARE(panel->height_slider()->value(), 30.0);
        QCOMPARE(panel->slat_slider()->maximum(), 80.0);

        drag_level(panel->height_slider(), 0.2, 0.75); // only the end is written
        drag_level(panel->slat_slider(), 0.5, 1.0);
        using W = std::vector<std::pair<uint32_t, double>>;
        QCOMPARE(writes(p.host), (W{{3, 75.0}, {4, 80.0}}));

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

        for (const char* name : {"kv_blind_up", "kv_blind_stop", "kv_blind_down"})
            panel->findChild<QPushButton*>(QString::fromLatin1(name))->click();
        const W all = writes(p.host);
        QCOMPARE(W(all.end() - 3, all.end()), (W{{1, 0.0}, {2, 1.0}, {1, 1.0}}));
    }

    void without_slat_address_the_overlay_has_height_only()
    {
        KV_Test_Page p;
        Blind* tile = blind(p, {}, false);
        QVERIFY(!tile->has_slat());
        QVERIFY(!open_panel(tile)->slat_slider());
    }
};

QTEST_MAIN(tst_tile_jalousie)
#include "tst_tile_jalousie.moc"
