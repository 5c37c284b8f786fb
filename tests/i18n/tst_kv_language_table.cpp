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
        QTest::newRow("fr") << "fr" << QString::fromUtf8("fr;Französisch;Français;");
        QTest::newRow("last") << "zu" << "zu;Zulu;isiZulu;";
        QTest::newRow("no native name") << "am" << "am;Amharisch;";
        QTest::newRow("unknown") << "xx" << "00;00;00";
        QTest::newRow("upper case") << "DE" << "00;00;00";
        QTest::newRow("beginning of a code") << "d" << QString::fromUtf8("da;Dänisch;Dansk;");
        QTest::newRow("empty: the first entry") << "" << "aa;Afar;Afaraf;";
    }

    void lookup()
    {
        QFETCH(QString, code);
        QFETCH(QString, entry);
        QCOMPARE(kv_language_lookup(code), entry);
    }
};

QTEST_GUILESS_MAIN(TestLanguageTable)
#include "tst_kv_language_table.moc"
