// Password digests of a route against published test vectors.
#include "kv_crypto.h"

#include <QtTest>

class Tst_Dlg_Crypto : public QObject {
    Q_OBJECT
private slots:
    void md5_rfc1321_suite_data();
    void md5_rfc1321_suite();
    void md5_takes_raw_bytes();
    void pbkdf2_sha512_vectors_data();
    void pbkdf2_sha512_vectors();
    void pbkdf2_route_defaults();
    void pbkdf2_rejects_bad_parameters();
};

void Tst_Dlg_Crypto::md5_rfc1321_suite_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("digest");
    QTest::newRow("empty") << QByteArray("") << QByteArray("d41d8cd98f00b204e9800998ecf8427e");
    QTest::newRow("a") << QByteArray("a") << QByteArray("0cc175b9c0f1b6a831c399e269772661");
    QTest::newRow("abc") << QByteArray("abc") << QByteArray("900150983cd24fb0d6963f7d28e17f72");
    QTest::newRow("message digest") << QByteArray("message digest")
                                    << QByteArray("f96b697d7cb7938d525a2f31aaf161d0");
    QTest::newRow("alphabet") << QByteArray("abcdefghijklmnopqrstuvwxyz")
                              << QByteArray("c3fcd3d76192e4007dfb496cca67e13b");
    QTest::newRow("alnum") << QByteArray("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789")
                           << QByteArray("d174ab98d277d9f5a5611c2c9f419d9f");
    QTest::newRow("digits") << QByteArray("1234567890123456789012345678901234567890"
                                          "1234567890123456789012345678901234567890")
                            << QByteArray("57edf4a22be3c955ac49da2e2107b67a");
}

void Tst_Dlg_Crypto::md5_rfc1321_suite()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, digest);
    QCOMPARE(QByteArray::fromStdString(kv_crypto::md5_hex(input.toStdString())), digest);
}

void Tst_Dlg_Crypto::md5_takes_raw_bytes()
{
    // A Latin-1 password with an umlaut is one byte per character; a NUL
    // inside the bytes must not end the input.
    QCOMPARE(kv_crypto::md5_hex(QString::fromUtf8("ä").toLatin1().toStdString()),
             std::string("c15bcc5577f9fade4b4a3256190a59b0"));
    QVERIFY(kv_crypto::md5_hex(std::string("a\0b", 3)) != kv_crypto::md5_hex("a"));
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
    QTest::newRow("c=2") << QByteArray("password") << QByteArray("salt") << 2
                         << QByteArray("e1d9c16aa681708a45f5c7c4e215ceb66e011a2e9f0040713f18aefdb866d53c"
                                       "f76cab2868a39b9f7840edce4fef5a82be67335c77a6068e04112754f27ccf4e");
    QTest::newRow("c=4096") << QByteArray("password") << QByteArray("salt") << 4096
                            << QByteArray("d197b1b33db0143e018b12f3d1d1479e6cdebdcc97c5c0f87f6902e072f457b5"
                                          "143f30602641b3d55cd335988cb36b84376060ecd532e039b742a239434af2d5");
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

void Tst_Dlg_Crypto::pbkdf2_route_defaults()
{
    // The online digest uses 10,000 rounds and 64 bytes: 128 hex characters,
    // different from the same input with fewer rounds.
    const std::string hex = kv_crypto::pbkdf2_sha512_hex("password", "salt");
    QCOMPARE(hex.size(), size_t(128));
    QCOMPARE(hex, kv_crypto::pbkdf2_sha512_hex("password", "salt", 10000, 64));
    QVERIFY(hex != kv_crypto::pbkdf2_sha512_hex("password", "salt", 4096, 64));
    QCOMPARE(hex.find_first_not_of("0123456789abcdef"), std::string::npos);
}

void Tst_Dlg_Crypto::pbkdf2_rejects_bad_parameters()
{
    QVERIFY(kv_crypto::pbkdf2_sha512_hex("password", "salt", 0, 64).empty());
    QVERIFY(kv_crypto::pbkdf2_sha512_hex("password", "salt", 1, 0).empty());
}

QTEST_GUILESS_MAIN(Tst_Dlg_Crypto)
#include "tst_dlg_crypto.moc"
