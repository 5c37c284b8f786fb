#include "kv_project_check.h"

#include <cstdio>
#include <filesystem>
#include <sqlite3.h>

#include "kv_project.h"
#include "kv_project_db.h"

namespace {
// Owns a read-only connection.
struct Reader {
    sqlite3* db = nullptr;
    ~Reader() { sqlite3_close(db); }
    std::string error() const { return db ? sqlite3_errmsg(db) : "out of memory"; }
};

bool table_exists(sqlite3* db, const char* table)
{
    sqlite3_stmt* stmt = nullptr;
    bool found = false;
    if (sqlite3_prepare_v2(db, "SELECT 1 FROM sqlite_master WHERE type='table' AND name=?", -1, &stmt, nullptr) ==
        SQLITE_OK) {
        sqlite3_bind_text(stmt, 1, table, -1, SQLITE_STATIC);
        found = sqlite3_step(stmt) == SQLITE_ROW;
    }
    sqlite3_finalize(stmt);
    return found;
}

// Steps through every row and column; the first row's first column of
// KV_PROJECT is kept in first.
bool read_table(sqlite3* db, const char* table, std::string* first, std::string& error)
{
    sqlite3_stmt* stmt = nullptr;
    const std::string sql = std::string("SELECT * FROM ") + table;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
        error = std::string(table) + ": " + sqlite3_errmsg(db);
        return false;
    }
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        for (int column = 0; column < sqlite3_column_count(stmt); ++column)
            sqlite3_column_blob(stmt, column); // reads overflow pages too
        if (first && first->empty()) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
            first->assign(text ? text : "", static_cast<size_t>(sqlite3_column_bytes(stmt, 0)));
        }
    }
    if (rc != SQLITE_DONE)
        error = std::string(table) + ": " + sqlite3_errmsg(db);
    sqlite3_finalize(stmt);
    return rc == SQLITE_DONE;
}
} // namespace

bool kv_decode_project_record(const std::string& text, KV_Project& record)
{
    KV_Project decoded(text);
    if (decoded.m_str_guid.empty())
        return false;
    record = decoded;
    return true;
}

void kv_remove_stale_journal(const std::string& path)
{
    for (const char* suffix : {"-journal", "-wal", "-shm"})
        std::remove((path + suffix).c_str());
}

std::string kv_check_project_file(const std::string& path)
{
    // A write cut short leaves a hot journal that a read-only connection
    // cannot roll back; a read-write open does, as the next load would.
    // Without a journal beside the file there is nothing to roll back.
    if (std::filesystem::exists(path + "-journal")) {
        sqlite3* settle = nullptr;
        if (sqlite3_open_v2(path.c_str(), &settle, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
            sqlite3_busy_timeout(settle, 3000);
            sqlite3_exec(settle, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
        }
        sqlite3_close(settle);
    }

    Reader reader;
    if (sqlite3_open_v2(path.c_str(), &reader.db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        return "not opened: " + reader.error();
    sqlite3_busy_timeout(reader.db, 3000);

    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(reader.db, "PRAGMA integrity_check(1)", -1, &stmt, nullptr) != SQLITE_OK)
        return "not SQLite: " + reader.error();
    std::string verdict;
    if (sqlite3_step(stmt) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        verdict = text ? text : "";
    } else {
        verdict = reader.error();
    }
    sqlite3_finalize(stmt);
    if (verdict != "ok")
        return "integrity check failed: " + verdict;

    if (!table_exists(reader.db, "KV_PROJECT"))
        return "no project table";
    std::string project_text;
    std::string error;
    for (const char* table : kv_project_tables()) {
        if (table_exists(reader.db, table) &&
            !read_table(reader.db, table, std::string(table) == "KV_PROJECT" ? &project_text : nullptr, error))
            return "table not readable: " + error;
    }
    KV_Project project;
    if (!kv_decode_project_record(project_text, project))
        return "project record not decoded";
    return {};
}
