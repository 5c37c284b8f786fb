#include "kv_logger_view.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QSaveFile>
#include <QScroller>
#include <QSettings>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <filesystem>

#include "kv_app_version.h"
#include "kv_gui_value_dispatch.h"
#include "kv_history_csv.h"
#include "kv_history_recorder.h"
#include "kv_history_store.h"
#include "kv_job_thread.h"
#include "kv_logger_chart.h"

namespace {
// Readings replace each other; exports do not.
constexpr int JOB_READING = 1;
constexpr int JOB_EXPORT = 0;
// While the right edge shows the present, the chart moves along this often.
constexpr int64_t FOLLOW_INTERVAL_MS = 5000;

const int64_t RANGE_SPANS[] = {KV_HOUR_MS, KV_DAY_MS, 7 * KV_DAY_MS, 30 * KV_DAY_MS, 365 * KV_DAY_MS};
const char* const RANGE_TEXTS[] = {"Stunde", "Tag", "Woche", "Monat", "Jahr"};
const char* const COLUMN_TEXTS[] = {"Kurve", "Aktuell", "Fadenkreuz", "Minimum", "Maximum", "Mittelwert"};

int64_t wall_clock_ms() { return QDateTime::currentMSecsSinceEpoch(); }

KV_Group_Address curve_address(const KV_Settings_Logger_Group::Curve& curve) { return curve.m_addr; }

bool is_switch(const KV_Settings_Logger_Group::Curve& curve) { return curve.m_addr_typ == 1; }
} // namespace

KV_Logger_Settings KV_Logger_Settings::read()
{
    QSettings store(QLatin1String(KV_SETTINGS_ORGANISATION), QStringLiteral("Logger"));
    KV_Logger_Settings s;
    s.limits.raw_days = std::max(0, store.value(QStringLiteral("m_raw_days"), s.limits.raw_days).toInt());
    s.limits.minute_days = std::max(0, store.value(QStringLiteral("m_minute_days"), s.limits.minute_days).toInt());
    s.limits.hour_days = std::max(0, store.value(QStringLiteral("m_hour_days"), s.limits.hour_days).toInt());
    s.record_pages = store.value(QStringLiteral("m_record_pages"), false).toBool();
    return s;
}

CKV_Logger_View::CKV_Logger_View(QWidget* parent)
    : QWidget(parent)
    , m_reader(std::make_unique<CKV_History_Reader>())
    , m_jobs(std::make_unique<KV_Job_Thread>())
{
    setObjectName(QStringLiteral("m_logger_view"));
    m_pages = new QStackedWidget;
    m_pages->addWidget(build_groups_page());
    m_pages->addWidget(build_chart_page());
    auto* denied = new QLabel(QStringLiteral("Keine Berechtigung für den Datenlogger"));
    denied->setObjectName(QStringLiteral("m_label_logger"));
    denied->setAlignment(Qt::AlignCenter);
    m_pages->addWidget(denied);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pages);

    m_live_timer.setInterval(1000);
    connect(&m_live_timer, &QTimer::timeout, this, [this] {
        update_latest();
        follow_present();
    });
    m_live_timer.start();
    // A drag asks for a reading once it pauses, not at every step.
    m_read_delay.setSingleShot(true);
    m_read_delay.setInterval(80);
    connect(&m_read_delay, &QTimer::timeout, this, &CKV_Logger_View::request_reading);
}

CKV_Logger_View::~CKV_Logger_View()
{
    m_jobs.reset(); // the reader's thread ends before the reader
    close_history();
}

QWidget* CKV_Logger_View::build_groups_page()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* title = new QLabel(QStringLiteral("Datenlogger"));
    title->setObjectName(QStringLiteral("m_label_logger_title"));
    m_list = new QListWidget;
    m_list->setObjectName(QStringLiteral("m_list_logger_groups"));
    m_list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    QScroller::grabGesture(m_list->viewport(), QScroller::TouchGesture);
    connect(m_list, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { open_group(m_list->row(item)); });
    layout->addWidget(title);
    layout->addWidget(m_list, 1);
    return page;
}

QWidget* CKV_Logger_View::build_chart_page()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* bar = new QHBoxLayout;
    auto* back = new QPushButton(QStringLiteral("Gruppen"));
    back->setObjectName(QStringLiteral("m_btn_logger_groups"));
    connect(back, &QPushButton::clicked, this, [this] { m_pages->setCurrentIndex(Page_Groups); });
    m_title = new QLabel;
    m_title->setObjectName(QStringLiteral("m_label_logger_group"));
    bar->addWidget(back);
    bar->addWidget(m_title, 1);
    m_range_buttons = new QButtonGroup(this);
    for (int r = Range_Hour; r <= Range_Year; ++r) {
        auto* button = new QPushButton(QLatin1String(RANGE_TEXTS[r]));
        button->setObjectName(QStringLiteral("m_btn_range_%1").arg(r));
        button->setCheckable(true);
        m_range_buttons->addButton(button, r);
        bar->addWidget(button);
    }
    connect(m_range_buttons, &QButtonGroup::idClicked, this, [this](int r) { set_range(Range(r)); });
    auto* export_button = new QPushButton(QStringLiteral("CSV-Export"));
    export_button->setObjectName(QStringLiteral("m_btn_logger_export"));
    connect(export_button, &QPushButton::clicked, this, &CKV_Logger_View::export_csv);
    bar->addWidget(export_button);
    layout->addLayout(bar);

    m_chart = new CKV_Logger_Chart;
    m_chart->setMinimumHeight(200);
    connect(m_chart, &CKV_Logger_Chart::range_changed, this, [this] {
        m_range_buttons->setExclusive(false);
        for (QAbstractButton* b : m_range_buttons->buttons())
            b->setChecked(false);
        m_range_buttons->setExclusive(true);
        m_read_delay.start();
    });
    connect(m_chart, &CKV_Logger_Chart::crosshair_moved, this, &CKV_Logger_View::update_cursor);
    layout->addWidget(m_chart, 1);

    auto* table = new QWidget;
    table->setObjectName(QStringLiteral("m_logger_table"));
    m_table = new QGridLayout(table);
    layout->addWidget(table);
    m_status = new QLabel;
    m_status->setObjectName(QStringLiteral("m_label_logger_status"));
    layout->addWidget(m_status);
    return page;
}

bool CKV_Logger_View::open_history(const QString& path, const KV_Logger_Settings& settings)
{
    close_history();
    m_settings = settings;
    m_store = std::make_unique<CKV_History_Store>(settings.limits);
    if (!m_store->open(path.toStdString(), wall_clock_ms())) {
        m_store.reset();
        return false;
    }
    if (m_connected)
        m_store->set_connected(true, now());
    m_recorder = std::make_unique<KV_History_Recorder>(*m_store);
    m_recorder->set_record_pages(settings.record_pages);
    m_recorder->set_logger_groups(m_groups);
    const std::string file = path.toStdString();
    m_jobs->post(JOB_EXPORT, [this, file] { m_reader->open(file); });
    request_reading();
    return true;
}

void CKV_Logger_View::move_history(const QString& path)
{
    const std::string from = m_store ? m_store->path() : std::string();
    const std::string to = path.toStdString();
    if (from == to)
        return;
    close_history(); // the last batch written: the file is whole
    m_jobs->post(JOB_EXPORT, [this, from, to, path] {
        if (!from.empty() && !std::filesystem::exists(to))
            CKV_History_Store::copy_file(from, to);
        QMetaObject::invokeMethod(this, [this, path] { emit history_moved(open_history(path, m_settings)); },
                                  Qt::QueuedConnection);
    });
}

void CKV_Logger_View::close_history()
{
    if (m_jobs)
        m_jobs->post(JOB_EXPORT, [this] { m_reader->close(); });
    if (m_jobs)
        m_jobs->wait_idle();
    else
        m_reader->close();
    m_recorder.reset();
    if (m_store)
        m_store->close();
    m_store.reset();
}

void CKV_Logger_View::set_logger_groups(const std::vector<std::unique_ptr<KV_Settings_Logger_Group>>& groups)
{
    m_groups.clear();
    m_list->clear();
    for (const auto& g : groups) {
        m_groups.push_back(*g);
        m_list->addItem(QStringLiteral("%1 (%2 Kurven)")
                            .arg(QString::fromStdString(g->m_str_name))
                            .arg(g->m_list_curve.size()));
    }
    if (m_recorder)
        m_recorder->set_logger_groups(m_groups);
    if (m_group >= group_count()) {
        m_group = -1;
        m_pages->setCurrentIndex(Page_Groups);
    } else if (m_group >= 0) {
        open_group(m_group);
    }
}

void CKV_Logger_View::record(const KV_Addr_Tgm& telegram, const KV_Addr_Tree& tree,
                             const CKV_Gui_Value_Dispatch& pages)
{
    if (!m_recorder)
        return;
    const KV_Group_Address dest{telegram.dest_address[0], telegram.dest_address[1], telegram.dest_address[2]};
    const bool shown = m_recorder->records_pages() && pages.subscriber_count(dest) > 0;
    m_recorder->on_telegram(telegram, tree, shown, now());
}

void CKV_Logger_View::set_connected(bool connected)
{
    m_connected = connected;
    if (m_store)
        m_store->set_connected(connected, now());
}

void CKV_Logger_View::show_for(bool allowed)
{
    if (!allowed)
        m_pages->setCurrentIndex(Page_Denied);
    else if (m_pages->currentIndex() == Page_Denied || m_group < 0)
        m_pages->setCurrentIndex(m_group >= 0 ? Page_Chart : Page_Groups);
    if (allowed && m_group >= 0)
        follow_present();
}

void CKV_Logger_View::set_dark(bool dark) { m_chart->set_dark(dark); }

int CKV_Logger_View::page() const { return m_pages->currentIndex(); }

int64_t CKV_Logger_View::now() const { return m_now ? m_now() : wall_clock_ms(); }

const KV_Settings_Logger_Group* CKV_Logger_View::group() const
{
    return m_group >= 0 && m_group < group_count() ? &m_groups[size_t(m_group)] : nullptr;
}

void CKV_Logger_View::open_group(int index)
{
    if (index < 0 || index >= group_count())
        return;
    m_group = index;
    const KV_Settings_Logger_Group& g = m_groups[size_t(index)];
    m_title->setText(QString::fromStdString(g.m_str_name));
    QList<CKV_Logger_Chart::Curve> curves;
    for (const auto& c : g.m_list_curve)
        curves.append({QString::fromStdString(c.m_str_alias), is_switch(c)});
    m_chart->set_curves(curves);
    m_shown = Reading();
    fill_table();
    m_pages->setCurrentIndex(Page_Chart);
    set_range(m_range);
}

void CKV_Logger_View::set_range(Range range)
{
    m_range = range;
    m_chart->clear_data(); // the old curves at the new scale would only cost
    if (QAbstractButton* button = m_range_buttons->button(range))
        button->setChecked(true);
    const int64_t end = now();
    set_time_window(end - RANGE_SPANS[range], end);
}

void CKV_Logger_View::set_time_window(int64_t t0, int64_t t1)
{
    m_chart->set_range(t0, t1);
    m_last_follow = now();
    request_reading();
}

void CKV_Logger_View::follow_present()
{
    const int64_t t = now();
    const int64_t span = m_chart->range_end() - m_chart->range_start();
    if (!isVisible() || !group() || t - m_last_follow < FOLLOW_INTERVAL_MS || m_read_delay.isActive())
        return;
    // Only while the right edge shows the present; a look back stays put.
    if (std::llabs(m_chart->range_end() - t) > span / 20 + FOLLOW_INTERVAL_MS * 2)
        return;
    set_time_window(t - span, t);
}

void CKV_Logger_View::request_reading()
{
    const KV_Settings_Logger_Group* g = group();
    if (!g)
        return;
    const uint64_t serial = ++m_serial;
    const int64_t t0 = m_chart->range_start();
    const int64_t t1 = m_chart->range_end();
    // One bucket per pixel column (two points each).
    const int64_t bucket = std::max<int64_t>(1, (t1 - t0) / m_chart->plot_width());
    const int64_t t = now();
    m_jobs->post(JOB_READING, [this, serial, curves = g->m_list_curve, t0, t1, bucket, t] {
        Reading reading = read(serial, curves, t0, t1, bucket, t);
        QMetaObject::invokeMethod(this, [this, reading = std::move(reading)] { apply_reading(reading); },
                                  Qt::QueuedConnection);
    });
}

// Runs on the reading thread: touches only the reader and its arguments.
CKV_Logger_View::Reading CKV_Logger_View::read(uint64_t serial, const std::vector<KV_Settings_Logger_Group::Curve>& curves,
                                               int64_t t0, int64_t t1, int64_t bucket_ms, int64_t now_ms)
{
    Reading reading;
    reading.serial = serial;
    reading.t0 = t0;
    reading.t1 = t1;
    // A quarter screen either side, so that a drag shows curves before the next reading arrives.
    const int64_t margin = (t1 - t0) / 4;
    const int64_t q0 = t0 - margin;
    const int64_t q1 = t1 + margin;
    for (const KV_Settings_Logger_Group::Curve& curve : curves) {
        Curve_Data data;
        const KV_Group_Address address = curve_address(curve);
        data.buckets = m_reader->read(address, q0, q1, bucket_ms);
        const std::optional<KV_History_Bucket> before = m_reader->before(address, q0);
        const std::vector<KV_History_Gap> gaps = m_reader->gaps(before ? std::min(before->t_last, q0) : q0, q1);
        for (const KV_History_Run& run : kv_history_runs(data.buckets, before, gaps, q0, std::min(q1, now_ms))) {
            QVector<QPointF> points;
            points.reserve(qsizetype(run.size()));
            for (const auto& [t, v] : run)
                points.append(QPointF(double(t), v * curve.m_factor));
            data.runs.append(std::move(points));
        }
        for (const KV_History_Bucket& b : data.buckets) {
            if (b.t_first < t0 || b.t_first >= t1)
                continue;
            Curve_Stats& s = data.visible;
            s.vmin = s.n ? std::min(s.vmin, b.vmin) : b.vmin;
            s.vmax = s.n ? std::max(s.vmax, b.vmax) : b.vmax;
            s.vsum += b.vsum;
            s.n += b.n;
        }
        reading.curves.push_back(std::move(data));
    }
    return reading;
}

void CKV_Logger_View::apply_reading(const Reading& reading)
{
    if (reading.serial < m_shown.serial || reading.curves.size() != (group() ? group()->m_list_curve.size() : 0))
        return;
    m_shown = reading;
    double low = INFINITY;
    double high = -INFINITY;
    QList<CKV_Logger_Chart::Runs> curves;
    for (const Curve_Data& data : reading.curves) {
        curves.append(data.runs);
        for (const QVector<QPointF>& run : data.runs)
            for (const QPointF& p : run)
                if (p.x() >= reading.t0 && p.x() <= reading.t1) {
                    low = std::min(low, p.y());
                    high = std::max(high, p.y());
                }
    }
    m_chart->set_data(curves, low, high);
    fill_table();
    emit chart_updated();
}

QString CKV_Logger_View::format_value(int curve, double value) const
{
    const KV_Settings_Logger_Group* g = group();
    if (!g || curve < 0 || size_t(curve) >= g->m_list_curve.size() || !std::isfinite(value))
        return QStringLiteral("–");
    const KV_Settings_Logger_Group::Curve& c = g->m_list_curve[size_t(curve)];
    if (is_switch(c))
        return value >= 0.5 ? QStringLiteral("Ein") : QStringLiteral("Aus");
    const QString number = QLocale(QLocale::German).toString(value, 'f', std::abs(value) >= 100 ? 0 : 1);
    return c.m_unit.empty() ? number : number + QLatin1Char(' ') + QString::fromStdString(c.m_unit);
}

void CKV_Logger_View::fill_table()
{
    const KV_Settings_Logger_Group* g = group();
    const int count = g ? int(g->m_list_curve.size()) : 0;
    if (m_cells.size() != count + 1) {
        for (const QList<QLabel*>& row : std::as_const(m_cells))
            qDeleteAll(row);
        m_cells.clear();
        for (int r = 0; r <= count; ++r) {
            QList<QLabel*> row;
            for (int c = 0; c < Col_Count; ++c) {
                auto* label = new QLabel(r == 0 ? QLatin1String(COLUMN_TEXTS[c]) : QString());
                label->setObjectName(QStringLiteral("m_label_logger_%1_%2").arg(r).arg(c));
                label->setAlignment(c == Col_Name ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignRight | Qt::AlignVCenter);
                m_table->addWidget(label, r, c);
                row.append(label);
            }
            m_cells.append(row);
        }
    }
    for (int curve = 0; curve < count; ++curve) {
        const KV_Settings_Logger_Group::Curve& c = g->m_list_curve[size_t(curve)];
        QList<QLabel*>& row = m_cells[curve + 1];
        row[Col_Name]->setText(QStringLiteral("<span style=\"color:%1\">&#9632;</span> %2")
                                   .arg(m_chart->curve_color(curve).name(),
                                        QString::fromStdString(c.m_str_alias).toHtmlEscaped()));
        const bool have = size_t(curve) < m_shown.curves.size() && m_shown.curves[size_t(curve)].visible.n > 0;
        if (!have) {
            for (int col : {Col_Min, Col_Max, Col_Mean})
                row[col]->setText(QStringLiteral("–"));
            continue;
        }
        const Curve_Stats& s = m_shown.curves[size_t(curve)].visible;
        // A negative factor turns minimum and maximum round.
        const auto [low, high] = std::minmax({s.vmin * c.m_factor, s.vmax * c.m_factor});
        const double mean = s.vsum / double(s.n) * c.m_factor;
        row[Col_Min]->setText(format_value(curve, low));
        row[Col_Max]->setText(format_value(curve, high));
        row[Col_Mean]->setText(is_switch(c) ? QLocale(QLocale::German).toString(mean, 'f', 2) : format_value(curve, mean));
    }
    update_latest();
    update_cursor();
}

void CKV_Logger_View::update_latest()
{
    const KV_Settings_Logger_Group* g = group();
    if (!g || !m_recorder || m_cells.size() != int(g->m_list_curve.size()) + 1)
        return;
    for (size_t c = 0; c < g->m_list_curve.size(); ++c) {
        const auto latest = m_recorder->latest(curve_address(g->m_list_curve[c]));
        m_cells[int(c) + 1][Col_Latest]->setText(
            latest ? format_value(int(c), latest->value * g->m_list_curve[c].m_factor) : QStringLiteral("–"));
    }
}

void CKV_Logger_View::update_cursor()
{
    const KV_Settings_Logger_Group* g = group();
    if (!g || m_cells.size() != int(g->m_list_curve.size()) + 1)
        return;
    const bool shown = m_chart->has_crosshair();
    const int64_t t = m_chart->crosshair_time();
    m_cells[0][Col_Cursor]->setText(shown ? QDateTime::fromMSecsSinceEpoch(t).toString(QStringLiteral("dd.MM. HH:mm"))
                                          : QLatin1String(COLUMN_TEXTS[Col_Cursor]));
    for (size_t c = 0; c < g->m_list_curve.size(); ++c) {
        // The value that held at t: the last point before it in the run around it.
        double value = NAN;
        if (shown && c < m_shown.curves.size())
            for (const QVector<QPointF>& run : m_shown.curves[c].runs)
                if (!run.isEmpty() && run.first().x() <= double(t) && double(t) <= run.last().x())
                    for (const QPointF& p : run)
                        if (p.x() <= double(t))
                            value = p.y();
        m_cells[int(c) + 1][Col_Cursor]->setText(shown ? format_value(int(c), value) : QString());
    }
}

QString CKV_Logger_View::table_text(int curve, int column) const
{
    if (curve + 1 >= m_cells.size() || column < 0 || column >= Col_Count)
        return {};
    return m_cells[curve + 1][column]->text();
}

void CKV_Logger_View::export_csv()
{
    const KV_Settings_Logger_Group* g = group();
    if (!g)
        return;
    const QString name = QString::fromStdString(g->m_str_name);
    const QString path = m_choose_file ? m_choose_file()
                                       : QFileDialog::getSaveFileName(this, QStringLiteral("CSV-Export"),
                                                                      QDir::home().filePath(name + ".csv"),
                                                                      QStringLiteral("CSV (*.csv)"));
    if (path.isEmpty())
        return;
    const int64_t t0 = m_chart->range_start();
    const int64_t t1 = m_chart->range_end();
    // The rows at the level the chart shows: raw values for an hour, ten minutes for a week.
    const KV_History_Level level = CKV_History_Reader::level_for((t1 - t0) / m_chart->plot_width());
    m_status->setText(QStringLiteral("Export läuft …"));
    m_jobs->post(JOB_EXPORT, [this, curves = g->m_list_curve, t0, t1, level, path] {
        std::vector<KV_History_Csv_Curve> table;
        for (const KV_Settings_Logger_Group::Curve& c : curves)
            table.push_back({c.m_str_alias, c.m_unit, c.m_factor, m_reader->rows(curve_address(c), t0, t1, level)});
        const std::string text = kv_history_csv(table);
        QSaveFile file(path);
        const bool ok = file.open(QIODevice::WriteOnly) &&
                        file.write(text.data(), qint64(text.size())) == qint64(text.size()) && file.commit();
        QMetaObject::invokeMethod(this, [this, ok, path] {
            m_status->setText(ok ? QStringLiteral("Exportiert nach %1").arg(path)
                                 : QStringLiteral("Export nach %1 fehlgeschlagen").arg(path));
            emit export_done(ok, path);
        }, Qt::QueuedConnection);
    });
}

void CKV_Logger_View::wait_idle()
{
    if (m_store)
        m_store->flush();
    m_jobs->wait_idle();
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}
