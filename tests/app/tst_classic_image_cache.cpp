// Image controls on the window's image cache: images decoded from the
// project's stored files (PNG and SVG), shared by every control, and a
// missing image drawn as the placeholder with one trace line however many
// controls and paints ask for it.

#include <QBuffer>
#include <QTemporaryDir>
#include <QtTest>

#include "kv_trace_capture.h"
#include "../visu/kv_fake_host.h"
#include "kv_gui_container.h"
#include "kv_gui_image.h"
#include "kv_gui_value_dispatch.h"
#include "kv_image_cache.h"
#include "kv_project_db.h"

namespace {
std::vector<unsigned char> png_of(const QColor& colour)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    KV_Fake_Host::filled(colour, 8, 8).save(&buffer, "PNG");
    return {bytes.begin(), bytes.end()};
}

std::vector<unsigned char> bytes_of(const char* text)
{
    return {text, text + strlen(text)};
}

// The window's image lookup over a real project file.
class Cache_Host : public KV_Fake_Host {
public:
    explicit Cache_Host(CKV_Project_Db& project)
        : cache(project)
    {
    }
    QPixmap image(const QString& name) override { return cache.image(name); }
    KV_Image_Cache cache;
};

QRgb centre_pixel(QWidget* widget)
{
    const QImage picture = widget->grab().toImage();
    return picture.pixel(picture.rect().center());
}
} // namespace

class tst_classic_image_cache : public QObject {
    Q_OBJECT

private slots:
    void images_from_the_project_and_the_placeholder()
    {
        QTemporaryDir dir;
        CKV_Project_Db project;
        QVERIFY(project.load(dir.filePath("bilder.kvp").toStdString()));
        QVERIFY(project.put_file("rot.png", png_of(Qt::red)));
        QVERIFY(project.put_file("blau.svg", bytes_of("<svg xmlns='http://www.w3.org/2000/svg' width='16' "
                                                      "height='16'><rect width='16' height='16' fill='#0000ff'/>"
                                                      "</svg>")));
        QVERIFY(project.put_file("kaputt.png", bytes_of("no image at all")));

        Cache_Host host(project);
        KV_GUI_Page& page = host.add_page("{page}");
        auto add = [&page](const std::string& guid, const char* image) {
            KV_GUI_Control& record =
                KV_Fake_Host::add_control(page, 14, guid, {}, {{"Grafik", image}, {"Proportional", "0"}});
            record.m_width = 60;
            record.m_height = 40;
        };
        add("{rot}", "rot.png");
        add("{rot-2}", "rot.png");
        add("{blau}", "blau.svg");
        add("{fehlt-1}", "fehlt.png");
        add("{fehlt-2}", "fehlt.png");
        add("{kaputt}", "kaputt.png");

        Trace_Capture trace;
        std::unique_ptr<CKV_Gui_Control_Container_Sv> area(
            (new CKV_Gui_Control_Container(host, page))->scroll_area());
        area->resize(1024, 576);
        area->show();
        auto control = [&area](const char* guid) { return area->canvas()->find_control(guid); };
        for (int paint = 0; paint < 3; ++paint)
            for (const char* guid : {"{rot}", "{rot-2}", "{blau}", "{fehlt-1}", "{fehlt-2}", "{kaputt}"})
                control(guid)->grab();

        QCOMPARE(QColor(centre_pixel(control("{rot}"))), QColor(Qt::red));
        QCOMPARE(QColor(centre_pixel(control("{blau}"))), QColor(Qt::blue));
        // Decoded once and shared: the same pixmap data for both controls.
        QCOMPARE(host.image("rot.png").cacheKey(), host.image("rot.png").cacheKey());

        const QRgb missing = centre_pixel(control("{fehlt-1}"));
        QVERIFY(qAlpha(missing) > 128);
        QCOMPARE(qRed(missing), qGreen(missing)); // the grey cross, not an image
        QVERIFY(QColor(centre_pixel(control("{kaputt}"))) != QColor(Qt::red));

        const QByteArray traced = trace.text();
        QCOMPARE(traced.count("IMAGE NOT FOUND: fehlt.png"), 1);
        QCOMPARE(traced.count("IMAGE NOT FOUND: kaputt.png"), 1);
        QCOMPARE(traced.count("IMAGE NOT FOUND"), 2);
    }
};

QTEST_MAIN(tst_classic_image_cache)
#include "tst_classic_image_cache.moc"
