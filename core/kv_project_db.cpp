#include "kv_project_db.h"

#include <ctime>
#include <future>
#include <sqlite3.h>
#include <system_error>
#include <unordered_map>

#include "kv_record_fields.h"
#include "kv_trace.h"

namespace {
constexpr const char* kCreateStatements[] = {
    "CREATE TABLE IF NOT EXISTS KV_PROJECT(DATA TEXT)",
    "CREATE TABLE IF NOT EXISTS KV_SETTINGS_KNX(DATA TEXT)",
    "CREATE TABLE IF NOT EXISTS KV_SETTINGS_EAP(DATA TEXT)",
    "CREATE TABLE IF NOT EXISTS KV_SETTINGS_CLOCK(DATA TEXT)",
    "CREATE TABLE IF NOT EXISTS KV_SETTINGS_IP_CAM(DATA TEXT)",
    "CREATE TABLE IF NOT EXISTS KV_SETTINGS_HOST(DATA TEXT)",
    "CREATE TABLE IF NOT EXISTS KV_SETTINGS_MBUS(DATA TEXT)",
    "CREATE TABLE IF NOT EXISTS KV_SETTINGS_MAIL(DATA TEXT)",
    "CREATE TABLE IF NOT EXISTS KV_SETTINGS_SCENE(DATA TEXT)",
    "CREATE TABLE IF NOT EXISTS KV_SETTINGS_ALEXA(DATA TEXT)",
    "CREATE TABLE IF NOT EXISTS KV_SETTINGS_SONOS(DATA TEXT)",
    "CREATE TABLE IF NOT EXISTS KV_SETTINGS_DMX(DATA TEXT)",
    "CREATE TABLE IF NOT EXISTS KV_SETTINGS_BROADCAST(DATA TEXT)",
    "CREATE TABLE IF NOT EXISTS KV_SETTINGS_MODBUS_MASTER(DATA TEXT)",
    "CREATE TABLE IF NOT EXISTS KV_SETTINGS_MODBUS_SLAVE(DATA TEXT)",
    "CREATE TABLE IF NOT EXISTS KV_SETTINGS_USERS(DATA TEXT)",
    "CREATE TABLE IF NOT EXISTS KV_SETTINGS_LOGGER_GROUP(DATA TEXT)",
    "CREATE TABLE IF NOT EXISTS KV_ROUTES(DATA TEXT)",
    "CREATE TABLE IF NOT EXISTS KV_USERS(DATA TEXT)",
    "CREATE TABLE IF NOT EXISTS KV_ADDR_HG(DATA TEXT)",
    "CREATE TABLE IF NOT EXISTS KV_ADDR_MG(DATA TEXT)",
    "CREATE TABLE IF NOT EXISTS KV_ADDR(DATA TEXT)",
    "CREATE TABLE IF NOT EXISTS KV_GUI_Control(DATA TEXT)",
    "CREATE TABLE IF NOT EXISTS KV_GUI_Page(DATA TEXT)",
    "CREATE TABLE IF NOT EXISTS KV_LOGIC_Control(DATA TEXT)",
    "CREATE TABLE IF NOT EXISTS KV_LOGIC_Page(DATA TEXT)",
    "CREATE TABLE IF NOT EXISTS KV_FILES(FILENAME TEXT PRIMARY KEY,DATA BLOB)",
};
constexpr const char* kCreateFiles = kCreateStatements[26];

// Reads the page table, then puts every control row on its page.
template <typename Page, typename Control>
void load_pages(CKV_Sqlite_Db& db, const char* page_table, const char* control_table,
                std::vector<std::unique_ptr<Page>>& pages)
{
    std::unordered_map<std::string, Page*> by_guid;
    Page row_page;
    db.for_each_row(page_table, [&](std::string_view text) {
        row_page.m_text.assign(text);
        decode_text(row_page);
        const auto it = by_guid.find(row_page.m_str_guid);
        if (it != by_guid.end()) {
            it->second->set_text(row_page.m_text); // the later row's fields, same controls
            return;
        }
        pages.push_back(std::make_unique<Page>(row_page.m_text));
        by_guid.emplace(row_page.m_str_guid, pages.back().get());
    });

    db.for_each_row(control_table, [&](std::string_view text) {
        // Decoded in place and moved onto its page: add_control would copy it.
        auto control = std::make_unique<Control>();
        control->m_text.assign(text);
        decode_text(*control);
        const auto it = by_guid.find(control->m_str_guid_parent_page);
        if (it == by_guid.end()) {
            TRACE(kv_trace::LEVEL_MSG, kv_trace::AREA_SERVER, "%s %s: page %s not found, dropped\n", control_table,
                  control->m_str_guid.c_str(), control->m_str_guid_parent_page.c_str());
            return;
        }
        if (Control* existing = it->second->find_control(control->m_str_guid))
            existing->set_text(control->m_text);
        else
            it->second->m_controls.push_back(std::move(control));
    });
}

// Page rows, each followed by its control rows. A failed control row ends
// that page's controls, a failed page row ends the tables.
template <typename Page>
void save_pages(CKV_Sqlite_Db& db, const char* page_table, const char* control_table,
                const std::vector<std::unique_ptr<Page>>& pages)
{
    CKV_Sqlite_Row_Writer page_writer(db, page_table);
    CKV_Sqlite_Row_Writer control_writer(db, control_table);
    for (const auto& page : pages) {
        if (!page_writer.write(*page))
            return;
        for (const auto& control : page->m_controls) {
            if (!control_writer.write(*control))
                break;
        }
    }
}
} // namespace

std::recursive_mutex& kv_address_lock()
{
    static std::recursive_mutex lock;
    return lock;
}

std::vector<const char*> kv_project_tables()
{
    return {"KV_PROJECT", "KV_SETTINGS_KNX", "KV_SETTINGS_EAP", "KV_SETTINGS_CLOCK", "KV_SETTINGS_IP_CAM",
            "KV_SETTINGS_HOST", "KV_SETTINGS_MBUS", "KV_SETTINGS_MAIL", "KV_SETTINGS_SCENE", "KV_SETTINGS_ALEXA",
            "KV_SETTINGS_SONOS", "KV_SETTINGS_DMX", "KV_SETTINGS_BROADCAST", "KV_SETTINGS_MODBUS_MASTER",
            "KV_SETTINGS_MODBUS_SLAVE", "KV_SETTINGS_USERS", "KV_SETTINGS_LOGGER_GROUP", "KV_ROUTES", "KV_USERS",
            "KV_ADDR_HG", "KV_ADDR_MG", "KV_ADDR", "KV_GUI_Control", "KV_GUI_Page", "KV_LOGIC_Control",
            "KV_LOGIC_Page", "KV_FILES"};
}

std::recursive_mutex& kv_project_lock()
{
    static std::recursive_mutex lock;
    return lock;
}

std::vector<CKV_Project_Db::Single_Table> CKV_Project_Db::single_tables()
{
    return {
        {"KV_PROJECT", &m_project},
        {"KV_ROUTES", &m_routes},
        {"KV_SETTINGS_KNX", &m_settings_knx},
        {"KV_SETTINGS_EAP", &m_settings_eap},
        {"KV_SETTINGS_MODBUS_MASTER", &m_settings_modbus_master},
        {"KV_SETTINGS_MODBUS_SLAVE", &m_settings_modbus_slave},
        {"KV_SETTINGS_CLOCK", &m_settings_clock},
        {"KV_SETTINGS_IP_CAM", &m_settings_ip_cam},
        {"KV_SETTINGS_HOST", &m_settings_host},
        {"KV_SETTINGS_MBUS", &m_settings_mbus},
        {"KV_SETTINGS_MAIL", &m_settings_mail},
        {"KV_SETTINGS_SCENE", &m_settings_scene},
        {"KV_SETTINGS_ALEXA", &m_settings_alexa},
        {"KV_SETTINGS_SONOS", &m_settings_sonos},
        {"KV_SETTINGS_DMX", &m_settings_dmx},
        {"KV_SETTINGS_USERS", &m_settings_users},
    };
}

void CKV_Project_Db::reset_records()
{
    for (const Single_Table& single : single_tables())
        single.record->reset();
    m_logger_groups.clear();
    KV_Addr_Tree old_addresses; // freed outside the lock
    {
        std::lock_guard<std::recursive_mutex> lock(kv_address_lock());
        std::swap(old_addresses, m_addr);
    }
    m_gui_pages.clear();
    m_logic_pages.clear();
    m_path.clear();
    m_db.close();
}

void CKV_Project_Db::close_project() { reset_records(); }

void CKV_Project_Db::swap(CKV_Project_Db& other) noexcept
{
    std::swap(m_project, other.m_project);
    std::swap(m_routes, other.m_routes);
    std::swap(m_settings_knx, other.m_settings_knx);
    std::swap(m_settings_eap, other.m_settings_eap);
    std::swap(m_settings_modbus_master, other.m_settings_modbus_master);
    std::swap(m_settings_modbus_slave, other.m_settings_modbus_slave);
    std::swap(m_settings_clock, other.m_settings_clock);
    std::swap(m_settings_ip_cam, other.m_settings_ip_cam);
    std::swap(m_settings_host, other.m_settings_host);
    std::swap(m_settings_mbus, other.m_settings_mbus);
    std::swap(m_settings_mail, other.m_settings_mail);
    std::swap(m_settings_scene, other.m_settings_scene);
    std::swap(m_settings_alexa, other.m_settings_alexa);
    std::swap(m_settings_sonos, other.m_settings_sonos);
    std::swap(m_settings_dmx, other.m_settings_dmx);
    std::swap(m_settings_users, other.m_settings_users);
    m_logger_groups.swap(other.m_logger_groups);
    {
        std::lock_guard<std::recursive_mutex> lock(kv_address_lock());
        std::swap(m_addr, other.m_addr);
    }
    m_gui_pages.swap(other.m_gui_pages);
    m_logic_pages.swap(other.m_logic_pages);
    m_db.swap(other.m_db);
    m_path.swap(other.m_path);
}

bool CKV_Project_Db::reopen(const std::string& path)
{
    m_db.close();
    m_path.clear();
    if (!m_db.open(path, false))
        return false;
    m_path = path;
    return true;
}

bool CKV_Project_Db::load(const std::string& path)
{
    // The GUI tables are the bigger half of a project: a second connection
    // reads them on another thread meanwhile, which also frees the old pages.
    std::vector<std::unique_ptr<KV_GUI_Page>> old_pages = std::move(m_gui_pages);
    reset_records();
    if (!m_db.open(path, true))
        return false;
    m_path = path;

    // The worker's connection keeps its own last error; it is handed on below.
    CKV_Sqlite_Db gui_db;
    std::future<bool> gui;
    try {
        gui = std::async(std::launch::async, [this, &old_pages, &gui_db] {
            old_pages.clear();
            if (!gui_db.open(m_path, false))
                return false;
            load_pages<KV_GUI_Page, KV_GUI_Control>(gui_db, "KV_GUI_Page", "KV_GUI_Control", m_gui_pages);
            return true;
        });
    } catch (const std::system_error& error) {
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_SERVER, "no loader thread (%s), pages read after the rest\n",
              error.what());
    }
    load_addresses();
    KV_Settings_Logger_Group row_group;
    m_db.for_each_row("KV_SETTINGS_LOGGER_GROUP", [&](std::string_view text) {
        row_group.m_text.assign(text);
        decode_text(row_group);
        m_logger_groups.push_back(std::make_unique<KV_Settings_Logger_Group>(row_group));
    });
    for (const Single_Table& single : single_tables())
        m_db.read_first(single.table, *single.record);
    load_pages<KV_LOGIC_Page, KV_LOGIC_Control>(m_db, "KV_LOGIC_Page", "KV_LOGIC_Control", m_logic_pages);
    if (!gui.valid() || !gui.get())
        load_pages<KV_GUI_Page, KV_GUI_Control>(m_db, "KV_GUI_Page", "KV_GUI_Control", m_gui_pages);
    else
        m_db.take_error(gui_db);
    return true;
}

void CKV_Project_Db::load_addresses()
{
    // The tree is built aside; the lock is held only for the swap, so that
    // a store loaded on another thread does not hold up the value path.
    KV_Addr_Tree tree;
    KV_Addr_HG hg;
    m_db.for_each_row("KV_ADDR_HG", [&](std::string_view text) {
        hg.m_text.assign(text);
        decode_text(hg);
        tree.add_hg(hg);
    });
    KV_Addr_MG mg;
    m_db.for_each_row("KV_ADDR_MG", [&](std::string_view text) {
        mg.m_text.assign(text);
        decode_text(mg);
        tree.add_mg(mg);
    });
    KV_Addr_Db address;
    m_db.for_each_row("KV_ADDR", [&](std::string_view text) {
        address.m_text.assign(text);
        decode_text(address);
        tree.add_address(std::move(address));
    });
    std::lock_guard<std::recursive_mutex> lock(kv_address_lock());
    std::swap(m_addr, tree);
}

bool CKV_Project_Db::save(bool update_time)
{
    if (!is_open())
        return false;
    for (const char* create : kCreateStatements)
        m_db.exec(create);
    if (update_time)
        m_project.m_tm_modified = std::time(nullptr);
    m_project.m_str_version = KV_PROGRAM_VERSION;

    // The save rewrites every table in one transaction; with the default page
    // cache (2 MB) a big project spills to the file before the commit, which
    // costs a journal sync per spill. Loading reads each page once and keeps
    // the default.
    m_db.exec("PRAGMA cache_size=-32768");
    m_db.exec("BEGIN TRANSACTION");
    bool ok = save_addresses();

    m_db.exec("DELETE FROM KV_SETTINGS_LOGGER_GROUP");
    {
        CKV_Sqlite_Row_Writer writer(m_db, "KV_SETTINGS_LOGGER_GROUP");
        for (const auto& group : m_logger_groups) {
            if (!writer.write(*group))
                break;
        }
    }
    for (const Single_Table& single : single_tables()) {
        if (!m_db.write(single.table, *single.record, true))
            ok = false;
    }
    save_logic();
    save_gui();
    m_db.exec("END TRANSACTION");
    return ok;
}

bool CKV_Project_Db::save_addresses()
{
    std::lock_guard<std::recursive_mutex> lock(kv_address_lock());
    m_db.exec("DELETE FROM KV_ADDR_HG");
    m_db.exec("DELETE FROM KV_ADDR_MG");
    m_db.exec("DELETE FROM KV_ADDR");
    CKV_Sqlite_Row_Writer hg_writer(m_db, "KV_ADDR_HG");
    CKV_Sqlite_Row_Writer mg_writer(m_db, "KV_ADDR_MG");
    CKV_Sqlite_Row_Writer address_writer(m_db, "KV_ADDR");
    bool ok = true;
    for (const auto& hg : m_addr.main_groups()) {
        ok = hg_writer.write(*hg) && ok;
        for (const auto& mg : hg->middle_groups()) {
            ok = mg_writer.write(*mg) && ok;
            for (const auto& address : mg->addresses())
                ok = address_writer.write(*address) && ok;
        }
    }
    return ok;
}

void CKV_Project_Db::save_logic()
{
    m_db.exec("DELETE FROM KV_LOGIC_Control");
    m_db.exec("DELETE FROM KV_LOGIC_Page");
    save_pages(m_db, "KV_LOGIC_Page", "KV_LOGIC_Control", m_logic_pages);
}

void CKV_Project_Db::save_gui()
{
    m_db.exec("DELETE FROM KV_GUI_Control");
    m_db.exec("DELETE FROM KV_GUI_Page");
    save_pages(m_db, "KV_GUI_Page", "KV_GUI_Control", m_gui_pages);
}

bool CKV_Project_Db::save_routes()
{
    if (!is_open())
        return false;
    m_db.exec("CREATE TABLE IF NOT EXISTS KV_ROUTES(DATA TEXT)");
    return m_db.write("KV_ROUTES", m_routes, true);
}

bool CKV_Project_Db::get_file(const std::string& name, std::vector<unsigned char>& out)
{
    out.clear();
    if (!m_db.is_open())
        return false;
    CKV_Sqlite_Statement stmt(m_db, "SELECT DATA FROM KV_FILES WHERE FILENAME = ?");
    if (!stmt.ok())
        return false;
    sqlite3_bind_text(stmt.get(), 1, name.data(), static_cast<int>(name.size()), SQLITE_STATIC);
    const int rc = sqlite3_step(stmt.get());
    if (rc != SQLITE_ROW) {
        if (rc != SQLITE_DONE)
            m_db.store_error();
        return false;
    }
    const auto* data = static_cast<const unsigned char*>(sqlite3_column_blob(stmt.get(), 0));
    const int size = sqlite3_column_bytes(stmt.get(), 0);
    if (data && size > 0)
        out.assign(data, data + size);
    return true;
}

bool CKV_Project_Db::put_file(const std::string& name, const std::vector<unsigned char>& data)
{
    if (!is_open())
        return false;
    m_db.exec(kCreateFiles);
    CKV_Sqlite_Statement stmt(m_db, "INSERT OR REPLACE INTO KV_FILES(FILENAME,DATA) VALUES(?,?)");
    if (!stmt.ok())
        return false;
    static const unsigned char kEmpty = 0; // a non-null pointer makes an empty blob, not NULL
    sqlite3_bind_text(stmt.get(), 1, name.data(), static_cast<int>(name.size()), SQLITE_STATIC);
    sqlite3_bind_blob(stmt.get(), 2, data.empty() ? &kEmpty : data.data(), static_cast<int>(data.size()),
                      SQLITE_STATIC);
    if (sqlite3_step(stmt.get()) != SQLITE_DONE) {
        m_db.store_error();
        return false;
    }
    return true;
}

std::vector<std::string> CKV_Project_Db::list_files()
{
    std::vector<std::string> names;
    if (!m_db.is_open())
        return names;
    CKV_Sqlite_Statement stmt(m_db, "SELECT * FROM KV_FILES");
    if (!stmt.ok())
        return names;
    int rc;
    while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt.get(), 0));
        names.emplace_back(text ? text : "", static_cast<size_t>(sqlite3_column_bytes(stmt.get(), 0)));
    }
    if (rc != SQLITE_DONE)
        m_db.store_error();
    return names;
}

KV_GUI_Page* CKV_Project_Db::find_gui_page(const std::string& guid) const { return find_by_guid(m_gui_pages, guid); }

KV_LOGIC_Page* CKV_Project_Db::find_logic_page(const std::string& guid) const
{
    return find_by_guid(m_logic_pages, guid);
}
