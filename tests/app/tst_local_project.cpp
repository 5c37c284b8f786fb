// The local project on disk: start-up on broken, missing and locked files,
// and downloads that cannot be stored (read-only folder, full disk), each
// without losing the installation's routes or the last good project. Every
// file the app leaves there, routes and all, stays private to its owner.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "kv_file_modes.h"
#include "kv_instance_lock.h"
#include "kv_local_project.h"
#include "kv_project_db.h"
#include "kv_test_main_project.h"

namespace {
enum class File { Missing, Good, Garbage, Damaged, Cut_Short };
constexpr QFile::Permissions OTHERS = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther |
                                      QFile::WriteOther | QFile::ExeOther;

QByteArray read_all(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void write_all(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// A project whose routes table sits in its first pages and whose body is
// broken: zeros over its second half, the way a failing flash leaves it.
void write_damaged_project(const QString& path, const std::string& name, const KV_Routes::_route& route)
{
    std::vector<Test_Page> pages;
    for (int i = 0; i < 3000; ++i)
        pages.push_back({"{page-" + std::to_string(i) + "}"});
    QVERIFY(write_test_project(path, name, pages, {route}));
    QByteArray bytes = read_all(path);
    for (qsizetype i = bytes.size() / 2; i < bytes.size(); ++i)
        bytes[i] = 0;
    write_all(path, bytes);
}

// A good project as a kill in the middle of a write leaves it: changed pages
// already in the file, their old contents in a hot journal beside it.
void write_cut_short_project(const QString& path, const std::string& name, const KV_Routes::_route& route)
{
    const QString writing = path + QStringLiteral(".writing");
    QVERIFY(write_test_project(writing, name, {{"{p}"}}, {route}));
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open(writing.toUtf8().constData(), &db), SQLITE_OK);
    QCOMPARE(sqlite3_exec(db,
                          "PRAGMA cache_size=1; BEGIN; UPDATE KV_ROUTES SET DATA='halb';"
                          "CREATE TABLE PAD(X); INSERT INTO PAD VALUES(zeroblob(100000));",
                          nullptr, nullptr, nullptr),
             SQLITE_OK);
    QVERIFY(QFile::exists(writing + QStringLiteral("-journal")));
    QVERIFY(QFile::copy(writing, path));
    QVERIFY(QFile::copy(writing + QStringLiteral("-journal"), path + QStringLiteral("-journal")));
    sqlite3_close(db);
}

// The project bytes to download: a small good project.
QByteArray good_download(const QString& dir)
{
    const QString path = dir + QStringLiteral("/download.kvp");
    write_test_project(path, "Neu", {{"{n}"}}, {test_route("Fremd", "192.168.9.9")});
    const QByteArray bytes = read_all(path);
    QFile::remove(path);
    return bytes;
}

// Runs the install in a child process with limits set by prepare; its exit
// code is the outcome.
int install_in_child(const std::string& path, const QByteArray& content, const KV_Routes& routes,
                     const std::function<void()>& prepare)
{
    fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        prepare();
        CKV_Project_Db staging;
        _exit(kv_install_download(staging, path, content.constData(), size_t(content.size()), routes).kind);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
} // namespace

class tst_local_project : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString path() const { return m_dir->filePath(QStringLiteral("kv_app.kvp")); }
    QString previous() const { return path() + QStringLiteral(".last"); }
    QStringList set_aside() const
    {
        return QDir(m_dir->path()).entryList({QStringLiteral("kv_app.kvp*.broken-*")}, QDir::Files);
    }

    void make(const QString& file, File kind, const std::string& name, const std::string& route)
    {
        if (kind == File::Good)
            QVERIFY(write_test_project(file, name, {{"{p}"}}, {test_route(route, "10.0.0.1")}));
        else if (kind == File::Garbage)
            write_all(file, QByteArray(5000, 'z'));
        else if (kind == File::Damaged)
            write_damaged_project(file, name, test_route(route, "10.0.0.1"));
        else if (kind == File::Cut_Short)
            write_cut_short_project(file, name, test_route(route, "10.0.0.1"));
    }

private slots:
    void initTestCase() { kv_private_files_from_now_on(); } // as at start

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void cleanup()
    {
        for (const QFileInfo& file : QDir(m_dir->path()).entryInfoList(QDir::Files | QDir::Hidden))
            QVERIFY2(!(file.permissions() & OTHERS), qPrintable(file.fileName()));
    }

    void start_never_deletes_a_broken_project_data()
    {
        QTest::addColumn<File>("local");
        QTest::addColumn<File>("last");
        QTest::addColumn<QString>("project");  // name of the project opened
        QTest::addColumn<QString>("route");    // its first route, empty: none
        QTest::addColumn<int>("aside");        // files moved aside
        QTest::addColumn<bool>("told");
        QTest::newRow("good") << File::Good << File::Missing << "Lokal" << "Panel" << 0 << false;
        QTest::newRow("good, older previous") << File::Good << File::Good << "Lokal" << "Panel" << 0 << false;
        QTest::newRow("write cut short: rolled back") << File::Cut_Short << File::Missing << "Lokal" << "Panel" << 0 << false;
        QTest::newRow("missing, previous good") << File::Missing << File::Good << "Vorher" << "Alt" << 0 << true;
        QTest::newRow("garbage, previous good") << File::Garbage << File::Good << "Vorher" << "Alt" << 1 << true;
        QTest::newRow("damaged, previous good") << File::Damaged << File::Good << "Vorher" << "Alt" << 1 << true;
        QTest::newRow("damaged, no previous: routes rescued")
            << File::Damaged << File::Missing << "kv_app.kvp" << "Panel" << 1 << true;
        QTest::newRow("garbage, previous damaged: its routes rescued")
            << File::Garbage << File::Damaged << "kv_app.kvp" << "Alt" << 2 << true;
        QTest::newRow("garbage, no previous") << File::Garbage << File::Missing << "kv_app.kvp" << "" << 1 << true;
    }

    void start_never_deletes_a_broken_project()
    {
        QFETCH(File, local);
        QFETCH(File, last);
        QFETCH(QString, project);
        QFETCH(QString, route);
        QFETCH(int, aside);
        QFETCH(bool, told);
        make(path(), local, "Lokal", "Panel");
        make(previous(), last, "Vorher", "Alt");
        const bool whole = local == File::Good || local == File::Cut_Short;
        const QByteArray broken = whole ? QByteArray() : read_all(path());

        CKV_Project_Db db;
        const KV_Local_Open opened = kv_open_local_project(db, path().toStdString());
        QVERIFY(opened.opened);
        QCOMPARE(QString::fromStdString(db.m_project.m_str_name), project);
        QCOMPARE(db.m_routes.m_list_route.empty() ? QString() : QString::fromStdString(db.m_routes.m_list_route[0].m_str_name),
                 route);
        QCOMPARE(!opened.notice.isEmpty(), told);
        // Whatever did not open is still on disk, byte for byte.
        QCOMPARE(set_aside().size(), aside);
        if (!broken.isEmpty())
            QCOMPARE(read_all(m_dir->filePath(set_aside().filter(QStringLiteral("kv_app.kvp.broken")).value(0))), broken);
        // The file now in place opens again the same way.
        CKV_Project_Db again;
        QVERIFY(kv_open_local_project(again, path().toStdString()).notice.isEmpty());
        QCOMPARE(again.m_project.m_str_guid, db.m_project.m_str_guid);
    }

    void a_short_lock_of_another_connection_is_waited_for()
    {
        make(path(), File::Good, "Lokal", "Panel");
        sqlite3* other = nullptr;
        QCOMPARE(sqlite3_open(path().toUtf8().constData(), &other), SQLITE_OK);
        QCOMPARE(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        std::thread release([other] {
            std::this_thread::sleep_for(std::chrono::milliseconds(800));
            sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
        });
        CKV_Project_Db db;
        const KV_Local_Open opened = kv_open_local_project(db, path().toStdString());
        release.join();
        sqlite3_close(other);
        QVERIFY(opened.opened);
        QVERIFY(opened.notice.isEmpty());
        QCOMPARE(db.m_project.m_str_name, std::string("Lokal"));
        QVERIFY(set_aside().isEmpty());
    }

    void a_second_panel_on_the_same_folder_is_refused()
    {
        const QString dir = m_dir->path() + QStringLiteral("/");
        KV_Instance_Lock first(dir);
        QVERIFY(first.is_locked());
        QVERIFY(!KV_Instance_Lock(dir).is_locked());
        QTemporaryDir other;
        QVERIFY(KV_Instance_Lock(other.path() + QStringLiteral("/")).is_locked());
    }

    void download_that_cannot_be_stored_leaves_the_local_project_data()
    {
        QTest::addColumn<QString>("limit");
        QTest::newRow("read-only folder") << "read-only";
        QTest::newRow("disk full") << "file size";
    }

    void download_that_cannot_be_stored_leaves_the_local_project()
    {
        QFETCH(QString, limit);
        make(path(), File::Good, "Lokal", "Panel");
        const QByteArray before = read_all(path());
        CKV_Project_Db db;
        QVERIFY(db.load(path().toStdString()));
        const std::string dir = m_dir->path().toStdString();
        const int outcome = install_in_child(path().toStdString(), good_download(m_dir->path()), db.m_routes, [&] {
            if (limit == QLatin1String("read-only")) {
                chmod(dir.c_str(), 0555);
                if (getuid() == 0 && setuid(65534) != 0) // root writes anywhere; nobody does not
                    _exit(99);
            } else {
                const rlimit small{16384, 16384};
                setrlimit(RLIMIT_FSIZE, &small);
            }
        });
        chmod(dir.c_str(), 0755);
        QCOMPARE(outcome, int(KV_Download_Outcome::Not_Written));
        QCOMPARE(read_all(path()), before);
        QVERIFY(!QFile::exists(path() + QStringLiteral(".new")));
        QVERIFY(!QFile::exists(previous()));
        QCOMPARE(db.m_routes.m_list_route.at(0).m_str_name, std::string("Panel"));
    }

    void checked_download_replaces_the_local_project_with_the_routes()
    {
        make(path(), File::Good, "Lokal", "Panel");
        CKV_Project_Db db;
        QVERIFY(db.load(path().toStdString()));
        const QByteArray content = good_download(m_dir->path());
        // Rejected downloads: see the window's test against the simulator.
        CKV_Project_Db staging;
        const KV_Download_Outcome outcome =
            kv_install_download(staging, path().toStdString(), content.constData(), size_t(content.size()), db.m_routes);
        QCOMPARE(outcome.kind, KV_Download_Outcome::Installed);
        QCOMPARE(staging.m_project.m_str_name, std::string("Neu"));
        QCOMPARE(staging.m_routes.m_list_route.at(0).m_str_name, std::string("Panel"));
        // The old file stays as the previous one until the window retires it.
        CKV_Project_Db old;
        QVERIFY(old.load(previous().toStdString()));
        QCOMPARE(old.m_project.m_str_name, std::string("Lokal"));
        // The swap into the window's store.
        db.swap(staging);
        QCOMPARE(db.m_project.m_str_name, std::string("Neu"));
        QCOMPARE(db.path(), path().toStdString());
        QVERIFY(db.save_routes());
        QCOMPARE(staging.m_project.m_str_name, std::string("Lokal"));
    }
};

QTEST_MAIN(tst_local_project)
#include "tst_local_project.moc"
