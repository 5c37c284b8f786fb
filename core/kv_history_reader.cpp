#include "kv_history_reader.h"

#include <cmath>
#include <string>
#include <sqlite3.h>

namespace {

struct Level_Sql {
    std::string rows;  // rows of a series in [t0, t1), in time order
    std::string first; // earliest row of a series
    std::string last;  // last row of a series before t
};

const Level_Sql& level_sql(int level)
{
    static const std::vector<Level_Sql> sql = [] {
        std::vector<Level_Sql> all;
        for (const KV_History_Level_Table& table : KV_HISTORY_TABLES) {
            const std::string columns = table.width > 0 ? "t, vmin, vmax, vsum, n" : "t, v, v, v, 1";
            const std::string from = std::string(" FROM ") + table.name + " WHERE series = ?";
            all.push_back({"SELECT " + columns + from + " AND t >= ? AND t < ? ORDER BY t",
                           "SELECT min(t)" + from,
                           "SELECT " + columns + from + " AND t < ? ORDER BY t DESC LIMIT 1"});
        }
        return all;
    }();
    return sql[static_cast<size_t>(level)];
}

int64_t floor_to(int64_t t, int64_t width)
{
    const int64_t q = t / width;
    return (t % width < 0 ? q - 1 : q) * width;
}

// One row of a level as a bucket: a sum row spans its minute or hour.
KV_History_Bucket row_bucket(sqlite3_stmt* stmt, int64_t width)
{
    KV_History_Bucket b;
    const int64_t t = sqlite3_column_int64(stmt, 0);
    b.t_first = t;
    b.t_last = width > 0 ? t + width - 1 : t;
    b.vmin = sqlite3_column_double(stmt, 1);
    b.vmax = sqlite3_column_double(stmt, 2);
    b.vsum = sqlite3_column_double(stmt, 3);
    b.n = sqlite3_column_int64(stmt, 4);
    b.v_first = b.mean();
    return b;
}

void merge_into(KV_History_Bucket& into, const KV_History_Bucket& b)
{
    into.t_last = b.t_last;
    into.vmin = std::min(into.vmin, b.vmin);
    into.vmax = std::max(into.vmax, b.vmax);
    into.vsum += b.vsum;
    into.n += b.n;
}

bool gap_between(const std::vector<KV_History_Gap>& gaps, int64_t from, int64_t to, KV_History_Gap* found)
{
    for (const KV_History_Gap& g : gaps)
        if (g.start < to && g.end > from) {
            *found = g;
            return true;
        }
    return false;
}
} // namespace

bool CKV_History_Reader::open(const std::string& path)
{
    close();
    // Never creates: reading a history that is not there finds nothing.
    if (!m_db.open(path, false))
        return false;
    sqlite3_busy_timeout(m_db.handle(), 2000);
    return true;
}

void CKV_History_Reader::close()
{
    m_db.close();
    m_ids.clear();
}

KV_History_Level CKV_History_Reader::level_for(int64_t bucket_ms)
{
    int level = KV_HISTORY_LEVELS - 1;
    while (level > 0 && bucket_ms * 2 < KV_HISTORY_TABLES[level].width)
        --level;
    return static_cast<KV_History_Level>(level);
}

int64_t CKV_History_Reader::series_id(const KV_Group_Address& address)
{
    if (auto it = m_ids.find(address); it != m_ids.end())
        return it->second;
    CKV_Sqlite_Statement stmt(m_db, "SELECT id FROM series WHERE addr = ?");
    if (!stmt.ok())
        return -1;
    const std::string text = address_to_text(address);
    sqlite3_bind_text(stmt.get(), 1, text.c_str(), -1, SQLITE_TRANSIENT);
    if (sqlite3_step(stmt.get()) != SQLITE_ROW)
        return -1; // not recorded yet: asked again next time
    const int64_t id = sqlite3_column_int64(stmt.get(), 0);
    m_ids[address] = id;
    return id;
}

std::optional<int64_t> CKV_History_Reader::first_time(KV_History_Level level, int64_t id)
{
    CKV_Sqlite_Statement stmt(m_db, level_sql(static_cast<int>(level)).first.c_str());
    if (!stmt.ok())
        return std::nullopt;
    sqlite3_bind_int64(stmt.get(), 1, id);
    if (sqlite3_step(stmt.get()) != SQLITE_ROW || sqlite3_column_type(stmt.get(), 0) == SQLITE_NULL)
        return std::nullopt;
    return sqlite3_column_int64(stmt.get(), 0);
}

void CKV_History_Reader::read_level(KV_History_Level level, int64_t id, int64_t t0, int64_t t1,
                                    std::vector<KV_History_Bucket>& rows)
{
    if (t0 >= t1)
        return;
    CKV_Sqlite_Statement stmt(m_db, level_sql(static_cast<int>(level)).rows.c_str());
    if (!stmt.ok())
        return;
    sqlite3_bind_int64(stmt.get(), 1, id);
    sqlite3_bind_int64(stmt.get(), 2, t0);
    sqlite3_bind_int64(stmt.get(), 3, t1);
    while (sqlite3_step(stmt.get()) == SQLITE_ROW)
        rows.push_back(row_bucket(stmt.get(), KV_HISTORY_TABLES[static_cast<int>(level)].width));
}

std::vector<KV_History_Bucket> CKV_History_Reader::read(const KV_Group_Address& address, int64_t t0, int64_t t1,
                                                        int64_t bucket_ms)
{
    return kv_history_merge(rows(address, t0, t1, level_for(bucket_ms)), t0, bucket_ms);
}

std::vector<KV_History_Bucket> CKV_History_Reader::rows(const KV_Group_Address& address, int64_t t0, int64_t t1,
                                                        KV_History_Level finest)
{
    std::vector<KV_History_Bucket> rows;
    const int64_t id = m_db.is_open() ? series_id(address) : -1;
    if (id < 0 || t0 >= t1)
        return rows;
    // Finest level for the newest part; what it no longer holds comes from
    // the next level, cut at that level's bucket edge (thinning cuts there).
    std::vector<std::vector<KV_History_Bucket>> parts; // newest first
    int64_t end = t1;
    for (int level = static_cast<int>(finest); level < KV_HISTORY_LEVELS && end > t0; ++level) {
        int64_t from = t0;
        if (level + 1 < KV_HISTORY_LEVELS) {
            const std::optional<int64_t> first = first_time(static_cast<KV_History_Level>(level), id);
            from = first ? std::max(t0, floor_to(*first, KV_HISTORY_TABLES[level + 1].width)) : end;
        }
        parts.emplace_back();
        read_level(static_cast<KV_History_Level>(level), id, from, end, parts.back());
        end = std::min(end, from);
    }
    for (auto it = parts.rbegin(); it != parts.rend(); ++it)
        rows.insert(rows.end(), it->begin(), it->end());
    return rows;
}

std::optional<KV_History_Bucket> CKV_History_Reader::before(const KV_Group_Address& address, int64_t t)
{
    const int64_t id = m_db.is_open() ? series_id(address) : -1;
    if (id < 0)
        return std::nullopt;
    for (int level = 0; level < KV_HISTORY_LEVELS; ++level) {
        CKV_Sqlite_Statement stmt(m_db, level_sql(level).last.c_str());
        if (!stmt.ok())
            return std::nullopt;
        const int64_t width = KV_HISTORY_TABLES[level].width;
        sqlite3_bind_int64(stmt.get(), 1, id);
        sqlite3_bind_int64(stmt.get(), 2, t - width); // a whole row before t
        if (sqlite3_step(stmt.get()) == SQLITE_ROW)
            return row_bucket(stmt.get(), width);
    }
    return std::nullopt;
}

std::vector<KV_History_Gap> CKV_History_Reader::gaps(int64_t t0, int64_t t1)
{
    std::vector<KV_History_Gap> result;
    if (!m_db.is_open())
        return result;
    CKV_Sqlite_Statement stmt(m_db, "SELECT t_start, t_end FROM gaps WHERE t_start < ? AND "
                                    "(t_end IS NULL OR t_end > ?) ORDER BY t_start");
    if (!stmt.ok())
        return result;
    sqlite3_bind_int64(stmt.get(), 1, t1);
    sqlite3_bind_int64(stmt.get(), 2, t0);
    while (sqlite3_step(stmt.get()) == SQLITE_ROW) {
        const bool open = sqlite3_column_type(stmt.get(), 1) == SQLITE_NULL;
        result.push_back({sqlite3_column_int64(stmt.get(), 0),
                          open ? KV_HISTORY_OPEN_END : sqlite3_column_int64(stmt.get(), 1)});
    }
    return result;
}

std::vector<KV_History_Bucket> kv_history_merge(const std::vector<KV_History_Bucket>& rows, int64_t t0,
                                                int64_t bucket_ms)
{
    if (bucket_ms <= 0)
        return rows;
    std::vector<KV_History_Bucket> out;
    int64_t current = INT64_MIN;
    for (const KV_History_Bucket& row : rows) {
        const int64_t index = (row.t_first - t0) / bucket_ms;
        if (index == current && !out.empty()) {
            merge_into(out.back(), row);
        } else {
            out.push_back(row);
            current = index;
        }
    }
    return out;
}

std::vector<KV_History_Run> kv_history_runs(const std::vector<KV_History_Bucket>& buckets,
                                            const std::optional<KV_History_Bucket>& before,
                                            const std::vector<KV_History_Gap>& gaps, int64_t t0, int64_t end)
{
    std::vector<KV_History_Run> runs;
    KV_History_Run run;
    int64_t last_t = INT64_MIN;
    double last_v = 0;
    KV_History_Gap gap;
    if (before && !gap_between(gaps, before->t_last, t0, &gap)) {
        last_t = t0;
        last_v = before->mean();
        run.emplace_back(last_t, last_v);
    }
    auto point = [&](int64_t t, double v) {
        run.emplace_back(t, v);
        last_t = t;
        last_v = v;
    };
    for (const KV_History_Bucket& b : buckets) {
        // Not connected in between: the value holds until the link went, then nothing.
        if (last_t != INT64_MIN && gap_between(gaps, last_t, b.t_first, &gap)) {
            if (gap.start > last_t)
                run.emplace_back(gap.start, last_v);
            runs.push_back(std::move(run));
            run.clear();
        }
        if (b.vmin == b.vmax) {
            point(b.t_first + (b.t_last - b.t_first) / 2, b.vmin); // one value: one point
        } else if (std::abs(b.v_first - b.vmin) <= std::abs(b.v_first - b.vmax)) {
            point(b.t_first, b.vmin);
            point(b.t_last, b.vmax);
        } else {
            point(b.t_first, b.vmax);
            point(b.t_last, b.vmin);
        }
    }
    if (last_t != INT64_MIN && end > last_t) {
        const int64_t hold = gap_between(gaps, last_t, end, &gap) ? std::max(last_t, gap.start) : end;
        if (hold > last_t)
            run.emplace_back(hold, last_v);
    }
    if (!run.empty())
        runs.push_back(std::move(run));
    return runs;
}
