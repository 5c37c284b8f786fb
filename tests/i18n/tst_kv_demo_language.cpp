#include <QtTest>

#include "kv_demo_project.h"
#include "kv_gui_translator.h"
#include "kv_project_db.h"

// The demo project's English file, as the translator reads it.
class TestDemoLanguage : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    CKV_Project_Db m_db;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        const std::string path = m_dir.filePath("demo.kvp").toStdString();
        QVERIFY(kv_write_demo_project(path));
        QVERIFY(m_db.load(path));
    }

    void english_texts_of_the_demo()
    {
        CKV_GUITranslator translator(m_db);
        QVERIFY(translator.project_languages().contains("en"));
        QVERIFY(translator.load("de", "en"));
        QCOMPARE(translator.translate_text(QString::fromUtf8("Übersicht")), QString("Overview"));
        QCOMPARE(translator.translate_text(QString::fromUtf8("Küche an")), QString("Kitchen on"));
        QCOMPARE(translator.translate_text("Haus\nSonnenhang"), QString("Sunny Slope\nHouse"));
        for (const auto& page : m_db.m_gui_pages) {
            const QString caption = QString::fromStdString(page->m_str_caption);
            QVERIFY2(translator.translate_text(caption) != caption, qPrintable(caption));
        }
    }
};

QTEST_GUILESS_MAIN(TestDemoLanguage)
#include "tst_kv_demo_language.moc"
