// Every picture, font and style sheet that the app and its controls name by
// resource path is compiled in and loads.

#include <QFile>
#include <QFontDatabase>
#include <QImage>
#include <QSvgRenderer>
#include <QTest>

class tst_kv_app_resources : public QObject
{
    Q_OBJECT

private slots:
    void pictures_load_data();
    void pictures_load();
    void weather_symbols_cover_every_code();
    void fonts_load();
};

void tst_kv_app_resources::pictures_load_data()
{
    QTest::addColumn<QString>("path");
    const char* const paths[] = {
        ":/images/icons/logo_icon.png", ":/images/icons/page_hor.png",
        ":/images/Smartphone/phone_Default.svg", ":/images/Smartphone/phone_Beleuchtung.svg",
        ":/images/Smartphone/phone_Licht.svg", ":/images/Smartphone/phone_Beschattung.svg",
        ":/images/Smartphone/phone_Profile.svg", ":/images/Smartphone/phone_Temperatur.svg",
        ":/images/Tablet/tablet_Beleuchtung.svg", ":/images/Tablet/tablet_Schliessen.svg",
        ":/images/svg/Analyse.svg", ":/images/svg/Settings.svg", ":/images/svg/Zielsystem_Off.svg",
        ":/images/svg/Zielsystem_On.svg", ":/images/svg/Anwesend.svg", ":/images/svg/Anwesend_klein.svg",
        ":/images/svg/Abwesend.svg", ":/images/svg/Abwesend_klein.svg", ":/images/svg/Nacht.svg",
        ":/images/svg/Frost.svg", ":/images/svg/Schalter.svg", ":/images/svg/Zeitschaltuhr.svg",
        ":/images/svg/Color_Pick_Ring.svg", ":/images/svg/heizen_color.svg", ":/images/svg/kuehlen_color.svg",
        ":/images/svg/fenster_offen_color.svg", ":/images/icons/btr_heizen_ein.png",
        ":/images/icons/btr_heizen_aus.png", ":/images/icons/btr_kuehlen_ein.png",
        ":/images/icons/btr_kuehlen_aus.png", ":/images/icons/kamera_gesperrt_grau.png",
        ":/images/icons/kamera_unterbrechung_grau.png", ":/images/icons/kamera_verbinden_grau.png",
        ":/images/icons/kamera_gesperrt_weiss.png", ":/images/icons/kamera_unterbrechung_weiss.png",
        ":/images/icons/kamera_verbinden_weiss.png", ":/images/icons/beschattung_sonne_grau.png",
        ":/images/icons/beschattung_sonne_gelb.png", ":/images/icons/ws_regen_dunkel.png",
        ":/images/icons/ws_kein_regen.png", ":/images/icons/uhr_gr.png", ":/images/icons/uhr_rt.png",
        ":/images/icons/szene_grau.png", ":/images/icons/szene_weiss.png", ":/images/icons/play_re.png",
        ":/images/icons/stop_2.png", ":/images/status/status_connecting.svg", ":/images/status/status_success.svg",
        ":/images/status/status_failure.svg", ":/images/controls/toggle_on.svg",
        ":/images/controls/toggle_off_light.svg", ":/images/controls/toggle_off_dark.svg",
        ":/images/controls/toggle_disabled_light.svg", ":/images/controls/toggle_disabled_dark.svg",
        ":/images/controls/chevron_down_light.svg", ":/images/controls/chevron_down_dark.svg"};
    for (const char* path : paths)
        QTest::newRow(path) << QString::fromLatin1(path);
}

void tst_kv_app_resources::pictures_load()
{
    QFETCH(QString, path);
    if (path.endsWith(QLatin1String(".svg"))) {
        QSvgRenderer renderer(path);
        QVERIFY(renderer.isValid());
        QVERIFY(!renderer.defaultSize().isEmpty());
    } else {
        const QImage image(path);
        QVERIFY(!image.isNull());
        QVERIFY(image.hasAlphaChannel());
    }
}

void tst_kv_app_resources::weather_symbols_cover_every_code()
{
    for (const char* code : {"01", "02", "03", "04", "09", "10", "11", "13", "50"}) {
        for (const char* time_of_day : {"d", "n"}) {
            const QString path = QStringLiteral(":/images/icons/ow_%1%2.png").arg(QLatin1String(code), QLatin1String(time_of_day));
            QVERIFY2(!QImage(path).isNull(), qPrintable(path));
        }
    }
}

void tst_kv_app_resources::fonts_load()
{
    for (const char* font : {":/fonts/Inter-Regular.otf", ":/fonts/Inter-Medium.otf"}) {
        const int id = QFontDatabase::addApplicationFont(QLatin1String(font));
        QVERIFY2(id >= 0, font);
        QVERIFY(QFontDatabase::applicationFontFamilies(id).contains(QStringLiteral("Inter")));
    }
    QVERIFY(QFile::exists(QStringLiteral(":stylesheets/dark_studio.qss")));
}

QTEST_MAIN(tst_kv_app_resources)
#include "tst_kv_app_resources.moc"
