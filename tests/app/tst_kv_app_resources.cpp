// Every picture, font and style sheet compiled into the app loads, and the
// weather symbols the controls name by code are there.

#include <QDirIterator>
#include <QFontDatabase>
#include <QImage>
#include <QSvgRenderer>
#include <QTest>

#include "kv_style.h"

class tst_kv_app_resources : public QObject
{
    Q_OBJECT

private slots:
    void every_picture_loads()
    {
        int pictures = 0;
        for (QDirIterator it(QStringLiteral(":/images"), QDir::Files, QDirIterator::Subdirectories); it.hasNext();
             ++pictures) {
            const QString path = it.next();
            if (path.endsWith(QLatin1String(".svg"))) {
                QSvgRenderer renderer(path);
                QVERIFY2(renderer.isValid() && !renderer.defaultSize().isEmpty(), qPrintable(path));
            } else {
                QVERIFY2(!QImage(path).isNull(), qPrintable(path));
            }
        }
        QVERIFY(pictures >= 56);
        // The weather symbols by code, by day and by night.
        for (const char* code : {"01", "02", "03", "04", "09", "10", "11", "13", "50"})
            for (const char* time_of_day : {"d", "n"})
                QVERIFY2(!QImage(QStringLiteral(":/images/icons/ow_") + code + time_of_day + ".png").isNull(), code);
    }

    void fonts_and_style_sheets_load()
    {
        for (const char* font : {":/fonts/Inter-Regular.otf", ":/fonts/Inter-Medium.otf"})
            QVERIFY2(QFontDatabase::addApplicationFont(QLatin1String(font)) >= 0, font);
        for (const QString& sheet : {kv_app_style_path(KV_STYLE_LIGHT), kv_app_style_path(KV_STYLE_DARK),
                                     QStringLiteral(":stylesheets/dark_studio.qss")})
            QVERIFY2(!kv_read_style_sheet(sheet).isEmpty(), qPrintable(sheet));
    }
};

QTEST_MAIN(tst_kv_app_resources)
#include "tst_kv_app_resources.moc"
