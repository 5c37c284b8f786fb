#include "kv_data.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace {
size_t g_cursor = 0;

void append_key(std::string& out, std::string_view key, uint32_t index)
{
    out.append(key);
    if (index != KV_NO_INDEX) {
        char suffix[16];
        const int n = snprintf(suffix, sizeof suffix, "_%d", static_cast<int>(index));
        out.append(suffix, static_cast<size_t>(n));
    }
}

std::string field(std::string_view key, std::string_view value, uint32_t index)
{
    std::string out;
    out.reserve(key.size() + value.size() + 8);
    append_key(out, key, index);
    out.push_back(KV_STX);
    out.append(value);
    out.push_back(KV_ETX);
    return out;
}

bool is_space(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
} // namespace

KV_Data::KV_Data() { g_cursor = 0; }

KV_Data::KV_Data(std::string text)
    : m_text(std::move(text))
{
    g_cursor = 0;
}

std::string KV_Data::encode()
{
    m_text.clear();
    return m_text;
}

void KV_Data::decode() {}

void KV_Data::set_text(const std::string& text)
{
    m_text = text;
    decode();
}

void KV_Data::reset()
{
    g_cursor = 0;
    m_text.clear();
    decode();
}

std::string index_suffix(uint32_t index)
{
    std::string out;
    append_key(out, {}, index);
    return out;
}

std::string put_string(std::string_view key, std::string_view value, uint32_t index)
{
    // A value starting with NUL is an empty C string.
    if (!value.empty() && value.front() == '\0')
        value = {};
    return field(key, value, index);
}

std::string put_int(std::string_view key, int32_t value, uint32_t index)
{
    char buf[16];
    auto res = std::to_chars(buf, buf + sizeof buf, value);
    return field(key, std::string_view(buf, static_cast<size_t>(res.ptr - buf)), index);
}

std::string put_uint(std::string_view key, uint32_t value, uint32_t index)
{
    char buf[16];
    auto res = std::to_chars(buf, buf + sizeof buf, value);
    return field(key, std::string_view(buf, static_cast<size_t>(res.ptr - buf)), index);
}

std::string kv_format_double(double value)
{
    // Same text as printf "%f" in a locale with "." and no grouping; to_chars
    // never looks at the process locale, so no locale switching is needed.
    char buf[400];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 6);
    if (res.ec != std::errc())
        return "0.000000";
    return std::string(buf, static_cast<size_t>(res.ptr - buf));
}

std::string put_double(std::string_view key, double value, uint32_t index)
{
    return field(key, kv_format_double(value), index);
}

std::string bytes_to_hex(const unsigned char* buffer, int length)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    if (length < 1 || !buffer)
        return out;
    out.resize(static_cast<size_t>(length) * 2);
    for (int i = 0; i < length; ++i) {
        out[2 * i] = digits[buffer[i] >> 4];
        out[2 * i + 1] = digits[buffer[i] & 0x0F];
    }
    return out;
}

std::string_view find_value(std::string_view text, std::string_view key, uint32_t index, bool& found)
{
    found = false;
    std::string needle;
    needle.reserve(key.size() + 12);
    append_key(needle, key, index);
    needle.push_back(KV_STX);

    size_t p = g_cursor <= text.size() ? text.find(needle, g_cursor) : std::string_view::npos;
    if (p == std::string_view::npos && g_cursor != 0)
        p = text.find(needle, 0);
    if (p == std::string_view::npos) {
        g_cursor = 0;
        return {};
    }
    g_cursor = p;
    const size_t stx = text.find(KV_STX, p + 1);
    if (stx == std::string_view::npos)
        return {};
    const size_t etx = text.find(KV_ETX, stx + 1);
    if (etx == std::string_view::npos)
        return {};
    g_cursor = stx + 1;
    found = true;
    return text.substr(stx + 1, etx - stx - 1);
}

int32_t kv_atoi(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && is_space(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    // Accumulate like strtol into 64 bits (saturating), then narrow like
    // atoi does on this platform, so an unsigned 4294967295 reads as -1.
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value < (INT64_MAX - 9) / 10)
            value = value * 10 + (text[i] - '0');
        else
            value = negative ? INT64_MIN : INT64_MAX;
    }
    if (negative && value != INT64_MIN)
        value = -value;
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(value)));
}

double kv_atof(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && is_space(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    double value = 0.0;
    const char* first = text.data() + i;
    const char* last = text.data() + text.size();
    if (first < last && *first == '-')
        return 0.0; // a second sign is not a number
    // from_chars takes the longest leading decimal number and ignores the locale.
    auto res = std::from_chars(first, last, value, std::chars_format::general);
    if (res.ec == std::errc::result_out_of_range)
        value = std::strtod(std::string(first, res.ptr).c_str(), nullptr);
    else if (res.ec != std::errc())
        value = 0.0;
    return negative ? -value : value;
}

std::string get_string(const KV_Data& record, std::string_view key, std::string_view def, uint32_t index)
{
    bool found = false;
    const std::string_view value = find_value(record.m_text, key, index, found);
    return std::string(found ? value : def);
}

int32_t get_int(const KV_Data& record, std::string_view key, int32_t def, uint32_t index)
{
    bool found = false;
    const std::string_view value = find_value(record.m_text, key, index, found);
    if (!found || value.empty())
        return def;
    return kv_atoi(value);
}

double get_double(const KV_Data& record, std::string_view key, double def, uint32_t index)
{
    bool found = false;
    const std::string_view value = find_value(record.m_text, key, index, found);
    if (!found || value.empty())
        return def;
    return kv_atof(value);
}

int64_t get_time(const KV_Data& record, std::string_view key, int64_t def, uint32_t index)
{
    const double value = get_double(record, key, static_cast<double>(def), index);
    if (!std::isfinite(value) || value >= 9.2e18 || value <= -9.2e18)
        return def;
    return static_cast<int64_t>(value);
}

bool get_bool(const KV_Data& record, std::string_view key, bool def, uint32_t index)
{
    return get_int(record, key, def ? 1 : 0, index) != 0;
}

size_t hex_to_bytes(std::string_view text, unsigned char* buffer, size_t buffer_size)
{
    size_t written = 0;
    for (size_t i = 0; i + 1 < text.size() && written < buffer_size; i += 2) {
        // strtol with base 16 on two characters: leading blanks and a sign
        // are allowed, the rest stops at the first non-digit.
        char pair[3] = {text[i], text[i + 1], 0};
        buffer[written++] = static_cast<unsigned char>(std::strtol(pair, nullptr, 16));
    }
    return written;
}

size_t kv_search_cursor() { return g_cursor; }
void kv_rewind_search_cursor() { g_cursor = 0; }
