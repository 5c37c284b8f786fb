#include "kv_start.h"

#include "kv_app_context.h"
#include "kv_dlg_settings.h"
#include "kv_file_modes.h"
#include "kv_fonts.h"
#include "kv_studio_main_app.h"

#include <QApplication>

int kv_start(int argc, char** argv)
{
    // Before any file or folder exists: what the app writes holds the routes.
    kv_private_files_from_now_on();
    kv_tighten_settings_files();

    KV_App_Context& app_context = kv_app();
    app_context.main_window = nullptr;
    app_context.second_window = nullptr;

    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Round);

    const QString program = argc > 0 ? QString::fromLocal8Bit(argv[0]) : QString();
    app_context.dirs = KV_App_Dirs::from_program_path(KV_App_Dirs::absolute_program_path(program));
    app_context.dirs.prepare();

    int exit_code = 0;
    {
        QApplication application(argc, argv);
        kv_register_fonts();
        kv_disable_font_hinting();

        app_context.flags = kv_scan_command_line(argc, argv);
        app_context.flags.app = true; // the operating panel is the only role

        auto* window = new CKV_Studio_Main_App;
        if (app_context.settings && app_context.settings->_m_app_full_screen != 0)
            window->showFullScreen();
        else
            window->show();

        exit_code = application.exec();

        delete window;
        app_context.main_window = nullptr;
        delete app_context.second_window;
        app_context.second_window = nullptr;
    }
    return exit_code;
}
