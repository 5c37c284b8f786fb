#include <QtTest>

#include "kv_gui_translator.h"
#include "kv_project_db.h"
#include "kv_test_language_file.h"

class TestGuiTranslator : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    CKV_Project_Db m_db;

    void store(const std::string& name, const QByteArray& bytes) { QVERIFY(m_db.put_file(name, {bytes.begin(), bytes.end()})); }

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(m_db.load(m_dir.filePath("sprachen.kvp").toStdString()));
    }

    void cleanup()
    {
        m_db.close_project();
        QFile::remove(m_dir.filePath("sprachen.kvp"));
    }

    // Sources match exactly as stored, the first occurrence wins, and an
    // empty translation is one; translations are unescaped.
    void first_occurrence_wins_and_sources_match_exactly()
    {
        store("fr.lng", lng_bytes({lng_entry("Küche", "Cuisine"), lng_entry("Küche", "Coin cuisine"),
                                   lng_entry("Haus\nSonnenhang", "Sunny Slope\\nHouse"),
                                   lng_entry("Wert\\nText", "escaped source"), lng_entry("Keller", "")}));
        CKV_GUITranslator translator(m_db);
        QVERIFY(translator.load("", "fr"));
        QCOMPARE(translator.translate_text("Küche"), QString("Cuisine"));
        QCOMPARE(translator.translate_text("Keller"), QString(""));
        QCOMPARE(translator.translate_text("Haus\nSonnenhang"), QString("Sunny Slope\nHouse"));
        QCOMPARE(translator.translate_text("Wert\\nText"), QString("escaped source"));
        // Case, blanks, unknown texts and a real line break for the escape stay as they are.
        for (const char* kept : {"küche", "Küche ", "Garten", "Wert\nText", ""})
            QCOMPARE(translator.translate_text(QString::fromUtf8(kept)), QString::fromUtf8(kept));
    }

    // An empty language code or a broken file: nothing is translated, not
    // even what an earlier load read.
    void unusable_language_translates_nothing()
    {
        const QByteArray good = lng_bytes({lng_entry("Flur", "Hall"), lng_entry("Bad", "Bath")});
        store("en.lng", good);
        store("fr.lng", good.left(good.size() - 1));
        store(".lng", lng_bytes({lng_entry("Flur", "Leer")}));
        CKV_GUITranslator translator(m_db);
        for (const char* language : {"", "fr"}) {
            QVERIFY(translator.load("", "en"));
            QVERIFY(!translator.load("", language));
            QVERIFY(translator.isEmpty());
            QCOMPARE(translator.translate_text("Flur"), QString("Flur"));
        }
    }

    // The application language picks the toolkit catalogue: German and English
    // exist, Russian is tried, everything else takes English.
    void catalogue_by_application_language()
    {
        const std::tuple<QString, bool, QString> cases[] = {
            {"de", true, "Abbrechen"}, {"fr", true, "Cancel"}, {"xx", true, "Cancel"}, {"ru", false, ""}, {"", false, ""}};
        for (const auto& [language, loaded, cancel] : cases) {
            CKV_GUITranslator translator(m_db);
            QVERIFY(translator.load("de", "")); // an earlier catalogue must not survive
            QCOMPARE(translator.load(language, ""), loaded);
            QCOMPARE(translator.isEmpty(), !loaded);
            QCOMPARE(translator.translate("QPlatformTheme", "Cancel"), cancel);
            QCOMPARE(translator.language_main(), language);
        }
    }

    // Without a catalogue the result says whether the project file gave translations.
    void russian_without_catalogue_reports_the_language_file()
    {
        store("ru.lng", lng_bytes({lng_entry("Flur", QString::fromUtf8("Коридор"))}));
        CKV_GUITranslator translator(m_db);
        QVERIFY(translator.load("ru", "ru"));
        QVERIFY(!translator.isEmpty());
        QCOMPARE(translator.translate_text("Flur"), QString::fromUtf8("Коридор"));
        QVERIFY(!translator.load("ru", "de"));
    }

    // Installed in the application, the translator serves both the
    // visualisation texts and the toolkit's texts; the language file comes first.
    void toolkit_hook()
    {
        store("en.lng", lng_bytes({lng_entry("Flur", "Hall"), lng_entry("Cancel", "Stop")}));
        CKV_GUITranslator translator(m_db);
        QVERIFY(translator.load("de", "en"));
        QCOMPARE(translator.translate("any", "Flur"), QString("Hall"));
        QCOMPARE(translator.translate("QPlatformTheme", "Cancel"), QString("Stop"));
        QCOMPARE(translator.translate("QPlatformTheme", "Close"), QString::fromUtf8("Schließen"));
        QCOMPARE(translator.translate("any", nullptr), QString());

        QVERIFY(QCoreApplication::installTranslator(&translator));
        QCOMPARE(QCoreApplication::translate("visu", "Flur"), QString("Hall"));
        QCOMPARE(QCoreApplication::translate("visu", "unbekannt"), QString("unbekannt"));
        QVERIFY(QCoreApplication::removeTranslator(&translator));
    }

    void project_languages_are_the_language_files()
    {
        store("fr.lng", lng_bytes({}));
        store("en.lng", lng_bytes({}));
        store("lampe.svg", QByteArray("<svg/>"));
        store(".lng", QByteArray());
        QCOMPARE(CKV_GUITranslator(m_db).project_languages(), QStringList({"en", "fr"}));
    }
};

QTEST_GUILESS_MAIN(TestGuiTranslator)
#include "tst_kv_gui_translator.moc"
