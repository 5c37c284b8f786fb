#include "kv_page_rules.h"

#include <QFileInfo>
#include <QStringList>

#include "kv_app_version.h"
#include "kv_gui.h"
#include "kv_users.h"
#include "kv_visu_host.h"

bool kv_page_visible_to(const KV_GUI_Page& page, const std::string& user)
{
    if (user == "root" || page.m_str_users.empty())
        return true;
    const QStringList users = QString::fromStdString(page.m_str_users).split(QLatin1Char(';'));
    return users.contains(QString::fromStdString(user), Qt::CaseSensitive);
}

bool kv_logger_allowed(const KV_Settings_Users& users, const std::string& user)
{
    if (user == "root")
        return true;
    for (const KV_Settings_Users::User& entry : users.m_list_user)
        if (entry.m_str_name == user)
            return entry.m_str_analytics;
    return false;
}

bool kv_page_fits(bool vertical_page, int orientation)
{
    return vertical_page == (orientation == KV_ORIENTATION_PORTRAIT);
}

int kv_orientation_of(Qt::ScreenOrientation orientation)
{
    switch (orientation) {
    case Qt::PortraitOrientation:
    case Qt::InvertedPortraitOrientation:
        return KV_ORIENTATION_PORTRAIT;
    default:
        return KV_ORIENTATION_LANDSCAPE;
    }
}

QString kv_window_title(const QString& project_file, bool connected)
{
    const QString name = QLatin1String(KV_APP_NAME);
    const QString version = QLatin1String(KV_APP_VERSION);
    const QString state = connected ? QStringLiteral("online") : QStringLiteral("offline");
    if (!project_file.isEmpty())
        return QStringLiteral("%1 %2 [%3] - [%4] ").arg(name, version, QFileInfo(project_file).completeBaseName(), state);
    const QString mark = connected ? QStringLiteral("*") : QString();
    return QStringLiteral("%1%2 %3 [Unbenannt] - [%4] ").arg(mark, name, version, state);
}
