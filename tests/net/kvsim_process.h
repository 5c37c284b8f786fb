#pragma once
// Runs the controller simulator for a test: on free ports, with its output
// collected line by line.

#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QtTest>

class Kvsim_Process {
public:
    // Starts kvsim with the given options and waits until it listens.
    bool start(QStringList arguments)
    {
        arguments << "--port" << "0";
        if (!arguments.contains("--discovery-port") && !arguments.contains("--no-discovery"))
            arguments << "--discovery-port" << "0";
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        QObject::connect(&m_process, &QProcess::readyReadStandardOutput, [this] {
            while (m_process.canReadLine())
                lines << QString::fromUtf8(m_process.readLine()).trimmed();
        });
        m_process.start(KVSIM_PATH, arguments);
        if (!m_process.waitForStarted(5000))
            return false;
        QElapsedTimer waited;
        waited.start();
        while (port == 0 && waited.elapsed() < 10000 && m_process.state() == QProcess::Running) {
            QTest::qWait(20);
            for (const QString& line : lines) {
                const auto search = QRegularExpression("^search answers on (\\d+)$").match(line);
                if (search.hasMatch())
                    search_port = static_cast<quint16>(search.captured(1).toUInt());
                const auto listening = QRegularExpression("^listening on (\\d+)$").match(line);
                if (listening.hasMatch())
                    port = static_cast<quint16>(listening.captured(1).toUInt());
            }
        }
        return port != 0;
    }
    ~Kvsim_Process()
    {
        m_process.kill();
        m_process.waitForFinished(5000);
    }

    // One command line on the simulator's standard input (see kvsim).
    void command(const QString& line) { m_process.write(line.toUtf8() + '\n'); }

    bool logged(const QString& part) const
    {
        return std::any_of(lines.begin(), lines.end(), [&](const QString& line) { return line.contains(part); });
    }

    quint16 port = 0;
    quint16 search_port = 0;
    QStringList lines;

private:
    QProcess m_process;
};
