#include <QtTest>

#include <csignal>
#include <cstring>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include "kv_history_reader.h"
#include "kv_history_recorder.h"
#include "kv_history_store.h"
#include "kv_settings_devices.h"
#include "kv_test_tables.h"

namespace {
// 2026-06-01 00:00 UTC: far from any level edge.
constexpr int64_t T0 = 1780272000000;

KV_Group_Address ga(const char* text) { return address_from_text(text); }

KV_Addr_Tgm telegram(const char* address, uint32_t command, uint32_t type, double value)
{
    KV_Addr_Db record;
    record.m_data_typ = type;
    set_value_from_double(record, value);
    KV_Addr_Tgm tgm;
    const KV_Group_Address a = ga(address);
    tgm.dest_address[0] = a.main;
    tgm.dest_address[1] = a.middle;
    tgm.dest_address[2] = a.sub;
    tgm.command = command;
    tgm.data_type = type;
    std::memcpy(tgm.value, record.m_data, sizeof tgm.value);
    return tgm;
}

// The first column of the first row, as text ("" without a row).
QByteArray first_value(const std::string& path, const char* sql)
{
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_stmt* stmt = nullptr;
    QByteArray value;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW)
        value = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return value;
}

int64_t count(const std::string& path, const char* sql)
{
    const QByteArray value = first_value(path, sql);
    return value.isEmpty() ? -1 : static_cast<int64_t>(value.toDouble());
}

// Opens the store with its clock held at T0, so that nothing is thinned by the wall clock.
bool open_at(CKV_History_Store& store, const std::string& path, int64_t now)
{
    store.set_clock([] { return T0; });
    return store.open(path, now);
}

// The child of the kill test: batches of values 0, 1, 2 ... at times 0, 1, 2 ...,
// telling the parent after each committed batch how many values are in.
int write_until_killed(const char* path)
{
    CKV_History_Store store;
    if (!open_at(store, path, T0))
        return 1;
    constexpr int BATCH = 20000;
    for (int64_t next = 0;; ) {
        for (int i = 0; i < BATCH; ++i, ++next)
            store.add(ga("1/1/1"), T0 + next, double(next));
        store.flush();
        printf("%lld\n", static_cast<long long>(next));
        fflush(stdout);
    }
}
} // namespace

class TestKvHistory : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    int m_file = 0;
    std::string fresh_path() { return m_dir.filePath(QString("h%1.db").arg(++m_file)).toStdString(); }

private slots:
    void logger_addresses_are_recorded_others_not_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<uint>("command");
        QTest::addColumn<bool>("shown_on_page");
        QTest::addColumn<bool>("record_pages");
        QTest::addColumn<bool>("recorded");
        QTest::newRow("logger write") << "3/0/7" << KV_TGM_WRITE << false << false << true;
        QTest::newRow("logger response") << "3/0/7" << KV_TGM_RESPONSE << false << false << true;
        QTest::newRow("logger read") << "3/0/7" << KV_TGM_READ << false << false << false;
        QTest::newRow("other") << "3/0/8" << KV_TGM_WRITE << false << false << false;
        QTest::newRow("other on a page") << "3/0/8" << KV_TGM_WRITE << true << false << false;
        QTest::newRow("page address, pages recorded") << "3/0/8" << KV_TGM_WRITE << true << true << true;
        QTest::newRow("no page, pages recorded") << "3/0/9" << KV_TGM_WRITE << false << true << false;
        QTest::newRow("null address") << "0/0/0" << KV_TGM_WRITE << true << true << false;
    }

    void logger_addresses_are_recorded_others_not()
    {
        QFETCH(QString, address);
        QFETCH(uint, command);
        QFETCH(bool, shown_on_page);
        QFETCH(bool, record_pages);
        QFETCH(bool, recorded);
        const std::string path = fresh_path();
        CKV_History_Store store;
        QVERIFY(open_at(store, path, T0));
        KV_History_Recorder recorder(store);
        std::vector<KV_Settings_Logger_Group> groups(1);
        groups.back().m_list_curve.push_back({ga("3/0/7"), "Wohnzimmer", 1.0, "°C", 5});
        recorder.set_logger_groups(groups);
        recorder.set_record_pages(record_pages);
        // The tree says 3/0/7 is a 2-byte float; the telegram's own type is ignored then.
        KV_Addr_Tree tree;
        KV_Addr_Db room;
        room.m_addr_write = ga("3/0/7");
        room.m_data_typ = 5;
        tree.add_address(room);
        KV_Addr_Tgm tgm = telegram(address.toLatin1().constData(), command, 5, 21.5);
        if (address == "3/0/7")
            tgm.data_type = 9; // the tree's type wins

        QCOMPARE(recorder.on_telegram(tgm, tree, shown_on_page, T0 + 1000), recorded);
        store.flush();
        CKV_History_Reader reader;
        QVERIFY(reader.open(path));
        const auto rows = reader.rows(ga(address.toLatin1().constData()), T0, T0 + KV_HOUR_MS, KV_History_Level::Raw);
        QCOMPARE(rows.size(), size_t(recorded ? 1 : 0));
        QCOMPARE(recorder.latest(ga(address.toLatin1().constData())).has_value(), recorded);
        if (recorded) {
            QCOMPARE(rows[0].t_first, T0 + 1000);
            QCOMPARE(rows[0].vmin, 21.5);
        }
    }

    void thinning_keeps_minimum_and_maximum()
    {
        // Ten days of a value every 10 s: a sawtooth 0..99 with one spike each
        // way on day 2 and day 9.
        const std::string path = fresh_path();
        KV_History_Limits limits; // raw 7 days
        limits.minute_days = 5;   // then minutes, then only hours
        CKV_History_Store store(limits);
        QVERIFY(open_at(store, path, T0));
        const KV_Group_Address a = ga("4/0/1");
        const int64_t spike_old = T0 + 1 * KV_DAY_MS + 7 * KV_HOUR_MS + 30'000;
        const int64_t spike_new = T0 + 8 * KV_DAY_MS + 3 * KV_HOUR_MS + 10'000;
        int64_t samples = 0;
        for (int64_t t = T0; t < T0 + 10 * KV_DAY_MS; t += 10'000, ++samples)
            store.add(a, t, t == spike_old || t == spike_new ? (t == spike_old ? -40.0 : 250.0) : double(samples % 100));
        const int64_t now = T0 + 10 * KV_DAY_MS;
        store.thin(now);
        store.flush();

        // Raw values older than 7 days are gone, minutes older than 5 days too.
        QCOMPARE(count(path, "SELECT count(*) FROM raw"), samples - 3 * KV_DAY_MS / 10'000);
        QCOMPARE(count(path, "SELECT min(t) FROM minute"), (now - 5 * KV_DAY_MS) / KV_HOUR_MS * KV_HOUR_MS);
        QCOMPARE(count(path, "SELECT sum(n) FROM hour"), samples);

        CKV_History_Reader reader;
        QVERIFY(reader.open(path));
        struct Case {
            const char* what;
            int64_t t0, t1;
            KV_History_Level finest;
            double low, high;
            int64_t n;
        };
        const Case cases[] = {
            {"day 2 from hours", T0 + KV_DAY_MS, T0 + 2 * KV_DAY_MS, KV_History_Level::Raw, -40, 99, KV_DAY_MS / 10'000},
            {"day 9 from raw", T0 + 8 * KV_DAY_MS, T0 + 9 * KV_DAY_MS, KV_History_Level::Raw, 0, 250, KV_DAY_MS / 10'000},
            {"day 9 from minutes", T0 + 8 * KV_DAY_MS, T0 + 9 * KV_DAY_MS, KV_History_Level::Minute, 0, 250,
             KV_DAY_MS / 10'000},
            {"all ten days", T0, now, KV_History_Level::Raw, -40, 250, samples},
        };
        for (const Case& c : cases) {
            double low = INFINITY, high = -INFINITY;
            int64_t n = 0;
            for (const KV_History_Bucket& b : reader.rows(a, c.t0, c.t1, c.finest)) {
                low = std::min(low, b.vmin);
                high = std::max(high, b.vmax);
                n += b.n;
            }
            QVERIFY2(low == c.low && high == c.high && n == c.n,
                     qPrintable(QString("%1: %2..%3, %4 values").arg(c.what).arg(low).arg(high).arg(n)));
        }
    }

    void a_gap_is_a_gap()
    {
        const std::string path = fresh_path();
        const KV_Group_Address a = ga("5/0/3");
        {
            CKV_History_Store store;
            QVERIFY(open_at(store, path, T0));
            store.set_connected(true, T0);
            store.add(a, T0 + 60'000, 100);
            store.add(a, T0 + 120'000, 200);
            store.set_connected(false, T0 + 150'000); // link lost
            store.set_connected(true, T0 + 600'000);
            store.add(a, T0 + 660'000, 300);
            store.flush();
        } // and the program ends without a word: a gap until it runs again
        CKV_History_Store store;
        QVERIFY(open_at(store, path, T0 + 900'000));
        store.set_connected(true, T0 + 960'000);
        store.add(a, T0 + 1'000'000, 400);
        store.flush();

        CKV_History_Reader reader;
        QVERIFY(reader.open(path));
        const std::vector<KV_History_Gap> gaps = reader.gaps(T0, T0 + KV_HOUR_MS);
        QCOMPARE(gaps.size(), size_t(2));
        QCOMPARE(gaps[0].start, T0 + 150'000);
        QCOMPARE(gaps[0].end, T0 + 600'000);
        QCOMPARE(gaps[1].start, T0 + 660'001); // just after the last value written
        QCOMPARE(gaps[1].end, T0 + 960'000);

        const auto runs = kv_history_runs(reader.read(a, T0, T0 + KV_HOUR_MS, 1000), std::nullopt, gaps, T0,
                                          T0 + 1'200'000);
        // Each run holds its last value until the link went; the last one until the end.
        const std::vector<KV_History_Run> expected = {
            {{T0 + 60'000, 100}, {T0 + 120'000, 200}, {T0 + 150'000, 200}},
            {{T0 + 660'000, 300}, {T0 + 660'001, 300}},
            {{T0 + 1'000'000, 400}, {T0 + 1'200'000, 400}},
        };
        QCOMPARE(runs, expected);
        // A value from before the range starts the line only when no gap lies between.
        const auto carried = kv_history_runs({}, reader.before(a, T0 + 130'000), gaps, T0 + 130'000, T0 + 140'000);
        QCOMPARE(carried, (std::vector<KV_History_Run>{{{T0 + 130'000, 200}, {T0 + 140'000, 200}}}));
        QVERIFY(kv_history_runs({}, reader.before(a, T0 + 700'000), gaps, T0 + 700'000, T0 + 800'000).empty());
    }

    void a_reading_has_two_points_per_bucket_and_keeps_spikes()
    {
        // A week of per-minute values with one short spike, read for 1000 columns.
        const std::string path = fresh_path();
        CKV_History_Store store;
        QVERIFY(open_at(store, path, T0));
        store.set_connected(true, T0);
        const KV_Group_Address a = ga("3/0/7");
        const int64_t spike = T0 + 3 * KV_DAY_MS + 17 * KV_MINUTE_MS;
        for (int64_t t = T0; t < T0 + 7 * KV_DAY_MS; t += KV_MINUTE_MS)
            store.add(a, t, t == spike ? 35.0 : 20.0 + std::sin(double(t) / 3.6e6));
        store.flush();
        CKV_History_Reader reader;
        QVERIFY(reader.open(path));
        const int columns = 1000;
        const int64_t bucket = 7 * KV_DAY_MS / columns;
        QCOMPARE(CKV_History_Reader::level_for(bucket), KV_History_Level::Minutes10);
        const auto buckets = reader.read(a, T0, T0 + 7 * KV_DAY_MS, bucket);
        QVERIFY(buckets.size() <= size_t(columns + 1));
        const auto runs = kv_history_runs(buckets, std::nullopt, {}, T0, T0 + 7 * KV_DAY_MS);
        QCOMPARE(runs.size(), size_t(1));
        QVERIFY(runs[0].size() <= size_t(2 * columns + 2));
        double high = 0;
        for (const auto& [t, v] : runs[0])
            high = std::max(high, v);
        QCOMPARE(high, 35.0);
        // A year reads hours.
        QCOMPARE(CKV_History_Reader::level_for(365 * KV_DAY_MS / columns), KV_History_Level::Hours6);
    }

    void a_kill_during_a_batch_loses_at_most_that_batch()
    {
        const std::string path = fresh_path();
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {"--write-history", QString::fromStdString(path)});
        QVERIFY(child.waitForStarted());
        int64_t acknowledged = 0;
        // Kill at a different moment of a batch each time: 5..40 ms after a commit.
        const int delay_ms = 5 + int(QRandomGenerator::global()->bounded(35));
        while (acknowledged < 100'000 && child.waitForReadyRead(10'000))
            while (child.canReadLine())
                acknowledged = std::max<int64_t>(acknowledged, child.readLine().trimmed().toLongLong());
        QVERIFY(acknowledged >= 100'000);
        QThread::msleep(delay_ms);
        while (child.canReadLine())
            acknowledged = std::max<int64_t>(acknowledged, child.readLine().trimmed().toLongLong());
        ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished());

        QCOMPARE(first_value(path, "PRAGMA integrity_check"), QByteArray("ok"));
        // Whole batches only: the values 0 .. n-1, nothing acknowledged missing,
        // and the sums agree with them.
        const int64_t n = count(path, "SELECT count(*) FROM raw");
        QVERIFY2(n >= acknowledged, qPrintable(QString("%1 of %2 acknowledged").arg(n).arg(acknowledged)));
        QCOMPARE(count(path, "SELECT max(v) FROM raw"), n - 1);
        QCOMPARE(count(path, "SELECT count(DISTINCT v) FROM raw"), n);
        for (const char* sql : {"SELECT sum(n) FROM minute", "SELECT sum(n) FROM minute10", "SELECT sum(n) FROM hour",
                                "SELECT sum(n) FROM hour6"})
            QVERIFY2(count(path, sql) == n, sql);
    }

    void levels_missing_from_an_older_file_are_filled()
    {
        // A file made before the ten-minute and six-hour levels gets them, the
        // same as the store writes them.
        const std::string path = fresh_path();
        const auto rows_of = [&path](int level) {
            const std::string sql = "SELECT group_concat(series||','||t||','||vmin||','||vmax||','||vsum||','||n, ';') FROM "
                                    "(SELECT * FROM " + std::string(level ? "hour6" : "minute10") + " ORDER BY series, t)";
            return first_value(path, sql.c_str());
        };
        {
            CKV_History_Store store;
            QVERIFY(open_at(store, path, T0));
            for (int64_t t = T0 - 5 * KV_HOUR_MS; t < T0 + 2 * KV_DAY_MS; t += 7 * KV_MINUTE_MS)
                store.add(ga(t / (7 * KV_MINUTE_MS) % 2 ? "1/2/3" : "1/2/4"), t, double(t / KV_MINUTE_MS % 53) - 20.5);
        }
        QByteArray written[2];
        for (int i = 0; i < 2; ++i) {
            written[i] = rows_of(i);
            QVERIFY(written[i].count(';') > 10);
        }
        QVERIFY(kv_test_exec(path, "DROP TABLE minute10; DROP TABLE hour6"));
        CKV_History_Store store;
        QVERIFY(open_at(store, path, T0 + 3 * KV_DAY_MS));
        store.close();
        for (int i = 0; i < 2; ++i)
            QCOMPARE(rows_of(i), written[i]);
    }
};

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--write-history") == 0)
        return write_until_killed(argv[2]);
    QCoreApplication app(argc, argv);
    TestKvHistory test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_kv_history.moc"
