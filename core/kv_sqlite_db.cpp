#include "kv_sqlite_db.h"

#include <cstdio>
#include <sqlite3.h>

#include "kv_trace.h"

namespace {
// Statement texts are built in buffers of this size; longer ones are refused.
constexpr size_t kStatementBuffer = 320;

// A second process (or our own loader thread) may hold the file for a
// moment: wait for it instead of taking the file for broken.
constexpr int kBusyTimeoutMs = 3000;

bool is_identifier(const char* name)
{
    if (!name || !*name)
        return false;
    for (const char* c = name; *c; ++c) {
        const bool ok = (*c >= 'A' && *c <= 'Z') || (*c >= 'a' && *c <= 'z') || (*c >= '0' && *c <= '9') || *c == '_';
        if (!ok)
            return false;
    }
    return true;
}
} // namespace

CKV_Sqlite_Db::~CKV_Sqlite_Db() { close(); }

bool CKV_Sqlite_Db::open(const std::string& path, bool create)
{
    close();
    if (!create) {
        sqlite3* probe = nullptr;
        int rc = sqlite3_open_v2(path.c_str(), &probe, SQLITE_OPEN_READONLY, nullptr);
        if (rc == SQLITE_OK) {
            sqlite3_busy_timeout(probe, kBusyTimeoutMs);
            rc = sqlite3_exec(probe, "PRAGMA schema_version", nullptr, nullptr, nullptr);
        }
        sqlite3_close(probe);
        if (rc != SQLITE_OK) {
            TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_SERVER, "ERROR OPEN DATABASE: %s\n", path.c_str());
            return false;
        }
    }
    if (sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        m_last_error = m_db ? sqlite3_errmsg(m_db) : "out of memory";
        sqlite3_close(m_db);
        m_db = nullptr;
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_SERVER, "ERROR OPEN DATABASE: %s\n", path.c_str());
        return false;
    }
    sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
    // SQLite reads the file only at the first statement; a file that is not
    // a database (or a directory) shows up here.
    if (sqlite3_exec(m_db, "PRAGMA schema_version", nullptr, nullptr, nullptr) != SQLITE_OK) {
        m_last_error = sqlite3_errmsg(m_db);
        close();
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_SERVER, "ERROR OPEN DATABASE: %s\n", path.c_str());
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_SERVER, "SQLITE: %s\n", m_last_error.c_str());
        return false;
    }
    return true;
}

void CKV_Sqlite_Db::swap(CKV_Sqlite_Db& other) noexcept
{
    std::swap(m_db, other.m_db);
    std::swap(m_last_error, other.m_last_error);
}

bool CKV_Sqlite_Db::set_query_only(bool on)
{
    return exec(on ? "PRAGMA query_only=1" : "PRAGMA query_only=0");
}

void CKV_Sqlite_Db::close()
{
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

void CKV_Sqlite_Db::store_error() { store_error(m_db ? sqlite3_errmsg(m_db) : "no database open"); }

void CKV_Sqlite_Db::store_error(const std::string& message)
{
    m_last_error = message;
    TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_SERVER, "SQLITE: %s\n", m_last_error.c_str());
}

void CKV_Sqlite_Db::take_error(const CKV_Sqlite_Db& other)
{
    if (!other.m_last_error.empty())
        m_last_error = other.m_last_error;
}

bool CKV_Sqlite_Db::format_statement(char* out, size_t out_size, const char* format, const char* table)
{
    if (is_identifier(table)) {
        const int n = snprintf(out, out_size, format, table);
        if (n > 0 && static_cast<size_t>(n) < out_size)
            return true;
    }
    store_error(std::string("table name refused: ") + std::string(table ? table : "").substr(0, 64));
    return false;
}

bool CKV_Sqlite_Db::exec(const char* sql)
{
    if (!m_db)
        return false;
    char* message = nullptr;
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    store_error(message ? message : sqlite3_errmsg(m_db));
    sqlite3_free(message);
    return false;
}

bool CKV_Sqlite_Db::read_first(const char* table, KV_Data& record)
{
    char sql[kStatementBuffer];
    if (!m_db || !format_statement(sql, sizeof sql, "SELECT * FROM %s", table))
        return false;
    CKV_Sqlite_Statement stmt(*this, sql);
    if (!stmt.ok())
        return false;
    const int rc = sqlite3_step(stmt.get());
    if (rc != SQLITE_ROW) {
        if (rc != SQLITE_DONE)
            store_error();
        return false;
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt.get(), 0));
    record.m_text.assign(text ? text : "", static_cast<size_t>(sqlite3_column_bytes(stmt.get(), 0)));
    decode_text(record);
    return true;
}

bool CKV_Sqlite_Db::for_each_row(const char* table, const std::function<void(std::string_view)>& row)
{
    char sql[kStatementBuffer];
    if (!m_db || !format_statement(sql, sizeof sql, "SELECT * FROM %s", table))
        return false;
    CKV_Sqlite_Statement stmt(*this, sql);
    if (!stmt.ok())
        return false;
    int rc;
    while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt.get(), 0));
        row(std::string_view(text ? text : "", static_cast<size_t>(sqlite3_column_bytes(stmt.get(), 0))));
    }
    if (rc != SQLITE_DONE) {
        store_error();
        return false;
    }
    return true;
}

bool CKV_Sqlite_Db::write(const char* table, KV_Data& record, bool delete_first)
{
    if (!m_db) {
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_SERVER, "DB_WRITE_DATA: DB NOT OPEN\n");
        return false;
    }
    if (delete_first) {
        char sql[kStatementBuffer];
        if (!format_statement(sql, sizeof sql, "DELETE FROM %s", table) || !exec(sql))
            return false;
    }
    return CKV_Sqlite_Row_Writer(*this, table).write(record);
}

CKV_Sqlite_Statement::CKV_Sqlite_Statement(CKV_Sqlite_Db& db, const char* sql)
{
    if (!db.handle())
        return;
    if (sqlite3_prepare_v2(db.handle(), sql, -1, &m_stmt, nullptr) != SQLITE_OK) {
        db.store_error();
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
    }
}

CKV_Sqlite_Statement::~CKV_Sqlite_Statement() { sqlite3_finalize(m_stmt); }

CKV_Sqlite_Row_Writer::CKV_Sqlite_Row_Writer(CKV_Sqlite_Db& db, const char* table)
    : m_db(db)
{
    char sql[kStatementBuffer];
    if (!db.handle() || !db.format_statement(sql, sizeof sql, "INSERT INTO %s(DATA) VALUES(?)", table))
        return;
    if (sqlite3_prepare_v2(db.handle(), sql, -1, &m_stmt, nullptr) != SQLITE_OK) {
        db.store_error();
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
    }
}

CKV_Sqlite_Row_Writer::~CKV_Sqlite_Row_Writer() { sqlite3_finalize(m_stmt); }

bool CKV_Sqlite_Row_Writer::write(KV_Data& record)
{
    if (!m_db.handle()) {
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_SERVER, "DB_WRITE_DATA: DB NOT OPEN\n");
        return false;
    }
    if (!m_stmt)
        return false; // the failed prepare is traced already
    record.encode(); // keeps its text in m_text
    sqlite3_bind_text(m_stmt, 1, record.m_text.data(), static_cast<int>(record.m_text.size()), SQLITE_STATIC);
    const int rc = sqlite3_step(m_stmt);
    if (rc != SQLITE_DONE)
        m_db.store_error();
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
    return rc == SQLITE_DONE;
}
