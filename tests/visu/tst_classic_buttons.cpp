// Operating buttons: program start by click and by the three trigger kinds,
// its failure message, the sound button's copy of the stored sound, the
// language switch through the window, and the page selector's range and arrows.

#include <QFile>
#include <QtTest>

#include "../app/kv_trace_capture.h"
#include "kv_fake_host.h"
#include "kv_gui_action_button.h"
#include "kv_gui_language_switch.h"
#include "kv_gui_page_slider.h"

class tst_classic_buttons : public QObject {
    Q_OBJECT

private slots:
    void program_start_by_click_and_trigger_edges()
    {
        KV_Test_Page p;
        for (uint32_t sub = 1; sub <= 4; ++sub)
            p.host.add_address({5, 0, sub}, 14);
        // This platform has no parameter of its own: the general program.
        p.add(123, "{click}", {{5, 0, 1}}, {{"Programm Windows", "calc.exe"}, {"Programm Allgemein", "xdg-open /tmp"}});
        p.add(123, "{every}", {{5, 0, 2}}, {{"Programm Allgemein", "every"}, {"Trigger", "1"}});
        p.add(123, "{rising}", {{5, 0, 3}}, {{"Programm Allgemein", "rising"}, {"Trigger", "2"}});
        p.add(123, "{falling}", {{5, 0, 4}}, {{"Programm Allgemein", "falling"}, {"Trigger", "3"}});
        p.build();

        KV_Test_Page::click(p.control<CKV_Gui_Control_Button_Startapp>("{click}"));
        QCOMPARE(p.host.programs, std::vector<QString>{QStringLiteral("xdg-open /tmp")});
        p.send({5, 0, 1}, 1); // click only: telegrams start nothing
        QCOMPARE(p.host.programs.size(), size_t(1));

        auto started = [&p](const char* name) {
            return std::count(p.host.programs.begin(), p.host.programs.end(), QString::fromLatin1(name));
        };
        for (unsigned char value : {0, 0, 1, 1}) // every telegram, whatever its value
            p.send({5, 0, 2}, value);
        QCOMPARE(started("every"), 4);
        for (unsigned char value : {0, 1, 1, 0, 5}) // rising edge: 0 -> on, once per edge
            p.send({5, 0, 3}, value);
        QCOMPARE(started("rising"), 2);
        for (unsigned char value : {0, 1, 3, 0, 0, 1, 0}) // falling edge: on -> 0
            p.send({5, 0, 4}, value);
        QCOMPARE(started("falling"), 2);
        QVERIFY(p.host.messages.empty());
    }

    void program_failure_is_reported()
    {
        KV_Test_Page p;
        p.host.programs_start = false;
        p.add(123, "{app}", {}, {{"Programm Allgemein", "kaputt"}});
        p.add(123, "{nothing}");
        p.build();
        Trace_Capture trace;
        KV_Test_Page::click(p.control<CKV_Gui_Control_Button_Startapp>("{app}"));
        QCOMPARE(trace.text().count("PROGRAM NOT STARTED: kaputt"), 1);
        QCOMPARE(p.host.messages, std::vector<QString>{QStringLiteral("Fehler beim Aufruf der Url")});
        // No program configured: nothing is tried, nothing reported.
        KV_Test_Page::click(p.control<CKV_Gui_Control_Button_Startapp>("{nothing}"));
        QCOMPARE(p.host.programs.size(), size_t(1));
        QCOMPARE(p.host.messages.size(), size_t(1));

        KV_Fake_Host plain; // the window's own start, not the test's record
        QVERIFY(!plain.KV_Visu_Host::start_program(QStringLiteral("/nonexistent/kv-program --flag")));
        QVERIFY(!plain.KV_Visu_Host::start_program(QStringLiteral("   ")));
        QVERIFY(plain.KV_Visu_Host::start_program(QStringLiteral("true --ignored")));
    }

    void sound_from_the_stored_file()
    {
        KV_Test_Page p;
        const QByteArray wav = QByteArray("RIFF") + QByteArray(40, '\1');
        p.host.files[QStringLiteral("gong.mp3")] = wav;
        p.host.add_address({5, 1, 1}, 14);
        p.add(124, "{gong}", {{5, 1, 1}}, {{"Audio", "gong.mp3"}, {"Trigger", "2"}});
        p.add(124, "{silent}", {}, {{"Audio", "fehlt.wav"}});
        Trace_Capture trace;
        p.build();
        QCOMPARE(trace.text().count("SOUND NOT FOUND: fehlt.wav"), 1);

        auto* gong = p.control<CKV_Gui_Control_Button_Sound>("{gong}");
        const QString copy = gong->sound_file();
        QVERIFY(copy.endsWith(QStringLiteral(".mp3"))); // the player tells the format by it too
        QFile file(copy);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), wav);
        KV_Test_Page::click(gong);
        p.send({5, 1, 1}, 1);
        p.send({5, 1, 1}, 1);
        QCOMPARE(gong->plays(), 2);
        auto* silent = p.control<CKV_Gui_Control_Button_Sound>("{silent}");
        KV_Test_Page::click(silent);
        QCOMPARE(silent->plays(), 0);
        delete gong; // the copy goes with the button
        QVERIFY(!QFile::exists(copy));
    }

    void language_switch_next_and_list()
    {
        KV_Test_Page none;
        none.add(210, "{lang}");
        none.build();
        KV_Test_Page::click(none.control<CKV_Gui_Control_Sprachumschaltung>("{lang}"));
        QCOMPARE(none.host.messages,
                 std::vector<QString>{QStringLiteral("Keine benutzerdefinierten Sprachen angelegt. Legen Sie unter "
                                                     "Bearbeiten - Benutzerdefinierte Sprachen - neue Sprachen an.")});
        QCOMPARE(none.host.current_language, QStringLiteral("de"));

        KV_Test_Page p;
        p.host.languages = {{QStringLiteral("en"), QStringLiteral("Englisch")},
                            {QStringLiteral("fr"), QStringLiteral("Französisch")},
                            {QStringLiteral("it"), QStringLiteral("Italienisch")}};
        p.add(210, "{next}", {}, {{"Umschaltung", "1"}});
        p.add(210, "{list}");
        p.build();
        // The current language "de" is none of the project's: the first one.
        auto* next = p.control<CKV_Gui_Control_Sprachumschaltung>("{next}");
        KV_Test_Page::click(next);
        QCOMPARE(p.host.current_language, QStringLiteral("en"));
        QCOMPARE(next->shown_name(), QStringLiteral("Englisch"));
        for (int i = 0; i < 3; ++i)
            KV_Test_Page::click(next); // fr, it, then round to en
        QCOMPARE(p.host.current_language, QStringLiteral("en"));

        auto* list = p.control<CKV_Gui_Control_Sprachumschaltung>("{list}");
        KV_Test_Page::click(list);
        QCOMPARE(p.host.current_language, QStringLiteral("en")); // the list only opens
        QVERIFY(list->menu());
        const QList<QAction*> actions = list->menu()->actions();
        QCOMPARE(actions.size(), 3);
        QVERIFY(actions[0]->isChecked());
        actions[1]->trigger();
        QCOMPARE(p.host.current_language, QStringLiteral("fr"));
        QVERIFY(p.host.messages.empty());
    }

    void page_selector_range_and_arrows()
    {
        KV_Test_Page p; // lies on "{page}", the first page of the window
        for (const char* guid : {"{p1}", "{p2}", "{p3}", "{p4}"})
            p.host.add_page(guid).m_str_caption = guid;
        // Range from p3 back to p1 (given the wrong way round) and an explicit list.
        p.add(1504, "{range}", {}, {{"Seite Begin", "{p3}"}, {"Seite End", "{p1}"}}, 100, 90);
        p.add(1504, "{chosen}", {}, {{"Auswahl Seiten", "{p4};{gone};{p2}"}}, 100, 90);
        p.add(1504, "{open}", {}, {{"Seite Begin", "{p3}"}}, 100, 90);
        p.add(1504, "{all}", {}, {}, 100, 90);
        p.add(1504, "{none}", {}, {{"Auswahl Seiten", "{gone}"}}, 100, 90);
        p.build();

        auto* range = p.control<CKV_Gui_Control_App_Seitenwechsel_Slider>("{range}");
        QCOMPARE(range->pages(), (std::vector<std::string>{"{p1}", "{p2}", "{p3}"}));
        QCOMPARE(range->selected(), 0);
        KV_Test_Page::click(range, QPoint(50, 5)); // up at the first page: nothing
        QVERIFY(p.host.pages_shown.empty());
        KV_Test_Page::click(range, QPoint(50, range->height() - 5)); // down
        QCOMPARE(p.host.pages_shown, std::vector<std::string>{"{p2}"});
        KV_Test_Page::click(range, QPoint(50, range->height() / 2)); // the caption does nothing
        QCOMPARE(p.host.pages_shown.size(), size_t(1));
        QVERIFY(range->step(+1));
        QVERIFY(!range->step(+1)); // the end of the range
        QCOMPARE(p.host.pages_shown.back(), std::string("{p3}"));
        KV_Test_Page::click(range, QPoint(50, 5));
        QCOMPARE(p.host.pages_shown.back(), std::string("{p2}"));

        QCOMPARE(p.control<CKV_Gui_Control_App_Seitenwechsel_Slider>("{chosen}")->pages(),
                 (std::vector<std::string>{"{p4}", "{p2}"}));
        QCOMPARE(p.control<CKV_Gui_Control_App_Seitenwechsel_Slider>("{open}")->pages(),
                 (std::vector<std::string>{"{p3}", "{p4}"}));
        auto* all = p.control<CKV_Gui_Control_App_Seitenwechsel_Slider>("{all}");
        QCOMPARE(all->pages().size(), size_t(5));
        QCOMPARE(all->selected(), 0); // its own page
        auto* none = p.control<CKV_Gui_Control_App_Seitenwechsel_Slider>("{none}");
        QCOMPARE(none->selected(), -1);
        QVERIFY(!none->step(+1));
    }
};

QTEST_MAIN(tst_classic_buttons)
#include "tst_classic_buttons.moc"
