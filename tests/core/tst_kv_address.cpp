#include <QtTest>

#include "kv_address.h"

Q_DECLARE_METATYPE(KV_Group_Address)

class TestKvAddress : public QObject {
    Q_OBJECT
private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("slashes") << "1/2/3" << "1/2/3";
        QTest::newRow("dots") << "1.2.3" << "1/2/3";
        QTest::newRow("leading blank, blanks") << " 1 2 3" << "1/2/3";
        QTest::newRow("dashes are foreign") << "1-2-3" << "0/0/0";
        QTest::newRow("fourth part ignored") << "1/2/3/4" << "1/2/3";
        QTest::newRow("junk after closed third part ignored") << "1/2/3 x" << "1/2/3";
        QTest::newRow("junk inside a part") << "1/2/3x" << "0/0/0";
        QTest::newRow("two-level splits subgroup") << "2/1000" << "2/3/232";
        QTest::newRow("one part") << "7" << "7/0/0";
        QTest::newRow("empty") << "" << "0/0/0";
        QTest::newRow("empty parts") << "//5" << "0/0/5";
        QTest::newRow("largest number") << "2147483647/0/1" << "2147483647/0/1";
        QTest::newRow("number text cannot give back") << "2147483648/0/1" << "0/0/0";
        QTest::newRow("forty digits") << QString(40, '9') + "/1/1" << "0/0/0";
        QTest::newRow("eleven digits with zeros") << "00000000001/1/1" << "0/0/0";
    }
    void parse()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(QString::fromStdString(address_to_text(address_from_text(text.toStdString()))), expected);
    }

    void format()
    {
        QCOMPARE(address_to_text({1, 2, 3}, '.'), std::string("1.2.3"));
    }
};

QTEST_GUILESS_MAIN(TestKvAddress)
#include "tst_kv_address.moc"
