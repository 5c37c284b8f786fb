#pragma once
// Collects the trace (standard output) of the test process while it lives,
// and hands it on to the real output at the end (the test's own reports
// are in it).

#include <QFile>
#include <QString>
#include <QTemporaryFile>
#include <cstdio>
#include <unistd.h>

class KV_Trace_Capture {
public:
    KV_Trace_Capture()
    {
        m_file.open();
        fflush(stdout);
        m_saved = dup(STDOUT_FILENO);
        dup2(m_file.handle(), STDOUT_FILENO);
    }
    ~KV_Trace_Capture()
    {
        const QByteArray captured = text().toUtf8();
        dup2(m_saved, STDOUT_FILENO);
        close(m_saved);
        fwrite(captured.constData(), 1, size_t(captured.size()), stdout);
        fflush(stdout);
    }
    KV_Trace_Capture(const KV_Trace_Capture&) = delete;
    KV_Trace_Capture& operator=(const KV_Trace_Capture&) = delete;

    QString text()
    {
        fflush(stdout);
        QFile file(m_file.fileName());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    bool has(const QString& part) { return text().contains(part); }

private:
    QTemporaryFile m_file;
    int m_saved = -1;
};
