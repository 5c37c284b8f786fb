// Touch scripts through the real page: a touch-screen finger on the canvas,
// its kinetic scroller and its gesture recognisers. What a hand does on the
// wall panel, and what the installation must (not) receive.

#include <QScrollBar>
#include <QScroller>

#include "kv_fake_host.h"
#include "kv_gui_image.h"
#include "kv_gui_label.h"
#include "kv_gui_slider.h"
#include "kv_gui_switch.h"
#include "kv_touch_script.h"

namespace {
const KV_Group_Address LIGHT{1, 0, 6};
const KV_Group_Address LEVEL{1, 0, 11};

// A page of the given design size in a 1024 x 576 view, with a universal
// switch at (100, 100).
struct Touch_Page : KV_Test_Page {
    explicit Touch_Page(int width = 1024, int height = 576, bool vertical = false)
    {
        page->m_width = width;
        page->m_height = height;
        page->m_page_orientation = vertical ? 1 : 0;
        host.add_address(LIGHT, 1);
        host.add_address(LEVEL, 9);
    }
    // Built, shown and laid out with its scroll bars.
    CKV_Gui_Control_Container* build()
    {
        KV_Test_Page::build();
        QTest::qWait(50);
        return canvas();
    }
    CKV_Gui_Control* light() const { return canvas()->find_control("{light}"); }
    void add_light()
    {
        KV_GUI_Control& record = add(109, "{light}", {LIGHT}, {{"Funktion", "0"}}, 150, 80);
        record.m_x = 100;
        record.m_y = 100;
    }
    QScrollBar* bar(Qt::Orientation axis) const
    {
        return axis == Qt::Horizontal ? area->horizontalScrollBar() : area->verticalScrollBar();
    }
    // Until the kinetic scroll has run out.
    void settle() const
    {
        QTRY_COMPARE_WITH_TIMEOUT(QScroller::scroller(area->viewport())->state(), QScroller::Inactive, 5000);
    }
};
} // namespace

class tst_touch_scripts : public QObject {
    Q_OBJECT
private slots:
    void tap_on_a_switch_writes_once_data()
    {
        QTest::addColumn<int>("away"); // how far the finger wanders, in slops
        QTest::addColumn<bool>("back"); // and comes back before lifting
        QTest::addColumn<int>("writes");
        QTest::newRow("still") << 0 << false << 1;
        QTest::newRow("wobble below the slop") << 0 << true << 1;
        QTest::newRow("dragged away, lifted there") << 20 << false << 0;
        QTest::newRow("dragged away and back") << 20 << true << 0;
    }
    void tap_on_a_switch_writes_once()
    {
        QFETCH(int, away);
        QFETCH(bool, back);
        QFETCH(int, writes);
        Touch_Page p;
        p.add_light();
        p.build();
        CKV_Gui_Control* light = p.light();
        const QPoint centre = light->rect().center();
        const int slop = qCeil(kv_touch_slop(light));
        const QPoint far = centre + QPoint(away ? away * slop : slop / 2, 0);
        const QImage before = light->grab().toImage();
        KV_Finger::down(light, centre);
        // The pressed look is there before anything else happens.
        QVERIFY(light->grab().toImage() != before);
        for (int i = 1; i <= 5; ++i) {
            QTest::qWait(16);
            KV_Finger::move(light, centre + (far - centre) * i / 5);
        }
        KV_Finger::up(light, back ? centre : far);
        QCOMPARE(int(p.host.sent.size()), writes);
    }

    void flick_starting_on_a_switch_scrolls_and_writes_nothing()
    {
        Touch_Page p(1024, 2000, true);
        p.add_light();
        KV_GUI_Control& low = p.add(109, "{low}", {LIGHT}, {{"Funktion", "0"}}, 150, 80);
        low.m_x = 100;
        low.m_y = 900;
        p.build();
        const QPoint start = p.light()->rect().center() + QPoint(0, 20);
        KV_Finger::drag(p.light(), start, start - QPoint(0, 300), 6, 10);
        p.settle();
        QVERIFY(p.bar(Qt::Vertical)->value() > 0);
        QVERIFY(p.host.sent.empty());
        // A finger that stops a running flick only stops it.
        p.bar(Qt::Vertical)->setValue(p.bar(Qt::Vertical)->maximum() / 2);
        CKV_Gui_Control* target = p.canvas()->find_control("{low}");
        KV_Finger::drag(p.canvas(), QPoint(500, 1000), QPoint(500, 1080), 6, 10);
        QCOMPARE(QScroller::scroller(p.area->viewport())->state(), QScroller::Scrolling);
        QVERIFY(p.area->viewport()->rect().contains(target->mapTo(p.area->viewport(), target->rect().center())));
        KV_Finger::tap(target, target->rect().center());
        QVERIFY(p.host.sent.empty());
    }

    // A slider along the page's scroll axis: the slider has the finger from
    // touch-down, the page stays still, and one value goes out at the lift.
    void slider_drag_along_the_scroll_axis_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QSize>("page");
        QTest::addColumn<QRect>("box");
        QTest::addColumn<QPointF>("from"); // parts of the slider's size
        QTest::addColumn<QPointF>("to");
        QTest::newRow("horizontal slider, page scrolls sideways")
            << 101 << QSize(3000, 576) << QRect(100, 200, 400, 60) << QPointF(0.2, 0.5) << QPointF(0.8, 0.55);
        QTest::newRow("vertical slider, page scrolls down")
            << 102 << QSize(1024, 2000) << QRect(100, 100, 60, 400) << QPointF(0.5, 0.8) << QPointF(0.45, 0.2);
    }
    void slider_drag_along_the_scroll_axis()
    {
        QFETCH(int, type);
        QFETCH(QSize, page);
        QFETCH(QRect, box);
        QFETCH(QPointF, from);
        QFETCH(QPointF, to);
        Touch_Page p(page.width(), page.height(), type == 102);
        KV_GUI_Control& record =
            p.add(type, "{slider}", {LEVEL}, {{"Minimum", "0"}, {"Maximum", "100"}, {"Schrittweite", "1"}},
                  box.width(), box.height());
        record.m_x = box.x();
        record.m_y = box.y();
        p.build();
        auto* slider = p.control<CKV_Gui_Control_Slider>("{slider}");
        const auto at = [slider](QPointF part) {
            return QPoint(qRound(part.x() * slider->width()), qRound(part.y() * slider->height()));
        };
        KV_Finger::drag(slider, at(from), at(to), 12, 16);
        p.settle();
        QCOMPARE(p.bar(Qt::Horizontal)->value(), 0);
        QCOMPARE(p.bar(Qt::Vertical)->value(), 0);
        QCOMPARE(p.host.sent_values(), std::vector<double>{80.0});
    }

    void one_finger_swipe_changes_the_page_and_vertical_scroll_does_not()
    {
        Touch_Page flat;
        flat.add(101, "{slider}", {LEVEL}, {{"Maximum", "100"}}, 500, 80);
        flat.build();
        QWidget* canvas = flat.canvas();
        const int travel = KV_Finger::mm(canvas, 40);
        // To the right: the next page; to the left: the previous one.
        KV_Finger::drag(canvas, QPoint(200, 400), QPoint(200 + travel, 405), 8, 12);
        QCOMPARE(flat.host.pages_next, 1);
        KV_Finger::drag(canvas, QPoint(200 + travel, 400), QPoint(200, 398), 8, 12);
        QCOMPARE(flat.host.pages_back, 1);
        // Not on a slider, which owns its drags.
        KV_Finger::drag(canvas, QPoint(20, 40), QPoint(20 + travel, 40), 8, 12);
        QCOMPARE(flat.host.pages_next, 1);

        Touch_Page tall(1024, 2000, true);
        tall.build();
        // Up, then sideways with the same finger: it is a scroll.
        KV_Finger::down(tall.canvas(), QPoint(300, 500));
        for (int i = 1; i <= 8; ++i) {
            QTest::qWait(12);
            KV_Finger::move(tall.canvas(), QPoint(300 + (i > 4 ? (i - 4) * travel / 4 : 0), 500 - i * 30));
        }
        KV_Finger::up(tall.canvas(), QPoint(300 + travel, 260));
        tall.settle();
        QVERIFY(tall.bar(Qt::Vertical)->value() > 0);
        QCOMPARE(tall.host.pages_next + tall.host.pages_back, 0);
    }

    void pinches_zoom_on_from_where_the_last_one_ended()
    {
        Touch_Page p;
        p.build();
        CKV_Gui_Control_Container* canvas = p.canvas();
        KV_Finger::pinch(canvas, QPoint(500, 300), 100, 150);
        const float first = canvas->zoom();
        QVERIFY(first > 1.3f);
        p.settle();
        // The same spread again: the second pinch scales the first one's zoom.
        KV_Finger::pinch(canvas, QPoint(500, 300), 100, 150);
        QVERIFY(qAbs(canvas->zoom() - first * first) < 0.05f);
    }

    // A background image below a switch, a label laid over part of it: taps
    // on the image and the label reach nothing but the switch.
    void display_only_controls_let_taps_through()
    {
        Touch_Page p;
        p.host.images[QStringLiteral("wand.png")] = KV_Fake_Host::filled(Qt::darkGray);
        p.add(14, "{wall}", {}, {{"Grafik", "wand.png"}}, 600, 400);
        p.add_light();
        KV_GUI_Control& label = p.add(0, "{label}", {}, {{"Text", "Licht"}}, 100, 30);
        label.m_x = 120;
        label.m_y = 110;
        // An on/off image with a page is a link to it.
        KV_GUI_Control& link = p.add(15, "{link}", {LIGHT}, {{"Seite", "{cellar}"}}, 60, 60);
        link.m_x = 700;
        p.build();
        KV_Finger::tap(p.canvas(), QPoint(500, 350));
        KV_Finger::tap(p.canvas(), QPoint(150, 120));
        QCOMPARE(p.host.sent_pairs(), (std::vector<std::pair<KV_Group_Address, double>>{{LIGHT, 1.0}}));
        KV_Finger::tap(p.canvas(), QPoint(730, 30));
        QCOMPARE(p.host.pages_shown, std::vector<std::string>{"{cellar}"});
    }
};

QTEST_MAIN(tst_touch_scripts)
#include "tst_touch_scripts.moc"
