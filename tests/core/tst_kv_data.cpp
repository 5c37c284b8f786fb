#include <QtTest>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <random>

#include "kv_data.h"
#include "kv_settings_clock.h"
#include "kv_trace.h"
#include "records_test_util.h"

namespace {
// A record read with the getters of every kind.
class SampleRecord : public KV_Data {
public:
    int64_t m_tm_modified = 0;
    std::string m_str_name;
    int32_t m_last_page_gui = 0;
    double m_ratio = 0.0;

    std::string encode() override { return m_text; }
    void decode() override
    {
        m_tm_modified = get_time(*this, "m_tm_modified", 42);
        m_str_name = get_string(*this, "m_str_name", "");
        m_last_page_gui = get_int(*this, "m_last_page_gui", 7);
        m_ratio = get_double(*this, "m_ratio", 1.5);
    }
};

struct Lookup {
    std::string key;
    uint32_t index;
};

struct Result {
    bool found;
    std::string value;
    size_t cursor;
    bool operator==(const Result&) const = default;
};

std::vector<Result> run(std::string_view text, const std::vector<Lookup>& lookups)
{
    kv_rewind_search_cursor();
    std::vector<Result> results;
    for (const Lookup& l : lookups) {
        bool found = false;
        const std::string_view value = find_value(text, l.key, l.index, found);
        results.push_back({found, std::string(value), kv_search_cursor()});
    }
    return results;
}
// The first lookup the index answers otherwise than the plain scan, or -1.
int first_difference(std::string_view text, const std::vector<Lookup>& lookups)
{
    const std::vector<Result> scanned = run(text, lookups);
    std::vector<Result> indexed;
    {
        const KV_Text_Index index(text);
        indexed = run(text, lookups);
    }
    for (size_t i = 0; i < scanned.size(); ++i) {
        if (!(indexed[i] == scanned[i]))
            return static_cast<int>(i);
    }
    return -1;
}
} // namespace

class TestKvData : public QObject {
    Q_OBJECT
private slots:
    void fieldBytes()
    {
        QCOMPARE(put_string("m_str_name", "Haus") + put_string("m_str_name", "Haus", 1) + put_string("k", std::string("\0abc", 4)) + put_int("k", -5) +
                     put_uint("k", 4294967295u) + put_double("k", -0.25),
                 std::string("m_str_name\x02Haus\x03m_str_name_1\x02Haus\x03k\x02\x03k\x02-5\x03k\x02"
                             "4294967295\x03k\x02-0.250000\x03"));
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

        const std::string longer(5000, 'b');
        kv_trace::format_line(line, sizeof line, 0, 4, "%s", longer.c_str());
        QCOMPARE(QString(line).section('\t', 2).size(), 4063);
    }
    // The key index must give exactly the answers of the plain scan: the first
    // occurrence at or after the cursor, else the first from the start, with
    // needles matched as plain substrings (a key may end another key).
    void index_answers_like_the_scan()
    {
        const std::vector<std::string> keys = {"m_typ",          "xx_m_typ",        "clock_1_m_typ", "m_str_name_long",
                                               "a_m_str_name_long", "m_list_param.m_use_it", "m_addr_listen", "m_value"};
        std::mt19937 random(7);
        for (int round = 0; round < 40; ++round) {
            std::string text;
            const int fields = 200 + static_cast<int>(random() % 2000);
            for (int f = 0; f < fields; ++f) {
                const std::string& key = keys[random() % keys.size()];
                const uint32_t index = random() % 3 == 0 ? KV_NO_INDEX : random() % 12;
                std::string value = std::to_string(random() % 1000);
                if (random() % 50 == 0)
                    value += std::string("\x02") + keys[random() % keys.size()]; // stray 0x02 in a value
                if (random() % 80 == 0)
                    value += std::string(70000, 'v'); // past the size where decoding indexes
                text += (index == KV_NO_INDEX ? put_string(key, value) : put_string(key, value, index));
            }
            std::vector<Lookup> lookups;
            for (int l = 0; l < 300; ++l)
                lookups.push_back({keys[random() % keys.size()], random() % 3 == 0 ? KV_NO_INDEX : uint32_t(random() % 14)});

            const int differs = first_difference(text, lookups);
            QVERIFY2(differs < 0, qPrintable(QString("round %1 lookup %2").arg(round).arg(differs)));
        }
    }

    void in_order_reads_answer_like_the_scan()
    {
        // Decoders ask for the fields in the order they were written, which
        // the index answers from its marks; among them stand missing keys,
        // keys that end other keys, values with a stray 0x02, a field cut
        // before its 0x03 and keys holding 0x02 or 0x03 themselves.
        const std::vector<std::string> keys = {"m_typ", "xx_m_typ", "m_list_param.m_use_it", "m_str_name",
                                               std::string("m_\x03x"), std::string("k\x02")};
        std::mt19937 random(11);
        for (int round = 0; round < 200; ++round) {
            std::string text;
            std::vector<Lookup> written;
            const int fields = 1 + static_cast<int>(random() % 40);
            for (int f = 0; f < fields; ++f) {
                const Lookup field{keys[random() % keys.size()], random() % 2 ? KV_NO_INDEX : uint32_t(random() % 12)};
                std::string value = std::to_string(random() % 100);
                if (random() % 15 == 0)
                    value += "\x02" + keys[random() % 4];
                else if (random() % 15 == 0)
                    value = keys[random() % 4] + "\x02" + value; // a value posing as a field
                text += put_string(field.key, value, field.index);
                written.push_back(field);
            }
            if (random() % 4 == 0)
                text.resize(text.size() - 1 - random() % 3);
            std::vector<Lookup> lookups;
            for (const Lookup& field : written) {
                if (random() % 6 == 0)
                    lookups.push_back({keys[random() % keys.size()], uint32_t(random() % 14)});
                if (random() % 8 != 0)
                    lookups.push_back(field);
            }
            const int differs = first_difference(text, lookups);
            QVERIFY2(differs < 0, qPrintable(QString("round %1 lookup %2").arg(round).arg(differs)));
        }
    }

    void nested_indexes_keep_their_own_marks()
    {
        // A record decoded while another one is being decoded (an index
        // inside an index) must leave the outer one's answers intact; an
        // index answers for its own text only.
        const std::string outer = put_int("m_typ", 1) + put_string("m_str_name", "aussen") + put_int("m_x_position", 3);
        const KV_Text_Index outer_index(outer);
        kv_rewind_search_cursor();
        bool found = false;
        QCOMPARE(find_value(outer, "m_typ", KV_NO_INDEX, found), std::string_view("1"));
        {
            std::string inner;
            for (int i = 0; i < 300; ++i)
                inner += put_int("m_list_param.m_use_it", i, uint32_t(i));
            const KV_Text_Index inner_index(inner);
            QCOMPARE(find_value(inner, "m_list_param.m_use_it", 299, found), std::string_view("299"));
        }
        kv_rewind_search_cursor();
        QCOMPARE(find_value(outer, "m_typ", KV_NO_INDEX, found), std::string_view("1"));
        QCOMPARE(find_value(outer, "m_str_name", KV_NO_INDEX, found), std::string_view("aussen"));
        QCOMPARE(find_value(outer, "m_x_position", KV_NO_INDEX, found), std::string_view("3"));
        QVERIFY(found);
        // A text of the same size elsewhere is not the indexed one.
        const std::string other = put_int("m_typ", 1) + put_string("m_str_name", "aussen") + put_int("m_y_position", 3);
        find_value(other, "m_x_position", KV_NO_INDEX, found);
        QVERIFY(!found);
    }

    void big_record_decodes_like_small_one()
    {
        // A clock list of a few megabytes goes through the index; the same
        // record read field by field without it must agree.
        KV_Settings_Clock clocks;
        for (int c = 0; c < 120; ++c) {
            KV_Settings_Clock::Clock clock;
            clock.m_str_name = "Uhr " + std::to_string(c);
            clock.m_list_time.resize(c % 7 + 1);
            clock.m_list_time.back().m_hour = c % 24;
            clocks.m_list_clock.push_back(clock);
        }
        const std::string text = clocks.encode();
        QVERIFY(text.size() > 64 * 1024);

        KV_Settings_Clock via_index;
        via_index.set_text(text);
        KV_Settings_Clock plain;
        plain.m_text = text;
        plain.decode();
        QCOMPARE(via_index.encode(), plain.encode());
        QCOMPARE(via_index.encode(), text);
    }
};

QTEST_GUILESS_MAIN(TestKvData)
#include "tst_kv_data.moc"
