// Time switches, scenes, camera and users of the demo house.

#include "kv_demo_ids.h"
#include "kv_demo_parts.h"
#include "kv_project_db.h"

namespace {

using Time = KV_Settings_Clock::Time;

constexpr bool MO_FR[7] = {true, true, true, true, true, false, false};
constexpr bool SA_SO[7] = {false, false, false, false, false, true, true};
constexpr bool DAILY[7] = {true, true, true, true, true, true, true};

Time weekly(const char* name, const bool (&days)[7], int hour, int minute, double value)
{
    Time t;
    t.m_typ = 0;
    t.m_str_name = name;
    t.m_hour = hour;
    t.m_minute = minute;
    t.m_value = value;
    std::copy(std::begin(days), std::end(days), t.m_fwekday);
    return t;
}

Time on_date(const char* name, int day, int month, int year, int hour, int minute, double value)
{
    Time t;
    t.m_typ = 1;
    t.m_str_name = name;
    t.m_day = day;
    t.m_month = month;
    if (year > 0) {
        t.m_year = year;
        t.m_use_year = true;
    }
    t.m_hour = hour;
    t.m_minute = minute;
    t.m_value = value;
    return t;
}

KV_Settings_Clock::Clock clock(const char* key, const char* name, const char* write, std::vector<Time> times)
{
    KV_Settings_Clock::Clock c;
    c.m_str_guid = demo_id::clock(key);
    c.m_str_name = name;
    c.m_addr_db_write = address_from_text(write);
    c.m_list_time = std::move(times);
    return c;
}

void add_clocks(KV_Settings_Clock& clocks)
{
    clocks.m_use_it = true;
    clocks.m_addr_db_group = address_from_text("6/0/7");
    clocks.m_str_groups = KV_CLOCK_DEFAULT_GROUPS;
    clocks.m_list_clock.push_back(clock("garten", "Gartenbeleuchtung", "1/2/1",
                                        {weekly("Abends ein", DAILY, 19, 30, 1), weekly("Nachts aus", DAILY, 23, 0, 0)}));
    Time holiday = weekly("Urlaub: Anwesenheit simulieren", DAILY, 20, 15, 100);
    holiday.m_group = 4;
    holiday.m_use_group = true;
    KV_Settings_Clock::Clock blinds = clock("rollladen", "Rollläden Wohnzimmer", "2/0/3",
                                            {weekly("Morgens auf (Werktag)", MO_FR, 6, 45, 0),
                                             weekly("Morgens auf (Wochenende)", SA_SO, 8, 30, 0),
                                             weekly("Abends zu", DAILY, 21, 30, 100), holiday});
    blinds.m_addr_db_lock = address_from_text("4/0/5");
    clocks.m_list_clock.push_back(blinds);
    Time party = weekly("Abend mit Szene", SA_SO, 19, 0, 22);
    party.m_str_scene = demo_id::scene("abend");
    clocks.m_list_clock.push_back(clock("heizung", "Heizung Wohnzimmer", "3/0/2",
                                        {weekly("Komfort morgens", MO_FR, 6, 0, 21.5),
                                         weekly("Absenkung", MO_FR, 22, 0, 19.0),
                                         weekly("Komfort Wochenende", SA_SO, 7, 30, 22.0), party,
                                         on_date("Heiligabend", 24, 12, 2026, 16, 0, 23.0),
                                         on_date("Silvester", 31, 12, 0, 18, 0, 22.5)}));
}

KV_Settings_Scene::Scene scene(const char* key, const char* name, const char* icon,
                               std::initializer_list<std::pair<const char*, double>> items)
{
    KV_Settings_Scene::Scene s;
    s.m_str_guid = demo_id::scene(key);
    s.m_str_name = name;
    s.m_str_icon = icon;
    for (const auto& [addr, value] : items) {
        KV_Settings_Scene::Item item;
        item.m_addr = address_from_text(addr);
        item.m_value = value;
        s.m_list_item.push_back(item);
    }
    return s;
}

void add_scenes(KV_Settings_Scene& scenes)
{
    scenes.m_use_it = true;
    scenes.m_addr_num = address_from_text("6/0/4");
    scenes.m_list_scene.push_back(scene("abend", "Abend", "sonne.svg",
                                        {{"1/0/4", 40}, {"1/0/11", 60}, {"1/0/13", 1}, {"2/0/3", 100}}));
    scenes.m_list_scene.back().m_addr_bit_load = address_from_text("6/0/8");
    scenes.m_list_scene.back().m_addr_bit_load_trigger = 1;
    scenes.m_list_scene.back().m_addr_bit_stop = address_from_text("6/0/21");
    scenes.m_list_scene.back().m_addr_bit_stop_trigger = 1;
    scenes.m_list_scene.push_back(scene("kino", "Kino", "lampe_aus.svg", {{"1/0/4", 10}, {"1/0/11", 0}, {"2/0/3", 100}}));
    scenes.m_list_scene.push_back(scene("alles_aus", "Alles aus", "lampe_aus.svg",
                                        {{"1/0/1", 0}, {"1/0/6", 0}, {"1/0/8", 0}, {"1/0/13", 0}, {"1/1/1", 0},
                                         {"1/1/5", 0}, {"1/1/7", 0}, {"1/2/10", 0}}));
    scenes.m_list_scene.push_back(
        scene("morgen", "Guten Morgen", "sonne.svg", {{"2/0/3", 0}, {"2/1/3", 0}, {"1/0/6", 1}}));
    scenes.m_list_scene.back().m_list_item.back().m_time = 2.0; // kitchen light after the blinds
}

} // namespace

void kv_demo_add_settings(CKV_Project_Db& db)
{
    add_clocks(db.m_settings_clock);
    add_scenes(db.m_settings_scene);

    db.m_settings_ip_cam.m_use_it = true;
    KV_Settings_IP_Cam::Cam cam;
    cam.m_str_name = "Einfahrt";
    cam.m_str_guid = demo_id::camera("einfahrt");
    cam.m_str_user = "viewer";
    cam.m_str_url = "http://192.168.178.60/snapshot.jpg";
    db.m_settings_ip_cam.m_list_cam.push_back(cam);

    // Passwords "sonnenhang" and "gast".
    db.m_settings_users.m_list_user.push_back({DEMO_USER_FAMILY, "e93cc9ee228159aafde09e6faac002a4", true});
    db.m_settings_users.m_list_user.push_back({DEMO_USER_GUEST, "d4061b1486fe2da19dd578e8d970f7eb", false});
}
