#include <QtTest>

#include "kv_language_file.h"
#include "kv_language_table.h"
#include "kv_test_language_file.h"

namespace {
bool decode(const QByteArray& bytes, QStringList& out)
{
    return kv_decode_string_list(reinterpret_cast<const unsigned char*>(bytes.constData()), size_t(bytes.size()), out);
}

bool decode(const QByteArray& bytes, KV_Language_Entries& out)
{
    return kv_decode_language_file(reinterpret_cast<const unsigned char*>(bytes.constData()), size_t(bytes.size()),
                                   out);
}

QByteArray be32(quint32 v)
{
    QByteArray out;
    QDataStream(&out, QIODevice::WriteOnly) << v;
    return out;
}
} // namespace

class TestLanguageFile : public QObject {
    Q_OBJECT
private slots:
    // Whatever the toolkit writes as a string list comes back unchanged,
    // null strings included.
    void reads_the_toolkit_encoding()
    {
        const QStringList strings = {QStringLiteral("A"), QString(), QString(""),
                                     QString::fromUtf8("Grüße € \xF0\x9F\x8F\xA0"), QStringLiteral("a\nb\tc\\n")};
        QStringList out;
        QVERIFY(decode(lng_bytes(strings), out));
        QCOMPARE(out, strings);
        QVERIFY(out[1].isNull());
        QVERIFY(!out[2].isNull());

        QVERIFY(decode(lng_bytes({}), out));
        QVERIFY(out.isEmpty());
    }

    void splits_entries_at_the_separator()
    {
        const QStringList strings = {
            lng_entry("Küche", "Kitchen"),
            QStringLiteral("ohne Trenner"),
            QString(),
            lng_entry("Bad", "Bath") + QChar(0x0002) + "dritter Teil",
            lng_entry("leer", ""),
            lng_entry("", "ohne Quelle"),
        };
        KV_Language_Entries entries;
        QVERIFY(decode(lng_bytes(strings), entries));
        QCOMPARE(entries.sources, QStringList({"Küche", "Bad", "leer", ""}));
        QCOMPARE(entries.translations, QStringList({"Kitchen", "Bath", "", "ohne Quelle"}));
    }

    // A cut-off file is rejected whole at every length, never read past its end.
    void truncated_files_are_rejected()
    {
        const QByteArray full = lng_bytes({lng_entry("Wohnen", "Living"), QString(), lng_entry("Flur", "Hall")});
        for (qsizetype n = 0; n < full.size(); ++n) {
            KV_Language_Entries entries;
            entries.sources << "alt";
            QVERIFY2(!decode(full.left(n), entries), qPrintable(QString::number(n)));
            QVERIFY(entries.sources.isEmpty());
            QVERIFY(entries.translations.isEmpty());
        }
    }

    void lying_counts_lengths_and_tails_are_rejected()
    {
        QStringList out;
        // Four billion strings announced, none there.
        QVERIFY(!decode(be32(0xFFFFFFFFu), out));
        // One string of nearly 4 GB announced, 2 bytes there.
        QVERIFY(!decode(be32(1) + be32(0xFFFFFFFEu) + QByteArray(2, 'a'), out));
        // Odd byte length: not UTF-16.
        QVERIFY(!decode(be32(1) + be32(3) + QByteArray(3, 'a'), out));
        // Bytes after the list.
        QVERIFY(!decode(lng_bytes({lng_entry("A", "B")}) + QByteArray(1, '\0'), out));
        QVERIFY(out.isEmpty());
    }

    void escapes_become_line_breaks_and_tabs()
    {
        QCOMPARE(kv_unescape_translation("Zeile 1\\nZeile 2\\tx"), QString("Zeile 1\nZeile 2\tx"));
        // Every backslash-t is a tab, even where a path was meant.
        QCOMPARE(kv_unescape_translation("C:\\temp"), QString("C:\temp"));
        QCOMPARE(kv_unescape_translation("a\\b\\"), QString("a\\b\\"));
        QCOMPARE(kv_unescape_translation("real\nbreak"), QString("real\nbreak"));
    }

    // Language codes to table entries: a code's beginning finds the first
    // match, an unknown or upper-case code the placeholder.
    void language_table_lookup()
    {
        const std::pair<const char*, const char*> cases[] = {
            {"de", "de;Deutsch;Deutsch;"},  {"fr", "fr;Französisch;Français;"}, {"zu", "zu;Zulu;isiZulu;"},
            {"am", "am;Amharisch;"},        {"xx", "00;00;00"},                 {"DE", "00;00;00"},
            {"d", "da;Dänisch;Dansk;"},     {"", "aa;Afar;Afaraf;"},
        };
        for (const auto& [code, entry] : cases)
            QCOMPARE(kv_language_lookup(QString::fromUtf8(code)), QString::fromUtf8(entry));
    }
};

QTEST_GUILESS_MAIN(TestLanguageFile)
#include "tst_kv_language_file.moc"
