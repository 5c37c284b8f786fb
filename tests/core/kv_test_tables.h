#pragma once
// Project and history files read and changed with plain SQLite, as another
// program would.

#include <map>
#include <sqlite3.h>
#include <string>
#include <string_view>
#include <vector>

// Every row of every table: rows in row order, each column followed by 0x1F.
inline std::map<std::string, std::vector<std::string>> kv_test_table_contents(const std::string& path)
{
    std::map<std::string, std::vector<std::string>> tables;
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    auto query = [db](const std::string& sql) {
        std::vector<std::string> rows;
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr);
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            std::string row;
            for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
                const auto* data = static_cast<const char*>(sqlite3_column_blob(stmt, c));
                (row += std::string_view(data ? data : "", size_t(sqlite3_column_bytes(stmt, c)))) += '\x1f';
            }
            rows.push_back(row);
        }
        sqlite3_finalize(stmt);
        return rows;
    };
    for (std::string name : query("SELECT name FROM sqlite_master WHERE type='table'")) {
        name.pop_back();
        tables[name] = query("SELECT * FROM " + name + " ORDER BY rowid");
    }
    sqlite3_close(db);
    return tables;
}

// Runs statements on the file; false on an error.
inline bool kv_test_exec(const std::string& path, const std::string& statements)
{
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    const bool ok = sqlite3_exec(db, statements.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}
