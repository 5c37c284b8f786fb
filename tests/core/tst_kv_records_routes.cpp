#include <QtTest>

#include "kv_routes.h"
#include "kv_users.h"
#include "records_test_util.h"

namespace {
KV_Routes::_route sample_route(int n)
{
    KV_Routes::_route r;
    r.m_use_kv_dns_svr = n % 2 == 1;
    r.m_str_name = "Route " + std::to_string(n);
    r.m_str_ip = "192.168.0." + std::to_string(n);
    r.m_str_dns_vpn = "vpn.example.org";
    r.m_str_mac = "00:11:22:33:44:55";
    r.m_str_plattform = "arm";
    r.m_str_serial = "SN" + std::to_string(n);
    r.m_str_mail = "a@b.c";
    r.m_str_user = "admin";
    r.m_str_passwd_md5 = "d41d8cd98f00b204e9800998ecf8427e";
    r.m_str_passwd_sha512_online = "ab12";
    r.m_communication_version = 3;
    return r;
}
} // namespace

class TestKvRecordsRoutes : public QObject {
    Q_OBJECT
private slots:
    void routesEncodeInKeyOrder()
    {
        KV_Routes routes;
        routes.m_route_default = 0;
        routes.m_list_route = {sample_route(1)};
        const std::string expected =
            fld("m_route_default", "0") + fld("m_list_route.m_use_kv_dns_svr_0", "1") +
            fld("m_list_route.m_str_name_0", "Route 1") + fld("m_list_route.m_str_ip_0", "192.168.0.1") +
            fld("m_list_route.m_str_dns_vpn_0", "vpn.example.org") + fld("m_list_route.m_str_mac_0", "00:11:22:33:44:55") +
            fld("m_list_route.m_str_plattform_0", "arm") + fld("m_list_route.m_str_serial_0", "SN1") +
            fld("m_list_route.m_str_mail_0", "a@b.c") + fld("m_list_route.m_str_user_0", "admin") +
            fld("m_list_route.m_str_passwd_md5_0", "d41d8cd98f00b204e9800998ecf8427e") +
            fld("m_list_route.m_str_passwd_sha512_online_0", "ab12");
        QCOMPARE(routes.encode(), expected);

        KV_Routes back(expected);
        QCOMPARE(back.encode(), expected);
        // The communication version is not part of the list form.
        QCOMPARE(back.m_list_route.at(0).m_communication_version, 0);

        // The default index is written unsigned.
        routes.m_route_default = -1;
        QVERIFY(routes.encode().find(fld("m_route_default", "4294967295")) == 0);
        QCOMPARE(KV_Routes(routes.m_text).m_route_default, -1);
    }

    void activeRoute()
    {
        KV_Routes none(fld("m_route_default", "2"));
        QVERIFY(none.m_list_route.empty());
        QCOMPARE(none.active_route(), nullptr);

        KV_Routes routes;
        routes.m_list_route = {sample_route(0), sample_route(1), sample_route(2)};
        for (int index : {5, 3, -1}) {
            routes.m_route_default = index;
            QCOMPARE(routes.active_route(), &routes.m_list_route[0]);
            QCOMPARE(routes.m_route_default, 0);
        }
        routes.m_route_default = 2;
        QCOMPARE(routes.active_route()->m_str_name, std::string("Route 2"));
        QCOMPARE(routes.m_route_default, 2);
    }

    void routeListReading()
    {
        KV_Routes routes;
        for (int n = 0; n < 70; ++n)
            routes.m_list_route.push_back(sample_route(n));
        const std::string text = routes.encode();
        const KV_Routes over(text);
        QCOMPARE(over.m_list_route.size(), KV_Routes::MAX_ROUTES);
        QCOMPARE(over.m_list_route[63].m_str_serial, std::string("SN63"));
        routes.m_list_route.resize(64);
        QCOMPARE(KV_Routes(routes.encode()).encode(), routes.m_text);

        const KV_Routes gap(drop_field(text, "m_list_route.m_use_kv_dns_svr_2"));
        QCOMPARE(gap.m_list_route.size(), size_t(2));

        // Only the VPN host missing: it reads as the online server's host.
        const KV_Routes no_vpn(drop_field(text, "m_list_route.m_str_dns_vpn_1"));
        QCOMPARE(no_vpn.m_list_route.at(1).m_str_dns_vpn, std::string(KV_ONLINE_SERVER_HOST));
        QCOMPARE(no_vpn.m_list_route.at(0).m_str_dns_vpn, std::string("vpn.example.org"));
        QCOMPARE(KV_Routes::_route().m_str_dns_vpn, std::string(KV_ONLINE_SERVER_HOST));
        QCOMPARE(KV_Routes().encode(), KV_Routes(std::string()).encode());
    }

    void loginText()
    {
        const std::string expected =
            fld("m_use_kv_dns_svr", "1") + fld("m_str_name", "Route 1") + fld("m_str_dns_vpn", "vpn.example.org") +
            fld("m_str_ip", "192.168.0.1") + fld("m_str_user", "admin") +
            fld("m_str_passwd_md5", "d41d8cd98f00b204e9800998ecf8427e") + fld("m_str_passwd_sha512_online", "ab12") +
            fld("m_str_serial", "SN1") + fld("m_str_mail", "a@b.c") + fld("m_communication_version", "3");
        QCOMPARE(route_login_text(sample_route(1)), expected);
    }

    void sysInfo()
    {
        KV_SysInfo info;
        info.m_str_name = "Steuerung";
        info.m_str_serial = "4711";
        info.m_str_ip = "10.0.0.5";
        info.m_str_ip_vpn = "172.16.0.5";
        info.m_str_mac = "aa:bb";
        info.m_str_pattform = "x86";
        info.m_str_project_name = "Haus";
        info.m_str_project_guid = "{p}";
        info.m_str_version = "3.1";
        info.m_str_version_build = "815";
        info.m_str_boardtyp = "2";
        const std::string expected = fld("m_str_name", "Steuerung") + fld("m_str_serial", "4711") +
                                     fld("m_str_ip", "10.0.0.5") + fld("m_str_ip_vpn", "172.16.0.5") +
                                     fld("m_str_mac", "aa:bb") + fld("m_str_pattform", "x86") +
                                     fld("m_str_project_name", "Haus") + fld("m_str_project_guid", "{p}") +
                                     fld("m_str_version", "3.1") + fld("m_str_version_build", "815") +
                                     fld("m_str_boardtyp", "2");
        QCOMPARE(info.encode(), expected);
        QCOMPARE(KV_SysInfo(expected).encode(), expected);

        // The route's spelling is not the controller's.
        const KV_SysInfo other(fld("m_str_plattform", "arm") + fld("m_str_ip_vpn", "1.2.3.4"));
        QCOMPARE(other.m_str_pattform, std::string());
        QCOMPARE(other.m_str_ip, std::string());
        QCOMPARE(other.m_str_boardtyp, std::string("0"));
        QCOMPARE(KV_SysInfo().encode(), KV_SysInfo(std::string()).encode());
    }

    void users()
    {
        KV_Settings_Users users;
        users.m_list_user = {{"admin", "21232f297a57a5a743894a0e4a801fc3", false}, {"gast", "", true}};
        const std::string expected = fld("m_str_name_0", "admin") +
                                     fld("m_str_passwd_md5_0", "21232f297a57a5a743894a0e4a801fc3") +
                                     fld("m_str_analytics_0", "0") + fld("m_str_name_1", "gast") +
                                     fld("m_str_passwd_md5_1", "") + fld("m_str_analytics_1", "1");
        QCOMPARE(users.encode(), expected);
        QCOMPARE(KV_Settings_Users(expected).encode(), expected);

        const KV_Settings_Users gap(fld("m_str_name_0", "a") + fld("m_str_name_2", "c"));
        QCOMPARE(gap.m_list_user.size(), size_t(1));
        QCOMPARE(gap.m_list_user[0].m_str_analytics, true);
        const KV_Settings_Users empty_name(fld("m_str_name_0", "a") + fld("m_str_name_1", "") + fld("m_str_name_2", "c"));
        QCOMPARE(empty_name.m_list_user.size(), size_t(1));

        // A nameless account is not written, so the ones after it survive.
        users.m_list_user.insert(users.m_list_user.begin() + 1, KV_Settings_Users::User{"", "x", true});
        const KV_Settings_Users kept(users.encode());
        QCOMPARE(kept.m_list_user.size(), size_t(2));
        QCOMPARE(kept.m_list_user[1].m_str_name, std::string("gast"));

        users.m_list_user.clear();
        for (int i = 0; i < 70; ++i)
            users.m_list_user.push_back({"u" + std::to_string(i), "", i % 2 == 0});
        QCOMPARE(KV_Settings_Users(users.encode()).m_list_user.size(), KV_Settings_Users::MAX_USERS);
        users.m_list_user.resize(64);
        QCOMPARE(KV_Settings_Users(users.encode()).encode(), users.m_text);
    }
};

QTEST_GUILESS_MAIN(TestKvRecordsRoutes)
#include "tst_kv_records_routes.moc"
