#include <QtTest>

#include "kv_language_table.h"

class TestLanguageTable : public QObject {
    Q_OBJECT
private slots:
    void lookup_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("entry");
        QTest::newRow("de") << "de" << "de;Deutsch;Deutsch;";
        QTest::newRow("en") << "en" << "en;Englisch;English;";
        QTest::newRow("fr") << "fr" << QString::fromUtf8("fr;Französisch;Français;");
        QTest::newRow("first") << "aa" << "aa;Afar;Afaraf;";
        QTest::newRow("last") << "zu" << "zu;Zulu;isiZulu;";
        QTest::newRow("no native name") << "am" << "am;Amharisch;";
        QTest::newRow("unknown") << "xx" << "00;00;00";
        QTest::newRow("upper case") << "DE" << "00;00;00";
        QTest::newRow("empty") << "" << "00;00;00";
        QTest::newRow("half a code") << "d" << "00;00;00";
        QTest::newRow("longer") << "deu" << "00;00;00";
    }

    void lookup()
    {
        QFETCH(QString, code);
        QFETCH(QString, entry);
        QCOMPARE(kv_language_lookup(code), entry);
    }

    // Every two-letter code gives its own entry in the fixed form, or the
    // unknown marker; about 140 languages are known.
    void every_entry_has_the_fixed_form()
    {
        const QRegularExpression form(QStringLiteral("^([a-z]{2});[^;]+;([^;]+;)?$"));
        int known = 0;
        for (char a = 'a'; a <= 'z'; ++a) {
            for (char b = 'a'; b <= 'z'; ++b) {
                const QString code = QString(QChar(a)) + QChar(b);
                const QString entry = kv_language_lookup(code);
                if (entry == QLatin1String("00;00;00"))
                    continue;
                const QRegularExpressionMatch match = form.match(entry);
                QVERIFY2(match.hasMatch(), qPrintable(entry));
                QCOMPARE(match.captured(1), code);
                ++known;
            }
        }
        QVERIFY2(known >= 130 && known <= 184, qPrintable(QString::number(known)));
    }
};

QTEST_GUILESS_MAIN(TestLanguageTable)
#include "tst_kv_language_table.moc"
