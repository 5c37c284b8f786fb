#include <QtTest>

#include <clocale>
#include <cmath>
#include <cstdlib>

#include "kv_data.h"
#include "kv_trace.h"
#include "records_test_util.h"

namespace {
// A record with the key order of the format examples.
class SampleRecord : public KV_Data {
public:
    int64_t m_tm_modified = 0;
    std::string m_str_name;
    int32_t m_last_page_gui = 0;
    double m_ratio = 0.0;

    std::string encode() override
    {
        m_text.clear();
        m_text += put_double("m_tm_modified", static_cast<double>(m_tm_modified));
        m_text += put_string("m_str_name", m_str_name);
        m_text += put_int("m_last_page_gui", m_last_page_gui);
        return m_text;
    }
    void decode() override
    {
        m_tm_modified = get_time(*this, "m_tm_modified", 42);
        m_str_name = get_string(*this, "m_str_name", "");
        m_last_page_gui = get_int(*this, "m_last_page_gui", 7);
        m_ratio = get_double(*this, "m_ratio", 1.5);
    }
};
} // namespace

class TestKvData : public QObject {
    Q_OBJECT
private slots:
    void fieldBytes()
    {
        const std::string f = put_string("m_str_name", "Haus");
        const unsigned char expected[] = {0x6D, 0x5F, 0x73, 0x74, 0x72, 0x5F, 0x6E, 0x61,
                                          0x6D, 0x65, 0x02, 0x48, 0x61, 0x75, 0x73, 0x03};
        QCOMPARE(f.size(), sizeof expected);
        QVERIFY(memcmp(f.data(), expected, sizeof expected) == 0);
        QCOMPARE(put_string("m_str_name", "Haus", 1) + put_string("k", std::string("\0abc", 4)) + put_int("k", -5) +
                     put_uint("k", 4294967295u) + put_double("k", -0.25),
                 std::string("m_str_name_1\x02Haus\x03k\x02\x03k\x02-5\x03k\x02" "4294967295\x03k\x02-0.250000\x03"));
        const unsigned char bytes[] = {0x0A, 0x1B, 0xFF};
        QCOMPARE(bytes_to_hex(bytes, 3), std::string("0A1BFF"));
    }

    void recordEncodesInKeyOrder()
    {
        SampleRecord r;
        r.m_tm_modified = 1700000000;
        r.m_str_name = "Haus";
        r.m_last_page_gui = 3;
        const std::string expected =
            fld("m_tm_modified", "1700000000.000000") + fld("m_str_name", "Haus") + fld("m_last_page_gui", "3");
        QCOMPARE(r.encode(), expected);
        QCOMPARE(r.m_text, expected);
    }

    void decodeDefaultsAndOrder()
    {
        SampleRecord empty;
        empty.set_text("");
        QCOMPARE(empty.m_tm_modified, int64_t(42));
        QCOMPARE(empty.m_ratio, 1.5);

        SampleRecord shuffled;
        shuffled.set_text(fld("m_last_page_gui", "3") + fld("m_unknown", "x") + fld("m_str_name", "Haus") +
                          fld("m_tm_modified", "1700000000.9"));
        QCOMPARE(shuffled.m_tm_modified, int64_t(1700000000));
        QCOMPARE(shuffled.m_str_name, std::string("Haus"));
        QCOMPARE(shuffled.m_last_page_gui, 3);

        shuffled.reset();
        QCOMPARE(shuffled.m_last_page_gui, 7);
        QCOMPARE(kv_search_cursor(), size_t(0));
    }

    void conversions_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("asInt");
        QTest::addColumn<double>("asDouble");
        QTest::newRow("empty gives defaults") << "" << -1 << -2.0;
        QTest::newRow("hex is not read") << "0x10" << 0 << 0.0;
        QTest::newRow("trailing junk") << "12x" << 12 << 12.0;
        QTest::newRow("blanks and sign") << "  -7.5e1z" << -7 << -75.0;
        QTest::newRow("unsigned wraps like atoi") << "4294967295" << -1 << 4294967295.0;
        QTest::newRow("huge saturates like strtol") << "-44444444444444444444444" << 0 << -4.4444444444444444e22;
        QTest::newRow("double sign") << "--5" << 0 << 0.0;
        QTest::newRow("tenth") << "0.100000" << 0 << 0.1;
        QTest::newRow("inf is no number") << "inf" << 0 << 0.0;
        QTest::newRow("nan is no number") << "-nan" << 0 << 0.0;
        QTest::newRow("too large") << "1.5e999" << 1 << HUGE_VAL;
        QTest::newRow("too small") << "-2.5e-400" << -2 << -0.0;
    }
    void conversions()
    {
        QFETCH(QString, value);
        QFETCH(int, asInt);
        QFETCH(double, asDouble);
        KV_Data r(fld("i", value.toStdString()) + fld("d", value.toStdString()) + fld("s", ""));
        QCOMPARE(get_int(r, "i", -1), asInt);
        QCOMPARE(get_double(r, "d", -2.0), asDouble);
        // Key present with an empty value: the empty string, not the default.
        QCOMPARE(get_string(r, "s", "dflt"), std::string());
        QCOMPARE(get_string(r, "missing", "dflt"), std::string("dflt"));
    }

    // Numbers read and write the same under a locale with a decimal comma.
    void numbersIgnoreTheLocale()
    {
        QTemporaryDir dir;
        QProcess localedef;
        localedef.start("localedef", {"-i", "de_DE", "-f", "UTF-8", dir.filePath("de_DE.UTF-8")});
        if (!localedef.waitForFinished(30000) || localedef.exitCode() != 0)
            QSKIP("no German locale can be built here (package locales)");
        qputenv("LOCPATH", dir.path().toLocal8Bit());
        QVERIFY(setlocale(LC_NUMERIC, "de_DE.UTF-8"));
        QCOMPARE(std::strtod("1,5", nullptr), 1.5); // the comma locale is in force
        KV_Data r(fld("big", "1.5e999") + fld("half", "0.5"));
        const double big = get_double(r, "big", 0.0);
        const double half = get_double(r, "half", 0.0);
        const std::string written = put_double("k", 0.5);
        setlocale(LC_NUMERIC, "C");
        QCOMPARE(big, HUGE_VAL);
        QCOMPARE(half, 0.5);
        QCOMPARE(written, fld("k", "0.500000"));
    }

    void malformedFields()
    {
        // 0x03 inside a value cuts it; a field cut before its 0x03 is missing.
        KV_Data cut(std::string("a\x02") + "one\x03two\x03" + "b\x02unterminated");
        QCOMPARE(get_string(cut, "a", "d"), std::string("one"));
        QCOMPARE(get_string(cut, "b", "d"), std::string("d"));
        QCOMPARE(get_int(cut, "b", 5), 5);
        // The search is not anchored: a key that ends another key still matches.
        KV_Data suffix(fld("xm_str_name", "inner"));
        QCOMPARE(get_string(suffix, "m_str_name", ""), std::string("inner"));
        // First occurrence after the cursor wins, else the first from the start.
        KV_Data twice(fld("a", "1") + fld("b", "2") + fld("a", "3"));
        kv_rewind_search_cursor();
        QCOMPARE(get_string(twice, "a", ""), std::string("1"));
        QCOMPARE(get_string(twice, "b", ""), std::string("2"));
        QCOMPARE(get_string(twice, "a", ""), std::string("3"));
    }

    void hexBytes()
    {
        unsigned char buf[4] = {0xEE, 0xEE, 0xEE, 0xEE};
        QCOMPARE(hex_to_bytes("0a1BffF", buf, sizeof buf), size_t(3));
        QCOMPARE(bytes_to_hex(buf, 4), std::string("0A1BFFEE"));
        QCOMPARE(hex_to_bytes("0102030405", buf, 2), size_t(2));
    }

    // Each pair of characters reads as strtol with base 16 reads it (blanks,
    // signs, a stop at the first non-digit), for every pair of byte values.
    void hexPairsReadLikeStrtol()
    {
        for (int first = 0; first < 256; ++first) {
            for (int second = 0; second < 256; ++second) {
                const char pair[3] = {char(first), char(second), 0};
                unsigned char byte = 0;
                hex_to_bytes(std::string_view(pair, 2), &byte, 1);
                const auto expected = static_cast<unsigned char>(std::strtol(pair, nullptr, 16));
                if (byte != expected)
                    QFAIL(qPrintable(QString("pair %1 %2: %3, strtol %4").arg(first).arg(second).arg(byte).arg(expected)));
            }
        }
    }

    void traceLine()
    {
        char line[8192];
        kv_trace::format_line(line, sizeof line, 1, 2, "SQLITE: %s\n", "boom");
        const QString text = QString::fromUtf8(line);
        const QStringList parts = text.split('\t');
        QCOMPARE(parts.size(), 3);
        QCOMPARE(parts[0], QString("ERR:SERVER     "));
        QVERIFY(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d:\\d\\d\\d$").match(parts[1]).hasMatch());
        QCOMPARE(parts[2], QString("SQLITE: boom\n"));

        for (int unknown : {0, 8, 9, 10, 12, 34, -1})
            QCOMPARE(kv_trace::category_name(unknown), "UNKNOWN");
        QCOMPARE(kv_trace::category_name(7), "WEBSVR");
        QCOMPARE(kv_trace::category_name(11), "LOGGER");
        QCOMPARE(kv_trace::category_name(13), "MODBUS_MA");
        QCOMPARE(kv_trace::category_name(33), "ANALYTICS_INF");
        kv_trace::format_line(line, sizeof line, 2, 33, "x");
        QVERIFY(QString(line).startsWith("MSG:ANALYTICS_INF\t"));

        const std::string exact(4063, 'a');
        kv_trace::format_line(line, sizeof line, 0, 4, "%s", exact.c_str());
        QVERIFY(QString(line).endsWith(QString(4063, 'a')));
        QVERIFY(!QString(line).endsWith(QString(4064, 'a')));
        const std::string longer(5000, 'b');
        kv_trace::format_line(line, sizeof line, 0, 4, "%s", longer.c_str());
        QCOMPARE(QString(line).section('\t', 2).size(), 4063);
    }
};

QTEST_GUILESS_MAIN(TestKvData)
#include "tst_kv_data.moc"
