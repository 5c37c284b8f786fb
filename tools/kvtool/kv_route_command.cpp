#include "kv_route_command.h"

#include <filesystem>
#include <iostream>

#include "kv_crypto.h"
#include "kv_guid.h"
#include "kv_project_db.h"

int kv_route_command(int argc, char** argv)
{
    if (argc < 3 || argc > 5) {
        std::cerr << "usage: kvtool route FILE.kvp NAME HOST[:PORT] [USER [PASSWORD]]\n";
        return 2;
    }
    const std::string path = argv[0];
    const bool fresh = !std::filesystem::exists(path);

    CKV_Project_Db store;
    if (!store.load(path)) {
        std::cerr << "kvtool: cannot open " << path << '\n';
        return 1;
    }
    if (fresh) {
        // Same start as the panel gives a project file it has to create.
        const std::string name = std::filesystem::path(path).filename().string();
        store.m_project.m_str_name = name;
        store.m_project.m_str_filename = name;
        store.m_project.m_str_guid = kv_new_guid();
    }

    KV_Routes& routes = store.m_routes;
    KV_Routes::_route* route = nullptr;
    for (auto& candidate : routes.m_list_route) {
        if (candidate.m_str_name == argv[1])
            route = &candidate;
    }
    if (!route) {
        if (routes.m_list_route.size() >= KV_Routes::MAX_ROUTES) {
            std::cerr << "kvtool: the route list is full\n";
            return 1;
        }
        route = &routes.m_list_route.emplace_back();
    }
    route->m_use_kv_dns_svr = false;
    route->m_str_name = argv[1];
    route->m_str_ip = argv[2];
    route->m_str_user = argc > 3 ? argv[3] : "root";
    route->m_str_passwd_md5 = kv_crypto::md5_hex(argc > 4 ? argv[4] : "werk-zugang");
    routes.m_route_default = static_cast<int32_t>(route - routes.m_list_route.data());

    if (!store.save(fresh)) {
        std::cerr << "kvtool: cannot save " << path << '\n';
        return 1;
    }
    return 0;
}
