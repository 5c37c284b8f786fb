#include "kv_placeholder_main_window.h"

#include "kv_app_context.h"
#include "kv_app_version.h"
#include "kv_dlg_app_settings.h"
#include "kv_dlg_settings.h"

#include <QIcon>
#include <QMainWindow>

QMainWindow* kv_create_placeholder_main_window()
{
    auto* window = new QMainWindow;
    auto* settings = new CKV_Dlg_Settings(window);
    window->setCentralWidget(new CKV_Dlg_App_Settings(*settings, QStringLiteral("de"), window));
    window->setWindowTitle(QStringLiteral("%1 %2").arg(QLatin1String(KV_APP_NAME), QLatin1String(KV_APP_VERSION)));
    window->setWindowIcon(QIcon(QStringLiteral(":/images/icons/logo_icon.png")));
    kv_app().main_window = window;
    return window;
}
