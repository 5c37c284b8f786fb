#pragma once
// A group address: main group, middle group, subgroup. 0/0/0 means none.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

struct KV_Group_Address {
    uint32_t main = 0;
    uint32_t middle = 0;
    uint32_t sub = 0;

    bool is_null() const { return main == 0 && middle == 0 && sub == 0; }
    bool operator==(const KV_Group_Address&) const = default;
};

struct KV_Group_Address_Hash {
    size_t operator()(const KV_Group_Address& a) const noexcept
    {
        uint64_t h = (static_cast<uint64_t>(a.main) << 40) ^ (static_cast<uint64_t>(a.middle) << 20) ^ a.sub;
        h ^= h >> 33;
        h *= 0xff51afd7ed558ccdULL;
        h ^= h >> 33;
        return static_cast<size_t>(h);
    }
};

// "%d<sep>%d<sep>%d"; record texts always use '/'.
std::string address_to_text(const KV_Group_Address& address, char separator = '/');

// Parses "1/2/3", "1.2.3", "1 2 3", the two-level "1/1000" and the one-level
// "7". Anything malformed, and digit runs longer than a number can hold,
// give 0/0/0.
KV_Group_Address address_from_text(std::string_view text);
