#include "kv_job_thread.h"

KV_Job_Thread::KV_Job_Thread()
    : m_thread([this] { run(); })
{
}

KV_Job_Thread::~KV_Job_Thread()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
        m_queue.clear();
    }
    m_wake.notify_one();
    m_thread.join();
}

void KV_Job_Thread::post(int key, Job job)
{
    {
        std::lock_guard lock(m_mutex);
        bool replaced = false;
        if (key != 0)
            for (Entry& entry : m_queue)
                if (entry.key == key) {
                    entry.job = std::move(job);
                    replaced = true;
                    break;
                }
        if (!replaced)
            m_queue.push_back({key, std::move(job)});
    }
    m_wake.notify_one();
}

void KV_Job_Thread::wait_idle()
{
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] { return m_queue.empty() && !m_busy; });
}

void KV_Job_Thread::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || !m_queue.empty(); });
        if (m_stop)
            return;
        Job job = std::move(m_queue.front().job);
        m_queue.pop_front();
        m_busy = true;
        lock.unlock();
        job();
        lock.lock();
        m_busy = false;
        if (m_queue.empty())
            m_idle.notify_all();
    }
}
