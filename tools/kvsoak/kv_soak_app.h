#pragma once
// The panel side of a soak run: the app window, offscreen, with its timers
// shortened by the run's speed, and a probe that reports on standard output
// when the panel is up (logged in, every value fresh) or down, and on the
// command "dump" prints every value that a control shows.

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

class CKV_Studio_Main_App;

class KV_Soak_Probe : public QObject {
    Q_OBJECT
public:
    KV_Soak_Probe(CKV_Studio_Main_App& window, QObject* parent = nullptr);

private:
    void poll();
    void read_commands();
    void dump() const;

    CKV_Studio_Main_App& m_window;
    QTimer m_poll;
    QSocketNotifier m_commands;
    QByteArray m_command_bytes;
    int m_up = -1; // not told yet
};

// Runs the app window with its working directory in `work_dir`; returns the
// exit code of the event loop.
int kv_soak_run_app(int argc, char** argv, const QString& work_dir, int speed);
