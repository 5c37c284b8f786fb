#include "kv_start.h"

#include "kv_app_context.h"
#include "kv_app_version.h"
#include "kv_dlg_settings.h"
#include "kv_file_modes.h"
#include "kv_fonts.h"
#include "kv_instance_lock.h"
#include "kv_studio_main_app.h"
#include "kv_trace.h"
#include "kv_window_grab.h"

#include <QApplication>
#include <QMessageBox>
#include <QStandardPaths>
#include <csignal>
#include <cstdio>

int kv_start(int argc, char** argv)
{
    // Before any file or folder exists: what the app writes holds the routes.
    kv_private_files_from_now_on();
    kv_tighten_settings_files();

    KV_App_Context& app_context = kv_app();
    app_context.main_window = nullptr;
    app_context.second_window = nullptr;
    kv_trace::reset();

    // A full disk makes writes fail, it must not end the panel.
    signal(SIGXFSZ, SIG_IGN);

    // Help and version need no display: they come before anything else.
    const KV_App_Flags flags = kv_scan_command_line(argc, argv);
    if (flags.help || flags.version) {
        const QString text = flags.help ? kv_usage_text()
                                        : QStringLiteral("%1 %2\n").arg(QLatin1String(KV_APP_NAME), QLatin1String(KV_APP_VERSION));
        std::fputs(text.toLocal8Bit().constData(), stdout);
        return 0;
    }

    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Round);

    // The user's data folder is named after the app, whatever the program file is called.
    QCoreApplication::setApplicationName(QLatin1String(KV_APP_NAME));
    const QString program = argc > 0 ? QString::fromLocal8Bit(argv[0]) : QString();
    app_context.dirs = KV_App_Dirs::from_program_path(KV_App_Dirs::absolute_program_path(program));
    app_context.dirs.keep_files_in(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    app_context.dirs.prepare();

    int exit_code = 0;
    {
        QApplication application(argc, argv);
        kv_register_fonts();
        kv_disable_font_hinting();

        app_context.flags = flags;
        app_context.flags.app = true; // the operating panel is the only role

        const KV_Instance_Lock lock(CKV_Dlg_Settings::stored_working_dir());
        if (!lock.is_locked()) {
            fprintf(stderr, "%s\n", qPrintable(lock.refusal()));
            QMessageBox::information(nullptr, QStringLiteral("kirovantor3"), lock.refusal());
            return 1;
        }

        auto* window = new CKV_Studio_Main_App;
        if (app_context.settings && app_context.settings->_m_app_full_screen != 0)
            window->showFullScreen();
        else
            window->show();
        if (!flags.screenshot.isEmpty())
            new KV_Window_Grab(*window, flags.screenshot); // a child of the window

        exit_code = application.exec();

        delete window;
        app_context.main_window = nullptr;
        delete app_context.second_window;
        app_context.second_window = nullptr;
    }
    return exit_code;
}
