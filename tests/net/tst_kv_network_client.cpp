#include <QtTest>

#include <cstring>

#include "kv_addr.h"
#include "kv_network_client.h"
#include "kv_project_db.h"
#include "test_controller.h"
#include "trace_capture.h"

namespace {
KV_Routes::_route local_route(quint16 port)
{
    KV_Routes::_route route;
    route.m_str_name = "test controller";
    route.m_str_ip = "127.0.0.1:" + std::to_string(port);
    return route;
}

KV_Addr_Tgm netvar(uint32_t main, uint32_t middle, uint32_t sub, uint8_t value)
{
    KV_Addr_Tgm tgm;
    tgm.command = KV_TGM_WRITE;
    tgm.dest_address[0] = main;
    tgm.dest_address[1] = middle;
    tgm.dest_address[2] = sub;
    tgm.data_type = 1;
    tgm.m_data_length = 1;
    tgm.value[0] = value;
    return tgm;
}

// Records the client's connection reports.
struct Connection_Reports {
    std::vector<bool> reports;
    KV_Routes::_route last_route;
    explicit Connection_Reports(CKV_Studio_Network_Client& client)
    {
        QObject::connect(&client, &CKV_Studio_Network_Client::onConnectClient, &client,
                         [this](bool connected, KV_Routes::_route route) {
                             reports.push_back(connected);
                             last_route = route;
                         });
    }
};
} // namespace

class TestKvNetworkClient : public QObject {
    Q_OBJECT
private slots:
    void endpoint_of_a_route_data()
    {
        QTest::addColumn<bool>("online");
        QTest::addColumn<QString>("ip");
        QTest::addColumn<QString>("dns");
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port");
        QTest::newRow("direct") << false << "192.168.1.20" << "" << "192.168.1.20" << 10001;
        QTest::newRow("direct with port") << false << "192.168.1.20:4000" << "" << "192.168.1.20" << 4000;
        QTest::newRow("port not a number") << false << "ctrl.local:abc" << "" << "ctrl.local" << 0;
        QTest::newRow("ipv6 taken whole") << false << "fe80::1" << "" << "fe80::1" << 10001;
        QTest::newRow("online") << true << "192.168.1.20" << "vpn.example" << "vpn.example" << 10003;
        QTest::newRow("online with port") << true << "" << "vpn.example:4001" << "vpn.example" << 4001;
    }
    void endpoint_of_a_route()
    {
        QFETCH(bool, online);
        QFETCH(QString, ip);
        QFETCH(QString, dns);
        KV_Routes::_route route;
        route.m_use_kv_dns_svr = online;
        route.m_str_ip = ip.toStdString();
        route.m_str_dns_vpn = dns.toStdString();
        const KV_Endpoint endpoint = kv_route_endpoint(route);
        QTEST(endpoint.host, "host");
        QTEST(int(endpoint.port), "port");
    }

    void connects_reports_and_exchanges_messages()
    {
        Test_Controller controller;
        CKV_Studio_Network_Client client;
        Connection_Reports reports(client);
        std::vector<uint32_t> messages;
        std::vector<std::string> texts;
        std::vector<KV_Addr_Tgm> netvars;
        connect(&client, qOverload<CKV_Network_Msg*, uchar*>(&CKV_Studio_Network_Client::onDataReadClient), this,
                [&](CKV_Network_Msg* header, uchar* data) {
                    messages.push_back(header->id);
                    texts.emplace_back(data ? reinterpret_cast<char*>(data) : "");
                });
        connect(&client, qOverload<KV_Addr_Tgm>(&CKV_Studio_Network_Client::onDataReadClient), this,
                [&](KV_Addr_Tgm tgm) { netvars.push_back(tgm); });

        const KV_Routes::_route route = local_route(controller.port());
        QVERIFY(client.connect_route(&route));
        QTRY_COMPARE(reports.reports, std::vector<bool>{true});
        QVERIFY(client.is_connected());
        QCOMPARE(reports.last_route.m_str_name, route.m_str_name);
        QCOMPARE(reports.last_route.m_communication_version, 1);
        QCOMPARE(client.route().m_communication_version, 1);

        QVERIFY(client.send(kv_msg::KEEP_ALIVE));
        QVERIFY(client.send_text(kv_msg::FILE_REQUEST, KV_BOOT_PROJECT_FILE));
        QVERIFY(client.send_netvar(netvar(1, 2, 3, 1)));
        QCOMPARE(client.bytes_sent(), quint32(32 + 32 + 32 + 32 + 48));
        QTRY_COMPARE(controller.received.size(), size_t(3));
        QCOMPARE(controller.received[0].id, kv_msg::KEEP_ALIVE);
        QCOMPARE(controller.received[1].payload, std::string(KV_BOOT_PROJECT_FILE) + '\0');
        QCOMPARE(controller.received[2].tgm.dest_address[2], 3u);

        controller.send(kv_msg::LOGIN_ACCEPTED);
        controller.send_netvar(netvar(4, 5, 6, 1));
        controller.send(1103, "1");
        QTRY_COMPARE(messages.size(), size_t(2));
        QCOMPARE(messages, (std::vector<uint32_t>{kv_msg::LOGIN_ACCEPTED, 1103}));
        QCOMPARE(texts[1], std::string("1"));
        QCOMPARE(netvars.size(), size_t(1));
        QCOMPARE(netvars[0].dest_address[0], 4u);
    }

    void sending_is_refused_while_disconnected()
    {
        CKV_Studio_Network_Client client;
        QVERIFY(!client.send(kv_msg::KEEP_ALIVE));
        QVERIFY(!client.send_text(kv_msg::FILE_REQUEST, "x"));
        QVERIFY(!client.send_netvar(netvar(1, 1, 1, 1)));
        QCOMPARE(client.bytes_sent(), quint32(0));

        // Also after the connection is gone.
        Test_Controller controller;
        client.set_intervals(60000, 50);
        Connection_Reports reports(client);
        const KV_Routes::_route route = local_route(controller.port());
        client.connect_route(&route);
        QTRY_COMPARE(reports.reports.size(), size_t(1));
        QTest::qWait(100);
        controller.last()->close();
        QTRY_COMPARE(reports.reports, (std::vector<bool>{true, false}));
        QVERIFY(!client.send(kv_msg::KEEP_ALIVE));
    }

    void online_route_without_host_takes_the_online_server()
    {
        CKV_Studio_Network_Client client;
        KV_Routes::_route route;
        route.m_use_kv_dns_svr = true;
        route.m_str_dns_vpn.clear();
        QVERIFY(client.connect_route(&route));
        QCOMPARE(client.route().m_str_dns_vpn, std::string(KV_ONLINE_SERVER_HOST));
        const KV_Endpoint endpoint = kv_route_endpoint(client.route());
        QCOMPARE(endpoint.host, QString(KV_ONLINE_SERVER_HOST));
        QCOMPARE(endpoint.port, KV_PORT_ONLINE);
        client.disconnect_route();
        QVERIFY(!client.is_reconnect_wanted());
    }

    void no_route_does_nothing()
    {
        CKV_Studio_Network_Client client;
        QVERIFY(!client.connect_route(nullptr));
        QVERIFY(!client.is_reconnect_wanted());
        QCOMPARE(client.socket()->state(), QAbstractSocket::UnconnectedState);
    }

    void loss_within_grace_is_not_reported_later_loss_is()
    {
        Test_Controller controller;
        CKV_Studio_Network_Client client; // product grace of 1 s
        client.set_intervals(60000, CKV_Studio_Network_Client::GRACE_MS);
        Connection_Reports reports(client);
        const KV_Routes::_route route = local_route(controller.port());
        client.connect_route(&route);
        QTRY_COMPARE(reports.reports.size(), size_t(1));
        QTest::qWait(500);
        controller.last()->close();
        QTest::qWait(1000);
        QCOMPARE(reports.reports, std::vector<bool>{true});

        client.connect_route(&route);
        QTRY_COMPARE(controller.connections.size(), size_t(2));
        QTRY_COMPARE(reports.reports.size(), size_t(2));
        QTest::qWait(1500);
        controller.last()->close();
        QTRY_COMPARE(reports.reports, (std::vector<bool>{true, true, false}));
        QVERIFY(!client.is_connected());
    }

    void disconnect_within_grace_is_quiet_but_disconnected()
    {
        Test_Controller controller;
        CKV_Studio_Network_Client client;
        Connection_Reports reports(client);
        const KV_Routes::_route route = local_route(controller.port());
        client.connect_route(&route);
        QTRY_COMPARE(reports.reports.size(), size_t(1));
        client.disconnect_route();
        QVERIFY(!client.is_connected());
        QVERIFY(!client.send(kv_msg::KEEP_ALIVE));
        QTRY_COMPARE(controller.disconnections, 1);
        QCOMPARE(reports.reports, std::vector<bool>{true});

        // After grace an explicit disconnect is reported.
        client.set_intervals(60000, 50);
        client.connect_route(&route);
        QTRY_COMPARE(reports.reports.size(), size_t(2));
        QTest::qWait(100);
        client.disconnect_route();
        QCOMPARE(reports.reports, (std::vector<bool>{true, true, false}));
        QVERIFY(!client.is_connected());
    }

    void connecting_again_closes_the_old_connection()
    {
        Test_Controller controller;
        CKV_Studio_Network_Client client;
        client.set_intervals(60000, 50);
        const KV_Routes::_route route = local_route(controller.port());
        client.connect_route(&route);
        QTRY_VERIFY(client.is_connected());
        QTest::qWait(100);
        client.connect_route(&route);
        QTRY_COMPARE(controller.connections.size(), size_t(2));
        QTRY_COMPARE(controller.disconnections, 1);
        QTRY_COMPARE(controller.connections[1]->state(), QAbstractSocket::ConnectedState);
    }

    void supervision_reconnects_a_lost_connection()
    {
        Test_Controller controller;
        CKV_Studio_Network_Client client;
        client.set_intervals(300, 50);
        Connection_Reports reports(client);
        const KV_Routes::_route route = local_route(controller.port());
        client.connect_route(&route);
        QTRY_COMPARE(reports.reports.size(), size_t(1));
        QTest::qWait(100);
        controller.last()->close();
        QTRY_COMPARE(reports.reports.size(), size_t(2));
        QTRY_COMPARE(controller.connections.size(), size_t(2));
        QTRY_COMPARE(reports.reports, (std::vector<bool>{true, false, true}));
        QVERIFY(client.is_reconnect_wanted());
    }

    void reconnecting_retries_an_absent_controller()
    {
        // Nobody listens yet: every tick tries again.
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        const quint16 port = probe.serverPort();
        probe.close();
        CKV_Studio_Network_Client client;
        client.set_intervals(200, 50);
        Connection_Reports reports(client);
        const KV_Routes::_route route = local_route(port);
        client.connect_route(&route);
        QTest::qWait(450);
        QVERIFY(reports.reports.empty());

        QTcpServer late;
        QVERIFY(late.listen(QHostAddress::LocalHost, port));
        QTRY_COMPARE(reports.reports, std::vector<bool>{true});
    }

    void silent_connection_is_dropped_and_not_reconnected()
    {
        Test_Controller controller;
        CKV_Studio_Network_Client client;
        client.set_intervals(200, 50);
        Connection_Reports reports(client);
        const KV_Routes::_route route = local_route(controller.port());
        client.connect_route(&route);
        QTRY_COMPARE(reports.reports.size(), size_t(1));
        QTRY_COMPARE(controller.disconnections, 1);
        QCOMPARE(reports.reports, (std::vector<bool>{true, false}));
        QVERIFY(!client.is_reconnect_wanted());
        QTest::qWait(700);
        QCOMPARE(controller.connections.size(), size_t(1));
    }

    void signs_of_life_keep_the_connection()
    {
        Test_Controller controller;
        CKV_Studio_Network_Client client;
        client.set_intervals(200, 50);
        connect(&client, qOverload<CKV_Network_Msg*, uchar*>(&CKV_Studio_Network_Client::onDataReadClient), this,
                [&](CKV_Network_Msg* header, uchar*) {
                    if (header->id == kv_msg::KEEP_ALIVE)
                        client.set_alive(true);
                });
        const KV_Routes::_route route = local_route(controller.port());
        client.connect_route(&route);
        QTRY_VERIFY(controller.last());
        QTimer keep_alive;
        connect(&keep_alive, &QTimer::timeout, this, [&] { controller.send(kv_msg::KEEP_ALIVE); });
        keep_alive.start(50);
        QTest::qWait(1000);
        QCOMPARE(controller.disconnections, 0);
        QVERIFY(client.is_connected());
        keep_alive.stop();
        QTRY_COMPARE(controller.disconnections, 1);
    }

    void hostile_input_keeps_the_connection()
    {
        Test_Controller controller;
        CKV_Studio_Network_Client client;
        client.set_intervals(60000, 50);
        std::vector<uint32_t> messages;
        connect(&client, qOverload<CKV_Network_Msg*, uchar*>(&CKV_Studio_Network_Client::onDataReadClient), this,
                [&](CKV_Network_Msg* header, uchar*) { messages.push_back(header->id); });
        const KV_Routes::_route route = local_route(controller.port());
        client.connect_route(&route);
        QTRY_VERIFY(client.is_connected());

        Trace_Capture trace;
        controller.send_raw(std::vector<uint8_t>(100, 0xa5));
        QTest::qWait(200);
        controller.send(kv_msg::LOGIN_ACCEPTED);
        QTRY_COMPARE(messages, std::vector<uint32_t>{kv_msg::LOGIN_ACCEPTED});
        QVERIFY(client.is_connected());
        QCOMPARE(controller.disconnections, 0);
        QVERIFY(trace.text().contains("ERR:ZRQ"));
    }

    void netvar_flood_lets_events_run()
    {
        Test_Controller controller;
        CKV_Studio_Network_Client client;
        client.set_intervals(60000, 50);
        int netvars = 0;
        int netvars_when_timer_ran = -1;
        connect(&client, qOverload<KV_Addr_Tgm>(&CKV_Studio_Network_Client::onDataReadClient), this, [&](KV_Addr_Tgm) {
            if (netvars++ == 0)
                QTimer::singleShot(0, this, [&] { netvars_when_timer_ran = netvars; });
        });
        const KV_Routes::_route route = local_route(controller.port());
        client.connect_route(&route);
        QTRY_VERIFY(controller.last());
        // One write, so that the client most likely reads it in one piece.
        std::vector<uint8_t> burst;
        KV_Cipher encipher(KV_Cipher::Direction::Encipher);
        for (uint32_t i = 0; i < 1000; ++i) {
            const KV_Addr_Tgm tgm = netvar(1, 1, i + 1, 1);
            std::vector<uint8_t> frame;
            kv_frame_message(encipher, kv_msg::NETVAR, &tgm, kv_netvar_data_length(tgm), frame);
            burst.insert(burst.end(), frame.begin(), frame.end());
        }
        controller.send_raw(burst);
        QTRY_COMPARE(netvars, 1000);
        QVERIFY(netvars_when_timer_ran > 0);
        QVERIFY2(netvars_when_timer_ran <= 102, qPrintable(QString::number(netvars_when_timer_ran)));
    }

    void send_netvar_from_the_project()
    {
        CKV_Project_Db project;
        project.m_settings_knx.m_addr_src = "1.1.250";
        KV_Addr_Db switch_address;
        switch_address.m_addr_write = {1, 2, 3};
        switch_address.m_data_typ = 1;
        KV_Addr_Db temperature;
        temperature.m_addr_write = {3, 1, 7};
        temperature.m_data_typ = 5;
        project.m_addr.add_address(switch_address);
        project.m_addr.add_address(temperature);

        Test_Controller controller;
        CKV_Studio_Network_Client client(&project);
        client.set_intervals(60000, 50);

        // Disconnected: the project still takes the value, nothing is sent.
        QVERIFY(!client.send_netvar(KV_Group_Address{1, 2, 3}, 1.0));
        QCOMPARE(value_as_double(*project.m_addr.find_address(1, 2, 3)), 1.0);

        const KV_Routes::_route route = local_route(controller.port());
        client.connect_route(&route);
        QTRY_VERIFY(client.is_connected());
        QVERIFY(!client.send_netvar(KV_Group_Address{9, 9, 9}, 1.0));
        QVERIFY(client.send_netvar(KV_Group_Address{3, 1, 7}, 21.5));
        QVERIFY(client.send_netvar(KV_Group_Address{1, 2, 3}, 0.0));
        QTRY_COMPARE(controller.received.size(), size_t(2));

        const KV_Addr_Tgm& t = controller.received[0].tgm;
        QCOMPARE(t.source_module, 4u);
        QCOMPARE(t.dest_module, 2u);
        QCOMPARE(t.command, KV_TGM_WRITE);
        QCOMPARE(t.source_address[0], 1u);
        QCOMPARE(t.source_address[1], 1u);
        QCOMPARE(t.source_address[2], 250u);
        QCOMPARE(t.dest_address[0], 3u);
        QCOMPARE(t.dest_address[2], 7u);
        QCOMPARE(t.data_type, 5u);
        QCOMPARE(t.m_data_length, 2u);
        QCOMPARE(std::memcmp(t.value, project.m_addr.find_address(3, 1, 7)->m_data, 2), 0);
        KV_Addr_Db decoded;
        decoded.m_data_typ = 5;
        std::memcpy(decoded.m_data, t.value, 2);
        QCOMPARE(value_as_double(decoded), 21.5);
        QCOMPARE(controller.received[1].tgm.value[0], uint8_t(0));
        // 1-bit type: 45 + 1 bytes, one block of fill.
        QCOMPARE(client.bytes_sent(), quint32(2 * (32 + 48)));
    }

    void netvar_without_length_is_sent_with_a_trace()
    {
        Test_Controller controller;
        CKV_Studio_Network_Client client;
        client.set_intervals(60000, 50);
        const KV_Routes::_route route = local_route(controller.port());
        client.connect_route(&route);
        QTRY_VERIFY(client.is_connected());
        KV_Addr_Tgm tgm = netvar(1, 1, 1, 0);
        tgm.m_data_length = 0;
        Trace_Capture trace;
        QVERIFY(client.send_netvar(tgm));
        tgm.m_data_length = 256;
        QVERIFY(!client.send_netvar(tgm));
        const QByteArray lines = trace.text();
        QVERIFY(lines.contains("ERROR::send_netvar: m_data_length==0"));
        QCOMPARE(client.bytes_sent(), quint32(32 + 48));
    }
};

QTEST_GUILESS_MAIN(TestKvNetworkClient)
#include "tst_kv_network_client.moc"
