#include "kv_settings_devices.h"

#include <algorithm>

#include "kv_record_fields.h"
#include "kv_trace.h"

// ---- IP cameras ----

KV_Settings_IP_Cam::KV_Settings_IP_Cam(const std::string& text)
    : KV_Data(text)
{
    decode_text(*this);
}

std::string KV_Settings_IP_Cam::encode()
{
    m_text.clear();
    m_text += put_bool("m_use_it", m_use_it);
    for (uint32_t i = 0; i < m_list_cam.size(); ++i) {
        const Cam& c = m_list_cam[i];
        m_text += put_bool("m_use_it", c.m_use_it, i);
        m_text += put_string("m_str_name", c.m_str_name, i);
        m_text += put_string("m_str_guid", c.m_str_guid, i);
        m_text += put_string("m_str_user", c.m_str_user, i);
        m_text += put_string("m_str_passwd", c.m_str_passwd, i);
        m_text += put_string("m_str_url", c.m_str_url, i);
        m_text += put_string("m_str_options", c.m_str_options, i);
    }
    return m_text;
}

void KV_Settings_IP_Cam::decode()
{
    static const KV_Settings_IP_Cam def;
    kv_rewind_search_cursor();
    m_use_it = get_bool(*this, "m_use_it", def.m_use_it);
    read_list(m_list_cam, MAX_CAMS, "m_use_it", [this](uint32_t i, Cam& c) {
        if (!read_flag_marker(*this, "m_use_it", i, c.m_use_it))
            return false;
        c.m_str_name = get_string(*this, "m_str_name", c.m_str_name, i);
        c.m_str_guid = get_string(*this, "m_str_guid", c.m_str_guid, i);
        c.m_str_user = get_string(*this, "m_str_user", c.m_str_user, i);
        c.m_str_passwd = get_string(*this, "m_str_passwd", c.m_str_passwd, i);
        c.m_str_url = get_string(*this, "m_str_url", c.m_str_url, i);
        c.m_str_options = get_string(*this, "m_str_options", c.m_str_options, i);
        return true;
    });
}

// ---- coupled controllers ----

KV_Settings_Host::KV_Settings_Host(const std::string& text)
    : KV_Data(text)
{
    decode_text(*this);
}

std::string KV_Settings_Host::encode()
{
    m_text.clear();
    m_text += put_bool("m_use_it", m_use_it);
    for (uint32_t i = 0; i < m_list_host.size(); ++i) {
        const Host& h = m_list_host[i];
        m_text += put_bool("m_use_it", h.m_use_it, i);
        m_text += put_string("m_str_name", h.m_str_name, i);
        m_text += put_string("m_str_guid", h.m_str_guid, i);
        m_text += put_string("m_str_user", h.m_str_user, i);
        m_text += put_string("m_str_passwd_md5", h.m_str_passwd_md5, i);
        m_text += put_string("m_str_ip", h.m_str_ip, i);
        m_text += put_int("m_offset_hg_in", h.m_offset_hg_in, i);
        m_text += put_int("m_offset_hg_out", h.m_offset_hg_out, i);
        m_text += put_string("m_filter_hg_in", h.m_filter_hg_in, i);
        m_text += put_string("m_filter_hg_out", h.m_filter_hg_out, i);
        m_text += put_int("m_routing", h.m_routing, i);
    }
    return m_text;
}

void KV_Settings_Host::decode()
{
    static const KV_Settings_Host def;
    kv_rewind_search_cursor();
    m_use_it = get_bool(*this, "m_use_it", def.m_use_it);
    read_list(m_list_host, MAX_HOSTS, "m_use_it", [this](uint32_t i, Host& h) {
        if (!read_flag_marker(*this, "m_use_it", i, h.m_use_it))
            return false;
        h.m_str_name = get_string(*this, "m_str_name", h.m_str_name, i);
        h.m_str_guid = get_string(*this, "m_str_guid", h.m_str_guid, i);
        h.m_str_user = get_string(*this, "m_str_user", h.m_str_user, i);
        h.m_str_passwd_md5 = get_string(*this, "m_str_passwd_md5", h.m_str_passwd_md5, i);
        h.m_str_ip = get_string(*this, "m_str_ip", h.m_str_ip, i);
        h.m_offset_hg_in = get_int(*this, "m_offset_hg_in", h.m_offset_hg_in, i);
        h.m_offset_hg_out = get_int(*this, "m_offset_hg_out", h.m_offset_hg_out, i);
        h.m_filter_hg_in = get_string(*this, "m_filter_hg_in", h.m_filter_hg_in, i);
        h.m_filter_hg_out = get_string(*this, "m_filter_hg_out", h.m_filter_hg_out, i);
        h.m_routing = get_int(*this, "m_routing", h.m_routing, i);
        return true;
    });
}

// ---- mail ----

KV_Settings_Mail::KV_Settings_Mail(const std::string& text)
    : KV_Data(text)
{
    decode_text(*this);
}

std::string KV_Settings_Mail::encode()
{
    m_text.clear();
    m_text += put_bool("m_use_it", m_use_it);
    m_text += put_bool("m_use_mailserver_extern", m_use_mailserver_extern);
    m_text += put_string("m_str_smtp_server", m_str_smtp_server);
    m_text += put_string("m_str_smtp_user", m_str_smtp_user);
    m_text += put_string("m_str_smtp_password", m_str_smtp_password);
    m_text += put_int("m_smtp_port", m_smtp_port);
    m_text += put_string("m_str_from", m_str_from);
    return m_text;
}

void KV_Settings_Mail::decode()
{
    static const KV_Settings_Mail def;
    kv_rewind_search_cursor();
    m_use_it = get_bool(*this, "m_use_it", def.m_use_it);
    m_use_mailserver_extern = get_bool(*this, "m_use_mailserver_extern", def.m_use_mailserver_extern);
    m_str_smtp_server = get_string(*this, "m_str_smtp_server", def.m_str_smtp_server);
    m_str_smtp_user = get_string(*this, "m_str_smtp_user", def.m_str_smtp_user);
    m_str_smtp_password = get_string(*this, "m_str_smtp_password", def.m_str_smtp_password);
    m_smtp_port = get_int(*this, "m_smtp_port", def.m_smtp_port);
    m_str_from = get_string(*this, "m_str_from", def.m_str_from);
}

// ---- voice assistant ----

KV_Settings_Alexa::KV_Settings_Alexa(const std::string& text)
    : KV_Data(text)
{
    decode_text(*this);
}

std::string KV_Settings_Alexa::encode()
{
    m_text.clear();
    m_text += put_bool("m_use_it", m_use_it);
    for (uint32_t d = 0; d < m_list_device.size(); ++d) {
        const Device& dev = m_list_device[d];
        const std::string p = list_prefix("", "alexa", d);
        m_text += put_bool(p + "m_use_it", dev.m_use_it);
        m_text += put_string(p + "m_str_name", dev.m_str_name);
        m_text += put_string(p + "m_str_id", dev.m_str_id);
        for (uint32_t i = 0; i < dev.m_list_item.size(); ++i) {
            const std::string ip = list_prefix(p, "item", i);
            m_text += put_bool(ip + "m_use_it", dev.m_list_item[i].m_use_it);
            m_text += put_addr(ip + "m_addr", dev.m_list_item[i].m_addr);
        }
    }
    return m_text;
}

void KV_Settings_Alexa::decode()
{
    static const KV_Settings_Alexa def;
    kv_rewind_search_cursor();
    m_use_it = get_bool(*this, "m_use_it", def.m_use_it);
    read_list(m_list_device, MAX_DEVICES, "alexa", [this](uint32_t d, Device& dev) {
        const std::string p = list_prefix("", "alexa", d);
        if (!read_flag_marker(*this, p + "m_use_it", KV_NO_INDEX, dev.m_use_it))
            return false;
        dev.m_str_name = get_string(*this, p + "m_str_name", dev.m_str_name);
        dev.m_str_id = get_string(*this, p + "m_str_id", dev.m_str_id);
        read_list(dev.m_list_item, MAX_ITEMS, p + "item", [&](uint32_t i, Item& item) {
            const std::string ip = list_prefix(p, "item", i);
            if (!read_flag_marker(*this, ip + "m_use_it", KV_NO_INDEX, item.m_use_it))
                return false;
            item.m_addr = get_addr(*this, ip + "m_addr");
            return true;
        });
        return true;
    });
}

// ---- multi-room audio ----

KV_Settings_Sonos::KV_Settings_Sonos(const std::string& text)
    : KV_Data(text)
{
    decode_text(*this);
}

std::string KV_Settings_Sonos::encode()
{
    m_text.clear();
    m_text += put_bool("m_use_it", m_use_it);
    for (uint32_t i = 0; i < m_list_entry.size(); ++i) {
        const Entry& e = m_list_entry[i];
        const std::string p = list_prefix("", "sonos", i);
        m_text += put_bool(p + "m_use_it", e.m_use_it);
        m_text += put_int(p + "m_trigger", e.m_trigger);
        m_text += put_string(p + "m_str_zone", e.m_str_zone);
        m_text += put_int(p + "m_cmd", e.m_cmd);
        m_text += put_string(p + "m_str_data", e.m_str_data);
        m_text += put_addr(p + "m_addr", e.m_addr);
    }
    return m_text;
}

void KV_Settings_Sonos::decode()
{
    static const KV_Settings_Sonos def;
    kv_rewind_search_cursor();
    m_use_it = get_bool(*this, "m_use_it", def.m_use_it);
    read_list(m_list_entry, MAX_ENTRIES, "sonos", [this](uint32_t i, Entry& e) {
        const std::string p = list_prefix("", "sonos", i);
        if (!read_flag_marker(*this, p + "m_use_it", KV_NO_INDEX, e.m_use_it))
            return false;
        e.m_trigger = get_int(*this, p + "m_trigger", e.m_trigger);
        e.m_str_zone = get_string(*this, p + "m_str_zone", e.m_str_zone);
        e.m_cmd = get_int(*this, p + "m_cmd", e.m_cmd);
        e.m_str_data = get_string(*this, p + "m_str_data", e.m_str_data);
        e.m_addr = get_addr(*this, p + "m_addr");
        return true;
    });
}

// ---- DMX ----

KV_Settings_DMX::KV_Settings_DMX(const std::string& text)
    : KV_Data(text)
{
    decode_text(*this);
}

std::string KV_Settings_DMX::encode()
{
    m_text.clear();
    m_text += put_bool("m_use_it", m_use_it);
    for (uint32_t a = 0; a < m_list_adapter.size(); ++a) {
        const Adapter& ad = m_list_adapter[a];
        const std::string p = list_prefix("", "dmx", a);
        m_text += put_bool(p + "m_use_it", ad.m_use_it);
        m_text += put_int(p + "m_adapter_typ", ad.m_adapter_typ);
        m_text += put_string(p + "m_str_name", ad.m_str_name);
        m_text += put_int(p + "m_universe", ad.m_universe);
        m_text += put_string(p + "m_str_guid", ad.m_str_guid);
        for (uint32_t i = 0; i < ad.m_list_item.size(); ++i) {
            const std::string ip = list_prefix(p, "item", i);
            m_text += put_bool(ip + "m_use_it", ad.m_list_item[i].m_use_it);
            m_text += put_int(ip + "m_channel", ad.m_list_item[i].m_channel);
            m_text += put_addr(ip + "m_addr", ad.m_list_item[i].m_addr);
        }
    }
    return m_text;
}

void KV_Settings_DMX::decode()
{
    static const KV_Settings_DMX def;
    kv_rewind_search_cursor();
    m_use_it = get_bool(*this, "m_use_it", def.m_use_it);
    read_list(m_list_adapter, MAX_ADAPTERS, "dmx", [this](uint32_t a, Adapter& ad) {
        const std::string p = list_prefix("", "dmx", a);
        if (!read_flag_marker(*this, p + "m_use_it", KV_NO_INDEX, ad.m_use_it))
            return false;
        ad.m_adapter_typ = get_int(*this, p + "m_adapter_typ", ad.m_adapter_typ);
        ad.m_str_name = get_string(*this, p + "m_str_name", ad.m_str_name);
        ad.m_universe = get_int(*this, p + "m_universe", ad.m_universe);
        ad.m_str_guid = get_string(*this, p + "m_str_guid", ad.m_str_guid);
        read_list(ad.m_list_item, MAX_ITEMS, p + "item", [&](uint32_t i, Item& item) {
            const std::string ip = list_prefix(p, "item", i);
            if (!read_flag_marker(*this, ip + "m_use_it", KV_NO_INDEX, item.m_use_it))
                return false;
            item.m_channel = get_int(*this, ip + "m_channel", item.m_channel);
            item.m_addr = get_addr(*this, ip + "m_addr");
            return true;
        });
        return true;
    });
}

// ---- data-logger groups ----

KV_Settings_Logger_Group::KV_Settings_Logger_Group(const std::string& text)
    : KV_Data(text)
{
    decode_text(*this);
}

std::string KV_Settings_Logger_Group::encode()
{
    m_text.clear();
    m_text += put_string("m_str_guid", m_str_guid);
    m_text += put_string("m_str_name", m_str_name);
    for (uint32_t i = 0; i < m_list_curve.size(); ++i) {
        const Curve& c = m_list_curve[i];
        m_text += put_addr("m_addr", c.m_addr, i);
        m_text += put_string("m_str_alias", c.m_str_alias, i);
        m_text += put_double("m_factor", c.m_factor, i);
        m_text += put_string("m_unit", c.m_unit, i);
        m_text += put_int("m_addr_typ", c.m_addr_typ, i);
    }
    return m_text;
}

void KV_Settings_Logger_Group::decode()
{
    static const KV_Settings_Logger_Group def;
    kv_rewind_search_cursor();
    m_str_guid = get_string(*this, "m_str_guid", def.m_str_guid);
    m_str_name = get_string(*this, "m_str_name", def.m_str_name);
    read_list(m_list_curve, MAX_CURVES, "m_addr", [this](uint32_t i, Curve& c) {
        const std::string addr = get_string(*this, "m_addr", "", i);
        if (addr.empty())
            return false;
        c.m_addr = address_from_text(addr);
        c.m_str_alias = get_string(*this, "m_str_alias", c.m_str_alias, i);
        c.m_factor = get_double(*this, "m_factor", c.m_factor, i);
        c.m_unit = get_string(*this, "m_unit", c.m_unit, i);
        c.m_addr_typ = get_int(*this, "m_addr_typ", c.m_addr_typ, i);
        return true;
    });
    // A curve without an address has nothing to chart.
    const auto dropped = std::erase_if(m_list_curve, [](const Curve& c) { return c.m_addr.is_null(); });
    if (dropped > 0)
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_SERVER, "logger group %s: %zu curves without an address dropped\n",
              m_str_name.c_str(), static_cast<size_t>(dropped));
}

// ---- telegram filters ----

KV_Settings_Broadcast::KV_Settings_Broadcast(const std::string& text)
    : KV_Data(text)
{
    decode_text(*this);
}

std::string KV_Settings_Broadcast::encode()
{
    m_text.clear();
    m_text += put_bool("m_use_it", m_use_it);
    m_text += put_bool("m_use_filter_send", m_use_filter_send);
    m_text += put_bool("m_use_filter_receice", m_use_filter_receice);
    m_text += put_string("m_filter_send", m_filter_send);
    m_text += put_string("m_filter_receice", m_filter_receice);
    return m_text;
}

void KV_Settings_Broadcast::decode()
{
    static const KV_Settings_Broadcast def;
    kv_rewind_search_cursor();
    m_use_it = get_bool(*this, "m_use_it", def.m_use_it);
    m_use_filter_send = get_bool(*this, "m_use_filter_send", def.m_use_filter_send);
    m_use_filter_receice = get_bool(*this, "m_use_filter_receice", def.m_use_filter_receice);
    m_filter_send = get_string(*this, "m_filter_send", def.m_filter_send);
    m_filter_receice = get_string(*this, "m_filter_receice", def.m_filter_receice);
}
