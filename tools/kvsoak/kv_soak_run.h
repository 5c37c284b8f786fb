#pragma once
// The soak run: starts the controller simulator and the panel (kvsoak
// itself in its app role, offscreen), injects random faults through the
// simulator with every interval shortened by the speed, and checks that the
// panel survives, recovers within the bound after each fault, then shows
// the simulator's values, that its memory stays flat after warm-up and that
// its local project stays intact. Prints the figures.

#include <QElapsedTimer>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>

struct KV_Soak_Options {
    double minutes = 2.0; // real time
    int speed = 10;       // panel seconds per real second
    quint32 seed = 0;     // 0: from the clock
    int rss_bound_kb = 8192;
    QString kvsim;
    bool verbose = false;
};

class KV_Soak_Run {
public:
    explicit KV_Soak_Run(const KV_Soak_Options& options);
    // 0 when every check passed.
    int run();

private:
    // A child process whose output is kept line by line.
    struct Child {
        QProcess process;
        QStringList lines;
        int read_from = 0; // lines before this one were looked at
    };

    bool start_simulator();
    bool write_local_project();
    QString local_project_path() const;
    bool start_panel();
    void inject_fault();
    // Waits until the fault's effects are over; false when the panel did
    // not come back in time.
    bool await_recovery(qint64 fault_start, qint64 fault_end, const QString& name);
    bool values_match();
    qint64 panel_rss_kb() const;
    bool local_project_intact(QString& detail) const;
    void print_figures(bool project_ok, const QString& project_detail) const;

    void sim(const QString& command);
    void watch(Child& child, const QString& name);
    bool wait_for(const std::function<bool()>& done, qint64 timeout_ms);
    // ms of real time for ms of panel time.
    int real_ms(double panel_ms) const { return int(panel_ms / m_options.speed); }
    QMap<QString, QString> dump(Child& child);
    void log(const QString& text) const;

    KV_Soak_Options m_options;
    QRandomGenerator m_random;
    QTemporaryDir m_dir;
    QElapsedTimer m_clock;
    Child m_sim;
    Child m_panel;
    quint16 m_port = 0;
    QString m_project_name; // of the simulator's project
    bool m_fault_active = false;
    bool m_stopping = false;

    // Panel state as it reports it.
    bool m_up = false;
    qint64 m_last_up = -1;
    qint64 m_last_down = -1;

    // Figures.
    QMap<QString, int> m_faults;
    int m_losses = 0;
    int m_recoveries = 0;
    int m_late = 0;
    int m_unprovoked = 0;
    QMap<QString, qint64> m_longest_ms; // by fault, real time
    int m_checks = 0;
    int m_mismatches = 0;
    int m_changed_away = 0;
    qint64 m_rss_warm = 0; // lowest of the second fifth of the run
    qint64 m_rss_end = 0;  // lowest of the last fifth
    qint64 m_rss_peak = 0;
    bool m_crashed = false;
};
