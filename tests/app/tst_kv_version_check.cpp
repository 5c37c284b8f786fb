// The version check: the comparison of version texts and the whole round
// trip against a local HTTP responder standing in for the maker's server.

#include "kv_app_context.h"
#include "kv_app_version.h"
#include "kv_dlg_settings.h"
#include "kv_test_settings_home.h"
#include "kv_version_check.h"

#include <QNetworkAccessManager>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

namespace {
// Answers every GET with one fixed status and body, then closes.
class Version_Server : public QTcpServer
{
public:
    QByteArray status = "200 OK";
    QByteArray body;
    int requests = 0;

    QUrl url() const { return QUrl(QStringLiteral("http://127.0.0.1:%1/version.txt").arg(serverPort())); }

protected:
    void incomingConnection(qintptr descriptor) override
    {
        auto* socket = new QTcpSocket(this);
        socket->setSocketDescriptor(descriptor);
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
            m_request += socket->readAll();
            if (!m_request.contains("\r\n\r\n"))
                return;
            m_request.clear();
            ++requests;
            socket->write("HTTP/1.1 " + status + "\r\nContent-Type: text/plain\r\nContent-Length: "
                          + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
            socket->disconnectFromHost();
        });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }

private:
    QByteArray m_request;
};

void store_version_url(const QUrl& url)
{
    QSettings(QStringLiteral("kirovantor3"), QStringLiteral("Common")).setValue(QStringLiteral("m_str_version_url"), url.toString());
}

class Asking_Settings : public CKV_Dlg_Settings
{
public:
    QStringList questions;

protected:
    bool ask_update(const QString& question) override
    {
        questions << question;
        return false;
    }
};
} // namespace

class tst_kv_version_check : public QObject
{
    Q_OBJECT

    KV_Test_Settings_Home m_home;

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        kv_app().dirs = KV_App_Dirs::from_program_path(QStringLiteral("/opt/kv/bin/kirovantor3"));
    }

    void init() { KV_Test_Settings_Home::clear(QStringLiteral("kirovantor3"), QStringLiteral("Common")); }

    void offers_update_only_for_a_greater_number_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("offers");
        QTest::newRow("equal with line break") << QByteArray("3.01111\r\n") << false;
        QTest::newRow("equal, more digits") << QByteArray("3.011110") << false;
        QTest::newRow("greater") << QByteArray("3.01112") << true;
        QTest::newRow("greater with notes") << QByteArray("3.02\nneue Kacheln\n") << true;
        QTest::newRow("leading blanks") << QByteArray("  3.1") << true;
        QTest::newRow("smaller") << QByteArray("3.01") << false;
        QTest::newRow("html page") << QByteArray("<html><body>3.5</body></html>") << false;
        QTest::newRow("binary") << QByteArray("\x00\xff\x01", 3) << false;
    }

    void offers_update_only_for_a_greater_number()
    {
        QFETCH(QByteArray, reply);
        QFETCH(bool, offers);
        QCOMPARE(kv_version_offers_update(reply, QLatin1String(KV_APP_VERSION_FULL)), offers);
    }

    void download_address_from_the_reply_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("download");
        QTest::newRow("number only") << QByteArray("3.05\n") << "https://kv.test/app/";
        QTest::newRow("second line") << QByteArray("3.05\r\nhttps://dl.kv.test/kv-3.05.deb\r\n")
                                     << "https://dl.kv.test/kv-3.05.deb";
        QTest::newRow("notes, no address") << QByteArray("3.05\nneue Kacheln") << "https://kv.test/app/";
        QTest::newRow("other scheme") << QByteArray("3.05\nfile:///etc/passwd") << "https://kv.test/app/";
    }

    void download_address_from_the_reply()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QString, download);
        QCOMPARE(kv_download_url(reply, QUrl(QStringLiteral("https://kv.test/app/version.txt"))).toString(), download);
    }

    void server_reply_asks_only_for_a_newer_version_data()
    {
        QTest::addColumn<QByteArray>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QStringList>("questions");
        QTest::newRow("newer") << QByteArray("200 OK") << QByteArray("3.05\n")
                               << QStringList(QStringLiteral("Update verfügbar Lokal: 3.01111, Server: 3.05\n"
                                                             "Möchten Sie die neue Version jetzt laden?"));
        QTest::newRow("equal") << QByteArray("200 OK") << QByteArray("3.01111") << QStringList();
        QTest::newRow("empty") << QByteArray("200 OK") << QByteArray() << QStringList();
        QTest::newRow("not found") << QByteArray("404 Not Found") << QByteArray("9.9") << QStringList();
    }

    void server_reply_asks_only_for_a_newer_version()
    {
        QFETCH(QByteArray, status);
        QFETCH(QByteArray, body);
        QFETCH(QStringList, questions);
        KV_Test_Settings_Home::reset_common();
        Version_Server server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        server.status = status;
        server.body = body;
        store_version_url(server.url());
        Asking_Settings settings;
        auto* manager = settings.findChild<QNetworkAccessManager*>();
        QVERIFY(manager);
        QSignalSpy finished(manager, &QNetworkAccessManager::finished);
        settings.slot_check_version();
        QVERIFY(finished.wait(5000));
        QCOMPARE(server.requests, 1);
        QCOMPARE(settings.questions, questions);
    }

    void check_runs_at_start_only_when_enabled_and_addressed_data()
    {
        QTest::addColumn<bool>("addressed");
        QTest::addColumn<bool>("switched_off");
        QTest::addColumn<int>("requests");
        QTest::newRow("defaults: on, no address") << false << false << 0;
        QTest::newRow("address") << true << false << 1;
        QTest::newRow("address, switched off") << true << true << 0;
    }

    void check_runs_at_start_only_when_enabled_and_addressed()
    {
        QFETCH(bool, addressed);
        QFETCH(bool, switched_off);
        QFETCH(int, requests);
        Version_Server server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        server.body = "3.01111";
        if (switched_off)
            KV_Test_Settings_Home::reset_common();
        if (addressed)
            store_version_url(server.url());
        Asking_Settings settings;
        if (requests > 0)
            QTRY_COMPARE_WITH_TIMEOUT(server.requests, requests, 5000);
        QTest::qWait(300);
        QCOMPARE(server.requests, requests);
    }
};

QTEST_MAIN(tst_kv_version_check)
#include "tst_kv_version_check.moc"
