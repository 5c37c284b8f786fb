#pragma once
// Field helpers shared by the project records: address and boolean fields,
// nested list prefixes and the bounded list reader.
//
// Every record's decode() rewinds the shared search cursor first: a scalar
// key such as m_use_it is also the tail of nested keys further on
// (alexa_0_m_use_it), and a cursor left there by another record would find
// those first.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "kv_address.h"
#include "kv_data.h"

// Address fields hold the text "main/middle/sub"; a missing or malformed
// text reads as 0/0/0.
std::string put_addr(std::string_view key, const KV_Group_Address& address, uint32_t index = KV_NO_INDEX);
KV_Group_Address get_addr(const KV_Data& record, std::string_view key, uint32_t index = KV_NO_INDEX);

std::string put_bool(std::string_view key, bool value, uint32_t index = KV_NO_INDEX);

// Key prefix of element `index` of the nested list `name` inside the element
// with prefix `parent`: parent + name + "_<index>_" (scene_0_item_2_).
std::string list_prefix(std::string_view parent, std::string_view name, uint32_t index);

// Keys of one list element: its prefix followed by a field name, built in a
// buffer kept for the element rather than a new string per field.
class KV_Prefixed_Key {
public:
    explicit KV_Prefixed_Key(std::string prefix)
        : m_key(std::move(prefix))
        , m_prefix_size(m_key.size())
    {
    }
    // prefix + name; valid until the next call.
    std::string_view operator()(std::string_view name)
    {
        m_key.resize(m_prefix_size);
        m_key.append(name);
        return m_key;
    }
    std::string_view prefix() const { return std::string_view(m_key).substr(0, m_prefix_size); }

private:
    std::string m_key;
    size_t m_prefix_size;
};

// True when the integer marker of an element reads 0 or more (missing reads -1).
bool marker_present(const KV_Data& record, std::string_view key, uint32_t index = KV_NO_INDEX);

// Reads a marker that also carries an on/off flag: false when it reads
// below 0 (the list ends), else `flag` := marker != 0.
bool read_flag_marker(const KV_Data& record, std::string_view key, uint32_t index, bool& flag);

// Traces that list `name` holds more elements than `max` and is cut.
void trace_list_cut(std::string_view name, size_t max);

// Reads elements 0, 1, ... of a list into `list` until read(index, element)
// returns false or `max` elements are read. A list longer than its maximum
// is cut, with a trace line.
template <class T, class Read>
void read_list(std::vector<T>& list, size_t max, std::string_view name, Read read)
{
    list.clear();
    for (uint32_t i = 0; i < max; ++i) {
        T element{};
        if (!read(i, element))
            return;
        // Lists that hold anything mostly hold a few: skip the smallest steps
        // of growing.
        if (list.empty())
            list.reserve(std::min<size_t>(max, 8));
        list.push_back(std::move(element));
    }
    T extra{};
    if (read(static_cast<uint32_t>(max), extra))
        trace_list_cut(name, max);
}

// First element of `list` whose m_str_guid is `guid` (an empty GUID too).
template <class T>
T* find_by_guid(const std::vector<std::unique_ptr<T>>& list, const std::string& guid)
{
    for (const auto& element : list)
        if (element->m_str_guid == guid)
            return element.get();
    return nullptr;
}
