#pragma once
// Project files for the main window tests: pages with user lists and
// orientations, routes, a clock and a scene.

#include <QString>
#include <string>
#include <vector>

#include "../net/kv_test_route.h"
#include "kv_project_db.h"

struct Test_Page {
    std::string guid;
    std::string users;
    bool vertical = false;
};

// Writes a project at path: name, pages, routes (the last one active unless
// active is given), one clock and one scene.
inline bool write_test_project(const QString& path, const std::string& name, const std::vector<Test_Page>& pages,
                               const std::vector<KV_Routes::_route>& routes, int active = -1)
{
    CKV_Project_Db db;
    if (!db.load(path.toStdString()))
        return false;
    db.m_project.m_str_name = name;
    db.m_project.m_str_guid = "{00000000-0000-0000-0000-0000000000" + std::to_string(10 + name.size() % 80) + "}";
    for (const Test_Page& page : pages) {
        auto record = std::make_unique<KV_GUI_Page>();
        record->m_str_guid = page.guid;
        record->m_str_caption = page.guid;
        record->m_str_users = page.users;
        record->m_page_orientation = page.vertical ? 1 : 0;
        db.m_gui_pages.push_back(std::move(record));
    }
    db.m_routes.m_list_route = routes;
    db.m_routes.m_route_default = active >= 0 ? active : static_cast<int32_t>(routes.size()) - 1;

    KV_Settings_Clock::Clock clock;
    clock.m_str_name = "Uhr " + name;
    clock.m_str_guid = "{11111111-0000-0000-0000-000000000001}";
    db.m_settings_clock.m_list_clock.push_back(clock);
    KV_Settings_Scene::Scene scene;
    scene.m_str_name = "Szene " + name;
    scene.m_str_guid = "{22222222-0000-0000-0000-000000000001}";
    db.m_settings_scene.m_list_scene.push_back(scene);

    return db.save(false);
}
