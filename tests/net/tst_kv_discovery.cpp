#include <QtTest>

#include <QNetworkDatagram>
#include <QUdpSocket>

#include "kv_discovery.h"
#include "kv_test_answer_flood.h"

namespace {
// A controller that answers every request it hears, answers_per_request times.
class Fake_Controller : public QObject {
public:
    Fake_Controller(const std::string& ip, const std::string& mac, int answers_per_request = 1)
    {
        m_socket.bind(QHostAddress::LocalHost, 0);
        KV_SysInfo info;
        info.m_str_ip = ip;
        info.m_str_mac = mac;
        const QByteArray answer = QByteArray::fromStdString(info.encode());
        connect(&m_socket, &QUdpSocket::readyRead, this, [this, answer, answers_per_request] {
            while (m_socket.hasPendingDatagrams()) {
                const QNetworkDatagram request = m_socket.receiveDatagram();
                requests.push_back(request.data());
                for (int i = 0; i < answers_per_request; ++i)
                    m_socket.writeDatagram(answer, request.senderAddress(), request.senderPort());
            }
        });
    }
    quint16 port() const { return m_socket.localPort(); }
    std::vector<QByteArray> requests;

private:
    QUdpSocket m_socket;
};

void ticks(CKV_Target_Search& search, int count)
{
    for (int tick = 0; tick < count; ++tick)
        search.slot_timeout();
}
} // namespace

class TestKvDiscovery : public QObject {
    Q_OBJECT
private slots:
    void request_leaves_every_sixth_tick()
    {
        Fake_Controller controller("10.0.0.9", "aa");
        CKV_Target_Search search(nullptr, 0);
        search.set_target(QHostAddress::LocalHost, controller.port());
        std::vector<int> progress;
        connect(&search, &CKV_Target_Search::progress_changed, this, [&](int p) { progress.push_back(p); });
        search.start();
        ticks(search, 7);
        QTRY_COMPARE(controller.requests.size(), size_t(2));
        QCOMPARE(controller.requests[0], QByteArray("KIRO_VANTOR_BROADCAST_SEARCH"));
        QCOMPARE(progress, (std::vector<int>{0, 20, 40, 60, 80, 100, 0, 20}));
    }

    void finds_each_controller_once_with_the_sender_address()
    {
        Fake_Controller first("10.0.0.9", "00:11:22:33:44:55", 3);
        Fake_Controller second("10.0.0.10", "66:77:88:99:aa:bb");
        CKV_Target_Search search(nullptr, 0);
        std::vector<QString> found;
        connect(&search, &CKV_Target_Search::entries_added, this, [&](int first, int count) {
            QCOMPARE(first, int(found.size()));
            for (int i = first; i < first + count; ++i)
                found.push_back(search.entries()[size_t(i)].name);
        });
        search.set_target(QHostAddress::LocalHost, first.port());
        search.start();
        ticks(search, 12);
        QTRY_COMPARE(first.requests.size(), size_t(2));
        search.set_target(QHostAddress::LocalHost, second.port());
        ticks(search, 6);
        QTRY_COMPARE(found.size(), size_t(2));
        QTest::qWait(100); // the late copies of the first answers
        QCOMPARE(search.entries().size(), size_t(2));
        QCOMPARE(found, (std::vector<QString>{"10.0.0.9_00:11:22:33:44:55", "10.0.0.10_66:77:88:99:aa:bb"}));

        // A new start forgets what was found.
        search.start();
        QVERIFY(search.entries().empty());
    }

    // (A MAC written differently at a new address is the same controller:
    // checked with a flood of such answers through the target dialog.)
    void same_controller_same_identity_data()
    {
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QByteArray>("second");
        QTest::addColumn<bool>("same");
        const auto answer = [](std::string serial, std::string mac, std::string ip = "10.0.0.1") {
            KV_SysInfo info;
            info.m_str_serial = serial;
            info.m_str_mac = mac;
            info.m_str_ip = ip;
            return QByteArray::fromStdString(info.encode());
        };
        QTest::newRow("other serial") << answer("S1", "00:1a") << answer("S2", "00:1a") << false;
        QTest::newRow("other MAC") << answer("S1", "00:1a") << answer("S1", "00:1b") << false;
        QTest::newRow("neither, same name") << answer("", "") << answer("", "") << true;
        QTest::newRow("neither, other name") << answer("", "") << answer("", "", "10.0.0.2") << false;
    }
    void same_controller_same_identity()
    {
        QFETCH(QByteArray, first);
        QFETCH(QByteArray, second);
        QFETCH(bool, same);
        const QHostAddress sender(QStringLiteral("192.168.1.5"));
        QCOMPARE(kv_parse_search_answer(first, sender)->identity == kv_parse_search_answer(second, sender)->identity,
                 same);
    }

    void refused_answers()
    {
        const QHostAddress sender(QStringLiteral("192.168.1.5"));
        QVERIFY(!kv_parse_search_answer("KIRO_VANTOR_BROADCAST_SEARCH", sender));
        QVERIFY(!kv_parse_search_answer(QByteArray(KV_SEARCH_MAX_ANSWER + 1, 'x'), sender));
        QVERIFY(kv_parse_search_answer(QByteArray(KV_SEARCH_MAX_ANSWER, 'x'), sender));
    }

    void answers_beyond_one_batch_are_all_read()
    {
        // Nothing arrives after the burst, so what one turn leaves must still be read.
        CKV_Target_Search search(nullptr, 0);
        search.start();
        QUdpSocket sender;
        const std::vector<QByteArray> answers = kv_test_search_answers(KV_SEARCH_BATCH * 3 + 1, false);
        for (const QByteArray& answer : answers)
            sender.writeDatagram(answer, QHostAddress::LocalHost, search.listen_port());
        QTRY_COMPARE(search.entries().size(), answers.size());
    }

    void own_request_is_ignored()
    {
        CKV_Target_Search search(nullptr, 0);
        search.set_target(QHostAddress::LocalHost, search.listen_port());
        search.start();
        search.slot_timeout();
        // Anything else still becomes an entry, so the socket demonstrably
        // reads what arrives.
        QUdpSocket probe;
        probe.writeDatagram("KIRO_VANTOR_BROADCAST_SEARCH_", QHostAddress::LocalHost, search.listen_port());
        QTRY_COMPARE(search.entries().size(), size_t(1));
        QCOMPARE(search.entries()[0].name, QString("_"));
        QTest::qWait(100);
        QCOMPARE(search.entries().size(), size_t(1));

        // Other listeners share the port.
        CKV_Target_Search second(nullptr, search.listen_port());
        QCOMPARE(second.listen_port(), search.listen_port());
    }
};

QTEST_GUILESS_MAIN(TestKvDiscovery)
#include "tst_kv_discovery.moc"
