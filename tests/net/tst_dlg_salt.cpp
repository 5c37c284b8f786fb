// The password of an online account: the digests against published test
// vectors, the salt request against local HTTP responders.
#include "kv_crypto.h"
#include "kv_salt_client.h"
#include "kv_test_http_responder.h"

#include <QtTest>

namespace {
const QByteArray SALT_BODY = "SALT_OK: 0123456789abcdef0123456789ABCDEF-tail-beyond-32";
const QString SALT = QStringLiteral("0123456789abcdef0123456789ABCDEF");
const QString MAIL = QStringLiteral("user+1@example.com");

CKV_Salt_Client::Endpoint local_endpoint(quint16 first, quint16 second)
{
    CKV_Salt_Client::Endpoint endpoint;
    endpoint.base_url = QStringLiteral("http://127.0.0.1");
    endpoint.first_port = first;
    endpoint.second_port = second;
    endpoint.timeout_ms = 300;
    return endpoint;
}
} // namespace

class Tst_Dlg_Salt : public QObject {
    Q_OBJECT
private slots:
    void md5_rfc1321_suite_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("digest");
        QTest::newRow("empty") << QByteArray("") << QByteArray("d41d8cd98f00b204e9800998ecf8427e");
        QTest::newRow("abc") << QByteArray("abc") << QByteArray("900150983cd24fb0d6963f7d28e17f72");
        QTest::newRow("two blocks") << QByteArray("1234567890").repeated(8) << QByteArray("57edf4a22be3c955ac49da2e2107b67a");
        // Latin-1 is one byte per character; a NUL inside does not end the input.
        QTest::newRow("latin-1 umlaut") << QByteArray("\xe4") << QByteArray("c15bcc5577f9fade4b4a3256190a59b0");
        QTest::newRow("inner NUL") << QByteArray("a\0b", 3) << QByteArray("70350f6027bce3713f6b76473084309b");
    }
    void md5_rfc1321_suite()
    {
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, digest);
        QCOMPARE(QByteArray::fromStdString(kv_crypto::md5_hex(input.toStdString())), digest);
    }

    void pbkdf2_sha512_vectors()
    {
        const struct { const char* password; const char* salt; int iterations; const char* key; } rows[] = {
            {"password", "salt", 1,
             "867f70cf1ade02cff3752599a3a53dc4af34c7a669815ae5d513554e1c8cf252"
             "c02d470a285a0501bad999bfe943c08f050235d7d68b1da55e63f73b60a57fce"},
            {"passwordPASSWORDpassword", "saltSALTsaltSALTsaltSALTsaltSALTsalt", 4096,
             "8c0511f4c6e597c6ac6315d8f0362e225f3c501495ba23b868c005174dc4ee71"
             "115b59f9e60cd9532fa33e0f75aefe30225c583a186cd82bd4daea9724a3d3b8"}};
        for (const auto& row : rows)
            QCOMPARE(kv_crypto::pbkdf2_sha512_hex(row.password, row.salt, row.iterations, 64), std::string(row.key));
        QVERIFY(kv_crypto::pbkdf2_sha512_hex("password", "salt", 0, 64).empty());
        QVERIFY(kv_crypto::pbkdf2_sha512_hex("password", "salt", 1, 0).empty());
    }

    void first_port_then_second_data()
    {
        // first status -1: nothing listens there; 0: a server that never answers.
        QTest::addColumn<int>("first_status");
        QTest::addColumn<QByteArray>("first_body");
        QTest::addColumn<int>("second_status");
        QTest::addColumn<QString>("result");
        QTest::newRow("200") << 200 << SALT_BODY << 200 << SALT;
        QTest::newRow("304 has no body") << 304 << SALT_BODY << 200 << CKV_Salt_Client::RESULT_ERROR;
        QTest::newRow("401") << 401 << QByteArray() << 200 << CKV_Salt_Client::RESULT_NO_ACCOUNT;
        QTest::newRow("prefix only") << 200 << QByteArray("SALT_OK: ") << 200 << CKV_Salt_Client::RESULT_ERROR;
        QTest::newRow("one character") << 200 << QByteArray("SALT_OK: x") << 200 << QStringLiteral("x");
        QTest::newRow("500 then 200") << 500 << QByteArray() << 200 << SALT;
        QTest::newRow("500 then 401") << 500 << QByteArray() << 401 << CKV_Salt_Client::RESULT_NO_ACCOUNT;
        QTest::newRow("500 then 404") << 500 << QByteArray() << 404 << CKV_Salt_Client::RESULT_ERROR;
        QTest::newRow("closed then 200") << -1 << QByteArray() << 200 << SALT;
        QTest::newRow("both time out") << 0 << QByteArray() << 0 << CKV_Salt_Client::RESULT_ERROR;
    }
    void first_port_then_second()
    {
        QFETCH(int, first_status);
        QFETCH(QByteArray, first_body);
        QFETCH(int, second_status);
        QFETCH(QString, result);
        KV_Test_Http_Responder first(first_status, first_body);
        KV_Test_Http_Responder second(second_status, SALT_BODY);
        quint16 first_port = first.port();
        if (first_status < 0) {
            QTcpServer closed;
            closed.listen(QHostAddress::LocalHost, 0);
            first_port = closed.serverPort();
        }
        CKV_Salt_Client client(local_endpoint(first_port, second.port()));
        QSignalSpy spy(&client, &CKV_Salt_Client::salt_ready);
        QVERIFY(client.request(MAIL));
        QVERIFY(spy.wait(10000));
        QCOMPARE(spy.at(0).at(0).toString(), result);
        // Only a failure of the first port (not an answer) tries the second.
        const bool first_failed = first_status < 0 || first_status == 0 || first_status >= 500;
        if (first_status >= 0)
            QCOMPARE(first.paths(), QStringList{"/getSalt/user%2B1@example.com"});
        QCOMPARE(second.paths().size(), first_failed ? 1 : 0);
    }

    void one_request_at_a_time()
    {
        KV_Test_Http_Responder first(0, {});
        KV_Test_Http_Responder second(200, SALT_BODY);
        CKV_Salt_Client client(local_endpoint(first.port(), second.port()));
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
};

QTEST_GUILESS_MAIN(Tst_Dlg_Salt)
#include "tst_dlg_salt.moc"
