#pragma once
// Reads the history of values on a connection of its own (WAL lets it read
// while the store writes). A reading merges the stored rows into buckets of
// a given width, from the coarsest level that is still fine enough, so that
// a year costs about as much as a day; the part of a range that a finer
// level no longer holds comes from the next coarser one.

#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "kv_address.h"
#include "kv_history.h"
#include "kv_sqlite_db.h"

class CKV_History_Reader {
public:
    bool open(const std::string& path);
    void close();
    bool is_open() const { return m_db.is_open(); }

    // The level a reading with buckets of this width uses: the coarsest
    // whose rows are at most twice as wide; 0 gives the raw values.
    static KV_History_Level level_for(int64_t bucket_ms);

    // Buckets aligned at t0 covering [t0, t1) in time order, empty ones left
    // out; bucket_ms 0 gives every stored row of the finest level held.
    std::vector<KV_History_Bucket> read(const KV_Group_Address& address, int64_t t0, int64_t t1, int64_t bucket_ms);
    // The stored rows in [t0, t1) from `level` (coarser where it holds no more).
    std::vector<KV_History_Bucket> rows(const KV_Group_Address& address, int64_t t0, int64_t t1,
                                        KV_History_Level level);
    // The last stored row before t, as a bucket of its own.
    std::optional<KV_History_Bucket> before(const KV_Group_Address& address, int64_t t);
    // Gaps overlapping [t0, t1), in time order; an open gap ends at KV_HISTORY_OPEN_END.
    std::vector<KV_History_Gap> gaps(int64_t t0, int64_t t1);

private:
    int64_t series_id(const KV_Group_Address& address);
    // Earliest row of a level, or nothing.
    std::optional<int64_t> first_time(KV_History_Level level, int64_t id);
    void read_level(KV_History_Level level, int64_t id, int64_t t0, int64_t t1, std::vector<KV_History_Bucket>& rows);

    CKV_Sqlite_Db m_db;
    std::unordered_map<KV_Group_Address, int64_t, KV_Group_Address_Hash> m_ids;
};

// Buckets merged into buckets of bucket_ms aligned at t0 (0: unchanged).
std::vector<KV_History_Bucket> kv_history_merge(const std::vector<KV_History_Bucket>& rows, int64_t t0,
                                                int64_t bucket_ms);

// A curve as drawn: runs of (time, value) points, broken at every gap. At
// most two points per bucket (minimum and maximum, in the order that joins
// the neighbours best); the value before the range starts the line at t0,
// and the last value holds until the next gap or `end` (the present).
using KV_History_Run = std::vector<std::pair<int64_t, double>>;
std::vector<KV_History_Run> kv_history_runs(const std::vector<KV_History_Bucket>& buckets,
                                            const std::optional<KV_History_Bucket>& before,
                                            const std::vector<KV_History_Gap>& gaps, int64_t t0, int64_t end);
