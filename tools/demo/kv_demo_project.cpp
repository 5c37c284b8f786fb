#include "kv_demo_project.h"

#include <cstdio>
#include <filesystem>

#include "kv_demo_ids.h"
#include "kv_demo_logger.h"
#include "kv_demo_media.h"
#include "kv_demo_parts.h"
#include "kv_project_db.h"
#include "kv_trace.h"

namespace {

// 2026-12-06 00:00 UTC: a fixed save time keeps the file reproducible.
constexpr int64_t DEMO_MODIFIED = 1796515200;

void fill_project_record(KV_Project& project)
{
    project.m_tm_modified = DEMO_MODIFIED;
    project.m_str_guid = kv_demo_guid("project");
    project.m_str_name = "Haus Sonnenhang";
    project.m_str_comment = "Demoprojekt\nEinfamilienhaus mit Erdgeschoss, Obergeschoss, Keller und Garten";
}

} // namespace

bool kv_build_demo_project(CKV_Project_Db& db)
{
    KV_Demo_Errors errors;
    fill_project_record(db.m_project);
    kv_demo_add_addresses(db);
    kv_demo_add_classic_pages(db, errors);
    kv_demo_add_tile_pages(db, errors);
    kv_demo_add_logic(db);
    kv_demo_add_settings(db);
    kv_demo_add_logger_groups(db);
    for (const std::string& error : errors.list())
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_SERVER, "DEMO: %s\n", error.c_str());
    if (!errors.empty())
        return false;

    std::vector<KV_Demo_File> files = kv_demo_media_files();
    files.push_back({"en.lng", kv_encode_language_file(kv_demo_english())});
    for (const KV_Demo_File& file : files) {
        if (!db.put_file(file.name, file.data)) {
            TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_SERVER, "DEMO: FILE NOT STORED: %s\n", file.name.c_str());
            return false;
        }
    }
    return true;
}

bool kv_write_demo_project(const std::string& path)
{
    const std::string part = path + ".part";
    std::error_code ec;
    std::filesystem::remove(part, ec);
    bool ok = false;
    {
        CKV_Project_Db db;
        ok = db.load(part) && kv_build_demo_project(db);
        db.m_project.m_str_filename = std::filesystem::path(path).filename().string();
        ok = ok && db.save(false);
        db.close_project();
    }
    if (ok)
        std::filesystem::rename(part, path, ec);
    if (!ok || ec) {
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_SERVER, "DEMO: NOT WRITTEN: %s\n", path.c_str());
        std::filesystem::remove(part, ec);
        return false;
    }
    return true;
}
