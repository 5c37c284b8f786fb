#pragma once
// Helpers of the record tests: texts written compactly, a field dropped, the round trip.

#include <QtTest>

#include <algorithm>
#include <string>

// One field: key, 0x02, value, 0x03.
inline std::string fld(const std::string& key, const std::string& value)
{
    return key + '\x02' + value + '\x03';
}

// "k1=v1|k2=v2" as fields, each key behind `prefix`.
inline std::string fields(const std::string& list, const std::string& prefix = "")
{
    std::string out;
    for (size_t start = 0, end; start < list.size(); start = end + 1) {
        end = std::min(list.find('|', start), list.size());
        const size_t eq = list.find('=', start);
        out += fld(prefix + list.substr(start, eq - start), list.substr(eq + 1, end - eq - 1));
    }
    return out;
}

// The text without the field `key`.
inline std::string drop_field(const std::string& text, const std::string& key)
{
    std::string out;
    for (size_t start = 0, end; start < text.size(); start = end) {
        end = std::min(text.find('\x03', start), text.size() - 1) + 1;
        if (text.compare(start, key.size() + 1, key + '\x02') != 0)
            out.append(text, start, end - start);
    }
    return out;
}

inline bool has_key(const std::string& text, const std::string& key)
{
    return text.rfind(key + '\x02', 0) == 0 || text.find('\x03' + key + '\x02') != std::string::npos;
}

// Decode and encode of one record type, for data-driven round trips.
struct Codec {
    std::string (*reencode)(const std::string& text);
    std::string (*fresh)(); // a default-constructed record's text
};
Q_DECLARE_METATYPE(Codec)
Q_DECLARE_METATYPE(std::string)

inline void round_trip_columns()
{
    QTest::addColumn<Codec>("codec");
    QTest::addColumn<std::string>("text");     // a filled record's encoding
    QTest::addColumn<std::string>("expected"); // its exact text where given
    QTest::addColumn<std::string>("key");      // a key the text must hold where given
}

template <class R>
void round_trip_row(const char* name, R& record, const std::string& expected = {}, const std::string& key = {})
{
    const Codec codec{[](const std::string& text) { return R(text).encode(); }, [] { return R().encode(); }};
    QTest::newRow(name) << codec << record.encode() << expected << key;
}

// A record decoded from its exact text encodes to that text again.
template <class R>
void exact_row(const char* name, const std::string& expected)
{
    R record(expected);
    round_trip_row(name, record, expected);
}

// Encode, decode, encode gives the same text; an empty text decodes to the
// defaults a new record holds.
inline void verify_round_trip()
{
    QFETCH(Codec, codec);
    QFETCH(std::string, text);
    QFETCH(std::string, expected);
    QFETCH(std::string, key);
    if (!expected.empty())
        QCOMPARE(text, expected);
    if (!key.empty())
        QVERIFY2(has_key(text, key), key.c_str());
    QCOMPARE(codec.reencode(text), text);
    QCOMPARE(codec.reencode(std::string()), codec.fresh());
}

// A record read from the fields `text` ("k=v|..."), for checking what it writes.
template <class R>
void default_row(const char* name, const std::string& text, const std::string& expected)
{
    const Codec codec{[](const std::string& t) { return R(t).encode(); }, [] { return R().encode(); }};
    QTest::newRow(name) << codec << (text.empty() ? std::string() : fields(text)) << expected;
}
