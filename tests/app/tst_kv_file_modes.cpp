// The files that hold the routes stay private to their owner whichever way
// the app writes them: a new local project, a save of the routes, a download,
// a broken download and a broken local file.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "kv_crypto.h"
#include "kv_file_modes.h"
#include "kv_local_project.h"
#include "kv_project_db.h"

namespace {
constexpr QFile::Permissions OTHERS = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther |
                                      QFile::WriteOther | QFile::ExeOther;
} // namespace

class tst_kv_file_modes : public QObject {
    Q_OBJECT

    // Every file in dir that others may use.
    static QStringList open_to_others(const QString& dir)
    {
        QStringList open;
        for (const QFileInfo& file : QDir(dir).entryInfoList(QDir::Files | QDir::Hidden))
            if (file.permissions() & OTHERS)
                open << file.fileName();
        return open;
    }

private slots:
    void initTestCase() { kv_private_files_from_now_on(); } // as at start

    void route_files_stay_private()
    {
        QTemporaryDir dir;
        const std::string path = dir.filePath(QStringLiteral("kv_app.kvp")).toStdString();
        CKV_Project_Db source;
        QVERIFY(kv_create_local_project(source, dir.filePath(QStringLiteral("source.kvp")).toStdString()));
        source.close_project();
        QFile source_file(dir.filePath(QStringLiteral("source.kvp")));
        QVERIFY(source_file.open(QIODevice::ReadOnly));
        const QByteArray project = source_file.readAll();
        const QByteArray garbage(4096, 'x');

        CKV_Project_Db db;
        QVERIFY(kv_open_local_project(db, path).opened);
        QCOMPARE(open_to_others(dir.path()), QStringList());

        KV_Routes::_route route;
        route.m_str_name = "Haus";
        route.m_str_passwd_md5 = kv_crypto::md5_hex("geheim");
        db.m_routes.m_list_route.push_back(route);
        QVERIFY(db.save_routes());
        QCOMPARE(open_to_others(dir.path()), QStringList());

        const auto download = [&](const QByteArray& content) {
            CKV_Project_Db staging;
            const KV_Download_Outcome outcome =
                kv_install_download(staging, path, content.constData(), size_t(content.size()), db.m_routes);
            if (outcome.kind == KV_Download_Outcome::Installed)
                db.swap(staging);
            return outcome.kind;
        };
        QCOMPARE(download(project), KV_Download_Outcome::Installed);
        QCOMPARE(open_to_others(dir.path()), QStringList());
        QCOMPARE(download(garbage), KV_Download_Outcome::Rejected);
        QCOMPARE(open_to_others(dir.path()), QStringList());

        // A local file that no longer opens is set aside; whatever is kept of it stays private.
        db.close_project();
        QFile broken(QString::fromStdString(path));
        QVERIFY(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
        broken.write(garbage);
        broken.close();
        QVERIFY(kv_open_local_project(db, path).opened);
        QCOMPARE(db.m_routes.m_list_route.size(), size_t(1)); // the previous project took its place
        QCOMPARE(open_to_others(dir.path()), QStringList());
    }
};

QTEST_GUILESS_MAIN(tst_kv_file_modes)
#include "tst_kv_file_modes.moc"
