// kvkill: power cuts at random moments. Starts the panel against the
// simulator serving the large benchmark project, kills it with SIGKILL at a
// random moment of its start or of the download and install, then runs the
// panel's start-up path on what is left and checks that a project opens and
// that it holds the installation's routes.
//   kvkill [--trials N] [--window MS] [--seed S]

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <map>

#include "kv_crypto.h"
#include "kv_local_project.h"
#include "kv_project_check.h"
#include "kv_project_db.h"

namespace {
KV_Routes::_route route(const std::string& name, const std::string& ip)
{
    KV_Routes::_route r;
    r.m_str_name = name;
    r.m_str_ip = ip;
    r.m_str_user = "root";
    r.m_str_passwd_md5 = kv_crypto::md5_hex("werk-zugang");
    return r;
}

// The installation as it was set up: a small project and its two targets.
bool write_installation(const QString& path, quint16 port)
{
    QFile::remove(path);
    kv_remove_stale_journal(path.toStdString());
    CKV_Project_Db db;
    if (!db.load(path.toStdString()))
        return false;
    db.m_project.m_str_name = "Lokal";
    db.m_project.m_str_guid = "{6b1c0d52-0000-4000-8000-000000000001}";
    db.m_routes.m_list_route = {route("Büro", "10.255.255.1"), route("Sim", "127.0.0.1:" + std::to_string(port))};
    db.m_routes.m_route_default = 1;
    return db.save(true);
}

// Reads lines of a process as they come.
struct Lines {
    QProcess* process;
    QStringList all;
    void pump()
    {
        process->waitForReadyRead(5);
        while (process->canReadLine())
            all << QString::fromUtf8(process->readLine()).trimmed();
    }
    int count(const QString& part) const { return int(all.filter(part).size()); }
};
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription("Kills the panel at random moments and checks what is left.");
    parser.addHelpOption();
    parser.addOptions({{"trials", "Number of kills.", "n", "200"},
                       {"window", "Kill within this many ms after the project was sent.", "ms", "1500"},
                       {"seed", "Seed of the random moments.", "seed", "1"}});
    parser.process(app);
    const int trials = parser.value("trials").toInt();
    const int window_ms = parser.value("window").toInt();
    QRandomGenerator random(parser.value("seed").toUInt());

    QProcess sim;
    sim.start(QStringLiteral(KVSIM_PATH), {"--large-project", "--port", "0", "--no-discovery"});
    Lines sim_lines{&sim, {}};
    quint16 port = 0;
    QElapsedTimer started;
    started.start();
    while (port == 0 && started.elapsed() < 60000 && sim.state() != QProcess::NotRunning) {
        sim_lines.pump();
        for (const QString& line : sim_lines.all) {
            const auto match = QRegularExpression("^listening on (\\d+)$").match(line);
            if (match.hasMatch())
                port = quint16(match.captured(1).toUInt());
        }
    }
    if (port == 0) {
        fprintf(stderr, "kvkill: the simulator did not start\n");
        return 2;
    }

    QTemporaryDir base;
    const QString work = base.filePath("work") + "/";
    const QString config = base.filePath("config");
    QDir().mkpath(work);
    {
        QSettings common(config + "/kirovantor3/Common.conf", QSettings::IniFormat);
        common.setValue("m_str_working_dir__", work);
        common.setValue("m_check_version_", 0);
    }
    const QString local = work + KV_LOCAL_PROJECT_FILE;

    std::map<std::string, int> outcomes;
    int failures = 0;
    for (int trial = 0; trial < trials; ++trial) {
        // Every fifth panel starts from the first installation again; the
        // others start from what the last one left.
        if (trial % 5 == 0 && !write_installation(local, port)) {
            fprintf(stderr, "kvkill: cannot write %s\n", qPrintable(local));
            return 2;
        }
        const bool during_start = trial % 4 == 3;
        const int delay = int(random.bounded(window_ms + 1));
        const int sent_before = sim_lines.count("-> 26,");

        QProcess panel;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_CONFIG_HOME", config);
        panel.setProcessEnvironment(env);
        panel.setStandardOutputFile(QProcess::nullDevice());
        panel.setStandardErrorFile(QProcess::nullDevice());
        panel.start(QStringLiteral(KV_APP_PATH), {});
        panel.waitForStarted();
        QElapsedTimer since;
        since.start();
        bool sent = during_start;
        while (!sent && since.elapsed() < 30000) {
            sim_lines.pump();
            sent = sim_lines.count("-> 26,") > sent_before;
        }
        if (!sent)
            fprintf(stderr, "kvkill: trial %d: no project was sent\n", trial);
        QThread::msleep(static_cast<unsigned long>(delay));
        panel.kill();
        panel.waitForFinished();
        sim_lines.pump();

        CKV_Project_Db project;
        const KV_Local_Open opened = kv_open_local_project(project, local.toStdString());
        const auto& routes = project.m_routes.m_list_route;
        const bool routes_kept = routes.size() == 2 && routes[0].m_str_name == "Büro" &&
                                 routes[1].m_str_name == "Sim" && project.m_routes.m_route_default == 1;
        std::string outcome = !opened.opened ? "no project opens"
                              : !routes_kept ? "routes lost"
                                             : project.m_project.m_str_name == "Lokal" ? "old project, routes kept"
                                                                                        : "new project, routes kept";
        if (!opened.notice.isEmpty())
            outcome += ", recovered: " + opened.notice.toStdString();
        ++outcomes[(during_start ? "killed during start-up: " : "killed after the download began: ") + outcome];
        if (!opened.opened || !routes_kept) {
            ++failures;
            fprintf(stderr, "kvkill: trial %d (%s, %d ms): %s\n", trial, during_start ? "start" : "download", delay,
                    outcome.c_str());
        }
    }
    sim.kill();
    sim.waitForFinished();

    printf("kvkill: %d trials, kill within %d ms\n", trials, window_ms);
    for (const auto& [outcome, count] : outcomes)
        printf("  %4d  %s\n", count, outcome.c_str());
    printf("failures: %d\n", failures);
    return failures == 0 ? 0 : 1;
}
