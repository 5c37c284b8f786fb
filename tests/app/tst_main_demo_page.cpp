// End to end on the demo house: the panel logs in to the simulator serving the
// demo project, a click on the kitchen switch of a classic page reaches the
// simulator as a write, the simulator's bus echo comes back to the panel, and
// the pages follow a switch of the visualisation language.

#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "../net/kvsim_process.h"
#include "kv_addr.h"
#include "kv_gui_container.h"
#include "kv_gui_label.h"
#include "kv_gui_switch.h"
#include "kv_studio_main_app.h"
#include "kv_test_main_project.h"
#include "kv_test_settings_home.h"

namespace {
constexpr int WAIT_MS = 20000;
const KV_Group_Address KITCHEN{1, 0, 6};

class Recording_Window : public CKV_Studio_Main_App {
public:
    QList<KV_Addr_Tgm> telegrams;

protected:
    void on_telegram(const KV_Addr_Tgm& telegram) override
    {
        telegrams << telegram;
        CKV_Studio_Main_App::on_telegram(telegram);
    }
};

bool is_write_to(const KV_Addr_Tgm& tgm, const KV_Group_Address& address)
{
    return tgm.command == KV_TGM_WRITE && KV_Group_Address{tgm.dest_address[0], tgm.dest_address[1],
                                                           tgm.dest_address[2]} == address;
}
} // namespace

class tst_main_demo_page : public QObject {
    Q_OBJECT
private slots:
    void kitchen_switch_reaches_the_simulator_and_its_echo_comes_back()
    {
        KV_Test_Settings_Home home;
        QVERIFY(home.isValid());
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        KV_Test_Settings_Home::reset_common(dir.path() + QStringLiteral("/"));

        Kvsim_Process sim; // serves the demo project
        QVERIFY(sim.start({"--no-discovery"}));
        QVERIFY(write_test_project(dir.filePath(QStringLiteral("kv_app.kvp")), "Lokal", {},
                                   {test_route("Sim", "127.0.0.1:" + std::to_string(sim.port))}));

        Recording_Window window;
        window.set_tick_intervals(50, 500);
        window.show();
        QTRY_VERIFY_WITH_TIMEOUT(sim.logged("<- 33 "), WAIT_MS);
        QTRY_VERIFY_WITH_TIMEOUT(window.pages_ready() && !window.canvases().isEmpty(), WAIT_MS);

        // The demo's kitchen switch: a universal switch on 1/0/6.
        CKV_Gui_Control_Button_Universal* kitchen = nullptr;
        for (auto* candidate : window.findChildren<CKV_Gui_Control_Button_Universal*>())
            if (!candidate->record().m_list_addr.empty() && candidate->record().m_list_addr[0] == KITCHEN)
                kitchen = candidate;
        QVERIFY(kitchen);
        window.goPage(int(window.canvases().indexOf(kitchen->canvas())));
        QVERIFY(window.is_page_stack_shown());
        const KV_Addr_Db* address = window.address_tree().find_address(KITCHEN);
        QVERIFY(address);
        const bool was_on = value_as_double(*address) != 0.0;
        QCOMPARE(kitchen->is_on(), was_on);

        window.telegrams.clear();
        QTest::mouseClick(kitchen, Qt::LeftButton, {}, kitchen->rect().center());

        const QString sent = was_on ? QStringLiteral("WRITE 1/0/6 type 1 value 00")
                                    : QStringLiteral("WRITE 1/0/6 type 1 value 01");
        QTRY_VERIFY_WITH_TIMEOUT(sim.logged(sent), WAIT_MS);
        QTRY_VERIFY_WITH_TIMEOUT(std::any_of(window.telegrams.begin(), window.telegrams.end(),
                                             [](const KV_Addr_Tgm& tgm) { return is_write_to(tgm, KITCHEN); }),
                                 WAIT_MS);
        QCOMPARE(kitchen->is_on(), !was_on);
        QCOMPARE(value_as_double(*address) != 0.0, !was_on);

        // Switching the visualisation language re-translates the built pages
        // at once, and back again.
        const auto texts = [&] {
            QStringList shown;
            for (auto* label : window.findChildren<CKV_Gui_Control_Label_Text*>())
                shown << label->text();
            return shown;
        };
        QVERIFY(texts().contains("Haus Sonnenhang"));
        window.set_visu_language("en");
        QVERIFY(texts().contains("Sunny Slope House"));
        QVERIFY(!texts().contains("Haus Sonnenhang"));
        window.set_visu_language("");
        QVERIFY(texts().contains("Haus Sonnenhang"));
    }
};

QTEST_MAIN(tst_main_demo_page)
#include "tst_main_demo_page.moc"
