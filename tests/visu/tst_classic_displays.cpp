// Value displays and the shape: fill level and pointer angle between their
// limits and beyond them, the shapes' outlines, the shape operating like the
// universal switch, and the alarm display's states of its alarm blocks.

#include <QtTest>

#include "kv_classic_host.h"
#include "kv_gui_alarm.h"
#include "kv_gui_form.h"
#include "kv_gui_gauge.h"

namespace {
std::unique_ptr<KV_LOGIC_Control> alarm_block(const std::string& name, const KV_Group_Address& input,
                                               const std::string& text)
{
    auto block = std::make_unique<KV_LOGIC_Control>();
    block->m_typ = KV_LOGIC_TYPE_ALARM;
    block->m_str_name = name;
    block->m_list_io_input.push_back(std::make_shared<KV_LOGIC_IO>(KV_LOGIC_IO{input, "Alarm"}));
    if (!text.empty())
        block->m_list_param.push_back({"Text", text});
    return block;
}
} // namespace

class tst_classic_displays : public QObject {
    Q_OBJECT

private slots:
    void fill_level_between_and_beyond_its_limits()
    {
        KV_Classic_Page p;
        p.host.add_address({1, 1, 1}, 14);
        p.add(16, "{tank}", {{1, 1, 1}},
              {{"Minimum", "20"}, {"Maximum", "220"}, {"Format", "%.0f l"}, {"Faktor", "2"}, {"Offset", "10"},
               {"Vordergrund", "1e88e5"}});
        p.add(16, "{empty-range}", {{1, 1, 1}}, {{"Minimum", "5"}, {"Maximum", "5"}});
        p.build();
        auto* tank = p.control<CKV_Gui_Control_Fuellstand>("{tank}");
        QCOMPARE(tank->foreground(), QColor(0x1e, 0x88, 0xe5));
        // (0 + 10) * 2 = 20: the minimum.
        QCOMPARE(tank->level(), 0.0);
        QCOMPARE(tank->value_text(), QStringLiteral("20 l"));
        p.send({1, 1, 1}, 50); // (50 + 10) * 2 = 120: half way
        QCOMPARE(tank->level(), 0.5);
        QCOMPARE(tank->value_text(), QStringLiteral("120 l"));
        p.send({1, 1, 1}, 100); // 220: full
        QCOMPARE(tank->level(), 1.0);
        p.send({1, 1, 1}, 200); // 420: beyond the maximum stays full
        QCOMPARE(tank->level(), 1.0);
        QCOMPARE(tank->value_text(), QStringLiteral("420 l"));
        QCOMPARE(p.control<CKV_Gui_Control_Fuellstand>("{empty-range}")->level(), 0.0);
        // Below the minimum stays empty.
        QCOMPARE(kv_gauge_fraction(-3.0, 0.0, 10.0), 0.0);
        QCOMPARE(kv_gauge_fraction(2.5, 0.0, 10.0), 0.25);
        QCOMPARE(kv_gauge_fraction(2.5, 10.0, 0.0), 0.75); // a falling scale
    }

    void dial_pointer_over_the_configured_angle()
    {
        KV_Classic_Page p;
        p.host.add_address({1, 1, 1}, 14);
        p.host.add_address({2, 2, 2}, 14);
        p.add(19, "{dial}", {{1, 1, 1}}, {{"Minimum", "10"}, {"Maximum", "110"}, {"0-360 Grad", "180"}}, 120, 120);
        p.add(19, "{wide}", {{2, 2, 2}}, {{"0-360 Grad", "400"}}, 120, 120);
        p.build();
        auto* dial = p.control<CKV_Gui_Control_Analoganzeige>("{dial}");
        QCOMPARE(dial->sweep(), 180.0);
        QCOMPARE(dial->target_angle(), 0.0); // 0 lies below the minimum
        QCOMPARE(dial->pointer_angle(), 0.0);

        p.send({1, 1, 1}, 60); // half the range: half the angle
        QCOMPARE(dial->target_angle(), 90.0);
        QCOMPARE(dial->value_text(), QStringLiteral("60"));
        // The pointer moves there over the animation, not at once.
        QVERIFY(dial->pointer_angle() < 90.0);
        QTRY_COMPARE_WITH_TIMEOUT(dial->pointer_angle(), 90.0, 2000);

        p.send({1, 1, 1}, 250); // beyond the maximum: at the end stop
        QCOMPARE(dial->target_angle(), 180.0);
        QTRY_COMPARE_WITH_TIMEOUT(dial->pointer_angle(), 180.0, 2000);
        p.send({1, 1, 1}, 110);
        QCOMPARE(dial->target_angle(), 180.0);
        p.send({1, 1, 1}, 5);
        QCOMPARE(dial->target_angle(), 0.0);

        // An angle beyond a full turn is one full turn.
        auto* wide = p.control<CKV_Gui_Control_Analoganzeige>("{wide}");
        QCOMPARE(wide->sweep(), 360.0);
        p.send({2, 2, 2}, 25);
        QCOMPARE(wide->target_angle(), 90.0);
    }

    void shapes_have_their_outlines()
    {
        const QRectF box(0, 0, 100, 60);
        const QPainterPath rectangle = CKV_Gui_Control_Form::shape_path(CKV_Gui_Control_Form::RECTANGLE, box, 0);
        QVERIFY(rectangle.contains(QPointF(1, 1)));
        const QPainterPath rounded = CKV_Gui_Control_Form::shape_path(CKV_Gui_Control_Form::RECTANGLE, box, 20);
        QVERIFY(!rounded.contains(QPointF(1, 1)));
        QVERIFY(rounded.contains(QPointF(50, 30)));

        const QPainterPath circle = CKV_Gui_Control_Form::shape_path(CKV_Gui_Control_Form::CIRCLE, box, 0);
        QVERIFY(circle.contains(QPointF(50, 30)));
        QVERIFY(!circle.contains(QPointF(3, 3)));
        QVERIFY(circle.contains(QPointF(2, 30)));

        const QPainterPath triangle = CKV_Gui_Control_Form::shape_path(CKV_Gui_Control_Form::TRIANGLE, box, 0);
        QVERIFY(triangle.contains(QPointF(50, 5)));   // apex at the top centre
        QVERIFY(!triangle.contains(QPointF(5, 5)));
        QVERIFY(triangle.contains(QPointF(2, 59)));   // base along the bottom

        const QPainterPath horizontal =
            CKV_Gui_Control_Form::shape_path(CKV_Gui_Control_Form::LINE_HORIZONTAL, box, 0);
        QCOMPARE(horizontal.boundingRect(), QRectF(0, 30, 100, 0));
        const QPainterPath vertical = CKV_Gui_Control_Form::shape_path(CKV_Gui_Control_Form::LINE_VERTICAL, box, 0);
        QCOMPARE(vertical.boundingRect(), QRectF(50, 0, 0, 60));

        const QPainterPath arrow = CKV_Gui_Control_Form::shape_path(CKV_Gui_Control_Form::ARROW, box, 0);
        QCOMPARE(arrow.boundingRect(), box);
        QVERIFY(arrow.contains(QPointF(98, 30)));  // the point on the right
        QVERIFY(!arrow.contains(QPointF(98, 5)));
        QVERIFY(arrow.contains(QPointF(5, 30)));   // the shaft
        QVERIFY(!arrow.contains(QPointF(5, 5)));
    }

    void turned_shapes_stay_inside_the_control()
    {
        const QRectF box(0, 0, 80, 50);
        for (int shape = CKV_Gui_Control_Form::RECTANGLE; shape <= CKV_Gui_Control_Form::ARROW; ++shape) {
            QCOMPARE(CKV_Gui_Control_Form::drawn_path(shape, box, 6, 0).boundingRect(),
                     CKV_Gui_Control_Form::shape_path(shape, box, 6).boundingRect());
            for (int rotation = 15; rotation < 360; rotation += 15) {
                const QRectF bounds = CKV_Gui_Control_Form::drawn_path(shape, box, 6, rotation).boundingRect();
                const double e = 0.01; // rounding of the mapped points
                QVERIFY2(bounds.left() >= box.left() - e && bounds.right() <= box.right() + e &&
                             bounds.top() >= box.top() - e && bounds.bottom() <= box.bottom() + e,
                         qPrintable(QStringLiteral("shape %1 turned %2").arg(shape).arg(rotation)));
            }
        }
        // A quarter turn of a wide rectangle: as high as the box, centred.
        const QRectF upright = CKV_Gui_Control_Form::drawn_path(0, box, 0, 90).boundingRect();
        QCOMPARE(upright.height(), box.height());
        QCOMPARE(upright.center(), box.center());
    }

    void form_operates_like_the_switch()
    {
        KV_Classic_Page p;
        p.host.add_address({1, 1, 1}, 14);
        p.host.add_address({1, 1, 2}, 14);
        p.host.add_address({3, 3, 3}, 14);
        p.add(17, "{toggle}", {{1, 1, 1}}, {{"Form", "1"}});
        p.add(17, "{push}", {{1, 1, 2}}, {{"Form", "5"}, {"Funktion", "3"}, {"Wert ein", "7"}, {"Wert aus", "2"}});
        p.add(17, "{on-off}", {{3, 3, 3}}, {{"Funktion", "1"}, {"Wert ein", "9"}, {"Wert aus", "4"}});
        p.add(17, "{decor}", {}, {{"Form", "2"}});
        p.add(17, "{bad-shape}", {}, {{"Form", "17"}});
        p.build();

        auto* toggle = p.control<CKV_Gui_Control_Form>("{toggle}");
        QCOMPARE(toggle->shape(), int(CKV_Gui_Control_Form::CIRCLE));
        QVERIFY(!toggle->is_on());
        KV_Classic_Page::click(toggle);
        QCOMPARE(p.host.sent.size(), size_t(1));
        QCOMPARE(p.host.sent.back().value, 1.0);
        QVERIFY(toggle->is_on());
        p.send({1, 1, 1}, 0); // the controller says off again
        QVERIFY(!toggle->is_on());

        // "Taster": the on-value at press, the off-value at release.
        auto* push = p.control<CKV_Gui_Control_Form>("{push}");
        QTest::mousePress(push, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(p.host.sent.back().value, 7.0);
        QVERIFY(push->is_on());
        QTest::mouseRelease(push, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(p.host.sent.back().value, 2.0);
        QVERIFY(!push->is_on());
        QCOMPARE(p.host.sent.size(), size_t(3));

        // "Umschalten Ein/Aus Wert": shows on only at the on-value.
        auto* on_off = p.control<CKV_Gui_Control_Form>("{on-off}");
        p.send({3, 3, 3}, 4);
        QVERIFY(!on_off->is_on());
        KV_Classic_Page::click(on_off);
        QCOMPARE(p.host.sent.back().value, 9.0);
        QVERIFY(on_off->is_on());
        p.send({3, 3, 3}, 5);
        QVERIFY(!on_off->is_on());

        // Without a switching address the shape is only drawn.
        auto* decor = p.control<CKV_Gui_Control_Form>("{decor}");
        QCOMPARE(decor->shape(), int(CKV_Gui_Control_Form::TRIANGLE));
        const size_t before = p.host.sent.size();
        KV_Classic_Page::click(decor);
        QVERIFY(!decor->is_on());
        QCOMPARE(p.host.sent.size(), before);
        QCOMPARE(p.control<CKV_Gui_Control_Form>("{bad-shape}")->shape(), int(CKV_Gui_Control_Form::RECTANGLE));
    }

    void form_colours_follow_the_state()
    {
        KV_Classic_Page p;
        p.host.add_address({1, 1, 1}, 14);
        p.add(17, "{lamp}", {{1, 1, 1}}, {{"Form", "0"}}, 60, 60);
        p.build();
        auto* lamp = p.control<CKV_Gui_Control_Form>("{lamp}");
        lamp->set_form_color_bg_on(QColor(Qt::yellow));
        lamp->set_form_color_bg_off(QColor(Qt::blue));
        const QPoint centre(lamp->width() / 2, lamp->height() / 2);
        QCOMPARE(QColor(lamp->grab().toImage().pixel(centre)), QColor(Qt::blue));
        p.send({1, 1, 1}, 1);
        QCOMPARE(QColor(lamp->grab().toImage().pixel(centre)), QColor(Qt::yellow));
    }

    void alarm_display_states_of_its_blocks()
    {
        KV_Classic_Page p;
        p.host.add_address({6, 1, 1}, 14);
        p.host.add_address({6, 1, 2}, 14);
        set_value_from_double(*p.host.add_address({6, 1, 3}, 14), 1); // pending from the start
        p.host.blocks.push_back(alarm_block("Rauchmelder", {6, 1, 1}, "Rauchalarm im Haus"));
        auto other = std::make_unique<KV_LOGIC_Control>();
        other->m_typ = 310; // no alarm block
        other->m_list_io_input.push_back(std::make_shared<KV_LOGIC_IO>(KV_LOGIC_IO{{6, 1, 2}, "x"}));
        p.host.blocks.push_back(std::move(other));
        p.host.blocks.push_back(alarm_block("Wassermelder", {6, 1, 2}, ""));
        p.host.blocks.push_back(alarm_block("Wind", {6, 1, 3}, "Sturm"));
        p.add(20, "{alarms}", {}, {{"Ansicht", "1"}}, 300, 120);
        p.build();

        auto* display = p.control<CKV_Gui_Control_Alarmanzeige>("{alarms}");
        QVERIFY(display->compact());
        QCOMPARE(display->alarms().size(), size_t(3));
        QCOMPARE(display->alarms()[0].text, QStringLiteral("Rauchalarm im Haus"));
        QCOMPARE(display->alarms()[1].text, QStringLiteral("Wassermelder")); // no text: the block's name
        QCOMPARE(display->alarms()[2].state, CKV_Gui_Control_Alarmanzeige::PENDING);
        QCOMPARE(display->count(CKV_Gui_Control_Alarmanzeige::NO_ALARM), 2);

        p.send({6, 1, 3}, 0);
        QCOMPARE(display->alarms()[2].state, CKV_Gui_Control_Alarmanzeige::WAS_PENDING);
        QCOMPARE(CKV_Gui_Control_Alarmanzeige::state_text(display->worst_state()),
                 QStringLiteral("Alarm war anstehend"));
        QVERIFY(p.send({6, 1, 1}, 1) >= 1);
        QCOMPARE(display->alarms()[0].state, CKV_Gui_Control_Alarmanzeige::PENDING);
        QCOMPARE(CKV_Gui_Control_Alarmanzeige::state_text(display->worst_state()), QStringLiteral("Alarm anstehend"));
        QCOMPARE(display->count(CKV_Gui_Control_Alarmanzeige::PENDING), 1);
        QCOMPARE(display->count(CKV_Gui_Control_Alarmanzeige::WAS_PENDING), 1);
        // A value on the input of the other block concerns the water alarm only.
        p.send({6, 1, 2}, 1);
        QCOMPARE(display->alarms()[1].state, CKV_Gui_Control_Alarmanzeige::PENDING);
        QCOMPARE(display->count(CKV_Gui_Control_Alarmanzeige::PENDING), 2);
    }

    void alarm_display_without_blocks()
    {
        KV_Classic_Page p;
        p.add(20, "{alarms}", {}, {}, 300, 120);
        p.build();
        auto* display = p.control<CKV_Gui_Control_Alarmanzeige>("{alarms}");
        QVERIFY(display->alarms().empty());
        QVERIFY(!display->compact());
        QCOMPARE(CKV_Gui_Control_Alarmanzeige::state_text(display->worst_state()), QStringLiteral("Kein Alarm"));
        QVERIFY(!display->grab().isNull());
    }
};

QTEST_MAIN(tst_classic_displays)
#include "tst_classic_displays.moc"
