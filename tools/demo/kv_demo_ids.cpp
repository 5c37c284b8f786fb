#include "kv_demo_ids.h"

#include <cstdint>
#include <cstdio>

namespace {

uint64_t fnv1a(std::string_view text, uint64_t hash)
{
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

} // namespace

std::string kv_demo_guid(std::string_view key)
{
    const uint64_t hi = fnv1a(key, 0xcbf29ce484222325ULL);
    const uint64_t lo = fnv1a(key, hi ^ 0x9e3779b97f4a7c15ULL);
    char text[39];
    std::snprintf(text, sizeof text, "{%08x-%04x-4%03x-%04x-%012llx}", unsigned(hi >> 32), unsigned(hi >> 16 & 0xFFFF),
                  unsigned(hi & 0x0FFF), unsigned(0x8000 | (lo >> 48 & 0x3FFF)),
                  static_cast<unsigned long long>(lo & 0xFFFFFFFFFFFFULL));
    return text;
}
