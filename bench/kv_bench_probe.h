#pragma once
// How long the GUI thread's event loop stood still: a 1 ms timer notes the
// longest gap between two of its ticks, in wall time (what the user sees;
// on a busy machine mostly the scheduler's doing) and in CPU time of the
// thread (the work done in that turn).

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <time.h>

#include <algorithm>

// CPU time of the calling thread.
inline qint64 kv_thread_cpu_ns()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

inline double kv_thread_cpu_ms()
{
    return double(kv_thread_cpu_ns()) / 1e6;
}

class KV_Stall_Probe {
public:
    KV_Stall_Probe()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const qint64 wall = m_clock.nsecsElapsed();
            const qint64 cpu = kv_thread_cpu_ns();
            m_longest_wall_ns = std::max(m_longest_wall_ns, wall - m_last_wall_ns);
            m_longest_cpu_ns = std::max(m_longest_cpu_ns, cpu - m_last_cpu_ns);
            m_last_wall_ns = wall;
            m_last_cpu_ns = cpu;
        });
        m_clock.start();
        reset();
        m_timer.start();
    }
    // Forgets what was measured so far.
    void reset()
    {
        m_last_wall_ns = m_clock.nsecsElapsed();
        m_last_cpu_ns = kv_thread_cpu_ns();
        m_longest_wall_ns = 0;
        m_longest_cpu_ns = 0;
    }
    // The longest gap, less the timer's own 1 ms.
    double longest_ms() const { return std::max<qint64>(0, m_longest_wall_ns - 1000000) / 1e6; }
    double longest_cpu_ms() const { return double(m_longest_cpu_ns) / 1e6; }

private:
    QElapsedTimer m_clock;
    QTimer m_timer;
    qint64 m_last_wall_ns = 0;
    qint64 m_last_cpu_ns = 0;
    qint64 m_longest_wall_ns = 0;
    qint64 m_longest_cpu_ns = 0;
};
