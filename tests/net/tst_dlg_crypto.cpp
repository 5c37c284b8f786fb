// Password digests of a route against published test vectors.
#include "kv_crypto.h"

#include <QtTest>

class Tst_Dlg_Crypto : public QObject {
    Q_OBJECT
private slots:
    void md5_rfc1321_suite_data();
    void md5_rfc1321_suite();
    void pbkdf2_sha512_vectors_data();
    void pbkdf2_sha512_vectors();
    void pbkdf2_bad_parameters();
};

void Tst_Dlg_Crypto::md5_rfc1321_suite_data()
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

void Tst_Dlg_Crypto::md5_rfc1321_suite()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, digest);
    QCOMPARE(QByteArray::fromStdString(kv_crypto::md5_hex(input.toStdString())), digest);
}

void Tst_Dlg_Crypto::pbkdf2_sha512_vectors_data()
{
    QTest::addColumn<QByteArray>("password");
    QTest::addColumn<QByteArray>("salt");
    QTest::addColumn<int>("iterations");
    QTest::addColumn<QByteArray>("key");
    QTest::newRow("c=1") << QByteArray("password") << QByteArray("salt") << 1
                         << QByteArray("867f70cf1ade02cff3752599a3a53dc4af34c7a669815ae5d513554e1c8cf252"
                                       "c02d470a285a0501bad999bfe943c08f050235d7d68b1da55e63f73b60a57fce");
    QTest::newRow("long") << QByteArray("passwordPASSWORDpassword")
                          << QByteArray("saltSALTsaltSALTsaltSALTsaltSALTsalt") << 4096
                          << QByteArray("8c0511f4c6e597c6ac6315d8f0362e225f3c501495ba23b868c005174dc4ee71"
                                        "115b59f9e60cd9532fa33e0f75aefe30225c583a186cd82bd4daea9724a3d3b8");
}

void Tst_Dlg_Crypto::pbkdf2_sha512_vectors()
{
    QFETCH(QByteArray, password);
    QFETCH(QByteArray, salt);
    QFETCH(int, iterations);
    QFETCH(QByteArray, key);
    const std::string hex = kv_crypto::pbkdf2_sha512_hex(password.toStdString(), salt.toStdString(), iterations, 64);
    QCOMPARE(QByteArray::fromStdString(hex), key);
}

void Tst_Dlg_Crypto::pbkdf2_bad_parameters()
{
    QVERIFY(kv_crypto::pbkdf2_sha512_hex("password", "salt", 0, 64).empty());
    QVERIFY(kv_crypto::pbkdf2_sha512_hex("password", "salt", 1, 0).empty());
}

QTEST_GUILESS_MAIN(Tst_Dlg_Crypto)
#include "tst_dlg_crypto.moc"
