#pragma once
// Thin wrapper of one SQLite connection for tables of record texts: every
// table has one column DATA holding one record text per row.

#include <functional>
#include <string>
#include <string_view>

#include "kv_data.h"

struct sqlite3;
struct sqlite3_stmt;

class CKV_Sqlite_Db {
public:
    CKV_Sqlite_Db() = default;
    ~CKV_Sqlite_Db();
    CKV_Sqlite_Db(const CKV_Sqlite_Db&) = delete;
    CKV_Sqlite_Db& operator=(const CKV_Sqlite_Db&) = delete;

    // With create false the file must exist already (read-only probe).
    // A file that is not a database is refused here, not at the first read.
    bool open(const std::string& path, bool create);
    void close();
    bool is_open() const { return m_db != nullptr; }
    void swap(CKV_Sqlite_Db& other) noexcept;
    // Refuses every write on this connection (reads go on) while the file
    // is being replaced behind it.
    bool set_query_only(bool on);

    // One statement text; false (and last error) on failure or when closed.
    bool exec(const char* sql);
    // First row of a table into record.m_text, then record.decode().
    bool read_first(const char* table, KV_Data& record);
    // encode(), keep the text in record.m_text, insert it as one row.
    bool write(const char* table, KV_Data& record, bool delete_first);
    // Calls row() with the DATA text of every row in row order. False when
    // the table cannot be read or the walk ends with an error; the rows
    // delivered before stay delivered.
    bool for_each_row(const char* table, const std::function<void(std::string_view)>& row);

    const std::string& last_error() const { return m_last_error; }
    sqlite3* handle() const { return m_db; }

    // Keeps SQLite's current message as last error and traces it.
    void store_error();
    void store_error(const std::string& message);
    // Takes over the last error of another connection to the same file,
    // when it has one (already traced there).
    void take_error(const CKV_Sqlite_Db& other);

    // Statement text with a table name put in: the name must be an SQL
    // identifier and the text must fit the buffer, else false (and traced).
    bool format_statement(char* out, size_t out_size, const char* format, const char* table);

private:
    sqlite3* m_db = nullptr;
    std::string m_last_error;
};

// A prepared statement, finalised with its owner object.
class CKV_Sqlite_Statement {
public:
    CKV_Sqlite_Statement(CKV_Sqlite_Db& db, const char* sql);
    ~CKV_Sqlite_Statement();
    CKV_Sqlite_Statement(const CKV_Sqlite_Statement&) = delete;
    CKV_Sqlite_Statement& operator=(const CKV_Sqlite_Statement&) = delete;

    bool ok() const { return m_stmt != nullptr; }
    sqlite3_stmt* get() const { return m_stmt; }

private:
    sqlite3_stmt* m_stmt = nullptr;
};

// One prepared INSERT into a record table, reused for every row a save
// writes to that table.
class CKV_Sqlite_Row_Writer {
public:
    CKV_Sqlite_Row_Writer(CKV_Sqlite_Db& db, const char* table);
    ~CKV_Sqlite_Row_Writer();
    CKV_Sqlite_Row_Writer(const CKV_Sqlite_Row_Writer&) = delete;
    CKV_Sqlite_Row_Writer& operator=(const CKV_Sqlite_Row_Writer&) = delete;

    // encode(), keep the text in record.m_text, insert it.
    bool write(KV_Data& record);

private:
    CKV_Sqlite_Db& m_db;
    sqlite3_stmt* m_stmt = nullptr;
};
