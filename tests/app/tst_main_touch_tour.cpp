// The demo house operated by a finger only: the panel logs in to the
// simulator, and from the first page it shows, scripted touches on the glass
// reach a switched kitchen light, once on a landscape panel (page button,
// then the switch) and once on a portrait panel (room tile, then the switch
// tile). The simulator must see the write. With KV_SHOT_DIR set, every step
// is saved there as a picture (the README's touch pictures).

#include <QTemporaryDir>
#include <QTest>
#include <cmath>

#include "../net/kvsim_process.h"
#include "../visu/kv_touch_script.h"
#include "kv_addr.h"
#include "kv_gui_container.h"
#include "kv_gui_page_button.h"
#include "kv_gui_switch.h"
#include "kv_gui_tile_onoff.h"
#include "kv_gui_tile_room.h"
#include "kv_project_installer.h"
#include "kv_studio_main_app.h"
#include "kv_test_main_project.h"
#include "kv_test_settings_home.h"

namespace {
constexpr int WAIT_MS = 20000;
const KV_Group_Address KITCHEN{1, 0, 6};

// The control of that class on the page shown now that passes `fits`.
template <class T, class Fits>
T* shown(QWidget& window, Fits fits)
{
    for (T* control : window.findChildren<T*>())
        if (control->isVisible() && fits(control))
            return control;
    return nullptr;
}

bool named(const CKV_Gui_Control* control, const char* name)
{
    return control->record().m_str_name == name;
}

bool on_kitchen(const CKV_Gui_Control* control)
{
    return !control->record().m_list_addr.empty() && control->record().m_list_addr[0] == KITCHEN;
}

// Logged in and showing the project the simulator just sent, installed.
bool downloaded(CKV_Studio_Main_App& window, const Kvsim_Process& sim, qsizetype from)
{
    bool sent = false;
    for (qsizetype i = from; i < sim.lines.size() && !sent; ++i)
        sent = sim.lines[i].contains(QStringLiteral("-> 26,"));
    return sent && window.installer().state() == KV_Project_Installer::State::Idle && window.is_logged_in() &&
           window.pages_ready() && window.is_page_stack_shown();
}

void picture(QWidget& window, const char* name)
{
    const QString dir = qEnvironmentVariable("KV_SHOT_DIR");
    if (dir.isEmpty())
        return;
    QTest::qWait(300);
    QVERIFY(window.grab().save(dir + QLatin1Char('/') + QLatin1String(name)));
}

// The simulator logged the kitchen's new value after its first `from` lines.
bool kitchen_written(const Kvsim_Process& sim, qsizetype from, bool was_on)
{
    const QString write = was_on ? QStringLiteral("WRITE 1/0/6 type 1 value 00")
                                 : QStringLiteral("WRITE 1/0/6 type 1 value 01");
    for (qsizetype i = from; i < sim.lines.size(); ++i)
        if (sim.lines[i].contains(write))
            return true;
    return false;
}
// On the reference panel, a 10.1" 1280 x 800 screen (149 DPI) in the
// window's orientation, no operable control of any page of that orientation
// is narrower than 9 mm; pages are scaled like the one shown.
void finger_sized(const CKV_Studio_Main_App& window, bool vertical)
{
    const double smallest = 9.0 * std::hypot(1280.0, 800.0) / 10.1 / 25.4;
    const CKV_Gui_Control_Container* shown_page = nullptr;
    for (const CKV_Gui_Control_Container* canvas : window.canvases())
        if (canvas->isVisible())
            shown_page = canvas;
    QVERIFY(shown_page && shown_page->is_vertical() == vertical);
    const double scale = double(shown_page->width()) / shown_page->design_size().width();
    for (const CKV_Gui_Control_Container* canvas : window.canvases()) {
        if (canvas->is_vertical() != vertical)
            continue;
        for (const CKV_Gui_Control* control : canvas->controls()) {
            const KV_GUI_Control& design = control->loaded_record();
            if (control->operable())
                QVERIFY2(std::min(design.m_width, design.m_height) * scale >= smallest, design.m_str_name.c_str());
        }
    }
}
} // namespace

class tst_main_touch_tour : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        QVERIFY(m_dir.isValid());
        KV_Test_Settings_Home::reset_common(m_dir.path() + QStringLiteral("/"));
        QVERIFY(m_sim.start({"--no-discovery"}));
        QVERIFY(write_test_project(m_dir.filePath(QStringLiteral("kv_app.kvp")), "Lokal", {},
                                   {test_route("Sim", "127.0.0.1:" + std::to_string(m_sim.port))}));
    }

    void landscape_page_button_then_kitchen_switch()
    {
        const qsizetype from_line = m_sim.lines.size();
        CKV_Studio_Main_App window;
        window.set_tick_intervals(50, 500);
        window.resize(1280, 800);
        window.show();
        QTRY_VERIFY_WITH_TIMEOUT(downloaded(window, m_sim, from_line), WAIT_MS);
        picture(window, "touch-landscape-1-start.png");
        finger_sized(window, false);

        auto* floor = shown<CKV_Gui_Control_Button_Seitenwechsel>(
            window, [](const CKV_Gui_Control* c) { return named(c, "Erdgeschoss"); });
        QVERIFY(floor);
        KV_Finger::tap(floor, floor->rect().center());
        CKV_Gui_Control_Button_Universal* kitchen = nullptr;
        QTRY_VERIFY((kitchen = shown<CKV_Gui_Control_Button_Universal>(window, on_kitchen)));
        picture(window, "touch-landscape-2-floor.png");

        const bool was_on = kitchen->is_on();
        const qsizetype from = m_sim.lines.size();
        KV_Finger::tap(kitchen, kitchen->rect().center());
        QTRY_VERIFY_WITH_TIMEOUT(kitchen_written(m_sim, from, was_on), WAIT_MS);
        QTRY_COMPARE_WITH_TIMEOUT(kitchen->is_on(), !was_on, WAIT_MS);
        picture(window, "touch-landscape-3-switched.png");
    }

    void portrait_room_tile_then_kitchen_tile()
    {
        const qsizetype from_line = m_sim.lines.size();
        CKV_Studio_Main_App window;
        window.set_tick_intervals(50, 500);
        window.show();
        QTRY_VERIFY_WITH_TIMEOUT(downloaded(window, m_sim, from_line), WAIT_MS);
        // The panel hangs upright.
        window.slot_ver();
        window.resize(800, 1280);
        QTRY_VERIFY(shown<CKV_Gui_Control_Tile_Room>(window, [](const CKV_Gui_Control*) { return true; }));
        picture(window, "touch-portrait-1-start.png");
        finger_sized(window, true);

        auto* room = shown<CKV_Gui_Control_Tile_Room>(window, [](const CKV_Gui_Control* c) { return named(c, "Wohnen"); });
        QVERIFY(room);
        KV_Finger::tap(room, room->rect().center());
        CKV_Gui_Control_Tile_OnOff* kitchen = nullptr;
        QTRY_VERIFY((kitchen = shown<CKV_Gui_Control_Tile_OnOff>(window, on_kitchen)));
        picture(window, "touch-portrait-2-room.png");

        const bool was_on = !kitchen->is_off();
        const qsizetype from = m_sim.lines.size();
        KV_Finger::tap(kitchen, kitchen->rect().center());
        QTRY_VERIFY_WITH_TIMEOUT(kitchen_written(m_sim, from, was_on), WAIT_MS);
        QTRY_COMPARE_WITH_TIMEOUT(!kitchen->is_off(), !was_on, WAIT_MS);
        picture(window, "touch-portrait-3-switched.png");
    }

private:
    KV_Test_Settings_Home m_home;
    QTemporaryDir m_dir;
    Kvsim_Process m_sim; // serves the demo project
};

QTEST_MAIN(tst_main_touch_tour)
#include "tst_main_touch_tour.moc"
