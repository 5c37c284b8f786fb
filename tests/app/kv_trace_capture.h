#pragma once
// Collects the trace (standard output) of the test process while it lives,
// so that a test can check that a fault left its line, and hands it on to
// the real output at the end (the test's own reports are in it).

#include <QByteArray>
#include <QFile>
#include <QTemporaryFile>
#include <cstdio>
#include <unistd.h>

class Trace_Capture {
public:
    Trace_Capture()
    {
        m_file.open();
        fflush(stdout);
        m_saved = dup(STDOUT_FILENO);
        dup2(m_file.handle(), STDOUT_FILENO);
    }
    ~Trace_Capture()
    {
        const QByteArray captured = text();
        dup2(m_saved, STDOUT_FILENO);
        close(m_saved);
        fwrite(captured.constData(), 1, size_t(captured.size()), stdout);
        fflush(stdout);
    }
    Trace_Capture(const Trace_Capture&) = delete;
    Trace_Capture& operator=(const Trace_Capture&) = delete;

    // Everything traced so far; capturing goes on, so it can be polled.
    QByteArray text()
    {
        fflush(stdout);
        QFile file(m_file.fileName());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private:
    QTemporaryFile m_file;
    int m_saved = -1;
};
