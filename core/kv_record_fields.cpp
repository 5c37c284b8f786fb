#include "kv_record_fields.h"

#include "kv_trace.h"

std::string put_addr(std::string_view key, const KV_Group_Address& address, uint32_t index)
{
    return put_string(key, address_to_text(address, '/'), index);
}

KV_Group_Address get_addr(const KV_Data& record, std::string_view key, uint32_t index)
{
    bool found = false;
    return address_from_text(find_value(record.m_text, key, index, found));
}

std::string put_bool(std::string_view key, bool value, uint32_t index)
{
    return put_int(key, value ? 1 : 0, index);
}

std::string list_prefix(std::string_view parent, std::string_view name, uint32_t index)
{
    std::string prefix(parent);
    prefix.append(name);
    prefix.append(index_suffix(index));
    prefix.push_back('_');
    return prefix;
}

bool marker_present(const KV_Data& record, std::string_view key, uint32_t index)
{
    return get_int(record, key, -1, index) >= 0;
}

bool read_flag_marker(const KV_Data& record, std::string_view key, uint32_t index, bool& flag)
{
    const int32_t marker = get_int(record, key, -1, index);
    flag = marker != 0;
    return marker >= 0;
}

void trace_list_cut(std::string_view name, size_t max)
{
    TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_SERVER, "record list %.*s holds more than %zu elements, the rest is dropped\n",
          static_cast<int>(name.size()), name.data(), max);
}
