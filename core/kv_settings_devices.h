#pragma once
// Settings of the controller's services: cameras, coupled controllers, mail,
// voice assistant, audio, DMX, data-logger groups and telegram filters.

#include <cstdint>
#include <string>
#include <vector>

#include "kv_address.h"
#include "kv_data.h"

class KV_Settings_IP_Cam : public KV_Data {
public:
    static constexpr size_t MAX_CAMS = 255;

    struct Cam {
        bool m_use_it = true;
        std::string m_str_name;
        std::string m_str_guid;
        std::string m_str_user;
        std::string m_str_passwd;
        std::string m_str_url;
        std::string m_str_options;
    };

    KV_Settings_IP_Cam() = default;
    explicit KV_Settings_IP_Cam(const std::string& text);

    std::string encode() override;
    void decode() override;

    bool m_use_it = false;
    std::vector<Cam> m_list_cam;
};

class KV_Settings_Host : public KV_Data {
public:
    static constexpr size_t MAX_HOSTS = 255;

    struct Host {
        bool m_use_it = true;
        std::string m_str_name;
        std::string m_str_guid;
        std::string m_str_user;
        std::string m_str_passwd_md5;
        std::string m_str_ip;
        int32_t m_offset_hg_in = 0;
        int32_t m_offset_hg_out = 0;
        std::string m_filter_hg_in;
        std::string m_filter_hg_out;
        int32_t m_routing = 0;
    };

    KV_Settings_Host() = default;
    explicit KV_Settings_Host(const std::string& text);

    std::string encode() override;
    void decode() override;

    bool m_use_it = false;
    std::vector<Host> m_list_host;
};

class KV_Settings_Mail : public KV_Data {
public:
    KV_Settings_Mail() = default;
    explicit KV_Settings_Mail(const std::string& text);

    std::string encode() override;
    void decode() override;

    bool m_use_it = false;
    bool m_use_mailserver_extern = false;
    std::string m_str_smtp_server;
    std::string m_str_smtp_user;
    std::string m_str_smtp_password;
    int32_t m_smtp_port = 25;
    std::string m_str_from;
};

class KV_Settings_Alexa : public KV_Data {
public:
    static constexpr size_t MAX_DEVICES = 1024;
    // Items of device d use the prefix alexa_<d>_item_<i>_, marker m_use_it.
    static constexpr size_t MAX_ITEMS = 1024;

    struct Item {
        bool m_use_it = true;
        KV_Group_Address m_addr;
    };

    struct Device {
        bool m_use_it = true;
        std::string m_str_name;
        std::string m_str_id;
        std::vector<Item> m_list_item;
    };

    KV_Settings_Alexa() = default;
    explicit KV_Settings_Alexa(const std::string& text);

    std::string encode() override;
    void decode() override;

    bool m_use_it = false;
    std::vector<Device> m_list_device;
};

class KV_Settings_Sonos : public KV_Data {
public:
    static constexpr size_t MAX_ENTRIES = 1024;

    struct Entry {
        bool m_use_it = true;
        int32_t m_trigger = 0;
        std::string m_str_zone;
        int32_t m_cmd = 0;
        std::string m_str_data;
        KV_Group_Address m_addr;
    };

    KV_Settings_Sonos() = default;
    explicit KV_Settings_Sonos(const std::string& text);

    std::string encode() override;
    void decode() override;

    bool m_use_it = false;
    std::vector<Entry> m_list_entry;
};

class KV_Settings_DMX : public KV_Data {
public:
    static constexpr size_t MAX_ADAPTERS = 64;
    // One item per channel of a universe: prefix dmx_<a>_item_<i>_, marker m_use_it.
    static constexpr size_t MAX_ITEMS = 512;

    struct Item {
        bool m_use_it = true;
        int32_t m_channel = 0;
        KV_Group_Address m_addr;
    };

    struct Adapter {
        bool m_use_it = true;
        int32_t m_adapter_typ = 0;
        std::string m_str_name;
        int32_t m_universe = 0;
        std::string m_str_guid;
        std::vector<Item> m_list_item;
    };

    KV_Settings_DMX() = default;
    explicit KV_Settings_DMX(const std::string& text);

    std::string encode() override;
    void decode() override;

    bool m_use_it = false;
    std::vector<Adapter> m_list_adapter;
};

class KV_Settings_Logger_Group : public KV_Data {
public:
    // Curves end at the first empty m_addr text.
    static constexpr size_t MAX_CURVES = 64;

    struct Curve {
        KV_Group_Address m_addr; // 0/0/0 is dropped on reading
        std::string m_str_alias;
        double m_factor = 1.0;
        std::string m_unit;
        int32_t m_addr_typ = 0;
    };

    KV_Settings_Logger_Group() = default;
    explicit KV_Settings_Logger_Group(const std::string& text);

    std::string encode() override;
    void decode() override;

    std::string m_str_guid;
    std::string m_str_name;
    std::vector<Curve> m_list_curve;
};

class KV_Settings_Broadcast : public KV_Data {
public:
    KV_Settings_Broadcast() = default;
    explicit KV_Settings_Broadcast(const std::string& text);

    std::string encode() override;
    void decode() override;

    bool m_use_it = false;
    bool m_use_filter_send = false;
    bool m_use_filter_receice = false; // the controller's spelling
    std::string m_filter_send;
    std::string m_filter_receice;
};
