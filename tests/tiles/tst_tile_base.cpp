// The tile base: nominal sizes per display mode and icon, icons from
// resources and project files with the stand-in for a missing one, the hold
// that opens the overlay on the seventh animation tick, the page's tick that
// stops by itself, and the overlay's slide and drag.

#include <QSignalSpy>
#include <QtTest>

#include "kv_tile_test.h"
#include "../visu/kv_touch_script.h"
#include "kv_gui_factory.h"
#include "kv_gui_tile_base.h"
#include "kv_gui_tile_overlay.h"
#include "kv_gui_tile_onoff.h"
#include "kv_gui_tiles.h"

namespace {
using Overlay = CKV_Gui_Control_Tile_Overlay_Base;

// An operable tile whose upper half is its touch area and whose overlay is
// the plain panel: the base's hold and overlay rules without a concrete tile.
class Held_Tile : public CKV_Gui_Control_Tile_Touch_Base {
    Q_OBJECT
public:
    using CKV_Gui_Control_Tile_Touch_Base::CKV_Gui_Control_Tile_Touch_Base;
    int releases = 0;
    void on_release(const QPoint&) override { ++releases; }
    void layout(const QSize& size) override
    {
        CKV_Gui_Control_Tile_Touch_Base::layout(size);
        set_touch_area(QRect(0, 0, size.width(), size.height() / 2));
    }

protected:
    std::shared_ptr<Overlay> create_overlay() override { return std::make_shared<Overlay>(canvas()->scroll_area()); }
};

QByteArray svg_square()
{
    return "<svg xmlns='http://www.w3.org/2000/svg' width='24' height='24'><rect width='24' height='24'/></svg>";
}

// The page builds it in place of the time switch tile.
constexpr int HELD_TYPE = 139;

Held_Tile* held_tile(KV_Test_Page& p)
{
    p.add(HELD_TYPE, "{held}", {}, {}, 240, 270);
    p.build();
    return p.control<Held_Tile>("{held}");
}

} // namespace

class tst_tile_base : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        kv_register_tile_controls();
        kv_register_control_class(kv_control_class_name(HELD_TYPE), kv_creator<Held_Tile>());
    }

    void nominal_size_follows_display_and_icon()
    {
        KV_Test_Page p;
        p.host.files[QStringLiteral("haus.svg")] = svg_square();
        p.add(130, "{stored}", {}, {{"Icon", "haus.svg"}});
        p.add(130, "{no_icon}");
        p.build();
        auto* tile = p.control<CKV_Gui_Control_Tile_Base>("{stored}");
        QCOMPARE(tile->objectName(), QStringLiteral("ZRQControlTile"));
        QVERIFY(tile->has_icon());
        QCOMPARE(QSize(tile->nominal_width(), tile->nominal_height()), QSize(240, 270));
        kv_param_set(tile->record(), "Icon", "");
        tile->apply_record();
        QCOMPARE(tile->nominal_height(), 210);
        kv_param_set(tile->record(), "Icon", "haus.svg");
        kv_param_set(tile->record(), "Ansicht", "1");
        tile->apply_record();
        QCOMPARE(QSize(tile->nominal_width(), tile->nominal_height()), QSize(160, 180));

        auto* plain = p.control<CKV_Gui_Control_Tile_Base>("{no_icon}");
        QVERIFY(!plain->has_icon());
        QCOMPARE(QSize(plain->nominal_width(), plain->nominal_height()), QSize(240, 210));
        kv_param_set(plain->record(), "Ansicht", "1");
        plain->apply_record();
        QCOMPARE(QSize(plain->nominal_width(), plain->nominal_height()), QSize(160, 120));

        // The thirteen text styles, ends and a medium one.
        QCOMPARE(tile->text_style(1).family(), QStringLiteral("Graphik Regular"));
        QCOMPARE(tile->text_style(1).pixelSize(), 34);
        QCOMPARE(tile->text_style(3).family(), QStringLiteral("Graphik Medium"));
        QCOMPARE(tile->text_style(13).pixelSize(), 50);
        QCOMPARE(tile->text_style(9).hintingPreference(), QFont::PreferNoHinting);
    }

    void icons_load_once_with_a_stand_in_for_missing_ones()
    {
        KV_Test_Page p;
        p.host.files[QStringLiteral("kaputt.svg")] = "<svg";
        p.add(135, "{default}");
        p.add(137, "{missing}", {}, {{"Icon", "weg.svg"}});
        p.add(137, "{broken}", {}, {{"Icon", "kaputt.svg"}});
        p.add(137, "{close}", {}, {{"Icon", ":/images/Tablet/tablet_Schliessen.svg"}});
        QTest::ignoreMessage(QtDebugMsg, "Missing Icon: weg.svg");
        QTest::ignoreMessage(QtDebugMsg, "Missing Icon: kaputt.svg");
        p.build();
        p.canvas()->repaint(); // drawing the stand-in logs nothing more

        auto* with_default = p.control<CKV_Gui_Control_Tile_Base>("{default}");
        QVERIFY(with_default->has_icon()); // the on/off tile's own icon
        // Both show the close icon, drawn as a tile with that icon draws it.
        const QImage close = p.control<CKV_Gui_Control_Tile_Base>("{close}")->grab().toImage();
        for (const char* guid : {"{missing}", "{broken}"}) {
            auto* tile = p.control<CKV_Gui_Control_Tile_Base>(guid);
            QVERIFY(tile->has_icon());
            QCOMPARE(tile->nominal_height(), 270);
            QCOMPARE(tile->icon().name(), QString::fromLatin1(guid == std::string("{missing}") ? "weg.svg" : "kaputt.svg"));
            QCOMPARE(tile->grab().toImage(), close);
        }
    }

    void hold_opens_the_overlay_on_the_seventh_tick()
    {
        KV_Test_Page p;
        Held_Tile* tile = held_tile(p);

        // Six ticks and a release: a tap, no overlay.
        QTest::mousePress(tile, Qt::LeftButton, {}, QPoint(20, 20));
        QCOMPARE(tile->hold_counter(), double(0.6f));
        tick(tile, 6);
        QVERIFY(!tile->overlay());
        QTest::mouseRelease(tile, Qt::LeftButton, {}, QPoint(20, 20));
        QCOMPARE(tile->hold_counter(), 0.0);
        QCOMPARE(tile->releases, 1);
        tick(tile, 3);
        QVERIFY(!tile->overlay());

        // The seventh tick opens it, and lifting the finger then does not operate.
        QTest::mousePress(tile, Qt::LeftButton, {}, QPoint(20, 20));
        tick(tile, 7);
        QVERIFY(tile->overlay());
        QCOMPARE(tile->overlay()->state(), Overlay::State::Sliding);
        QCOMPARE(tile->hold_counter(), 0.0);
        QTest::mouseRelease(tile, Qt::LeftButton, {}, QPoint(20, 20));
        QCOMPARE(tile->releases, 1);

        // Outside the touch area the hold never starts.
        QTest::mousePress(tile, Qt::LeftButton, {}, QPoint(20, 200));
        QCOMPARE(tile->hold_counter(), 0.0);
        QTest::mouseRelease(tile, Qt::LeftButton, {}, QPoint(20, 200));
    }

    // A finger on the glass: held, the page's own tick counts the hold down
    // and stops once the overlay slides in; taps on its widgets while it
    // slides are ignored, once it is open they act.
    void long_press_opens_the_overlay_which_ignores_taps_while_sliding()
    {
        KV_Test_Page p;
        Held_Tile* tile = held_tile(p);
        QVERIFY(!p.canvas()->is_animation_tick_running());
        KV_Finger::down(tile, QPoint(20, 20));
        QVERIFY(p.canvas()->is_animation_tick_running());
        QTRY_VERIFY_WITH_TIMEOUT(tile->overlay(), 3000);
        QTRY_VERIFY(!p.canvas()->is_animation_tick_running());
        KV_Finger::up(tile, QPoint(20, 20));
        QCOMPARE(tile->releases, 0);
        Overlay* overlay = tile->overlay();
        QCOMPARE(overlay->state(), Overlay::State::Sliding);
        auto* close = overlay->findChild<QWidget*>(QStringLiteral("kv_overlay_close"));
        KV_Finger::tap(close, close->rect().center());
        QTRY_COMPARE(overlay->state(), Overlay::State::Open);
        KV_Finger::tap(close, close->rect().center());
        QTRY_COMPARE(overlay->state(), Overlay::State::Hidden);
    }

    void transparent_tile_still_takes_presses()
    {
        KV_Test_Page p;
        p.host.add_address({1, 0, 1}, 1);
        KV_GUI_Control& record = p.add(135, "{clear}", {{1, 0, 1}}, {}, 160, 180);
        record.m_transparenz = 0;
        p.build();
        auto* tile = p.control<CKV_Gui_Control_Tile_OnOff>("{clear}");
        const QImage before = tile->grab().toImage();
        for (int y = 0; y < before.height(); y += 7)
            for (int x = 0; x < before.width(); x += 7)
                QCOMPARE(qAlpha(before.pixel(x, y)), 0);
        KV_Test_Page::click(tile);
        QCOMPARE(p.host.sent.size(), size_t(1));
    }

    void plain_tiles_let_presses_through()
    {
        KV_Test_Page p;
        p.add(130, "{value}");
        p.build();
        auto* tile = p.control<CKV_Gui_Control_Tile_Base>("{value}");
        struct Press_Counter : QObject {
            int presses = 0;
            bool eventFilter(QObject*, QEvent* event) override
            {
                presses += event->type() == QEvent::MouseButtonPress;
                return false;
            }
        } below;
        p.canvas()->installEventFilter(&below);
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), tile->mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                          Qt::LeftButton, {});
        QCoreApplication::sendEvent(tile, &press);
        QVERIFY(!tile->is_pressed());
        QCOMPARE(below.presses, 1);
    }

    void overlay_slides_in_and_closes_on_a_long_drag()
    {
        KV_Test_Page p;
        p.build();
        auto overlay = std::make_shared<Overlay>(p.area.get());
        QCOMPARE(overlay->mode(), 132);
        QCOMPARE(overlay->state(), Overlay::State::Hidden);
        QSignalSpy closed(overlay.get(), &Overlay::closed);

        overlay->set_visible_animated(true);
        QVERIFY(overlay->isVisible());
        QVERIFY(overlay->is_frame_timer_running());
        QCOMPARE(overlay->x(), p.area->width()); // starts at the right edge
        QTRY_COMPARE(overlay->state(), Overlay::State::Open);
        QCOMPARE(overlay->pos(), QPoint(0, 0));
        QCOMPARE(overlay->size(), p.area->size());
        QVERIFY(!overlay->is_frame_timer_running());

        // A short drag springs back, a long one closes.
        // A finger on the screen: the panel moves under it.
        auto drag = [&overlay](int dx) {
            auto send = [&overlay](QEvent::Type type, int screen_x, Qt::MouseButtons buttons) {
                const QPointF screen(screen_x, 300);
                QMouseEvent event(type, overlay->mapFromGlobal(screen), screen, screen, Qt::LeftButton, buttons, {});
                QCoreApplication::sendEvent(overlay.get(), &event);
            };
            send(QEvent::MouseButtonPress, 400, Qt::LeftButton);
            send(QEvent::MouseMove, 400 + dx / 2, Qt::LeftButton);
            send(QEvent::MouseMove, 400 + dx, Qt::LeftButton);
            send(QEvent::MouseButtonRelease, 400 + dx, Qt::NoButton);
        };
        drag(60);
        QCOMPARE(overlay->state(), Overlay::State::Sliding);
        QTRY_COMPARE(overlay->state(), Overlay::State::Open);
        QCOMPARE(overlay->x(), 0);
        QCOMPARE(closed.size(), 0);
        drag(p.area->width() / 2);
        QTRY_COMPARE(overlay->state(), Overlay::State::Hidden);
        QVERIFY(!overlay->isVisible());
        QCOMPARE(closed.size(), 1);

        // A tap leaves it open; the close button closes it.
        overlay->set_visible_animated(true);
        QTRY_COMPARE(overlay->state(), Overlay::State::Open);
        QTest::mouseClick(overlay.get(), Qt::LeftButton, {}, QPoint(200, 200));
        QCOMPARE(overlay->state(), Overlay::State::Open);
        QTest::mouseClick(overlay->findChild<QWidget*>(QStringLiteral("kv_overlay_close")), Qt::LeftButton);
        QTRY_COMPARE(closed.size(), 2);
    }
};

QTEST_MAIN(tst_tile_base)
#include "tst_tile_base.moc"
