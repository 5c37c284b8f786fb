#include "kv_data.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {
size_t g_cursor = 0;
const KV_Text_Index* g_index = nullptr;
// Texts from this size on are decoded with a key index.
constexpr size_t kIndexedTextSize = 64 * 1024;

void append_key(std::string& out, std::string_view key, uint32_t index)
{
    out.append(key);
    if (index != KV_NO_INDEX) {
        char suffix[16] = {'_'};
        const char* end = std::to_chars(suffix + 1, suffix + sizeof suffix, static_cast<int>(index)).ptr;
        out.append(suffix, static_cast<size_t>(end - suffix));
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

// Most lookups hit within a few bytes of the cursor, where a plain find is
// quickest. Beyond that glibc's memmem skips ahead with a table of character
// pairs, which copes far better with needles that all start with "m_" and
// end in 0x02; misses in big texts are where that counts.
constexpr size_t kNearWindow = 256;

size_t search(std::string_view hay, std::string_view needle)
{
    if (hay.size() <= kNearWindow || needle.size() > kNearWindow)
        return hay.find(needle);
    const size_t near = hay.substr(0, kNearWindow).find(needle);
    if (near != std::string_view::npos)
        return near;
    // Every occurrence starting before here lies inside the window.
    const size_t first = kNearWindow - needle.size() + 1;
    const void* hit = memmem(hay.data() + first, hay.size() - first, needle.data(), needle.size());
    return hit ? static_cast<size_t>(static_cast<const char*>(hit) - hay.data()) : std::string_view::npos;
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
    decode_text(*this);
}

void decode_text(KV_Data& record)
{
    if (record.m_text.size() < kIndexedTextSize) {
        record.decode();
        return;
    }
    const KV_Text_Index index(record.m_text);
    record.decode();
}

namespace {
uint64_t tail_of(const char* end)
{
    uint64_t tail;
    std::memcpy(&tail, end - 8, 8);
    return tail;
}
} // namespace

KV_Text_Index::KV_Text_Index(std::string_view text)
    : m_text(text)
    , m_previous(g_index)
{
    static_assert(kTail == 8, "tails are read as 64-bit words");
    size_t key_start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == KV_STX) {
            if (i - key_start >= kTail)
                m_stx_by_tail[tail_of(text.data() + i)].push_back(i);
            key_start = i + 1;
        } else if (text[i] == KV_ETX) {
            key_start = i + 1;
        }
    }
    g_index = this;
}

KV_Text_Index::~KV_Text_Index() { g_index = m_previous; }

size_t KV_Text_Index::find(std::string_view key, size_t from, size_t to, bool& answered) const
{
    answered = key.size() >= kTail && key.find_first_of("\x02\x03") == std::string_view::npos;
    if (!answered)
        return std::string_view::npos;
    // Such a key can only stand right before a 0x02 whose key part is at
    // least as long as it, so the candidates are the 0x02 bytes with the
    // same tail; each is checked against the text itself.
    const auto it = m_stx_by_tail.find(tail_of(key.data() + key.size()));
    if (it == m_stx_by_tail.end())
        return std::string_view::npos;
    const std::vector<size_t>& stx = it->second;
    for (auto q = std::lower_bound(stx.begin(), stx.end(), from + key.size()); q != stx.end() && *q < to + key.size(); ++q) {
        if (std::memcmp(m_text.data() + *q - key.size(), key.data(), key.size()) == 0)
            return *q - key.size();
    }
    return std::string_view::npos;
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

namespace {
// First start of needle (key, 0x02) in [from, to).
size_t find_needle(std::string_view text, std::string_view needle, size_t from, size_t to)
{
    if (g_index && g_index->covers(text)) {
        bool answered = false;
        const size_t p = g_index->find(needle.substr(0, needle.size() - 1), from, to, answered);
        if (answered)
            return p;
    }
    const size_t end = std::min(text.size(), to + needle.size() - 1);
    if (from >= end)
        return std::string_view::npos;
    const size_t p = search(text.substr(from, end - from), needle);
    return p == std::string_view::npos ? p : p + from;
}
} // namespace

std::string_view find_value(std::string_view text, std::string_view key, uint32_t index, bool& found)
{
    found = false;
    // Keys are short: build the needle on the stack where it fits.
    char stack_needle[128];
    std::string heap_needle;
    std::string_view needle;
    if (key.size() + 16 <= sizeof stack_needle) {
        char* out = std::copy(key.begin(), key.end(), stack_needle);
        if (index != KV_NO_INDEX) {
            *out++ = '_';
            out = std::to_chars(out, out + 12, static_cast<int>(index)).ptr;
        }
        *out++ = KV_STX;
        needle = std::string_view(stack_needle, static_cast<size_t>(out - stack_needle));
    } else {
        append_key(heap_needle, key, index);
        heap_needle.push_back(KV_STX);
        needle = heap_needle;
    }

    size_t p = std::string_view::npos;
    if (g_cursor <= text.size()) {
        // Records are read in the order they were written: the field asked for
        // is nearly always the one after the cursor's value. It is the first
        // match when that value holds no 0x02 (a match ends in 0x02, and keys
        // hold no 0x03).
        const size_t etx = text.find(KV_ETX, g_cursor);
        if (etx != std::string_view::npos && text.compare(etx + 1, needle.size(), needle) == 0 &&
            text.substr(g_cursor, etx - g_cursor).find(KV_STX) == std::string_view::npos)
            p = etx + 1;
        else
            p = find_needle(text, needle, g_cursor, text.size());
    }
    // Not at or after the cursor: once more from the start.
    if (p == std::string_view::npos && g_cursor != 0)
        p = find_needle(text, needle, 0, g_cursor);
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

// Skips leading blanks and one sign, as atoi/atof do; returns the index after them.
static size_t skip_space_and_sign(std::string_view text, bool& negative)
{
    size_t i = 0;
    while (i < text.size() && is_space(text[i]))
        ++i;
    negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    return i;
}

int32_t kv_atoi(std::string_view text)
{
    bool negative = false;
    size_t i = skip_space_and_sign(text, negative);
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
    bool negative = false;
    const size_t i = skip_space_and_sign(text, negative);
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
