// The history of values. Recording: telegrams of 500 logger addresses go
// through the recorder on this (the GUI) thread while the store's worker
// writes them; the rate is values written per second until the last batch
// is committed, and the stall is the longest this thread spent on a chunk
// of 1000 telegrams. Reading: a year of per-minute values in four curves
// (as the recorder writes them, then thinned as the app thins), and the time
// from choosing the week or the year to the chart drawn. Run with
// QT_QPA_PLATFORM=offscreen.

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

#include "kv_bench_probe.h"
#include "kv_history_recorder.h"
#include "kv_history_store.h"
#include "kv_logger_chart.h"
#include "kv_logger_view.h"

namespace {
constexpr int kAddresses = 500;
constexpr int kTelegrams = 2'000'000;
constexpr int kChunk = 1000;

KV_Group_Address address_of(int n) { return KV_Group_Address{uint32_t(1 + n / 200), uint32_t(n / 20 % 10), uint32_t(n % 20 + 1)}; }

KV_Addr_Tgm float_telegram(const KV_Group_Address& a, double value)
{
    KV_Addr_Db record;
    record.m_data_typ = 9;
    set_value_from_double(record, value);
    KV_Addr_Tgm tgm;
    tgm.command = KV_TGM_WRITE;
    tgm.dest_address[0] = a.main;
    tgm.dest_address[1] = a.middle;
    tgm.dest_address[2] = a.sub;
    tgm.data_type = 9;
    std::memcpy(tgm.value, record.m_data, sizeof tgm.value);
    return tgm;
}

std::vector<std::unique_ptr<KV_Settings_Logger_Group>> groups_of(int addresses, int per_group)
{
    std::vector<std::unique_ptr<KV_Settings_Logger_Group>> groups;
    for (int n = 0; n < addresses; ++n) {
        if (n % per_group == 0) {
            groups.push_back(std::make_unique<KV_Settings_Logger_Group>());
            groups.back()->m_str_name = "Gruppe " + std::to_string(groups.size());
        }
        groups.back()->m_list_curve.push_back({address_of(n), "Kurve " + std::to_string(n), 1.0, "°C", 9});
    }
    return groups;
}

void recording(const QString& dir)
{
    CKV_History_Store store;
    if (!store.open(dir.toStdString() + "/recording.db", QDateTime::currentMSecsSinceEpoch()))
        return;
    KV_History_Recorder recorder(store);
    std::vector<KV_Settings_Logger_Group> groups;
    for (const auto& group : groups_of(kAddresses, 50))
        groups.push_back(*group);
    recorder.set_logger_groups(groups);
    KV_Addr_Tree tree;
    std::vector<KV_Addr_Tgm> telegrams;
    for (int n = 0; n < kAddresses; ++n)
        telegrams.push_back(float_telegram(address_of(n), 20.0 + n % 7));

    QElapsedTimer total;
    total.start();
    double longest_ms = 0;
    double longest_cpu_ms = 0;
    int over_goal = 0;
    const int64_t t0 = QDateTime::currentMSecsSinceEpoch();
    for (int i = 0; i < kTelegrams; i += kChunk) {
        QElapsedTimer chunk;
        chunk.start();
        const double cpu0 = kv_thread_cpu_ms();
        for (int j = i; j < i + kChunk; ++j)
            recorder.on_telegram(telegrams[size_t(j % kAddresses)], tree, false, t0 + j);
        QCoreApplication::processEvents();
        const double ms = chunk.nsecsElapsed() / 1e6;
        longest_ms = std::max(longest_ms, ms);
        longest_cpu_ms = std::max(longest_cpu_ms, kv_thread_cpu_ms() - cpu0);
        over_goal += ms >= 16.0;
    }
    const double pushed_s = total.nsecsElapsed() / 1e9;
    store.flush();
    const double written_s = total.nsecsElapsed() / 1e9;
    printf("recording: %d values of %d addresses\n", kTelegrams, kAddresses);
    printf("  written in %.2f s: %.0f values/s (goal >= 100000), %llu batches\n", written_s, kTelegrams / written_s,
           static_cast<unsigned long long>(store.batches_written()));
    printf("  handed in by the GUI thread in %.2f s; its longest stall %.2f ms per 1000 (goal < 16), "
           "%d of %d over 16 ms; its longest CPU time per 1000 %.2f ms\n",
           pushed_s, longest_ms, over_goal, kTelegrams / kChunk, longest_cpu_ms);
}

// A year of per-minute values of four curves, ending now.
QString year_of_minutes(const QString& dir, int64_t now)
{
    const QString path = dir + "/year.db";
    KV_History_Limits limits;
    limits.minute_days = 400;
    CKV_History_Store store(limits);
    if (!store.open(path.toStdString(), now - 365 * KV_DAY_MS))
        return {};
    store.set_connected(true, now - 365 * KV_DAY_MS);
    QElapsedTimer timer;
    timer.start();
    int64_t values = 0;
    for (int64_t t = now - 365 * KV_DAY_MS; t <= now; t += KV_MINUTE_MS) {
        for (int c = 0; c < 4; ++c, ++values)
            store.add(address_of(c), t, 20 + 5 * std::sin(double(t) / 8.64e7 * 6.283 + c) + (t / KV_MINUTE_MS % 97) / 50.0);
        if (values % 400'000 == 0)
            store.flush();
    }
    store.thin(now);
    store.flush();
    printf("a year of per-minute values in 4 curves: %lld values written in %.1f s\n",
           static_cast<long long>(values), timer.nsecsElapsed() / 1e9);
    return path;
}

void range_to_drawn(const QString& path, int64_t now)
{
    CKV_Logger_View view;
    view.set_clock([now] { return now; });
    view.resize(1280, 800);
    view.show();
    QCoreApplication::processEvents();
    if (!view.open_history(path, KV_Logger_Settings::read()))
        return;
    view.set_logger_groups(groups_of(4, 4));
    view.open_group(0);
    view.wait_idle();
    struct Case {
        const char* name;
        CKV_Logger_View::Range range;
    };
    for (const Case c : {Case{"week", CKV_Logger_View::Range_Week}, Case{"year", CKV_Logger_View::Range_Year}}) {
        std::vector<double> times;
        for (int round = 0; round < 9; ++round) {
            // From another range each time, as a user would tap.
            view.set_range(CKV_Logger_View::Range_Hour);
            view.wait_idle();
            bool drawn = false;
            QMetaObject::Connection once =
                QObject::connect(&view, &CKV_Logger_View::chart_updated, [&] { drawn = true; });
            QElapsedTimer timer;
            timer.start();
            view.set_range(c.range);
            while (!drawn)
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
            view.chart()->grab(); // the chart painted
            times.push_back(timer.nsecsElapsed() / 1e6);
            QObject::disconnect(once);
        }
        const double first = times.front();
        std::sort(times.begin(), times.end());
        int points = 0;
        for (int curve = 0; curve < 4; ++curve)
            points += view.chart()->drawn_points(curve);
        printf("choose the %s to chart drawn: first %.1f ms, median %.1f ms, worst %.1f ms (goal < 50); "
               "%d points for %d pixel columns\n",
               c.name, first, times[times.size() / 2], times.back(), points, view.chart()->plot_width());
    }
}
} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    recording(dir.path());
    const int64_t now = QDateTime::currentMSecsSinceEpoch();
    const QString year = year_of_minutes(dir.path(), now);
    if (year.isEmpty())
        return 1;
    range_to_drawn(year, now);
    return 0;
}
