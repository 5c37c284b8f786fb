#include "kv_addr.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>

#include "kv_record_fields.h"

namespace {

struct Type_Info {
    const char* name;
    int length;
};

const Type_Info kTypes[KV_TYPE_COUNT] = {
    {"EIS 0 - Konstanter Wert", 1},
    {"EIS 1 - Bit schalten (Bit)", 1},
    {"EIS 2 - Dimmen (4 Bit)", 1},
    {"EIS 3 - Zeit (3 Byte)", 3},
    {"EIS 4 - Datum (3 Byte)", 3},
    {"EIS 5 - Gleitkomma (2 Byte)", 2},
    {"EIS 6 - Relativ Wert 0-100% (1 Byte)", 1},
    {"EIS 7 - Antriebssteuerung (Bit)", 1},
    {"EIS 8 - Zwangssteuerung/Priorität (2 Bit)", 1},
    {"EIS 9 - Gleitkomma (4 Byte)", 4},
    {"EIS 10 - Zähler Wert 16 Bit (2 Byte)", 2},
    {"EIS 11 - Zähler Wert 32 Bit (4 Byte)", 4},
    {"EIS 12 - Zugangskontrolle (4 Byte)", 4},
    {"EIS 13 - ASCII Zeichen (1 Byte)", 1},
    {"EIS 14 - Zähler Wert (1 Byte)", 1},
    {"EIS 15 - Zeichenkette (0-255 Byte)", 255},
    {"EIS 16 - Zähler Wert (8 Byte)", 8},
    {"EIS 17 - Gleitkomma (8 Byte)", 8},
};

uint64_t load_be(const unsigned char* bytes, int n)
{
    uint64_t v = 0;
    for (int i = 0; i < n; ++i)
        v = (v << 8) | bytes[i];
    return v;
}

void store_be(unsigned char* bytes, int n, uint64_t v)
{
    for (int i = n - 1; i >= 0; --i) {
        bytes[i] = static_cast<unsigned char>(v & 0xFF);
        v >>= 8;
    }
}

// Rounded and clamped into [lo, hi]; both bounds must be exact doubles.
int64_t clamp_round(double v, double lo, double hi)
{
    return static_cast<int64_t>(std::round(std::clamp(v, lo, hi)));
}

double knx_float_decode(const unsigned char* bytes)
{
    const uint32_t raw = static_cast<uint32_t>(load_be(bytes, 2));
    int32_t mantissa = static_cast<int32_t>(raw & 0x7FF);
    if (raw & 0x8000)
        mantissa -= 2048;
    const int32_t exponent = static_cast<int32_t>((raw >> 11) & 0x0F);
    return static_cast<double>(mantissa * (1 << exponent)) / 100.0;
}

void knx_float_encode(unsigned char* bytes, double v)
{
    const double hundredths = std::clamp(v, -671088.64, 670760.96) * 100.0;
    int64_t mantissa = 0;
    uint32_t exponent = 0;
    for (; exponent < 16; ++exponent) {
        mantissa = std::llround(hundredths / static_cast<double>(1 << exponent));
        if (mantissa >= -2048 && mantissa <= 2047)
            break;
    }
    exponent = std::min<uint32_t>(exponent, 15);
    mantissa = std::clamp<int64_t>(mantissa, -2048, 2047);
    const uint32_t raw = (mantissa < 0 ? 0x8000u : 0u) | (exponent << 11) | (static_cast<uint32_t>(mantissa) & 0x7FF);
    store_be(bytes, 2, raw);
}

int64_t signed_value(const unsigned char* bytes, int n)
{
    const uint64_t raw = load_be(bytes, n);
    const int shift = 64 - 8 * n;
    return static_cast<int64_t>(raw << shift) >> shift;
}

void store_integer(KV_Addr_Db& a, int n, double v)
{
    if (n == 8) {
        uint64_t raw;
        if (a.m_data_signed)
            raw = static_cast<uint64_t>(v >= 9223372036854775808.0    ? INT64_MAX
                                        : v <= -9223372036854775808.0 ? INT64_MIN
                                                                      : std::llround(v));
        else
            raw = v >= 18446744073709551616.0 ? UINT64_MAX : v <= 0 ? 0 : static_cast<uint64_t>(std::round(v));
        store_be(a.m_data, 8, raw);
        return;
    }
    const double span = std::ldexp(1.0, 8 * n);
    const int64_t value = a.m_data_signed ? clamp_round(v, -span / 2, span / 2 - 1) : clamp_round(v, 0, span - 1);
    store_be(a.m_data, n, static_cast<uint64_t>(value));
}

double integer_value(const KV_Addr_Db& a, int n)
{
    if (a.m_data_signed)
        return static_cast<double>(signed_value(a.m_data, n));
    return static_cast<double>(load_be(a.m_data, n));
}

} // namespace

int type_length(uint32_t type) { return type < KV_TYPE_COUNT ? kTypes[type].length : 1; }

const char* type_name(uint32_t type) { return type < KV_TYPE_COUNT ? kTypes[type].name : ""; }

// ---------------------------------------------------------------- records

KV_Addr_Db::KV_Addr_Db(const std::string& text)
    : KV_Data(text)
{
    decode_text(*this);
}

std::string KV_Addr_Db::encode()
{
    m_text.clear();
    m_text += put_string("m_addr_write", address_to_text(m_addr_write));
    m_text += put_string("m_str_comment", m_str_comment);
    m_text += put_uint("m_data_typ", m_data_typ);
    m_text += put_uint("m_data_signed", m_data_signed);
    m_text += put_uint("m_fread_init", m_fread_init);
    m_text += put_uint("m_fread_zykl", m_fread_zykl);
    m_text += put_uint("m_fread_ack", m_fread_ack);
    m_text += put_string("m_data", bytes_to_hex(m_data, type_length(m_data_typ)));
    const size_t listen = std::min<size_t>(m_addr_listen.size(), KV_ADDR_MAX_LISTEN);
    for (size_t i = 0; i < listen; ++i)
        m_text += put_string("m_addr_listen", address_to_text(m_addr_listen[i]), static_cast<uint32_t>(i));
    return m_text;
}

void KV_Addr_Db::decode()
{
    m_addr_write = get_addr(*this, "m_addr_write");
    m_str_comment = get_string(*this, "m_str_comment", "");
    m_data_typ = static_cast<uint32_t>(get_int(*this, "m_data_typ", 1));
    m_data_signed = static_cast<uint32_t>(get_int(*this, "m_data_signed", 0));
    m_fread_init = static_cast<uint32_t>(get_int(*this, "m_fread_init", 0));
    m_fread_zykl = static_cast<uint32_t>(get_int(*this, "m_fread_zykl", 0));
    m_fread_ack = static_cast<uint32_t>(get_int(*this, "m_fread_ack", 0));
    std::memset(m_data, 0, sizeof m_data);
    bool found = false;
    const std::string_view hex = find_value(m_text, "m_data", KV_NO_INDEX, found);
    hex_to_bytes(hex, m_data, sizeof m_data);
    m_addr_listen.clear();
    for (uint32_t i = 0; i < KV_ADDR_MAX_LISTEN; ++i) {
        const std::string text = get_string(*this, "m_addr_listen", KV_ADDR_LISTEN_END, i);
        if (text == KV_ADDR_LISTEN_END)
            break;
        m_addr_listen.push_back(address_from_text(text));
    }
}

KV_Addr_MG::KV_Addr_MG(const std::string& text)
    : KV_Data(text)
{
    decode_text(*this);
}

std::string KV_Addr_MG::encode()
{
    m_text.clear();
    m_text += put_uint("m_num_hg", m_num_hg);
    m_text += put_uint("m_num_mg", m_num_mg);
    m_text += put_string("m_str_name", m_str_name);
    return m_text;
}

void KV_Addr_MG::decode()
{
    m_num_hg = static_cast<uint32_t>(get_int(*this, "m_num_hg", 0));
    m_num_mg = static_cast<uint32_t>(get_int(*this, "m_num_mg", 0));
    m_str_name = get_string(*this, "m_str_name", "");
}

KV_Addr_HG::KV_Addr_HG(const std::string& text)
    : KV_Data(text)
{
    decode_text(*this);
}

std::string KV_Addr_HG::encode()
{
    m_text.clear();
    m_text += put_uint("m_num_hg", m_num_hg);
    m_text += put_string("m_str_name", m_str_name);
    return m_text;
}

void KV_Addr_HG::decode()
{
    m_num_hg = static_cast<uint32_t>(get_int(*this, "m_num_hg", 0));
    m_str_name = get_string(*this, "m_str_name", "");
}

// ---------------------------------------------------------------- values

double value_as_double(const KV_Addr_Db& a)
{
    const unsigned char* b = a.m_data;
    switch (a.m_data_typ) {
    case 1:
    case 7:
        return b[0] & 0x01;
    case 2:
        return b[0] & 0x0F;
    case 3:
        return (b[0] & 0x1F) * 3600.0 + b[1] * 60.0 + b[2];
    case 4:
        return (2000.0 + b[2]) * 10000.0 + b[1] * 100.0 + b[0];
    case 5:
        return knx_float_decode(b);
    case 6:
        return std::round(b[0] * 100.0 / 255.0);
    case 8:
        return b[0] & 0x03;
    case 9: {
        const uint32_t raw = static_cast<uint32_t>(load_be(b, 4));
        float f;
        std::memcpy(&f, &raw, sizeof f);
        return f;
    }
    case 10:
        return integer_value(a, 2);
    case 11:
    case 12:
        return integer_value(a, 4);
    case 14:
        return integer_value(a, 1);
    case 15:
        return kv_atof(value_as_text(a));
    case 16:
        return integer_value(a, 8);
    case 17: {
        const uint64_t raw = load_be(b, 8);
        double d;
        std::memcpy(&d, &raw, sizeof d);
        return d;
    }
    default: // 0 constant, 13 ASCII, unknown types: one plain byte
        return b[0];
    }
}

void set_value_from_double(KV_Addr_Db& a, double v)
{
    if (std::isnan(v))
        v = 0.0;
    unsigned char* b = a.m_data;
    switch (a.m_data_typ) {
    case 1:
    case 7:
        b[0] = v != 0.0 ? 1 : 0;
        break;
    case 2:
        b[0] = static_cast<unsigned char>(clamp_round(v, 0, 15));
        break;
    case 3: {
        const int64_t s = clamp_round(v, 0, 86399);
        b[0] = static_cast<unsigned char>(s / 3600); // weekday 0: no day
        b[1] = static_cast<unsigned char>(s % 3600 / 60);
        b[2] = static_cast<unsigned char>(s % 60);
        break;
    }
    case 4: {
        const int64_t date = clamp_round(v, 20000000, 22559999);
        b[0] = static_cast<unsigned char>(date % 100);
        b[1] = static_cast<unsigned char>(date / 100 % 100);
        b[2] = static_cast<unsigned char>(date / 10000 - 2000);
        break;
    }
    case 5:
        knx_float_encode(b, v);
        break;
    case 6:
        b[0] = static_cast<unsigned char>(std::lround(std::clamp(v, 0.0, 100.0) * 255.0 / 100.0));
        break;
    case 8:
        b[0] = static_cast<unsigned char>(clamp_round(v, 0, 3));
        break;
    case 9: {
        const float f = std::isinf(v) ? static_cast<float>(v) : static_cast<float>(std::clamp<double>(v, -FLT_MAX, FLT_MAX));
        uint32_t raw;
        std::memcpy(&raw, &f, sizeof raw);
        store_be(b, 4, raw);
        break;
    }
    case 10:
        store_integer(a, 2, v);
        break;
    case 11:
    case 12:
        store_integer(a, 4, v);
        break;
    case 14:
        store_integer(a, 1, v);
        break;
    case 15:
        set_value_from_text(a, kv_format_double(v));
        break;
    case 16:
        store_integer(a, 8, v);
        break;
    case 17: {
        uint64_t raw;
        std::memcpy(&raw, &v, sizeof raw);
        store_be(b, 8, raw);
        break;
    }
    default:
        b[0] = static_cast<unsigned char>(clamp_round(v, 0, 255));
        break;
    }
}

std::string value_as_text(const KV_Addr_Db& a)
{
    const auto* begin = reinterpret_cast<const char*>(a.m_data);
    const auto* nul = static_cast<const char*>(std::memchr(begin, 0, KV_ADDR_VALUE_SIZE));
    return std::string(begin, nul ? nul : begin + KV_ADDR_VALUE_SIZE);
}

void set_value_from_text(KV_Addr_Db& a, std::string_view text)
{
    std::memset(a.m_data, 0, sizeof a.m_data);
    std::memcpy(a.m_data, text.data(), std::min<size_t>(text.size(), KV_ADDR_VALUE_SIZE));
}

// ---------------------------------------------------------------- tree

namespace {
uint64_t mg_key(uint32_t main, uint32_t middle) { return (static_cast<uint64_t>(main) << 32) | middle; }

// The group takes the record's fields and, as its text, their encoding.
void assign_fields(KV_Addr_HG& to, const KV_Addr_HG& from)
{
    to.m_str_name = from.m_str_name;
    to.m_num_hg = from.m_num_hg;
    to.encode();
}

void assign_fields(KV_Addr_MG& to, const KV_Addr_MG& from)
{
    to.m_str_name = from.m_str_name;
    to.m_num_hg = from.m_num_hg;
    to.m_num_mg = from.m_num_mg;
    to.encode();
}
} // namespace

KV_Addr_HG* KV_Addr_Tree::add_hg(const KV_Addr_HG& record)
{
    if (KV_Addr_HG* existing = find_hg(record.m_num_hg)) {
        assign_fields(*existing, record);
        return existing;
    }
    auto hg = std::make_unique<KV_Addr_HG>();
    assign_fields(*hg, record);
    m_hg_positions[record.m_num_hg] = static_cast<uint32_t>(m_list_hg.size());
    m_list_hg.push_back(std::move(hg));
    return m_list_hg.back().get();
}

KV_Addr_MG* KV_Addr_Tree::add_mg(const KV_Addr_MG& record)
{
    KV_Addr_HG* hg = find_hg(record.m_num_hg);
    if (!hg) {
        KV_Addr_HG created;
        created.m_num_hg = record.m_num_hg;
        created.m_str_name = record.m_str_name;
        hg = add_hg(created);
    }
    if (KV_Addr_MG* existing = find_mg(record.m_num_hg, record.m_num_mg)) {
        assign_fields(*existing, record);
        return existing;
    }
    auto mg = std::make_unique<KV_Addr_MG>();
    assign_fields(*mg, record);
    mg->m_num_hg = hg->m_num_hg;
    m_mg_positions[mg_key(record.m_num_hg, record.m_num_mg)] = {
        m_hg_positions.at(hg->m_num_hg), static_cast<uint32_t>(hg->m_list_mg.size())};
    hg->m_list_mg.push_back(std::move(mg));
    return hg->m_list_mg.back().get();
}

KV_Addr_Db* KV_Addr_Tree::add_address(const KV_Addr_Db& record) { return add_address(KV_Addr_Db(record)); }

KV_Addr_Db* KV_Addr_Tree::add_address(KV_Addr_Db&& record)
{
    const KV_Group_Address a = record.m_addr_write;
    if (auto it = m_index.find(a); it != m_index.end()) {
        KV_Addr_Db* existing = it->second.record;
        unindex_listeners(*existing);
        *existing = std::move(record);
        index_listeners(it->second);
        return existing;
    }

    if (!find_hg(a.main)) {
        KV_Addr_HG created;
        created.m_num_hg = a.main;
        add_hg(created);
    }
    if (!find_mg(a.main, a.middle)) {
        KV_Addr_MG created;
        created.m_num_hg = a.main;
        created.m_num_mg = a.middle;
        created.m_str_name = record.m_str_comment;
        add_mg(created);
    }
    const auto [hg_pos, mg_pos] = m_mg_positions.at(mg_key(a.main, a.middle));
    KV_Addr_MG& mg = *m_list_hg[hg_pos]->m_list_mg[mg_pos];
    const Position position{hg_pos, mg_pos, static_cast<uint32_t>(mg.m_list_addr.size())};
    mg.m_list_addr.push_back(std::make_unique<KV_Addr_Db>(std::move(record)));
    const Entry& added = m_index.emplace(a, Entry{mg.m_list_addr.back().get(), position}).first->second;
    index_listeners(added);
    return added.record;
}

KV_Addr_HG* KV_Addr_Tree::find_hg(uint32_t main) const
{
    const auto it = m_hg_positions.find(main);
    return it == m_hg_positions.end() ? nullptr : m_list_hg[it->second].get();
}

KV_Addr_MG* KV_Addr_Tree::find_mg(uint32_t main, uint32_t middle) const
{
    const auto it = m_mg_positions.find(mg_key(main, middle));
    if (it == m_mg_positions.end())
        return nullptr;
    return m_list_hg[it->second.first]->m_list_mg[it->second.second].get();
}

KV_Addr_Db* KV_Addr_Tree::find_address(uint32_t main, uint32_t middle, uint32_t sub) const
{
    return find_address(KV_Group_Address{main, middle, sub});
}

KV_Addr_Db* KV_Addr_Tree::find_address(const KV_Group_Address& address) const
{
    if (address.is_null())
        return nullptr;
    const auto it = m_index.find(address);
    return it == m_index.end() ? nullptr : it->second.record;
}

std::vector<KV_Addr_Db*> KV_Addr_Tree::addresses_for_telegram(const KV_Addr_Tgm& telegram)
{
    const KV_Group_Address dest{telegram.dest_address[0], telegram.dest_address[1], telegram.dest_address[2]};
    std::vector<KV_Addr_Db*> result;
    if (dest.is_null())
        return result;
    const bool carries_value = telegram.command == KV_TGM_RESPONSE || telegram.command == KV_TGM_WRITE;

    const auto own_it = m_index.find(dest);
    const Entry* own = own_it == m_index.end() ? nullptr : &own_it->second;
    const auto listeners = carries_value ? m_listeners.find(dest) : m_listeners.end();
    if (listeners != m_listeners.end()) {
        // The own address joins the listeners (already in tree order) at its
        // rank, unless it listens to itself.
        result.reserve(listeners->second.size() + 1);
        for (const Entry& listener : listeners->second) {
            if (own && own->position <= listener.position) {
                if (own->record != listener.record)
                    result.push_back(own->record);
                own = nullptr;
            }
            result.push_back(listener.record);
        }
    }
    if (own)
        result.push_back(own->record);

    if (carries_value) {
        for (KV_Addr_Db* record : result)
            if (record->m_data_typ != 0)
                std::memcpy(record->m_data, telegram.value, KV_ADDR_VALUE_SIZE);
    }
    return result;
}

void KV_Addr_Tree::take_values_from(const KV_Addr_Tree& other)
{
    for (auto& [address, entry] : m_index) {
        const KV_Addr_Db* current = other.find_address(address);
        if (current && current->m_data_typ == entry.record->m_data_typ)
            std::copy(std::begin(current->m_data), std::end(current->m_data), std::begin(entry.record->m_data));
    }
}

void KV_Addr_Tree::clear()
{
    m_list_hg.clear();
    m_hg_positions.clear();
    m_mg_positions.clear();
    m_index.clear();
    m_listeners.clear();
}

void KV_Addr_Tree::index_listeners(const Entry& entry)
{
    for (const KV_Group_Address& listen : entry.record->m_addr_listen) {
        if (listen.is_null())
            continue;
        std::vector<Entry>& list = m_listeners[listen];
        const auto at = std::lower_bound(list.begin(), list.end(), entry.position,
                                         [](const Entry& e, const Position& p) { return e.position < p; });
        if (at == list.end() || at->record != entry.record)
            list.insert(at, entry);
    }
}

void KV_Addr_Tree::unindex_listeners(const KV_Addr_Db& record)
{
    for (const KV_Group_Address& listen : record.m_addr_listen) {
        const auto it = m_listeners.find(listen);
        if (it == m_listeners.end())
            continue;
        std::erase_if(it->second, [&record](const Entry& e) { return e.record == &record; });
        if (it->second.empty())
            m_listeners.erase(it);
    }
}
