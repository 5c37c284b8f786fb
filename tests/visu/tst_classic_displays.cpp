// Value displays and the shape: fill level and pointer angle between their
// limits and beyond them, the shapes' outlines, the shape operating like the
// universal switch, and the alarm display's states of its alarm blocks.
// Image displays: which image and text each shows for its values and
// parameters, image placement, the placeholder of a missing image, the GIF's
// start, stop and speed, and the image chosen by value with its blinking.

#include <QPainter>
#include <QtTest>

#include "../app/kv_trace_capture.h"
#include "kv_fake_host.h"
#include "kv_gui_alarm.h"
#include "kv_gui_form.h"
#include "kv_gui_gauge.h"
#include "kv_gui_image.h"

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

// A 1x1 GIF of two frames (black, then white), looping.
QByteArray two_frame_gif()
{
    return QByteArray::fromHex("47494638396101000100800000000000ffffff"
                               "21ff0b4e45545343415045322e300301000000"
                               "21f904000a000000" "2c00000000010001000002024401" "00"
                               "21f904000a000000" "2c0000000001000100000202" "4c01" "00"
                               "3b");
}

bool greyish(QRgb pixel)
{
    return qAlpha(pixel) > 128 && qAbs(qRed(pixel) - 0x9E) < 40 && qRed(pixel) == qGreen(pixel);
}

// The placeholder's cross passes through the middle of the widget.
bool crossed_in_the_middle(QWidget* widget)
{
    const QImage picture = widget->grab().toImage();
    const QPoint centre = picture.rect().center();
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            if (greyish(picture.pixel(centre + QPoint(dx, dy))))
                return true;
    return false;
}

QImage drawn(const QPixmap& image, bool proportional, Qt::Alignment alignment)
{
    QImage canvas(100, 50, QImage::Format_ARGB32);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    kv_draw_image(painter, canvas.rect(), image, proportional, alignment);
    return canvas;
}
} // namespace

class tst_classic_displays : public QObject {
    Q_OBJECT

private slots:
    void fill_level_between_and_beyond_its_limits()
    {
        KV_Test_Page p;
        p.host.add_address({1, 1, 1}, 14);
        p.add(16, "{tank}", {{1, 1, 1}},
              {{"Minimum", "20"}, {"Maximum", "220"}, {"Format", "%.0f l"}, {"Faktor", "2"}, {"Offset", "10"}});
        p.add(16, "{empty-range}", {{1, 1, 1}}, {{"Minimum", "5"}, {"Maximum", "5"}});
        p.build();
        auto* tank = p.control<CKV_Gui_Control_Fuellstand>("{tank}");
        QCOMPARE(tank->level(), 0.0); // (0 + 10) * 2 = 20: the minimum
        p.send({1, 1, 1}, 50); // (50 + 10) * 2 = 120: half way
        QCOMPARE(tank->level(), 0.5);
        QCOMPARE(tank->value_text(), QStringLiteral("120 l"));
        p.send({1, 1, 1}, 200); // 420: beyond the maximum stays full
        QCOMPARE(tank->level(), 1.0);
        QCOMPARE(tank->value_text(), QStringLiteral("420 l"));
        QCOMPARE(p.control<CKV_Gui_Control_Fuellstand>("{empty-range}")->level(), 0.0);
        QCOMPARE(kv_gauge_fraction(-3.0, 0.0, 10.0), 0.0); // below the minimum stays empty
        QCOMPARE(kv_gauge_fraction(2.5, 10.0, 0.0), 0.75); // a falling scale
    }

    void dial_pointer_over_the_configured_angle()
    {
        KV_Test_Page p;
        p.host.add_address({1, 1, 1}, 14);
        p.host.add_address({2, 2, 2}, 14);
        p.add(19, "{dial}", {{1, 1, 1}}, {{"Minimum", "10"}, {"Maximum", "110"}, {"0-360 Grad", "180"}}, 120, 120);
        p.add(19, "{wide}", {{2, 2, 2}}, {{"0-360 Grad", "400"}}, 120, 120);
        p.build();
        auto* dial = p.control<CKV_Gui_Control_Analoganzeige>("{dial}");
        QCOMPARE(dial->target_angle(), 0.0); // 0 lies below the minimum
        p.send({1, 1, 1}, 60); // half the range: half the angle
        QCOMPARE(dial->target_angle(), 90.0);
        // The pointer moves there over the animation, not at once.
        QVERIFY(dial->pointer_angle() < 90.0);
        QTRY_COMPARE_WITH_TIMEOUT(dial->pointer_angle(), 90.0, 2000);
        p.send({1, 1, 1}, 250); // beyond the maximum: at the end stop
        QCOMPARE(dial->target_angle(), 180.0);
        QTRY_COMPARE_WITH_TIMEOUT(dial->pointer_angle(), 180.0, 2000);

        // An angle beyond a full turn is one full turn.
        auto* wide = p.control<CKV_Gui_Control_Analoganzeige>("{wide}");
        QCOMPARE(wide->sweep(), 360.0);
        p.send({2, 2, 2}, 25);
        QCOMPARE(wide->target_angle(), 90.0);
    }

    void shapes_turned_or_not_stay_inside_the_control()
    {
        const QRectF box(0, 0, 80, 50);
        const double e = 0.01; // rounding of the mapped points
        for (int shape = CKV_Gui_Control_Form::RECTANGLE; shape <= CKV_Gui_Control_Form::ARROW; ++shape) {
            QCOMPARE(CKV_Gui_Control_Form::drawn_path(shape, box, 6, 0).boundingRect(),
                     CKV_Gui_Control_Form::shape_path(shape, box, 6).boundingRect());
            for (int rotation = 15; rotation < 360; rotation += 15) {
                // Lines have an empty bounding box, which QRectF::contains refuses.
                const QRectF bounds = CKV_Gui_Control_Form::drawn_path(shape, box, 6, rotation).boundingRect();
                QVERIFY2(bounds.left() >= box.left() - e && bounds.right() <= box.right() + e &&
                             bounds.top() >= box.top() - e && bounds.bottom() <= box.bottom() + e,
                         qPrintable(QStringLiteral("shape %1 turned %2").arg(shape).arg(rotation)));
            }
        }
        const QPainterPath arrow = CKV_Gui_Control_Form::shape_path(CKV_Gui_Control_Form::ARROW, box, 0);
        QVERIFY(arrow.contains(QPointF(78, 25))); // the point on the right
        QVERIFY(!arrow.contains(QPointF(3, 3))); // the shaft is narrower
        QVERIFY(!CKV_Gui_Control_Form::shape_path(CKV_Gui_Control_Form::TRIANGLE, box, 0).contains(QPointF(5, 5)));
        QVERIFY(!CKV_Gui_Control_Form::shape_path(CKV_Gui_Control_Form::RECTANGLE, box, 20).contains(QPointF(1, 1)));
        // A quarter turn of a wide rectangle: as high as the box, centred.
        const QRectF upright = CKV_Gui_Control_Form::drawn_path(0, box, 0, 90).boundingRect();
        QCOMPARE(upright.height(), box.height());
        QCOMPARE(upright.center(), box.center());
    }

    void form_operates_like_the_switch()
    {
        KV_Test_Page p;
        p.host.add_address({1, 1, 1}, 14);
        p.host.add_address({1, 1, 2}, 14);
        p.add(17, "{toggle}", {{1, 1, 1}}, {{"Form", "0"}}, 60, 60);
        p.add(17, "{push}", {{1, 1, 2}}, {{"Form", "5"}, {"Funktion", "3"}, {"Wert ein", "7"}, {"Wert aus", "2"}});
        p.add(17, "{decor}", {}, {{"Form", "2"}});
        p.add(17, "{bad-shape}", {}, {{"Form", "17"}});
        p.build();

        auto* toggle = p.control<CKV_Gui_Control_Form>("{toggle}");
        toggle->set_form_color_bg_on(QColor(Qt::yellow));
        KV_Test_Page::click(toggle);
        QCOMPARE(p.host.sent.back().value, 1.0);
        QCOMPARE(QColor(toggle->grab().toImage().pixel(30, 30)), QColor(Qt::yellow)); // drawn as on
        p.send({1, 1, 1}, 0); // the controller says off again
        QVERIFY(!toggle->is_on());

        // "Taster": the on-value at press, the off-value at release.
        auto* push = p.control<CKV_Gui_Control_Form>("{push}");
        QTest::mousePress(push, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(p.host.sent.back().value, 7.0);
        QVERIFY(push->is_on());
        QTest::mouseRelease(push, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(p.host.sent.back().value, 2.0);
        QCOMPARE(p.host.sent.size(), size_t(3));

        // Without a switching address the shape is only drawn.
        auto* decor = p.control<CKV_Gui_Control_Form>("{decor}");
        QCOMPARE(decor->shape(), int(CKV_Gui_Control_Form::TRIANGLE));
        KV_Test_Page::click(decor);
        QVERIFY(!decor->is_on());
        QCOMPARE(p.host.sent.size(), size_t(3));
        QCOMPARE(p.control<CKV_Gui_Control_Form>("{bad-shape}")->shape(), int(CKV_Gui_Control_Form::RECTANGLE));
    }

    void alarm_display_states_of_its_blocks()
    {
        KV_Test_Page p;
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
        QCOMPARE(display->alarms().size(), size_t(3));
        QCOMPARE(display->alarms()[0].text, QStringLiteral("Rauchalarm im Haus"));
        QCOMPARE(display->alarms()[1].text, QStringLiteral("Wassermelder")); // no text: the block's name
        QCOMPARE(display->alarms()[2].state, CKV_Gui_Control_Alarmanzeige::PENDING);
        QCOMPARE(display->count(CKV_Gui_Control_Alarmanzeige::NO_ALARM), 2);

        p.send({6, 1, 3}, 0);
        QCOMPARE(display->alarms()[2].state, CKV_Gui_Control_Alarmanzeige::WAS_PENDING);
        QCOMPARE(CKV_Gui_Control_Alarmanzeige::state_text(display->worst_state()),
                 QStringLiteral("Alarm war anstehend"));
        p.send({6, 1, 1}, 1);
        QCOMPARE(CKV_Gui_Control_Alarmanzeige::state_text(display->worst_state()), QStringLiteral("Alarm anstehend"));
        // A value on the input of the other block concerns the water alarm only.
        p.send({6, 1, 2}, 1);
        QCOMPARE(display->alarms()[1].state, CKV_Gui_Control_Alarmanzeige::PENDING);
        QCOMPARE(display->count(CKV_Gui_Control_Alarmanzeige::PENDING), 2);
        QCOMPARE(display->count(CKV_Gui_Control_Alarmanzeige::WAS_PENDING), 1);
        QCOMPARE(CKV_Gui_Control_Alarmanzeige::state_text(CKV_Gui_Control_Alarmanzeige::NO_ALARM),
                 QStringLiteral("Kein Alarm"));
    }

    void placement_and_the_missing_image()
    {
        const QPixmap red = KV_Fake_Host::filled(Qt::red);
        const QImage right = drawn(red, true, Qt::AlignRight);
        QCOMPARE(qAlpha(right.pixel(5, 25)), 0);
        QCOMPARE(QColor(right.pixel(95, 25)), QColor(Qt::red));
        const QImage stretched = drawn(red, false, Qt::AlignLeft);
        QCOMPARE(QColor(stretched.pixel(5, 25)), QColor(Qt::red));
        QCOMPARE(QColor(stretched.pixel(95, 45)), QColor(Qt::red));

        // A missing image: the thin frame and the crossed symbol, nothing else.
        const QImage missing = drawn(QPixmap(), true, Qt::AlignLeft);
        QVERIFY(greyish(missing.pixel(0, 25)));
        QVERIFY(greyish(missing.pixel(50, 25)));
        QCOMPARE(qAlpha(missing.pixel(20, 5)), 0);

        KV_Test_Page p;
        p.host.images[QStringLiteral("haus.png")] = red;
        p.add(14, "{shown}", {}, {{"Grafik", "haus.png"}, {"Proportional", "0"}});
        p.add(14, "{missing}", {}, {{"Grafik", "fehlt.png"}});
        p.build();
        auto* shown = p.control<CKV_Gui_Control_Image>("{shown}");
        QCOMPARE(QColor(shown->grab().toImage().pixel(shown->width() / 2, 5)), QColor(Qt::red));
        QVERIFY(!crossed_in_the_middle(shown));
        QVERIFY(crossed_in_the_middle(p.control<CKV_Gui_Control_Image>("{missing}")));
    }

    void on_off_image_follows_the_value_and_changes_the_page()
    {
        KV_Test_Page p;
        p.host.add_address({1, 1, 1}, 14);
        p.add(15, "{onoff}", {{1, 1, 1}},
              {{"Grafik EIN", "an.png"}, {"Grafik AUS", "aus.png"}, {"Text EIN", "Offen"}, {"Text AUS", "Zu"},
               {"Auto Seitenwechsel", "2"}, {"Seite", "{alarmseite}"}});
        p.build();
        auto* onoff = p.control<CKV_Gui_Control_Image_OnOff>("{onoff}");
        QCOMPARE(onoff->image_name(), QStringLiteral("aus.png"));
        QCOMPARE(onoff->caption(), QStringLiteral("Zu"));
        p.send({1, 1, 1}, 1); // rising edge: page change
        QCOMPARE(onoff->image_name(), QStringLiteral("an.png"));
        QCOMPARE(onoff->caption(), QStringLiteral("Offen"));
        QCOMPARE(p.host.pages_shown, std::vector<std::string>{"{alarmseite}"});
        p.send({1, 1, 1}, 3); // still on: no edge
        p.send({1, 1, 1}, 0);
        QCOMPARE(onoff->image_name(), QStringLiteral("aus.png"));
        QCOMPARE(p.host.pages_shown.size(), size_t(1));
    }

    void gif_runs_by_value_at_its_speed()
    {
        KV_Test_Page p;
        p.host.files[QStringLiteral("lüfter.gif")] = two_frame_gif();
        p.host.add_address({1, 1, 1}, 14);
        p.add(21, "{by-value}", {{1, 1, 1}}, {{"Grafik", "lüfter.gif"}, {"Geschwindigkeit %", "50"}});
        p.add(21, "{always}", {{1, 1, 1}}, {{"Grafik", "lüfter.gif"}, {"Start/Stop", "0"}});
        p.add(21, "{broken}", {{1, 1, 1}}, {{"Grafik", "fehlt.gif"}});
        Trace_Capture trace;
        p.build();
        QCOMPARE(trace.text().count("GIF NOT READABLE: fehlt.gif"), 1);

        auto* by_value = p.control<CKV_Gui_Control_Image_Gif>("{by-value}");
        auto* always = p.control<CKV_Gui_Control_Image_Gif>("{always}");
        QVERIFY(by_value->is_valid());
        QCOMPARE(by_value->speed(), 50);
        QVERIFY(!by_value->is_running());
        QVERIFY(always->is_running());
        p.send({1, 1, 1}, 1);
        QVERIFY(by_value->is_running());
        p.send({1, 1, 1}, 0);
        QVERIFY(!by_value->is_running());
        QVERIFY(always->is_running());

        auto* broken = p.control<CKV_Gui_Control_Image_Gif>("{broken}");
        QVERIFY(!broken->is_valid());
        QVERIFY(crossed_in_the_middle(broken));
    }

    void image_by_value_with_default_and_blinking()
    {
        KV_Test_Page p;
        p.host.add_address({1, 1, 1}, 14);
        p.host.add_address({2, 2, 2}, 14);
        p.add(22, "{steady}", {{1, 1, 1}},
              {{"Standard Grafik", "unbekannt.png"}, {"1: Wert", "1"}, {"1: Grafik", "sonne.png"},
               {"2: Wert", "2"}, {"2: Grafik", "regen.png"}, {"4: Grafik", "nie.png"}});
        p.add(22, "{blinking}", {{2, 2, 2}},
              {{"Standard Grafik", "ruhe.png"}, {"1: Wert", "5"}, {"1: Grafik", "alarm.png"}, {"Taktzeit", "100"}});
        p.build();
        auto* steady = p.control<CKV_Gui_Control_Image_Value>("{steady}");
        QCOMPARE(steady->image_name(), QStringLiteral("unbekannt.png")); // 0 matches no row; row 4 has no value
        p.send({1, 1, 1}, 2);
        QCOMPARE(steady->image_name(), QStringLiteral("regen.png"));
        p.send({1, 1, 1}, 7);
        QCOMPARE(steady->image_name(), QStringLiteral("unbekannt.png"));
        QVERIFY(!steady->is_blinking());

        auto* blinking = p.control<CKV_Gui_Control_Image_Value>("{blinking}");
        QVERIFY(!blinking->is_blinking()); // the default image does not blink
        p.send({2, 2, 2}, 5);
        QVERIFY(blinking->is_blinking());
        QTRY_COMPARE_WITH_TIMEOUT(blinking->image_name(), QStringLiteral("ruhe.png"), 1000);
        QTRY_COMPARE_WITH_TIMEOUT(blinking->image_name(), QStringLiteral("alarm.png"), 1000);
        QCOMPARE(blinking->chosen_image(), QStringLiteral("alarm.png"));
        p.send({2, 2, 2}, 0);
        QVERIFY(!blinking->is_blinking());
        QCOMPARE(blinking->image_name(), QStringLiteral("ruhe.png"));
    }
};

QTEST_MAIN(tst_classic_displays)
#include "tst_classic_displays.moc"
