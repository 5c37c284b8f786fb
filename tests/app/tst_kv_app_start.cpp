// Start-up: directories from the program path, the command line, and whole
// runs of the start function with different arguments and settings.

#include "kv_app_context.h"
#include "kv_command_line.h"
#include "kv_dlg_settings.h"
#include "kv_fonts.h"
#include "kv_start.h"
#include "kv_style.h"
#include "kv_test_settings_home.h"

#include <QApplication>
#include <QDir>
#include <QFontInfo>
#include <QMainWindow>
#include <QScopeGuard>
#include <QTest>

namespace {
// What a run of the start function looked like once its event loop ran.
struct Start_Snapshot
{
    bool window_shown = false;
    bool full_screen = false;
    KV_App_Flags flags;
    QString current_dir;
    QString style_sheet;
};

Start_Snapshot snapshot;

// Called by every application object the start function creates: once its
// event loop turns, ends the loop, looks at the running app and checks that
// the fonts the controls ask for come from the bundled files.
void inspect_and_quit()
{
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [] {
            const auto quit = qScopeGuard([] { QCoreApplication::quit(); }); // last, even after a failed check
            const KV_App_Context& app = kv_app();
            snapshot.window_shown = app.main_window && app.main_window->isVisible();
            snapshot.full_screen = app.main_window && app.main_window->isFullScreen();
            snapshot.flags = app.flags;
            snapshot.current_dir = QDir::currentPath();
            snapshot.style_sheet = qApp->styleSheet();
            QCOMPARE(QFontInfo(QFont(QLatin1String(KV_FONT_REGULAR))).family(), QStringLiteral("Inter"));
            QCOMPARE(QFontInfo(QFont(QLatin1String(KV_FONT_MEDIUM))).styleName(), QStringLiteral("Medium"));
            QCOMPARE(QGuiApplication::font().hintingPreference(), QFont::PreferNoHinting);
        },
        Qt::QueuedConnection);
}

// An argument vector as main() gets it, the program name first.
struct Argv
{
    Argv(const QString& program, const QStringList& arguments)
    {
        texts << program.toLocal8Bit();
        for (const QString& argument : arguments)
            texts << argument.toLocal8Bit();
        for (QByteArray& text : texts)
            pointers << text.data();
        pointers << nullptr;
    }
    int argc() const { return int(texts.size()); }

    QList<QByteArray> texts;
    QList<char*> pointers;
};
} // namespace

class tst_kv_app_start : public QObject
{
    Q_OBJECT

    KV_Test_Settings_Home m_home;
    QString m_program;
    QString m_saved_dir;

    int start(const QStringList& arguments)
    {
        Argv argv(m_program, arguments);
        return kv_start(argv.argc(), argv.pointers.data());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        qAddPreRoutine(inspect_and_quit);
        m_program = m_home.path() + QStringLiteral("/install/bin/kirovantor3");
        QVERIFY(QDir().mkpath(m_home.path() + QStringLiteral("/install/bin")));
        m_saved_dir = QDir::currentPath();
    }

    void init()
    {
        snapshot = Start_Snapshot();
        KV_Test_Settings_Home::reset_common();
    }

    void cleanup() { QDir::setCurrent(m_saved_dir); }

    void directories_from_program_path_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("project");
        QTest::newRow("installed") << "/opt/kv/bin/kirovantor3" << "/opt/kv/bin/" << "/opt/kv/bin/" << "/opt/kv/bin/project/";
        QTest::newRow("inside project") << "/home/kv/project/bin/kirovantor3" << "/home/kv/project/bin/"
                                        << "/home/kv/project/bin/" << "/home/kv/project/bin/";
        QTest::newRow("no separator") << "kirovantor3" << "kirovantor3" << "kirovantor3/" << "kirovantor3/project/";
        QTest::newRow("empty") << "" << "" << "./" << "./project/";
    }

    void directories_from_program_path()
    {
        QFETCH(QString, path);
        QFETCH(QString, program);
        QFETCH(QString, base);
        QFETCH(QString, project);
        const KV_App_Dirs dirs = KV_App_Dirs::from_program_path(path);
        QCOMPARE(dirs.program_dir, program);
        QCOMPARE(dirs.base_dir, base);
        QCOMPARE(dirs.project_dir, project);
    }

    void files_stay_beside_a_writable_program_only_data()
    {
        QTest::addColumn<QString>("program"); // below the test's folder
        QTest::addColumn<bool>("beside");
        QTest::newRow("build tree") << "build/app/kirovantor3" << true;
        QTest::newRow("installed") << "usr/bin/kirovantor3" << false; // beside usr/share/kirovantor3
        QTest::newRow("read-only folder") << "ro/bin/kirovantor3" << false;
        QTest::newRow("missing folder") << "nowhere/kirovantor3" << false;
    }

    void files_stay_beside_a_writable_program_only()
    {
        QFETCH(QString, program);
        QFETCH(bool, beside);
        QTemporaryDir root;
        for (const char* dir : {"build/app", "usr/bin", "usr/share/kirovantor3", "ro/bin"})
            QVERIFY(QDir(root.path()).mkpath(QLatin1String(dir)));
        QVERIFY(QFile::setPermissions(root.filePath("ro/bin"), QFile::ReadOwner | QFile::ExeOwner));
        const auto writable_again = qScopeGuard([&] { QFile::setPermissions(root.filePath("ro/bin"), QFile::WriteOwner | QFile::ReadOwner | QFile::ExeOwner); });
        if (QTest::currentDataTag() == QLatin1String("read-only folder") && QFileInfo(root.filePath("ro/bin")).isWritable())
            QSKIP("the administrator writes into read-only folders");

        KV_App_Dirs dirs = KV_App_Dirs::from_program_path(root.filePath(program));
        const QString program_project = dirs.project_dir;
        dirs.keep_files_in(root.filePath("home/.local/share/kirovantor3"));
        dirs.prepare();
        const QString expected = beside ? program_project : root.filePath("home/.local/share/kirovantor3/");
        QCOMPARE(dirs.project_dir, expected);
        QVERIFY(QFileInfo(expected).isDir());
        QCOMPARE(QFileInfo::exists(program_project), beside);
    }

    void program_found_from_another_folder_data()
    {
        QTest::addColumn<QString>("invoked");
        QTest::addColumn<QString>("from"); // the current folder, below the test's
        QTest::newRow("by name through PATH") << "kirovantor3" << "elsewhere";
        // The project folder beside the program, not nested below it again.
        QTest::newRow("relative path") << "bin/kirovantor3" << ".";
    }

    void program_found_from_another_folder()
    {
        QFETCH(QString, invoked);
        QFETCH(QString, from);
        QTemporaryDir root;
        QVERIFY(QDir(root.path()).mkpath("bin") && QDir(root.path()).mkpath("elsewhere"));
        QFile program(root.filePath("bin/kirovantor3"));
        QVERIFY(program.open(QIODevice::WriteOnly));
        program.close();
        QVERIFY(program.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        const QByteArray saved_path = qgetenv("PATH");
        const auto restore_path = qScopeGuard([&] { qputenv("PATH", saved_path); });
        qputenv("PATH", QFile::encodeName(root.filePath("bin")));
        QDir::setCurrent(root.filePath(from));

        const QString resolved = KV_App_Dirs::absolute_program_path(invoked);
        QCOMPARE(resolved, root.filePath("bin/kirovantor3"));
        KV_App_Dirs dirs = KV_App_Dirs::from_program_path(resolved);
        dirs.keep_files_in(root.filePath("data"));
        dirs.prepare();
        QCOMPARE(dirs.project_dir, root.filePath("bin/project/"));
        QVERIFY(QFileInfo(dirs.project_dir).isDir());
        QVERIFY(!QFileInfo::exists(root.filePath("bin/bin")));
        QVERIFY(QDir(root.filePath("elsewhere")).isEmpty());
        // A name the search does not find stays a name; an absolute path stays as it is.
        QCOMPARE(KV_App_Dirs::absolute_program_path("kv-not-installed"), QString("kv-not-installed"));
        QCOMPARE(KV_App_Dirs::absolute_program_path("/opt/kv/kirovantor3"), QString("/opt/kv/kirovantor3"));
    }

    void command_line_flags_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("app");
        QTest::addColumn<bool>("tray");
        QTest::newRow("none") << QStringList() << false << false;
        QTest::newRow("both") << QStringList{"-tray", "-app"} << true << true;
        QTest::newRow("other case") << QStringList{"-APP", "-Tray"} << false << false;
        QTest::newRow("prefix only") << QStringList{"-application", "-trayicon"} << false << false;
        QTest::newRow("project path") << QStringList{"/data/haus.kvp", "-app"} << true << false;
        QTest::newRow("options") << QStringList{"--kiosk", "--screenshot", "-app", "-tray"} << false << true;
    }

    void command_line_flags()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, app);
        QFETCH(bool, tray);
        // The program name itself never counts, even when it reads "-app".
        Argv argv(QStringLiteral("-app"), arguments);
        const KV_App_Flags flags = kv_scan_command_line(argv.argc(), argv.pointers.data());
        QCOMPARE(flags.app, app);
        QCOMPARE(flags.tray, tray);
        // "--screenshot" takes the next argument, whatever it looks like.
        QCOMPARE(flags.kiosk, arguments.contains("--kiosk"));
        QCOMPARE(flags.screenshot, arguments.contains("--screenshot") ? QStringLiteral("-app") : QString());
    }

    void help_and_version_end_before_any_window_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::newRow("help") << "--help";
        QTest::newRow("short help") << "-h";
        QTest::newRow("version") << "--version";
    }

    void help_and_version_end_before_any_window()
    {
        QFETCH(QString, argument);
        QCOMPARE(start({QStringLiteral("-app"), argument}), 0);
        QVERIFY(!snapshot.window_shown); // no application object ever came to inspect
    }

    // A first start is windowed and light; stored choices make it full screen and dark.
    void stored_choices_set_screen_and_style()
    {
        for (const bool stored : {false, true}) {
            snapshot = Start_Snapshot();
            for (const char* key : {"_m_app_full_screen", "m_app_styleSheet"})
                if (stored)
                    QSettings(QStringLiteral("kirovantor3"), QStringLiteral("Common")).setValue(QLatin1String(key), 1);
            QCOMPARE(start({QStringLiteral("-tray")}), 0);
            QVERIFY(snapshot.window_shown);
            QCOMPARE(snapshot.full_screen, stored);
            QCOMPARE(snapshot.style_sheet, kv_read_style_sheet(kv_app_style_path(stored ? KV_STYLE_DARK : KV_STYLE_LIGHT)));
        }
        QVERIFY(snapshot.flags.app && snapshot.flags.tray); // the app window comes whatever the command line says
        QCOMPARE(snapshot.current_dir, m_home.path() + QStringLiteral("/install/bin"));
        QVERIFY(QFileInfo(m_home.path() + QStringLiteral("/install/bin/project")).isDir());
        QCOMPARE(kv_app().dirs.project_dir, m_home.path() + QStringLiteral("/install/bin/project/"));
        QVERIFY(!kv_app().main_window); // deleted after the loop
    }

    void files_of_a_start_are_private()
    {
        constexpr QFile::Permissions OTHERS = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                              QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
        QCOMPARE(start({}), 0);
        const QString project = m_home.path() + QStringLiteral("/install/bin/project/");
        QSettings(QStringLiteral("kirovantor3-APP"), QStringLiteral("ViewState")).setValue("_geometry", 1);
        const QStringList files{project + "kv_app.kvp", project + "kv_app.kvp.last",
                                QSettings(QStringLiteral("kirovantor3"), QStringLiteral("Common")).fileName(),
                                QSettings(QStringLiteral("kirovantor3-APP"), QStringLiteral("ViewState")).fileName()};
        // A broken local project and its backup; the app replaces the first.
        for (const QString& file : {files[0], files[1]}) {
            QFile broken(file);
            QVERIFY(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
            broken.write(QByteArray(4096, 'x'));
        }
        for (const QString& file : files) {
            QCOMPARE(QFileInfo(file).permissions() & OTHERS, QFile::Permissions());
            // As an older version or a wider umask left them.
            QVERIFY(QFile::setPermissions(file, QFile::permissions(file) | QFile::ReadGroup | QFile::ReadOther));
        }
        QCOMPARE(QFileInfo(project).permissions() & OTHERS, QFile::Permissions());

        QCOMPARE(start({}), 0);
        for (const QString& file : files)
            QVERIFY2(!(QFileInfo(file).permissions() & OTHERS), qPrintable(file));
        for (const QFileInfo& file : QDir(project).entryInfoList(QDir::Files | QDir::Hidden))
            QVERIFY2(!(file.permissions() & OTHERS), qPrintable(file.fileName()));
    }
};

QTEST_APPLESS_MAIN(tst_kv_app_start)
#include "tst_kv_app_start.moc"
