// The page canvas: nesting and clamping, scaling to the window, placement
// from the design geometry, zoom clamps and snaps, and the control factory's
// type table.

#include <QScroller>
#include <QtTest>

#include "kv_control_catalog.h"
#include "kv_fake_host.h"
#include "kv_gui_container.h"
#include "kv_gui_control.h"
#include "kv_gui_factory.h"

class tst_kv_gui_canvas : public QObject {
    Q_OBJECT

private:
    // The canvas lives in its scroll area; deleting that deletes both.
    static std::unique_ptr<CKV_Gui_Control_Container_Sv> build(KV_Fake_Host& host, KV_GUI_Page& page)
    {
        auto* canvas = new CKV_Gui_Control_Container(host, page);
        return std::unique_ptr<CKV_Gui_Control_Container_Sv>(canvas->scroll_area());
    }

    static KV_GUI_Control& placed(KV_GUI_Page& page, int type, const std::string& guid, QRect geometry,
                                  const std::string& parent = {})
    {
        KV_GUI_Control& record = KV_Fake_Host::add_control(page, type, guid);
        record.m_x = geometry.x();
        record.m_y = geometry.y();
        record.m_width = geometry.width();
        record.m_height = geometry.height();
        record.m_str_guid_parent_control = parent;
        return record;
    }

private slots:
    void nesting_clamps_except_in_popup_calls()
    {
        KV_Fake_Host host;
        KV_GUI_Page& page = host.add_page("{p}");
        placed(page, 0, "{child-popup}", {150, 10, 40, 20}, "{popup}");
        placed(page, 200, "{popup}", {10, 10, 100, 50});
        placed(page, 0, "{box}", {300, 10, 100, 50});
        placed(page, 0, "{child-box}", {150, 40, 40, 20}, "{box}");
        placed(page, 0, "{orphan}", {5, 5, 40, 20}, "{nobody}");
        auto area = build(host, page);
        CKV_Gui_Control_Container* canvas = area->canvas();
        CKV_Gui_Control* popup = canvas->find_control("{popup}");
        CKV_Gui_Control* box = canvas->find_control("{box}");
        CKV_Gui_Control* in_popup = canvas->find_control("{child-popup}");
        CKV_Gui_Control* in_box = canvas->find_control("{child-box}");
        QCOMPARE(in_popup->parentWidget(), popup);
        QCOMPARE(in_popup->pos(), QPoint(150, 10));
        QCOMPARE(in_box->parentWidget(), box);
        QCOMPARE(in_box->pos(), QPoint(60, 30));
        QCOMPARE(box->children_controls(), QList<CKV_Gui_Control*>{in_box});
        QCOMPARE(in_box->parent_control(), box);
        CKV_Gui_Control* orphan = canvas->find_control("{orphan}");
        QCOMPARE(orphan->parentWidget(), canvas);
        QCOMPARE(orphan->parent_control(), nullptr);
    }

    void fit_to_view_scales_by_the_larger_ratio()
    {
        KV_Fake_Host host;
        KV_GUI_Page& page = host.add_page("{p}", 800, 480);
        auto area = build(host, page);
        CKV_Gui_Control_Container* canvas = area->canvas();
        canvas->fit_to_view(QSize(1600, 900));
        QCOMPARE(canvas->size(), QSize(1600, 960));
        canvas->fit_to_view(QSize(0, -5)); // no view yet: 100 x 100
        QCOMPARE(canvas->size(), QSize(167, 100));

        KV_GUI_Page& empty = host.add_page("{zero}", 0, -1);
        auto area_zero = build(host, empty);
        QCOMPARE(area_zero->canvas()->design_size(), QSize(100, 100));
    }

    void vertical_page_keeps_view_width_and_grows_to_its_lowest_control()
    {
        KV_Fake_Host host;
        host.screen_orientation = KV_ORIENTATION_PORTRAIT;
        KV_GUI_Page& page = host.add_page("{p}", 400, 600, true);
        placed(page, 0, "{low}", {10, 900, 100, 100});
        auto area = build(host, page);
        CKV_Gui_Control_Container* canvas = area->canvas();
        canvas->fit_to_view(QSize(800, 600));
        QCOMPARE(canvas->width(), 800);
        // scale 2: the control's bottom 1000 becomes 2000.
        CKV_Gui_Control* low = canvas->find_control("{low}");
        QCOMPARE(low->geometry(), QRect(20, 1800, 200, 200));
        QCOMPARE(canvas->height(), 2000);
    }

    void placement_uses_design_geometry_and_keeps_one_pixel()
    {
        KV_Fake_Host host;
        KV_GUI_Page& page = host.add_page("{p}", 1000, 500);
        placed(page, 0, "{thin}", {101, 51, 1, 1});
        placed(page, 0, "{box}", {200, 100, 300, 100});
        placed(page, 0, "{inner}", {10, 10, 50, 20}, "{box}");
        auto area = build(host, page);
        CKV_Gui_Control_Container* canvas = area->canvas();
        canvas->fit_to_view(QSize(500, 250));
        CKV_Gui_Control* thin = canvas->find_control("{thin}");
        QCOMPARE(thin->geometry(), QRect(50, 25, 1, 1));
        QCOMPARE(canvas->find_control("{inner}")->geometry(), QRect(5, 5, 25, 10));
        // Repeated scaling starts from the design geometry every time.
        canvas->fit_to_view(QSize(1000, 500));
        canvas->fit_to_view(QSize(300, 150));
        canvas->fit_to_view(QSize(1000, 500));
        QCOMPARE(thin->geometry(), QRect(101, 51, 1, 1));
        QCOMPARE(canvas->find_control("{box}")->geometry(), QRect(200, 100, 300, 100));

        // Not placed while the window is still building its pages.
        host.ready = false;
        canvas->fit_to_view(QSize(500, 250));
        QCOMPARE(thin->geometry(), QRect(101, 51, 1, 1));
    }

    void pinch_clamps_while_moving_and_snaps_at_the_end()
    {
        KV_Fake_Host host;
        KV_GUI_Page& page = host.add_page("{p}", 800, 480);
        auto area = build(host, page);
        CKV_Gui_Control_Container* canvas = area->canvas();
        canvas->pinch_zoom(5.0, false);
        QCOMPARE(canvas->zoom(), 4.0f);
        canvas->pinch_zoom(5.0, true);
        QCOMPARE(canvas->zoom(), 4.0f);
        canvas->pinch_zoom(0.5, false);
        QCOMPARE(canvas->zoom(), 0.7f);
        canvas->pinch_zoom(0.5, true);
        QCOMPARE(canvas->zoom(), 1.0f);
        canvas->pinch_zoom(2.5, true);
        QCOMPARE(canvas->zoom(), 2.5f);

        // Portrait screens do not pinch-zoom.
        host.screen_orientation = KV_ORIENTATION_PORTRAIT;
        canvas->pinch_zoom(1.5, true);
        QCOMPARE(canvas->zoom(), 2.5f);
    }

    void ctrl_wheel_steps_and_stops_at_the_limit()
    {
        KV_Fake_Host host;
        KV_GUI_Page& page = host.add_page("{p}", 800, 480);
        auto area = build(host, page);
        area->resize(800, 480);
        CKV_Gui_Control_Container* canvas = area->canvas();
        auto wheel = [canvas](int delta, Qt::KeyboardModifiers modifiers) {
            QWheelEvent event(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, delta), Qt::NoButton, modifiers,
                              Qt::NoScrollPhase, false);
            QApplication::sendEvent(canvas, &event);
        };
        wheel(120, Qt::NoModifier);
        QCOMPARE(canvas->zoom(), 1.0f);
        for (int step = 0; step < 7; ++step)
            wheel(-120, Qt::ControlModifier);
        QCOMPARE(canvas->zoom(), 0.7f);
        wheel(120, Qt::ControlModifier);
        QVERIFY(qAbs(canvas->zoom() - 0.8f) < 1e-5f);
        for (int step = 0; step < 40; ++step)
            wheel(120, Qt::ControlModifier);
        QCOMPARE(canvas->zoom(), 4.0f);
        // The zoomed page is fitted to the view times the zoom.
        const QSize view = area->viewport()->size();
        QCOMPARE(canvas->width(), qRound(std::max(view.width() * 4.0 / 800, view.height() * 4.0 / 480) * 800));
    }

    void factory_follows_the_type_table()
    {
        KV_Fake_Host host;
        KV_GUI_Page& page = host.add_page("{p}");
        std::vector<int> types = kv_control_types();
        const std::vector<int> without_class = {2, 10, 11, 12, 13, 23, 99, 126, 140, 203, 1117, 1600, 9999};
        types.insert(types.end(), without_class.begin(), without_class.end());
        for (int type : types)
            KV_Fake_Host::add_control(page, type, "{t" + std::to_string(type) + "}");
        KV_GUI_Control& dimmer9 = KV_Fake_Host::add_control(page, 118, "{dimmer-9}");
        dimmer9.m_list_addr.assign(9, KV_Group_Address{1, 1, 1});
        KV_GUI_Control& dimmer4 = KV_Fake_Host::add_control(page, 118, "{dimmer-4}");
        dimmer4.m_list_addr.assign(4, KV_Group_Address{1, 1, 1});

        auto area = build(host, page);
        CKV_Gui_Control_Container* canvas = area->canvas();
        QCOMPARE(canvas->controls().size(), qsizetype(types.size() + 2));
        for (int type : types) {
            const CKV_Gui_Control* control = canvas->find_control("{t" + std::to_string(type) + "}");
            const bool has_class = kv_control_class_name(type) != nullptr;
            QCOMPARE(control->type(), has_class ? type : 9999);
            QCOMPARE(QString::fromLatin1(control->metaObject()->className()),
                     QString::fromLatin1(kv_created_class_name(type)));
            QCOMPARE(control->description(), QString::fromUtf8(kv_control_display_name(control->type())));
        }
        for (int type : {109, 120, 1523})
            QCOMPARE(QString::fromLatin1(canvas->find_control("{t" + std::to_string(type) + "}")->metaObject()->className()),
                     QStringLiteral("CKV_Gui_Control_Button_Universal"));
        QCOMPARE(canvas->find_control("{dimmer-9}")->type(), 9999);
        QCOMPARE(canvas->find_control("{dimmer-4}")->type(), 118);
        QCOMPARE(canvas->find_control("{t110}")->description(), QStringLiteral("UNKNOWN"));

        // Stored back: the fallback types are written as 9999, the rest unchanged.
        canvas->store_controls();
        QCOMPARE(page.find_control("{t10}")->m_typ, 9999);
        QCOMPARE(page.find_control("{dimmer-9}")->m_typ, 9999);
        QCOMPARE(page.find_control("{dimmer-4}")->m_typ, 118);
        QCOMPARE(page.find_control("{t130}")->m_typ, 130);
        QCOMPARE(page.find_control("{t121}")->m_typ, 121);
    }

    void kinetic_scrolling_on_the_viewport()
    {
        KV_Fake_Host host;
        KV_GUI_Page& page = host.add_page("{p}");
        auto area = build(host, page);
        QVERIFY(area->canvas()->zoom_allowed());
        QVERIFY(QScroller::hasScroller(area->viewport()));
        const QScrollerProperties properties = QScroller::scroller(area->viewport())->scrollerProperties();
        QCOMPARE(properties.scrollMetric(QScrollerProperties::DragStartDistance).toDouble(), 0.001);
        QCOMPARE(properties.scrollMetric(QScrollerProperties::OvershootScrollDistanceFactor).toDouble(), 0.05);
    }
};

QTEST_MAIN(tst_kv_gui_canvas)
#include "tst_kv_gui_canvas.moc"
