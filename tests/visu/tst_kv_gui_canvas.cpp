// The page canvas: nesting and clamping, scaling to the window, placement
// from the design geometry, zoom clamps and snaps, and the control factory's
// type table.

#include <QScrollBar>
#include <QtTest>

#include "kv_fake_host.h"
#include "kv_gui_control.h"
#include "kv_gui_factory.h"
#include "kv_gui_popup.h"

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
        KV_Fake_Host host;
        KV_GUI_Page& page = host.add_page("{p}");
        KV_Fake_Host::add_control(page, 0, "{text}").m_str_font = font.toStdString();
        auto area = build(host, page);
        QCOMPARE(int(area->canvas()->find_control("{text}")->text_font().weight()), weight);
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

    void factory_follows_the_type_table()
    {
        KV_Fake_Host host;
        KV_GUI_Page& page = host.add_page("{p}");
        std::vector<int> types = kv_control_types();
        for (int type : {2, 10, 99, 126, 1117, 9999}) // no class of their own
            types.push_back(type);
        auto guid = [](int type) { return "{t" + std::to_string(type) + "}"; };
        for (int type : types)
            KV_Fake_Host::add_control(page, type, guid(type));
        KV_Fake_Host::add_control(page, 118, "{dimmer-9}").m_list_addr.assign(9, KV_Group_Address{1, 1, 1});
        KV_Fake_Host::add_control(page, 118, "{dimmer-4}").m_list_addr.assign(4, KV_Group_Address{1, 1, 1});

        auto area = build(host, page);
        CKV_Gui_Control_Container* canvas = area->canvas();
        QCOMPARE(canvas->controls().size(), qsizetype(types.size() + 2));
        for (int type : types) {
            const CKV_Gui_Control* control = canvas->find_control(guid(type));
            QCOMPARE(control->type(), kv_control_class_name(type) ? type : 9999);
        }
        QCOMPARE(canvas->find_control("{dimmer-9}")->type(), 9999);
        QCOMPARE(canvas->find_control("{dimmer-4}")->type(), 118);
        QCOMPARE(canvas->find_control("{t110}")->description(), QStringLiteral("UNKNOWN"));

        // Stored back: the fallback types are written as 9999, the rest unchanged.
        canvas->store_controls();
        QCOMPARE(page.find_control("{t10}")->m_typ, 9999);
        QCOMPARE(page.find_control("{dimmer-9}")->m_typ, 9999);
        QCOMPARE(page.find_control("{dimmer-4}")->m_typ, 118);
    }
};

QTEST_MAIN(tst_kv_gui_canvas)
#include "tst_kv_gui_canvas.moc"
