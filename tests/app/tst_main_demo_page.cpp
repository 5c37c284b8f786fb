// End to end on the demo house: the panel logs in to the simulator serving the
// demo project, a click on the kitchen switch of a classic page reaches the
// simulator as a write, the simulator's bus echo comes back to the panel, and
// the pages follow a switch of the visualisation language; a colour preset
// recalled on the terrace light reaches the simulator's channels, and a date
// entry made in a clock tile its clock record.

#include <QCalendarWidget>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "../net/kvsim_process.h"
#include "kv_addr.h"
#include "kv_gui_classic_color.h"
#include "kv_gui_clock_time_form.h"
#include "kv_gui_tile_clock.h"
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
        QVERIFY(sim.start({"--no-discovery", "--full-log"}));
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

        recall_colour_preset(window, sim);
        create_date_entry(window, sim);
    }

private:
    // The terrace light's overlay shows its block (600); recalling "Magenta"
    // writes the four channels, which the simulator logs.
    static void recall_colour_preset(CKV_Studio_Main_App& window, Kvsim_Process& sim)
    {
        CKV_Gui_Control_App_RGBW* light = nullptr;
        for (auto* candidate : window.findChildren<CKV_Gui_Control_App_RGBW*>())
            if (candidate->record().m_typ == 1512)
                light = candidate;
        QVERIFY(light);
        window.goPage(int(window.canvases().indexOf(light->canvas())));
        QTest::mouseClick(light, Qt::LeftButton, {}, light->rect().center());
        QVERIFY(light->overlay());
        QTRY_VERIFY_WITH_TIMEOUT(sim.logged("<- 600 "), WAIT_MS);
        QTRY_COMPARE(light->overlay()->state(), CKV_Gui_Control_Tile_Overlay_Base::State::Open);
        QPushButton* magenta = nullptr;
        for (QPushButton* row : light->overlay()->preset_list()->rows())
            if (row->text() == QStringLiteral("Magenta"))
                magenta = row;
        QVERIFY(magenta);
        magenta->click();
        for (const char* write : {"WRITE 1/2/3 type 6 value ff", "WRITE 1/2/4 type 6 value 00",
                                  "WRITE 1/2/5 type 6 value ff", "WRITE 1/2/6 type 6 value 00"})
            QTRY_VERIFY2_WITH_TIMEOUT(sim.logged(QString::fromLatin1(write)), write, WAIT_MS);
        light->overlay()->set_visible_animated(false);
    }

    // A one-time date entry made in the garden clock tile's editor reaches
    // the simulator's clock record; the times as they were, stored as a
    // preset first, are recalled afterwards and replace it there again.
    static void create_date_entry(CKV_Studio_Main_App& window, Kvsim_Process& sim)
    {
        auto tiles = window.findChildren<CKV_Gui_Control_Tile_Clock*>();
        QVERIFY(!tiles.isEmpty());
        CKV_Gui_Control_Tile_Clock* tile = tiles.first();
        window.goPage(int(window.canvases().indexOf(tile->canvas())));
        tile->open_overlay();
        auto* overlay = qobject_cast<CKV_Gui_Control_App_Overlay_Timer*>(tile->overlay());
        QVERIFY(overlay);
        QTRY_COMPARE(overlay->state(), CKV_Gui_Control_Tile_Overlay_Base::State::Open);
        const int index = int(overlay->rows().size());
        overlay->preset_list()->name_field()->setText(QStringLiteral("Alltag"));
        overlay->preset_list()->store_button()->click();
        overlay->add_button()->click();
        CKV_Gui_Overlay_Shift_Time_Edit* editor = overlay->editor();
        QTRY_COMPARE(editor->state(), CKV_Gui_Control_Tile_Overlay_Base::State::Open);
        CKV_Gui_Clock_Time_Form* form = editor->form();
        form->set_name(QStringLiteral("Sommerfest"));
        form->date_button()->click();
        form->every_year()->setChecked(false);
        emit form->calendar()->clicked(QDate(2027, 6, 21));
        editor->done_button()->click();
        const QString time = QStringLiteral("clock__0__tm__%1_").arg(index);
        for (const QString& field : {time + "m_typ=1 ", time + "m_str_name=Sommerfest ", time + "m_year=2027 ",
                                     time + "m_use_year=1 ", time + "m_month=6 ", time + "m_day=21 "})
            QTRY_VERIFY2_WITH_TIMEOUT(sim.logged(field), qPrintable(field), WAIT_MS);
        QTRY_VERIFY_WITH_TIMEOUT(sim.logged("clock settings stored"), WAIT_MS);
        // The simulator's record comes back (renamed there) with the entry in it.
        sim.command("clock Garten neu");
        const auto clock = [&window] { return window.clock_settings().m_list_clock.at(0); };
        QTRY_COMPARE_WITH_TIMEOUT(clock().m_str_name, std::string("Garten neu"), WAIT_MS);
        QCOMPARE(clock().m_list_time.at(size_t(index)).m_str_name, std::string("Sommerfest"));

        sim.lines.clear();
        QCOMPARE(overlay->preset_list()->rows().at(0)->text(), QStringLiteral("Alltag"));
        overlay->preset_list()->rows().at(0)->click();
        QTRY_VERIFY_WITH_TIMEOUT(sim.logged("clock settings stored"), WAIT_MS);
        const QStringList record = sim.lines.filter(QStringLiteral("<- 180 "));
        QCOMPARE(record.size(), 1);
        QVERIFY(record[0].contains(QStringLiteral("m_str_name=Garten neu ")));
        QVERIFY(!record[0].contains(QStringLiteral("Sommerfest")));
        QVERIFY(record[0].contains(QStringLiteral("clock__0__tm__%1_m_typ=").arg(index - 1)));
        QVERIFY(!record[0].contains(time));
        QTRY_VERIFY_WITH_TIMEOUT(sim.logged("<- 182 ") && sim.logged("<- 183 "), WAIT_MS);
        QCOMPARE(clock().m_list_time.size(), size_t(index));
    }
};

QTEST_MAIN(tst_main_demo_page)
#include "tst_main_demo_page.moc"
