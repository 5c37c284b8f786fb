// kvtool: looks into project files without the user interface.
//   kvtool dump FILE.kvp   every table's records and the stored files
//   kvtool demo FILE.kvp   write the demo project
//   kvtool route FILE.kvp NAME HOST[:PORT] [USER [PASSWORD]]
//   kvtool history FILE [DAYS]   write DAYS (14) of the demo's logged values

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sqlite3.h>
#include <string>
#include <vector>

#include "kv_demo_logger.h"
#include "kv_demo_project.h"
#include "kv_record_dump.h"
#include "kv_route_command.h"

namespace {

// Read-only, so that dumping never changes or creates a file.
sqlite3* open_read_only(const char* path)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path, &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK ||
        sqlite3_exec(db, "PRAGMA schema_version", nullptr, nullptr, nullptr) != SQLITE_OK) {
        std::cerr << "kvtool: " << path << ": " << (db ? sqlite3_errmsg(db) : "cannot open") << '\n';
        sqlite3_close(db);
        return nullptr;
    }
    return db;
}

std::vector<std::string> table_names(sqlite3* db)
{
    std::vector<std::string> names;
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type='table' ORDER BY rowid", -1, &stmt,
                           nullptr) == SQLITE_OK) {
        while (sqlite3_step(stmt) == SQLITE_ROW)
            names.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
    }
    sqlite3_finalize(stmt);
    return names;
}

// Returns false when the table could not be read to its end.
bool dump_files(sqlite3* db)
{
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT FILENAME, length(DATA) FROM KV_FILES", -1, &stmt, nullptr) != SQLITE_OK) {
        std::cout << "  (" << sqlite3_errmsg(db) << ")\n";
        return false;
    }
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        std::cout << "  " << escape_value(name ? name : "") << "  " << sqlite3_column_int64(stmt, 1) << " bytes\n";
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE)
        std::cout << "  (" << sqlite3_errmsg(db) << ")\n";
    return rc == SQLITE_DONE;
}

bool dump_records(sqlite3* db, const std::string& table)
{
    sqlite3_stmt* stmt = nullptr;
    // The name comes from sqlite_master; quoting keeps odd names harmless.
    std::string sql = "SELECT * FROM \"";
    for (char c : table)
        sql += c == '"' ? std::string("\"\"") : std::string(1, c);
    sql += '"';
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
        std::cout << "  (" << sqlite3_errmsg(db) << ")\n";
        return false;
    }
    int rc;
    int row = 0;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        std::cout << "  row " << ++row << '\n';
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        dump_record(std::cout, std::string_view(text ? text : "", static_cast<size_t>(sqlite3_column_bytes(stmt, 0))),
                    4);
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE)
        std::cout << "  (" << sqlite3_errmsg(db) << ")\n";
    return rc == SQLITE_DONE;
}

int cmd_dump(int argc, char** argv)
{
    if (argc != 1) {
        std::cerr << "usage: kvtool dump FILE.kvp\n";
        return 2;
    }
    sqlite3* db = open_read_only(argv[0]);
    if (!db)
        return 1;
    bool complete = true;
    for (const std::string& table : table_names(db)) {
        std::cout << table << '\n';
        complete = (table == "KV_FILES" ? dump_files(db) : dump_records(db, table)) && complete;
    }
    sqlite3_close(db);
    return complete ? 0 : 1;
}

// Never overwrites: an existing file may be someone's project.
int cmd_demo(int argc, char** argv)
{
    if (argc != 1) {
        std::cerr << "usage: kvtool demo FILE.kvp\n";
        return 2;
    }
    if (std::FILE* existing = std::fopen(argv[0], "rb")) {
        std::fclose(existing);
        std::cerr << "kvtool: " << argv[0] << " exists; remove it first\n";
        return 1;
    }
    return kv_write_demo_project(argv[0]) ? 0 : 1;
}

// Never appends to or overwrites a history someone has recorded.
int cmd_history(int argc, char** argv)
{
    if (argc < 1 || argc > 2) {
        std::cerr << "usage: kvtool history FILE [DAYS]\n";
        return 2;
    }
    const int days = argc == 2 ? std::atoi(argv[1]) : 14;
    if (days < 1 || days > 3660) {
        std::cerr << "kvtool: DAYS must be 1 to 3660\n";
        return 2;
    }
    if (std::FILE* existing = std::fopen(argv[0], "rb")) {
        std::fclose(existing);
        std::cerr << "kvtool: " << argv[0] << " exists; remove it first\n";
        return 1;
    }
    using namespace std::chrono;
    const int64_t now = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    return kv_demo_write_history(argv[0], days, now) ? 0 : 1;
}

struct Command {
    const char* name;
    int (*run)(int argc, char** argv); // arguments after the command name
    const char* usage;
};

// One entry per subcommand.
const Command kCommands[] = {
    {"dump", cmd_dump, "dump FILE.kvp     print every table's records and the stored files"},
    {"demo", cmd_demo, "demo FILE.kvp     write the demo project \"Haus Sonnenhang\""},
    {"history", cmd_history, "history FILE [DAYS]  fill a history file with DAYS (14) of the demo's logged values"},
    {"route", kv_route_command, "route FILE.kvp NAME HOST[:PORT] [USER [PASSWORD]]  add a direct route and make it active"},
};

void print_usage(std::ostream& out)
{
    out << "Usage: kvtool COMMAND ...\n"
           "Looks into and prepares project files of the operating panel without its user interface.\n\n"
           "Commands:\n";
    for (const Command& command : kCommands)
        out << "  kvtool " << command.usage << '\n';
    out << "\nOptions:\n"
           "  -h, --help     show this help and exit\n"
           "  -v, --version  show the version and exit\n";
}

int usage()
{
    print_usage(std::cerr);
    return 2;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return usage();
    const std::string first = argv[1];
    if (first == "-h" || first == "--help") {
        print_usage(std::cout);
        return 0;
    }
    if (first == "-v" || first == "--version") {
        std::cout << "kvtool " << KV_VERSION << '\n';
        return 0;
    }
    for (const Command& command : kCommands) {
        if (std::strcmp(argv[1], command.name) == 0)
            return command.run(argc - 2, argv + 2);
    }
    return usage();
}
