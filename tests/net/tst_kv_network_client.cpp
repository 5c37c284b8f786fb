#include <QtTest>

#include <cstring>

#include "kv_addr.h"
#include "kv_network_client.h"
#include "kv_project_db.h"
#include "test_controller.h"
#include "../core/records_test_util.h"
#include "../app/kv_trace_capture.h"

namespace {
// A client, a controller for it and what the client reports.
struct Link {
    Test_Controller controller;
    CKV_Studio_Network_Client client;
    KV_Routes::_route route;
    std::vector<bool> reports;
    KV_Routes::_route reported_route;
    std::vector<uint32_t> messages;
    std::vector<std::string> texts;
    std::vector<KV_Addr_Tgm> netvars;

    explicit Link(int supervision_ms = 60000, int grace_ms = 50, CKV_Project_Db* project = nullptr)
        : client(project)
    {
        client.set_intervals(supervision_ms, grace_ms);
        route.m_str_name = "test controller";
        route.m_str_ip = "127.0.0.1:" + std::to_string(controller.port());
        QObject::connect(&client, &CKV_Studio_Network_Client::onConnectClient, &client,
                         [this](bool connected, KV_Routes::_route r) {
                             reports.push_back(connected);
                             reported_route = r;
                         });
        QObject::connect(&client, qOverload<CKV_Network_Msg*, uchar*>(&CKV_Studio_Network_Client::onDataReadClient),
                         &client, [this](CKV_Network_Msg* header, uchar* data) {
                             messages.push_back(header->id);
                             texts.emplace_back(data ? reinterpret_cast<char*>(data) : "");
                         });
        QObject::connect(&client, qOverload<KV_Addr_Tgm>(&CKV_Studio_Network_Client::onDataReadClient), &client,
                         [this](KV_Addr_Tgm tgm) { netvars.push_back(tgm); });
    }
    bool connect() { return client.connect_route(&route); }
};
} // namespace

class TestKvNetworkClient : public QObject {
    Q_OBJECT
private slots:
    void endpoint_of_a_route()
    {
        const struct { bool online; const char* ip; const char* dns; const char* host; int port; } rows[] = {
            {false, "192.168.1.20", "", "192.168.1.20", 10001}, {false, "ctrl.local:abc", "", "ctrl.local", 0},
            {false, "fe80::1", "", "fe80::1", 10001}, {true, "192.168.1.20", "vpn.example", "vpn.example", 10003},
            {true, "", "vpn.example:4001", "vpn.example", 4001}};
        for (const auto& row : rows) {
            KV_Routes::_route route;
            route.m_use_kv_dns_svr = row.online;
            route.m_str_ip = row.ip;
            route.m_str_dns_vpn = row.dns;
            const KV_Endpoint endpoint = kv_route_endpoint(route);
            QVERIFY2(endpoint.host == row.host && endpoint.port == row.port, qPrintable(QString(row.ip) + row.dns));
        }
    }

    void missing_route_or_online_host()
    {
        CKV_Studio_Network_Client client;
        QVERIFY(!client.connect_route(nullptr));
        QVERIFY(!client.is_reconnect_wanted());
        QCOMPARE(client.socket()->state(), QAbstractSocket::UnconnectedState);

        KV_Routes::_route route;
        route.m_use_kv_dns_svr = true;
        QVERIFY(client.connect_route(&route));
        const KV_Endpoint endpoint = kv_route_endpoint(client.route());
        QCOMPARE(endpoint.host, QString("connect.kirovantor3.net"));
        QCOMPARE(endpoint.port, quint16(10003));
    }

    void connects_reports_and_exchanges_messages()
    {
        Link link;
        QVERIFY(!link.client.send(kv_msg::KEEP_ALIVE));
        QVERIFY(!link.client.send_text(kv_msg::FILE_REQUEST, "x"));
        QVERIFY(!link.client.send_netvar(test_netvar(1, 1, 1, 1)));
        QCOMPARE(link.client.bytes_sent(), quint32(0));

        QVERIFY(link.connect());
        QTRY_COMPARE(link.reports, std::vector<bool>{true});
        QVERIFY(link.client.is_connected());
        QCOMPARE(link.reported_route.m_str_name, link.route.m_str_name);
        QCOMPARE(link.reported_route.m_communication_version, 1);

        QVERIFY(link.client.send(kv_msg::KEEP_ALIVE));
        QVERIFY(link.client.send_text(kv_msg::FILE_REQUEST, KV_BOOT_PROJECT_FILE));
        QVERIFY(link.client.send_netvar(test_netvar(1, 1, 3, 1)));
        QCOMPARE(link.client.bytes_sent(), quint32(32 + 32 + 32 + 32 + 48));
        QTRY_COMPARE(link.controller.received.size(), size_t(3));
        QCOMPARE(link.controller.received[0].id, kv_msg::KEEP_ALIVE);
        QCOMPARE(link.controller.received[1].payload, std::string(KV_BOOT_PROJECT_FILE) + '\0');
        QCOMPARE(link.controller.received[2].tgm.dest_address[2], 3u);

        link.controller.send(kv_msg::LOGIN_ACCEPTED);
        link.controller.send_netvar(test_netvar(1, 1, 6, 1));
        link.controller.send(1103, "1");
        QTRY_COMPARE(link.messages.size(), size_t(2));
        QCOMPARE(link.messages, (std::vector<uint32_t>{kv_msg::LOGIN_ACCEPTED, 1103}));
        QCOMPARE(link.texts[1], std::string("1"));
        QCOMPARE(link.netvars.size(), size_t(1));
        QCOMPARE(link.netvars[0].dest_address[2], 6u);
    }

    void loss_within_grace_is_reported_when_the_grace_ends()
    {
        Link link(60000, 400);
        link.connect();
        QTRY_COMPARE(link.reports.size(), size_t(1));
        QTest::qWait(100);
        link.controller.last()->close();
        QTest::qWait(150);
        QCOMPARE(link.reports, std::vector<bool>{true}); // still inside the grace
        QTRY_COMPARE(link.reports, (std::vector<bool>{true, false}));

        // Our own disconnect within the grace stays quiet.
        link.connect();
        QTRY_COMPARE(link.reports.size(), size_t(3));
        link.client.disconnect_route();
        QVERIFY(!link.client.is_connected());
        QTRY_COMPARE(link.controller.disconnections, 2);
        QTest::qWait(500);
        QCOMPARE(link.reports, (std::vector<bool>{true, false, true}));

        // After the grace our own disconnect is reported at once (connecting
        // again closes the old connection: checked through the main window).
        link.connect();
        QTRY_COMPARE(link.reports.size(), size_t(4));
        QTest::qWait(500);
        link.client.disconnect_route();
        QCOMPARE(link.reports, (std::vector<bool>{true, false, true, true, false}));
        QVERIFY(!link.client.is_reconnect_wanted());
        QVERIFY(!link.client.send(kv_msg::KEEP_ALIVE));
    }

    void supervision_reconnects_a_lost_connection()
    {
        Link link(300, 50);
        link.connect();
        QTRY_COMPARE(link.reports.size(), size_t(1));
        QTest::qWait(100);
        link.controller.last()->close();
        QTRY_COMPARE(link.controller.connections.size(), size_t(2));
        QTRY_COMPARE(link.reports, (std::vector<bool>{true, false, true}));
        QVERIFY(link.client.is_reconnect_wanted());

        // Nobody listens: every tick tries again until somebody does.
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        const quint16 port = probe.serverPort();
        probe.close();
        Link absent(200, 50);
        absent.route.m_str_ip = "127.0.0.1:" + std::to_string(port);
        absent.connect();
        QTest::qWait(450);
        QVERIFY(absent.reports.empty());
        QTcpServer late;
        QVERIFY(late.listen(QHostAddress::LocalHost, port));
        QTRY_COMPARE(absent.reports, std::vector<bool>{true});
    }

    // Values keep the link alive (keep-alive answers are checked against the
    // simulator through the main window).
    void silent_connection_is_dropped_and_connected_again()
    {
        Link link(200, 50);
        link.connect();
        QTRY_VERIFY(link.controller.last());
        QTimer alive;
        connect(&alive, &QTimer::timeout, this, [&] { link.controller.send_netvar(test_netvar(1, 1, 1, 1)); });
        alive.start(50);
        QTest::qWait(1000);
        QCOMPARE(link.controller.disconnections, 0);
        QVERIFY(link.client.is_connected());

        alive.stop();
        QTRY_COMPARE(link.controller.disconnections, 1);
        QTRY_COMPARE(link.reports, (std::vector<bool>{true, false, true}));
        QCOMPARE(link.controller.connections.size(), size_t(2));
        QVERIFY(link.client.is_reconnect_wanted());
    }

    void unanswered_keep_alive_drops_the_link_before_the_supervision()
    {
        Link link(2000, 50); // the answer is owed for 500 ms
        link.connect();
        QTRY_VERIFY(link.client.is_connected());
        QTest::qWait(100); // past the grace
        Trace_Capture trace;
        link.client.send(kv_msg::KEEP_ALIVE);
        QTRY_COMPARE(link.reports, (std::vector<bool>{true, false, true}));
        QVERIFY(trace.text().contains("keep-alive unanswered"));

        // A value in answer settles it: the new link stays.
        QTRY_COMPARE(link.controller.connections.size(), size_t(2));
        link.client.send(kv_msg::KEEP_ALIVE);
        link.controller.send_netvar(test_netvar(1, 1, 1, 1));
        QTest::qWait(1000);
        QCOMPARE(link.reports.size(), size_t(3));
    }

    void hostile_input_keeps_the_connection()
    {
        Link link;
        link.connect();
        QTRY_VERIFY(link.client.is_connected());

        Trace_Capture trace;
        link.controller.send_raw(std::vector<uint8_t>(100, 0xa5));
        QTest::qWait(200);
        link.controller.send(kv_msg::LOGIN_ACCEPTED);
        QTRY_COMPARE(link.messages, std::vector<uint32_t>{kv_msg::LOGIN_ACCEPTED});
        QVERIFY(link.client.is_connected());
        QCOMPARE(link.controller.disconnections, 0);
        QVERIFY(trace.text().contains("ERR:ZRQ"));
    }

    void netvar_flood_lets_events_run()
    {
        Link link;
        int netvars = 0;
        int netvars_when_timer_ran = -1;
        bool in_order = true;
        connect(&link.client, qOverload<KV_Addr_Tgm>(&CKV_Studio_Network_Client::onDataReadClient), this,
                [&](KV_Addr_Tgm tgm) {
                    in_order &= tgm.dest_address[2] == uint32_t(netvars) + 1;
                    if (netvars++ == 0)
                        QTimer::singleShot(0, this, [&] { netvars_when_timer_ran = netvars; });
                });
        link.connect();
        QTRY_VERIFY(link.controller.last());
        // One write, larger than a read piece, so that the client reads it
        // in a few pieces.
        std::vector<uint8_t> burst;
        KV_Cipher encipher(KV_Cipher::Direction::Encipher);
        for (uint32_t i = 0; i < 4000; ++i) {
            const KV_Addr_Tgm tgm = test_netvar(1, 1, i + 1, 1);
            std::vector<uint8_t> frame;
            kv_frame_message(encipher, kv_msg::NETVAR, &tgm, kv_netvar_data_length(tgm), frame);
            burst.insert(burst.end(), frame.begin(), frame.end());
        }
        QVERIFY(burst.size() > size_t(CKV_Studio_Network_Client::READ_PIECE));
        link.controller.send_raw(burst);
        QTRY_COMPARE(netvars, 4000);
        QVERIFY(in_order);
        QVERIFY(netvars_when_timer_ran > 0);
        QVERIFY2(netvars_when_timer_ran <= 102, qPrintable(QString::number(netvars_when_timer_ran)));
    }

    void send_netvar_from_the_project()
    {
        CKV_Project_Db project;
        project.m_settings_knx.m_addr_src = "1.1.250";
        project.m_addr.add_address(KV_Addr_Db(fields("m_addr_write=1/2/3|m_data_typ=1")));
        project.m_addr.add_address(KV_Addr_Db(fields("m_addr_write=3/1/7|m_data_typ=5")));
        Link link(60000, 50, &project);

        // Disconnected: the project still takes the value, nothing is sent.
        QVERIFY(!link.client.send_netvar(KV_Group_Address{1, 2, 3}, 1.0));
        QCOMPARE(value_as_double(*project.m_addr.find_address(1, 2, 3)), 1.0);

        link.connect();
        QTRY_VERIFY(link.client.is_connected());
        QVERIFY(!link.client.send_netvar(KV_Group_Address{9, 9, 9}, 1.0));
        QVERIFY(link.client.send_netvar(KV_Group_Address{3, 1, 7}, 21.5));
        QVERIFY(link.client.send_netvar(KV_Group_Address{1, 2, 3}, 0.0));
        QTRY_COMPARE(link.controller.received.size(), size_t(2));

        const KV_Addr_Tgm& t = link.controller.received[0].tgm;
        QCOMPARE((std::vector<uint32_t>{t.source_module, t.dest_module, t.command, t.source_address[0],
                                        t.source_address[1], t.source_address[2], t.dest_address[0], t.dest_address[2],
                                        t.data_type, t.m_data_length}),
                 (std::vector<uint32_t>{4, 2, KV_TGM_WRITE, 1, 1, 250, 3, 7, 5, 2}));
        QCOMPARE(value_as_double(*project.m_addr.find_address(3, 1, 7)), 21.5);
        QCOMPARE(std::memcmp(t.value, project.m_addr.find_address(3, 1, 7)->m_data, 2), 0);
        QCOMPARE(link.controller.received[1].tgm.value[0], uint8_t(0));
        // 1-bit type: 45 + 1 bytes, one block of fill.
        QCOMPARE(link.client.bytes_sent(), quint32(2 * (32 + 48)));

        // Without a length it is still sent, with a trace; beyond 255 it is not.
        KV_Addr_Tgm tgm = test_netvar(1, 1, 1, 0);
        tgm.m_data_length = 0;
        Trace_Capture trace;
        QVERIFY(link.client.send_netvar(tgm));
        tgm.m_data_length = 256;
        QVERIFY(!link.client.send_netvar(tgm));
        QVERIFY(trace.text().contains("ERROR::send_netvar: m_data_length==0"));
        QCOMPARE(link.client.bytes_sent(), quint32(3 * (32 + 48)));
    }
};

QTEST_GUILESS_MAIN(TestKvNetworkClient)
#include "tst_kv_network_client.moc"
