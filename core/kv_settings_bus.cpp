#include "kv_settings_bus.h"

#include "kv_record_fields.h"

// ---- KNX ----

KV_Settings_KNX::KV_Settings_KNX(const std::string& text)
    : KV_Data(text)
{
    decode_text(*this);
}

std::string KV_Settings_KNX::encode()
{
    m_text.clear();
    m_text += put_bool("m_use_it", m_use_it);
    m_text += put_bool("m_use_knx_onboard", m_use_knx_onboard);
    m_text += put_int("m_comm_port_typ", m_comm_port_typ);
    m_text += put_string("m_str_com_port", m_str_com_port);
    m_text += put_string("m_addr_src", m_addr_src);
    m_text += put_int("m_sleeptime", m_sleeptime);
    m_text += put_int("m_read_zykl", m_read_zykl);
    m_text += put_int("m_intern_ab", m_intern_ab);
    m_text += put_int("m_ip_routing", m_ip_routing);
    uint32_t i = 0;
    for (const Interface& itf : m_list_interface) {
        m_text += put_string("m_str_ip_addr", itf.m_str_ip_addr, i);
        m_text += put_string("m_str_name", itf.m_str_name, i);
        m_text += put_int("m_port", itf.m_port, i);
        m_text += put_bool("m_ignore_state_errors", itf.m_ignore_state_errors, i);
        ++i;
    }
    return m_text;
}

void KV_Settings_KNX::decode()
{
    static const KV_Settings_KNX def;
    kv_rewind_search_cursor();
    m_use_it = get_bool(*this, "m_use_it", def.m_use_it);
    m_use_knx_onboard = get_bool(*this, "m_use_knx_onboard", def.m_use_knx_onboard);
    m_comm_port_typ = get_int(*this, "m_comm_port_typ", def.m_comm_port_typ);
    m_str_com_port = get_string(*this, "m_str_com_port", def.m_str_com_port);
    m_addr_src = get_string(*this, "m_addr_src", def.m_addr_src);
    m_sleeptime = get_int(*this, "m_sleeptime", def.m_sleeptime);
    m_read_zykl = get_int(*this, "m_read_zykl", def.m_read_zykl);
    m_intern_ab = get_int(*this, "m_intern_ab", def.m_intern_ab);
    m_ip_routing = get_int(*this, "m_ip_routing", def.m_ip_routing);
    read_list(m_list_interface, MAX_INTERFACES, "m_str_ip_addr", [this](uint32_t i, Interface& itf) {
        itf.m_str_ip_addr = get_string(*this, "m_str_ip_addr", "", i);
        if (itf.m_str_ip_addr.empty())
            return false;
        itf.m_str_name = get_string(*this, "m_str_name", itf.m_str_name, i);
        itf.m_port = get_int(*this, "m_port", itf.m_port, i);
        itf.m_ignore_state_errors = get_bool(*this, "m_ignore_state_errors", itf.m_ignore_state_errors, i);
        return true;
    });
}

// ---- serial field devices ----

namespace {
// io__<d>__<p>_
std::string io_prefix(uint32_t device, uint32_t point) { return list_prefix(list_prefix("", "io_", device), "", point); }
} // namespace

KV_Settings_EAP::KV_Settings_EAP(const std::string& text)
    : KV_Data(text)
{
    decode_text(*this);
}

std::string KV_Settings_EAP::encode()
{
    m_text.clear();
    m_text += put_bool("m_use_it", m_use_it);
    for (uint32_t d = 0; d < m_list_device.size(); ++d) {
        const Device& dev = m_list_device[d];
        m_text += put_int("m_typ", dev.m_typ, d);
        m_text += put_int("m_id", dev.m_id, d);
        m_text += put_string("m_str_comment", dev.m_str_comment, d);
        m_text += put_string("m_str_options", dev.m_str_options, d);
        m_text += put_int("m_comm_port_typ", dev.m_comm_port_typ, d);
        m_text += put_string("m_str_com_port", dev.m_str_com_port, d);
        m_text += put_int("m_comm_baudrate", dev.m_comm_baudrate, d);
        m_text += put_int("m_timeout", dev.m_timeout, d);
        m_text += put_int("m_waittime", dev.m_waittime, d);
        m_text += put_int("m_priority", dev.m_priority, d);
        for (uint32_t p = 0; p < dev.m_list_io.size(); ++p) {
            const std::string prefix = io_prefix(d, p);
            const IO& io = dev.m_list_io[p];
            m_text += put_int(prefix + "m_typ", io.m_typ);
            m_text += put_int(prefix + "m_priority", io.m_priority);
            m_text += put_string(prefix + "m_str_comment", io.m_str_comment);
            m_text += put_string(prefix + "m_str_options", io.m_str_options);
        }
    }
    return m_text;
}

void KV_Settings_EAP::decode()
{
    static const KV_Settings_EAP def;
    kv_rewind_search_cursor();
    m_use_it = get_bool(*this, "m_use_it", def.m_use_it);
    read_list(m_list_device, MAX_DEVICES, "m_typ", [this](uint32_t d, Device& dev) {
        dev.m_typ = get_int(*this, "m_typ", -1, d);
        if (dev.m_typ < 0)
            return false;
        dev.m_id = get_int(*this, "m_id", dev.m_id, d);
        dev.m_str_comment = get_string(*this, "m_str_comment", dev.m_str_comment, d);
        dev.m_str_options = get_string(*this, "m_str_options", dev.m_str_options, d);
        dev.m_comm_port_typ = get_int(*this, "m_comm_port_typ", dev.m_comm_port_typ, d);
        dev.m_str_com_port = get_string(*this, "m_str_com_port", dev.m_str_com_port, d);
        dev.m_comm_baudrate = get_int(*this, "m_comm_baudrate", dev.m_comm_baudrate, d);
        dev.m_timeout = get_int(*this, "m_timeout", dev.m_timeout, d);
        dev.m_waittime = get_int(*this, "m_waittime", dev.m_waittime, d);
        dev.m_priority = get_int(*this, "m_priority", dev.m_priority, d);
        read_list(dev.m_list_io, MAX_IO, "io_", [&](uint32_t p, IO& io) {
            const std::string prefix = io_prefix(d, p);
            io.m_typ = get_int(*this, prefix + "m_typ", -1);
            if (io.m_typ < 0)
                return false;
            io.m_priority = get_int(*this, prefix + "m_priority", io.m_priority);
            io.m_str_comment = get_string(*this, prefix + "m_str_comment", io.m_str_comment);
            io.m_str_options = get_string(*this, prefix + "m_str_options", io.m_str_options);
            return true;
        });
        return true;
    });
}

// ---- Modbus ----

std::string KV_Settings_MODBUS::encode()
{
    m_text.clear();
    m_text += put_bool("m_use_it", m_use_it);
    return m_text;
}

void KV_Settings_MODBUS::decode()
{
    kv_rewind_search_cursor();
    m_use_it = get_bool(*this, "m_use_it", false);
}

KV_Settings_MODBUS_MASTER::KV_Settings_MODBUS_MASTER(const std::string& text)
    : KV_Settings_MODBUS(text)
{
    decode_text(*this);
}

namespace {
// Register keys: node__<n><member>_<r>
std::string node_key(uint32_t node) { return "node_" + index_suffix(node); }

void write_register(std::string& text, const std::string& n, uint32_t r, const KV_Settings_MODBUS_MASTER::Register& reg)
{
    text += put_bool(n + "m_register_activ", reg.m_register_activ, r);
    text += put_int(n + "m_register_address", reg.m_register_address, r);
    text += put_int(n + "m_register_anzahl", reg.m_register_anzahl, r);
    text += put_int(n + "m_register_anzahl_variablen", reg.m_register_anzahl_variablen, r);
    text += put_int(n + "m_register_function_code", reg.m_register_function_code, r);
    text += put_double(n + "m_register_factor", reg.m_register_factor, r);
    text += put_string(n + "m_register_name", reg.m_register_name, r);
    text += put_int(n + "m_register_datatyp_reg", reg.m_register_datatyp_reg, r);
    text += put_int(n + "m_register_datatyp_gen", reg.m_register_datatyp_gen, r);
    text += put_bool(n + "m_register_signed", reg.m_register_signed, r);
    text += put_bool(n + "m_register_nur_aenderung", reg.m_register_nur_aenderung, r);
    text += put_int(n + "m_register_read_time", reg.m_register_read_time, r);
}

bool read_register(const KV_Data& t, const std::string& n, uint32_t r, KV_Settings_MODBUS_MASTER::Register& reg)
{
    if (!read_flag_marker(t, n + "m_register_activ", r, reg.m_register_activ))
        return false;
    reg.m_register_address = get_int(t, n + "m_register_address", reg.m_register_address, r);
    reg.m_register_anzahl = get_int(t, n + "m_register_anzahl", reg.m_register_anzahl, r);
    reg.m_register_anzahl_variablen = get_int(t, n + "m_register_anzahl_variablen", reg.m_register_anzahl_variablen, r);
    reg.m_register_function_code = get_int(t, n + "m_register_function_code", reg.m_register_function_code, r);
    reg.m_register_factor = get_double(t, n + "m_register_factor", reg.m_register_factor, r);
    reg.m_register_name = get_string(t, n + "m_register_name", reg.m_register_name, r);
    reg.m_register_datatyp_reg = get_int(t, n + "m_register_datatyp_reg", reg.m_register_datatyp_reg, r);
    reg.m_register_datatyp_gen = get_int(t, n + "m_register_datatyp_gen", reg.m_register_datatyp_gen, r);
    reg.m_register_signed = get_bool(t, n + "m_register_signed", reg.m_register_signed, r);
    reg.m_register_nur_aenderung = get_bool(t, n + "m_register_nur_aenderung", reg.m_register_nur_aenderung, r);
    reg.m_register_read_time = get_int(t, n + "m_register_read_time", reg.m_register_read_time, r);
    return true;
}
} // namespace

std::string KV_Settings_MODBUS_MASTER::encode()
{
    KV_Settings_MODBUS::encode();
    m_text += put_int("m_sleeptime", m_sleeptime);
    for (uint32_t i = 0; i < m_list_node.size(); ++i) {
        const Node& node = m_list_node[i];
        m_text += put_int("m_node_id_mg", node.m_node_id_mg, i);
        m_text += put_int("m_node_id_mg_neu", node.m_node_id_mg_neu, i);
        m_text += put_bool("m_node_activ", node.m_node_activ, i);
        m_text += put_string("m_node_name", node.m_node_name, i);
        m_text += put_int("m_node_protocol", node.m_node_protocol, i);
        m_text += put_string("m_node_com_param", node.m_node_com_param, i);
        m_text += put_string("m_node_ip_addr", node.m_node_ip_addr, i);
        m_text += put_int("m_node_ip_port", node.m_node_ip_port, i);
        m_text += put_int("m_node_read_timeout", node.m_node_read_timeout, i);
        const std::string n = node_key(i);
        for (uint32_t r = 0; r < node.m_list_register.size(); ++r)
            write_register(m_text, n, r, node.m_list_register[r]);
    }
    return m_text;
}

void KV_Settings_MODBUS_MASTER::decode()
{
    static const KV_Settings_MODBUS_MASTER def;
    KV_Settings_MODBUS::decode();
    m_sleeptime = get_int(*this, "m_sleeptime", def.m_sleeptime);
    read_list(m_list_node, MAX_NODES, "m_node_id_mg", [this](uint32_t i, Node& node) {
        node.m_node_id_mg = get_int(*this, "m_node_id_mg", -1, i);
        if (node.m_node_id_mg < 0)
            return false;
        node.m_node_id_mg_neu = get_int(*this, "m_node_id_mg_neu", node.m_node_id_mg_neu, i);
        node.m_node_activ = get_bool(*this, "m_node_activ", node.m_node_activ, i);
        node.m_node_name = get_string(*this, "m_node_name", node.m_node_name, i);
        node.m_node_protocol = get_int(*this, "m_node_protocol", node.m_node_protocol, i);
        node.m_node_com_param = get_string(*this, "m_node_com_param", node.m_node_com_param, i);
        node.m_node_ip_addr = get_string(*this, "m_node_ip_addr", node.m_node_ip_addr, i);
        node.m_node_ip_port = get_int(*this, "m_node_ip_port", node.m_node_ip_port, i);
        node.m_node_read_timeout = get_int(*this, "m_node_read_timeout", node.m_node_read_timeout, i);
        const std::string n = node_key(i);
        read_list(node.m_list_register, MAX_REGISTERS, n + "m_register_activ",
                  [&](uint32_t r, Register& reg) { return read_register(*this, n, r, reg); });
        return true;
    });
}

KV_Settings_MODBUS_SLAVE::KV_Settings_MODBUS_SLAVE(const std::string& text)
    : KV_Settings_MODBUS(text)
{
    decode_text(*this);
}

std::string KV_Settings_MODBUS_SLAVE::encode()
{
    KV_Settings_MODBUS::encode();
    m_text += put_int("m_id", m_id);
    m_text += put_int("m_port", m_port);
    m_text += put_int("m_typ", m_typ);
    m_text += put_string("m_com_param", m_com_param);
    for (uint32_t i = 0; i < m_list_register.size(); ++i) {
        const Register& reg = m_list_register[i];
        m_text += put_int("m_addr", reg.m_addr, i);
        m_text += put_int("m_anzahl", reg.m_anzahl, i);
        m_text += put_int("m_function_code", reg.m_function_code, i);
        m_text += put_int("m_datatyp", reg.m_datatyp, i);
        m_text += put_addr("m_addr_db", reg.m_addr_db, i);
        m_text += put_double("m_faktor", reg.m_faktor, i);
        m_text += put_double("m_offset", reg.m_offset, i);
    }
    return m_text;
}

void KV_Settings_MODBUS_SLAVE::decode()
{
    static const KV_Settings_MODBUS_SLAVE def;
    KV_Settings_MODBUS::decode();
    m_id = get_int(*this, "m_id", def.m_id);
    m_port = get_int(*this, "m_port", def.m_port);
    m_typ = get_int(*this, "m_typ", def.m_typ);
    m_com_param = get_string(*this, "m_com_param", def.m_com_param);
    read_list(m_list_register, MAX_REGISTERS, "m_addr", [this](uint32_t i, Register& reg) {
        reg.m_addr = get_int(*this, "m_addr", -1, i);
        if (reg.m_addr < 0)
            return false;
        reg.m_anzahl = get_int(*this, "m_anzahl", reg.m_anzahl, i);
        reg.m_function_code = get_int(*this, "m_function_code", reg.m_function_code, i);
        reg.m_datatyp = get_int(*this, "m_datatyp", reg.m_datatyp, i);
        reg.m_addr_db = get_addr(*this, "m_addr_db", i);
        reg.m_faktor = get_double(*this, "m_faktor", reg.m_faktor, i);
        reg.m_offset = get_double(*this, "m_offset", reg.m_offset, i);
        return true;
    });
}

// ---- M-Bus ----

KV_Settings_MBus::KV_Settings_MBus(const std::string& text)
    : KV_Data(text)
{
    decode_text(*this);
}

std::string KV_Settings_MBus::encode()
{
    m_text.clear();
    m_text += put_bool("m_use_it", m_use_it);
    for (uint32_t i = 0; i < m_list_meter.size(); ++i) {
        const Meter& m = m_list_meter[i];
        m_text += put_bool("m_use_it", m.m_use_it, i);
        m_text += put_int("m_id", m.m_id, i);
        m_text += put_int("m_ug", m.m_ug, i);
        m_text += put_int("m_typ", m.m_typ, i);
        m_text += put_bool("m_multi_frame", m.m_multi_frame, i);
        m_text += put_int("m_interval", m.m_interval, i);
        m_text += put_string("m_str_name", m.m_str_name, i);
        m_text += put_string("m_str_com_param", m.m_str_com_param, i);
        m_text += put_string("m_str_index_data", m.m_str_index_data, i);
    }
    return m_text;
}

void KV_Settings_MBus::decode()
{
    static const KV_Settings_MBus def;
    kv_rewind_search_cursor();
    m_use_it = get_bool(*this, "m_use_it", def.m_use_it);
    read_list(m_list_meter, MAX_METERS, "m_use_it", [this](uint32_t i, Meter& m) {
        if (!read_flag_marker(*this, "m_use_it", i, m.m_use_it))
            return false;
        m.m_id = get_int(*this, "m_id", m.m_id, i);
        m.m_ug = get_int(*this, "m_ug", m.m_ug, i);
        m.m_typ = get_int(*this, "m_typ", m.m_typ, i);
        m.m_multi_frame = get_bool(*this, "m_multi_frame", m.m_multi_frame, i);
        m.m_interval = get_int(*this, "m_interval", m.m_interval, i);
        m.m_str_name = get_string(*this, "m_str_name", m.m_str_name, i);
        m.m_str_com_param = get_string(*this, "m_str_com_param", m.m_str_com_param, i);
        m.m_str_index_data = get_string(*this, "m_str_index_data", m.m_str_index_data, i);
        return true;
    });
}
