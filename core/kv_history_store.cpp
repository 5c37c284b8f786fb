#include "kv_history_store.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <sqlite3.h>
#ifdef __linux__
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

#include "kv_trace.h"

namespace {

const char* const SCHEMA[] = {
    "CREATE TABLE IF NOT EXISTS series(id INTEGER PRIMARY KEY, addr TEXT NOT NULL UNIQUE)",
    "CREATE TABLE IF NOT EXISTS raw(series INTEGER, t INTEGER, v REAL, PRIMARY KEY(series, t)) WITHOUT ROWID",
    "CREATE TABLE IF NOT EXISTS gaps(t_start INTEGER PRIMARY KEY, t_end INTEGER)",
    "CREATE TABLE IF NOT EXISTS meta(key TEXT PRIMARY KEY, value INTEGER)",
};

constexpr int SUM_LEVELS = KV_HISTORY_LEVELS - 1; // all but raw

const KV_History_Level_Table& sum_table(int i) { return KV_HISTORY_TABLES[i + 1]; }

constexpr int WORKER_NICE = 10;

int64_t floor_to(int64_t t, int64_t width)
{
    const int64_t q = t / width;
    return (t % width < 0 ? q - 1 : q) * width;
}

int64_t wall_clock_ms()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

// Sums of one bucket of one series, merged into its row.
struct Bucket_Key {
    int64_t series;
    int64_t t;
    bool operator==(const Bucket_Key&) const = default;
};
struct Bucket_Key_Hash {
    size_t operator()(const Bucket_Key& k) const noexcept
    {
        return std::hash<int64_t>()(k.t * 1000003 + k.series);
    }
};
struct Sums {
    double vmin;
    double vmax;
    double vsum;
    int64_t n;
};
using Bucket_Map = std::unordered_map<Bucket_Key, Sums, Bucket_Key_Hash>;

void add_to(Bucket_Map& map, int64_t series, int64_t t, double v)
{
    auto [it, fresh] = map.try_emplace(Bucket_Key{series, t}, Sums{v, v, 0.0, 0});
    Sums& s = it->second;
    if (!fresh) {
        s.vmin = std::min(s.vmin, v);
        s.vmax = std::max(s.vmax, v);
    }
    s.vsum += v;
    ++s.n;
}

bool write_buckets(CKV_Sqlite_Db& db, const char* table, const Bucket_Map& map)
{
    char sql[320];
    if (!db.format_statement(sql, sizeof sql,
                             "INSERT INTO %s(series, t, vmin, vmax, vsum, n) VALUES(?, ?, ?, ?, ?, ?) "
                             "ON CONFLICT(series, t) DO UPDATE SET vmin = min(vmin, excluded.vmin), "
                             "vmax = max(vmax, excluded.vmax), vsum = vsum + excluded.vsum, n = n + excluded.n",
                             table))
        return false;
    CKV_Sqlite_Statement stmt(db, sql);
    if (!stmt.ok())
        return false;
    for (const auto& [key, s] : map) {
        sqlite3_bind_int64(stmt.get(), 1, key.series);
        sqlite3_bind_int64(stmt.get(), 2, key.t);
        sqlite3_bind_double(stmt.get(), 3, s.vmin);
        sqlite3_bind_double(stmt.get(), 4, s.vmax);
        sqlite3_bind_double(stmt.get(), 5, s.vsum);
        sqlite3_bind_int64(stmt.get(), 6, s.n);
        if (sqlite3_step(stmt.get()) != SQLITE_DONE) {
            db.store_error();
            return false;
        }
        sqlite3_reset(stmt.get());
    }
    return true;
}

// One statement with up to two integer parameters, run to its end.
bool exec_int(CKV_Sqlite_Db& db, const char* sql, int64_t a, int64_t b = 0)
{
    CKV_Sqlite_Statement stmt(db, sql);
    if (!stmt.ok())
        return false;
    const int count = sqlite3_bind_parameter_count(stmt.get());
    if (count >= 1)
        sqlite3_bind_int64(stmt.get(), 1, a);
    if (count >= 2)
        sqlite3_bind_int64(stmt.get(), 2, b);
    int rc;
    while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) {
        db.store_error();
        return false;
    }
    return true;
}

bool table_exists(CKV_Sqlite_Db& db, const char* name)
{
    CKV_Sqlite_Statement stmt(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?");
    if (!stmt.ok())
        return false;
    sqlite3_bind_text(stmt.get(), 1, name, -1, SQLITE_STATIC);
    return sqlite3_step(stmt.get()) == SQLITE_ROW;
}

// A level that a file made before it existed lacks is filled from the
// level below it, once.
bool create_sum_table(CKV_Sqlite_Db& db, int i)
{
    const std::string name = sum_table(i).name;
    const bool fill = i > 0 && !table_exists(db, name.c_str());
    bool ok = db.exec(("CREATE TABLE IF NOT EXISTS " + name +
                       "(series INTEGER, t INTEGER, vmin REAL, vmax REAL, vsum REAL, n INTEGER, "
                       "PRIMARY KEY(series, t)) WITHOUT ROWID").c_str());
    if (ok && fill) {
        const std::string w = std::to_string(sum_table(i).width);
        ok = db.exec(("INSERT INTO " + name + " SELECT series, t - ((t % " + w + ") + " + w + ") % " + w +
                      " AS b, min(vmin), max(vmax), sum(vsum), sum(n) FROM " + sum_table(i - 1).name +
                      " GROUP BY series, b").c_str());
    }
    return ok;
}

bool open_gap(CKV_Sqlite_Db& db, int64_t t)
{
    return exec_int(db, "INSERT OR IGNORE INTO gaps(t_start, t_end) SELECT ?, NULL "
                   "WHERE NOT EXISTS (SELECT 1 FROM gaps WHERE t_end IS NULL)", t);
}

bool close_gap(CKV_Sqlite_Db& db, int64_t t)
{
    return exec_int(db, "UPDATE gaps SET t_end = max(?, t_start) WHERE t_end IS NULL", t) &&
           exec_int(db, "DELETE FROM gaps WHERE t_end = t_start", 0);
}
} // namespace

CKV_History_Store::CKV_History_Store(KV_History_Limits limits)
    : m_limits(limits)
    , m_clock(wall_clock_ms)
{
}

CKV_History_Store::~CKV_History_Store() { close(); }

bool CKV_History_Store::open(const std::string& path, int64_t now_ms)
{
    close();
    if (!m_db.open(path, true))
        return false;
    sqlite3_busy_timeout(m_db.handle(), 2000);
    // FULL: a committed batch survives a power cut too, at one sync per batch.
    bool ok = m_db.exec("PRAGMA journal_mode=WAL") && m_db.exec("PRAGMA synchronous=FULL") &&
              m_db.exec("PRAGMA cache_size=-32000");
    for (const char* sql : SCHEMA)
        ok = ok && m_db.exec(sql);
    for (int i = 0; ok && i < SUM_LEVELS; ++i)
        ok = create_sum_table(m_db, i);
    m_series.clear();
    if (ok) {
        CKV_Sqlite_Statement stmt(m_db, "SELECT id, addr FROM series");
        ok = stmt.ok();
        while (ok && sqlite3_step(stmt.get()) == SQLITE_ROW) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt.get(), 1));
            m_series[address_from_text(text ? text : "")] = sqlite3_column_int64(stmt.get(), 0);
        }
    }
    // Not connected from the last value written until the link is up again.
    int64_t alive = now_ms;
    if (ok) {
        CKV_Sqlite_Statement stmt(m_db, "SELECT value FROM meta WHERE key = 'alive'");
        if (stmt.ok() && sqlite3_step(stmt.get()) == SQLITE_ROW)
            alive = std::min<int64_t>(now_ms, sqlite3_column_int64(stmt.get(), 0) + 1);
    }
    ok = ok && open_gap(m_db, alive);
    if (!ok) {
        TRACE(kv_trace::LEVEL_ERR, KV_TRACE_AREA_LOGGER, "HISTORY NOT OPENED: %s\n", path.c_str());
        m_db.close();
        return false;
    }
    m_path = path;
    {
        std::lock_guard lock(m_mutex);
        m_stop = false;
        m_pending.clear();
    }
    m_worker = std::thread([this] { run(); });
    return true;
}

void CKV_History_Store::close()
{
    if (m_worker.joinable()) {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_one();
        m_worker.join();
    }
    m_db.close();
    m_path.clear();
}

void CKV_History_Store::push(const Item& item)
{
    bool full;
    {
        std::lock_guard lock(m_mutex);
        m_pending.push_back(item);
        ++m_added;
        full = m_pending.size() >= MAX_BATCH;
    }
    if (full)
        m_wake.notify_one();
}

void CKV_History_Store::add(const KV_Group_Address& address, int64_t t_ms, double value)
{
    if (std::isfinite(value) && !address.is_null())
        push({Kind::Value, address, t_ms, value});
}

void CKV_History_Store::set_connected(bool connected, int64_t t_ms)
{
    push({connected ? Kind::Connected : Kind::Disconnected, {}, t_ms, 0.0});
}

void CKV_History_Store::thin(int64_t now_ms) { push({Kind::Thin, {}, now_ms, 0.0}); }

void CKV_History_Store::flush()
{
    std::unique_lock lock(m_mutex);
    if (!m_worker.joinable())
        return;
    const uint64_t target = m_added;
    m_flush_target = std::max(m_flush_target, target);
    m_wake.notify_one();
    m_written.wait(lock, [&] { return m_done >= target || !m_worker.joinable(); });
}

bool CKV_History_Store::copy_file(const std::string& from, const std::string& to)
{
    const std::string part = to + ".part";
    std::remove(part.c_str());
    bool ok = false;
    {
        CKV_Sqlite_Db source;
        CKV_Sqlite_Db copy;
        // The copy's own connection writes (and syncs) every page it takes.
        if (source.open(from, false) && copy.open(part, true)) {
            sqlite3_backup* backup = sqlite3_backup_init(copy.handle(), "main", source.handle(), "main");
            ok = backup && sqlite3_backup_step(backup, -1) == SQLITE_DONE;
            ok = sqlite3_backup_finish(backup) == SQLITE_OK && ok;
        }
    }
    ok = ok && std::rename(part.c_str(), to.c_str()) == 0;
    if (!ok) {
        std::remove(part.c_str());
        TRACE(kv_trace::LEVEL_ERR, KV_TRACE_AREA_LOGGER, "HISTORY NOT COPIED: %s -> %s\n", from.c_str(), to.c_str());
    }
    return ok;
}

uint64_t CKV_History_Store::batches_written() const
{
    std::lock_guard lock(m_mutex);
    return m_batches;
}

size_t CKV_History_Store::pending() const
{
    std::lock_guard lock(m_mutex);
    return static_cast<size_t>(m_added - m_done);
}

void CKV_History_Store::run()
{
#ifdef __linux__
    // Background work: the window goes first when both want the core.
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), WORKER_NICE);
#endif
    using clock = std::chrono::steady_clock;
    auto last_thin = clock::now() - std::chrono::milliseconds(THIN_INTERVAL_MS);
    std::deque<Item> batch;
    std::unique_lock lock(m_mutex);
    for (;;) {
        // Woken early by a full batch, a flush or the end.
        m_wake.wait_for(lock, std::chrono::milliseconds(BATCH_INTERVAL_MS), [this] {
            return m_stop || m_pending.size() >= MAX_BATCH || m_done < m_flush_target;
        });
        const bool stop = m_stop;
        // At most a full batch per transaction: a kill loses no more than that.
        if (m_pending.size() <= MAX_BATCH) {
            batch.swap(m_pending);
        } else {
            const auto end = m_pending.begin() + static_cast<std::ptrdiff_t>(MAX_BATCH);
            batch.assign(m_pending.begin(), end);
            m_pending.erase(m_pending.begin(), end);
        }
        lock.unlock();

        if (!batch.empty() && write_batch(batch)) {
            std::lock_guard count(m_mutex);
            ++m_batches;
        }
        if (clock::now() - last_thin >= std::chrono::milliseconds(THIN_INTERVAL_MS)) {
            thin_now(m_clock());
            last_thin = clock::now();
        }

        // Freed before the lock: a big batch takes a while to free.
        const size_t written = batch.size();
        batch.clear();
        lock.lock();
        m_done += written;
        m_written.notify_all();
        if (stop && m_pending.empty())
            return;
    }
}

int64_t CKV_History_Store::series_id(const KV_Group_Address& address)
{
    if (auto it = m_series.find(address); it != m_series.end())
        return it->second;
    CKV_Sqlite_Statement stmt(m_db, "INSERT INTO series(addr) VALUES(?)");
    const std::string text = address_to_text(address);
    if (!stmt.ok())
        return -1;
    sqlite3_bind_text(stmt.get(), 1, text.c_str(), -1, SQLITE_TRANSIENT);
    if (sqlite3_step(stmt.get()) != SQLITE_DONE) {
        m_db.store_error();
        return -1;
    }
    const int64_t id = sqlite3_last_insert_rowid(m_db.handle());
    m_series[address] = id;
    return id;
}

bool CKV_History_Store::write_batch(const std::deque<Item>& batch)
{
    if (!m_db.exec("BEGIN IMMEDIATE"))
        return false;
    // Ids made in a batch that rolls back are not kept.
    const auto series_before = m_series;
    bool ok = true;
    Bucket_Map sums[SUM_LEVELS];
    int64_t alive = INT64_MIN;
    std::vector<int64_t> thin_at;
    // Values sorted by series and time: each series' rows go in one after
    // another instead of jumping across the whole table.
    struct Row {
        int64_t series;
        int64_t t;
        double v;
        bool operator<(const Row& o) const { return series != o.series ? series < o.series : t < o.t; }
    };
    std::vector<Row> rows;
    rows.reserve(batch.size());
    for (size_t i = 0; ok && i < batch.size(); ++i) {
        const Item& item = batch[i];
        switch (item.kind) {
        case Kind::Value: {
            const int64_t id = series_id(item.address);
            ok = id >= 0;
            rows.push_back({id, item.t, item.value});
            for (int level = 0; level < SUM_LEVELS; ++level)
                add_to(sums[level], id, floor_to(item.t, sum_table(level).width), item.value);
            break;
        }
        case Kind::Connected:
            ok = close_gap(m_db, item.t);
            break;
        case Kind::Disconnected:
            ok = open_gap(m_db, item.t);
            break;
        case Kind::Thin:
            thin_at.push_back(item.t);
            continue;
        }
        alive = std::max(alive, item.t);
    }
    // Stable: of two values at the same time the later one stays.
    std::stable_sort(rows.begin(), rows.end());
    if (ok) {
        CKV_Sqlite_Statement insert(m_db, "INSERT OR REPLACE INTO raw(series, t, v) VALUES(?, ?, ?)");
        ok = insert.ok();
        for (size_t i = 0; ok && i < rows.size(); ++i) {
            sqlite3_bind_int64(insert.get(), 1, rows[i].series);
            sqlite3_bind_int64(insert.get(), 2, rows[i].t);
            sqlite3_bind_double(insert.get(), 3, rows[i].v);
            ok = sqlite3_step(insert.get()) == SQLITE_DONE;
            if (!ok)
                m_db.store_error();
            sqlite3_reset(insert.get());
        }
    }
    for (int level = 0; level < SUM_LEVELS; ++level)
        ok = ok && write_buckets(m_db, sum_table(level).name, sums[level]);
    if (ok && alive != INT64_MIN)
        ok = exec_int(m_db, "INSERT INTO meta(key, value) VALUES('alive', ?) "
                       "ON CONFLICT(key) DO UPDATE SET value = max(value, excluded.value)", alive);
    if (ok)
        ok = m_db.exec("COMMIT");
    if (!ok) {
        m_db.exec("ROLLBACK");
        m_series = series_before;
        TRACE(kv_trace::LEVEL_ERR, KV_TRACE_AREA_LOGGER, "HISTORY BATCH OF %zu LOST\n", batch.size());
    }
    for (int64_t now : thin_at)
        thin_now(now);
    return ok;
}

bool CKV_History_Store::thin_now(int64_t now_ms)
{
    // A finer level is cut at a bucket edge of the coarser level that takes
    // over, so no bucket is half in two levels.
    struct Cut {
        KV_History_Level level;
        int days;
        int64_t align;
    };
    const Cut cuts[] = {
        {KV_History_Level::Raw, m_limits.raw_days, KV_MINUTE_MS},
        {KV_History_Level::Minute, m_limits.minute_days, KV_HOUR_MS},
        {KV_History_Level::Minutes10, m_limits.minute_days, KV_HOUR_MS},
        {KV_History_Level::Hour, m_limits.hour_days, 6 * KV_HOUR_MS},
        {KV_History_Level::Hours6, m_limits.hour_days, 6 * KV_HOUR_MS},
    };
    if (!m_db.exec("BEGIN IMMEDIATE"))
        return false;
    bool ok = true;
    for (const Cut& cut : cuts) {
        if (cut.days <= 0)
            continue;
        char sql[96];
        ok = ok && m_db.format_statement(sql, sizeof sql, "DELETE FROM %s WHERE series = ? AND t < ?",
                                         KV_HISTORY_TABLES[static_cast<int>(cut.level)].name);
        for (const auto& [address, id] : m_series)
            ok = ok && exec_int(m_db, sql, id, floor_to(now_ms - cut.days * KV_DAY_MS, cut.align));
    }
    if (m_limits.hour_days > 0)
        ok = ok && exec_int(m_db, "DELETE FROM gaps WHERE t_end < ?", now_ms - m_limits.hour_days * KV_DAY_MS);
    ok = ok && m_db.exec("COMMIT");
    if (!ok)
        m_db.exec("ROLLBACK");
    return ok;
}
