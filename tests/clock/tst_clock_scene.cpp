// Time switches in the visualisation: the texts of a switching time, the
// time due next, the commit to the controller and the controls that follow
// it, the unlinked clock control, and the clock tile with its list of times
// and time editor. The scene page: both type numbers, the list of scenes, a
// scene started at once or offering its actions, and "Konfigurieren" taking
// the current values of the ticked items into the scene for the controller.

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QtTest>

#include "../app/kv_test_settings_home.h"
#include "../visu/kv_fake_host.h"
#include "kv_clock_model.h"
#include "kv_gui_clock.h"
#include "kv_gui_clock_control.h"
#include "kv_gui_clock_time_form.h"
#include "kv_gui_factory.h"
#include "kv_gui_scene_page.h"
#include "kv_gui_tile_clock.h"
#include "kv_gui_tiles.h"
#include "kv_time_presets.h"

namespace {
const KV_Group_Address OUTPUT{1, 1, 1};
const KV_Group_Address FEEDBACK{1, 1, 2};

KV_Clock_Time weekly(int hour, int minute, std::initializer_list<int> days)
{
    KV_Clock_Time time;
    time.m_hour = hour;
    time.m_minute = minute;
    for (int d : days)
        time.m_fwekday[d] = true;
    return time;
}

KV_Clock_Time on_date(int day, int month, int year, bool use_year)
{
    KV_Clock_Time time;
    time.m_typ = 1;
    time.m_day = day;
    time.m_month = month;
    time.m_year = year;
    time.m_use_year = use_year;
    return time;
}

KV_Clock& add_clock(KV_Fake_Host& host, const std::string& guid, std::vector<KV_Clock_Time> times = {})
{
    KV_Clock clock;
    clock.m_str_guid = guid;
    clock.m_str_name = guid;
    clock.m_addr_db_write = OUTPUT;
    clock.m_list_time = std::move(times);
    host.clocks.m_list_clock.push_back(clock);
    return host.clocks.m_list_clock.back();
}

// The clock record as the controller would read the text sent first.
KV_Settings_Clock first_sent_record(const KV_Fake_Host& host)
{
    return KV_Settings_Clock(host.texts_sent.at(0).second);
}

using Timer = CKV_Gui_Control_App_Overlay_Timer;

// The overlay a tap on the clock tile "{tile}" opens.
Timer* open_timer(KV_Test_Page& p)
{
    auto* tile = p.control<CKV_Gui_Control_Tile_Clock>("{tile}");
    KV_Test_Page::click(tile);
    return qobject_cast<Timer*>(tile->overlay());
}

// A page with the clock tile and the clock control of "{c1}"; the tile's overlay open.
Timer* clock_tile(KV_Test_Page& p, std::vector<KV_Clock_Time> times)
{
    p.host.add_address(OUTPUT, KV_CLOCK_TYPE_SWITCH);
    add_clock(p.host, "{c1}", std::move(times));
    p.add(139, "{tile}", {OUTPUT}, {{"Uhr", "{c1}"}}, 240, 270);
    p.add(111, "{uhr}", {OUTPUT}, {{"Uhr", "{c1}"}});
    p.build();
    return open_timer(p);
}

const std::vector<uint32_t> COMMIT_MESSAGES = {180, 182, 183}; // the record, then both applies

template <class T>
T* field(QWidget* area, const char* name)
{
    return area->findChild<T*>(QString::fromLatin1(name));
}

// Types a number on the clock keypad that the named hour or minute button
// opens, and confirms it.
void enter_on_clock_keypad(QWidget* area, const char* name, int value)
{
    QPushButton* button = field<QPushButton>(area, name);
    QVERIFY(button);
    button->click();
    CKV_Gui_Control_Popup_Keyboard_Clock* keypad = nullptr;
    for (auto* shown : button->window()->findChildren<CKV_Gui_Control_Popup_Keyboard_Clock*>())
        if (!shown->isHidden())
            keypad = shown;
    QVERIFY(keypad);
    for (const QChar digit : QString::number(value))
        keypad->slot_digit(digit.digitValue());
    keypad->slot_ok();
}

using Popup = CKV_Gui_Control_App_Scene_Page_Popup_List;

const KV_Group_Address LIGHT{1, 0, 1};
const KV_Group_Address BLIND{1, 0, 2};
const KV_Group_Address GONE{1, 0, 9}; // not in the address tree
constexpr uint32_t FLOAT32 = 9;

KV_Settings_Scene::Scene scene(const std::string& name, const std::string& guid,
                               const std::vector<std::pair<KV_Group_Address, double>>& items = {})
{
    KV_Settings_Scene::Scene result;
    result.m_str_name = name;
    result.m_str_guid = guid;
    for (const auto& [address, value] : items) {
        KV_Settings_Scene::Item item;
        item.m_addr = address;
        item.m_value = value;
        result.m_list_item.push_back(item);
    }
    return result;
}

// A page with one scene page control and two scenes; the lights and blinds
// report current values, the third address of the evening scene is unknown.
struct Scene_Page {
    KV_Test_Page p;
    CKV_Gui_Control_App_Scene_Page* control = nullptr;

    explicit Scene_Page(const char* allow_save, int type = 1126)
    {
        p.host.scenes.m_list_scene = {scene("Morgen", "{morning}"),
                                      scene("Abend", "{evening}", {{LIGHT, 10}, {BLIND, 20}, {GONE, 30}})};
        set_value_from_double(*p.host.add_address(LIGHT, FLOAT32), 75.5);
        set_value_from_double(*p.host.add_address(BLIND, FLOAT32), 40);
        p.add(type, "{scenes}", {}, {{"Speichern erlauben", allow_save}}, 200, 80);
        p.build();
        control = p.control<CKV_Gui_Control_App_Scene_Page>("{scenes}");
    }

    Popup* open()
    {
        KV_Test_Page::click(control);
        return control->popup();
    }
    static QPushButton* button(QWidget* view, const char* name)
    {
        return view->findChild<QPushButton*>(QLatin1String(name));
    }
    // Opens the evening scene's configuration view.
    Popup* configure_evening()
    {
        Popup* popup = open();
        popup->list_view()->findChildren<QPushButton*>(QStringLiteral("kv_scene_row")).at(1)->click();
        button(popup->actions_view(), "kv_scene_configure")->click();
        return popup;
    }
    const std::vector<KV_Settings_Scene::Item>& evening_items() const
    {
        return p.host.scenes.m_list_scene[1].m_list_item;
    }
};
} // namespace

class tst_clock_scene : public QObject {
    Q_OBJECT

private slots:
    // The keypad keeps hours within 0 to 23 and minutes within 0 to 59; the
    // first digit replaces the shown number, the next ones add to it.
    void clock_keypad_keeps_its_range()
    {
        QWidget window;
        CKV_Gui_Control_Popup_Keyboard_Clock hours(CKV_Gui_Control_Popup_Keyboard_Clock::Part::Hour, 7, &window);
        QCOMPARE(hours.entered(), 7.0);
        hours.slot_digit(2);
        QCOMPARE(hours.entered(), 2.0);
        hours.slot_digit(9);
        QCOMPARE(hours.entered(), 23.0);
        hours.slot_step(1);
        QCOMPARE(hours.entered(), 23.0);

        CKV_Gui_Control_Popup_Keyboard_Clock minutes(CKV_Gui_Control_Popup_Keyboard_Clock::Part::Minute, 0, &window);
        minutes.slot_step(-1);
        QCOMPARE(minutes.entered(), 0.0);
        minutes.slot_digit(4);
        minutes.slot_digit(5);
        minutes.slot_digit(8); // a third digit is not taken
        QCOMPARE(minutes.entered(), 45.0);
    }

    void initTestCase()
    {
        kv_register_tile_controls();
        kv_register_clock_controls();
    }

    void weekday_texts()
    {
        const struct {
            std::initializer_list<int> days;
            const char* text;
        } cases[] = {
            {{0, 1, 2, 3, 4, 5, 6}, "Mo-So"},
            {{0, 1, 2, 3, 4}, "Mo-Fr"},
            {{5, 6}, "Sa-So"},
            {{0, 2, 6}, "Mo; Mi; So"},
            {{}, "Auswahl Tage..."},
            // Near the named ranges but not equal to them: listed.
            {{0, 1, 2, 3, 4, 5}, "Mo; Di; Mi; Do; Fr; Sa"},
            {{4, 5, 6}, "Fr; Sa; So"},
            {{1, 2, 3, 4}, "Di; Mi; Do; Fr"},
            {{6}, "So"},
        };
        for (const auto& c : cases) {
            const KV_Clock_Time time = weekly(0, 0, c.days);
            QCOMPARE(kv_clock_weekdays_text(time), QString::fromUtf8(c.text));
            QCOMPARE(kv_clock_when_text(time), QString::fromUtf8(c.text));
        }
    }

    void time_and_date_texts()
    {
        const KV_Clock_Time morning = weekly(7, 5, {0});
        QCOMPARE(kv_clock_time_text(morning, KV_CLOCK_TIME_CONTROL), QStringLiteral("07h : 05m"));
        QCOMPARE(kv_clock_time_text(morning, KV_CLOCK_TIME_TILE), QStringLiteral("07:05"));
        QCOMPARE(kv_clock_time_text(weekly(23, 59, {}), KV_CLOCK_TIME_TILE), QStringLiteral("23:59"));

        // A date time shows its date where a weekly one shows days.
        const KV_Clock_Time date = on_date(3, 4, 2025, true);
        QCOMPARE(kv_clock_date_text(date), QStringLiteral("03 . 04"));
        QCOMPARE(kv_clock_when_text(date), QStringLiteral("03 . 04"));
        QCOMPARE(kv_clock_once_text(on_date(24, 12, 2026, true)), QStringLiteral("Einmalig am 24.12.2026"));
    }

    void value_texts_per_data_type()
    {
        KV_Clock_Time time;
        const KV_Clock_Value_Texts plain;
        const KV_Clock_Value_Texts own{QStringLiteral("Auf"), QStringLiteral("Zu")};
        const struct {
            uint32_t type;
            double value;
            const KV_Clock_Value_Texts& texts;
            const char* text;
        } cases[] = {
            {KV_CLOCK_TYPE_SWITCH, 0.0, plain, "Aus"}, {KV_CLOCK_TYPE_SWITCH, 1.0, plain, "Ein"},
            {KV_CLOCK_TYPE_SWITCH, 2.0, plain, "Ein"}, {KV_CLOCK_TYPE_SWITCH, 0.0, own, "Zu"},
            {KV_CLOCK_TYPE_SWITCH, 1.0, own, "Auf"},   {KV_CLOCK_TYPE_PERCENT, 55.5, plain, "55.5 %"},
            {KV_CLOCK_TYPE_PERCENT, 100.0, own, "100 %"}, {9, 21.25, plain, "21.25"},
            {5, 0.1, own, "0.1"},                      {0, 3.0, plain, "3"},
        };
        for (const auto& c : cases) {
            time.m_value = c.value;
            QCOMPARE(kv_clock_value_text(&time, c.type, c.texts), QString::fromUtf8(c.text));
        }
        QCOMPARE(kv_clock_value_text(nullptr, KV_CLOCK_TYPE_SWITCH, plain), QStringLiteral("-"));
    }

    void next_time_is_the_one_due_soonest()
    {
        const QDateTime wednesday_ten(QDate(2024, 5, 15), QTime(10, 0));
        KV_Clock clock;
        QCOMPARE(kv_clock_next_time(clock, wednesday_ten), -1);

        clock.m_list_time = {weekly(8, 0, {0}), weekly(9, 0, {2}), weekly(8, 0, {3}), weekly(11, 0, {})};
        QCOMPARE(kv_clock_next_time(clock, wednesday_ten), 2); // Thursday beats next Wednesday and Monday
        clock.m_list_time.push_back(weekly(10, 30, {2}));
        QCOMPARE(kv_clock_next_time(clock, wednesday_ten), 4); // later today
        clock.m_list_time.push_back(on_date(15, 5, 2024, true));
        clock.m_list_time.back().m_hour = 10;
        clock.m_list_time.back().m_minute = 10;
        QCOMPARE(kv_clock_next_time(clock, wednesday_ten), 5);

        // Nothing due any more: the first time.
        clock.m_list_time = {weekly(8, 0, {}), on_date(1, 1, 2020, true)};
        QCOMPARE(kv_clock_next_time(clock, wednesday_ten), 0);
        // A date without year comes again next year.
        clock.m_list_time = {weekly(8, 0, {}), on_date(1, 1, 2020, false)};
        QCOMPARE(kv_clock_next_time(clock, wednesday_ten), 1);
    }

    void control_shows_the_time_and_state_of_its_clock()
    {
        KV_Test_Page p;
        p.host.add_address(OUTPUT, KV_CLOCK_TYPE_SWITCH);
        p.host.add_address(FEEDBACK, KV_CLOCK_TYPE_SWITCH);
        add_clock(p.host, "{c1}", {weekly(6, 30, {0, 1, 2, 3, 4})}).m_list_time[0].m_value = 1.0;
        p.add(111, "{uhr}", {OUTPUT, FEEDBACK}, {{"Uhr", "{c1}"}, {"Text Wert ein", "An"}});
        p.build();
        auto* control = p.control<CKV_Gui_Control_App_Uhr>("{uhr}");
        QCOMPARE(control->value_text(), QStringLiteral("An"));

        // The feedback decides the image; the value alone does not.
        QCOMPARE(control->state_image_name(), QStringLiteral(":/images/icons/uhr_rt.png"));
        p.send(OUTPUT, 1);
        QCOMPARE(control->state_image_name(), QStringLiteral(":/images/icons/uhr_rt.png"));
        p.send(FEEDBACK, 1);
        QCOMPARE(control->state_image_name(), QStringLiteral(":/images/icons/uhr_gr.png"));
        control->grab(); // paints with the image and texts

        // The switching value is chosen by its texts, own or default.
        KV_Test_Page::click(control);
        auto* value = field<QComboBox>(p.area.get(), "m_rc_tm_value");
        QCOMPARE(value->currentText(), QStringLiteral("An"));
        value->setCurrentIndex(0);
        QCOMPARE(value->currentText(), QStringLiteral("Aus"));
        field<QPushButton>(p.area.get(), "kv_clock_editor_ok")->click();
        QCOMPARE(p.host.clocks.m_list_clock[0].m_list_time[0].m_value, 0.0);
        QCOMPARE(control->value_text(), QStringLiteral("Aus"));
    }

    void commit_sends_the_record_then_both_apply_messages()
    {
        for (const bool connected : {true, false}) {
            KV_Test_Page p;
            p.host.connected = connected;
            p.host.add_address(OUTPUT, 9);
            add_clock(p.host, "{c1}", {weekly(6, 30, {0}), weekly(7, 0, {1})});
            p.add(111, "{uhr}", {OUTPUT}, {{"Uhr", "{c1}"}});
            p.build();
            auto* control = p.control<CKV_Gui_Control_App_Uhr>("{uhr}");
            KV_Test_Page::click(control);
            QVERIFY(control->editor() && control->editor()->isVisible());

            QWidget* area = p.area.get();
            field<QComboBox>(area, "m_rc_tm_list")->setCurrentIndex(1);
            emit field<QComboBox>(area, "m_rc_tm_list")->activated(1);
            QCOMPARE(field<QPushButton>(area, "m_rc_tm_time_h")->text(), QStringLiteral("7 h"));
            enter_on_clock_keypad(area, "m_rc_tm_time_h", 21);
            enter_on_clock_keypad(area, "m_rc_tm_time_m", 45);
            QCOMPARE(field<QPushButton>(area, "m_rc_tm_time_m")->text(), QStringLiteral("45 m"));
            field<QDoubleSpinBox>(area, "m_rc_tm_value")->setValue(22.5);
            field<QWidget>(area, "m_rc_tm_days")->findChildren<QToolButton*>().at(6)->click();
            field<QPushButton>(area, "kv_clock_editor_ok")->click();
            QVERIFY(!control->editor()->isVisible());

            // The app's copy holds the change, connected or not.
            const KV_Clock_Time& stored = p.host.clocks.m_list_clock[0].m_list_time[1];
            QCOMPARE(stored.m_hour, 21);
            QCOMPARE(stored.m_minute, 45);
            QCOMPARE(stored.m_value, 22.5);
            QVERIFY(stored.m_fwekday[1] && stored.m_fwekday[6]);
            QCOMPARE(p.host.clocks.m_list_clock[0].m_list_time[0].m_hour, 6);

            if (!connected) {
                QVERIFY(p.host.messages_sent.empty()); // texts too: each one is a message
                continue;
            }
            // The record as the whole changed copy; the applies go without text.
            QCOMPARE(p.host.messages_sent, COMMIT_MESSAGES);
            QCOMPARE(p.host.texts_sent.size(), size_t(1));
            QCOMPARE(p.host.texts_sent[0].second, p.host.clocks.encode());
        }
    }

    void controls_linked_to_the_same_clock_follow_a_commit()
    {
        KV_Test_Page p;
        add_clock(p.host, "{c1}", {weekly(6, 30, {0})});
        add_clock(p.host, "{c2}", {weekly(6, 30, {0})});
        p.add(111, "{uhr}", {OUTPUT}, {{"Uhr", "{c1}"}});
        // A second page with a control of the same clock and one of another.
        KV_GUI_Page& other = p.host.add_page("{page2}");
        KV_Fake_Host::add_control(other, 111, "{same}", {OUTPUT}, {{"Uhr", "{c1}"}});
        KV_Fake_Host::add_control(other, 111, "{else}", {OUTPUT}, {{"Uhr", "{c2}"}});
        p.build();
        std::unique_ptr<CKV_Gui_Control_Container_Sv> other_area((new CKV_Gui_Control_Container(p.host, other))->scroll_area());
        auto* same = qobject_cast<CKV_Gui_Control_App_Uhr*>(other_area->canvas()->find_control("{same}"));
        auto* elsewhere = qobject_cast<CKV_Gui_Control_App_Uhr*>(other_area->canvas()->find_control("{else}"));
        QCOMPARE(same->time_text(), QStringLiteral("06h : 30m"));

        KV_Test_Page::click(p.control<CKV_Gui_Control_App_Uhr>("{uhr}"));
        enter_on_clock_keypad(p.area.get(), "m_rc_tm_time_h", 18);
        field<QWidget>(p.area.get(), "m_rc_tm_days")->findChildren<QToolButton*>().at(5)->click();
        field<QPushButton>(p.area.get(), "kv_clock_editor_ok")->click();

        QCOMPARE(p.control<CKV_Gui_Control_App_Uhr>("{uhr}")->time_text(), QStringLiteral("18h : 30m"));
        QCOMPARE(same->time_text(), QStringLiteral("18h : 30m"));
        QCOMPARE(same->when_text(), QStringLiteral("Mo; Sa"));
        QCOMPARE(elsewhere->time_text(), QStringLiteral("06h : 30m"));
    }

    void unlinked_control_reports_and_changes_nothing()
    {
        KV_Test_Page p;
        add_clock(p.host, "{c1}", {weekly(6, 30, {0})});
        p.add(111, "{uhr}", {OUTPUT}, {{"Uhr", "{gone}"}});
        p.build();
        auto* control = p.control<CKV_Gui_Control_App_Uhr>("{uhr}");
        QCOMPARE(control->value_text(), QStringLiteral("-"));
        KV_Test_Page::click(control);
        QCOMPARE(p.host.messages, std::vector<QString>{QStringLiteral("Bedienelement nicht mit vorhandener Uhr verknüpft.")});
        QVERIFY(!control->editor());
        QVERIFY(p.host.messages_sent.empty());
    }

    void tile_is_off_without_a_running_clock()
    {
        KV_Test_Page p;
        add_clock(p.host, "{on}");
        add_clock(p.host, "{off}").m_active = false;
        for (const char* guid : {"{on}", "{off}", "{gone}"})
            p.add(139, std::string("{t") + guid + "}", {OUTPUT}, {{"Uhr", guid}}, 240, 270);
        p.build();
        auto* on = p.control<CKV_Gui_Control_Tile_Clock>("{t{on}}");
        QVERIFY(!on->is_off());
        QVERIFY(p.control<CKV_Gui_Control_Tile_Clock>("{t{off}}")->is_off());
        QVERIFY(p.control<CKV_Gui_Control_Tile_Clock>("{t{gone}}")->is_off());
        QCOMPARE(on->text_param("Text"), QStringLiteral("Zeitschaltuhr"));
        QCOMPARE(on->param("Icon"), QStringLiteral(":/images/svg/Zeitschaltuhr.svg"));
        QVERIFY(on->has_icon());
        on->grab();
    }

    void overlay_lists_and_adds_switching_times()
    {
        KV_Test_Page p;
        Timer* overlay = clock_tile(p, {});
        QCOMPARE(overlay->findChild<QLabel*>(QStringLiteral("kv_panel_title"))->text(), QStringLiteral("Schaltzeiten"));
        QCOMPARE(overlay->empty_label()->text(), QStringLiteral("Keine Schaltzeit angelegt"));
        QVERIFY(overlay->empty_label()->isVisibleTo(overlay));

        overlay->add_button()->click();
        QCOMPARE(p.host.messages_sent, COMMIT_MESSAGES);
        QCOMPARE(overlay->row_texts(), QStringList{QStringLiteral("Schaltzeit 1\n00:00   Auswahl Tage...   Aus")});
        QTRY_COMPARE(overlay->editor()->state(), CKV_Gui_Control_Tile_Overlay_Base::State::Open); // set the new time
        QVERIFY(!overlay->empty_label()->isVisibleTo(overlay));

        // The count names the next one; a date time reads as a one-time or a yearly entry.
        p.host.clocks.m_list_clock[0].m_list_time.push_back(on_date(2, 3, 2027, true));
        p.host.clocks.m_list_clock[0].m_list_time.push_back(on_date(24, 12, 2027, false));
        overlay->add_button()->click();
        QCOMPARE(overlay->row_texts().at(3), QStringLiteral("Schaltzeit 4\n00:00   Auswahl Tage...   Aus"));
        QCOMPARE(overlay->row_texts().at(1), QStringLiteral("\n00:00   Einmalig am 02.03.2027   Aus"));
        QCOMPARE(overlay->row_texts().at(2), QStringLiteral("\n00:00   Jährlich am 24.12   Aus"));
    }

    void time_editor_stores_with_done()
    {
        KV_Test_Page p;
        Timer* overlay = clock_tile(p, {weekly(6, 0, {0}), on_date(1, 5, 2020, true)});
        CKV_Gui_Overlay_Shift_Time_Edit* editor = overlay->editor();
        // A weekly time: hour, minute, days and the switching value.
        overlay->rows().at(0)->click();
        QCOMPARE(editor->done_button()->text(), QStringLiteral("Fertig"));
        QVERIFY(!field<QSpinBox>(editor, "kv_day")->isVisibleTo(editor));
        enter_on_clock_keypad(editor, "kv_hour", 5);
        enter_on_clock_keypad(editor, "kv_minute", 9);
        for (QToolButton* day : field<QWidget>(editor, "kv_days")->findChildren<QToolButton*>())
            day->setChecked(true);
        field<QComboBox>(editor, "kv_value")->setCurrentIndex(1);
        editor->done_button()->click();
        QCOMPARE(p.host.clocks.m_list_clock[0].m_list_time[0].m_value, 1.0); // "Ein" shows for any value but 0
        QCOMPARE(p.host.messages_sent, COMMIT_MESSAGES);
        QCOMPARE(overlay->row_texts().at(0), QStringLiteral("\n05:09   Mo-So   Ein"));
        // The clock control of the page follows the tile's change.
        QCOMPARE(p.control<CKV_Gui_Control_App_Uhr>("{uhr}")->time_text(), QStringLiteral("05h : 09m"));
    }
    // A time made in the tile's editor: named, switched to a date on the
    // calendar (the day kept within its month), tied to a mode and a scene;
    // the record sent carries all of it. Deleting asks first.
    void editor_makes_a_named_date_entry_and_deletes_after_asking()
    {
        using State = CKV_Gui_Control_Tile_Overlay_Base::State;
        KV_Test_Page p;
        p.host.scenes.m_list_scene.push_back(scene("Abend", "{abend}"));
        Timer* overlay = clock_tile(p, {weekly(6, 0, {0})});
        overlay->add_button()->click();
        p.host.messages_sent.clear();
        p.host.texts_sent.clear();
        CKV_Gui_Overlay_Shift_Time_Edit* editor = overlay->editor();
        QTRY_COMPARE(editor->state(), State::Open);
        CKV_Gui_Clock_Time_Form* form = editor->form();

        form->name_button()->click();
        auto* input = editor->window()->findChild<CKV_Gui_Control_Popup_Name*>();
        QVERIFY(input && input->isVisible());
        QCOMPARE(input->findChild<QLabel*>()->text(), QStringLiteral("Name der Schaltzeit"));
        input->input()->setText(QStringLiteral("Ferienbeginn"));
        field<QPushButton>(input, "kv_name_ok")->click();
        QCOMPARE(form->name_button()->text(), QStringLiteral("Ferienbeginn"));

        form->date_button()->click();
        QVERIFY(!field<QWidget>(editor, "kv_days")->isVisibleTo(editor));
        QVERIFY(form->calendar()->isVisibleTo(editor));
        form->every_year()->setChecked(false);
        emit form->calendar()->clicked(QDate(2028, 2, 29));
        QCOMPARE(form->day()->value(), 29);
        QCOMPARE(form->month()->currentText(), QStringLiteral("Februar"));
        // The calendar names months and days as the panel does, not as the system.
        QCOMPARE(form->calendar()->findChild<QToolButton*>(QStringLiteral("qt_calendar_monthbutton"))->text(),
                 QStringLiteral("Februar"));
        QStringList day_names;
        for (const QLabel* name : form->calendar()->findChildren<QLabel*>(QStringLiteral("kv_calendar_day")))
            day_names << name->text();
        QCOMPARE(day_names.join(' '), QStringLiteral("Mo Di Mi Do Fr Sa So"));
        // April has 30 days: the 31st is not there to pick.
        form->month()->setCurrentIndex(3);
        emit form->month()->activated(3);
        form->day()->setValue(31);
        QCOMPARE(form->day()->value(), 30);
        QCOMPARE(form->calendar()->selectedDate(), QDate(2028, 4, 30));
        form->group()->setCurrentIndex(5); // "Urlaub", mode 4
        QCOMPARE(form->group()->currentText(), QStringLiteral("Urlaub"));
        form->scene()->setCurrentIndex(1);
        editor->done_button()->click();

        QCOMPARE(p.host.messages_sent, COMMIT_MESSAGES);
        const KV_Clock_Time sent = first_sent_record(p.host).m_list_clock[0].m_list_time.at(1);
        QCOMPARE(sent.m_group, 4);
        QVERIFY(sent.m_use_group);
        QCOMPARE(sent.m_str_scene, std::string("{abend}"));
        QCOMPARE(overlay->row_texts().at(1), QStringLiteral("Ferienbeginn\n00:00   Einmalig am 30.04.2028   Aus"));

        // "Nein" keeps the time, "Ja" removes it and sends the record.
        for (const auto& [answer, count] : {std::pair{QMessageBox::No, size_t(2)}, std::pair{QMessageBox::Yes, size_t(1)}}) {
            p.host.messages_sent.clear();
            p.host.texts_sent.clear();
            overlay->rows().at(0)->click();
            QTRY_COMPARE(editor->state(), State::Open);
            editor->remove_button()->click();
            QVERIFY(editor->question() && editor->question()->isVisible());
            editor->question()->button(answer)->click();
            QCOMPARE(p.host.clocks.m_list_clock[0].m_list_time.size(), count);
            if (answer == QMessageBox::Yes) {
                QCOMPARE(p.host.messages_sent, COMMIT_MESSAGES);
                QCOMPARE(first_sent_record(p.host).m_list_clock[0].m_list_time.size(), size_t(1));
                QCOMPARE(overlay->rows().size(), 1);
            } else {
                QVERIFY(p.host.messages_sent.empty());
                editor->set_visible_animated(false);
                QTRY_COMPARE(editor->state(), State::Hidden);
            }
        }
    }

    // The clock's whole set of times stored under names in the tile's
    // overlay and recalled there: a recall commits like every edit and
    // reaches the clock control; the presets outlast a new project (kept by
    // clock GUID in the panel's settings), and removing one takes it away.
    void presets_store_and_recall_whole_sets_of_times()
    {
        KV_Test_Settings_Home home;
        QVERIFY(home.isValid());
        KV_Clock_Time holiday = on_date(24, 12, 2027, false);
        holiday.m_str_name = "Heiligabend";
        holiday.m_group = 4;
        holiday.m_use_group = true;
        holiday.m_str_scene = "{abend}";
        const std::vector<KV_Clock_Time> workdays = {weekly(6, 30, {0, 1, 2, 3, 4}), holiday};
        const auto names = [](const CKV_Gui_Overlay_Preset_List* list) {
            QStringList shown;
            for (const QPushButton* row : list->rows())
                shown << row->text();
            return shown;
        };
        KV_Settings_Clock stored;
        {
            KV_Test_Page p;
            Timer* overlay = clock_tile(p, workdays);
            stored = p.host.clocks;
            CKV_Gui_Overlay_Preset_List* list = overlay->preset_list(); // its empty text: with the colour presets
            list->name_field()->setText(QStringLiteral("Werktage"));
            list->store_button()->click();
            p.host.clocks.m_list_clock[0].m_list_time = {weekly(9, 0, {0, 1, 2, 3, 4, 5, 6})};
            for (int twice = 0; twice < 2; ++twice) { // the same name stores over the first
                list->name_field()->setText(QStringLiteral("Urlaub"));
                list->store_button()->click();
            }
            QCOMPARE(names(list), (QStringList{"Werktage", "Urlaub"}));
            QVERIFY(!list->empty_label()->isVisibleTo(list));
            QVERIFY(p.host.messages_sent.empty()); // storing is the panel's own business

            list->rows().at(1)->click();
            QCOMPARE(p.host.messages_sent, COMMIT_MESSAGES);
            QCOMPARE(kv_clock_weekdays_text(first_sent_record(p.host).m_list_clock[0].m_list_time.at(0)),
                     QStringLiteral("Mo-So"));
        }
        // A new project with the same clock, its times changed on the controller:
        // every field of every time comes back, in the app's copy and in the record sent.
        KV_Test_Page p;
        Timer* overlay = clock_tile(p, {});
        CKV_Gui_Overlay_Preset_List* list = overlay->preset_list();
        QCOMPARE(names(list), (QStringList{"Werktage", "Urlaub"}));
        list->rows().at(0)->click();
        QCOMPARE(p.host.messages_sent, COMMIT_MESSAGES);
        QCOMPARE(p.host.texts_sent[0].second, stored.encode());
        QCOMPARE(p.host.clocks.encode(), stored.encode());
        QCOMPARE(overlay->rows().size(), 2);
        p.host.messages_sent.clear();
        list->findChildren<QPushButton*>(QStringLiteral("kv_preset_remove")).at(0)->click();
        QTRY_COMPARE(names(list), QStringList{"Urlaub"});
        QVERIFY(p.host.messages_sent.empty());
        QCOMPARE(KV_Time_Presets::load("{c1}").size(), size_t(1));
        QVERIFY(KV_Time_Presets::load("{c2}").empty());
    }

    // "Kurzer klick" opens the editor on a click, "Langer klick" only when held.
    void clock_control_opens_on_its_click_setting()
    {
        for (const char* setting : {"0", "1"}) {
            KV_Test_Page p;
            add_clock(p.host, "{c1}", {weekly(6, 0, {0})});
            p.add(111, "{uhr}", {OUTPUT}, {{"Uhr", "{c1}"}, {"Editor öffnen", setting}, {"Zeit Popup", "0.2"}});
            p.build();
            auto* control = p.control<CKV_Gui_Control_App_Uhr>("{uhr}");
            KV_Test_Page::click(control);
            QCOMPARE(control->editor() != nullptr, setting == std::string("0"));
            if (control->editor())
                continue;
            QTest::mousePress(control, Qt::LeftButton, {}, QPoint(10, 10));
            QTRY_VERIFY(control->editor() && control->editor()->isVisible());
            QTest::mouseRelease(control, Qt::LeftButton, {}, QPoint(10, 10));
        }
    }

    void both_types_build_the_page_with_its_list()
    {
        for (int type : {1126, 1509}) {
            Scene_Page s("1", type);
            Popup* popup = s.open();
            QVERIFY(popup && popup->isVisible());
            QCOMPARE(popup->geometry(), s.p.canvas()->scroll_area()->rect());
            QCOMPARE(popup->current_view(), popup->list_view());
            QVERIFY(s.p.host.popup_open());
            QStringList names;
            for (QPushButton* row : popup->list_view()->findChildren<QPushButton*>(QStringLiteral("kv_scene_row")))
                names << row->text();
            QCOMPARE(names, QStringList({"Morgen", "Abend"}));
            Scene_Page::button(popup->list_view(), "kv_scene_close")->click();
            QVERIFY(!popup->isVisible());
            QVERIFY(!s.p.host.popup_open());
        }
    }

    void tap_on_a_scene()
    {
        for (const bool offers_actions : {true, false}) {
            Scene_Page s(offers_actions ? "1" : "0"); // "Speichern erlauben"
            Popup* popup = s.open();
            popup->list_view()->findChildren<QPushButton*>(QStringLiteral("kv_scene_row")).at(1)->click();
            if (offers_actions) {
                // The scene waits for the user's choice; "Ausführen" starts it.
                QCOMPARE(popup->current_view(), popup->actions_view());
                QVERIFY(s.p.host.messages_sent.empty());
                Scene_Page::button(popup->actions_view(), "kv_scene_run")->click();
            } else {
                // Started at once; neither action can be reached.
                popup->configure_scene();
                QVERIFY(popup->current_view() != popup->config_view());
            }
            QCOMPARE(s.p.host.texts_sent, (std::vector<std::pair<uint32_t, std::string>>{{194, "{evening}"}}));
            QCOMPARE(s.p.host.messages_sent, std::vector<uint32_t>{194});
            QVERIFY(!popup->isVisible());
        }
    }

    // Only a scene with a stop address offers "Stoppen"; it writes the stop trigger.
    void stop_writes_the_trigger_of_a_stoppable_scene()
    {
        Scene_Page s("1");
        const KV_Group_Address stop{1, 0, 3};
        s.p.host.add_address(stop, 1);
        s.p.host.scenes.m_list_scene[1].m_addr_bit_stop = stop;
        s.p.host.scenes.m_list_scene[1].m_addr_bit_stop_trigger = 1;
        Popup* popup = s.open();
        const auto rows = popup->list_view()->findChildren<QPushButton*>(QStringLiteral("kv_scene_row"));
        QPushButton* stop_button = Scene_Page::button(popup->actions_view(), "kv_scene_stop");
        rows.at(0)->click();
        QVERIFY(!stop_button->isVisibleTo(popup));
        Scene_Page::button(popup->actions_view(), "kv_scene_back")->click();
        rows.at(1)->click();
        QVERIFY(stop_button->isVisibleTo(popup));
        QVERIFY(!stop_button->icon().isNull());
        stop_button->click();
        QCOMPARE(s.p.host.sent_pairs(), (std::vector<std::pair<KV_Group_Address, double>>{{stop, 1.0}}));
        QVERIFY(!popup->isVisible());
    }

    void configuring_takes_current_values_of_ticked_known_items()
    {
        Scene_Page s("1");
        KV_Settings_Scene expected = s.p.host.scenes;
        Popup* popup = s.configure_evening();
        QCOMPARE(popup->current_view(), popup->config_view());
        const QList<QCheckBox*>& boxes = popup->config_view()->check_boxes();
        QCOMPARE(boxes.size(), 3);
        QVERIFY(boxes[0]->isChecked() && boxes[1]->isChecked() && boxes[2]->isChecked());
        QVERIFY(boxes[0]->text().startsWith(QStringLiteral("1/0/1")));
        boxes[1]->setChecked(false);
        Scene_Page::button(popup->config_view(), "kv_scene_save")->click();

        // The light takes its current value; the unticked blind and the
        // item whose address is unknown keep theirs.
        expected.m_list_scene[1].m_list_item[0].m_value = 75.5;
        QCOMPARE(s.p.host.scenes.encode(), expected.encode());
        // Record, scene, apply: in this order, the record as the whole
        // changed text, the apply without text.
        QCOMPARE(s.p.host.messages_sent, (std::vector<uint32_t>{192, 1197, 193}));
        QCOMPARE(s.p.host.texts_sent,
                 (std::vector<std::pair<uint32_t, std::string>>{{192, expected.encode()}, {1197, "{evening}"}}));
        QVERIFY(!popup->isVisible());
    }

    void cancelled_or_disconnected_configuring()
    {
        {
            // Cancel leaves the record and sends nothing.
            Scene_Page s("1");
            Popup* popup = s.configure_evening();
            Scene_Page::button(popup->config_view(), "kv_scene_cancel")->click();
            QCOMPARE(popup->current_view(), popup->actions_view());
            QCOMPARE(s.evening_items()[0].m_value, 10.0);
            QVERIFY(s.p.host.messages_sent.empty());
        }
        {
            // Without a connection nothing goes out, the app's copy keeps the change.
            Scene_Page s("1");
            s.p.host.connected = false;
            Popup* popup = s.configure_evening();
            Scene_Page::button(popup->config_view(), "kv_scene_save")->click();
            QVERIFY(s.p.host.messages_sent.empty());
            QCOMPARE(s.evening_items()[0].m_value, 75.5);
            QCOMPARE(s.evening_items()[1].m_value, 40.0);
        }
    }
};

QTEST_MAIN(tst_clock_scene)
#include "tst_clock_scene.moc"
