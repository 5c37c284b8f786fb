#include "kv_local_project.h"

#include <QFile>
#include <QUuid>

#include "kv_project_db.h"
#include "kv_trace.h"

namespace {
QString backup_path(const std::string& path)
{
    return QString::fromStdString(path) + QStringLiteral(".last");
}

bool write_file(const std::string& path, const unsigned char* content, size_t length)
{
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const qint64 written = file.write(reinterpret_cast<const char*>(content), static_cast<qint64>(length));
    return written == static_cast<qint64>(length) && file.flush();
}

bool restore_routes(CKV_Project_Db& project, const KV_Routes& routes)
{
    project.m_routes = routes;
    return project.save_routes();
}
} // namespace

std::string kv_local_project_path(const QString& working_dir)
{
    return (working_dir + QLatin1String(KV_LOCAL_PROJECT_FILE)).toStdString();
}

bool kv_create_local_project(CKV_Project_Db& project, const std::string& path)
{
    project.close_project();
    QFile::remove(QString::fromStdString(path));
    if (!project.load(path))
        return false;
    project.m_project.m_str_name = KV_LOCAL_PROJECT_FILE;
    project.m_project.m_str_filename = KV_LOCAL_PROJECT_FILE;
    project.m_project.m_str_guid = QUuid::createUuid().toString().toStdString();
    if (project.save(true))
        return true;
    TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_SERVER, "LOCAL PROJECT NOT CREATED: %s\n", path.c_str());
    return false;
}

bool kv_open_local_project(CKV_Project_Db& project, const std::string& path)
{
    if (QFile::exists(QString::fromStdString(path)) && project.load(path))
        return true;
    TRACE(kv_trace::LEVEL_MSG, kv_trace::AREA_SERVER, "NEW LOCAL PROJECT: %s\n", path.c_str());
    return kv_create_local_project(project, path);
}

KV_Download_Result kv_install_downloaded_project(CKV_Project_Db& project, const std::string& path,
                                                 const unsigned char* content, size_t length)
{
    const KV_Routes routes = project.m_routes;
    project.close_project();

    const QString previous = backup_path(path);
    QFile::remove(previous);
    const bool kept = QFile::copy(QString::fromStdString(path), previous);
    if (!write_file(path, content, length)) {
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_SERVER, "DOWNLOADED PROJECT NOT WRITTEN: %s\n", path.c_str());
        if (kept) {
            QFile::remove(QString::fromStdString(path));
            QFile::rename(previous, QString::fromStdString(path));
        }
        return KV_Download_Result::Not_Written;
    }
    if (project.load(path) && restore_routes(project, routes)) {
        QFile::remove(previous);
        return KV_Download_Result::Opened;
    }

    TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_SERVER, "DOWNLOADED PROJECT REJECTED, LOCAL PROJECT REOPENED: %s\n",
          path.c_str());
    project.close_project();
    QFile::remove(QString::fromStdString(path));
    if (kept)
        QFile::rename(previous, QString::fromStdString(path));
    if (!kept || !project.load(path))
        kv_create_local_project(project, path);
    restore_routes(project, routes);
    return KV_Download_Result::Not_Opened;
}
