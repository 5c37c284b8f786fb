#pragma once
// One worker thread that runs jobs in the order they were posted. A job
// posted under a key replaces a job of the same key that has not started,
// so a stream of requests (a chart being dragged) runs only its newest.

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

class KV_Job_Thread {
public:
    using Job = std::function<void()>;

    KV_Job_Thread();
    // Drops the jobs that have not started and waits for the running one.
    ~KV_Job_Thread();
    KV_Job_Thread(const KV_Job_Thread&) = delete;
    KV_Job_Thread& operator=(const KV_Job_Thread&) = delete;

    // Key 0 never replaces anything.
    void post(int key, Job job);
    // Waits until every job posted so far has run.
    void wait_idle();

private:
    struct Entry {
        int key;
        Job job;
    };
    void run();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<Entry> m_queue;
    bool m_busy = false;
    bool m_stop = false;
    std::thread m_thread;
};
