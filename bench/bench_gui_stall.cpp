// How long the GUI thread stalls: the longest lateness of a 1 ms timer while
// the panel downloads and installs the large benchmark project from the
// simulator, again while a second download replaces it, and while a burst of
// 300,000 net variables arrives; with the peak resident memory during the
// replacement, when two projects are in memory for a moment.

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <functional>

#include "kv_bench_probe.h"
#include "kv_crypto.h"
#include "kv_network_client.h"
#include "kv_project_db.h"
#include "kv_studio_main_app.h"

namespace {
constexpr int kBurst = 300000;

long status_kb(const char* key)
{
    QFile file("/proc/self/status");
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : file.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qsizetype(strlen(key))).trimmed().split(' ').first().toLong();
    return -1;
}

void reset_peak_rss()
{
    QFile file("/proc/self/clear_refs");
    if (file.open(QIODevice::WriteOnly))
        file.write("5");
}

bool wait_for(const std::function<bool()>& done, int limit_ms)
{
    QElapsedTimer waited;
    waited.start();
    while (!done() && waited.elapsed() < limit_ms)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    return done();
}
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QStandardPaths::setTestModeEnabled(true);
    for (QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, dir.filePath("settings"));
    {
        QSettings common("kirovantor3", "Common");
        common.setValue("m_str_working_dir__", dir.path() + "/");
        common.setValue("m_check_version_", 0);
    }

    QProcess sim;
    sim.start(KVSIM_PATH, {"--large-project", "--port", "0", "--no-discovery"});
    quint16 port = 0;
    wait_for(
        [&] {
            sim.waitForReadyRead(10);
            while (sim.canReadLine()) {
                const auto match = QRegularExpression("^listening on (\\d+)").match(QString::fromUtf8(sim.readLine()));
                if (match.hasMatch())
                    port = quint16(match.captured(1).toUInt());
            }
            return port != 0;
        },
        60000);
    if (port == 0) {
        fprintf(stderr, "the simulator did not start\n");
        return 1;
    }
    sim.setReadChannel(QProcess::StandardOutput);
    QObject::connect(&sim, &QProcess::readyReadStandardOutput, [&] { sim.readAll(); });

    {
        CKV_Project_Db local;
        local.load((dir.path() + "/kv_app.kvp").toStdString());
        KV_Routes::_route route;
        route.m_str_name = "Sim";
        route.m_str_ip = "127.0.0.1:" + std::to_string(port);
        route.m_str_user = "root";
        route.m_str_passwd_md5 = kv_crypto::md5_hex("werk-zugang");
        local.m_project.m_str_name = "Lokal";
        local.m_project.m_str_guid = "{6b1c0d52-0000-4000-8000-0000000000b1}"; // a project record decodes only with one
        local.m_routes.m_list_route = {route};
        local.m_routes.m_route_default = 0;
        local.save(true);
    }

    KV_Stall_Probe probe;
    auto* window = new CKV_Studio_Main_App;
    int rebuilt = 0;
    QObject::connect(window, &CKV_Studio_Main_App::pages_rebuilt, [&] { ++rebuilt; });
    int netvars = 0;
    QObject::connect(&window->client(), qOverload<KV_Addr_Tgm>(&CKV_Studio_Network_Client::onDataReadClient),
                     [&](KV_Addr_Tgm) { ++netvars; });
    window->show();

    // 1. The first download: the small local project gives way to the large one.
    probe.reset();
    QElapsedTimer phase;
    phase.start();
    if (!wait_for([&] { return rebuilt >= 1 && window->project().m_project.m_str_name == "Grossprojekt"; }, 180000)) {
        fprintf(stderr, "the large project was not installed\n");
        return 1;
    }
    const double first_ms = probe.longest_ms();
    const qint64 first_took = phase.elapsed();
    wait_for([] { return false; }, 1500); // settle
    const long steady_kb = status_kb("VmRSS:");

    // 2. A second download replaces the large project by itself.
    reset_peak_rss();
    probe.reset();
    phase.restart();
    sim.write("send 103\n");
    if (!wait_for([&] { return rebuilt >= 2; }, 180000)) {
        fprintf(stderr, "the second download was not installed\n");
        return 1;
    }
    const double second_ms = probe.longest_ms();
    const qint64 second_took = phase.elapsed();
    const long peak_kb = status_kb("VmHWM:");

    // 3. A burst of net variables.
    wait_for([] { return false; }, 500);
    probe.reset();
    phase.restart();
    sim.write(QByteArray("flood ") + QByteArray::number(kBurst) + "\n");
    if (!wait_for([&] { return netvars >= kBurst; }, 180000))
        fprintf(stderr, "only %d of %d net variables arrived\n", netvars, kBurst);
    const double burst_ms = probe.longest_ms();
    const qint64 burst_took = phase.elapsed();

    printf("longest lateness of a 1 ms GUI timer (goal < 50 ms):\n");
    printf("  download + install, small -> large project  %8.1f ms  (took %lld ms)\n", first_ms, first_took);
    printf("  download + install, large -> large project  %8.1f ms  (took %lld ms)\n", second_ms, second_took);
    printf("  burst of %d net variables              %8.1f ms  (took %lld ms)\n", kBurst, burst_ms, burst_took);
    printf("resident memory: steady %.1f MB, peak during the replacement %.1f MB (%.2fx, goal < 2x)\n",
           steady_kb / 1024.0, peak_kb / 1024.0, double(peak_kb) / double(steady_kb));
    delete window;
    sim.kill();
    sim.waitForFinished();
    return 0;
}
