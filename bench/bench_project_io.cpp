// Load and save of a large project against plain SQLite doing the same row
// traffic: stepping through every row of every table, and inserting the same
// row texts into a fresh file in one transaction.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <sqlite3.h>
#include <string>
#include <unistd.h>
#include <ctime>
#include <vector>

#include "kv_large_project.h"
#include "kv_project_db.h"

namespace {
using Clock = std::chrono::steady_clock;

constexpr int kRuns = 15;

double process_cpu_ms()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Best of kRuns, as wall time and as CPU time of the whole process (loading
// reads the GUI tables on a second thread, so the CPU time is the work of
// both; on a shared machine the wall time also counts the waiting for a
// processor).
struct Timing {
    double wall_ms = 1e300;
    double cpu_ms = 1e300;
};

void time_once(const std::function<void()>& work, Timing& best)
{
    const double cpu_start = process_cpu_ms();
    const auto start = Clock::now();
    work();
    best.wall_ms = std::min(best.wall_ms, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    best.cpu_ms = std::min(best.cpu_ms, process_cpu_ms() - cpu_start);
}

// The work and its reference take turns, so a machine that is slower for a
// while slows both alike instead of skewing their ratio.
std::pair<Timing, Timing> measure_against(const std::function<void()>& work, const std::function<void()>& reference)
{
    std::pair<Timing, Timing> best;
    for (int run = 0; run < kRuns; ++run) {
        time_once(work, best.first);
        time_once(reference, best.second);
    }
    return best;
}

struct Table_Rows {
    std::string name;
    std::vector<std::string> rows;
};

std::vector<std::string> record_tables(sqlite3* db)
{
    std::vector<std::string> names;
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type='table' AND name <> 'KV_FILES'", -1, &stmt,
                       nullptr);
    while (sqlite3_step(stmt) == SQLITE_ROW)
        names.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
    sqlite3_finalize(stmt);
    return names;
}

// Plain stepping through all rows; keeps the texts when asked.
size_t raw_read(const std::string& path, std::vector<Table_Rows>* keep)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    size_t bytes = 0;
    for (const std::string& table : record_tables(db)) {
        if (keep)
            keep->push_back({table, {}});
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, ("SELECT * FROM " + table).c_str(), -1, &stmt, nullptr);
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
            const int n = sqlite3_column_bytes(stmt, 0);
            bytes += static_cast<size_t>(n) + (text ? 1 : 0);
            if (keep)
                keep->back().rows.emplace_back(text, static_cast<size_t>(n));
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return bytes;
}

void raw_insert(const std::string& path, const std::vector<Table_Rows>& tables)
{
    std::filesystem::remove(path);
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_exec(db, "BEGIN TRANSACTION", nullptr, nullptr, nullptr);
    for (const Table_Rows& table : tables)
        sqlite3_exec(db, ("CREATE TABLE " + table.name + "(DATA TEXT)").c_str(), nullptr, nullptr, nullptr);
    for (const Table_Rows& table : tables) {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, ("INSERT INTO " + table.name + "(DATA) VALUES(?)").c_str(), -1, &stmt, nullptr);
        for (const std::string& row : table.rows) {
            sqlite3_bind_text(stmt, 1, row.data(), static_cast<int>(row.size()), SQLITE_STATIC);
            sqlite3_step(stmt);
            sqlite3_reset(stmt);
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_exec(db, "END TRANSACTION", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}
} // namespace

int main()
{
    const auto dir = std::filesystem::temp_directory_path();
    const std::string project_path = (dir / ("bench_project_io_" + std::to_string(getpid()) + ".kvp")).string();
    const std::string raw_path = (dir / ("bench_project_io_raw_" + std::to_string(getpid()) + ".kvp")).string();

    {
        CKV_Project_Db store;
        if (!store.load(project_path)) {
            fprintf(stderr, "cannot create %s\n", project_path.c_str());
            return 1;
        }
        kv_build_large_project(store);
        store.save(true);
    }

    std::vector<Table_Rows> tables;
    const size_t bytes = raw_read(project_path, &tables);
    size_t rows = 0;
    for (const Table_Rows& t : tables) {
        rows += t.rows.size();
        size_t table_bytes = 0;
        for (const std::string& row : t.rows)
            table_bytes += row.size();
        if (table_bytes > 0)
            printf("  %-26s %6zu rows %9zu bytes\n", t.name.c_str(), t.rows.size(), table_bytes);
    }
    printf("project: %zu rows, %.1f MB of record text in %zu tables\n", rows, bytes / 1e6, tables.size());

    CKV_Project_Db store;
    bool ok = true;
    const auto [load, read] =
        measure_against([&] { ok = store.load(project_path) && ok; }, [&] { raw_read(project_path, nullptr); });
    const auto [save, insert] =
        measure_against([&] { ok = store.save(false) && ok; }, [&] { raw_insert(raw_path, tables); });

    printf("loaded: %zu addresses, %zu pages, %zu logic pages, %zu clocks\n", store.m_addr.address_count(),
           store.m_gui_pages.size(), store.m_logic_pages.size(), store.m_settings_clock.m_list_clock.size());
    printf("                  wall ms    cpu ms   (best of %d runs each)\n", kRuns);
    printf("load            %9.1f %9.1f\n", load.wall_ms, load.cpu_ms);
    printf("save            %9.1f %9.1f\n", save.wall_ms, save.cpu_ms);
    printf("raw read        %9.1f %9.1f\n", read.wall_ms, read.cpu_ms);
    printf("raw insert      %9.1f %9.1f\n", insert.wall_ms, insert.cpu_ms);
    printf("load/raw read   %8.2fx %8.2fx\n", load.wall_ms / read.wall_ms, load.cpu_ms / read.cpu_ms);
    printf("save/raw insert %8.2fx %8.2fx\n", save.wall_ms / insert.wall_ms, save.cpu_ms / insert.cpu_ms);

    std::filesystem::remove(project_path);
    std::filesystem::remove(raw_path);
    if (!ok) {
        fprintf(stderr, "load or save failed\n");
        return 1;
    }
    return 0;
}
