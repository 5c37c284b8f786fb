#include <QtTest>

#include <random>

#include "kv_data.h"
#include "kv_settings_clock.h"

namespace {
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

// The key index must give exactly the answers of the plain scan: the first
// occurrence at or after the cursor, else the first from the start, with
// needles matched as plain substrings (a key may end another key).
class TestKvDataIndex : public QObject {
    Q_OBJECT
private slots:
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
        // inside an index) must leave the outer one's answers intact.
        const std::string outer = put_int("m_typ", 1) + put_string("m_str_name", "aussen") + put_int("m_x", 3);
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
        QCOMPARE(find_value(outer, "m_x", KV_NO_INDEX, found), std::string_view("3"));
        QVERIFY(found);
    }

    void index_applies_to_its_own_text_only()
    {
        const std::string text = put_string("m_str_name_long", "a");
        const std::string other = text; // same bytes, other address
        const KV_Text_Index index(text);
        kv_rewind_search_cursor();
        bool found = false;
        QCOMPARE(find_value(other, "m_str_name_long", KV_NO_INDEX, found), std::string_view("a"));
        QVERIFY(found);
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

QTEST_GUILESS_MAIN(TestKvDataIndex)
#include "tst_kv_data_index.moc"
