// Colour presets and sequences in logic block parameters: the texts byte
// for byte both ways, the default presets and sequence, and what a block
// keeps when they are written back.

#include <QtTest>

#include "kv_color_settings.h"
#include "kv_logic.h"

Q_DECLARE_METATYPE(KV_Color_Preset)
Q_DECLARE_METATYPE(std::vector<KV_Sequence_Step>)

class tst_kv_color_settings : public QObject {
    Q_OBJECT
private slots:
    void colour_texts_data()
    {
        QTest::addColumn<KV_Color_Preset>("preset");
        QTest::addColumn<QString>("text");
        QTest::newRow("red") << KV_Color_Preset{{100, 0, 0, 0}, "Rot"} << "100/0/0/0/Rot";
        QTest::newRow("rounded") << KV_Color_Preset{{33.4, 66.6, 0, 12.2}, "Mix/1"} << "33/67/0/12/Mix/1";
        QTest::newRow("no name") << KV_Color_Preset{{0, 0, 0, 100}, ""} << "0/0/0/100/";
    }
    void colour_texts()
    {
        QFETCH(KV_Color_Preset, preset);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(kv_color_text(preset)), text);
        const auto back = kv_color_from_text(text.toStdString());
        QVERIFY(back);
        QCOMPARE(QString::fromStdString(kv_color_text(*back)), text);
    }

    void bad_colour_texts_read_safely()
    {
        QVERIFY(!kv_color_from_text("100/0/0"));
        QVERIFY(!kv_color_from_text(""));
        const auto clamped = kv_color_from_text("-5/250/x/1e9/a#b");
        QVERIFY(clamped);
        QVERIFY((clamped->color == KV_Color{0, 100, 0, 100}));
        QCOMPARE(clamped->name, std::string("a#b"));
    }

    void sequence_texts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::vector<KV_Sequence_Step>>("steps");
        QTest::addColumn<QString>("written");
        const std::vector<KV_Sequence_Step> two = {{{100, 0, 0, 0}, 0, 5, false}, {{0, 100, 0, 20}, 50, 90, true}};
        const QString two_text = "2#100/0/0/0/0/5/0#0/100/0/20/50/90/1";
        QTest::newRow("two steps") << two_text << two << two_text;
        QTest::newRow("count beyond the steps") << "3#100/0/0/0/0/5/0#0/100/0/20/50/90/1" << two << two_text;
        QTest::newRow("count below the steps") << "1#100/0/0/0/0/5/0#0/100/0/20/50/90/1"
                                               << std::vector<KV_Sequence_Step>{two[0]} << "1#100/0/0/0/0/5/0";
        QTest::newRow("empty") << "0#" << std::vector<KV_Sequence_Step>{} << "0#";
        QTest::newRow("no list") << "100/0/0/0/0/5/0" << std::vector<KV_Sequence_Step>{} << "0#";
        QTest::newRow("short step") << "1#7/8" << std::vector<KV_Sequence_Step>{{{7, 8, 0, 0}, 0, 0, false}}
                                    << "1#7/8/0/0/0/0/0";
    }
    void sequence_texts()
    {
        QFETCH(QString, text);
        QFETCH(std::vector<KV_Sequence_Step>, steps);
        QFETCH(QString, written);
        QVERIFY(kv_sequence_from_text(text.toStdString()) == steps);
        QCOMPARE(QString::fromStdString(kv_sequence_text(steps)), written);
    }

    void block_without_settings_has_the_defaults()
    {
        KV_LOGIC_Control block;
        block.m_list_param.push_back({"Ort", "Terrasse"});
        CTRL_Settings_RGBW presets(block);
        presets.write_to(block);
        QCOMPARE(QString::fromStdString(*block.param("Voreinstellungen")),
                 QStringLiteral("9#100/0/0/0/Rot#0/100/0/0/Grün#0/0/100/0/Blau#100/100/0/0/Gelb#0/100/100/0/Cyan#"
                                "100/0/100/0/Magenta#100/100/100/0/Weiß#0/0/0/100/Weißkanal#0/0/0/0/Aus"));
        CTRL_Settings_RGBW_SEQU sequences(block);
        sequences.write_to(block);
        QCOMPARE(QString::fromStdString(*block.param("Sequenz 1")),
                 QStringLiteral("3#100/0/0/0/0/5/0#0/100/0/0/0/5/0#0/0/100/0/0/5/0"));
        QCOMPARE(block.m_list_param[0].m_str_value, std::string("Terrasse")); // others stay
    }

    void written_settings_replace_the_old_ones()
    {
        KV_LOGIC_Control block;
        block.m_list_param = {{"Voreinstellungen", "1#0/0/0/100/Warm"}, {"Sequenz 1", "0#"}, {"Sequenz 2", "0#"},
                              {"Sequenz 3", "0#"}, {"Sequenz 10", "x"}};
        CTRL_Settings_RGBW presets(block);
        QCOMPARE(presets.m_presets.size(), size_t(1));
        QCOMPARE(presets.m_presets[0].name, std::string("Warm"));
        presets.m_presets.clear();
        presets.write_to(block);
        QVERIFY(CTRL_Settings_RGBW(block).m_presets.empty()); // an empty list is not the default set

        CTRL_Settings_RGBW_SEQU sequences(block);
        QCOMPARE(sequences.m_sequences.size(), size_t(3));
        sequences.m_sequences = {{{{0, 0, 100, 0}, 0, 61, true}}};
        sequences.write_to(block);
        QStringList names;
        for (const KV_LOGIC_Param& p : block.m_list_param)
            names << QString::fromStdString(p.m_str_name + "=" + p.m_str_value);
        QCOMPARE(names, (QStringList{"Voreinstellungen=0#", "Sequenz 1=1#0/0/100/0/0/61/1"}));
    }
};

QTEST_APPLESS_MAIN(tst_kv_color_settings)
#include "tst_kv_color_settings.moc"
