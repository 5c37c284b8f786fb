// Display text of address values: offset before factor, the integer rules of
// printf formats, time, date and string types, and rejected formats.

#include <QtTest>

#include "kv_fake_host.h"
#include "kv_gui_control.h"
#include "kv_gui_format.h"

class tst_kv_gui_format : public QObject {
    Q_OBJECT

private:
    static KV_Addr_Db address(uint32_t type, double value, bool is_signed = false)
    {
        KV_Addr_Db record;
        record.m_addr_write = {1, 1, 1};
        record.m_data_typ = type;
        record.m_data_signed = is_signed ? 1 : 0;
        set_value_from_double(record, value);
        return record;
    }

private slots:
    void number_formats_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("is_signed");
        QTest::addColumn<QString>("format");
        QTest::addColumn<double>("factor");
        QTest::addColumn<double>("offset");
        QTest::addColumn<QString>("expected");
        QTest::newRow("offset before factor") << 10 << 5.0 << false << QString() << 2.0 << 10.0 << "30";
        QTest::newRow("factor 0 unscaled") << 10 << 5.0 << false << QString() << 0.0 << 10.0 << "15";
        QTest::newRow("%d on float type") << 5 << 21.7 << false << "%d" << 1.0 << 0.0 << "21";
        QTest::newRow("%d negative float") << 5 << -3.7 << false << "%d" << 1.0 << 0.0 << "-3";
        QTest::newRow("unsigned 200") << 14 << 200.0 << false << "%d" << 1.0 << 0.0 << "200";
        QTest::newRow("%u full 32 bit") << 11 << 4294967295.0 << false << "%u" << 1.0 << 0.0 << "4294967295";
        QTest::newRow("signed with unit") << 11 << -5.0 << true << "%d W" << 1.0 << 0.0 << "-5 W";
        // An unsigned address offset below zero wraps like the 32-bit value it is.
        QTest::newRow("unsigned wraps") << 14 << 0.0 << false << "%u" << 1.0 << -1.0 << "4294967295";
        QTest::newRow("%.1f °C") << 9 << 21.456 << false << "%.1f °C" << 1.0 << 0.0 << "21.5 °C";
        QTest::newRow("width and %%") << 9 << 21.456 << false << "Temp %05.2f%%" << 1.0 << 0.0 << "Temp 21.46%";
        // Without an "f" the value goes in as an integer, with one as a double,
        // whatever the conversion letter.
        QTest::newRow("%e without f") << 9 << 21.7 << false << "%e" << 1.0 << 0.0 << "2.100000e+01";
        QTest::newRow("%g without f") << 9 << -21.7 << false << "%g" << 1.0 << 0.0 << "-21";
        QTest::newRow("%g unsigned wraps") << 14 << 0.0 << false << "%g" << 1.0 << -1.0 << "4.29497e+09";
        QTest::newRow("%d fach") << 9 << -21.7 << false << "%d fach" << 1.0 << 0.0 << "-21 fach";
        QTest::newRow("%e with f") << 9 << 21.7 << false << "%.1e fach" << 1.0 << 0.0 << "2.2e+01 fach";
        for (const char* format : {"%s", "%d %d", "%n", "%*d", "%ld", "100%"})
            QTest::newRow(format) << 9 << 2.5 << false << format << 1.0 << 0.0 << "2.5";
    }
    void number_formats()
    {
        QFETCH(int, type);
        QFETCH(double, value);
        QFETCH(bool, is_signed);
        QFETCH(QString, format);
        QFETCH(double, factor);
        QFETCH(double, offset);
        const KV_Addr_Db record = address(type, value, is_signed);
        QTEST(kv_format_address_value(&record, format, factor, offset), "expected");
    }

    void time_date_and_text_ignore_format()
    {
        KV_Addr_Db time = address(3, 0);
        time.m_data[0] = 0x6C; // weekday bits set, hour 12
        time.m_data[1] = 5;
        QCOMPARE(kv_format_address_value(&time, QStringLiteral("%.1f"), 2, 10), QStringLiteral("12:05"));
        KV_Addr_Db date = address(4, 0);
        date.m_data[0] = 6;
        date.m_data[1] = 3;
        date.m_data[2] = 26;
        QCOMPARE(kv_format_address_value(&date, QString(), 1, 0), QStringLiteral("06.03.2026"));
        KV_Addr_Db text = address(15, 0);
        set_value_from_text(text, "Störung");
        QCOMPARE(kv_format_address_value(&text, QStringLiteral("%d"), 3, 1), QStringLiteral("Störung"));
    }

    void control_entries_through_the_tree()
    {
        KV_Test_Page p;
        set_value_from_double(*p.host.add_address({1, 2, 3}, 14), 7);
        p.add(1, "{c}", {{1, 2, 3}, {9, 9, 9}});
        const CKV_Gui_Control& control = *p.build()->controls().at(0);
        QCOMPARE(format_value(control, 0, QStringLiteral("%d"), 2, 1), QStringLiteral("16"));
        // Missing address (traced) and missing entry both read as 0.
        QCOMPARE(format_value(control, 1, QString(), 2, 1), QStringLiteral("2"));
        QCOMPARE(format_value(control, 5, QStringLiteral("%d"), 1, 3), QStringLiteral("3"));
    }
};

QTEST_MAIN(tst_kv_gui_format)
#include "tst_kv_gui_format.moc"
