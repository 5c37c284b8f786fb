#include "kv_soak_run.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTimer>
#include <algorithm>
#include <cstdio>

#include "kv_crypto.h"
#include "kv_network_client.h"
#include "kv_project_db.h"

namespace {
// Panel time, as the product counts it.
constexpr double SUPERVISION_MS = CKV_Studio_Network_Client::SUPERVISION_MS; // also the window's reconnect tick
// Login, project download, page rebuild and every value: real work that no
// speed shortens.
constexpr int LOGIN_REAL_MS = 2000;
// A connection that is dropped or refused is back within one reconnect
// period. A link that falls silent (a paused controller, a stream that
// garbage or a foreign key made unreadable) is noticed when a keep-alive,
// sent within one period, goes unanswered; the client connects again at
// once. A connection made while the controller still hangs is dropped by
// the supervision within one period after the controller is back.
constexpr double DROP_BOUND_MS = SUPERVISION_MS;
constexpr double SILENT_BOUND_MS = SUPERVISION_MS + CKV_Studio_Network_Client::ANSWER_MS;
constexpr double WARM_UP_PART = 0.2; // of the run, before memory counts

double bound_ms(const QString& fault)
{
    return fault == QLatin1String("drop") || fault == QLatin1String("refuse") || fault == QLatin1String("corrupt")
               ? DROP_BOUND_MS
               : SILENT_BOUND_MS;
}

const QStringList FAULTS = {"drop", "garbage", "flood", "wrong-key", "refuse", "corrupt", "pause"};
const QString ROUTE_NAME = QStringLiteral("Soak");
} // namespace

KV_Soak_Run::KV_Soak_Run(const KV_Soak_Options& options)
    : m_options(options)
    , m_random(options.seed ? options.seed : quint32(QDateTime::currentMSecsSinceEpoch()))
{
}

void KV_Soak_Run::log(const QString& text) const
{
    if (m_options.verbose) {
        printf("%8.1f s  %s\n", m_clock.elapsed() / 1000.0, qPrintable(text));
        fflush(stdout);
    }
}

bool KV_Soak_Run::wait_for(const std::function<bool()>& done, qint64 timeout_ms)
{
    const qint64 until = m_clock.elapsed() + timeout_ms;
    while (!done() && m_clock.elapsed() < until) {
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return done();
}

void KV_Soak_Run::watch(Child& child, const QString& name)
{
    QObject::connect(&child.process, &QProcess::readyReadStandardOutput, [this, &child] {
        while (child.process.canReadLine()) {
            const QString line = QString::fromUtf8(child.process.readLine()).trimmed();
            child.lines << line;
            if (&child != &m_panel)
                continue;
            if (line == QLatin1String("state up")) {
                m_up = true;
                m_last_up = m_clock.elapsed();
            } else if (line == QLatin1String("state down")) {
                m_up = false;
                m_last_down = m_clock.elapsed();
                if (!m_fault_active && m_last_up >= 0) {
                    ++m_unprovoked;
                    printf("kvsoak: the link was lost at %.1f s with no fault under way\n", m_clock.elapsed() / 1000.0);
                    fflush(stdout);
                }
            }
        }
        // The simulator logs every message: keep only what is still read.
        if (child.lines.size() > 20000) {
            child.lines.remove(0, child.read_from);
            child.read_from = 0;
        }
    });
    QObject::connect(&child.process, &QProcess::finished, [this, &child, name](int code, QProcess::ExitStatus status) {
        if (!m_stopping) {
            m_crashed = true;
            printf("kvsoak: %s ended unexpectedly (%s, code %d)\n", qPrintable(name),
                   status == QProcess::CrashExit ? "crash" : "exit", code);
        }
    });
    child.process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
}

void KV_Soak_Run::sim(const QString& command)
{
    m_sim.process.write(command.toUtf8() + '\n');
    log(QStringLiteral("kvsim: ") + command);
}

bool KV_Soak_Run::start_simulator()
{
    watch(m_sim, QStringLiteral("kvsim"));
    m_sim.process.start(m_options.kvsim, {"--port", "0", "--no-discovery"});
    static const QRegularExpression listening(QStringLiteral("^listening on (\\d+)$"));
    static const QRegularExpression project(QStringLiteral("^project (.*) with \\d+ group addresses$"));
    wait_for([&] {
        for (const QString& line : std::as_const(m_sim.lines)) {
            if (const auto match = project.match(line); match.hasMatch())
                m_project_name = match.captured(1);
            if (const auto match = listening.match(line); match.hasMatch())
                m_port = quint16(match.captured(1).toUInt());
        }
        return m_port != 0 || m_crashed;
    }, 20000);
    m_sim.read_from = int(m_sim.lines.size());
    return m_port != 0;
}

bool KV_Soak_Run::write_local_project()
{
    QDir().mkpath(m_dir.filePath(QStringLiteral("work")));
    CKV_Project_Db db;
    if (!db.load(local_project_path().toStdString()))
        return false;
    KV_Routes::_route route;
    route.m_str_name = ROUTE_NAME.toStdString();
    route.m_str_ip = "127.0.0.1:" + std::to_string(m_port);
    route.m_str_user = "root";
    route.m_str_passwd_md5 = kv_crypto::md5_hex("werk-zugang");
    db.m_routes.m_list_route = {route};
    db.m_routes.m_route_default = 0;
    db.m_project.m_str_guid = "{50a50a50-0000-4000-8000-000000000001}";
    return db.save(false);
}

QString KV_Soak_Run::local_project_path() const
{
    return m_dir.filePath(QStringLiteral("work/kv_app.kvp"));
}

bool KV_Soak_Run::start_panel()
{
    watch(m_panel, QStringLiteral("panel"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("config")));
    environment.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    m_panel.process.setProcessEnvironment(environment);
    m_panel.process.start(QCoreApplication::applicationFilePath(),
                          {"--panel", m_dir.filePath(QStringLiteral("work")), "--speed", QString::number(m_options.speed)});
    // The first login downloads the project: give it the time of a few reconnects.
    return wait_for([this] { return m_up || m_crashed; }, real_ms(6 * SILENT_BOUND_MS) + 30000) && m_up;
}

QMap<QString, QString> KV_Soak_Run::dump(Child& child)
{
    QMap<QString, QString> values;
    const int from = int(child.lines.size());
    child.process.write("dump\n");
    int end = -1;
    wait_for([&] {
        for (int i = std::max(from, child.read_from); i < child.lines.size() && end < 0; ++i)
            if (child.lines[i] == QLatin1String("dump end"))
                end = i;
        return end >= 0 || m_crashed;
    }, 20000);
    for (int i = from; i < end; ++i) {
        const QStringList parts = child.lines[i].split(QLatin1Char(' '));
        if (parts.size() == 3 && parts[0] == QLatin1String("value"))
            values[parts[1]] = parts[2];
        else if (parts.size() == 2 && parts[0] == QLatin1String("stale"))
            values[QStringLiteral("stale")] = parts[1];
    }
    child.read_from = end >= 0 ? end + 1 : int(child.lines.size());
    return values;
}

bool KV_Soak_Run::values_match()
{
    ++m_checks;
    const QMap<QString, QString> shown = dump(m_panel);
    const QMap<QString, QString> held = dump(m_sim);
    QStringList differences;
    if (shown.value(QStringLiteral("stale")) != QLatin1String("0"))
        differences << QStringLiteral("%1 controls still look stale").arg(shown.value(QStringLiteral("stale")));
    if (shown.size() < 2 || held.isEmpty())
        differences << QStringLiteral("no values to compare");
    for (auto it = shown.begin(); it != shown.end(); ++it)
        if (it.key() != QLatin1String("stale") && held.value(it.key()) != it.value())
            differences << QStringLiteral("%1 shows %2, controller holds %3").arg(it.key(), it.value(), held.value(it.key()));
    if (differences.isEmpty())
        return true;
    ++m_mismatches;
    printf("kvsoak: values differ after recovery: %s\n", qPrintable(differences.mid(0, 3).join(QStringLiteral("; "))));
    fflush(stdout);
    return false;
}

qint64 KV_Soak_Run::panel_rss_kb() const
{
    QFile status(QStringLiteral("/proc/%1/status").arg(m_panel.process.processId()));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

void KV_Soak_Run::inject_fault()
{
    const QString fault = FAULTS[int(m_random.bounded(quint32(FAULTS.size())))];
    ++m_faults[fault];
    const qint64 start = m_clock.elapsed();
    m_fault_active = true;
    const double lasting_ms = 5000 + m_random.bounded(25000.0); // panel time
    auto change_values_meanwhile = [this] {
        if (m_random.bounded(2) == 0)
            return;
        const int count = 1 + int(m_random.bounded(20));
        sim(QStringLiteral("change %1").arg(count));
        m_changed_away += count;
    };
    auto hold = [&] { wait_for([] { return false; }, real_ms(lasting_ms)); };
    if (fault == QLatin1String("drop")) {
        sim(QStringLiteral("drop"));
        change_values_meanwhile();
    } else if (fault == QLatin1String("garbage")) {
        sim(QStringLiteral("garbage %1").arg(16 + m_random.bounded(4096)));
    } else if (fault == QLatin1String("flood")) {
        sim(QStringLiteral("flood %1").arg(1000 + m_random.bounded(30000)));
    } else if (fault == QLatin1String("pause")) {
        sim(QStringLiteral("pause %1").arg(real_ms(lasting_ms)));
        hold();
    } else {
        sim(fault + QStringLiteral(" on"));
        if (fault != QLatin1String("corrupt"))
            change_values_meanwhile();
        hold();
        sim(fault + QStringLiteral(" off"));
    }
    const bool back = await_recovery(start, m_clock.elapsed(), fault);
    m_fault_active = false;
    if (back && !m_crashed)
        values_match();
}

bool KV_Soak_Run::await_recovery(qint64 fault_start, qint64 fault_end, const QString& name)
{
    // Room for a silent link to be noticed before the panel counts as up.
    wait_for([this] { return m_crashed; }, real_ms(SILENT_BOUND_MS * 2));
    const double bound = bound_ms(name);
    const qint64 bound_real = real_ms(bound) + LOGIN_REAL_MS;
    if (!wait_for([this] { return m_up || m_crashed; }, 3 * bound_real) || m_crashed) {
        ++m_late;
        printf("kvsoak: no recovery after %s within %.1f s\n", qPrintable(name), 3 * bound_real / 1000.0);
        fflush(stdout);
        // Wait for it all the same, so that the next fault meets a running link.
        wait_for([this] { return m_up || m_crashed; }, 30 * bound_real);
        return m_up;
    }
    if (m_last_down < fault_start)
        return true; // the link held
    ++m_losses;
    ++m_recoveries;
    const qint64 took = std::max<qint64>(0, m_last_up - fault_end);
    m_longest_ms[name] = std::max(m_longest_ms.value(name), took);
    if (took > bound_real) {
        ++m_late;
        printf("kvsoak: recovery after %s took %.2f s (bound %.2f s)\n", qPrintable(name), took / 1000.0,
               bound_real / 1000.0);
        fflush(stdout);
    }
    log(QStringLiteral("%1: lost, back after %2 ms").arg(name).arg(took));
    return true;
}

bool KV_Soak_Run::local_project_intact(QString& detail) const
{
    CKV_Project_Db db;
    if (!QFile::exists(local_project_path()) || !db.load(local_project_path().toStdString())) {
        detail = QStringLiteral("does not open");
        return false;
    }
    const KV_Routes::_route* active = db.m_routes.active_route();
    detail = QStringLiteral("project \"%1\", %2 pages, %3 routes, active \"%4\"")
                 .arg(QString::fromStdString(db.m_project.m_str_name))
                 .arg(db.m_gui_pages.size())
                 .arg(db.m_routes.m_list_route.size())
                 .arg(active ? QString::fromStdString(active->m_str_name) : QString());
    return db.m_routes.m_list_route.size() == 1 && active && active->m_str_name == ROUTE_NAME.toStdString() &&
           active->m_str_ip == "127.0.0.1:" + std::to_string(m_port) &&
           QString::fromStdString(db.m_project.m_str_name) == m_project_name && !db.m_gui_pages.empty();
}

int KV_Soak_Run::run()
{
    m_clock.start();
    if (!m_dir.isValid() || !start_simulator() || !write_local_project()) {
        printf("kvsoak: could not start the simulator (%s)\n", qPrintable(m_options.kvsim));
        return 2;
    }
    if (!start_panel()) {
        printf("kvsoak: the panel did not come up\n");
        return 1;
    }
    log(QStringLiteral("panel up"));
    const qint64 total_ms = qint64(m_options.minutes * 60000);
    while (m_clock.elapsed() < total_ms && !m_crashed) {
        // A quiet spell: any loss now has no fault behind it.
        wait_for([this] { return m_crashed; }, real_ms(2000 + m_random.bounded(8000.0)));
        inject_fault();
        // Right after a recovery the heap still holds the download and the
        // rebuilt pages for a while: the lowest sample of a stretch is what
        // the panel keeps, and a leak raises it.
        const qint64 rss = panel_rss_kb();
        const double part = double(m_clock.elapsed()) / double(total_ms);
        auto keep_lowest = [rss](qint64& lowest) { lowest = lowest ? std::min(lowest, rss) : rss; };
        if (rss > 0 && part >= WARM_UP_PART && part < 2 * WARM_UP_PART)
            keep_lowest(m_rss_warm);
        else if (rss > 0 && part >= 1 - WARM_UP_PART)
            keep_lowest(m_rss_end);
        m_rss_peak = std::max(m_rss_peak, rss);
    }
    const qint64 ran_ms = m_clock.elapsed();

    m_stopping = true;
    m_panel.process.write("quit\n");
    const bool ended = m_panel.process.waitForFinished(30000);
    if (!ended || m_panel.process.exitStatus() != QProcess::NormalExit || m_panel.process.exitCode() != 0)
        m_crashed = true;
    m_sim.process.kill();
    m_sim.process.waitForFinished(5000);

    QString project_detail;
    const bool project_ok = local_project_intact(project_detail);
    const qint64 growth = m_rss_end - m_rss_warm;
    const bool memory_ok = m_rss_warm > 0 && m_rss_end > 0 && growth <= m_options.rss_bound_kb;
    int faults = 0;
    QStringList kinds;
    for (auto it = m_faults.begin(); it != m_faults.end(); ++it) {
        faults += it.value();
        kinds << QStringLiteral("%1 %2").arg(it.key()).arg(it.value());
    }
    const double speed = m_options.speed;
    printf("kvsoak: %.1f min real at speed %d = %.1f h of panel time\n", ran_ms / 60000.0, m_options.speed,
           ran_ms * speed / 3600000.0);
    printf("faults injected: %d (%s), values changed while away: %d\n", faults, qPrintable(kinds.join(", ")),
           m_changed_away);
    qint64 longest = 0;
    QStringList longest_by_kind;
    for (auto it = m_longest_ms.begin(); it != m_longest_ms.end(); ++it) {
        longest = std::max(longest, it.value());
        longest_by_kind << QStringLiteral("%1 %2 s").arg(it.key()).arg(it.value() / 1000.0, 0, 'f', 2);
    }
    printf("losses: %d, recovered: %d, late: %d, losses without a fault: %d\n", m_losses, m_recoveries, m_late,
           m_unprovoked);
    printf("longest recovery: %.2f s real = %.1f s of panel time (%s; bounds: dropped or refused %.2f s, "
           "silent %.2f s)\n",
           longest / 1000.0, longest * speed / 1000, qPrintable(longest_by_kind.join(", ")),
           (real_ms(DROP_BOUND_MS) + LOGIN_REAL_MS) / 1000.0, (real_ms(SILENT_BOUND_MS) + LOGIN_REAL_MS) / 1000.0);
    printf("value checks: %d, differing: %d\n", m_checks, m_mismatches);
    printf("memory: lowest %.1f MB in the second fifth, lowest %.1f MB in the last fifth (growth %+.1f MB, "
           "bound %.1f MB), peak %.1f MB\n",
           m_rss_warm / 1024.0, m_rss_end / 1024.0, growth / 1024.0, m_options.rss_bound_kb / 1024.0,
           m_rss_peak / 1024.0);
    printf("local project: %s (%s)\n", project_ok ? "intact" : "DAMAGED", qPrintable(project_detail));
    printf("crash: %s\n", m_crashed ? "YES" : "none");
    const bool passed = !m_crashed && m_late == 0 && m_mismatches == 0 && memory_ok && project_ok && faults > 0;
    printf("result: %s\n", passed ? "PASS" : "FAIL");
    return passed ? 0 : 1;
}
