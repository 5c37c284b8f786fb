// The classic display and operating controls beyond the switch: text chosen
// by value, the button row, the numeric input; controller messages reaching
// the controls; and the display text of address values: offset before
// factor, the integer rules of printf formats, time, date and string types,
// and rejected formats. Operating buttons: program start by click and by the
// three trigger kinds, its failure message, the sound button's copy of the
// stored sound, the language switch through the window, and the page
// selector's range and arrows.
// Value displays and the shape: fill level and pointer angle between their
// limits and beyond them, the shapes' outlines, the shape operating like the
// universal switch, and the alarm display's states of its alarm blocks.
// Image displays: which image and text each shows for its values and
// parameters, image placement, the placeholder of a missing image, the GIF's
// start, stop and speed, and the image chosen by value with its blinking.

#include <QFile>
#include <QPainter>
#include <QPushButton>
#include <QtTest>

#include "../app/kv_trace_capture.h"
#include "kv_fake_host.h"
#include "kv_gui_action_button.h"
#include "kv_gui_alarm.h"
#include "kv_gui_edit.h"
#include "kv_gui_form.h"
#include "kv_gui_format.h"
#include "kv_gui_gauge.h"
#include "kv_gui_image.h"
#include "kv_gui_label.h"
#include "kv_gui_language_switch.h"
#include "kv_gui_number_popup.h"
#include "kv_gui_page_button.h"
#include "kv_gui_page_slider.h"
#include "kv_network_msg.h"

namespace {
class Message_Recorder : public CKV_Gui_Control {
public:
    using CKV_Gui_Control::CKV_Gui_Control;
    void on_message(const CKV_Network_Msg& header, const unsigned char* payload) override
    {
        ids.push_back(header.id);
        first_bytes.push_back(payload[0]);
    }
    std::vector<uint32_t> ids;
    std::vector<unsigned char> first_bytes;
};

std::unique_ptr<KV_LOGIC_Control> alarm_block(const std::string& name, const KV_Group_Address& input,
                                               const std::string& text, int type = KV_LOGIC_TYPE_ALARM)
{
    auto block = std::make_unique<KV_LOGIC_Control>();
    block->m_typ = type;
    block->m_str_name = name;
    block->m_list_io_input.push_back(std::make_shared<KV_LOGIC_IO>(KV_LOGIC_IO{input, "Alarm"}));
    if (!text.empty())
        block->m_list_param.push_back({"Text", text});
    return block;
}

// A 1x1 GIF of two frames (black, then white), looping.
QByteArray two_frame_gif()
{
    return QByteArray::fromHex("47494638396101000100800000000000ffffff"
                               "21ff0b4e45545343415045322e300301000000"
                               "21f904000a000000" "2c00000000010001000002024401" "00"
                               "21f904000a000000" "2c0000000001000100000202" "4c01" "00"
                               "3b");
}

bool greyish(QRgb pixel)
{
    return qAlpha(pixel) > 128 && qAbs(qRed(pixel) - 0x9E) < 40 && qRed(pixel) == qGreen(pixel);
}

// The placeholder's cross passes through the middle of the widget.
bool crossed_in_the_middle(QWidget* widget)
{
    const QImage picture = widget->grab().toImage();
    const QPoint centre = picture.rect().center();
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            if (greyish(picture.pixel(centre + QPoint(dx, dy))))
                return true;
    return false;
}

QImage drawn(const QPixmap& image, bool proportional, Qt::Alignment alignment)
{
    QImage canvas(100, 50, QImage::Format_ARGB32);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    kv_draw_image(painter, canvas.rect(), image, proportional, alignment);
    return canvas;
}
} // namespace

class tst_kv_gui_controls : public QObject {
    Q_OBJECT

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
    void var_text_picks_the_row_of_the_value()
    {
        KV_Test_Page p;
        p.host.add_address({1, 1, 1}, 14);
        p.add(18, "{var}", {{1, 1, 1}},
              {{"1: Wert", "0"}, {"1: Text", "Aus"}, {"2: Wert", "3"}, {"2: Text", "Störung"}, {"2: Hintergrund", "ff0000"}});
        p.build();
        auto* label = p.control<CKV_Gui_Control_Label_Var_Text>("{var}");
        QCOMPARE(label->text(), QStringLiteral("Aus"));
        p.send({1, 1, 1}, 3);
        QCOMPARE(label->text(), QStringLiteral("Störung"));
        // Empty rows never match; an unknown value shows the default text.
        p.send({1, 1, 1}, 7);
        QCOMPARE(label->text(), QStringLiteral("Text undefiniert"));
    }

    void button_row_writes_its_values_and_marks_the_feedback()
    {
        KV_Test_Page p;
        p.host.add_address({1, 1, 1}, 14);
        p.host.add_address({1, 1, 2}, 14);
        p.add(122, "{row}", {{1, 1, 1}, {1, 1, 2}},
              {{"Anzahl Buttons", "3"}, {"Wert: 1", "10"}, {"Wert: 2", "20"}, {"Wert: 3", "30"}}, 300, 40);
        p.build();
        auto* row = p.control<CKV_Gui_Control_Button_Gruppe>("{row}");
        QCOMPARE(row->active_button(), -1);
        QTest::mouseClick(row, Qt::LeftButton, {}, QPoint(150, 20));
        QCOMPARE(p.host.sent_values(), std::vector<double>{20.0});
        QCOMPARE(row->active_button(), -1); // marked by the feedback, not by the click
        p.send({1, 1, 2}, 30);
        QCOMPARE(row->active_button(), 2);
    }

    // Range and steps are in shown units; what is typed or stepped to is
    // what shows after the write, with offset and factor taken back out.
    void edit_steps_types_on_the_keypad_and_reports_a_missing_address()
    {
        KV_Test_Page p;
        p.host.add_address({1, 1, 1}, 9);
        p.add(103, "{edit}", {{1, 1, 1}},
              {{"Minimum", "0"}, {"Maximum", "60"}, {"Schrittweite", "2.5"}, {"Format", "%.1f °C"},
               {"Breite Text", "50"}, {"Faktor", "2"}, {"Offset", "10"}},
              200, 40);
        p.add(113, "{unlinked}");
        p.build();
        p.host.set_value({1, 1, 1}, 5);
        auto* edit = p.control<CKV_Gui_Control_Edit>("{edit}");
        edit->apply_record();
        QCOMPARE(edit->shown_text(), QStringLiteral("30.0 °C"));
        QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(190, 20)); // plus
        QCOMPARE(p.host.sent.back().value, 6.25);
        QCOMPARE(edit->shown_text(), QStringLiteral("32.5 °C"));
        for (int i = 0; i < 20; ++i)
            QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(5, 20)); // minus, down to the minimum
        QCOMPARE(p.host.sent.back().value, -10.0);
        QCOMPARE(edit->shown_text(), QStringLiteral("0.0 °C"));

        QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(100, 20));
        for (const char* key : {"4", "2", "7", ",", "5", "5", "OK"})
            edit->keypad()->findChild<QPushButton*>(QStringLiteral("kv_key_") + key)->click();
        QCOMPARE(p.host.sent.back().value, 11.25); // 42,5 typed: a third whole digit is not taken
        QCOMPARE(edit->shown_text(), QStringLiteral("42.5 °C"));
        QTRY_VERIFY(!edit->keypad());
        QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(100, 20));
        for (const char* key : {"9", "9", "OK"})
            edit->keypad()->findChild<QPushButton*>(QStringLiteral("kv_key_") + key)->click();
        QCOMPARE(edit->shown_text(), QStringLiteral("60.0 °C")); // kept within the range
        QCOMPARE(p.control<CKV_Gui_Control_Edit>("{unlinked}")->shown_text(),
                 QStringLiteral("Keine Variable verknüpft!"));
    }

    void messages_reach_every_canvas_and_the_popups()
    {
        KV_Test_Page first;
        first.add(0, "{a}");
        KV_GUI_Page& second_page = first.host.add_page("{second}");
        KV_Fake_Host::add_control(second_page, 0, "{b}");
        CKV_Gui_Control_Container* canvas_a = first.build();
        auto second = std::unique_ptr<CKV_Gui_Control_Container_Sv>(
            (new CKV_Gui_Control_Container(first.host, second_page))->scroll_area());
        CKV_Gui_Control_Container* canvas_b = second->canvas();

        KV_GUI_Control popup_record;
        auto* popup_a = new Message_Recorder(canvas_a, popup_record);
        auto* popup_b = new Message_Recorder(canvas_b, popup_record);
        canvas_a->find_control("{a}")->add_popup(popup_a);
        canvas_b->find_control("{b}")->add_popup(popup_b);

        CKV_Network_Msg header;
        header.id = 600;
        const unsigned char payload[] = {42, 0};
        first.host.dispatch().on_message(header, payload);
        QCOMPARE(popup_a->ids, std::vector<uint32_t>{600});
        QCOMPARE(popup_b->first_bytes, std::vector<unsigned char>{42});

        second.reset(); // a destroyed canvas no longer receives messages
        first.host.dispatch().on_message(header, payload);
        QCOMPARE(popup_a->ids.size(), size_t(2));
    }

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
        KV_Test_Page::click(p.control<CKV_Gui_Control_Button_Startapp>("{app}"));
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

    void fill_level_between_and_beyond_its_limits()
    {
        KV_Test_Page p;
        p.host.add_address({1, 1, 1}, 14);
        p.add(16, "{tank}", {{1, 1, 1}},
              {{"Minimum", "20"}, {"Maximum", "220"}, {"Format", "%.0f l"}, {"Faktor", "2"}, {"Offset", "10"}});
        p.add(16, "{empty-range}", {{1, 1, 1}}, {{"Minimum", "5"}, {"Maximum", "5"}});
        p.build();
        auto* tank = p.control<CKV_Gui_Control_Fuellstand>("{tank}");
        QCOMPARE(tank->level(), 0.0); // (0 + 10) * 2 = 20: the minimum
        p.send({1, 1, 1}, 50); // (50 + 10) * 2 = 120: half way
        QCOMPARE(tank->level(), 0.5);
        QCOMPARE(tank->value_text(), QStringLiteral("120 l"));
        p.send({1, 1, 1}, 200); // 420: beyond the maximum stays full
        QCOMPARE(tank->level(), 1.0);
        QCOMPARE(tank->value_text(), QStringLiteral("420 l"));
        QCOMPARE(p.control<CKV_Gui_Control_Fuellstand>("{empty-range}")->level(), 0.0);
        QCOMPARE(kv_gauge_fraction(-3.0, 0.0, 10.0), 0.0); // below the minimum stays empty
        QCOMPARE(kv_gauge_fraction(2.5, 10.0, 0.0), 0.75); // a falling scale
    }

    void dial_pointer_over_the_configured_angle()
    {
        KV_Test_Page p;
        p.host.add_address({1, 1, 1}, 14);
        p.host.add_address({2, 2, 2}, 14);
        p.add(19, "{dial}", {{1, 1, 1}}, {{"Minimum", "10"}, {"Maximum", "110"}, {"0-360 Grad", "180"}}, 120, 120);
        p.add(19, "{wide}", {{2, 2, 2}}, {{"0-360 Grad", "400"}}, 120, 120);
        p.build();
        auto* dial = p.control<CKV_Gui_Control_Analoganzeige>("{dial}");
        QCOMPARE(dial->target_angle(), 0.0); // 0 lies below the minimum
        p.send({1, 1, 1}, 60); // half the range: half the angle
        QCOMPARE(dial->target_angle(), 90.0);
        // The pointer moves there over the animation, not at once.
        QVERIFY(dial->pointer_angle() < 90.0);
        QTRY_COMPARE_WITH_TIMEOUT(dial->pointer_angle(), 90.0, 2000);
        p.send({1, 1, 1}, 250); // beyond the maximum: at the end stop
        QCOMPARE(dial->target_angle(), 180.0);
        QTRY_COMPARE_WITH_TIMEOUT(dial->pointer_angle(), 180.0, 2000);

        // An angle beyond a full turn is one full turn.
        auto* wide = p.control<CKV_Gui_Control_Analoganzeige>("{wide}");
        QCOMPARE(wide->sweep(), 360.0);
        p.send({2, 2, 2}, 25);
        QCOMPARE(wide->target_angle(), 90.0);
    }

    void shapes_turned_or_not_stay_inside_the_control()
    {
        const QRectF box(0, 0, 80, 50);
        const double e = 0.01; // rounding of the mapped points
        for (int shape = CKV_Gui_Control_Form::RECTANGLE; shape <= CKV_Gui_Control_Form::ARROW; ++shape) {
            QCOMPARE(CKV_Gui_Control_Form::drawn_path(shape, box, 6, 0).boundingRect(),
                     CKV_Gui_Control_Form::shape_path(shape, box, 6).boundingRect());
            for (int rotation = 15; rotation < 360; rotation += 15) {
                // Lines have an empty bounding box, which QRectF::contains refuses.
                const QRectF bounds = CKV_Gui_Control_Form::drawn_path(shape, box, 6, rotation).boundingRect();
                QVERIFY2(bounds.left() >= box.left() - e && bounds.right() <= box.right() + e &&
                             bounds.top() >= box.top() - e && bounds.bottom() <= box.bottom() + e,
                         qPrintable(QStringLiteral("shape %1 turned %2").arg(shape).arg(rotation)));
            }
        }
        const QPainterPath arrow = CKV_Gui_Control_Form::shape_path(CKV_Gui_Control_Form::ARROW, box, 0);
        QVERIFY(arrow.contains(QPointF(78, 25))); // the point on the right
        QVERIFY(!arrow.contains(QPointF(3, 3))); // the shaft is narrower
        QVERIFY(!CKV_Gui_Control_Form::shape_path(CKV_Gui_Control_Form::TRIANGLE, box, 0).contains(QPointF(5, 5)));
        QVERIFY(!CKV_Gui_Control_Form::shape_path(CKV_Gui_Control_Form::RECTANGLE, box, 20).contains(QPointF(1, 1)));
        // A quarter turn of a wide rectangle: as high as the box, centred.
        const QRectF upright = CKV_Gui_Control_Form::drawn_path(0, box, 0, 90).boundingRect();
        QCOMPARE(upright.height(), box.height());
        QCOMPARE(upright.center(), box.center());
    }

    void form_operates_like_the_switch()
    {
        KV_Test_Page p;
        p.host.add_address({1, 1, 1}, 14);
        p.host.add_address({1, 1, 2}, 14);
        p.add(17, "{toggle}", {{1, 1, 1}}, {{"Form", "0"}}, 60, 60);
        p.add(17, "{push}", {{1, 1, 2}}, {{"Form", "5"}, {"Funktion", "3"}, {"Wert ein", "7"}, {"Wert aus", "2"}});
        p.add(17, "{decor}", {}, {{"Form", "2"}});
        p.add(17, "{bad-shape}", {}, {{"Form", "17"}});
        p.build();

        auto* toggle = p.control<CKV_Gui_Control_Form>("{toggle}");
        toggle->set_form_color_bg_on(QColor(Qt::yellow));
        KV_Test_Page::click(toggle);
        QCOMPARE(QColor(toggle->grab().toImage().pixel(30, 30)), QColor(Qt::yellow)); // drawn as on
        p.send({1, 1, 1}, 0); // the controller says off again
        QVERIFY(!toggle->is_on());

        // "Taster": the on-value at press, the off-value at release.
        auto* push = p.control<CKV_Gui_Control_Form>("{push}");
        QTest::mousePress(push, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(p.host.sent.back().value, 7.0);
        QTest::mouseRelease(push, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(p.host.sent_values(), (std::vector<double>{1.0, 7.0, 2.0}));

        // Without a switching address the shape is only drawn.
        auto* decor = p.control<CKV_Gui_Control_Form>("{decor}");
        QCOMPARE(decor->shape(), int(CKV_Gui_Control_Form::TRIANGLE));
        KV_Test_Page::click(decor);
        QVERIFY(!decor->is_on());
        QCOMPARE(p.host.sent.size(), size_t(3));
        QCOMPARE(p.control<CKV_Gui_Control_Form>("{bad-shape}")->shape(), int(CKV_Gui_Control_Form::RECTANGLE));
    }

    void alarm_display_states_of_its_blocks()
    {
        KV_Test_Page p;
        p.host.add_address({6, 1, 1}, 14);
        p.host.add_address({6, 1, 2}, 14);
        set_value_from_double(*p.host.add_address({6, 1, 3}, 14), 1); // pending from the start
        p.host.blocks.push_back(alarm_block("Rauchmelder", {6, 1, 1}, "Rauchalarm im Haus"));
        p.host.blocks.push_back(alarm_block("Raumregler", {6, 1, 2}, "", 310)); // no alarm block
        p.host.blocks.push_back(alarm_block("Wassermelder", {6, 1, 2}, ""));
        p.host.blocks.push_back(alarm_block("Wind", {6, 1, 3}, "Sturm"));
        p.add(20, "{alarms}", {}, {{"Ansicht", "1"}}, 300, 120);
        p.build();

        auto* display = p.control<CKV_Gui_Control_Alarmanzeige>("{alarms}");
        QCOMPARE(display->alarms().size(), size_t(3));
        QCOMPARE(display->alarms()[0].text, QStringLiteral("Rauchalarm im Haus"));
        QCOMPARE(display->alarms()[1].text, QStringLiteral("Wassermelder")); // no text: the block's name
        QCOMPARE(display->alarms()[2].state, CKV_Gui_Control_Alarmanzeige::PENDING);
        QCOMPARE(display->count(CKV_Gui_Control_Alarmanzeige::NO_ALARM), 2);

        p.send({6, 1, 3}, 0);
        QCOMPARE(display->alarms()[2].state, CKV_Gui_Control_Alarmanzeige::WAS_PENDING);
        QCOMPARE(CKV_Gui_Control_Alarmanzeige::state_text(display->worst_state()),
                 QStringLiteral("Alarm war anstehend"));
        p.send({6, 1, 1}, 1);
        QCOMPARE(CKV_Gui_Control_Alarmanzeige::state_text(display->worst_state()), QStringLiteral("Alarm anstehend"));
        // A value on the input of the other block concerns the water alarm only.
        p.send({6, 1, 2}, 1);
        QCOMPARE(display->alarms()[1].state, CKV_Gui_Control_Alarmanzeige::PENDING);
        QCOMPARE(display->count(CKV_Gui_Control_Alarmanzeige::PENDING), 2);
        QCOMPARE(display->count(CKV_Gui_Control_Alarmanzeige::WAS_PENDING), 1);
        QCOMPARE(CKV_Gui_Control_Alarmanzeige::state_text(CKV_Gui_Control_Alarmanzeige::NO_ALARM),
                 QStringLiteral("Kein Alarm"));
    }

    void placement_and_the_missing_image()
    {
        const QPixmap red = KV_Fake_Host::filled(Qt::red);
        const QImage right = drawn(red, true, Qt::AlignRight);
        QCOMPARE(qAlpha(right.pixel(5, 25)), 0);
        QCOMPARE(QColor(right.pixel(95, 25)), QColor(Qt::red));
        const QImage stretched = drawn(red, false, Qt::AlignLeft);
        QCOMPARE(QColor(stretched.pixel(5, 25)), QColor(Qt::red));
        QCOMPARE(QColor(stretched.pixel(95, 45)), QColor(Qt::red));

        // A missing image: the thin frame and the crossed symbol, nothing else.
        const QImage missing = drawn(QPixmap(), true, Qt::AlignLeft);
        QVERIFY(greyish(missing.pixel(0, 25)));
        QVERIFY(greyish(missing.pixel(50, 25)));
        QCOMPARE(qAlpha(missing.pixel(20, 5)), 0);

        KV_Test_Page p;
        p.host.images[QStringLiteral("haus.png")] = red;
        p.add(14, "{shown}", {}, {{"Grafik", "haus.png"}, {"Proportional", "0"}});
        p.add(14, "{missing}", {}, {{"Grafik", "fehlt.png"}});
        p.build();
        auto* shown = p.control<CKV_Gui_Control_Image>("{shown}");
        QCOMPARE(QColor(shown->grab().toImage().pixel(shown->width() / 2, 5)), QColor(Qt::red));
        QVERIFY(!crossed_in_the_middle(shown));
        QVERIFY(crossed_in_the_middle(p.control<CKV_Gui_Control_Image>("{missing}")));
    }

    void on_off_image_follows_the_value_and_changes_the_page()
    {
        KV_Test_Page p;
        p.host.add_address({1, 1, 1}, 14);
        p.add(15, "{onoff}", {{1, 1, 1}},
              {{"Grafik EIN", "an.png"}, {"Grafik AUS", "aus.png"}, {"Text EIN", "Offen"}, {"Text AUS", "Zu"},
               {"Auto Seitenwechsel", "2"}, {"Seite", "{alarmseite}"}});
        p.build();
        auto* onoff = p.control<CKV_Gui_Control_Image_OnOff>("{onoff}");
        QCOMPARE(onoff->image_name(), QStringLiteral("aus.png"));
        QCOMPARE(onoff->caption(), QStringLiteral("Zu"));
        p.send({1, 1, 1}, 1); // rising edge: page change
        QCOMPARE(onoff->image_name(), QStringLiteral("an.png"));
        QCOMPARE(onoff->caption(), QStringLiteral("Offen"));
        QCOMPARE(p.host.pages_shown, std::vector<std::string>{"{alarmseite}"});
        p.send({1, 1, 1}, 3); // still on: no edge
        p.send({1, 1, 1}, 0);
        QCOMPARE(onoff->image_name(), QStringLiteral("aus.png"));
        QCOMPARE(p.host.pages_shown.size(), size_t(1));
    }

    void gif_runs_by_value_at_its_speed()
    {
        KV_Test_Page p;
        p.host.files[QStringLiteral("lüfter.gif")] = two_frame_gif();
        p.host.add_address({1, 1, 1}, 14);
        p.add(21, "{by-value}", {{1, 1, 1}}, {{"Grafik", "lüfter.gif"}, {"Geschwindigkeit %", "50"}});
        p.add(21, "{always}", {{1, 1, 1}}, {{"Grafik", "lüfter.gif"}, {"Start/Stop", "0"}});
        p.add(21, "{broken}", {{1, 1, 1}}, {{"Grafik", "fehlt.gif"}});
        Trace_Capture trace;
        p.build();
        QCOMPARE(trace.text().count("GIF NOT READABLE: fehlt.gif"), 1);

        auto* by_value = p.control<CKV_Gui_Control_Image_Gif>("{by-value}");
        auto* always = p.control<CKV_Gui_Control_Image_Gif>("{always}");
        QCOMPARE(by_value->speed(), 50);
        QVERIFY(!by_value->is_running());
        QVERIFY(always->is_running());
        p.send({1, 1, 1}, 1);
        QVERIFY(by_value->is_running());
        p.send({1, 1, 1}, 0);
        QVERIFY(!by_value->is_running());
        QVERIFY(always->is_running());

        auto* broken = p.control<CKV_Gui_Control_Image_Gif>("{broken}");
        QVERIFY(!broken->is_valid());
        QVERIFY(crossed_in_the_middle(broken));
    }

    void image_by_value_with_default_and_blinking()
    {
        KV_Test_Page p;
        p.host.add_address({1, 1, 1}, 14);
        p.host.add_address({2, 2, 2}, 14);
        p.add(22, "{steady}", {{1, 1, 1}},
              {{"Standard Grafik", "unbekannt.png"}, {"1: Wert", "1"}, {"1: Grafik", "sonne.png"},
               {"2: Wert", "2"}, {"2: Grafik", "regen.png"}, {"4: Grafik", "nie.png"}});
        p.add(22, "{blinking}", {{2, 2, 2}},
              {{"Standard Grafik", "ruhe.png"}, {"1: Wert", "5"}, {"1: Grafik", "alarm.png"}, {"Taktzeit", "100"}});
        p.build();
        auto* steady = p.control<CKV_Gui_Control_Image_Value>("{steady}");
        QCOMPARE(steady->image_name(), QStringLiteral("unbekannt.png")); // 0 matches no row; row 4 has no value
        p.send({1, 1, 1}, 2);
        QCOMPARE(steady->image_name(), QStringLiteral("regen.png"));
        p.send({1, 1, 1}, 7);
        QCOMPARE(steady->image_name(), QStringLiteral("unbekannt.png"));
        QVERIFY(!steady->is_blinking());

        auto* blinking = p.control<CKV_Gui_Control_Image_Value>("{blinking}");
        QVERIFY(!blinking->is_blinking()); // the default image does not blink
        p.send({2, 2, 2}, 5);
        QVERIFY(blinking->is_blinking());
        QTRY_COMPARE_WITH_TIMEOUT(blinking->image_name(), QStringLiteral("ruhe.png"), 1000);
        QTRY_COMPARE_WITH_TIMEOUT(blinking->image_name(), QStringLiteral("alarm.png"), 1000);
        QCOMPARE(blinking->chosen_image(), QStringLiteral("alarm.png"));
        p.send({2, 2, 2}, 0);
        QVERIFY(!blinking->is_blinking());
        QCOMPARE(blinking->image_name(), QStringLiteral("ruhe.png"));
    }
};

QTEST_MAIN(tst_kv_gui_controls)
#include "tst_kv_gui_controls.moc"
