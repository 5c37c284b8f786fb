// The data-logger view over a history of 400 days: what each time range
// shows, the CSV of the visible time, dragging, pinching and tapping by
// touch, and who may open the view.

#include <QFile>
#include <QLineSeries>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "kv_dlg_settings.h"
#include "kv_history_reader.h"
#include "kv_history_store.h"
#include "kv_logger_chart.h"
#include "kv_logger_view.h"
#include "kv_studio_main_app.h"
#include "kv_test_main_project.h"
#include "kv_test_settings_home.h"

namespace {
constexpr int64_t STEP = 10 * KV_MINUTE_MS;

// Room temperature in tenths of a degree: 20.0 all the time but for one
// spike in each range, so that every range has its own minimum and maximum.
struct Spike {
    int64_t ago;
    double tenths;
};
const Spike SPIKES[] = {{30 * KV_MINUTE_MS, 300}, {12 * KV_HOUR_MS, 100},     {3 * KV_DAY_MS, 400},
                        {20 * KV_DAY_MS, 50},     {200 * KV_DAY_MS, 500},     {390 * KV_DAY_MS, 0}};

double room_tenths(int64_t now, int64_t t)
{
    for (const Spike& s : SPIKES)
        if (t == now - s.ago)
            return s.tenths;
    return 200;
}

// A light switched every twenty minutes.
double light(int64_t t) { return double((t / (20 * KV_MINUTE_MS)) % 2); }

std::vector<std::unique_ptr<KV_Settings_Logger_Group>> groups()
{
    std::vector<std::unique_ptr<KV_Settings_Logger_Group>> list;
    list.push_back(std::make_unique<KV_Settings_Logger_Group>());
    list.back()->m_str_name = "Wohnen";
    list.back()->m_list_curve.push_back({address_from_text("3/0/7"), "Wohnzimmer", 0.1, "°C", 5});
    list.back()->m_list_curve.push_back({address_from_text("1/0/1"), "Decke", 1.0, "", 1});
    return list;
}
} // namespace

class tst_logger_view : public QObject {
    Q_OBJECT

    KV_Test_Settings_Home m_home;
    QTemporaryDir m_dir;
    int64_t m_now = 0;
    QString m_history;
    std::unique_ptr<CKV_Logger_View> m_view;

    QString working_dir() const { return m_dir.path() + QStringLiteral("/"); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid() && m_dir.isValid());
        m_now = QDateTime::currentMSecsSinceEpoch() / STEP * STEP;
        m_history = m_dir.filePath("history.db");
        KV_History_Limits limits;
        limits.minute_days = 400;
        CKV_History_Store store(limits);
        QVERIFY(store.open(m_history.toStdString(), m_now - 400 * KV_DAY_MS));
        store.set_connected(true, m_now - 400 * KV_DAY_MS);
        for (int64_t t = m_now - 400 * KV_DAY_MS; t <= m_now; t += STEP) {
            store.add(address_from_text("3/0/7"), t, room_tenths(m_now, t));
            store.add(address_from_text("1/0/1"), t, light(t));
        }
        store.thin(m_now);
        store.close();

        m_view = std::make_unique<CKV_Logger_View>();
        m_view->set_clock([this] { return m_now; });
        m_view->resize(1000, 700);
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
        QVERIFY(m_view->open_history(m_history, KV_Logger_Settings::read()));
        m_view->set_logger_groups(groups());
        m_view->open_group(0);
        QCOMPARE(m_view->page(), int(CKV_Logger_View::Page_Chart));
    }

    void cleanupTestCase() { m_view.reset(); }

    void ranges_show_their_rows_data()
    {
        QTest::addColumn<int>("range");
        QTest::addColumn<qint64>("span");
        QTest::addColumn<QString>("low");
        QTest::addColumn<QString>("high");
        QTest::newRow("hour") << int(CKV_Logger_View::Range_Hour) << qint64(KV_HOUR_MS) << "20,0 °C" << "30,0 °C";
        QTest::newRow("day") << int(CKV_Logger_View::Range_Day) << qint64(KV_DAY_MS) << "10,0 °C" << "30,0 °C";
        QTest::newRow("week") << int(CKV_Logger_View::Range_Week) << qint64(7 * KV_DAY_MS) << "10,0 °C" << "40,0 °C";
        QTest::newRow("month") << int(CKV_Logger_View::Range_Month) << qint64(30 * KV_DAY_MS) << "5,0 °C" << "40,0 °C";
        QTest::newRow("year") << int(CKV_Logger_View::Range_Year) << qint64(365 * KV_DAY_MS) << "5,0 °C" << "50,0 °C";
    }

    void ranges_show_their_rows()
    {
        QFETCH(int, range);
        QFETCH(qint64, span);
        QFETCH(QString, low);
        QFETCH(QString, high);
        m_view->set_range(CKV_Logger_View::Range(range));
        m_view->wait_idle();
        CKV_Logger_Chart* chart = m_view->chart();
        QCOMPARE(chart->range_end(), m_now);
        QCOMPARE(chart->range_end() - chart->range_start(), span);
        QCOMPARE(m_view->table_text(0, CKV_Logger_View::Col_Min), low);
        QCOMPARE(m_view->table_text(0, CKV_Logger_View::Col_Max), high);
        QCOMPARE(m_view->table_text(1, CKV_Logger_View::Col_Min), QStringLiteral("Aus"));
        QCOMPARE(m_view->table_text(1, CKV_Logger_View::Col_Max), QStringLiteral("Ein"));
        // At most two points per pixel column, over the visible time and a quarter of it either side.
        const int columns = chart->plot_width();
        QVERIFY2(chart->drawn_points(0) <= 3 * columns + 8, qPrintable(QString::number(chart->drawn_points(0))));
        QVERIFY(chart->drawn_points(0) > 0);
        // The light switches: every segment is level or upright.
        const auto series = chart->chart()->series();
        for (QAbstractSeries* s : series) {
            auto* line = static_cast<QLineSeries*>(s);
            if (line->name() != QStringLiteral("Decke"))
                continue;
            const QList<QPointF> points = line->points();
            for (qsizetype i = 1; i < points.size(); ++i)
                QVERIFY(points[i].x() == points[i - 1].x() || points[i].y() == points[i - 1].y());
        }
    }

    void csv_export_holds_the_visible_rows()
    {
        m_view->set_time_window(m_now - KV_DAY_MS, m_now);
        m_view->wait_idle();
        const QString path = m_dir.filePath("export.csv");
        m_view->set_file_chooser([&] { return path; });
        QSignalSpy done(m_view.get(), &CKV_Logger_View::export_done);
        m_view->export_csv();
        m_view->wait_idle();
        QCOMPARE(done.size(), 1);
        QVERIFY(done[0][0].toBool());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(file.readAll()).split("\r\n", Qt::SkipEmptyParts);
        QCOMPARE(lines.first(), QStringLiteral("Zeit;Kurve;Wert;Minimum;Maximum;Einheit"));
        // A day at a minute per row: every stored value of both curves in [t0, t1).
        const int per_curve = int(KV_DAY_MS / STEP);
        QCOMPARE(lines.size() - 1, 2 * per_curve);
        const QString first = QDateTime::fromMSecsSinceEpoch(m_now - KV_DAY_MS).toString("yyyy-MM-dd HH:mm:ss");
        QVERIFY(lines[1].startsWith(first));
        const QString spike = QDateTime::fromMSecsSinceEpoch(m_now - 30 * KV_MINUTE_MS).toString("yyyy-MM-dd HH:mm:ss");
        QVERIFY(lines.contains(spike + ";Wohnzimmer;30;30;30;°C"));
        QCOMPARE(lines.filter(";Decke;").size(), per_curve);
    }

    void touch_drags_pinches_and_taps()
    {
        m_view->set_time_window(m_now - KV_DAY_MS, m_now);
        m_view->wait_idle();
        CKV_Logger_Chart* chart = m_view->chart();
        QWidget* viewport = chart->viewport();
        QPointingDevice* screen = QTest::createTouchDevice();
        const QRectF plot = chart->chart()->plotArea();
        const QPoint middle = plot.center().toPoint();

        // One finger to the right: back in time by what the pixels are worth.
        const int64_t per_pixel = KV_DAY_MS / chart->plot_width();
        QTest::touchEvent(viewport, screen).press(0, middle, viewport);
        for (int dx = 20; dx <= 200; dx += 20)
            QTest::touchEvent(viewport, screen).move(0, middle + QPoint(dx, 0), viewport);
        QTest::touchEvent(viewport, screen).release(0, middle + QPoint(200, 0), viewport);
        QVERIFY(std::llabs(chart->range_end() - (m_now - 200 * per_pixel)) <= 2 * per_pixel);
        QCOMPARE(chart->range_end() - chart->range_start(), KV_DAY_MS);
        m_view->wait_idle();
        QTRY_VERIFY(!m_view->table_text(0, CKV_Logger_View::Col_Max).isEmpty());

        // Two fingers apart: a shorter time.
        const QPoint a = middle - QPoint(60, 0);
        const QPoint b = middle + QPoint(60, 0);
        QTest::touchEvent(viewport, screen).press(0, a, viewport).press(1, b, viewport);
        for (int d = 10; d <= 120; d += 10)
            QTest::touchEvent(viewport, screen).move(0, a - QPoint(d, 0), viewport).move(1, b + QPoint(d, 0), viewport);
        QTest::touchEvent(viewport, screen).release(0, a - QPoint(120, 0), viewport).release(1, b + QPoint(120, 0), viewport);
        const int64_t pinched = chart->range_end() - chart->range_start();
        QVERIFY2(pinched < KV_DAY_MS * 2 / 3, qPrintable(QString::number(pinched)));

        // A tap puts the crosshair there, and the table shows the values then.
        m_view->set_time_window(m_now - KV_HOUR_MS, m_now);
        m_view->wait_idle();
        const QPoint tap = chart->chart()->plotArea().center().toPoint();
        QTest::touchEvent(viewport, screen).press(0, tap, viewport);
        QTest::touchEvent(viewport, screen).release(0, tap, viewport);
        QVERIFY(chart->has_crosshair());
        QVERIFY(std::llabs(chart->crosshair_time() - (m_now - KV_HOUR_MS / 2)) < KV_MINUTE_MS);
        QCOMPARE(m_view->table_text(0, CKV_Logger_View::Col_Cursor), QStringLiteral("20,0 °C"));
        QCOMPARE(m_view->table_text(1, CKV_Logger_View::Col_Cursor),
                 light(m_now - KV_HOUR_MS / 2 - STEP) > 0 ? QStringLiteral("Ein") : QStringLiteral("Aus"));
    }

    void a_user_without_the_right_does_not_get_the_view_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("root") << "root" << true;
        QTest::newRow("with the right") << "Familie" << true;
        QTest::newRow("without") << "Gast" << false;
        QTest::newRow("unknown") << "Fremd" << false;
    }

    void a_user_without_the_right_does_not_get_the_view()
    {
        QFETCH(QString, user);
        QFETCH(bool, allowed);
        KV_Test_Settings_Home::reset_common(working_dir());
        const QString project = working_dir() + "kv_app.kvp";
        QFile::remove(project);
        QVERIFY(write_test_project(project, "Haus", {}, {test_route("Panel", "127.0.0.1", user.toStdString())}));
        {
            CKV_Project_Db db;
            QVERIFY(db.load(project.toStdString()));
            db.m_settings_users.m_list_user = {{"Familie", "", true}, {"Gast", "", false}};
            db.m_logger_groups = groups();
            QVERIFY(db.save(false));
        }
        CKV_Studio_Main_App window;
        window.slot_logger();
        QCOMPARE(window.current_view(), int(CKV_Studio_Main_App::View_Logger));
        QCOMPARE(window.logger_view()->page(),
                 int(allowed ? CKV_Logger_View::Page_Groups : CKV_Logger_View::Page_Denied));
        QCOMPARE(window.logger_view()->group_count(), 1);
        QVERIFY(QFile::exists(working_dir() + KV_HISTORY_FILE));
    }

    void the_history_follows_the_working_directory()
    {
        KV_Test_Settings_Home::reset_common(working_dir());
        CKV_Studio_Main_App window;
        CKV_Logger_View* view = window.logger_view();
        QVERIFY(view->store());
        const KV_Group_Address a = address_from_text("3/0/7");
        view->store()->add(a, m_now - KV_MINUTE_MS, 215);
        QTemporaryDir moved;
        QSignalSpy done(view, &CKV_Logger_View::history_moved);
        window.settings().set_working_dir(moved.path() + "/");
        QVERIFY(done.wait());
        QVERIFY(done[0][0].toBool());
        const QString path = moved.filePath(KV_HISTORY_FILE);
        QCOMPARE(QString::fromStdString(view->store()->path()), path);
        view->store()->add(a, m_now, 216);
        view->store()->flush();
        // What was recorded before came along; what comes now goes there too.
        CKV_History_Reader reader;
        QVERIFY(reader.open(path.toStdString()));
        const auto rows = reader.rows(a, m_now - KV_HOUR_MS, m_now + 1, KV_History_Level::Raw);
        QCOMPARE(rows.size(), size_t(2));
        QCOMPARE(rows[0].vmin, 215.0);
        QCOMPARE(rows[1].vmin, 216.0);
        QVERIFY(QFile::exists(working_dir() + KV_HISTORY_FILE)); // never deleted
    }
};

QTEST_MAIN(tst_logger_view)
#include "tst_logger_view.moc"
