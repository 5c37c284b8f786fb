// The salt request of an online account against local HTTP responders.
#include "kv_salt_client.h"
#include "kv_test_http_responder.h"

#include <QtTest>

namespace {
const QByteArray SALT_BODY = "SALT_OK: 0123456789abcdef0123456789ABCDEF-tail-beyond-32";
const QString SALT = QStringLiteral("0123456789abcdef0123456789ABCDEF");
const QString MAIL = QStringLiteral("user+1@example.com");

CKV_Salt_Client::Endpoint local_endpoint(quint16 first, quint16 second, long timeout_ms = 1000)
{
    CKV_Salt_Client::Endpoint endpoint;
    endpoint.base_url = QStringLiteral("http://127.0.0.1");
    endpoint.first_port = first;
    endpoint.second_port = second;
    endpoint.timeout_ms = timeout_ms;
    return endpoint;
}

// A port with nothing listening: taken and given back at once.
quint16 closed_port()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();
}

QString fetch(const CKV_Salt_Client::Endpoint& endpoint)
{
    CKV_Salt_Client client(endpoint);
    QSignalSpy spy(&client, &CKV_Salt_Client::salt_ready);
    if (!client.request(MAIL) || !spy.wait(10000))
        return QStringLiteral("<no result>");
    return spy.at(0).at(0).toString();
}
} // namespace

class Tst_Dlg_Salt : public QObject {
    Q_OBJECT
private slots:
    void first_port_answers();
    void second_port_after_failure_data();
    void second_port_after_failure();
    void short_answer_is_an_error_data();
    void short_answer_is_an_error();
    void silent_server_times_out();
    void one_request_at_a_time();
};

void Tst_Dlg_Salt::first_port_answers()
{
    {
        KV_Test_Http_Responder first(200, SALT_BODY);
        KV_Test_Http_Responder second(200, "SALT_OK: wrong-port-salt");
        QCOMPARE(fetch(local_endpoint(first.port(), second.port())), SALT);
        QCOMPARE(first.paths(), QStringList{"/getSalt/user%2B1@example.com"});
        QVERIFY(second.paths().isEmpty());
    }
    {
        // 304 ends the attempts too, but HTTP gives it no body: no salt.
        KV_Test_Http_Responder first(304, SALT_BODY);
        KV_Test_Http_Responder second(200, SALT_BODY);
        QCOMPARE(fetch(local_endpoint(first.port(), second.port())), CKV_Salt_Client::RESULT_ERROR);
        QVERIFY(second.paths().isEmpty());
    }
    KV_Test_Http_Responder refusing(401, "no such account");
    KV_Test_Http_Responder second(200, SALT_BODY);
    QCOMPARE(fetch(local_endpoint(refusing.port(), second.port())), CKV_Salt_Client::RESULT_NO_ACCOUNT);
    QVERIFY(second.paths().isEmpty());
}

void Tst_Dlg_Salt::second_port_after_failure_data()
{
    QTest::addColumn<int>("second_status");
    QTest::addColumn<QString>("result");
    QTest::newRow("200") << 200 << SALT;
    QTest::newRow("401") << 401 << CKV_Salt_Client::RESULT_NO_ACCOUNT;
    QTest::newRow("404") << 404 << CKV_Salt_Client::RESULT_ERROR;
    QTest::newRow("500") << 500 << CKV_Salt_Client::RESULT_ERROR;
}

void Tst_Dlg_Salt::second_port_after_failure()
{
    QFETCH(int, second_status);
    QFETCH(QString, result);
    KV_Test_Http_Responder first(500, "internal");
    KV_Test_Http_Responder second(second_status, SALT_BODY);
    QCOMPARE(fetch(local_endpoint(first.port(), second.port())), result);
    QCOMPARE(first.paths().size(), 1);
    QCOMPARE(second.paths().size(), 1);
    // Nothing listening on the first port counts as a failure too.
    QCOMPARE(fetch(local_endpoint(closed_port(), second.port())), result);
}

void Tst_Dlg_Salt::short_answer_is_an_error_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("result");
    QTest::newRow("empty") << QByteArray() << CKV_Salt_Client::RESULT_ERROR;
    QTest::newRow("prefix only") << QByteArray("SALT_OK: ") << CKV_Salt_Client::RESULT_ERROR;
    QTest::newRow("one character") << QByteArray("SALT_OK: x") << QStringLiteral("x");
}

void Tst_Dlg_Salt::short_answer_is_an_error()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, result);
    KV_Test_Http_Responder first(200, body);
    QCOMPARE(fetch(local_endpoint(first.port(), closed_port())), result);
}

void Tst_Dlg_Salt::silent_server_times_out()
{
    KV_Test_Http_Responder first(0, {});
    KV_Test_Http_Responder second(0, {});
    QCOMPARE(fetch(local_endpoint(first.port(), second.port(), 200)), CKV_Salt_Client::RESULT_ERROR);
    QCOMPARE(first.paths().size(), 1);
    QCOMPARE(second.paths().size(), 1);
}

void Tst_Dlg_Salt::one_request_at_a_time()
{
    KV_Test_Http_Responder first(0, {});
    KV_Test_Http_Responder second(200, SALT_BODY);
    CKV_Salt_Client client(local_endpoint(first.port(), second.port(), 300));
    QSignalSpy spy(&client, &CKV_Salt_Client::salt_ready);
    QVERIFY(client.request(MAIL));
    QVERIFY(client.is_busy());
    QVERIFY(!client.request(MAIL));
    QVERIFY(spy.wait(10000));
    QCOMPARE(spy.at(0).at(0).toString(), SALT);
    QVERIFY(!client.is_busy());
    QVERIFY(client.request(MAIL));
    QVERIFY(spy.wait(10000));
    QCOMPARE(spy.size(), 2);
}

QTEST_GUILESS_MAIN(Tst_Dlg_Salt)
#include "tst_dlg_salt.moc"
