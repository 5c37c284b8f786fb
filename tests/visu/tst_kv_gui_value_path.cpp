// Values both ways: telegrams into the tree and to exactly the controls bound
// to the addresses they concern; writes into the tree and to the controller;
// the universal switch's functions, the PIN, page change and the slider.

#include <QLabel>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QtTest>

#include "kv_fake_host.h"
#include "kv_gui_control.h"
#include "kv_gui_label.h"
#include "kv_gui_overlay_pin.h"
#include "kv_gui_page_button.h"
#include "kv_gui_slider.h"
#include "kv_gui_switch.h"

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
    static CKV_Gui_Control_Button_Universal* universal(KV_Test_Page& p, int function,
                                                       std::vector<KV_Group_Address> addresses,
                                                       const std::string& pin = {})
    {
        KV_GUI_Control& record = p.add(109, "{switch}", addresses,
                                       {{"Funktion", std::to_string(function)}, {"Wert ein", "5"}, {"Wert aus", "2"}},
                                       100, 40);
        if (!pin.empty())
            kv_param_set(record, KV_PARAM_PIN, pin);
        p.build();
        return p.control<CKV_Gui_Control_Button_Universal>("{switch}");
    }


private slots:
    void read_changes_nothing_and_listen_reaches_every_bound_control()
    {
        KV_Test_Page p;
        KV_Addr_Db* address = p.host.add_address({1, 1, 1}, 14, {{7, 7, 7}});
        set_value_from_double(*address, 7);
        p.host.add_address({2, 2, 2}, 14, {{7, 7, 7}});
        p.host.add_address({7, 7, 7}, 14);
        p.add(1, "{a}", {{1, 1, 1}});
        p.add(1, "{b}", {{1, 1, 1}}, {{"Format", "%d W"}});
        p.add(1, "{c}", {{2, 2, 2}});
        p.add(1, "{other}", {{3, 3, 3}});
        p.build();
        auto text = [&p](const char* guid) { return p.control<CKV_Gui_Control_Label_Value>(guid)->value_text(); };
        QCOMPARE(p.send({1, 1, 1}, 42, KV_TGM_READ), 0);
        QCOMPARE(value_as_double(*address), 7.0);
        QCOMPARE(text("{a}"), QStringLiteral("7"));
        QCOMPARE(p.send({1, 1, 1}, 42, KV_TGM_RESPONSE), 2);
        QCOMPARE(text("{a}"), QStringLiteral("42"));

        QCOMPARE(p.send({7, 7, 7}, 9), 3);
        QCOMPARE(text("{a}"), QStringLiteral("9"));
        QCOMPARE(text("{b}"), QStringLiteral("9 W"));
        QCOMPARE(text("{c}"), QStringLiteral("9"));
        QCOMPARE(text("{other}"), QStringLiteral("0"));
    }

    void index_dispatch_matches_the_plain_path()
    {
        KV_Test_Page p;
        QRandomGenerator random(7);
        auto address_of = [](int n) { return KV_Group_Address{1, uint32_t(n / 10), uint32_t(n % 10 + 1)}; };
        for (int n = 0; n < 60; ++n) {
            std::vector<KV_Group_Address> listen;
            if (n % 7 == 0)
                listen.push_back(address_of(n + 1));
            p.host.add_address(address_of(n), 14, listen);
        }
        p.build();
        std::vector<Recorder::Call> indexed;
        std::vector<Recorder*> recorders;
        for (int c = 0; c < 40; ++c) {
            std::vector<KV_Group_Address> entries;
            for (int e = 0; e < 1 + c % 3; ++e)
                entries.push_back(address_of(random.bounded(70))); // some outside the tree
            recorders.push_back(new Recorder(p.canvas(), bound_to(entries), indexed));
        }
        KV_GUI_Control disabled = bound_to({});
        disabled.m_addr_disable = address_of(3);
        recorders.push_back(new Recorder(p.canvas(), disabled, indexed));

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

    void write_while_disconnected_stays_local()
    {
        KV_Test_Page p;
        KV_Addr_Db* address = p.host.add_address({1, 1, 1}, 9);
        auto* control = universal(p, KV_SWITCH_TOGGLE, {{1, 1, 1}});
        p.host.connected = false;
        KV_Test_Page::click(control);
        QCOMPARE(value_as_double(*address), 1.0);
        QVERIFY(p.host.sent.empty());
        p.host.connected = true;
        QVERIFY(control->write_value(0, 4.5));
        QCOMPARE(p.host.sent.size(), size_t(1));
        QCOMPARE(p.host.sent[0].address, (KV_Group_Address{1, 1, 1}));
        QCOMPARE(p.host.sent[0].value, 4.5);
        QVERIFY(!control->write_value(3, 1.0)); // no such entry: nothing written
    }

    void switch_functions_data()
    {
        QTest::addColumn<int>("function");
        QTest::addColumn<double>("current");
        QTest::addColumn<std::vector<double>>("sent_at_press");
        QTest::addColumn<std::vector<double>>("sent_in_all");
        QTest::addColumn<bool>("on_after");
        using V = std::vector<double>;
        // Two clicks with no echo between them: the second starts from what the first sent.
        QTest::newRow("toggle at 0.5") << int(KV_SWITCH_TOGGLE) << 0.5 << V{} << V{0.0, 1.0} << true;
        QTest::newRow("on/off value") << int(KV_SWITCH_ON_OFF_VALUE) << 5.0 << V{} << V{2.0, 5.0} << true;
        QTest::newRow("Nur Ein Wert") << int(KV_SWITCH_ONLY_ON) << 0.0 << V{} << V{5.0, 5.0} << false;
        QTest::newRow("Taster") << int(KV_SWITCH_PUSH) << 0.0 << V{5.0} << V{5.0, 2.0, 5.0, 2.0} << false;
    }
    void switch_functions()
    {
        QFETCH(int, function);
        QFETCH(double, current);
        KV_Test_Page p;
        set_value_from_double(*p.host.add_address({1, 1, 1}, 9), current);
        auto* control = universal(p, function, {{1, 1, 1}});
        QCOMPARE(control->current_value(), current);
        QTest::mousePress(control, Qt::LeftButton, {}, QPoint(10, 10));
        QTEST(p.host.sent_values(), "sent_at_press");
        if (function >= KV_SWITCH_ONLY_ON)
            QVERIFY(control->is_on()); // shows on while held
        QTest::mouseRelease(control, Qt::LeftButton, {}, QPoint(10, 10));
        KV_Test_Page::click(control);
        QTEST(p.host.sent_values(), "sent_in_all");
        QTEST(control->is_on(), "on_after");
        // Outside run mode (the editor) a click operates nothing.
        p.host.running = false;
        const size_t sent = p.host.sent.size();
        KV_Test_Page::click(control);
        QCOMPARE(p.host.sent.size(), sent);
    }

    void feedback_drives_the_switch()
    {
        KV_Test_Page p;
        KV_Addr_Db* switching = p.host.add_address({1, 1, 1}, 9);
        p.host.add_address({1, 1, 2}, 9);
        p.host.feedback_separate = true;
        auto* control = universal(p, KV_SWITCH_ON_OFF_VALUE, {{1, 1, 1}, {1, 1, 2}});
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
        KV_Test_Page p;
        p.host.add_address({1, 1, 1}, 9);
        auto* control = universal(p, KV_SWITCH_ONLY_ON, {{1, 1, 1}}, "4711");
        KV_Test_Page::click(control);
        KV_Test_Page::click(control); // asked once, however often it is pressed meanwhile
        QCOMPARE(p.area->findChildren<CKV_Gui_Overlay_Pin*>().size(), qsizetype(1));
        auto* overlay = p.area->findChild<CKV_Gui_Overlay_Pin*>(QStringLiteral("kv_gui_overlay_pin"));
        QVERIFY(!overlay->error_label()->isVisible());
        QTest::keyClicks(overlay->input(), QStringLiteral("4712"));
        QVERIFY(overlay->error_label()->isVisible());
        QVERIFY(p.host.sent.empty());
        QTest::keyClicks(overlay->input(), QStringLiteral("4711"));
        QCOMPARE(p.host.sent_values(), std::vector<double>{5.0});
        QVERIFY(!overlay->isVisible());

        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        KV_Test_Page::click(control);
        overlay = p.area->findChild<CKV_Gui_Overlay_Pin*>(QStringLiteral("kv_gui_overlay_pin"));
        QVERIFY(overlay);
        QTest::keyClicks(overlay->input(), QStringLiteral("47"));
        overlay->slot_cancel();
        QVERIFY(overlay->input()->text().isEmpty());
        QCOMPARE(p.host.sent.size(), size_t(1));
    }

    void page_change_on_click_and_on_edges()
    {
        KV_Test_Page p;
        p.host.add_address({4, 4, 4}, 1);
        const char* targets[] = {"{p1}", "{p2}", "{p3}"};
        for (int edge = 1; edge <= 3; ++edge) // every change, rising, falling
            p.add(121, "{edge" + std::to_string(edge) + "}", {{4, 4, 4}},
                  {{"Seite", targets[edge - 1]}, {"Auto Seitenwechsel", std::to_string(edge)}})
                .m_y = 70 * edge;
        p.build();
        for (int bit : {1, 1, 0, 0, 1})
            p.send({4, 4, 4}, uint8_t(bit));
        const std::vector<std::string> expected = {"{p1}", "{p2}", "{p1}", "{p1}", "{p3}", "{p1}", "{p1}", "{p2}"};
        QCOMPARE(p.host.pages_shown, expected);
        p.host.pages_shown.clear();
        KV_Test_Page::click(p.control<CKV_Gui_Control_Button_Seitenwechsel>("{edge3}"));
        QCOMPARE(p.host.pages_shown, std::vector<std::string>{"{p3}"});
    }

    void slider_follows_the_finger_and_writes_at_the_lift()
    {
        KV_Test_Page p;
        p.host.add_address({1, 1, 1}, 9);
        p.add(101, "{slider}", {{1, 1, 1}}, {{"Minimum", "0"}, {"Maximum", "100"}, {"Schrittweite", "5"}}, 200, 40);
        p.build();
        auto* slider = p.control<CKV_Gui_Control_Slider_Hor>("{slider}");
        // The slider has the finger from touch-down, in any direction.
        QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(20, 20));
        QVERIFY(slider->is_dragging());
        QTest::mouseMove(slider, QPoint(22, 35));
        QCOMPARE(slider->value(), 10.0);
        QTest::mouseMove(slider, QPoint(101, 22));
        QCOMPARE(slider->value(), 50.0); // 50.5 on the grid of 5
        QVERIFY(p.host.sent.empty());
        QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(101, 22));
        QCOMPARE(p.host.sent_values(), std::vector<double>{50.0});
        // A tap sets the value at the finger, clamped to the range.
        QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(199, 20));
        QCOMPARE(p.host.sent.back().value, 100.0);
    }
};

QTEST_MAIN(tst_kv_gui_value_path)
#include "tst_kv_gui_value_path.moc"
