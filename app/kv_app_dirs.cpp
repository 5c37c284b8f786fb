#include "kv_app_dirs.h"

#include <QDir>

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
    if (!program_path.contains(QLatin1Char('/')) || !QDir::isRelativePath(program_path))
        return program_path;
    return QDir::cleanPath(QDir::current().absoluteFilePath(program_path));
}

void KV_App_Dirs::prepare() const
{
    QDir::setCurrent(base_dir);
    QDir().mkpath(project_dir);
}
