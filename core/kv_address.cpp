#include "kv_address.h"

#include <charconv>

namespace {
// Parts are written with "%d", so only numbers that text can give back are
// accepted; longer digit runs are rejected, never wrapped.
constexpr size_t kMaxDigits = 10;
constexpr uint64_t kMaxPart = INT32_MAX;
} // namespace

std::string address_to_text(const KV_Group_Address& address, char separator)
{
    // The same text as "%d<sep>%d<sep>%d"; to_chars because this runs for
    // every address slot of every record a save writes.
    char out[48];
    char* end = out;
    const uint32_t parts[3] = {address.main, address.middle, address.sub};
    for (int i = 0; i < 3; ++i) {
        if (i > 0)
            *end++ = separator;
        end = std::to_chars(end, out + sizeof out, static_cast<int>(parts[i])).ptr;
    }
    return std::string(out, end);
}

KV_Group_Address address_from_text(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    if (i == text.size())
        return {};

    uint32_t parts[3] = {0, 0, 0};
    int closed = 0;
    uint64_t current = 0;
    size_t digits = 0;
    bool at_end = false;
    for (; closed < 3; ++i) {
        at_end = i >= text.size() || text[i] == '\0';
        const char c = at_end ? '\0' : text[i];
        if (c >= '0' && c <= '9') {
            if (++digits > kMaxDigits)
                return {};
            current = current * 10 + static_cast<uint64_t>(c - '0');
            continue;
        }
        if (!at_end && c != '.' && c != '/' && c != ' ')
            return {};
        if (current > kMaxPart)
            return {};
        parts[closed++] = static_cast<uint32_t>(current);
        current = 0;
        digits = 0;
        if (at_end)
            break;
    }

    if (at_end && closed == 2) {
        const uint32_t x = parts[1];
        return {parts[0], (x >> 8) & 0xFF, x & 0xFF};
    }
    if (at_end && closed == 1)
        return {parts[0], 0, 0};
    return {parts[0], parts[1], parts[2]};
}
