#pragma once
// Writes the history of values: a SQLite file in WAL mode, filled in batches
// by a worker thread, so that a burst of values costs the caller a push into
// a queue. Each batch is one transaction with the sums of every level, so a
// kill loses at most the batch being written. Thinning drops raw values,
// minutes and hours as they age; the coarser levels already hold them.

#include <condition_variable>
#include <deque>
#include <functional>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "kv_address.h"
#include "kv_history.h"
#include "kv_sqlite_db.h"

class CKV_History_Store {
public:
    // A batch is written after this long, or at once when it holds MAX_BATCH values.
    static constexpr int BATCH_INTERVAL_MS = 1000;
    static constexpr size_t MAX_BATCH = 50'000;
    // Thinning runs this often while the store is open.
    static constexpr int64_t THIN_INTERVAL_MS = 10 * KV_MINUTE_MS;

    explicit CKV_History_Store(KV_History_Limits limits = {});
    ~CKV_History_Store();
    CKV_History_Store(const CKV_History_Store&) = delete;
    CKV_History_Store& operator=(const CKV_History_Store&) = delete;

    // The clock of the store's own thinning; the wall clock unless a test or
    // a tool writing the past sets another (before open).
    void set_clock(std::function<int64_t()> clock) { m_clock = std::move(clock); }

    // Opens or creates the file and starts the worker. The time since the
    // last value written becomes a gap that lasts until set_connected(true).
    // False when the file is no history (it is left as it is).
    bool open(const std::string& path, int64_t now_ms);
    // Writes what is pending and stops the worker.
    void close();
    bool is_open() const { return m_worker.joinable(); }
    const std::string& path() const { return m_path; }

    // Any thread; cheap. Values are written in the order they were added.
    void add(const KV_Group_Address& address, int64_t t_ms, double value);
    // Disconnected opens a gap at t_ms, connected ends it.
    void set_connected(bool connected, int64_t t_ms);
    // Drops what has aged out of its level as of now_ms (the worker also
    // does this on its own every THIN_INTERVAL_MS).
    void thin(int64_t now_ms);
    // Waits until everything handed in so far is written.
    void flush();

    // Copies a history that no store has open, whole or not at all (a
    // partial copy never takes the name `to`).
    static bool copy_file(const std::string& from, const std::string& to);

    // Transactions committed so far, and values handed in but not written.
    uint64_t batches_written() const;
    size_t pending() const;

private:
    enum class Kind : uint8_t { Value, Connected, Disconnected, Thin };
    struct Item {
        Kind kind;
        KV_Group_Address address;
        int64_t t;
        double value;
    };

    void push(const Item& item);
    void run();
    bool write_batch(const std::deque<Item>& batch);
    int64_t series_id(const KV_Group_Address& address);
    bool thin_now(int64_t now_ms);

    const KV_History_Limits m_limits;
    std::function<int64_t()> m_clock;
    std::string m_path;
    CKV_Sqlite_Db m_db; // the worker's only
    std::unordered_map<KV_Group_Address, int64_t, KV_Group_Address_Hash> m_series;

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_written;
    std::deque<Item> m_pending; // grows without moving what it holds
    uint64_t m_added = 0;    // items handed in
    uint64_t m_done = 0;     // items written (or given up)
    uint64_t m_flush_target = 0; // written at once up to here
    uint64_t m_batches = 0;
    bool m_stop = false;
    std::thread m_worker;
};
