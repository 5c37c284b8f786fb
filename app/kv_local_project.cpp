#include "kv_local_project.h"

#include <QDateTime>
#include <QFile>
#include <QUuid>
#include <sqlite3.h>

#include "kv_project_check.h"
#include "kv_project_db.h"
#include "kv_safe_file.h"
#include "kv_trace.h"

namespace {
std::string new_file_path(const std::string& path)
{
    return path + ".new";
}

// The dated name a broken file is moved to; never one that exists.
std::string aside_path(const std::string& path)
{
    const std::string stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")).toStdString();
    std::string aside = path + ".broken-" + stamp;
    for (int n = 2; QFile::exists(QString::fromStdString(aside)); ++n)
        aside = path + ".broken-" + stamp + "-" + std::to_string(n);
    return aside;
}

bool exists(const std::string& path)
{
    return QFile::exists(QString::fromStdString(path));
}

// The routes of a file that may be broken elsewhere: only KV_ROUTES is read.
bool rescue_routes(const std::string& path, KV_Routes& routes)
{
    sqlite3* db = nullptr;
    bool found = false;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT DATA FROM KV_ROUTES", -1, &stmt, nullptr) == SQLITE_OK &&
            sqlite3_step(stmt) == SQLITE_ROW) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
            routes.set_text(std::string(text ? text : "", static_cast<size_t>(sqlite3_column_bytes(stmt, 0))));
            found = !routes.m_list_route.empty();
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return found;
}

// Checked first, so that a file broken behind its first page is not taken
// for a project.
bool open_checked(CKV_Project_Db& project, const std::string& path, std::string& reason)
{
    reason = kv_check_project_file(path);
    if (reason.empty() && !project.load(path))
        reason = "not opened: " + project.last_error();
    if (reason.empty())
        return true;
    project.close_project();
    TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_SERVER, "LOCAL PROJECT NOT OPENED: %s: %s\n", path.c_str(),
          reason.c_str());
    return false;
}

bool move_aside(const std::string& path, std::string& moved_to)
{
    moved_to = aside_path(path);
    if (std::rename(path.c_str(), moved_to.c_str()) != 0) {
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_SERVER, "BROKEN PROJECT NOT MOVED ASIDE: %s\n", path.c_str());
        return false;
    }
    kv_sync_folder_of(path);
    TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_SERVER, "BROKEN PROJECT MOVED ASIDE: %s\n", moved_to.c_str());
    return true;
}

QString file_name(const std::string& path)
{
    return QString::fromStdString(path.substr(path.rfind('/') + 1));
}
} // namespace

std::string kv_local_project_path(const QString& working_dir)
{
    return (working_dir + QLatin1String(KV_LOCAL_PROJECT_FILE)).toStdString();
}

std::string kv_previous_project_path(const std::string& path)
{
    return path + ".last";
}

bool kv_create_local_project(CKV_Project_Db& project, const std::string& path, const KV_Routes& routes)
{
    project.close_project();
    const std::string fresh = new_file_path(path);
    QFile::remove(QString::fromStdString(fresh));
    kv_remove_stale_journal(fresh);
    bool ok = project.load(fresh);
    if (ok) {
        project.m_project.m_str_name = KV_LOCAL_PROJECT_FILE;
        project.m_project.m_str_filename = KV_LOCAL_PROJECT_FILE;
        project.m_project.m_str_guid = QUuid::createUuid().toString().toStdString();
        project.m_routes = routes;
        ok = project.save(true);
    }
    std::string error;
    ok = ok && kv_replace_file(fresh, path, {}, error) && project.reopen(path);
    if (ok)
        return true;
    project.close_project();
    QFile::remove(QString::fromStdString(fresh));
    TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_SERVER, "LOCAL PROJECT NOT CREATED: %s %s\n", path.c_str(),
          error.c_str());
    return false;
}

KV_Local_Open kv_open_local_project(CKV_Project_Db& project, const std::string& path)
{
    // Left over by a download cut short: never a project to open.
    QFile::remove(QString::fromStdString(new_file_path(path)));
    const std::string previous = kv_previous_project_path(path);
    KV_Local_Open result;
    std::string reason;
    if (!exists(path) && !exists(previous)) {
        TRACE(kv_trace::LEVEL_MSG, kv_trace::AREA_SERVER, "NEW LOCAL PROJECT: %s\n", path.c_str());
        result.opened = kv_create_local_project(project, path);
        return result;
    }
    if (exists(path) && open_checked(project, path, reason))
        return {true, {}};

    // The previous project takes the broken one's place.
    std::string moved_to;
    if (exists(previous) && open_checked(project, previous, reason)) {
        std::string error;
        const bool broken_kept = !exists(path) || move_aside(path, moved_to);
        project.close_project();
        if (broken_kept && kv_replace_file(previous, path, {}, error) && project.load(path)) {
            result.opened = true;
            result.notice = QStringLiteral("Das lokale Projekt war beschädigt, das vorherige Projekt wurde geöffnet.");
            if (!moved_to.empty())
                result.notice += QStringLiteral(" Die beschädigte Datei liegt als \"%1\" bereit.").arg(file_name(moved_to));
            TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_SERVER, "PREVIOUS LOCAL PROJECT OPENED: %s\n", path.c_str());
            return result;
        }
        // The previous file may be left half moved: go on as if both failed.
    }

    // Neither opens: both stay on disk under dated names; the routes go on.
    KV_Routes routes;
    bool rescued = false;
    for (const std::string& candidate : {path, previous}) {
        if (!exists(candidate))
            continue;
        rescued = rescued || rescue_routes(candidate, routes);
        std::string aside;
        if (!move_aside(candidate, aside)) {
            TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_SERVER, "LOCAL PROJECT LEFT CLOSED: %s\n", path.c_str());
            result.notice = QStringLiteral("Das lokale Projekt ist beschädigt und kann nicht ersetzt werden (%1).")
                                .arg(QString::fromStdString(reason));
            return result;
        }
        if (candidate == path)
            moved_to = aside;
    }
    result.opened = kv_create_local_project(project, path, routes);
    result.notice = QStringLiteral("Das lokale Projekt war beschädigt und wurde als \"%1\" beiseitegelegt. %2")
                        .arg(file_name(moved_to.empty() ? previous : moved_to),
                             rescued ? QStringLiteral("Die Zielsysteme wurden übernommen.")
                                     : QStringLiteral("Die Zielsysteme konnten nicht gerettet werden."));
    TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_SERVER, "NEW LOCAL PROJECT AFTER A BROKEN ONE: %s, routes %s\n",
          path.c_str(), rescued ? "rescued" : "lost");
    return result;
}

KV_Download_Outcome kv_install_download(CKV_Project_Db& staging, const std::string& path, const char* content,
                                        size_t length, const KV_Routes& routes)
{
    const std::string fresh = new_file_path(path);
    KV_Download_Outcome outcome;
    auto fail = [&](KV_Download_Outcome::Kind kind, const std::string& reason) {
        staging.close_project();
        QFile::remove(QString::fromStdString(fresh));
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_SERVER, "DOWNLOADED PROJECT %s: %s\n",
              kind == KV_Download_Outcome::Rejected ? "REJECTED" : "NOT WRITTEN", reason.c_str());
        return KV_Download_Outcome{kind, reason};
    };
    std::string error;
    kv_remove_stale_journal(fresh);
    if (!kv_write_synced(fresh, content, length, error))
        return fail(KV_Download_Outcome::Not_Written, error);
    const std::string reason = kv_check_project_file(fresh);
    if (!reason.empty())
        return fail(KV_Download_Outcome::Rejected, reason);
    if (!staging.load(fresh))
        return fail(KV_Download_Outcome::Rejected, "not opened: " + staging.last_error());
    // The routes are in the file before it takes the local project's name,
    // so that no moment exists in which the local project lacks them.
    staging.m_routes = routes;
    if (!staging.save_routes())
        return fail(KV_Download_Outcome::Not_Written, "routes not written: " + staging.last_error());
    if (!kv_replace_file(fresh, path, kv_previous_project_path(path), error))
        return fail(KV_Download_Outcome::Not_Written, error);
    if (!staging.reopen(path)) {
        // Back to the previous file, which is still whole.
        std::string restore_error;
        kv_replace_file(kv_previous_project_path(path), path, {}, restore_error);
        return fail(KV_Download_Outcome::Rejected, "not opened after the rename: " + staging.last_error());
    }
    outcome.kind = KV_Download_Outcome::Installed;
    return outcome;
}
