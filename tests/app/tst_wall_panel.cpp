// The wall panel: back to the start page after a while without touch, kiosk
// mode that only a long corner press and the PIN leave, values from before a
// lost connection marked until fresh ones arrive, and the screen-saver
// inhibit request against a fake service on a bus of the test's own.

#include <QDBusConnection>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProcess>
#include <QTemporaryDir>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "kv_trace_capture.h"
#include "kv_gui_classic_popup.h"
#include "kv_gui_container.h"
#include "kv_gui_control.h"
#include "kv_gui_overlay_pin.h"
#include "kv_idle_return.h"
#include "kv_kiosk_guard.h"
#include "kv_network_msg.h"
#include "kv_screen_inhibitor.h"
#include "kv_studio_main_app.h"
#include "kv_test_main_project.h"
#include "kv_test_settings_home.h"

namespace {
// The desktop's screen-saver service as far as the panel uses it.
class Fake_Screen_Saver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    QList<uint> held;
    int requests = 0;

public slots:
    uint Inhibit(const QString&, const QString&)
    {
        held << uint(++requests);
        return held.last();
    }
    void UnInhibit(uint cookie) { held.removeAll(cookie); }
};

// A page with a classic value display and a switch tile, each on its own
// address, and a second page.
bool write_wall_project(const QString& path)
{
    if (!write_test_project(path, "Wand", {{"{p1}"}, {"{p2}"}}, {test_route("Sim", "127.0.0.1:1")}))
        return false;
    CKV_Project_Db db;
    if (!db.load(path.toStdString()))
        return false;
    for (uint32_t sub : {1u, 2u}) {
        KV_Addr_Db address;
        address.m_addr_write = {1, 1, sub};
        address.m_data_typ = 1;
        db.m_addr.add_address(address);
    }
    auto add = [&](int type, const char* guid, uint32_t sub) {
        KV_GUI_Control record;
        record.m_typ = type;
        record.m_str_guid = guid;
        record.m_str_guid_parent_page = "{p1}";
        record.m_width = 200;
        record.m_height = 120;
        record.m_y = sub * 130;
        record.m_list_addr = {{1, 1, sub}};
        db.m_gui_pages[0]->add_control(record);
    };
    add(1, "{label}", 1);
    add(135, "{tile}", 2);
    return db.save(false);
}
} // namespace

class tst_wall_panel : public QObject {
    Q_OBJECT

    KV_Test_Settings_Home m_home;
    QTemporaryDir m_dir;
    std::unique_ptr<CKV_Studio_Main_App> m_window;
    QPointingDevice* m_touch = QTest::createTouchDevice();

    void touch(const QPoint& point, int hold_ms)
    {
        QTest::touchEvent(m_window.get(), m_touch).press(0, point, m_window.get());
        QTest::qWait(hold_ms);
        QTest::touchEvent(m_window.get(), m_touch).release(0, point, m_window.get());
    }
    CKV_Gui_Control* control(const char* guid) const { return m_window->canvases()[0]->find_control(guid); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid() && m_dir.isValid());
        KV_Test_Settings_Home::reset_common(m_dir.path() + QStringLiteral("/"));
        QVERIFY(write_wall_project(m_dir.filePath(QStringLiteral("kv_app.kvp"))));
    }

    void init()
    {
        KV_Test_Settings_Home::clear(QStringLiteral("kirovantor3"), QStringLiteral("Wall"));
        m_window = std::make_unique<CKV_Studio_Main_App>();
        m_window->resize(800, 600);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void cleanup() { m_window.reset(); }

    void idle_return_closes_popups_goes_home_and_counts_from_the_last_touch()
    {
        QVERIFY(!m_window->idle_return()->is_counting()); // off by default
        m_window->slot_settings();
        QPointer<QWidget> keypad = new CKV_Gui_Control_Popup_Percent(QStringLiteral("Licht"), 50, 10, m_window.get());
        static_cast<CKV_Gui_Control_Popup_Percent*>(keypad.data())->show_over_window();
        auto* pin = new CKV_Gui_Overlay_Pin(QStringLiteral("1234"), m_window.get());
        pin->show_over(m_window.get());
        QSignalSpy pin_cancelled(pin, &CKV_Gui_Overlay_Pin::cancelled);

        constexpr int LIMIT_MS = 1000;
        QSignalSpy idle(m_window->idle_return(), &KV_Idle_Return::idle);
        QElapsedTimer clock;
        clock.start();
        m_window->idle_return()->set_limit_ms(LIMIT_MS);
        QTest::qWait(LIMIT_MS / 2);
        touch(QPoint(m_window->width() - 10, 10), 10); // the empty end of the navigation bar
        const qint64 touched = clock.elapsed();
        QVERIFY(idle.wait(3 * LIMIT_MS));
        // Not at the first deadline: the touch started the count anew.
        QVERIFY2(clock.elapsed() - touched >= LIMIT_MS * 9 / 10, qPrintable(QString::number(clock.elapsed() - touched)));
        QCOMPARE(m_window->current_view(), int(CKV_Studio_Main_App::View_Pages));
        QCOMPARE(m_window->current_page(), 0);
        QVERIFY(!keypad || !keypad->isVisible());
        QCOMPARE(pin_cancelled.count(), 1);
        QVERIFY(!m_window->idle_return()->is_counting()); // until the next touch
    }

    void kiosk_is_left_by_a_long_corner_press_and_the_right_pin()
    {
        m_window->wall_settings().pin = QStringLiteral("4711");
        KV_Kiosk_Guard* kiosk = m_window->kiosk_guard();
        kiosk->set_active(true);
        QVERIFY(m_window->windowState() & Qt::WindowFullScreen);
        QVERIFY(!m_window->menuBar()->isVisible());
        QVERIFY(!m_window->findChild<QToolButton*>(QStringLiteral("m_btn_settings"))->isVisible());

        const int hold = KV_Kiosk_Guard::HOLD_MS + 300;
        const QPoint corner(m_window->width() - 10, 10);
        touch(QPoint(m_window->width() / 2, m_window->height() / 2), hold); // long, but not on the corner
        QVERIFY(!kiosk->pin_overlay());
        touch(corner, KV_Kiosk_Guard::HOLD_MS / 3); // on the corner, but short
        QVERIFY(!kiosk->pin_overlay());
        touch(corner, hold);
        QVERIFY(kiosk->pin_overlay() && kiosk->pin_overlay()->isVisible());

        kiosk->pin_overlay()->input()->setText(QStringLiteral("0000"));
        QVERIFY(kiosk->is_active());
        QVERIFY(kiosk->pin_overlay()->error_label()->isVisible());
        kiosk->pin_overlay()->input()->setText(QStringLiteral("4711"));
        QVERIFY(!kiosk->is_active());
        QVERIFY(!(m_window->windowState() & Qt::WindowFullScreen));
        QVERIFY(m_window->menuBar()->isVisible());
        QVERIFY(m_window->findChild<QToolButton*>(QStringLiteral("m_btn_settings"))->isVisible());
    }

    void stale_look_from_loss_to_fresh_value_or_all_sent()
    {
        // Values of the local project are old until the controller sent everything.
        QVERIFY(control("{label}")->is_stale());
        QVERIFY(control("{tile}")->is_stale());
        CKV_Network_Msg all_sent = kv_make_header(kv_msg::ALL_SENT, 0);
        m_window->slot_onDataReadClient(&all_sent, nullptr);
        QVERIFY(!control("{label}")->is_stale() && !control("{tile}")->is_stale());

        m_window->slot_onConnectClient(false, KV_Routes::_route());
        for (const char* guid : {"{label}", "{tile}"}) {
            CKV_Gui_Control* shown = control(guid);
            QVERIFY(shown->is_stale());
            // One look, coloured by the style sheet and covering the control.
            auto* veil = shown->findChild<QWidget*>(QStringLiteral("kv_stale_veil"));
            QVERIFY(veil && veil->isVisibleTo(shown));
            QCOMPARE(veil->geometry(), shown->rect());
            QVERIFY(veil->testAttribute(Qt::WA_TransparentForMouseEvents));
        }
        KV_Addr_Tgm value;
        value.command = KV_TGM_WRITE;
        value.dest_address[0] = value.dest_address[1] = value.dest_address[2] = 1;
        value.m_data_length = 1;
        value.value[0] = 1;
        static_cast<CKV_Studio_Main*>(m_window.get())->slot_onDataReadClient(value);
        QVERIFY(!control("{label}")->is_stale());
        QVERIFY(control("{tile}")->is_stale());
        m_window->slot_onDataReadClient(&all_sent, nullptr);
        QVERIFY(!control("{tile}")->is_stale());
    }

    void screen_saver_inhibited_while_shown_and_wanted()
    {
        QProcess bus;
        bus.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                                  QStringLiteral("--print-address=1")});
        QVERIFY2(bus.waitForStarted(5000), "dbus-daemon is needed (scripts/install-deps.sh)");
        QVERIFY(bus.waitForReadyRead(5000));
        const QString address = QString::fromUtf8(bus.readLine()).trimmed();
        struct Stop {
            QProcess& process;
            ~Stop()
            {
                QDBusConnection::disconnectFromBus(QStringLiteral("service"));
                QDBusConnection::disconnectFromBus(QStringLiteral("panel"));
                process.kill();
                process.waitForFinished();
            }
        } stop{bus};

        QWidget window;
        QDBusConnection panel_bus = QDBusConnection::connectToBus(address, QStringLiteral("panel"));
        {
            // No service on the bus: said once in the trace, however often asked.
            Trace_Capture trace;
            KV_Screen_Inhibitor inhibitor(&window, panel_bus);
            inhibitor.set_enabled(true);
            window.show();
            QTest::qWait(300);
            window.hide();
            window.show();
            QTest::qWait(300);
            QVERIFY(!inhibitor.is_inhibiting());
            QCOMPARE(trace.text().count("NO SCREEN SAVER SERVICE"), 1);
            window.hide();
        }

        Fake_Screen_Saver saver;
        QDBusConnection service_bus = QDBusConnection::connectToBus(address, QStringLiteral("service"));
        QVERIFY(service_bus.registerService(QStringLiteral("org.freedesktop.ScreenSaver")));
        QVERIFY(service_bus.registerObject(QStringLiteral("/org/freedesktop/ScreenSaver"), &saver,
                                           QDBusConnection::ExportAllSlots));
        KV_Screen_Inhibitor inhibitor(&window, panel_bus);
        inhibitor.set_enabled(true);
        QTest::qWait(200);
        QCOMPARE(saver.requests, 0); // not while hidden
        window.show();
        QTRY_VERIFY(inhibitor.is_inhibiting());
        QCOMPARE(saver.held.size(), 1);
        window.showMinimized();
        QTRY_VERIFY(saver.held.isEmpty());
        window.showNormal();
        QTRY_COMPARE(saver.held.size(), 1);
        inhibitor.set_enabled(false);
        QTRY_VERIFY(saver.held.isEmpty());
        QVERIFY(!inhibitor.is_inhibiting());
        QCOMPARE(saver.requests, 2);
    }
};

QTEST_MAIN(tst_wall_panel)
#include "tst_wall_panel.moc"
