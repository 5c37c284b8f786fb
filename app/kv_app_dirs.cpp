#include "kv_app_dirs.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

KV_App_Dirs KV_App_Dirs::from_program_path(const QString& program_path)
{
    KV_App_Dirs dirs;
    const qsizetype last = program_path.lastIndexOf(QLatin1Char('/'));
    dirs.program_dir = last < 0 ? program_path : program_path.left(last + 1);
    // Without any program path the current directory stands in, never the root.
    dirs.base_dir = dirs.program_dir.isEmpty() ? QStringLiteral(".") : dirs.program_dir;
    if (!dirs.base_dir.endsWith(QLatin1Char('/')))
        dirs.base_dir += QLatin1Char('/');
    // An installation that already lives in a "project" folder keeps its
    // projects right there instead of nesting another one.
    dirs.project_dir = dirs.base_dir;
    if (!dirs.base_dir.contains(QLatin1String("project")))
        dirs.project_dir += QLatin1String("project/");
    return dirs;
}

QString KV_App_Dirs::absolute_program_path(const QString& program_path)
{
    if (program_path.isEmpty())
        return program_path;
    if (!program_path.contains(QLatin1Char('/'))) {
        // Started by name: without the lookup the name would pass for a
        // folder below wherever the user happened to be.
        const QString found = QStandardPaths::findExecutable(program_path);
        return found.isEmpty() ? program_path : found;
    }
    if (!QDir::isRelativePath(program_path))
        return program_path;
    return QDir::cleanPath(QDir::current().absoluteFilePath(program_path));
}

void KV_App_Dirs::keep_files_in(const QString& data_dir)
{
    const QFileInfo base(base_dir);
    const bool installed = QFileInfo(base_dir + QLatin1String("../share/kirovantor3")).isDir();
    if ((base.isDir() && base.isWritable() && !installed) || data_dir.isEmpty())
        return;
    project_dir = QDir::cleanPath(data_dir) + QLatin1Char('/');
}

void KV_App_Dirs::prepare() const
{
    QDir::setCurrent(base_dir);
    QDir().mkpath(project_dir);
}

QString kv_prepare_working_dir(const QString& dir)
{
    QDir().mkpath(dir);
    const QFileInfo info(dir);
    if (info.isDir() && info.isWritable())
        return {};
    return QStringLiteral("Das Arbeitsverzeichnis \"%1\" kann nicht beschrieben werden. Ziele und geladene Projekte "
                          "werden nicht gespeichert. Bitte in den Einstellungen ein anderes Arbeitsverzeichnis wählen.")
        .arg(QDir::toNativeSeparators(dir));
}
