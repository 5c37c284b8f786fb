// Image displays: which image and text each shows for its values and
// parameters, image placement, the placeholder of a missing image, the GIF's
// start, stop and speed, and the image chosen by value with its blinking.

#include <QPainter>
#include <QtTest>

#include "../net/trace_capture.h"
#include "kv_fake_host.h"
#include "kv_gui_image.h"

namespace {
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

class tst_classic_images : public QObject {
    Q_OBJECT

private slots:
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

QTEST_MAIN(tst_classic_images)
#include "tst_classic_images.moc"
