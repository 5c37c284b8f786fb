#include <QtTest>

#include <ctime>
#include <set>

#include "kv_color_settings.h"
#include "kv_gui.h"
#include "kv_guid.h"
#include "kv_logic.h"
#include "kv_project.h"
#include "kv_routes.h"
#include "kv_settings.h"
#include "kv_users.h"
#include "records_test_util.h"

Q_DECLARE_METATYPE(std::vector<KV_Sequence_Step>)

namespace {
KV_Settings_Clock::Clock sample_clock(int n, int times)
{
    KV_Settings_Clock::Clock c;
    c.m_active = n % 2 == 0;
    c.m_str_name = "Uhr " + std::to_string(n);
    c.m_list_time.resize(times);
    return c;
}

KV_Settings_Scene::Scene sample_scene(int items)
{
    KV_Settings_Scene::Scene s;
    s.m_list_item.resize(items);
    return s;
}

template <class R>
R with(std::function<void(R&)> fill)
{
    R record;
    record.m_use_it = true;
    fill(record);
    return record;
}

std::shared_ptr<KV_LOGIC_IO> io(const KV_Group_Address& addr, const std::string& comment = "")
{
    return std::make_shared<KV_LOGIC_IO>(KV_LOGIC_IO{addr, comment});
}

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

class TestKvRecords : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data()
    {
        round_trip_columns();
        exact_row<KV_Settings_Clock>(
            "clock", fields("m_use_it=1|m_addr_db_group=1/2/3|m_str_groups=A;B") +
                         fields("m_active=1|m_str_name=Flur|m_str_guid={c0}|m_addr_db_write=1/1/0|m_addr_db_lock=1/2/0|"
                                "m_addr_db_lock_invert_=1|m_hold_value_=1",
                                "clock__0_") +
                         fields("m_typ=1|m_group=2|m_use_group=1|m_str_scene={s}|m_str_name=Morgens 0|m_year=2024|"
                                "m_use_year=1|m_month=12|m_day=24|m_hour=6|m_minute=0|m_value=21.500000|"
                                "m_fwekday[0]=1|m_fwekday[1]=0|m_fwekday[2]=1|m_fwekday[3]=0|m_fwekday[4]=1|"
                                "m_fwekday[5]=0|m_fwekday[6]=0",
                                "clock__0__tm__0_"));
        exact_row<KV_Settings_Scene>(
            "scene", fields("m_use_it=1|m_addr_num=5/0/1|m_addr_num_save=64") +
                         fields("m_use_it=1|m_active=0|m_str_name=Szene 0|m_str_guid={s0}|m_str_icon=kino.svg|"
                                "m_time=2.250000|m_addr_bit_load=3/0/1|m_addr_bit_load_trigger=1|m_addr_bit_save=3/0/2|"
                                "m_addr_bit_save_trigger=2|m_addr_bit_stop=3/0/3|m_addr_bit_stop_trigger=3|m_gui_used=tile",
                                "scene_0_") +
                         fields("m_use_it=1|m_active=1|m_addr=4/1/0|m_value=0.500000|m_time=1.250000|"
                                "m_str_gui_control={g}",
                                "scene_0_item_0_"));

        exact_row<KV_Settings_KNX>("knx", fields("m_use_it=1|m_use_knx_onboard=0|m_comm_port_typ=2|m_str_com_port=/dev/ttyS0|"
                                                 "m_addr_src=1.1.250|m_sleeptime=20|m_read_zykl=30|m_intern_ab=15|"
                                                 "m_ip_routing=1|m_str_ip_addr_0=192.168.1.10|m_str_name_0=Linie 1|"
                                                 "m_port_0=3672|m_ignore_state_errors_0=1"));

        auto eap = with<KV_Settings_EAP>([](auto& r) {
            for (int d = 0; d < 3; ++d) {
                r.m_list_device.push_back({d, 10 + d, "Gerät", "opt", 1, "/dev/ttyUSB0", 9600, 300, 20, 2, {}});
                for (int p = 0; p < d + 2; ++p)
                    r.m_list_device.back().m_list_io.push_back({p, 1, "Punkt " + std::to_string(p), "o"});
            }
        });
        round_trip_row("eap", eap, {}, "io__1__2_m_str_comment");

        auto master = with<KV_Settings_MODBUS_MASTER>([](auto& r) {
            KV_Settings_MODBUS_MASTER::Node node{7, 8, false, "Zähler", 1, "9600,8,N,1", "10.0.0.9", 5020, 900, {}};
            for (int i = 0; i < 4; ++i)
                node.m_list_register.push_back({i % 2 == 0, 100 + i, 2, 1, 3, 0.1, "R" + std::to_string(i), 4, 5, true, true, 60});
            r.m_list_node = {node, node};
        });
        round_trip_row("modbus master", master, {}, "node__1m_register_activ_3");

        exact_row<KV_Settings_MODBUS_SLAVE>(
            "modbus slave", fields("m_use_it=1|m_id=3|m_port=1502|m_typ=1|m_com_param=19200|m_addr_0=40001|m_anzahl_0=2|"
                                   "m_function_code_0=3|m_datatyp_0=4|m_addr_db_0=1/2/3|m_faktor_0=0.500000|"
                                   "m_offset_0=-1.250000"));

        auto mbus = with<KV_Settings_MBus>([](auto& r) {
            r.m_list_meter = {{false, 1, 2, 3, true, 900, "Wasser", "2400", "0;1"}, {true, 4, 5, 6, false, 60, "Gas", "", ""}};
        });
        round_trip_row("m-bus", mbus, {}, "m_use_it_1");
        auto cams = with<KV_Settings_IP_Cam>([](auto& r) { r.m_list_cam = {{true, "Tür", "{k}", "u", "p", "rtsp://c/1", "o"}}; });
        round_trip_row("cameras", cams, {}, "m_str_url_0");
        auto hosts = with<KV_Settings_Host>(
            [](auto& r) { r.m_list_host = {{true, "Hof", "{n}", "a", "md5", "10.0.0.2", 1, 2, "1-3", "4", 1}}; });
        round_trip_row("hosts", hosts, {}, "m_offset_hg_out_0");
        exact_row<KV_Settings_Mail>("mail", fields("m_use_it=1|m_use_mailserver_extern=1|m_str_smtp_server=smtp.example.org|"
                                                   "m_str_smtp_user=haus|m_str_smtp_password=geheim|m_smtp_port=587|"
                                                   "m_str_from=haus@example.org"));
        exact_row<KV_Settings_Broadcast>("broadcast", fields("m_use_it=1|m_use_filter_send=0|m_use_filter_receice=1|"
                                                             "m_filter_send=1/*/*|m_filter_receice=2/*/*"));

        auto alexa = with<KV_Settings_Alexa>([](auto& r) {
            r.m_list_device = {{true, "Licht", "id1", {{true, {1, 1, 1}}, {false, {1, 1, 2}}}}, {false, "Rollo", "id2", {}}};
        });
        round_trip_row("alexa", alexa, {}, "alexa_0_item_1_m_addr");
        auto sonos = with<KV_Settings_Sonos>([](auto& r) {
            r.m_list_entry = {{true, 1, "Küche", 4, "radio", {2, 3, 4}}, {true, 0, "Bad", 1, "", {}}};
        });
        round_trip_row("sonos", sonos, {}, "sonos_1_m_cmd");
        auto dmx = with<KV_Settings_DMX>([](auto& r) {
            KV_Settings_DMX::Adapter adapter{true, 2, "Bühne", 1, "{d}", {}};
            for (int i = 0; i < 3; ++i)
                adapter.m_list_item.push_back({true, i + 1, {6, 0, static_cast<uint32_t>(i)}});
            r.m_list_adapter = {adapter, adapter};
        });
        round_trip_row("dmx", dmx, {}, "dmx_1_item_2_m_channel");

        exact_row<KV_Settings_Logger_Group>(
            "logger group", fields("m_str_guid={lg}|m_str_name=Temperaturen|m_addr_0=1/2/3|m_str_alias_0=Wohnen|"
                                   "m_factor_0=0.100000|m_unit_0=°C|m_addr_typ_0=9|m_addr_1=1/2/4|m_str_alias_1=Bad|"
                                   "m_factor_1=1.000000|m_unit_1=°C|m_addr_typ_1=9"));
        exact_row<KV_GUI_Control>(
            "control", fields("m_typ=7|m_activ=0|m_x=-3|m_y=40|m_width=200|m_height=50|m_transparenz=80|"
                              "m_str_font=Graphik Regular,12,-1,5|m_align=1|m_text_offs_x=2|m_text_offs_y=-2|"
                              "m_str_guid={00000000-0000-4000-8000-000000000001}|"
                              "m_str_guid_parent_page={00000000-0000-4000-8000-0000000000aa}|"
                              "m_str_guid_parent_control={00000000-0000-4000-8000-0000000000bb}|"
                              "m_str_name=Licht\nKüche|m_addr_disable=1/2/3|m_addr_hide=4/5/6|"
                              "m_list_addr.addr.m_use_it_0=1|m_list_addr.addr.m_addr_0=1/0/1|"
                              "m_list_addr.addr.m_use_it_1=1|m_list_addr.addr.m_addr_1=31/7/255|"
                              "m_list_param.m_use_it_0=1|m_list_param.m_str_value_0=12/5/0|"
                              "m_list_param.m_use_it_1=1|m_list_param.m_str_value_1="));
        exact_row<KV_GUI_Page>("page", fields("m_page_orientation=1|m_str_guid={g}|m_str_caption=Erdgeschoss|"
                                              "m_str_users=admin;gast|m_str_bg_color=a0b0c0|m_str_frame_color=000000|"
                                              "m_str_image_bg=plan.png|m_str_image_icon=haus.svg|m_align=2|"
                                              "m_zoom_to_page=1|m_keep_aspect=1|m_width=1280|m_height=800|"
                                              "m_width_virt=2560|m_height_virt=1600"));
        exact_row<KV_LOGIC_Control>(
            "logic block", fields("m_typ=12|m_x=5|m_y=6|m_str_guid={l}|m_str_guid_parent_page={lp}|m_str_name=Heizkreis|"
                                  "m_vke_typ=2|m_activ=0|m_zykl_senden=30|m_reread=1|m_list_io_input.io.m_use_it_0=1|"
                                  "m_list_io_input.io.m_addr_0=1/2/3|m_list_io_input.io.m_str_comment_0=Ist|"
                                  "m_list_param.m_use_it_0=1|m_list_param.m_str_name_0=Soll|"
                                  "m_list_param.m_str_value_0=21.5|m_list_io_output.io.m_use_it_0=1|"
                                  "m_list_io_output.io.m_addr_0=4/5/6|m_list_io_output.io.m_str_comment_0="));
        exact_row<KV_LOGIC_Page>("logic page",
                                 fields("m_str_guid={lp}|m_str_caption=Heizung|m_typ=1|m_start_verz=15|m_size_logic=3"));
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

    // What a record (or list element) read from a few of its fields, or
    // none, writes, literally: the defaults, and values read by rules of
    // their own.
    void literalDefaults_data()
    {
        QTest::addColumn<Codec>("codec");
        QTest::addColumn<std::string>("text");
        QTest::addColumn<std::string>("expected");
        default_row<KV_GUI_Control>("control", "", "m_activ=1|m_width=100|m_height=30|m_transparenz=100|"
                                                   "m_str_font=Arial,10,-1,0|m_align=132");
        default_row<KV_GUI_Page>("page", "", "m_str_bg_color=ffffff|m_str_frame_color=ffffff|m_width=1024|"
                                             "m_height=576|m_width_virt=1024|m_height_virt=576");
        default_row<KV_LOGIC_Page>("logic page", "", "m_size_logic=10");
        default_row<KV_LOGIC_Control>("logic block", "", "m_activ=1");
        default_row<KV_Settings_Clock>("clock", "m_str_groups=|clock__0_m_active=1|clock__0__tm__0_m_typ=0",
                                       "m_str_groups=Anwesend;Abwesend;Arbeit;Wochenende;Urlaub|"
                                       "clock__0__tm__0_m_year=2016|clock__0__tm__0_m_value=0.000000");
        default_row<KV_Settings_Scene>("scene", "scene_0_m_use_it=1|scene_0_item_0_m_use_it=1",
                                       "m_addr_num=0/0/0|m_addr_num_save=128|scene_0_m_active=1|scene_0_m_time=0.500000|"
                                       "scene_0_item_0_m_active=1|scene_0_item_0_m_time=0.000000");
        default_row<KV_Settings_KNX>("knx", "m_str_ip_addr_0=10.0.0.1",
                                     "m_use_knx_onboard=1|m_sleeptime=10|m_read_zykl=10|m_intern_ab=31|m_port_0=3671");
        default_row<KV_Settings_EAP>("eap", "m_typ_0=0", "m_timeout_0=250|m_waittime_0=10");
        default_row<KV_Settings_MODBUS_MASTER>("modbus master", "m_node_id_mg_0=0",
                                               "m_sleeptime=1000|m_node_activ_0=1|m_node_ip_port_0=502|"
                                               "m_node_read_timeout_0=500");
        default_row<KV_Settings_MODBUS_SLAVE>("modbus slave", "m_addr_0=0",
                                              "m_port=502|m_anzahl_0=1|m_function_code_0=1|m_offset_0=0.000000");
        default_row<KV_Settings_MBus>("m-bus", "m_use_it_0=1", "m_interval_0=600");
        default_row<KV_Settings_Mail>("mail", "", "m_smtp_port=25");
        default_row<KV_Settings_Users>("users", "m_str_name_0=a", "m_str_analytics_0=1");
        default_row<KV_SysInfo>("sysinfo", "", "m_str_boardtyp=0");
        default_row<KV_Routes>("routes", "", "m_route_default=0");
        // The default route's index is written unsigned.
        default_row<KV_Routes>("no default route", "m_route_default=4294967295", "m_route_default=4294967295");
        // The controller's platform key is spelt differently from the route's.
        default_row<KV_SysInfo>("platform key", "m_str_plattform=arm", "m_str_pattform=");
        default_row<KV_GUI_Page>("virtual size", "m_width=1280|m_height=800", "m_width_virt=1280|m_height_virt=800");
        // Colours are lower-case hex of six digits; the frame takes the background's.
        default_row<KV_GUI_Page>("upper case colour", "m_str_bg_color=FF0000",
                                 "m_str_bg_color=ff0000|m_str_frame_color=ff0000");
        default_row<KV_GUI_Page>("short colour", "m_str_bg_color=ff", "m_str_bg_color=0000ff|m_str_frame_color=0000ff");
        default_row<KV_GUI_Page>("unreadable colour", "m_str_bg_color=xyz|m_str_frame_color=123456",
                                 "m_str_bg_color=000000|m_str_frame_color=123456");
        default_row<KV_GUI_Page>("empty colour", "m_str_bg_color=", "m_str_bg_color=000000|m_str_frame_color=000000");
    }
    void literalDefaults()
    {
        QFETCH(Codec, codec);
        QFETCH(std::string, text);
        QFETCH(std::string, expected);
        const std::string written = codec.reencode(text);
        for (const QString& field : QString::fromStdString(expected).split('|'))
            QVERIFY2(written.find(fields(field.toStdString())) != std::string::npos, qPrintable(field));
    }

    // A list ends at its first missing element, or skips what was never written.
    void listGaps()
    {
        KV_Settings_Clock clock;
        for (int n = 0; n < 13; ++n)
            clock.m_list_clock.push_back(sample_clock(n, 4));
        const std::string text = clock.encode();
        QVERIFY(has_key(text, "clock__12__tm__3_m_fwekday[6]"));

        // Clock 2 missing: the reader stops after clocks 0 and 1; inactive clock 1 still counts.
        const KV_Settings_Clock gap(drop_field(text, "clock__2_m_active"));
        QCOMPARE(gap.m_list_clock.size(), size_t(2));
        QCOMPARE(gap.m_list_clock[1].m_str_name, std::string("Uhr 1"));
        QCOMPARE(gap.m_list_clock[1].m_active, false);

        // Time 1 of clock 0 missing: clock 0 keeps one time, the others all four.
        const KV_Settings_Clock time_gap(drop_field(text, "clock__0__tm__1_m_typ"));
        QCOMPARE(time_gap.m_list_clock.size(), size_t(13));
        QCOMPARE(time_gap.m_list_clock[0].m_list_time.size(), size_t(1));
        QCOMPARE(time_gap.m_list_clock[1].m_list_time.size(), size_t(4));

        KV_Settings_Scene scenes;
        scenes.m_list_scene = {sample_scene(3), sample_scene(2)};
        const KV_Settings_Scene scene(drop_field(scenes.encode(), "scene_0_item_1_m_use_it"));
        QCOMPARE(scene.m_list_scene.at(0).m_list_item.size(), size_t(1));
        QCOMPARE(scene.m_list_scene.at(1).m_list_item.size(), size_t(2));

        // Every interface is written; reading ends at the first without an address.
        KV_Settings_KNX knx;
        knx.m_list_interface = {{"a", "", 1, false}, {"", "leer", 2, false}, {"c", "", 3, false}};
        QVERIFY(has_key(knx.encode(), "m_str_ip_addr_2"));
        QCOMPARE(KV_Settings_KNX(knx.m_text).m_list_interface.size(), size_t(1));

        const KV_Settings_EAP eap(fields("m_typ_0=0|io__0__0_m_typ=0|io__0__2_m_typ=0|m_typ_2=0"));
        QCOMPARE(eap.m_list_device.size(), size_t(1));
        QCOMPARE(eap.m_list_device[0].m_list_io.size(), size_t(1));
        const KV_Settings_MODBUS_MASTER master(
            fields("m_node_id_mg_0=1|node__0m_register_activ_0=0|node__0m_register_activ_2=1"));
        QCOMPARE(master.m_list_node.at(0).m_list_register.size(), size_t(1));
        QCOMPARE(master.m_list_node[0].m_list_register[0].m_register_activ, false);
        QCOMPARE(KV_Settings_MODBUS_SLAVE(fields("m_addr_0=0|m_addr_2=5")).m_list_register.size(), size_t(1));
        const KV_Settings_Alexa alexa(fields("alexa_0_m_use_it=1|alexa_0_item_1_m_use_it=1|alexa_1_m_use_it=0"));
        QCOMPARE(alexa.m_list_device.size(), size_t(2));
        QVERIFY(alexa.m_list_device[0].m_list_item.empty());

        // A 0/0/0 or unreadable curve is dropped, the curves after it kept; the list ends at an empty address.
        const KV_Settings_Logger_Group group(
            fields("m_addr_0=1/1/1|m_addr_1=0/0/0|m_addr_2=x|m_addr_3=2/2/2|m_addr_4=|m_addr_5=3/3/3"));
        QCOMPARE(group.m_list_curve.size(), size_t(2));
        QCOMPARE(group.m_list_curve[1].m_addr, (KV_Group_Address{2, 2, 2}));
        QCOMPARE(group.m_list_curve[1].m_factor, 1.0);
    }

    void listMaxima()
    {
        KV_Settings_Clock clock;
        clock.m_list_clock.assign(256, sample_clock(1, 1));
        clock.m_list_clock[0] = sample_clock(0, 130);
        const KV_Settings_Clock clocks(clock.encode());
        QCOMPARE(clocks.m_list_clock.size(), size_t(255));
        QCOMPARE(clocks.m_list_clock[0].m_list_time.size(), size_t(128));

        KV_Settings_Scene scene;
        scene.m_list_scene.assign(1030, sample_scene(0));
        scene.m_list_scene[0] = sample_scene(1030);
        const KV_Settings_Scene scenes(scene.encode());
        QCOMPARE(scenes.m_list_scene.size(), size_t(1024));
        QCOMPARE(scenes.m_list_scene[0].m_list_item.size(), size_t(1024));

        KV_Settings_KNX knx;
        knx.m_list_interface.assign(70, {"10.0.0.1", "", 3671, false});
        QCOMPARE(KV_Settings_KNX(knx.encode()).m_list_interface.size(), size_t(64));
        KV_Settings_DMX dmx;
        dmx.m_list_adapter = {{true, 2, "Bühne", 1, "{d}", {}}};
        dmx.m_list_adapter[0].m_list_item.assign(513, {true, 1, {6, 0, 1}});
        QCOMPARE(KV_Settings_DMX(dmx.encode()).m_list_adapter[0].m_list_item.size(), size_t(512));

        KV_LOGIC_Control block;
        for (uint32_t i = 0; i < 130; ++i) {
            block.m_list_io_input.push_back(io({i, 0, 1}, "in"));
            block.m_list_io_output.push_back(io({0, i, 2}, "out"));
        }
        for (int i = 0; i < 70; ++i)
            block.m_list_param.push_back({"n" + std::to_string(i), std::to_string(i)});
        const KV_LOGIC_Control over(block.encode());
        QCOMPARE(over.inputs().size(), size_t(128));
        QCOMPARE(over.outputs().size(), size_t(128));
        QCOMPARE(over.m_list_param.size(), size_t(64));
        QCOMPARE(over.output(127)->m_addr, (KV_Group_Address{0, 127, 2}));
    }

    // Regression: a cursor left behind by another record must not make the
    // scalar m_use_it match the tail of alexa_0_m_use_it.
    void searchCursorOfAnotherRecord()
    {
        const std::string flags = fields("m_use_it=0|alexa_0_m_use_it=1");
        const KV_Data other(fields("abc=x|m_str_name=y"));
        QCOMPARE(get_string(other, "m_str_name", ""), std::string("y"));
        QVERIFY(kv_search_cursor() > 0 && kv_search_cursor() < flags.find("m_use_it", 1));
        KV_Settings_Alexa reused;
        reused.set_text(flags);
        QCOMPARE(reused.m_use_it, false);
        QCOMPARE(reused.m_list_device.size(), size_t(1));
    }
    void project()
    {
        const std::string text = fields("m_tm_modified=1700000000.000000|m_str_guid={0a1b2c3d-0000-4000-8000-000000000000}|"
                                        "m_str_name=Haus|m_str_comment=zwei\nZeilen|m_str_filename=haus.kvp|"
                                        "m_str_version=3.01111|m_last_page_gui=3|m_last_page_logic=4|m_last_page_hw_settings=5|"
                                        "m_mark_project_changed_on_clock=1|m_mark_project_changed_on_scene=0");
        QCOMPARE(KV_Project(text).encode(), text);

        const int64_t before = std::time(nullptr);
        KV_Project empty{std::string()};
        QVERIFY(empty.m_tm_modified >= before && empty.m_tm_modified <= std::time(nullptr));
        QVERIFY(empty.m_str_guid.empty() && empty.m_str_version.empty());

        // Decoding overwrites what the members held before.
        KV_Project q;
        q.m_str_name = "alt";
        q.m_last_page_logic = 9;
        q.set_text(fields("m_str_name=|m_last_page_logic="));
        QCOMPARE(q.m_str_name, std::string());
        QCOMPARE(q.m_last_page_logic, 0);
    }

    void guidsAreBracedLowerCaseVersion4()
    {
        const QRegularExpression form("^\\{[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}\\}$");
        std::set<std::string> seen;
        for (int n = 0; n < 2000; ++n) {
            const std::string g = kv_new_guid();
            QVERIFY2(form.match(QString::fromStdString(g)).hasMatch(), g.c_str());
            seen.insert(g);
        }
        QCOMPARE(seen.size(), size_t(2000));
    }

    void controlAddressSlots()
    {
        const std::string three = fields("m_list_addr.addr.m_use_it_0=1|m_list_addr.addr.m_addr_0=1/1/1|"
                                         "m_list_addr.addr.m_use_it_1=1|m_list_addr.addr.m_addr_1=2/2/2|"
                                         "m_list_addr.addr.m_use_it_2=1|m_list_addr.addr.m_addr_2=3/3/3");
        QCOMPARE(KV_GUI_Control(three).m_list_addr.size(), size_t(3));
        // A gap at slot 1 ends the list even though slot 2 is present.
        const KV_GUI_Control gap(drop_field(three, "m_list_addr.addr.m_use_it_1"));
        QCOMPARE(gap.m_list_addr, (std::vector<KV_Group_Address>{{1, 1, 1}}));
        // An empty or malformed address text is 0/0/0 but keeps its slot.
        const KV_GUI_Control odd(fields("m_list_addr.addr.m_use_it_0=1|m_list_addr.addr.m_addr_0=|"
                                        "m_list_addr.addr.m_use_it_1=1|m_list_addr.addr.m_addr_1=a/b|"
                                        "m_list_addr.addr.m_use_it_2=1"));
        QCOMPARE(odd.m_list_addr, (std::vector<KV_Group_Address>(3)));

        KV_GUI_Control c;
        for (uint32_t i = 0; i < 70; ++i)
            c.m_list_addr.push_back({i, i % 8, i + 1});
        const KV_GUI_Control full(c.encode());
        QCOMPARE(full.m_list_addr.size(), size_t(64));
        QCOMPARE(full.m_list_addr[63], (KV_Group_Address{63, 7, 64}));
    }

    void controlParameters()
    {
        KV_GUI_Control c;
        for (int i = 0; i < 100; ++i)
            c.m_list_param.push_back("p" + std::to_string(i) + (i % 10 == 0 ? "\nzweite Zeile" : ""));
        const KV_GUI_Control over(c.encode());
        QCOMPARE(over.m_list_param.size(), size_t(90));
        QCOMPARE(over.m_list_param[89], std::string("p89"));
        QCOMPARE(over.m_list_param[10], std::string("p10\nzweite Zeile"));

        // A negative marker ends the list like a missing one.
        const KV_GUI_Control neg(fields("m_list_param.m_use_it_0=1|m_list_param.m_str_value_0=a|"
                                        "m_list_param.m_use_it_1=-1|m_list_param.m_str_value_1=b"));
        QCOMPARE(neg.m_list_param, (std::vector<std::string>{"a"}));
    }

    void pageAddControlReplacesByGuid()
    {
        KV_GUI_Page page;
        KV_GUI_Control a(fields("m_str_guid={a}|m_str_name=alt"));
        KV_GUI_Control* first = page.add_control(a);
        page.add_control(KV_GUI_Control(fld("m_str_guid", "{b}")));

        a.m_str_name = "neu";
        a.m_list_param = {"x"};
        QCOMPARE(page.add_control(a), first);
        QCOMPARE(page.m_controls.size(), size_t(2));
        QCOMPARE(page.m_controls[0]->m_str_name, std::string("neu"));
        QCOMPARE(page.m_controls[0]->m_list_param, (std::vector<std::string>{"x"}));
        QCOMPARE(page.find_control("{b}"), page.m_controls[1].get());
        QCOMPARE(page.find_control("{none}"), nullptr);

        // An empty GUID is an identity like any other.
        KV_GUI_Control anonymous;
        KV_GUI_Control* unnamed = page.add_control(anonymous);
        QCOMPARE(page.add_control(anonymous), unnamed);
        QCOMPARE(page.m_controls.size(), size_t(3));
        QCOMPARE(page.find_control(""), unnamed);
    }

    void logicBlockConnectors()
    {
        const std::string text =
            fields("m_list_io_input.io.m_use_it_0=1|m_list_io_input.io.m_addr_0=1/1/10|m_list_io_input.io.m_use_it_1=1|"
                   "m_list_io_input.io.m_use_it_2=1|m_list_io_input.io.m_addr_2=1/1/12|m_list_io_output.io.m_use_it_0=1|"
                   "m_list_io_output.io.m_use_it_1=1|m_list_io_output.io.m_addr_1=2/2/21");
        const KV_LOGIC_Control block(text);
        QCOMPARE(block.inputs().size(), size_t(3));
        QCOMPARE(block.outputs().size(), size_t(2));
        QCOMPARE(block.input(2)->m_addr, (KV_Group_Address{1, 1, 12}));
        QCOMPARE(block.output(1)->m_addr, (KV_Group_Address{2, 2, 21}));
        QVERIFY(!block.input(3) && !block.output(5));

        const KV_LOGIC_Control gap(drop_field(text, "m_list_io_input.io.m_use_it_1"));
        QCOMPARE(gap.inputs().size(), size_t(1));
        QCOMPARE(gap.outputs().size(), size_t(2));
    }

    void logicPageAddControl()
    {
        KV_LOGIC_Page page;
        KV_LOGIC_Control block(fld("m_str_guid", "{l}"));
        block.m_list_io_input.push_back(io({1, 2, 3}));
        KV_LOGIC_Control* added = page.add_control(block);
        // The page's block has its own connectors.
        QVERIFY(added->input(0) != block.input(0));
        QCOMPARE(added->input(0)->m_addr, (KV_Group_Address{1, 2, 3}));
        block.m_str_name = "neu";
        QCOMPARE(page.add_control(block), added);
        QCOMPARE(page.m_controls.size(), size_t(1));
        QCOMPARE(added->m_str_name, std::string("neu"));
        QCOMPARE(page.find_control("{l}"), added);
        QCOMPARE(page.find_control("{x}"), nullptr);
    }

    void routeList()
    {
        const std::string text = routes_of(70).encode();
        KV_Routes routes(text);
        QCOMPARE(routes.m_list_route.size(), size_t(64));
        QCOMPARE(routes.m_list_route[63].m_str_serial, std::string("SN63"));
        QCOMPARE(KV_Routes(drop_field(text, "m_list_route.m_use_kv_dns_svr_2")).m_list_route.size(), size_t(2));

        // Only the VPN host missing: it reads as the online server's host.
        const KV_Routes no_vpn(drop_field(text, "m_list_route.m_str_dns_vpn_1"));
        QCOMPARE(no_vpn.m_list_route.at(1).m_str_dns_vpn, std::string("connect.kirovantor3.net"));
        QCOMPARE(no_vpn.m_list_route.at(0).m_str_dns_vpn, std::string("vpn.example.org"));

        // The active route: the first one when the index is outside the list.
        QCOMPARE(KV_Routes(fld("m_route_default", "2")).active_route(), nullptr);
        for (int index : {64, 70, -1}) {
            routes.m_route_default = index;
            QCOMPARE(routes.active_route(), &routes.m_list_route[0]);
            QCOMPARE(routes.m_route_default, 0);
        }
        routes.m_route_default = 63;
        QCOMPARE(routes.active_route(), &routes.m_list_route[63]);
        QCOMPARE(routes.m_route_default, 63);
    }

    void userList()
    {
        QCOMPARE(KV_Settings_Users(fields("m_str_name_0=a|m_str_name_2=c")).m_list_user.size(), size_t(1));

        // Every account is written; reading ends at the first without a name.
        KV_Settings_Users users;
        users.m_list_user = {{"admin", "", false}, {"", "x", true}, {"gast", "", true}};
        QVERIFY(has_key(users.encode(), "m_str_name_2"));
        QCOMPARE(KV_Settings_Users(users.m_text).m_list_user.size(), size_t(1));

        users.m_list_user.assign(70, {"u", "", false});
        QCOMPARE(KV_Settings_Users(users.encode()).m_list_user.size(), size_t(64));
    }

    // Colour presets and sequences in logic block parameters: the texts byte
    // for byte both ways, the default presets and sequence, and what a block
    // keeps when they are written back.
    void colour_texts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("written"); // empty: refused
        QTest::newRow("red") << "100/0/0/0/Rot" << "100/0/0/0/Rot";
        QTest::newRow("rounded") << "33.4/66.6/0/12.2/Mix/1" << "33/67/0/12/Mix/1";
        QTest::newRow("no name") << "0/0/0/100/" << "0/0/0/100/";
        QTest::newRow("clamped") << "-5/250/x/1e9/a#b" << "0/100/0/100/a#b";
        QTest::newRow("too short") << "100/0/0" << "";
        QTest::newRow("empty") << "" << "";
    }
    void colour_texts()
    {
        QFETCH(QString, text);
        QFETCH(QString, written);
        const auto preset = kv_color_from_text(text.toStdString());
        QCOMPARE(preset.has_value(), !written.isEmpty());
        if (preset)
            QCOMPARE(QString::fromStdString(kv_color_text(*preset)), written);
    }

    void sequence_texts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::vector<KV_Sequence_Step>>("steps");
        QTest::addColumn<QString>("written");
        const std::vector<KV_Sequence_Step> two = {{{100, 0, 0, 0}, 0, 5, false}, {{0, 100, 0, 20}, 50, 90, true}};
        const QString two_text = "2#100/0/0/0/0/5/0#0/100/0/20/50/90/1";
        QTest::newRow("two steps") << two_text << two << two_text;
        QTest::newRow("count beyond the steps") << "3#100/0/0/0/0/5/0#0/100/0/20/50/90/1" << two << two_text;
        QTest::newRow("count below the steps") << "1#100/0/0/0/0/5/0#0/100/0/20/50/90/1"
                                               << std::vector<KV_Sequence_Step>{two[0]} << "1#100/0/0/0/0/5/0";
        QTest::newRow("empty") << "0#" << std::vector<KV_Sequence_Step>{} << "0#";
        QTest::newRow("no list") << "100/0/0/0/0/5/0" << std::vector<KV_Sequence_Step>{} << "0#";
        QTest::newRow("short step") << "1#7/8" << std::vector<KV_Sequence_Step>{{{7, 8, 0, 0}, 0, 0, false}}
                                    << "1#7/8/0/0/0/0/0";
    }
    void sequence_texts()
    {
        QFETCH(QString, text);
        QFETCH(std::vector<KV_Sequence_Step>, steps);
        QFETCH(QString, written);
        QVERIFY(kv_sequence_from_text(text.toStdString()) == steps);
        QCOMPARE(QString::fromStdString(kv_sequence_text(steps)), written);
    }

    void block_without_settings_has_the_defaults()
    {
        KV_LOGIC_Control block;
        block.m_list_param.push_back({"Ort", "Terrasse"});
        CTRL_Settings_RGBW presets(block);
        presets.write_to(block);
        QCOMPARE(QString::fromStdString(*block.param("Voreinstellungen")),
                 QStringLiteral("9#100/0/0/0/Rot#0/100/0/0/Grün#0/0/100/0/Blau#100/100/0/0/Gelb#0/100/100/0/Cyan#"
                                "100/0/100/0/Magenta#100/100/100/0/Weiß#0/0/0/100/Weißkanal#0/0/0/0/Aus"));
        CTRL_Settings_RGBW_SEQU sequences(block);
        sequences.write_to(block);
        QCOMPARE(QString::fromStdString(*block.param("Sequenz 1")),
                 QStringLiteral("3#100/0/0/0/0/5/0#0/100/0/0/0/5/0#0/0/100/0/0/5/0"));
        QCOMPARE(block.m_list_param[0].m_str_value, std::string("Terrasse")); // others stay
    }

    void written_settings_replace_the_old_ones()
    {
        KV_LOGIC_Control block;
        block.m_list_param = {{"Voreinstellungen", "1#0/0/0/100/Warm"}, {"Sequenz 1", "0#"}, {"Sequenz 2", "0#"},
                              {"Sequenz 3", "0#"}, {"Sequenz 10", "x"}};
        CTRL_Settings_RGBW presets(block);
        QCOMPARE(presets.m_presets.size(), size_t(1));
        QCOMPARE(presets.m_presets[0].name, std::string("Warm"));
        presets.m_presets.clear();
        presets.write_to(block);
        QVERIFY(CTRL_Settings_RGBW(block).m_presets.empty()); // an empty list is not the default set

        CTRL_Settings_RGBW_SEQU sequences(block);
        QCOMPARE(sequences.m_sequences.size(), size_t(3));
        sequences.m_sequences = {{{{0, 0, 100, 0}, 0, 61, true}}};
        sequences.write_to(block);
        QStringList names;
        for (const KV_LOGIC_Param& p : block.m_list_param)
            names << QString::fromStdString(p.m_str_name + "=" + p.m_str_value);
        QCOMPARE(names, (QStringList{"Voreinstellungen=0#", "Sequenz 1=1#0/0/100/0/0/61/1"}));
    }
};

QTEST_GUILESS_MAIN(TestKvRecords)
#include "tst_kv_records.moc"
