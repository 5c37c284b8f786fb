#pragma once
// Bus interface settings: KNX, serial field devices, Modbus, M-Bus.

#include <cstdint>
#include <string>
#include <vector>

#include "kv_address.h"
#include "kv_data.h"

class KV_Settings_KNX : public KV_Data {
public:
    static constexpr size_t MAX_INTERFACES = 64;

    struct Interface {
        std::string m_str_ip_addr; // empty ends the list
        std::string m_str_name;
        int32_t m_port = 3671;
        bool m_ignore_state_errors = false;
    };

    KV_Settings_KNX() = default;
    explicit KV_Settings_KNX(const std::string& text);

    std::string encode() override;
    void decode() override;

    bool m_use_it = false;
    bool m_use_knx_onboard = true;
    int32_t m_comm_port_typ = 0;
    std::string m_str_com_port;
    std::string m_addr_src; // physical source address as text
    int32_t m_sleeptime = 10;
    int32_t m_read_zykl = 10;
    int32_t m_intern_ab = 31;
    int32_t m_ip_routing = 0;
    std::vector<Interface> m_list_interface;
};

class KV_Settings_EAP : public KV_Data {
public:
    static constexpr size_t MAX_DEVICES = 16;
    // I/O points of device d use the key prefix io__<d>__<p>_, marker m_typ.
    static constexpr size_t MAX_IO = 256;

    struct IO {
        int32_t m_typ = 0; // negative ends the list
        int32_t m_priority = 0;
        std::string m_str_comment;
        std::string m_str_options;
    };

    struct Device {
        int32_t m_typ = 0; // negative ends the list
        int32_t m_id = 0;
        std::string m_str_comment;
        std::string m_str_options;
        int32_t m_comm_port_typ = 0;
        std::string m_str_com_port;
        int32_t m_comm_baudrate = 0;
        int32_t m_timeout = 250;
        int32_t m_waittime = 10;
        int32_t m_priority = 0;
        std::vector<IO> m_list_io;
    };

    KV_Settings_EAP() = default;
    explicit KV_Settings_EAP(const std::string& text);

    std::string encode() override;
    void decode() override;

    bool m_use_it = false;
    std::vector<Device> m_list_device;
};

class KV_Settings_MODBUS : public KV_Data {
public:
    KV_Settings_MODBUS() = default;
    explicit KV_Settings_MODBUS(const std::string& text)
        : KV_Data(text)
    {
    }

    // Both roles start with m_use_it.
    std::string encode() override;
    void decode() override;

    bool m_use_it = false;
};

class KV_Settings_MODBUS_MASTER : public KV_Settings_MODBUS {
public:
    static constexpr size_t MAX_NODES = 64;
    // Registers of node n use keys node__<n><member>_<r>, marker m_register_activ.
    static constexpr size_t MAX_REGISTERS = 256;

    struct Register {
        bool m_register_activ = true;
        int32_t m_register_address = 0;
        int32_t m_register_anzahl = 0;
        int32_t m_register_anzahl_variablen = 0;
        int32_t m_register_function_code = 0;
        double m_register_factor = 1.0;
        std::string m_register_name;
        int32_t m_register_datatyp_reg = 0;
        int32_t m_register_datatyp_gen = 0;
        bool m_register_signed = false;
        bool m_register_nur_aenderung = false;
        int32_t m_register_read_time = 0;
    };

    struct Node {
        int32_t m_node_id_mg = 0; // negative ends the list
        int32_t m_node_id_mg_neu = 0;
        bool m_node_activ = true;
        std::string m_node_name;
        int32_t m_node_protocol = 0;
        std::string m_node_com_param;
        std::string m_node_ip_addr;
        int32_t m_node_ip_port = 502;
        int32_t m_node_read_timeout = 500;
        std::vector<Register> m_list_register;
    };

    KV_Settings_MODBUS_MASTER() = default;
    explicit KV_Settings_MODBUS_MASTER(const std::string& text);

    std::string encode() override;
    void decode() override;

    int32_t m_sleeptime = 1000;
    std::vector<Node> m_list_node;
};

class KV_Settings_MODBUS_SLAVE : public KV_Settings_MODBUS {
public:
    static constexpr size_t MAX_REGISTERS = 255;

    struct Register {
        int32_t m_addr = 0; // negative ends the list
        int32_t m_anzahl = 1;
        int32_t m_function_code = 1;
        int32_t m_datatyp = 0;
        KV_Group_Address m_addr_db;
        double m_faktor = 1.0;
        double m_offset = 0.0;
    };

    KV_Settings_MODBUS_SLAVE() = default;
    explicit KV_Settings_MODBUS_SLAVE(const std::string& text);

    std::string encode() override;
    void decode() override;

    int32_t m_id = 0;
    int32_t m_port = 502;
    int32_t m_typ = 0;
    std::string m_com_param;
    std::vector<Register> m_list_register;
};

class KV_Settings_MBus : public KV_Data {
public:
    static constexpr size_t MAX_METERS = 255;

    struct Meter {
        bool m_use_it = true;
        int32_t m_id = 0;
        int32_t m_ug = 0;
        int32_t m_typ = 0;
        bool m_multi_frame = false;
        int32_t m_interval = 600;
        std::string m_str_name;
        std::string m_str_com_param;
        std::string m_str_index_data;
    };

    KV_Settings_MBus() = default;
    explicit KV_Settings_MBus(const std::string& text);

    std::string encode() override;
    void decode() override;

    bool m_use_it = false;
    std::vector<Meter> m_list_meter;
};
