// Takes the README pictures: runs the panel offscreen against a running
// simulator and saves the target dialog, the status panel, the demo pages (one
// also as it looks with values from before a lost connection) and the settings
// view in the light and the dark style, one page before and after switching
// its language, and the colour, sequence and time editors.
//
//   kvtour OUTDIR WORKDIR      (WORKDIR holds kv_app.kvp with an active route
//                               and kv_app_history.db, see kvtool history)

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTextStream>
#include <functional>

#include "kv_app_context.h"
#include "kv_dlg_settings.h"
#include "kv_dlg_zielsystem.h"
#include "kv_dlg_zielsysteminfo.h"
#include "kv_fonts.h"
#include "kv_gui.h"
#include "kv_gui_classic_color.h"
#include "kv_gui_clock_time_form.h"
#include "kv_gui_color_sequence.h"
#include "kv_gui_container.h"
#include "kv_gui_tile_clock.h"
#include "kv_gui_tile_jalousie.h"
#include "kv_gui_value_dispatch.h"
#include "kv_logger_view.h"
#include "kv_project_db.h"
#include "kv_studio_main_app.h"

namespace {
bool wait_until(const std::function<bool()>& done, int timeout_ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeout_ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return done();
}

void settle(int ms) { wait_until([] { return false; }, ms); }

bool save(QWidget* widget, const QString& path)
{
    settle(400);
    const bool ok = widget->grab().save(path);
    QTextStream(stdout) << (ok ? "saved " : "could not save ") << path << '\n';
    return ok;
}

bool opened(CKV_Gui_Control_Tile_Overlay_Base* overlay)
{
    return wait_until([overlay] { return overlay->state() == CKV_Gui_Control_Tile_Overlay_Base::State::Open; }, 2000);
}

// The colour overlay with its presets, the sequence overlay with a step in
// its editor, and a clock tile's times with a preset and its time editor on
// a date with its calendar.
int shoot_colours_and_times(CKV_Studio_Main_App* window, const QString& out)
{
    int failures = 0;
    window->goHomePage();
    for (auto* light : window->findChildren<CKV_Gui_Control_App_RGBW*>()) {
        if (light->record().m_typ != 1512)
            continue;
        window->goPage(light->canvas()->page_guid());
        light->open_overlay();
        failures += !opened(light->overlay()) || !save(window, out + "colour-overlay.png");
        light->overlay()->set_visible_animated(false);
        break;
    }
    for (auto* sequence : window->findChildren<CKV_Gui_Control_App_RGBW_SEQU*>()) {
        window->goPage(sequence->canvas()->page_guid());
        sequence->on_release({});
        failures += !opened(sequence->overlay()) || !save(window, out + "sequence-overlay.png");
        sequence->overlay()->edit_step(1);
        failures += !opened(sequence->overlay()->step_editor()) || !save(window, out + "sequence-step.png");
        sequence->overlay()->step_editor()->set_visible_animated(false);
        sequence->overlay()->set_visible_animated(false);
        break;
    }
    // The tile pages are portrait pages.
    window->slot_ver();
    window->resize(560, 1000);
    window->goHomePage();
    settle(100);
    for (auto* tile : window->findChildren<CKV_Gui_Control_Tile_Clock*>()) {
        window->goPage(tile->canvas()->page_guid());
        settle(100);
        tile->open_overlay();
        auto* times = qobject_cast<CKV_Gui_Control_App_Overlay_Timer*>(tile->overlay());
        // The clock's times as a preset of this panel.
        times->preset_list()->name_field()->setText(QStringLiteral("Sommer"));
        times->preset_list()->store_button()->click();
        failures += !opened(times) || !save(window, out + "time-presets.png");
        // Shown, not stored: the editor closes without "Fertig".
        times->editor()->edit(0);
        times->editor()->form()->set_type(1);
        times->editor()->form()->set_date(QDate(2027, 6, 21));
        failures += !opened(times->editor()) || !save(window, out + "time-editor.png");
        times->editor()->set_visible_animated(false);
        times->set_visible_animated(false);
        settle(500);
        break;
    }
    window->slot_hor();
    window->resize(1280, 800);
    return failures;
}

std::string page_guid(const char* caption)
{
    for (const auto& page : kv_app().project->m_gui_pages) {
        if (page->m_str_caption == caption)
            return page->m_str_guid;
    }
    return {};
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        QTextStream(stderr) << "usage: kvtour OUTDIR WORKDIR\n";
        return 2;
    }
    KV_App_Context& context = kv_app();
    context.dirs =
        KV_App_Dirs::from_program_path(KV_App_Dirs::absolute_program_path(QString::fromLocal8Bit(argv[0])));
    context.dirs.prepare();

    QApplication application(argc, argv);
    kv_register_fonts();
    kv_disable_font_hinting();
    context.flags.app = true;

    const QString out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath() + '/';
    QDir().mkpath(out);
    {
        QSettings common("kirovantor3", "Common");
        common.setValue("m_str_working_dir__", QDir(QString::fromLocal8Bit(argv[2])).absolutePath() + '/');
        common.setValue("m_check_version_", 0);
        common.setValue("m_app_styleSheet", 0);
    }

    auto* window = new CKV_Studio_Main_App;
    window->resize(1280, 800);
    window->show();

    int failures = 0;
    if (!wait_until([&] { return window->is_logged_in() && window->pages_ready(); }, 30000)) {
        QTextStream(stderr) << "kvtour: the panel did not log in to the simulator\n";
        ++failures;
    }

    const char* styles[] = {"light", "dark"};
    for (int style = 0; style < 2; ++style) {
        context.settings->set_app_style(style);
        const QString suffix = QString("-%1.png").arg(styles[style]);

        window->goHomePage();
        failures += !save(window, out + "main-window" + suffix);
        window->goPage(page_guid("Erdgeschoss"));
        failures += !save(window, out + "page-classic" + suffix);
        // Between a reconnect and the controller's "all sent": values from before the loss.
        window->dispatch().set_stale(true);
        failures += !save(window, out + "page-stale" + suffix);
        window->dispatch().set_stale(false);
        window->goPage(page_guid("Technik"));
        failures += !save(window, out + "page-catalogue" + suffix);
        window->slot_settings();
        failures += !save(window, out + "settings-wall" + suffix);
        window->goHomePage();

        // The tile pages are portrait pages.
        window->slot_ver();
        window->resize(560, 1000);
        window->goPage(page_guid("Start"));
        settle(100);
        failures += !save(window, out + "page-tiles" + suffix);
        window->goPage(page_guid("Wohnen"));
        settle(100);
        for (auto* blind : window->findChildren<CKV_Gui_Control_Tile_Jalousie*>()) {
            if (!blind->isVisible())
                continue;
            blind->open_overlay();
            wait_until([blind] { return blind->overlay()->state() == CKV_Gui_Control_Tile_Overlay_Base::State::Open; },
                       2000);
            failures += !save(window, out + "tile-overlay" + suffix);
            blind->overlay()->set_visible_animated(false);
            settle(500);
            break;
        }
        window->slot_hor();
        window->resize(1280, 800);
        settle(100);

        // The data logger over the history that WORKDIR holds: room temperatures.
        window->slot_logger();
        window->logger_view()->open_group(0);
        for (auto [range, name] : {std::pair{CKV_Logger_View::Range_Day, "logger-day"},
                                   std::pair{CKV_Logger_View::Range_Week, "logger-week"}}) {
            window->logger_view()->set_range(range);
            window->logger_view()->wait_idle();
            failures += !save(window, out + name + suffix);
        }

        window->slot_status();
        failures += !save(window, out + "target-dialog" + suffix);
        CKV_Dlg_App_Zielsysteminfo* panel = window->target_dialog()->info();
        window->target_dialog()->show_info();
        panel->show_connecting();
        failures += !save(window, out + "status-panel-connecting" + suffix);
        panel->show_connection_failed();
        failures += !save(window, out + "status-panel-failure" + suffix);
        window->target_dialog()->hide_info();
    }

    context.settings->set_app_style(0);
    failures += shoot_colours_and_times(window, out);
    window->goHomePage();
    window->goPage(page_guid("Übersicht"));
    failures += !save(window, out + "language-before.png");
    window->set_visu_language("en");
    failures += !save(window, out + "language-after.png");
    window->set_visu_language("");

    window->close();
    delete window;
    return failures == 0 ? 0 : 1;
}
