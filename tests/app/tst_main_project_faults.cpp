// The app main window against a controller simulator that serves broken or
// misdirected project files, and against a local file that cannot be
// written: the installation's routes and the last good project survive
// every case, and the user and the trace are told.

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "kv_dlg_zielsystem.h"
#include "kv_dlg_zielsysteminfo.h"
#include "kv_gui_container.h"
#include "kv_project_installer.h"
#include "kv_studio_main_app.h"
#include "kv_test_sim_window.h"
#include "kv_trace_capture.h"

namespace {
using Info = CKV_Dlg_App_Zielsysteminfo;
} // namespace

class tst_main_project_faults : public QObject, KV_Test_Sim_Window<CKV_Studio_Main_App> {
    Q_OBJECT

    // The installation's two targets, the second one active, in memory and
    // in the local file; and the file opens as the project named name.
    void verify_local_project(const std::string& name)
    {
        CKV_Project_Db reread;
        QVERIFY(reread.load(local_path().toStdString()));
        for (const CKV_Project_Db* db : {&m_window->project(), &reread}) {
            QCOMPARE(db->m_project.m_str_name, name);
            QCOMPARE(db->m_routes.m_list_route.size(), size_t(2));
            QCOMPARE(db->m_routes.m_list_route[0].m_str_name, std::string("Büro"));
            QCOMPARE(db->m_routes.m_list_route[1].m_str_name, std::string("Sim"));
            QCOMPARE(db->m_routes.m_route_default, 1);
        }
        QVERIFY(!QFile::exists(local_path() + QStringLiteral(".new")));
    }

    Info* info() const { return m_window->target_dialog()->info(); }

private slots:
    void init() { make_folder(); }
    void cleanup() { tear_down(); }

    void broken_download_leaves_the_last_good_project_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("reason");
        QTest::newRow("truncated") << "truncated" << "";
        QTest::newRow("zeroed pages") << "zeroed" << "";
        QTest::newRow("foreign SQLite file") << "foreign" << "no project table";
        QTest::newRow("not SQLite") << "not-sqlite" << "";
    }

    void broken_download_leaves_the_last_good_project()
    {
        QFETCH(QString, fault);
        QFETCH(QString, reason);
        KV_Trace_Capture trace;
        if (!start({"--project-fault", fault}))
            return;
        QTRY_COMPARE_WITH_TIMEOUT(info()->mode(), Info::Mode::Project_Failed, WAIT_MS);
        QCOMPARE(m_window->current_view(), int(CKV_Studio_Main_App::View_Status));
        QVERIFY(info()->text().startsWith(Info::TEXT_PROJECT_FAILED + QLatin1Char('\n')));
        QVERIFY2(info()->text().contains(reason), qPrintable(info()->text()));
        QVERIFY(trace.has(QStringLiteral("DOWNLOADED PROJECT REJECTED")));
        verify_local_project("Lokal");
        // Still in use: its page is there and the link goes on.
        QCOMPARE(m_window->canvases().size(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(m_window->is_logged_in(), WAIT_MS);
        QTRY_COMPARE_WITH_TIMEOUT(count(QStringLiteral("<- 33 ")), 1, WAIT_MS);
        QCOMPARE(count(QStringLiteral("login accepted")), 1);
    }

    void misdirected_files_are_ignored_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("trace_line");
        QTest::addColumn<QString>("project");
        QTest::newRow("26 before the login") << "unsolicited" << "PROJECT FILE NOT REQUESTED" << "Controller";
        QTest::newRow("26 with a wrong name") << "wrong-name" << "FOREIGN NAME IGNORED" << "Lokal";
    }

    void misdirected_files_are_ignored()
    {
        QFETCH(QString, fault);
        QFETCH(QString, trace_line);
        QFETCH(QString, project);
        KV_Trace_Capture trace;
        if (!start({"--project-fault", fault}))
            return;
        QTRY_VERIFY_WITH_TIMEOUT(m_window->is_logged_in(), WAIT_MS);
        QTRY_VERIFY_WITH_TIMEOUT(trace.has(trace_line), WAIT_MS);
        // Only the requested boot project file is installed, once.
        QTRY_COMPARE_WITH_TIMEOUT(count(QStringLiteral("<- 33 ")), project == QLatin1String("Lokal") ? 0 : 1, WAIT_MS);
        QTRY_VERIFY_WITH_TIMEOUT(m_window->installer().state() != KV_Project_Installer::State::Installing, WAIT_MS);
        verify_local_project(project.toStdString());
        QVERIFY(info()->mode() != Info::Mode::Project_Failed);
    }

    void failed_write_then_good_download()
    {
        // A directory where the new file must go: the write fails whoever runs the test.
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("kv_app.kvp.new")));
        KV_Trace_Capture trace;
        if (!start({}))
            return;
        QTRY_COMPARE_WITH_TIMEOUT(info()->mode(), Info::Mode::Project_Failed, WAIT_MS);
        QVERIFY(info()->text().contains(QStringLiteral("cannot create")));
        QVERIFY(trace.has(QStringLiteral("DOWNLOADED PROJECT NOT WRITTEN")));
        QTRY_COMPARE_WITH_TIMEOUT(count(QStringLiteral("<- 33 ")), 1, WAIT_MS);
        QVERIFY(QDir(m_dir->path()).rmdir(QStringLiteral("kv_app.kvp.new")));
        verify_local_project("Lokal");

        // The next download carries the installation's routes, not an empty list.
        QSignalSpy progress(&m_window->installer(), &KV_Project_Installer::progress);
        m_sim->command(QStringLiteral("send 103"));
        QTRY_COMPARE_WITH_TIMEOUT(count(QStringLiteral("<- 33 ")), 2, WAIT_MS);
        QTRY_COMPARE_WITH_TIMEOUT(m_window->project().m_project.m_str_name, std::string("Controller"), WAIT_MS);
        verify_local_project("Controller");
        QTRY_COMPARE_WITH_TIMEOUT(m_window->canvases().size(), 2, WAIT_MS);
        // The old project's canvases are gone, not only out of sight.
        QTRY_COMPARE_WITH_TIMEOUT(m_window->findChildren<CKV_Gui_Control_Container*>().size(), 2, WAIT_MS);
        QVERIFY(!QFile::exists(local_path() + QStringLiteral(".last")));
        // The bar showed the download and is gone again.
        QVERIFY(progress.size() >= 2);
        QCOMPARE(progress.first().at(0).toInt(), 0);
        QCOMPARE(progress.last().at(0).toInt(), -1);
        QCOMPARE(info()->progress(), -1);
    }
};

QTEST_MAIN(tst_main_project_faults)
#include "tst_main_project_faults.moc"
