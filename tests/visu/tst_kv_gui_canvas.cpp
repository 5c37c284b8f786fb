// The page canvas: nesting and clamping, scaling to the window, placement
// from the design geometry, zoom clamps and snaps. Values both ways:
// telegrams into the tree and to exactly the controls bound to the addresses
// they concern; writes into the tree and to the controller; the universal
// switch's functions, the PIN, page change and the slider.

#include <QLabel>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QtTest>

#include "kv_fake_host.h"
#include "kv_gui_control.h"
#include "kv_gui_label.h"
#include "kv_gui_overlay_pin.h"
#include "kv_gui_page_button.h"
#include "kv_gui_popup.h"
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

class tst_kv_gui_canvas : public QObject {
    Q_OBJECT

private:
    // The canvas lives in its scroll area; deleting that deletes both.
    static std::unique_ptr<CKV_Gui_Control_Container_Sv> build(KV_Fake_Host& host, KV_GUI_Page& page)
    {
        return std::unique_ptr<CKV_Gui_Control_Container_Sv>((new CKV_Gui_Control_Container(host, page))->scroll_area());
    }

    static void place(KV_GUI_Page& page, int type, const std::string& guid, QRect geometry,
                      const std::string& parent = {})
    {
        KV_GUI_Control& record = KV_Fake_Host::add_control(page, type, guid);
        record.m_x = geometry.x();
        record.m_y = geometry.y();
        record.m_width = geometry.width();
        record.m_height = geometry.height();
        record.m_str_guid_parent_control = parent;
    }
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
    void nesting_clamps_except_in_popup_calls()
    {
        KV_Fake_Host host;
        KV_GUI_Page& page = host.add_page("{p}");
        place(page, 0, "{child-popup}", {150, 10, 40, 20}, "{popup}");
        place(page, 200, "{popup}", {10, 10, 100, 50});
        place(page, 0, "{box}", {300, 10, 100, 50});
        place(page, 0, "{child-box}", {150, 40, 40, 20}, "{box}");
        place(page, 0, "{orphan}", {5, 5, 40, 20}, "{nobody}");
        auto area = build(host, page);
        CKV_Gui_Control_Container* canvas = area->canvas();
        CKV_Gui_Control* box = canvas->find_control("{box}");
        CKV_Gui_Control* in_popup = canvas->find_control("{child-popup}");
        CKV_Gui_Control* in_box = canvas->find_control("{child-box}");
        QCOMPARE(in_popup->parentWidget(), canvas->find_control("{popup}"));
        QCOMPARE(in_popup->pos(), QPoint(150, 10)); // type 200 keeps what lies outside
        QCOMPARE(in_box->parentWidget(), box);
        QCOMPARE(in_box->pos(), QPoint(60, 30));
        // Placing the page for the window keeps the clamp.
        canvas->fit_to_view(QSize(2048, 1152));
        QCOMPARE(in_box->geometry(), QRect(120, 60, 80, 40));
        QCOMPARE(in_popup->pos(), QPoint(300, 20));
        canvas->fit_to_view(QSize(1024, 576));
        QCOMPARE(in_box->pos(), QPoint(60, 30));
        QCOMPARE(box->children_controls(), QList<CKV_Gui_Control*>{in_box});
        CKV_Gui_Control* orphan = canvas->find_control("{orphan}");
        QCOMPARE(orphan->parentWidget(), canvas);
        QCOMPARE(orphan->parent_control(), nullptr);
    }

    void fonts_take_qt5_weights_data()
    {
        QTest::addColumn<QString>("font");
        QTest::addColumn<int>("weight");
        QTest::newRow("bold") << "Arial,18,75,0" << int(QFont::Bold);
        QTest::newRow("normal") << "Arial,12,50,0" << int(QFont::Normal);
        QTest::newRow("default") << "Arial,9,-1,0" << int(QFont::Normal);
        QTest::newRow("light") << "Arial,9,25,1" << int(QFont::Light);
        QTest::newRow("between demi and bold") << "Arial,9,70,0" << int(QFont::Bold);
        QTest::newRow("qt 6 scale") << "Arial,9,600,0" << 600;
    }
    void fonts_take_qt5_weights()
    {
        QFETCH(QString, font);
        QFETCH(int, weight);
        KV_Test_Page p;
        p.add(0, "{text}").m_str_font = font.toStdString();
        QCOMPARE(int(p.build()->find_control("{text}")->text_font().weight()), weight);
    }

    void fit_to_view_and_placement()
    {
        KV_Fake_Host host;
        KV_GUI_Page& wide = host.add_page("{wide}", 800, 480);
        auto wide_area = build(host, wide);
        wide_area->canvas()->fit_to_view(QSize(1600, 900)); // the larger ratio
        QCOMPARE(wide_area->canvas()->size(), QSize(1600, 960));
        wide_area->canvas()->fit_to_view(QSize(0, -5)); // no view yet: 100 x 100
        QCOMPARE(wide_area->canvas()->size(), QSize(167, 100));
        KV_GUI_Page& empty = host.add_page("{zero}", 0, -1);
        QCOMPARE(build(host, empty)->canvas()->design_size(), QSize(100, 100));

        KV_GUI_Page& page = host.add_page("{p}", 1000, 500);
        place(page, 0, "{thin}", {101, 51, 1, 1});
        place(page, 0, "{box}", {200, 100, 300, 100});
        place(page, 0, "{inner}", {10, 10, 50, 20}, "{box}");
        auto area = build(host, page);
        CKV_Gui_Control_Container* canvas = area->canvas();
        canvas->fit_to_view(QSize(500, 250));
        CKV_Gui_Control* thin = canvas->find_control("{thin}");
        QCOMPARE(thin->geometry(), QRect(50, 25, 1, 1)); // one pixel stays one
        QCOMPARE(canvas->find_control("{inner}")->geometry(), QRect(5, 5, 25, 10));
        // Repeated scaling starts from the design geometry every time.
        canvas->fit_to_view(QSize(300, 150));
        canvas->fit_to_view(QSize(1000, 500));
        QCOMPARE(thin->geometry(), QRect(101, 51, 1, 1));
        QCOMPARE(canvas->find_control("{box}")->geometry(), QRect(200, 100, 300, 100));
        // Not placed while the window is still building its pages.
        host.ready = false;
        canvas->fit_to_view(QSize(500, 250));
        QCOMPARE(thin->geometry(), QRect(101, 51, 1, 1));
    }

    void vertical_page_keeps_view_width_and_grows_to_its_lowest_control()
    {
        KV_Fake_Host host;
        host.screen_orientation = KV_ORIENTATION_PORTRAIT;
        KV_GUI_Page& page = host.add_page("{p}", 400, 600, true);
        place(page, 0, "{low}", {10, 900, 100, 100});
        auto area = build(host, page);
        CKV_Gui_Control_Container* canvas = area->canvas();
        canvas->fit_to_view(QSize(800, 600));
        QCOMPARE(canvas->find_control("{low}")->geometry(), QRect(20, 1800, 200, 200)); // scale 2
        QCOMPARE(canvas->size(), QSize(800, 2000));
    }

    // The bar of a page that scrolls down narrows the view: the page is
    // fitted to what is left, so nothing scrolls sideways.
    void scroll_bar_brings_no_sideways_scroll()
    {
        KV_Fake_Host host;
        KV_GUI_Page& page = host.add_page("{p}", 800, 1000);
        auto area = build(host, page);
        area->resize(800, 600);
        area->show();
        QVERIFY(QTest::qWaitForWindowExposed(area.get()));
        QVERIFY(area->verticalScrollBar()->maximum() > 0);
        QCOMPARE(area->horizontalScrollBar()->maximum(), 0);
        QCOMPARE(area->canvas()->width(), area->viewport()->width());
    }

    // An open popup stays centred in the view when the page is fitted anew.
    void open_popup_keeps_its_place_on_resize_and_zoom()
    {
        KV_Test_Page p;
        p.add(200, "{button}", {}, {{"Container", "{popup}"}, {"Popup zentrieren", "1"}});
        KV_GUI_Control& container = p.add(201, "{popup}", {}, {}, 200, 100);
        container.m_x = 10;
        container.m_y = 400;
        p.build();
        auto* popup = p.control<CKV_Gui_Control_Popup_Container>("{popup}");
        KV_Test_Page::click(p.control<CKV_Gui_Control_Popup_Button>("{button}"));
        QVERIFY(popup->is_open());
        const auto centred = [&] {
            const QRect view(QPoint(p.area->horizontalScrollBar()->value(), p.area->verticalScrollBar()->value()),
                             p.area->viewport()->size());
            return (popup->geometry().center() - view.center()).manhattanLength() <= 2;
        };
        QVERIFY(centred());
        p.area->resize(700, 500);
        QTRY_VERIFY(centred());
        p.canvas()->wheel_zoom(120);
        QTRY_VERIFY(centred());
    }

    void zoom_clamps_while_moving_and_snaps_at_the_end()
    {
        KV_Fake_Host host;
        KV_GUI_Page& page = host.add_page("{p}", 800, 480);
        auto area = build(host, page);
        area->resize(800, 480);
        area->show();
        QVERIFY(QTest::qWaitForWindowExposed(area.get()));
        CKV_Gui_Control_Container* canvas = area->canvas();
        // Clamped to 0.7..4 while pinching; an end below 1 snaps back to 1;
        // each pinch scales the zoom the page had when it began.
        const struct { double factor; Qt::GestureState state; float zoom; } pinches[] = {
            {1.0, Qt::GestureStarted, 1.0f}, {5.0, Qt::GestureUpdated, 4.0f},  {0.5, Qt::GestureUpdated, 0.7f},
            {0.5, Qt::GestureFinished, 1.0f}, {1.0, Qt::GestureStarted, 1.0f}, {2.5, Qt::GestureFinished, 2.5f},
            {1.0, Qt::GestureStarted, 2.5f}, {0.5, Qt::GestureFinished, 1.25f}, {1.0, Qt::GestureStarted, 1.25f},
            {0.5, Qt::GestureFinished, 1.0f}};
        for (const auto& pinch : pinches) {
            canvas->pinch_zoom(pinch.factor, pinch.state);
            QCOMPARE(canvas->zoom(), pinch.zoom);
        }

        auto wheel = [canvas](int delta, Qt::KeyboardModifiers modifiers) {
            QWheelEvent event(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, delta), Qt::NoButton, modifiers,
                              Qt::NoScrollPhase, false);
            QApplication::sendEvent(canvas, &event);
        };
        wheel(120, Qt::NoModifier);
        QCOMPARE(canvas->zoom(), 1.0f);
        wheel(-120, Qt::ControlModifier);
        QVERIFY(qAbs(canvas->zoom() - 0.9f) < 1e-5f);
        for (int step = 0; step < 40; ++step)
            wheel(120, Qt::ControlModifier);
        QCOMPARE(canvas->zoom(), 4.0f);
        // The zoomed page is fitted to the view its scroll bars leave, times the zoom.
        auto view = [&area] { return QSizeF(area->viewport()->size()) * 4.0; };
        QTRY_COMPARE(canvas->width(), qRound(std::max(view().width() / 800, view().height() / 480) * 800));

        // Portrait screens do not pinch-zoom.
        host.screen_orientation = KV_ORIENTATION_PORTRAIT;
        canvas->pinch_zoom(0.5, Qt::GestureFinished);
        QCOMPARE(canvas->zoom(), 4.0f);
    }

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
        QCOMPARE(p.host.sent_pairs(), (std::vector<std::pair<KV_Group_Address, double>>{{{1, 1, 1}, 4.5}}));
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

QTEST_MAIN(tst_kv_gui_canvas)
#include "tst_kv_gui_canvas.moc"
