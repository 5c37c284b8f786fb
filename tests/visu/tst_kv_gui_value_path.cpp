// Values both ways: telegrams into the tree and to exactly the controls bound
// to the addresses they concern; writes into the tree and to the controller;
// the universal switch's functions, the PIN, page change and popups.

#include <QLabel>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QtTest>

#include "kv_fake_host.h"
#include "kv_gui_container.h"
#include "kv_gui_control.h"
#include "kv_gui_label.h"
#include "kv_gui_overlay_pin.h"
#include "kv_gui_page_button.h"
#include "kv_gui_popup.h"
#include "kv_gui_slider.h"
#include "kv_gui_switch.h"
#include "kv_gui_value_dispatch.h"

namespace {
// Records every on_value call it receives.
class Recorder : public CKV_Gui_Control {
public:
    struct Call {
        const CKV_Gui_Control* control;
        KV_Group_Address address;
        int entry;
        double value;
        bool operator==(const Call&) const = default;
    };

    Recorder(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record, std::vector<Call>& log)
        : CKV_Gui_Control(canvas, record)
        , m_log(log)
    {
    }
    void on_value(const KV_Addr_Db& address, int entry, double value) override
    {
        m_log.push_back({this, address.m_addr_write, entry, value});
    }

private:
    std::vector<Call>& m_log;
};

KV_GUI_Control bound_to(std::vector<KV_Group_Address> addresses)
{
    KV_GUI_Control record;
    record.m_typ = 1;
    record.m_list_addr = std::move(addresses);
    return record;
}
} // namespace

class tst_kv_gui_value_path : public QObject {
    Q_OBJECT

private:
    struct Page {
        KV_Fake_Host host;
        KV_GUI_Page* page = nullptr;
        std::unique_ptr<CKV_Gui_Control_Container_Sv> area;
        CKV_Gui_Control_Container* canvas() const { return area->canvas(); }
        void build()
        {
            area.reset((new CKV_Gui_Control_Container(host, *page))->scroll_area());
            area->resize(1024, 576);
            area->show();
        }
        template <class T>
        T* control(const std::string& guid) const
        {
            return qobject_cast<T*>(canvas()->find_control(guid));
        }
    };

    static void make_page(Page& p) { p.page = &p.host.add_page("{page}"); }

    static KV_GUI_Control& switch_record(Page& p, int function, std::vector<KV_Group_Address> addresses,
                                         const std::string& pin = {})
    {
        KV_GUI_Control& record = KV_Fake_Host::add_control(
            *p.page, 109, "{switch}", addresses,
            {{"Funktion", std::to_string(function)}, {"Wert ein", "5"}, {"Wert aus", "2"}});
        if (!pin.empty())
            kv_param_set(record, KV_PARAM_PIN, pin);
        record.m_width = 100;
        record.m_height = 40;
        return record;
    }

    static void click(QWidget* widget)
    {
        QTest::mousePress(widget, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseRelease(widget, Qt::LeftButton, {}, QPoint(10, 10));
    }

private slots:
    void read_telegrams_change_nothing()
    {
        Page p;
        make_page(p);
        KV_Addr_Db* address = p.host.add_address({1, 1, 1}, 14);
        set_value_from_double(*address, 7);
        KV_Fake_Host::add_control(*p.page, 1, "{value}", {{1, 1, 1}});
        p.build();
        auto* label = p.control<CKV_Gui_Control_Label_Value>("{value}");
        QCOMPARE(label->value_text(), QStringLiteral("7"));
        QCOMPARE(p.host.dispatch().on_telegram(make_telegram({1, 1, 1}, KV_TGM_READ, {42})), 0);
        QCOMPARE(value_as_double(*address), 7.0);
        QCOMPARE(label->value_text(), QStringLiteral("7"));
        QCOMPARE(label->on_telegram(make_telegram({1, 1, 1}, KV_TGM_READ, {42})), false);
        QCOMPARE(p.host.dispatch().on_telegram(make_telegram({1, 1, 1}, KV_TGM_RESPONSE, {42})), 1);
        QCOMPARE(label->value_text(), QStringLiteral("42"));
    }

    void listen_address_updates_every_bound_control()
    {
        Page p;
        make_page(p);
        p.host.add_address({1, 1, 1}, 14, {{7, 7, 7}});
        p.host.add_address({2, 2, 2}, 14, {{7, 7, 7}});
        p.host.add_address({7, 7, 7}, 14);
        KV_Fake_Host::add_control(*p.page, 1, "{a}", {{1, 1, 1}});
        KV_Fake_Host::add_control(*p.page, 1, "{b}", {{1, 1, 1}}, {{"Format", "%d W"}});
        KV_Fake_Host::add_control(*p.page, 1, "{c}", {{2, 2, 2}});
        KV_Fake_Host::add_control(*p.page, 1, "{other}", {{3, 3, 3}});
        p.build();
        QCOMPARE(p.host.dispatch().on_telegram(make_telegram({7, 7, 7}, KV_TGM_WRITE, {9})), 3);
        QCOMPARE(p.control<CKV_Gui_Control_Label_Value>("{a}")->value_text(), QStringLiteral("9"));
        QCOMPARE(p.control<CKV_Gui_Control_Label_Value>("{b}")->value_text(), QStringLiteral("9 W"));
        QCOMPARE(p.control<CKV_Gui_Control_Label_Value>("{c}")->value_text(), QStringLiteral("9"));
        QCOMPARE(p.control<CKV_Gui_Control_Label_Value>("{other}")->value_text(), QStringLiteral("0"));
    }

    void index_dispatch_matches_the_plain_path()
    {
        Page p;
        make_page(p);
        QRandomGenerator random(7);
        auto address_of = [](int n) { return KV_Group_Address{1, uint32_t(n / 10), uint32_t(n % 10 + 1)}; };
        for (int n = 0; n < 60; ++n) {
            std::vector<KV_Group_Address> listen;
            if (n % 7 == 0)
                listen.push_back(address_of(n + 1));
            p.host.add_address(address_of(n), 14, listen);
        }
        KV_Fake_Host::add_control(*p.page, 0, "{unused}");
        p.build();
        std::vector<Recorder::Call> indexed;
        std::vector<Recorder::Call> plain;
        std::vector<Recorder*> recorders;
        for (int c = 0; c < 40; ++c) {
            std::vector<KV_Group_Address> entries;
            for (int e = 0; e < 1 + c % 3; ++e)
                entries.push_back(address_of(random.bounded(70))); // some outside the tree
            recorders.push_back(new Recorder(p.canvas(), bound_to(entries), indexed));
        }
        KV_GUI_Control disabled = bound_to({});
        disabled.m_addr_disable = address_of(3);
        Recorder* disable_only = new Recorder(p.canvas(), disabled, indexed);

        int delivered = 0;
        for (int t = 0; t < 300; ++t) {
            const KV_Addr_Tgm telegram =
                make_telegram(address_of(random.bounded(75)), random.bounded(3), {uint8_t(random.bounded(256))});
            indexed.clear();
            const int matched = p.host.dispatch().on_telegram(telegram);
            const std::vector<Recorder::Call> through_index = indexed;
            // The reference: every control asked, in creation order.
            indexed.clear();
            int expected_matches = 0;
            for (Recorder* recorder : recorders)
                expected_matches += recorder->on_telegram(telegram) ? 1 : 0;
            expected_matches += disable_only->on_telegram(telegram) ? 1 : 0;
            QCOMPARE(through_index, indexed);
            QCOMPARE(matched, expected_matches);
            delivered += matched;
        }
        QVERIFY(delivered > 50); // the run exercised real deliveries

        // A destroyed control leaves the index.
        const KV_Group_Address first = recorders.front()->entry_address(0);
        const size_t before = p.host.dispatch().subscriber_count(first);
        delete recorders.front();
        QCOMPARE(p.host.dispatch().subscriber_count(first), before - 1);
    }

    void entries_are_called_in_entry_order()
    {
        Page p;
        make_page(p);
        p.host.add_address({1, 1, 1}, 14, {{5, 5, 5}});
        p.host.add_address({2, 2, 2}, 14);
        p.host.add_address({5, 5, 5}, 14);
        p.build();
        std::vector<Recorder::Call> log;
        auto* recorder = new Recorder(p.canvas(), bound_to({{5, 5, 5}, {2, 2, 2}, {1, 1, 1}, {5, 5, 5}}), log);
        QCOMPARE(p.host.dispatch().on_telegram(make_telegram({5, 5, 5}, KV_TGM_WRITE, {3})), 1);
        const std::vector<Recorder::Call> expected = {
            {recorder, {5, 5, 5}, 0, 3}, {recorder, {1, 1, 1}, 2, 3}, {recorder, {5, 5, 5}, 3, 3}};
        QCOMPARE(log, expected);
    }

    void write_while_disconnected_stays_local()
    {
        Page p;
        make_page(p);
        KV_Addr_Db* address = p.host.add_address({1, 1, 1}, 9);
        switch_record(p, CKV_Gui_Control_Switch_Base::TOGGLE, {{1, 1, 1}});
        p.build();
        auto* control = p.control<CKV_Gui_Control_Button_Universal>("{switch}");
        p.host.connected = false;
        click(control);
        QCOMPARE(value_as_double(*address), 1.0);
        QVERIFY(control->is_on());
        QVERIFY(p.host.sent.empty());
        p.host.connected = true;
        QVERIFY(control->write_value(0, 4.5));
        QCOMPARE(p.host.sent.size(), size_t(1));
        QCOMPARE(p.host.sent[0].address, (KV_Group_Address{1, 1, 1}));
        QCOMPARE(p.host.sent[0].value, 4.5);
        // No entry, or an address outside the tree: nothing written.
        QVERIFY(!control->write_value(3, 1.0));
    }

    void switch_functions()
    {
        struct Case {
            int function;
            double current;
            std::vector<double> sent_at_press;
            std::vector<double> sent_in_all;
            bool on_after;
        };
        const std::vector<Case> cases = {
            {CKV_Gui_Control_Switch_Base::TOGGLE, 0.5, {}, {0.0}, false},
            {CKV_Gui_Control_Switch_Base::TOGGLE, 0.0, {}, {1.0}, true},
            {CKV_Gui_Control_Switch_Base::ON_OFF_VALUE, 2.0, {}, {5.0}, true},
            {CKV_Gui_Control_Switch_Base::ON_OFF_VALUE, 5.0, {}, {2.0}, false},
            {CKV_Gui_Control_Switch_Base::ONLY_ON, 0.0, {}, {5.0}, false},
            {CKV_Gui_Control_Switch_Base::PUSH_BUTTON, 0.0, {5.0}, {5.0, 2.0}, false},
        };
        for (const Case& c : cases) {
            Page p;
            make_page(p);
            set_value_from_double(*p.host.add_address({1, 1, 1}, 9), c.current);
            switch_record(p, c.function, {{1, 1, 1}});
            p.build();
            auto* control = p.control<CKV_Gui_Control_Button_Universal>("{switch}");
            QCOMPARE(control->current_value(), c.current);
            QTest::mousePress(control, Qt::LeftButton, {}, QPoint(10, 10));
            std::vector<double> sent;
            for (const auto& s : p.host.sent)
                sent.push_back(s.value);
            QCOMPARE(sent, c.sent_at_press);
            if (c.function >= CKV_Gui_Control_Switch_Base::ONLY_ON)
                QVERIFY(control->is_on()); // shows on while held
            QTest::mouseRelease(control, Qt::LeftButton, {}, QPoint(10, 10));
            sent.clear();
            for (const auto& s : p.host.sent)
                sent.push_back(s.value);
            QCOMPARE(sent, c.sent_in_all);
            QCOMPARE(control->is_on(), c.on_after);
        }
    }

    void feedback_drives_the_switch()
    {
        Page p;
        make_page(p);
        KV_Addr_Db* switching = p.host.add_address({1, 1, 1}, 9);
        p.host.add_address({1, 1, 2}, 9);
        switch_record(p, CKV_Gui_Control_Switch_Base::ON_OFF_VALUE, {{1, 1, 1}, {1, 1, 2}});
        p.host.feedback_separate = true;
        p.build();
        auto* control = p.control<CKV_Gui_Control_Button_Universal>("{switch}");
        p.host.dispatch().on_telegram(make_telegram({1, 1, 2}, KV_TGM_WRITE, {0x40, 0xA0, 0, 0})); // 5.0f
        QVERIFY(control->is_on());
        QCOMPARE(value_as_double(*switching), 5.0); // feedback copied to the switching address
        // With feedback kept apart, the switching address alone does not switch.
        p.host.dispatch().on_telegram(make_telegram({1, 1, 1}, KV_TGM_WRITE, {0x40, 0, 0, 0})); // 2.0f
        QVERIFY(control->is_on());
        QCOMPARE(control->current_value(), 5.0);
    }

    void pin_guards_the_operation()
    {
        Page p;
        make_page(p);
        p.host.add_address({1, 1, 1}, 9);
        switch_record(p, CKV_Gui_Control_Switch_Base::ONLY_ON, {{1, 1, 1}}, "4711");
        p.build();
        auto* control = p.control<CKV_Gui_Control_Button_Universal>("{switch}");

        click(control);
        click(control); // asked once, however often it is pressed meanwhile
        QCOMPARE(p.area->findChildren<CKV_Gui_Overlay_Pin*>().size(), qsizetype(1));
        auto* overlay = p.area->findChild<CKV_Gui_Overlay_Pin*>(QStringLiteral("kv_gui_overlay_pin"));
        QVERIFY(overlay);
        QVERIFY(p.host.sent.empty());
        QVERIFY(!overlay->error_label()->isVisible());
        QCOMPARE(overlay->error_label()->property("error").toString(), QStringLiteral("true"));
        QTest::keyClicks(overlay->input(), QStringLiteral("4712"));
        QVERIFY(overlay->error_label()->isVisible());
        QVERIFY(p.host.sent.empty());
        QTest::keyClicks(overlay->input(), QStringLiteral("4711"));
        QCOMPARE(p.host.sent.size(), size_t(1));
        QCOMPARE(p.host.sent[0].value, 5.0);
        QVERIFY(!overlay->isVisible());

        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        click(control);
        overlay = p.area->findChild<CKV_Gui_Overlay_Pin*>(QStringLiteral("kv_gui_overlay_pin"));
        QVERIFY(overlay);
        QTest::keyClicks(overlay->input(), QStringLiteral("47"));
        overlay->slot_cancel();
        QVERIFY(overlay->input()->text().isEmpty());
        QCOMPARE(p.host.sent.size(), size_t(1));
    }

    void page_change_on_click_and_on_edges()
    {
        Page p;
        make_page(p);
        p.host.add_address({4, 4, 4}, 1);
        KV_GUI_Control& every = KV_Fake_Host::add_control(*p.page, 121, "{every}", {{4, 4, 4}},
                                                          {{"Seite", "{p1}"}, {"Auto Seitenwechsel", "1"}});
        KV_GUI_Control& rising = KV_Fake_Host::add_control(*p.page, 121, "{rising}", {{4, 4, 4}},
                                                           {{"Seite", "{p2}"}, {"Auto Seitenwechsel", "2"}});
        KV_GUI_Control& falling = KV_Fake_Host::add_control(*p.page, 121, "{falling}", {{4, 4, 4}},
                                                            {{"Seite", "{p3}"}, {"Auto Seitenwechsel", "3"}});
        for (KV_GUI_Control* record : {&every, &rising, &falling})
            record->m_y = 50 * (&every == record ? 0 : &rising == record ? 1 : 2);
        p.build();
        for (int bit : {1, 1, 0, 0, 1})
            p.host.dispatch().on_telegram(make_telegram({4, 4, 4}, KV_TGM_WRITE, {uint8_t(bit)}));
        const std::vector<std::string> expected = {"{p1}", "{p2}", "{p1}", "{p1}", "{p3}", "{p1}", "{p1}", "{p2}"};
        QCOMPARE(p.host.pages_shown, expected);
        p.host.pages_shown.clear();
        click(p.control<CKV_Gui_Control_Button_Seitenwechsel>("{falling}"));
        QCOMPARE(p.host.pages_shown, std::vector<std::string>{"{p3}"});
    }

    void slider_takes_only_drags_along_its_axis()
    {
        Page p;
        make_page(p);
        p.host.add_address({1, 1, 1}, 9);
        KV_GUI_Control& record = KV_Fake_Host::add_control(*p.page, 101, "{slider}", {{1, 1, 1}},
                                                           {{"Minimum", "0"}, {"Maximum", "100"}, {"Schrittweite", "5"}});
        record.m_width = 200;
        record.m_height = 40;
        p.build();
        auto* slider = p.control<CKV_Gui_Control_Slider_Hor>("{slider}");
        // Across the axis: the page scrolls, the value stays.
        QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(20, 20));
        QTest::mouseMove(slider, QPoint(22, 35));
        QVERIFY(!slider->is_dragging());
        QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(22, 35));
        QVERIFY(p.host.sent.empty());
        // Along the axis: the slider takes the drag and writes where it ends.
        QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(20, 20));
        QTest::mouseMove(slider, QPoint(60, 22));
        QVERIFY(slider->is_dragging());
        QTest::mouseMove(slider, QPoint(101, 22));
        QCOMPARE(slider->value(), 50.0); // 50.5 on the grid of 5
        QVERIFY(p.host.sent.empty());
        QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(101, 22));
        QVERIFY(!slider->is_dragging());
        QCOMPARE(p.host.sent.size(), size_t(1));
        QCOMPARE(p.host.sent[0].value, 50.0);
        // A tap sets the value at the finger, clamped to the range.
        QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(199, 20));
        QCOMPARE(p.host.sent.back().value, 100.0);
    }

    void disable_and_hide_addresses_block_operation()
    {
        Page p;
        make_page(p);
        p.host.add_address({1, 1, 1}, 9);
        p.host.add_address({6, 6, 6}, 1);
        p.host.add_address({6, 6, 7}, 1);
        KV_GUI_Control& record = switch_record(p, CKV_Gui_Control_Switch_Base::TOGGLE, {{1, 1, 1}});
        record.m_addr_disable = {6, 6, 6};
        record.m_addr_hide = {6, 6, 7};
        p.build();
        auto* control = p.control<CKV_Gui_Control_Button_Universal>("{switch}");
        // Telegrams to either address reach the control (it repaints).
        QCOMPARE(p.host.dispatch().on_telegram(make_telegram({6, 6, 6}, KV_TGM_WRITE, {1})), 1);
        QVERIFY(control->disabled_by_address());
        click(control);
        QVERIFY(p.host.sent.empty());
        QCOMPARE(p.host.dispatch().on_telegram(make_telegram({6, 6, 6}, KV_TGM_WRITE, {0})), 1);
        QCOMPARE(p.host.dispatch().on_telegram(make_telegram({6, 6, 7}, KV_TGM_WRITE, {1})), 1);
        QVERIFY(control->hidden_by_address());
        click(control);
        QVERIFY(p.host.sent.empty());
        p.host.dispatch().on_telegram(make_telegram({6, 6, 7}, KV_TGM_WRITE, {0}));
        click(control);
        QCOMPARE(p.host.sent.size(), size_t(1));
    }

    void popup_opens_and_sets_the_flag()
    {
        Page p;
        make_page(p);
        KV_GUI_Control& container = KV_Fake_Host::add_control(*p.page, 201, "{box}");
        container.m_width = 200;
        container.m_height = 100;
        KV_GUI_Control& inside = KV_Fake_Host::add_control(*p.page, 0, "{inside}");
        inside.m_str_guid_parent_control = "{box}";
        KV_GUI_Control& call = KV_Fake_Host::add_control(*p.page, 202, "{call}", {}, {{"Container", "{box}"}});
        call.m_y = 300;
        p.build();
        auto* box = p.control<CKV_Gui_Control_Popup_Container>("{box}");
        QVERIFY(!box->isVisible());
        click(p.control<CKV_Gui_Control_Popup_Button>("{call}"));
        QVERIFY(box->isVisible());
        QVERIFY(p.host.popup_open());
        // "Einfach": the first operation inside closes it.
        click(p.canvas()->find_control("{inside}"));
        QTRY_VERIFY(!box->isVisible());
        QVERIFY(!p.host.popup_open());
    }
};

QTEST_MAIN(tst_kv_gui_value_path)
#include "tst_kv_gui_value_path.moc"
