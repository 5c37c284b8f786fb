// The tile base: nominal sizes per display mode and icon, icons from
// resources and project files with the stand-in for a missing one, the hold
// that opens the overlay on the seventh animation tick, the page's tick that
// stops by itself, and the overlay's slide and drag. The tiles of a tile
// page: on/off switching with its four functions, PIN and feedback; the
// value and header texts; scene starts and when they are held back; room
// and header links with user-dependent targets; and the factory building
// each tile type.

#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>
#include <set>

#include "kv_tile_test.h"
#include "../app/kv_trace_capture.h"
#include "../visu/kv_touch_script.h"
#include "kv_gui_factory.h"
#include "kv_gui_overlay_pin.h"
#include "kv_gui_switch.h"
#include "kv_gui_tile_base.h"
#include "kv_gui_tile_overlay.h"
#include "kv_gui_tile_onoff.h"
#include "kv_gui_tile_room.h"
#include "kv_gui_tile_value.h"
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
        p.add(130, "{tile}");
        p.build();
        auto* tile = p.control<CKV_Gui_Control_Tile_Base>("{tile}");
        QCOMPARE(tile->objectName(), QStringLiteral("ZRQControlTile"));
        // Without and with an icon, in the tablet and the phone view.
        const std::tuple<const char*, const char*, QSize> cases[] = {
            {"", "0", {240, 210}}, {"haus.svg", "0", {240, 270}}, {"haus.svg", "1", {160, 180}}, {"", "1", {160, 120}}};
        for (const auto& [icon, view, size] : cases) {
            kv_param_set(tile->record(), "Icon", icon);
            kv_param_set(tile->record(), "Ansicht", view);
            tile->apply_record();
            QCOMPARE(QSize(tile->nominal_width(), tile->nominal_height()), size);
        }

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

        QVERIFY(p.control<CKV_Gui_Control_Tile_Base>("{default}")->has_icon()); // the on/off tile's own icon
        // Both show the close icon, drawn as a tile with that icon draws it.
        const QImage close = p.control<CKV_Gui_Control_Tile_Base>("{close}")->grab().toImage();
        for (const char* guid : {"{missing}", "{broken}"}) {
            auto* tile = p.control<CKV_Gui_Control_Tile_Base>(guid);
            QCOMPARE(tile->nominal_height(), 270); // sized as with an icon
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
        QCOMPARE(tile->releases, 1);
        tick(tile, 3);
        QVERIFY(!tile->overlay());

        // The seventh tick opens it, and lifting the finger then does not operate.
        QTest::mousePress(tile, Qt::LeftButton, {}, QPoint(20, 20));
        tick(tile, 7);
        QVERIFY(tile->overlay());
        QCOMPARE(tile->overlay()->state(), Overlay::State::Sliding);
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

        // A tap leaves it open.
        overlay->set_visible_animated(true);
        QTRY_COMPARE(overlay->state(), Overlay::State::Open);
        QTest::mouseClick(overlay.get(), Qt::LeftButton, {}, QPoint(200, 200));
        QCOMPARE(overlay->state(), Overlay::State::Open);
    }

    // Every type the catalogue gives a class is built as that class and
    // keeps its type; with the tiles registered only the clock and scene
    // controls (another library) stand in as text. Types without a class, and
    // a dimmer with more addresses than it has, fall back to 9999, which is
    // also the type stored back. Each unknown type is traced once.
    void factory_builds_every_catalogue_class()
    {
        KV_Test_Page p;
        std::vector<int> types = kv_control_types();
        types.insert(types.end(), {2, 10, 99, 126, 1117, 9999}); // no class of their own
        auto guid = [](int type) { return "{t" + std::to_string(type) + "}"; };
        for (int type : types)
            p.add(type, guid(type));
        p.add(118, "{dimmer-9}", std::vector<KV_Group_Address>(9, KV_Group_Address{1, 1, 1}));
        p.add(118, "{dimmer-4}", std::vector<KV_Group_Address>(4, KV_Group_Address{1, 1, 1}));
        p.add(10, "{t10-again}");
        Trace_Capture trace;
        p.build();
        QCOMPARE(trace.text().count("CONTROL TYPE 10 LOADS AS STATIC TEXT\n"), 1);
        QCOMPARE(p.canvas()->controls().size(), qsizetype(types.size() + 3));
        std::set<int> stand_ins;
        for (int type : types) {
            CKV_Gui_Control* control = p.canvas()->find_control(guid(type));
            const char* name = kv_control_class_name(type);
            QCOMPARE(control->type(), name ? type : 9999);
            if (name && std::strcmp(control->metaObject()->className(), name) != 0)
                stand_ins.insert(type);
        }
        QCOMPARE(stand_ins, (std::set<int>{111, 139, 1120, 1126, 1505, 1509}));
        QCOMPARE(p.canvas()->find_control("{dimmer-9}")->type(), 9999);
        QCOMPARE(p.canvas()->find_control("{dimmer-4}")->type(), 118);
        QCOMPARE(p.canvas()->find_control("{t110}")->description(), QStringLiteral("UNKNOWN"));
        p.canvas()->store_controls();
        QCOMPARE(p.page->find_control("{t10}")->m_typ, 9999);
        QCOMPARE(p.page->find_control("{dimmer-9}")->m_typ, 9999);
        QCOMPARE(p.page->find_control("{dimmer-4}")->m_typ, 118);
    }

    // The written values on press and release, per function, with "Wert Ein" 5 and "Wert Aus" 2;
    // the universal switch's test goes through every function's rule.
    void onoff_functions()
    {
        using V = std::vector<double>;
        const struct {
            int function;
            unsigned char current;
            V after_press, after_release;
        } cases[] = {
            {KV_SWITCH_TOGGLE, 5, {}, {0.0}}, {KV_SWITCH_ON_OFF_VALUE, 2, {}, {5.0}}, {KV_SWITCH_ONLY_ON, 5, {}, {5.0}},
            {KV_SWITCH_PUSH, 0, {5.0}, {5.0, 2.0}},
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
        QCOMPARE(p.host.texts_sent, (Texts{{194, "{scene-abend}"}}));

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

QTEST_MAIN(tst_tile_base)
#include "tst_tile_base.moc"
