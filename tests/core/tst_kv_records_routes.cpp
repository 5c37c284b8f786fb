#include <QtTest>

#include "kv_routes.h"
#include "kv_users.h"
#include "records_test_util.h"

namespace {
const std::string route_1 =
    fields("m_use_kv_dns_svr_0=1|m_str_name_0=Route 1|m_str_ip_0=192.168.0.1|m_str_dns_vpn_0=vpn.example.org|"
           "m_str_mac_0=00:11:22:33:44:55|m_str_plattform_0=arm|m_str_serial_0=SN1|m_str_mail_0=a@b.c|"
           "m_str_user_0=admin|m_str_passwd_md5_0=d41d8cd98f00b204e9800998ecf8427e|m_str_passwd_sha512_online_0=ab12",
           "m_list_route.");

KV_Routes routes_of(size_t count)
{
    KV_Routes routes(route_1);
    routes.m_list_route.resize(count, routes.m_list_route[0]);
    for (size_t n = 0; n < count; ++n)
        routes.m_list_route[n].m_str_serial = "SN" + std::to_string(n);
    return routes;
}
} // namespace

class TestKvRecordsRoutes : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data()
    {
        round_trip_columns();
        exact_row<KV_Routes>("routes", fld("m_route_default", "0") + route_1);
        // The controller's platform key is spelt differently from the route's.
        exact_row<KV_SysInfo>("sysinfo", fields("m_str_name=Steuerung|m_str_serial=4711|m_str_ip=10.0.0.5|"
                                                "m_str_ip_vpn=172.16.0.5|m_str_mac=aa:bb|m_str_pattform=x86|"
                                                "m_str_project_name=Haus|m_str_project_guid={p}|m_str_version=3.1|"
                                                "m_str_version_build=815|m_str_boardtyp=2"));
        exact_row<KV_Settings_Users>("users", fields("m_str_name_0=admin|m_str_passwd_md5_0=21232f297a57a5a743894a0e4a801fc3|"
                                                     "m_str_analytics_0=0|m_str_name_1=gast|m_str_passwd_md5_1=|"
                                                     "m_str_analytics_1=1"));
    }
    void roundTrip() { verify_round_trip(); }

    void routeFields()
    {
        // The default index is written unsigned.
        KV_Routes routes(route_1);
        routes.m_route_default = -1;
        QVERIFY(routes.encode().find(fld("m_route_default", "4294967295")) == 0);
        QCOMPARE(KV_Routes(routes.m_text).m_route_default, -1);
        const KV_SysInfo info(fields("m_str_plattform=arm"));
        QCOMPARE(info.m_str_pattform, std::string());
        QCOMPARE(info.m_str_boardtyp, std::string("0"));
    }

    void activeRoute()
    {
        KV_Routes none(fld("m_route_default", "2"));
        QCOMPARE(none.active_route(), nullptr);

        KV_Routes routes = routes_of(3);
        for (int index : {5, 3, -1}) {
            routes.m_route_default = index;
            QCOMPARE(routes.active_route(), &routes.m_list_route[0]);
            QCOMPARE(routes.m_route_default, 0);
        }
        routes.m_route_default = 2;
        QCOMPARE(routes.active_route(), &routes.m_list_route[2]);
        QCOMPARE(routes.m_route_default, 2);
    }

    void routeListReading()
    {
        const std::string text = routes_of(70).encode();
        const KV_Routes over(text);
        QCOMPARE(over.m_list_route.size(), KV_Routes::MAX_ROUTES);
        QCOMPARE(over.m_list_route[63].m_str_serial, std::string("SN63"));
        QCOMPARE(KV_Routes(drop_field(text, "m_list_route.m_use_kv_dns_svr_2")).m_list_route.size(), size_t(2));

        // Only the VPN host missing: it reads as the online server's host.
        const KV_Routes no_vpn(drop_field(text, "m_list_route.m_str_dns_vpn_1"));
        QCOMPARE(no_vpn.m_list_route.at(1).m_str_dns_vpn, std::string(KV_ONLINE_SERVER_HOST));
        QCOMPARE(no_vpn.m_list_route.at(0).m_str_dns_vpn, std::string("vpn.example.org"));
    }

    void loginText()
    {
        KV_Routes::_route route = KV_Routes(route_1).m_list_route.at(0);
        route.m_communication_version = 3;
        QCOMPARE(route_login_text(route),
                 fields("m_use_kv_dns_svr=1|m_str_name=Route 1|m_str_dns_vpn=vpn.example.org|m_str_ip=192.168.0.1|"
                        "m_str_user=admin|m_str_passwd_md5=d41d8cd98f00b204e9800998ecf8427e|"
                        "m_str_passwd_sha512_online=ab12|m_str_serial=SN1|m_str_mail=a@b.c|m_communication_version=3"));
    }

    void userList()
    {
        const KV_Settings_Users gap(fields("m_str_name_0=a|m_str_name_2=c"));
        QCOMPARE(gap.m_list_user.size(), size_t(1));
        QCOMPARE(gap.m_list_user[0].m_str_analytics, true);
        QCOMPARE(KV_Settings_Users(fields("m_str_name_0=a|m_str_name_1=|m_str_name_2=c")).m_list_user.size(), size_t(1));

        // Every account is written; reading ends at the first without a name.
        KV_Settings_Users users;
        users.m_list_user = {{"admin", "", false}, {"", "x", true}, {"gast", "", true}};
        QVERIFY(has_key(users.encode(), "m_str_name_2"));
        QCOMPARE(KV_Settings_Users(users.m_text).m_list_user.size(), size_t(1));

        users.m_list_user.assign(70, {"u", "", false});
        QCOMPARE(KV_Settings_Users(users.encode()).m_list_user.size(), KV_Settings_Users::MAX_USERS);
    }
};

QTEST_GUILESS_MAIN(TestKvRecordsRoutes)
#include "tst_kv_records_routes.moc"
