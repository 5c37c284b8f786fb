#include "kv_large_project.h"

#include <cstdio>

#include "kv_guid.h"
#include "kv_project_db.h"

namespace {
KV_Group_Address address_of(int n) { return {static_cast<uint32_t>(n / 1000), static_cast<uint32_t>(n / 50 % 20), static_cast<uint32_t>(n % 50 + 1)}; }

void build_addresses(KV_Addr_Tree& tree)
{
    const uint32_t types[] = {1, 1, 5, 5, 6, 9, 10, 14, 3, 15};
    for (uint32_t hg = 0; hg < 10; ++hg) {
        KV_Addr_HG main;
        main.m_num_hg = hg;
        main.m_str_name = "Geschoss " + std::to_string(hg);
        tree.add_hg(main);
        for (uint32_t mg = 0; mg < 20; ++mg) {
            KV_Addr_MG middle;
            middle.m_num_hg = hg;
            middle.m_num_mg = mg;
            middle.m_str_name = "Raum " + std::to_string(mg);
            tree.add_mg(middle);
            for (uint32_t sub = 1; sub <= 50; ++sub) {
                KV_Addr_Db a;
                a.m_addr_write = {hg, mg, sub};
                a.m_str_comment = "Raum " + std::to_string(mg) + " Kanal " + std::to_string(sub) + " Status";
                a.m_data_typ = types[sub % 10];
                a.m_fread_init = sub % 2;
                set_value_from_double(a, sub * 1.5);
                if (sub % 5 == 0)
                    a.m_addr_listen = {{hg, mg, sub - 1}, {hg, (mg + 1) % 20, sub}};
                tree.add_address(a);
            }
        }
    }
}

void build_gui(std::vector<std::unique_ptr<KV_GUI_Page>>& pages)
{
    for (int p = 0; p < 100; ++p) {
        auto page = std::make_unique<KV_GUI_Page>();
        page->m_str_guid = kv_new_guid();
        page->m_str_caption = "Seite " + std::to_string(p);
        page->m_str_image_bg = "hintergrund.png";
        for (int c = 0; c < 50; ++c) {
            KV_GUI_Control control;
            control.m_typ = c % 12;
            control.m_x = c * 20 % 1000;
            control.m_y = c * 10 % 500;
            control.m_str_guid = kv_new_guid();
            control.m_str_guid_parent_page = page->m_str_guid;
            control.m_str_name = "Licht Wohnen " + std::to_string(c);
            for (int s = 0; s < 4; ++s)
                control.m_list_addr.push_back(address_of((p * 50 + c + s * 7) % 10000));
            control.m_list_param = {"1", "0", "ff8800", "lampe_an.png", "lampe_aus.png", "%.1f °C",
                                    "0.5", "100", "20/22/24/18", "Wohnzimmer"};
            page->m_controls.push_back(std::make_unique<KV_GUI_Control>(control));
        }
        pages.push_back(std::move(page));
    }
}

void build_logic(std::vector<std::unique_ptr<KV_LOGIC_Page>>& pages)
{
    for (int p = 0; p < 20; ++p) {
        auto page = std::make_unique<KV_LOGIC_Page>();
        page->m_str_guid = kv_new_guid();
        page->m_str_caption = "Logik " + std::to_string(p);
        for (int b = 0; b < 50; ++b) {
            auto block = std::make_unique<KV_LOGIC_Control>();
            block->m_typ = b % 30;
            block->m_str_guid = kv_new_guid();
            block->m_str_guid_parent_page = page->m_str_guid;
            block->m_str_name = "Baustein " + std::to_string(b);
            for (int i = 0; i < 6; ++i)
                block->m_list_io_input.push_back(
                    std::make_shared<KV_LOGIC_IO>(KV_LOGIC_IO{address_of((p * 500 + b * 6 + i) % 10000), "Eingang"}));
            for (int i = 0; i < 4; ++i)
                block->m_list_param.push_back({"Parameter " + std::to_string(i), std::to_string(i * 10)});
            for (int i = 0; i < 3; ++i)
                block->m_list_io_output.push_back(
                    std::make_shared<KV_LOGIC_IO>(KV_LOGIC_IO{address_of((p * 300 + b * 3 + i + 5000) % 10000), "Ausgang"}));
            page->m_controls.push_back(std::move(block));
        }
        pages.push_back(std::move(page));
    }
}

void build_clocks(KV_Settings_Clock& clocks)
{
    clocks.m_use_it = true;
    for (int c = 0; c < 200; ++c) {
        KV_Settings_Clock::Clock clock;
        clock.m_str_name = "Schaltuhr " + std::to_string(c);
        clock.m_str_guid = kv_new_guid();
        clock.m_addr_db_write = address_of(c * 37 % 10000);
        for (int t = 0; t < 20; ++t) {
            KV_Settings_Clock::Time time;
            time.m_str_name = "Zeit " + std::to_string(t);
            time.m_hour = t % 24;
            time.m_minute = t * 7 % 60;
            time.m_value = t % 2;
            for (int d = 0; d < 7; ++d)
                time.m_fwekday[d] = (t + d) % 3 != 0;
            clock.m_list_time.push_back(time);
        }
        clocks.m_list_clock.push_back(clock);
    }
}

} // namespace

void kv_build_large_project(CKV_Project_Db& db)
{
    db.m_project.m_str_name = "Grossprojekt";
    db.m_project.m_str_guid = kv_new_guid();
    build_addresses(db.m_addr);
    build_gui(db.m_gui_pages);
    build_logic(db.m_logic_pages);
    build_clocks(db.m_settings_clock);
}

bool kv_write_large_project(const std::string& path)
{
    std::remove(path.c_str());
    CKV_Project_Db db;
    if (!db.load(path))
        return false;
    kv_build_large_project(db);
    return db.save(true);
}
