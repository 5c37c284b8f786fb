#pragma once
// The data-logger view: the project's logger groups, and for the chosen
// group a chart of its curves over an hour, day, week, month or year, with
// the minimum, maximum and mean of the visible time, the values at the
// crosshair and the latest values live. It also keeps the history: values
// of the logger addresses are recorded as they arrive. Readings run on a
// thread of their own; the window only draws what comes back.

#include <QList>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "kv_history.h"
#include "kv_history_reader.h"
#include "kv_settings_devices.h"

class CKV_Gui_Value_Dispatch;
class CKV_History_Store;
class CKV_Logger_Chart;
class KV_Addr_Tree;
class KV_History_Recorder;
class KV_Job_Thread;
class QButtonGroup;
class QGridLayout;
class QLabel;
class QListWidget;
class QPushButton;
class QStackedWidget;
struct KV_Addr_Tgm;

// Settings of the history, scope "Logger" of the organisation's settings.
struct KV_Logger_Settings {
    KV_History_Limits limits;
    bool record_pages = false; // also every address a page shows
    static KV_Logger_Settings read();
};

class CKV_Logger_View : public QWidget {
    Q_OBJECT
public:
    enum Range { Range_Hour = 0, Range_Day, Range_Week, Range_Month, Range_Year };
    enum Page { Page_Groups = 0, Page_Chart = 1, Page_Denied = 2 };

    explicit CKV_Logger_View(QWidget* parent = nullptr);
    ~CKV_Logger_View() override;

    // Opens (or creates) the history file; false when it is none (then
    // nothing is recorded and the charts stay empty).
    bool open_history(const QString& path, const KV_Logger_Settings& settings);
    void close_history();
    // The history goes on at another place (the working directory changed):
    // a copy of the current one when none is there yet. The copy is made on
    // the reading thread; history_moved() tells when it is open again.
    void move_history(const QString& path);
    // The project's groups (copied: a download replaces the project).
    void set_logger_groups(const std::vector<std::unique_ptr<KV_Settings_Logger_Group>>& groups);
    // A received telegram, after it reached the tree and the pages.
    void record(const KV_Addr_Tgm& telegram, const KV_Addr_Tree& tree, const CKV_Gui_Value_Dispatch& pages);
    void set_connected(bool connected);
    // What the user may see: the groups, or a notice without the right.
    void show_for(bool allowed);
    void set_dark(bool dark);

    void open_group(int index);
    void set_range(Range range);
    // Visible time; the present is now() unless a test fixes it.
    void set_time_window(int64_t t0, int64_t t1);
    void set_clock(std::function<int64_t()> now) { m_now = std::move(now); }
    // Writes the visible time as CSV to the file the chooser names (a file
    // dialog unless a test sets another); done() tells how it went.
    void set_file_chooser(std::function<QString()> chooser) { m_choose_file = std::move(chooser); }
    void export_csv();

    int page() const;
    int group_count() const { return int(m_groups.size()); }
    int current_group() const { return m_group; }
    CKV_Logger_Chart* chart() const { return m_chart; }
    CKV_History_Store* store() const { return m_store.get(); }
    KV_History_Recorder* recorder() const { return m_recorder.get(); }
    // The text of one cell of the curve table (row = curve, column as the header).
    QString table_text(int curve, int column) const;
    // Waits for readings and writes started so far (tests, pictures, benchmark).
    void wait_idle();

    enum Column { Col_Name = 0, Col_Latest, Col_Cursor, Col_Min, Col_Max, Col_Mean, Col_Count };

signals:
    // A reading reached the chart.
    void chart_updated();
    void export_done(bool ok, QString path);
    void history_moved(bool ok);

private:
    struct Curve_Stats {
        double vmin = 0;
        double vmax = 0;
        double vsum = 0;
        int64_t n = 0;
    };
    struct Curve_Data {
        QList<QVector<QPointF>> runs;
        std::vector<KV_History_Bucket> buckets;
        Curve_Stats visible;
    };
    struct Reading {
        uint64_t serial = 0;
        int64_t t0 = 0;
        int64_t t1 = 0;
        std::vector<Curve_Data> curves;
    };

    QWidget* build_groups_page();
    QWidget* build_chart_page();
    void request_reading();
    Reading read(uint64_t serial, const std::vector<KV_Settings_Logger_Group::Curve>& curves, int64_t t0, int64_t t1,
                 int64_t bucket_ms, int64_t now_ms);
    void apply_reading(const Reading& reading);
    void fill_table();
    void update_latest();
    void update_cursor();
    void follow_present();
    int64_t now() const;
    const KV_Settings_Logger_Group* group() const;
    QString format_value(int curve, double value) const;

    std::unique_ptr<CKV_History_Store> m_store;
    std::unique_ptr<KV_History_Recorder> m_recorder;
    std::unique_ptr<CKV_History_Reader> m_reader;
    std::unique_ptr<KV_Job_Thread> m_jobs; // reads with m_reader
    std::vector<KV_Settings_Logger_Group> m_groups;
    int m_group = -1;
    Range m_range = Range_Day;
    uint64_t m_serial = 0;
    Reading m_shown;
    std::function<int64_t()> m_now;
    KV_Logger_Settings m_settings;
    bool m_connected = false;
    std::function<QString()> m_choose_file;

    QStackedWidget* m_pages = nullptr;
    QListWidget* m_list = nullptr;
    QLabel* m_title = nullptr;
    QButtonGroup* m_range_buttons = nullptr;
    CKV_Logger_Chart* m_chart = nullptr;
    QGridLayout* m_table = nullptr;
    QList<QList<QLabel*>> m_cells;
    QLabel* m_status = nullptr;
    QTimer m_live_timer;
    QTimer m_read_delay;
    int64_t m_last_follow = 0;
};
