#pragma once
// The project store: owns every record of the open project and the SQLite
// file it lives in (one record text per row, files as blobs in KV_FILES).

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "kv_addr.h"
#include "kv_gui.h"
#include "kv_logic.h"
#include "kv_project.h"
#include "kv_routes.h"
#include "kv_settings.h"
#include "kv_sqlite_db.h"
#include "kv_users.h"

// Held while the address tree is replaced (loading).
std::recursive_mutex& kv_address_lock();
// Names of every table a project file has, in their creation order.
std::vector<const char*> kv_project_tables();

// Held by the main window while a downloaded project replaces the open one.
std::recursive_mutex& kv_project_lock();

class CKV_Project_Db {
public:
    CKV_Project_Db() = default;
    CKV_Project_Db(const CKV_Project_Db&) = delete;
    CKV_Project_Db& operator=(const CKV_Project_Db&) = delete;

    // Closes what is open, opens (or creates) path and reads every table.
    // False only when the file cannot be opened as a database; missing or
    // unreadable tables leave their records at the defaults (traced).
    bool load(const std::string& path);
    // Rewrites every table in one transaction. False when nothing is open or
    // a row of the address tables or of a single-record table failed.
    bool save(bool update_time);
    bool save_routes();
    void close_project();
    // Swaps every record, the path and the connection with other: a project
    // loaded aside (on another thread) takes this store's place at once.
    void swap(CKV_Project_Db& other) noexcept;
    // Opens the connection again at path (the file was renamed there); the
    // records in memory stay as they are. False when it does not open.
    bool reopen(const std::string& path);
    // Refuses writes to the open file while it is being replaced.
    bool set_read_only(bool on) { return m_db.set_query_only(on); }

    const std::string& path() const { return m_path; }
    bool is_open() const { return !m_path.empty() && m_db.is_open(); }
    const std::string& last_error() const { return m_db.last_error(); }

    // Stored files (images, sounds, language files) by name.
    bool get_file(const std::string& name, std::vector<unsigned char>& out);
    bool put_file(const std::string& name, const std::vector<unsigned char>& data);
    std::vector<std::string> list_files();

    // First page with this GUID, or null.
    KV_GUI_Page* find_gui_page(const std::string& guid) const;
    KV_LOGIC_Page* find_logic_page(const std::string& guid) const;

    KV_SysInfo m_sysinfo; // from the controller, not kept in the file
    KV_Project m_project;
    KV_Settings_KNX m_settings_knx;
    KV_Settings_EAP m_settings_eap;
    KV_Settings_MODBUS_MASTER m_settings_modbus_master;
    KV_Settings_MODBUS_SLAVE m_settings_modbus_slave;
    KV_Settings_Clock m_settings_clock;
    KV_Settings_IP_Cam m_settings_ip_cam;
    KV_Settings_Host m_settings_host;
    KV_Settings_MBus m_settings_mbus;
    KV_Settings_Mail m_settings_mail;
    KV_Settings_Scene m_settings_scene;
    KV_Settings_Alexa m_settings_alexa;
    KV_Settings_Sonos m_settings_sonos;
    KV_Settings_DMX m_settings_dmx;
    KV_Settings_Users m_settings_users;
    std::vector<std::unique_ptr<KV_Settings_Logger_Group>> m_logger_groups;
    KV_Routes m_routes;
    KV_Addr_Tree m_addr;
    std::vector<std::unique_ptr<KV_GUI_Page>> m_gui_pages;
    std::vector<std::unique_ptr<KV_LOGIC_Page>> m_logic_pages;

private:
    struct Single_Table {
        const char* table;
        KV_Data* record;
    };
    // The one-row tables in their load and save order.
    std::vector<Single_Table> single_tables();

    void reset_records();
    void load_addresses();
    bool save_addresses();
    void save_logic();
    void save_gui();

    CKV_Sqlite_Db m_db;
    std::string m_path;
};
