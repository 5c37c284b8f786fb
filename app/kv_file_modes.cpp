#include "kv_file_modes.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include "kv_app_version.h"
#include "kv_trace.h"

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {
constexpr QFileDevice::Permissions OWNER_ONLY = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ExeOwner | QFileDevice::ReadUser |
                                                QFileDevice::WriteUser | QFileDevice::ExeUser;

// The rights as the usual octal digits of owner, group and others.
unsigned octal(QFileDevice::Permissions permissions)
{
    const unsigned bits = permissions.toInt();
    return ((bits >> 12) & 7) << 6 | ((bits >> 4) & 7) << 3 | (bits & 7);
}
} // namespace

void kv_private_files_from_now_on()
{
#ifdef Q_OS_UNIX
    ::umask(S_IRWXG | S_IRWXO);
#endif
}

bool kv_tighten_file(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isSymLink() || !info.isFile())
        return true;
    const QFileDevice::Permissions before = info.permissions();
    if (!(before & ~OWNER_ONLY))
        return true;
    const QFileDevice::Permissions after = before & OWNER_ONLY;
    const bool done = QFile::setPermissions(path, after);
    TRACE(done ? kv_trace::LEVEL_MSG : kv_trace::LEVEL_ERR, kv_trace::AREA_SERVER, "FILE MODE %03o -> %03o%s: %s\n",
          octal(before), octal(after), done ? "" : " FAILED", qPrintable(QDir::toNativeSeparators(path)));
    return done;
}

void kv_tighten_files(const QString& dir, const QString& name_prefix)
{
    const QDir folder(dir);
    const QStringList names = folder.entryList({name_prefix + QLatin1Char('*')}, QDir::Files | QDir::Hidden);
    for (const QString& name : names)
        kv_tighten_file(folder.filePath(name));
}

void kv_tighten_settings_files()
{
    // Every scope of an organisation lies in one folder named after it.
    for (const char* organisation : {KV_SETTINGS_ORGANISATION, KV_SETTINGS_ORGANISATION_APP}) {
        const QString any_scope = QSettings(QLatin1String(organisation), QStringLiteral("Common")).fileName();
        kv_tighten_files(QFileInfo(any_scope).path(), QString());
    }
}
