#include <QtTest>

#include <QNetworkDatagram>
#include <QUdpSocket>

#include "kv_crypto.h"
#include "kv_discovery.h"

namespace {
// A controller that answers every request it hears, answers_per_request times.
class Fake_Controller : public QObject {
public:
    Fake_Controller(const std::string& ip, const std::string& mac, int answers_per_request = 1)
    {
        m_socket.bind(QHostAddress::LocalHost, 0);
        KV_SysInfo info;
        info.m_str_name = "Demo";
        info.m_str_ip = ip;
        info.m_str_mac = mac;
        m_answer = QByteArray::fromStdString(info.encode());
        connect(&m_socket, &QUdpSocket::readyRead, this, [this, answers_per_request] {
            while (m_socket.hasPendingDatagrams()) {
                const QNetworkDatagram request = m_socket.receiveDatagram();
                requests.push_back(request.data());
                for (int i = 0; i < answers_per_request; ++i)
                    m_socket.writeDatagram(m_answer, request.senderAddress(), request.senderPort());
            }
        });
    }
    quint16 port() const { return m_socket.localPort(); }
    std::vector<QByteArray> requests;

private:
    QUdpSocket m_socket;
    QByteArray m_answer;
};
} // namespace

class TestKvDiscovery : public QObject {
    Q_OBJECT
private slots:
    void answer_becomes_a_direct_route_to_the_sender()
    {
        KV_SysInfo answer;
        answer.m_str_ip = "10.0.0.9"; // what the controller believes
        answer.m_str_mac = "00:11:22:33:44:55";
        const KV_Routes::_route route = kv_route_from_search_answer(answer, "192.168.1.77");
        QCOMPARE(route.m_use_kv_dns_svr, false);
        QCOMPARE(route.m_str_name, std::string("10.0.0.9_00:11:22:33:44:55"));
        QCOMPARE(route.m_str_ip, std::string("192.168.1.77"));
        QCOMPARE(route.m_str_user, std::string("root"));
        QCOMPARE(route.m_str_passwd_md5, kv_crypto::md5_hex("werk-zugang"));
        QCOMPARE(route.m_str_passwd_md5.size(), size_t(32));
    }

    void request_leaves_every_sixth_tick()
    {
        Fake_Controller controller("10.0.0.9", "aa");
        CKV_Target_Search search(nullptr, 0);
        search.set_target(QHostAddress::LocalHost, controller.port());
        std::vector<int> progress;
        connect(&search, &CKV_Target_Search::progress_changed, this, [&](int p) { progress.push_back(p); });
        search.start();
        QCOMPARE(search.progress(), 0);
        for (int tick = 0; tick < 7; ++tick)
            search.slot_timeout();
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
        connect(&search, &CKV_Target_Search::entry_found, this,
                [&](int index, QString name, KV_Routes::_route) {
                    QCOMPARE(index, int(found.size()));
                    found.push_back(name);
                });
        search.set_target(QHostAddress::LocalHost, first.port());
        search.start();
        for (int round = 0; round < 2; ++round) {
            for (int tick = 0; tick < 6; ++tick)
                search.slot_timeout();
        }
        QTRY_COMPARE(first.requests.size(), size_t(2));
        search.set_target(QHostAddress::LocalHost, second.port());
        for (int tick = 0; tick < 6; ++tick)
            search.slot_timeout();
        QTRY_COMPARE(found.size(), size_t(2));
        QTest::qWait(100); // the late copies of the first answers
        QCOMPARE(search.entries().size(), size_t(2));
        QCOMPARE(found[0], QString("10.0.0.9_00:11:22:33:44:55"));
        QCOMPARE(search.entries()[0].route.m_str_ip, std::string("127.0.0.1"));
        QCOMPARE(found[1], QString("10.0.0.10_66:77:88:99:aa:bb"));

        // A new start forgets what was found.
        search.start();
        QVERIFY(search.entries().empty());
    }

    void own_request_is_ignored()
    {
        CKV_Target_Search search(nullptr, 0);
        search.set_target(QHostAddress::LocalHost, search.listen_port());
        QUdpSocket probe;
        probe.bind(QHostAddress::LocalHost, 0);
        search.start();
        search.slot_timeout();
        // Something that is not the request still becomes an entry, so the
        // socket demonstrably reads what arrives.
        probe.writeDatagram("KIRO_VANTOR_BROADCAST_SEARCH_", QHostAddress::LocalHost, search.listen_port());
        QTRY_COMPARE(search.entries().size(), size_t(1));
        QCOMPARE(search.entries()[0].name, QString("_"));
        QTest::qWait(100);
        QCOMPARE(search.entries().size(), size_t(1));
    }

    void shares_the_port_with_other_listeners()
    {
        CKV_Target_Search first(nullptr, 0);
        QVERIFY(first.listen_port() != 0);
        CKV_Target_Search second(nullptr, first.listen_port());
        QCOMPARE(second.listen_port(), first.listen_port());
    }
};

QTEST_GUILESS_MAIN(TestKvDiscovery)
#include "tst_kv_discovery.moc"
