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
        connect(&search, &CKV_Target_Search::entry_found, this, [&](int index, QString name, KV_Routes::_route) {
            QCOMPARE(index, int(found.size()));
            found.push_back(name);
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
        // A direct route to where the answer came from, not where the controller believes it is.
        const KV_Routes::_route& route = search.entries()[0].route;
        QCOMPARE(route.m_use_kv_dns_svr, false);
        QCOMPARE(route.m_str_ip, std::string("127.0.0.1"));
        QCOMPARE(route.m_str_user, std::string("root"));
        QCOMPARE(route.m_str_passwd_md5, kv_crypto::md5_hex("werk-zugang"));

        // A new start forgets what was found.
        search.start();
        QVERIFY(search.entries().empty());
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
