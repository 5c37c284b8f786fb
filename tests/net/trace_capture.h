#pragma once
// Captures what TRACE writes to standard output while the object lives, so
// that a test can check that a rejection left its line.

#include <QByteArray>
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
    ~Trace_Capture() { restore(); }

    // Everything traced so far; stops capturing.
    QByteArray text()
    {
        restore();
        m_file.seek(0);
        return m_file.readAll();
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        fflush(stdout);
        dup2(m_saved, STDOUT_FILENO);
        close(m_saved);
        m_saved = -1;
    }

    QTemporaryFile m_file;
    int m_saved = -1;
};
