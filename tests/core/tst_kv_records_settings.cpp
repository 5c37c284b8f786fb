#include <QtTest>

#include "kv_settings.h"
#include "records_test_util.h"

namespace {
// Decodes the record's text into a fresh record and encodes that again.
template <class R>
std::string reencoded(R& record)
{
    R back(record.encode());
    return back.encode();
}

bool starts_with(const std::string& s, const std::string& prefix) { return s.rfind(prefix, 0) == 0; }

KV_Settings_Clock::Time sample_time(int n)
{
    KV_Settings_Clock::Time t;
    t.m_typ = 1;
    t.m_group = 2;
    t.m_use_group = true;
    t.m_str_scene = "{s}";
    t.m_str_name = "Morgens " + std::to_string(n);
    t.m_year = 2024;
    t.m_use_year = true;
    t.m_month = 12;
    t.m_day = 24;
    t.m_hour = 6;
    t.m_minute = n % 60;
    t.m_value = 21.5;
    t.m_fwekday[0] = t.m_fwekday[2] = t.m_fwekday[4] = true;
    return t;
}

KV_Settings_Clock::Clock sample_clock(int n, int times)
{
    KV_Settings_Clock::Clock c;
    c.m_active = n % 2 == 0;
    c.m_str_name = "Uhr " + std::to_string(n);
    c.m_str_guid = "{c" + std::to_string(n) + "}";
    c.m_addr_db_write = {1, 1, static_cast<uint32_t>(n)};
    c.m_addr_db_lock = {1, 2, static_cast<uint32_t>(n)};
    c.m_addr_db_lock_invert_ = true;
    c.m_hold_value_ = n % 3 == 0;
    for (int t = 0; t < times; ++t)
        c.m_list_time.push_back(sample_time(t));
    return c;
}

KV_Settings_Scene::Scene sample_scene(int n, int items)
{
    KV_Settings_Scene::Scene s;
    s.m_active = false;
    s.m_str_name = "Szene " + std::to_string(n);
    s.m_str_guid = "{s" + std::to_string(n) + "}";
    s.m_str_icon = "kino.svg";
    s.m_time = 2.25;
    s.m_addr_bit_load = {3, 0, 1};
    s.m_addr_bit_load_trigger = 1;
    s.m_addr_bit_save = {3, 0, 2};
    s.m_addr_bit_save_trigger = 2;
    s.m_addr_bit_stop = {3, 0, 3};
    s.m_addr_bit_stop_trigger = 3;
    s.m_gui_used = "tile";
    for (int i = 0; i < items; ++i)
        s.m_list_item.push_back({i % 2 == 0, {4, 1, static_cast<uint32_t>(i)}, 0.5 * i, 1.25, "{g}"});
    return s;
}
} // namespace

class TestKvRecordsSettings : public QObject {
    Q_OBJECT
private slots:
    void clockEncodesInKeyOrder()
    {
        KV_Settings_Clock clock;
        clock.m_use_it = true;
        clock.m_addr_db_group = {1, 2, 3};
        clock.m_str_groups = "A;B";
        clock.m_list_clock.push_back(sample_clock(0, 1));
        clock.m_list_clock[0].m_str_name = "Flur";
        const std::string c = "clock__0_";
        const std::string t = "clock__0__tm__0_";
        const std::string expected =
            fld("m_use_it", "1") + fld("m_addr_db_group", "1/2/3") + fld("m_str_groups", "A;B") +
            fld(c + "m_active", "1") + fld(c + "m_str_name", "Flur") + fld(c + "m_str_guid", "{c0}") +
            fld(c + "m_addr_db_write", "1/1/0") + fld(c + "m_addr_db_lock", "1/2/0") +
            fld(c + "m_addr_db_lock_invert_", "1") + fld(c + "m_hold_value_", "1") + fld(t + "m_typ", "1") +
            fld(t + "m_group", "2") + fld(t + "m_use_group", "1") + fld(t + "m_str_scene", "{s}") +
            fld(t + "m_str_name", "Morgens 0") + fld(t + "m_year", "2024") + fld(t + "m_use_year", "1") +
            fld(t + "m_month", "12") + fld(t + "m_day", "24") + fld(t + "m_hour", "6") + fld(t + "m_minute", "0") +
            fld(t + "m_value", "21.500000") + fld(t + "m_fwekday[0]", "1") + fld(t + "m_fwekday[1]", "0") +
            fld(t + "m_fwekday[2]", "1") + fld(t + "m_fwekday[3]", "0") + fld(t + "m_fwekday[4]", "1") +
            fld(t + "m_fwekday[5]", "0") + fld(t + "m_fwekday[6]", "0");
        QCOMPARE(clock.encode(), expected);

        const KV_Settings_Clock back(expected);
        QCOMPARE(back.m_list_clock.size(), size_t(1));
        QCOMPARE(back.m_list_clock[0].m_list_time.size(), size_t(1));
        QCOMPARE(back.m_list_clock[0].m_list_time[0].m_value, 21.5);
        QCOMPARE(back.m_list_clock[0].m_list_time[0].m_fwekday[4], true);
        QCOMPARE(back.m_list_clock[0].m_list_time[0].m_fwekday[5], false);
    }

    void clockNestedKeysAndGaps()
    {
        KV_Settings_Clock clock;
        for (int n = 0; n < 13; ++n)
            clock.m_list_clock.push_back(sample_clock(n, 4));
        const std::string text = clock.encode();
        QVERIFY(has_key(text, "clock__0__tm__3_m_minute"));
        QVERIFY(has_key(text, "clock__12_m_active"));
        QVERIFY(has_key(text, "clock__12__tm__3_m_fwekday[6]"));
        QCOMPARE(reencoded(clock), text);

        // Clock 2 missing: the reader stops after clocks 0 and 1.
        const KV_Settings_Clock gap(drop_fields(text, [](const std::string& k) { return starts_with(k, "clock__2_"); }));
        QCOMPARE(gap.m_list_clock.size(), size_t(2));
        QCOMPARE(gap.m_list_clock[1].m_str_name, std::string("Uhr 1"));
        // An inactive clock (marker 0) still counts.
        QCOMPARE(gap.m_list_clock[1].m_active, false);

        // Time 1 of clock 0 missing: clock 0 keeps one time, the others all four.
        const KV_Settings_Clock time_gap(drop_field(text, "clock__0__tm__1_m_typ"));
        QCOMPARE(time_gap.m_list_clock.size(), size_t(13));
        QCOMPARE(time_gap.m_list_clock[0].m_list_time.size(), size_t(1));
        QCOMPARE(time_gap.m_list_clock[1].m_list_time.size(), size_t(4));
    }

    void clockDefaultsAndGroups()
    {
        const KV_Settings_Clock empty{std::string()};
        QCOMPARE(empty.m_str_groups, std::string("Anwesend;Abwesend;Arbeit;Wochenende;Urlaub"));
        QVERIFY(!empty.m_use_it && empty.m_addr_db_group.is_null() && empty.m_list_clock.empty());
        const KV_Settings_Clock blank(fld("m_use_it", "1") + fld("m_str_groups", ""));
        QCOMPARE(blank.m_str_groups, std::string(KV_CLOCK_DEFAULT_GROUPS));

        // A time with only its marker takes the time defaults.
        const KV_Settings_Clock sparse(fld("clock__0_m_active", "1") + fld("clock__0__tm__0_m_typ", "0"));
        const KV_Settings_Clock::Time& t = sparse.m_list_clock.at(0).m_list_time.at(0);
        QCOMPARE(t.m_year, 2016);
        QCOMPARE(t.m_value, 0.0);
        QCOMPARE(t.m_fwekday[0], false);
        KV_Settings_Clock fresh;
        QCOMPARE(fresh.encode(), KV_Settings_Clock(std::string()).encode());
    }

    void clockListMaxima()
    {
        KV_Settings_Clock clock;
        for (int n = 0; n < 256; ++n)
            clock.m_list_clock.push_back(sample_clock(n, 1));
        clock.m_list_clock[0] = sample_clock(0, 130);
        const KV_Settings_Clock over(clock.encode());
        QCOMPARE(over.m_list_clock.size(), KV_Settings_Clock::MAX_CLOCKS);
        QCOMPARE(over.m_list_clock[0].m_list_time.size(), KV_Settings_Clock::MAX_TIMES);
        QCOMPARE(over.m_list_clock[254].m_str_name, std::string("Uhr 254"));

        clock.m_list_clock.resize(255);
        clock.m_list_clock[0].m_list_time.resize(128);
        const std::string text = clock.encode();
        QCOMPARE(reencoded(clock), text);
    }

    void sceneEncodesInKeyOrder()
    {
        KV_Settings_Scene scenes;
        scenes.m_use_it = true;
        scenes.m_addr_num = {5, 0, 1};
        scenes.m_addr_num_save = 64;
        scenes.m_list_scene.push_back(sample_scene(0, 1));
        const std::string s = "scene_0_";
        const std::string i = "scene_0_item_0_";
        const std::string expected =
            fld("m_use_it", "1") + fld("m_addr_num", "5/0/1") + fld("m_addr_num_save", "64") + fld(s + "m_use_it", "1") +
            fld(s + "m_active", "0") + fld(s + "m_str_name", "Szene 0") + fld(s + "m_str_guid", "{s0}") +
            fld(s + "m_str_icon", "kino.svg") + fld(s + "m_time", "2.250000") + fld(s + "m_addr_bit_load", "3/0/1") +
            fld(s + "m_addr_bit_load_trigger", "1") + fld(s + "m_addr_bit_save", "3/0/2") +
            fld(s + "m_addr_bit_save_trigger", "2") + fld(s + "m_addr_bit_stop", "3/0/3") +
            fld(s + "m_addr_bit_stop_trigger", "3") + fld(s + "m_gui_used", "tile") + fld(i + "m_use_it", "1") +
            fld(i + "m_active", "1") + fld(i + "m_addr", "4/1/0") + fld(i + "m_value", "0.000000") +
            fld(i + "m_time", "1.250000") + fld(i + "m_str_gui_control", "{g}");
        QCOMPARE(scenes.encode(), expected);
        QCOMPARE(reencoded(scenes), expected);
    }

    void sceneKeysAndDefaults()
    {
        KV_Settings_Scene scenes;
        scenes.m_list_scene.push_back(sample_scene(0, 3));
        scenes.m_list_scene.push_back(sample_scene(1, 2));
        const std::string text = scenes.encode();
        QVERIFY(has_key(text, "scene_0_item_2_m_value"));
        QVERIFY(has_key(text, "scene_1_m_addr_bit_load"));

        const std::string sparse = drop_fields(text, [](const std::string& k) {
            return k == "m_addr_num_save" || k == "m_addr_num" || k == "scene_0_m_time" || k == "scene_0_item_1_m_time";
        });
        const KV_Settings_Scene back(sparse);
        QCOMPARE(back.m_addr_num_save, 128);
        QVERIFY(back.m_addr_num.is_null());
        QCOMPARE(back.m_list_scene.at(0).m_time, 0.5);
        QCOMPARE(back.m_list_scene.at(1).m_time, 2.25);
        QCOMPARE(back.m_list_scene[0].m_list_item.at(1).m_time, 0.0);
        QCOMPARE(back.m_list_scene[0].m_list_item.at(2).m_time, 1.25);
        QCOMPARE(back.m_list_scene[0].m_list_item[2].m_value, 1.0);

        // Item 1 of scene 0 missing: scene 0 keeps one item.
        const KV_Settings_Scene gap(drop_field(text, "scene_0_item_1_m_use_it"));
        QCOMPARE(gap.m_list_scene.at(0).m_list_item.size(), size_t(1));
        QCOMPARE(gap.m_list_scene.at(1).m_list_item.size(), size_t(2));

        const KV_Settings_Scene empty{std::string()};
        QCOMPARE(empty.m_addr_num_save, 128);
        KV_Settings_Scene fresh;
        QCOMPARE(fresh.encode(), KV_Settings_Scene(std::string()).encode());
    }

    void sceneListMaxima()
    {
        KV_Settings_Scene scenes;
        scenes.m_list_scene.push_back(sample_scene(0, 1030));
        for (int n = 1; n < 1030; ++n)
            scenes.m_list_scene.push_back(sample_scene(n, 0));
        const KV_Settings_Scene over(scenes.encode());
        QCOMPARE(over.m_list_scene.size(), KV_Settings_Scene::MAX_SCENES);
        QCOMPARE(over.m_list_scene[0].m_list_item.size(), KV_Settings_Scene::MAX_ITEMS);
        QCOMPARE(over.m_list_scene[1023].m_str_name, std::string("Szene 1023"));

        scenes.m_list_scene.resize(1024);
        scenes.m_list_scene[0].m_list_item.resize(1024);
        const std::string text = scenes.encode();
        QCOMPARE(reencoded(scenes), text);
    }

    void knx()
    {
        KV_Settings_KNX knx;
        knx.m_use_it = true;
        knx.m_use_knx_onboard = false;
        knx.m_comm_port_typ = 2;
        knx.m_str_com_port = "/dev/ttyS0";
        knx.m_addr_src = "1.1.250";
        knx.m_sleeptime = 20;
        knx.m_read_zykl = 30;
        knx.m_intern_ab = 15;
        knx.m_ip_routing = 1;
        knx.m_list_interface = {{"192.168.1.10", "Linie 1", 3672, true}};
        const std::string expected =
            fld("m_use_it", "1") + fld("m_use_knx_onboard", "0") + fld("m_comm_port_typ", "2") +
            fld("m_str_com_port", "/dev/ttyS0") + fld("m_addr_src", "1.1.250") + fld("m_sleeptime", "20") +
            fld("m_read_zykl", "30") + fld("m_intern_ab", "15") + fld("m_ip_routing", "1") +
            fld("m_str_ip_addr_0", "192.168.1.10") + fld("m_str_name_0", "Linie 1") + fld("m_port_0", "3672") +
            fld("m_ignore_state_errors_0", "1");
        QCOMPARE(knx.encode(), expected);
        QCOMPARE(reencoded(knx), expected);

        const KV_Settings_KNX empty{std::string()};
        QCOMPARE(empty.m_use_knx_onboard, true);
        QCOMPARE(empty.m_sleeptime, 10);
        QCOMPARE(empty.m_read_zykl, 10);
        QCOMPARE(empty.m_intern_ab, 31);
        QCOMPARE(KV_Settings_KNX().encode(), KV_Settings_KNX(std::string()).encode());

        // The list ends at the first empty address; 64 at most.
        knx.m_list_interface.clear();
        for (int i = 0; i < 70; ++i)
            knx.m_list_interface.push_back({"10.0.0." + std::to_string(i), "", 3671, false});
        const std::string text = knx.encode();
        QCOMPARE(KV_Settings_KNX(text).m_list_interface.size(), KV_Settings_KNX::MAX_INTERFACES);
        const KV_Settings_KNX gap(drop_field(text, "m_str_ip_addr_3") + fld("m_str_ip_addr_3", ""));
        QCOMPARE(gap.m_list_interface.size(), size_t(3));
        const KV_Settings_KNX sparse(fld("m_str_ip_addr_0", "10.0.0.1"));
        QCOMPARE(sparse.m_list_interface.at(0).m_port, 3671);

        // An interface without an address is not written, so the ones after it survive.
        knx.m_list_interface = {{"a", "", 1, false}, {"", "leer", 2, false}, {"c", "", 3, false}};
        const KV_Settings_KNX skipped(knx.encode());
        QCOMPARE(skipped.m_list_interface.size(), size_t(2));
        QCOMPARE(skipped.m_list_interface[1].m_str_ip_addr, std::string("c"));
    }

    void eapDevicesAndIoPoints()
    {
        KV_Settings_EAP eap;
        eap.m_use_it = true;
        for (int d = 0; d < 3; ++d) {
            KV_Settings_EAP::Device dev{d, 10 + d, "Gerät", "opt", 1, "/dev/ttyUSB0", 9600, 300, 20, 2, {}};
            for (int p = 0; p < d + 2; ++p)
                dev.m_list_io.push_back({p, 1, "Punkt " + std::to_string(p), "o"});
            eap.m_list_device.push_back(dev);
        }
        const std::string text = eap.encode();
        QVERIFY(starts_with(text, fld("m_use_it", "1") + fld("m_typ_0", "0") + fld("m_id_0", "10")));
        QVERIFY(has_key(text, "io__1__2_m_str_comment"));
        QVERIFY(has_key(text, "m_priority_2"));
        QCOMPARE(reencoded(eap), text);

        const KV_Settings_EAP gap(drop_field(drop_field(text, "m_typ_1"), "io__0__1_m_typ"));
        QCOMPARE(gap.m_list_device.size(), size_t(1));
        QCOMPARE(gap.m_list_device[0].m_list_io.size(), size_t(1));

        const KV_Settings_EAP sparse(fld("m_typ_0", "4"));
        QCOMPARE(sparse.m_list_device.at(0).m_timeout, 250);
        QCOMPARE(sparse.m_list_device.at(0).m_waittime, 10);
        QCOMPARE(KV_Settings_EAP().encode(), KV_Settings_EAP(std::string()).encode());

        eap.m_list_device.resize(20, eap.m_list_device[0]);
        QCOMPARE(KV_Settings_EAP(eap.encode()).m_list_device.size(), KV_Settings_EAP::MAX_DEVICES);
    }

    void modbusMaster()
    {
        KV_Settings_MODBUS_MASTER master;
        master.m_use_it = true;
        master.m_sleeptime = 250;
        KV_Settings_MODBUS_MASTER::Node node{7, 8, false, "Zähler", 1, "9600,8,N,1", "10.0.0.9", 5020, 900, {}};
        for (int r = 0; r < 4; ++r)
            node.m_list_register.push_back({r % 2 == 0, 100 + r, 2, 1, 3, 0.1, "R" + std::to_string(r), 4, 5, true, true, 60});
        master.m_list_node = {node, node};
        master.m_list_node[1].m_node_id_mg = 0;
        const std::string text = master.encode();
        QVERIFY(starts_with(text, fld("m_use_it", "1") + fld("m_sleeptime", "250") + fld("m_node_id_mg_0", "7")));
        QVERIFY(has_key(text, "node__0m_register_activ_3"));
        QVERIFY(has_key(text, "node__1m_register_factor_2"));
        QVERIFY(text.find(fld("node__0m_register_factor_0", "0.100000")) != std::string::npos);
        QCOMPARE(reencoded(master), text);

        const KV_Settings_MODBUS_MASTER gap(drop_field(text, "node__1m_register_activ_1"));
        QCOMPARE(gap.m_list_node.size(), size_t(2));
        QCOMPARE(gap.m_list_node[0].m_list_register.size(), size_t(4));
        QCOMPARE(gap.m_list_node[1].m_list_register.size(), size_t(1));
        QCOMPARE(gap.m_list_node[0].m_list_register[1].m_register_activ, false);

        const KV_Settings_MODBUS_MASTER empty{std::string()};
        QCOMPARE(empty.m_sleeptime, 1000);
        const KV_Settings_MODBUS_MASTER sparse(fld("m_node_id_mg_0", "3"));
        QCOMPARE(sparse.m_list_node.at(0).m_node_ip_port, 502);
        QCOMPARE(sparse.m_list_node.at(0).m_node_read_timeout, 500);
        QCOMPARE(sparse.m_list_node.at(0).m_node_activ, true);
        QCOMPARE(KV_Settings_MODBUS_MASTER().encode(), KV_Settings_MODBUS_MASTER(std::string()).encode());
    }

    void modbusSlave()
    {
        KV_Settings_MODBUS_SLAVE slave;
        slave.m_use_it = true;
        slave.m_id = 3;
        slave.m_port = 1502;
        slave.m_typ = 1;
        slave.m_com_param = "19200";
        slave.m_list_register = {{40001, 2, 3, 4, {1, 2, 3}, 0.5, -1.25}};
        const std::string expected = fld("m_use_it", "1") + fld("m_id", "3") + fld("m_port", "1502") + fld("m_typ", "1") +
                                     fld("m_com_param", "19200") + fld("m_addr_0", "40001") + fld("m_anzahl_0", "2") +
                                     fld("m_function_code_0", "3") + fld("m_datatyp_0", "4") +
                                     fld("m_addr_db_0", "1/2/3") + fld("m_faktor_0", "0.500000") +
                                     fld("m_offset_0", "-1.250000");
        QCOMPARE(slave.encode(), expected);
        QCOMPARE(reencoded(slave), expected);

        const KV_Settings_MODBUS_SLAVE sparse(fld("m_addr_0", "0") + fld("m_addr_2", "5"));
        QCOMPARE(sparse.m_port, 502);
        QCOMPARE(sparse.m_list_register.size(), size_t(1));
        QCOMPARE(sparse.m_list_register[0].m_anzahl, 1);
        QCOMPARE(sparse.m_list_register[0].m_function_code, 1);
        QCOMPARE(sparse.m_list_register[0].m_offset, 0.0);
        QCOMPARE(KV_Settings_MODBUS_SLAVE().encode(), KV_Settings_MODBUS_SLAVE(std::string()).encode());

        slave.m_list_register.resize(300, slave.m_list_register[0]);
        QCOMPARE(KV_Settings_MODBUS_SLAVE(slave.encode()).m_list_register.size(), KV_Settings_MODBUS_SLAVE::MAX_REGISTERS);
    }

    void meterCameraHostLists()
    {
        KV_Settings_MBus mbus;
        mbus.m_use_it = true;
        mbus.m_list_meter = {{false, 1, 2, 3, true, 900, "Wasser", "2400", "0;1"}, {true, 4, 5, 6, false, 60, "Gas", "", ""}};
        const std::string mtext = mbus.encode();
        QVERIFY(starts_with(mtext, fld("m_use_it", "1") + fld("m_use_it_0", "0") + fld("m_id_0", "1")));
        QCOMPARE(reencoded(mbus), mtext);
        const KV_Settings_MBus msparse(fld("m_use_it_0", "1"));
        QCOMPARE(msparse.m_list_meter.at(0).m_interval, 600);

        KV_Settings_IP_Cam cams;
        cams.m_use_it = true;
        cams.m_list_cam = {{true, "Tür", "{k}", "u", "p", "rtsp://cam/1", "o"}, {false, "Hof", "{h}", "", "", "", ""}};
        const std::string ctext = cams.encode();
        QVERIFY(has_key(ctext, "m_str_url_0"));
        QCOMPARE(reencoded(cams), ctext);

        KV_Settings_Host hosts;
        hosts.m_use_it = true;
        hosts.m_list_host = {{true, "Nebengebäude", "{n}", "admin", "md5", "10.0.0.2", 1, 2, "1-3", "4", 1}};
        const std::string htext = hosts.encode();
        QVERIFY(has_key(htext, "m_offset_hg_out_0"));
        QCOMPARE(reencoded(hosts), htext);

        // Lists of 255 and cut beyond.
        mbus.m_list_meter.resize(260, mbus.m_list_meter[1]);
        cams.m_list_cam.resize(260, cams.m_list_cam[0]);
        hosts.m_list_host.resize(260, hosts.m_list_host[0]);
        QCOMPARE(KV_Settings_MBus(mbus.encode()).m_list_meter.size(), size_t(255));
        QCOMPARE(KV_Settings_IP_Cam(cams.encode()).m_list_cam.size(), size_t(255));
        QCOMPARE(KV_Settings_Host(hosts.encode()).m_list_host.size(), size_t(255));
        mbus.m_list_meter.resize(255);
        QCOMPARE(reencoded(mbus), mbus.m_text);

        QCOMPARE(KV_Settings_MBus().encode(), KV_Settings_MBus(std::string()).encode());
        QCOMPARE(KV_Settings_IP_Cam().encode(), KV_Settings_IP_Cam(std::string()).encode());
        QCOMPARE(KV_Settings_Host().encode(), KV_Settings_Host(std::string()).encode());
    }

    void mailAndBroadcast()
    {
        KV_Settings_Mail mail;
        mail.m_use_it = true;
        mail.m_use_mailserver_extern = true;
        mail.m_str_smtp_server = "smtp.example.org";
        mail.m_str_smtp_user = "haus";
        mail.m_str_smtp_password = "geheim";
        mail.m_smtp_port = 587;
        mail.m_str_from = "haus@example.org";
        const std::string mexpected = fld("m_use_it", "1") + fld("m_use_mailserver_extern", "1") +
                                      fld("m_str_smtp_server", "smtp.example.org") + fld("m_str_smtp_user", "haus") +
                                      fld("m_str_smtp_password", "geheim") + fld("m_smtp_port", "587") +
                                      fld("m_str_from", "haus@example.org");
        QCOMPARE(mail.encode(), mexpected);
        QCOMPARE(reencoded(mail), mexpected);
        QCOMPARE(KV_Settings_Mail(std::string()).m_smtp_port, 25);

        KV_Settings_Broadcast filter;
        filter.m_use_it = true;
        filter.m_use_filter_send = false;
        filter.m_use_filter_receice = true;
        filter.m_filter_send = "1/*/*";
        filter.m_filter_receice = "2/*/*";
        const std::string bexpected = fld("m_use_it", "1") + fld("m_use_filter_send", "0") +
                                      fld("m_use_filter_receice", "1") + fld("m_filter_send", "1/*/*") +
                                      fld("m_filter_receice", "2/*/*");
        QCOMPARE(filter.encode(), bexpected);
        QCOMPARE(reencoded(filter), bexpected);
    }

    void alexaSonosDmx()
    {
        KV_Settings_Alexa alexa;
        alexa.m_use_it = true;
        alexa.m_list_device = {{true, "Licht", "id1", {{true, {1, 1, 1}}, {false, {1, 1, 2}}}}, {false, "Rollo", "id2", {}}};
        const std::string atext = alexa.encode();
        QVERIFY(starts_with(atext, fld("m_use_it", "1") + fld("alexa_0_m_use_it", "1") + fld("alexa_0_m_str_name", "Licht")));
        QVERIFY(has_key(atext, "alexa_0_item_1_m_addr"));
        QCOMPARE(reencoded(alexa), atext);
        const KV_Settings_Alexa agap(drop_field(atext, "alexa_0_item_0_m_use_it"));
        QCOMPARE(agap.m_list_device.size(), size_t(2));
        QVERIFY(agap.m_list_device[0].m_list_item.empty());

        KV_Settings_Sonos sonos;
        sonos.m_use_it = true;
        sonos.m_list_entry = {{true, 1, "Küche", 4, "radio", {2, 3, 4}}, {true, 0, "Bad", 1, "", {}}};
        const std::string stext = sonos.encode();
        QVERIFY(has_key(stext, "sonos_1_m_cmd"));
        QVERIFY(stext.find(fld("sonos_1_m_addr", "0/0/0")) != std::string::npos);
        QCOMPARE(reencoded(sonos), stext);
        sonos.m_list_entry.resize(1030, sonos.m_list_entry[0]);
        QCOMPARE(KV_Settings_Sonos(sonos.encode()).m_list_entry.size(), KV_Settings_Sonos::MAX_ENTRIES);

        KV_Settings_DMX dmx;
        dmx.m_use_it = true;
        KV_Settings_DMX::Adapter adapter{true, 2, "Bühne", 1, "{d}", {}};
        for (int i = 0; i < 512; ++i)
            adapter.m_list_item.push_back({true, i + 1, {6, 0, static_cast<uint32_t>(i)}});
        dmx.m_list_adapter = {adapter, adapter};
        dmx.m_list_adapter[1].m_list_item.resize(3);
        const std::string dtext = dmx.encode();
        QVERIFY(has_key(dtext, "dmx_1_item_2_m_channel"));
        QVERIFY(has_key(dtext, "dmx_0_m_universe"));
        QCOMPARE(reencoded(dmx), dtext);
        dmx.m_list_adapter[0].m_list_item.push_back({true, 513, {}});
        QCOMPARE(KV_Settings_DMX(dmx.encode()).m_list_adapter[0].m_list_item.size(), KV_Settings_DMX::MAX_ITEMS);

        // A cursor left behind by another record must not make the scalar
        // m_use_it match the tail of alexa_0_m_use_it.
        const std::string flags = fld("m_use_it", "0") + fld("alexa_0_m_use_it", "1");
        KV_Settings_Alexa reused;
        const KV_Data other(fld("abc", "x") + fld("m_str_name", "y"));
        QCOMPARE(get_string(other, "m_str_name", ""), std::string("y"));
        QVERIFY(kv_search_cursor() > 0 && kv_search_cursor() < flags.find("m_use_it", 1));
        reused.set_text(flags);
        QCOMPARE(reused.m_use_it, false);
        QCOMPARE(reused.m_list_device.size(), size_t(1));

        QCOMPARE(KV_Settings_Alexa().encode(), KV_Settings_Alexa(std::string()).encode());
        QCOMPARE(KV_Settings_Sonos().encode(), KV_Settings_Sonos(std::string()).encode());
        QCOMPARE(KV_Settings_DMX().encode(), KV_Settings_DMX(std::string()).encode());
    }

    void loggerGroup()
    {
        KV_Settings_Logger_Group group;
        group.m_str_guid = "{lg}";
        group.m_str_name = "Temperaturen";
        group.m_list_curve = {{{1, 2, 3}, "Wohnen", 0.1, "°C", 9}, {{1, 2, 4}, "Bad", 1.0, "°C", 9}};
        const std::string expected = fld("m_str_guid", "{lg}") + fld("m_str_name", "Temperaturen") +
                                     fld("m_addr_0", "1/2/3") + fld("m_str_alias_0", "Wohnen") +
                                     fld("m_factor_0", "0.100000") + fld("m_unit_0", "°C") + fld("m_addr_typ_0", "9") +
                                     fld("m_addr_1", "1/2/4") + fld("m_str_alias_1", "Bad") +
                                     fld("m_factor_1", "1.000000") + fld("m_unit_1", "°C") + fld("m_addr_typ_1", "9");
        QCOMPARE(group.encode(), expected);
        QCOMPARE(reencoded(group), expected);

        // A 0/0/0 curve is dropped, the curves after it are kept; the list ends at an empty address.
        const KV_Settings_Logger_Group dropped(fld("m_addr_0", "1/1/1") + fld("m_addr_1", "0/0/0") + fld("m_addr_2", "x") +
                                               fld("m_addr_3", "2/2/2") + fld("m_addr_4", "") + fld("m_addr_5", "3/3/3"));
        QCOMPARE(dropped.m_list_curve.size(), size_t(2));
        QCOMPARE(dropped.m_list_curve[1].m_addr, (KV_Group_Address{2, 2, 2}));
        QCOMPARE(dropped.m_list_curve[1].m_factor, 1.0);
    }
};

QTEST_GUILESS_MAIN(TestKvRecordsSettings)
#include "tst_kv_records_settings.moc"
