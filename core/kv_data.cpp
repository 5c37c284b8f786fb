#include "kv_data.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {
// One search cursor and one stack of indexes per decoding thread.
thread_local size_t g_cursor = 0;
thread_local KV_Text_Index* g_index = nullptr;

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

bool holds_control_bytes(std::string_view key)
{
    return key.find(KV_STX) != std::string_view::npos || key.find(KV_ETX) != std::string_view::npos;
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
    KV_Text_Index index(record.m_text);
    record.decode();
}

namespace {
uint64_t load_word(const char* at)
{
    uint64_t word;
    std::memcpy(&word, at, 8);
    return word;
}

// The eight bytes before end.
uint64_t tail_of(const char* end) { return load_word(end - 8); }

// A mark is the position of a 0x02 or 0x03 byte shifted left by one, with the
// lowest bit set for 0x03 (the two differ just there).
constexpr size_t kMaxMarkedText = size_t{1} << 31;
uint32_t mark_position(uint32_t mark) { return mark >> 1; }
bool is_etx_mark(uint32_t mark) { return (mark & 1) != 0; }

// Keys are a few dozen bytes: compared a word at a time, without a library
// call, as every lookup compares one.
bool same_bytes(const char* text, std::string_view bytes)
{
    const size_t size = bytes.size();
    if (size < 8) {
        for (size_t i = 0; i < size; ++i) {
            if (text[i] != bytes[i])
                return false;
        }
        return true;
    }
    for (size_t i = 0; i + 8 < size; i += 8) {
        if (load_word(text + i) != load_word(bytes.data() + i))
            return false;
    }
    // The last word, overlapping the ones before where the size is no multiple of 8.
    return tail_of(text + size) == tail_of(bytes.data() + size);
}

uint64_t hash_bytes(const char* bytes, size_t size)
{
    constexpr uint64_t kMix = 0xff51afd7ed558ccdull;
    uint64_t hash = size * 0x9E3779B97F4A7C15ull;
    size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        hash = (hash ^ load_word(bytes + i)) * kMix;
        hash ^= hash >> 32;
    }
    uint64_t rest = 0;
    std::memcpy(&rest, bytes + i, size - i);
    hash = (hash ^ rest) * kMix;
    return hash ^ (hash >> 29);
}

// Writes the marks of the text to out while they fit in capacity; returns how
// many there are.
size_t collect_marks(std::string_view text, uint32_t* out, size_t capacity)
{
    const char* const data = text.data();
    size_t count = 0;
    const auto add = [&](size_t position) {
        if (count < capacity)
            out[count] = static_cast<uint32_t>(position << 1 | (data[position] & 1));
        ++count;
    };
    size_t i = 0;
#if defined(__SSE2__)
    // Sixteen bytes a step: most of a record is keys and values.
    const __m128i stx = _mm_set1_epi8(KV_STX);
    const __m128i etx = _mm_set1_epi8(KV_ETX);
    for (; i + 16 <= text.size(); i += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        unsigned hits = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, stx), _mm_cmpeq_epi8(bytes, etx))));
        while (hits) {
            add(i + static_cast<size_t>(__builtin_ctz(hits)));
            hits &= hits - 1;
        }
    }
#endif
    for (; i < text.size(); ++i) {
        if (data[i] == KV_STX || data[i] == KV_ETX)
            add(i);
    }
    return count;
}
} // namespace

KV_Text_Index::KV_Text_Index(std::string_view text)
    : m_text(text)
    , m_previous(g_index)
    , m_marks(m_inline_marks)
{
    if (text.size() < kMaxMarkedText) {
        // Most records fit the buffer inside this object; bigger ones take a
        // second pass into one of the right size.
        m_marks_count = collect_marks(text, m_inline_marks, kInlineMarks);
        if (m_marks_count > kInlineMarks) {
            m_heap_marks.resize(m_marks_count);
            collect_marks(text, m_heap_marks.data(), m_marks_count);
            m_marks = m_heap_marks.data();
        }
    }
    g_index = this;
}

KV_Text_Index::~KV_Text_Index() { g_index = m_previous; }

size_t KV_Text_Index::first_mark_at(size_t position)
{
    const uint32_t* marks = m_marks;
    // Reading in order, the cursor stands where the last value began: its
    // 0x03 is the mark remembered then.
    if (m_hint < m_marks_count && mark_position(marks[m_hint]) >= position &&
        (m_hint == 0 || mark_position(marks[m_hint - 1]) < position))
        return m_hint;
    return static_cast<size_t>(std::lower_bound(marks, marks + m_marks_count, position,
                                                [](uint32_t mark, size_t p) { return mark_position(mark) < p; }) -
                               marks);
}

bool KV_Text_Index::next_field(size_t cursor, std::string_view key, std::string_view suffix, size_t& p,
                               std::string_view& value, bool& value_found)
{
    // A text too big for marks has none, and so no next field here.
    const uint32_t* marks = m_marks;
    // The cursor's value must end in a 0x03 with no 0x02 before it, and the
    // next mark must be the 0x02 right after key and suffix: then nothing
    // between them is a 0x02 or 0x03, and the first match of the needle at or
    // after the cursor starts right after that 0x03.
    const size_t etx = first_mark_at(cursor);
    if (etx + 1 >= m_marks_count || !is_etx_mark(marks[etx]))
        return false;
    const size_t start = mark_position(marks[etx]) + 1;
    const size_t stx_position = start + key.size() + suffix.size();
    if (marks[etx + 1] != (stx_position << 1) || !same_bytes(m_text.data() + start, key) ||
        !same_bytes(m_text.data() + start + key.size(), suffix))
        return false;
    p = start;
    // The value runs to the next 0x03.
    size_t end = etx + 2;
    while (end < m_marks_count && !is_etx_mark(marks[end]))
        ++end;
    value_found = end < m_marks_count;
    if (value_found) {
        value = m_text.substr(stx_position + 1, mark_position(marks[end]) - stx_position - 1);
        m_hint = end;
    }
    return true;
}

size_t KV_Text_Index::bucket_of(uint64_t tail) const
{
    return m_bucket_bits == 0 ? 0 : static_cast<size_t>((tail * 0x9E3779B97F4A7C15ull) >> (64 - m_bucket_bits));
}

void KV_Text_Index::build_key_index()
{
    static_assert(kTail == 8, "tails are read as 64-bit words");
    m_key_index_built = true;
    // Every 0x02 with kTail bytes before it; those whose tail holds a 0x02 or
    // 0x03 never match a key the index answers, so they need no sorting out.
    const uint32_t* marks = m_marks;
    const char* const begin = m_text.data();
    size_t count = 0;
    for (size_t m = 0; m < m_marks_count; ++m)
        count += !is_etx_mark(marks[m]) && mark_position(marks[m]) >= kTail;
    while ((size_t{1} << m_bucket_bits) < count)
        ++m_bucket_bits;
    const size_t buckets = size_t{1} << m_bucket_bits;
    m_group_start.assign(buckets + 1, 0);
    const auto for_each_stx = [&](auto&& use) {
        for (size_t m = 0; m < m_marks_count; ++m) {
            if (!is_etx_mark(marks[m]) && mark_position(marks[m]) >= kTail)
                use(mark_position(marks[m]), bucket_of(tail_of(begin + mark_position(marks[m]))));
        }
    };
    for_each_stx([&](uint32_t, size_t bucket) { ++m_group_start[bucket + 1]; });
    for (size_t b = 0; b < buckets; ++b)
        m_group_start[b + 1] += m_group_start[b];
    m_positions.resize(count);
    std::vector<uint32_t> next(m_group_start.begin(), m_group_start.end() - 1);
    for_each_stx([&](uint32_t stx, size_t bucket) { m_positions[next[bucket]++] = stx; });
}

size_t KV_Text_Index::find(std::string_view key, size_t from, size_t to, bool& answered)
{
    answered = key.size() >= kTail && m_text.size() < kMaxMarkedText && !holds_control_bytes(key);
    if (!answered)
        return std::string_view::npos;
    // Such a key can only stand right before a 0x02 whose key part is at
    // least as long as it, so the candidates are the 0x02 bytes with the
    // same tail; each is checked against the text itself.
    const uint64_t tail = tail_of(key.data() + key.size());
    const auto matches = [&](uint32_t stx) {
        return tail_of(m_text.data() + stx) == tail && same_bytes(m_text.data() + stx - key.size(), key);
    };
    if (m_marks_count <= kMarksScannedInOrder) {
        // Few fields: going through them costs less than indexing their keys.
        const uint32_t* marks = m_marks;
        for (size_t m = first_mark_at(from + key.size()); m < m_marks_count; ++m) {
            const uint32_t stx = mark_position(marks[m]);
            if (stx >= to + key.size())
                break;
            if (!is_etx_mark(marks[m]) && matches(stx))
                return stx - key.size();
        }
        return std::string_view::npos;
    }
    if (!m_key_index_built)
        build_key_index();
    const size_t bucket = bucket_of(tail);
    std::span<const uint32_t> candidates(m_positions.data() + m_group_start[bucket],
                                         m_group_start[bucket + 1] - m_group_start[bucket]);
    if (candidates.size() > kCrowdedGroup)
        candidates = positions_ending_in(key, bucket);
    for (auto q = std::lower_bound(candidates.begin(), candidates.end(), from + key.size());
         q != candidates.end() && *q < to + key.size(); ++q) {
        if (matches(*q))
            return *q - key.size();
    }
    return std::string_view::npos;
}

std::span<const uint32_t> KV_Text_Index::positions_ending_in(std::string_view key, size_t bucket)
{
    auto [by_hash, added] = m_by_whole_key.try_emplace(static_cast<uint64_t>(bucket) << 32 | key.size());
    if (added) {
        for (uint32_t g = m_group_start[bucket]; g < m_group_start[bucket + 1]; ++g) {
            const uint32_t stx = m_positions[g];
            if (stx >= key.size())
                by_hash->second[hash_bytes(m_text.data() + stx - key.size(), key.size())].push_back(stx);
        }
    }
    const auto found = by_hash->second.find(hash_bytes(key.data(), key.size()));
    if (found == by_hash->second.end())
        return {};
    return found->second;
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
    char suffix_chars[16] = {'_'};
    std::string_view suffix(suffix_chars, 0); // never null: it goes to memcpy
    if (index != KV_NO_INDEX) {
        const char* end = std::to_chars(suffix_chars + 1, suffix_chars + sizeof suffix_chars, static_cast<int>(index)).ptr;
        suffix = std::string_view(suffix_chars, static_cast<size_t>(end - suffix_chars));
    }

    // Decoding a record: nearly always the next field.
    if (g_index && g_index->covers(text) && g_cursor <= text.size()) {
        size_t p = 0;
        std::string_view value;
        if (g_index->next_field(g_cursor, key, suffix, p, value, found)) {
            g_cursor = found ? static_cast<size_t>(value.data() - text.data()) : p;
            return value;
        }
    }

    // Keys are short: build the needle on the stack where it fits.
    const size_t needle_size = key.size() + suffix.size() + 1;
    char stack_needle[128];
    std::string heap_needle;
    char* needle_chars = stack_needle;
    if (needle_size > sizeof stack_needle) {
        heap_needle.resize(needle_size);
        needle_chars = heap_needle.data();
    }
    std::memcpy(needle_chars, key.data(), key.size());
    std::memcpy(needle_chars + key.size(), suffix.data(), suffix.size());
    needle_chars[needle_size - 1] = KV_STX;
    const std::string_view needle(needle_chars, needle_size);

    size_t p = std::string_view::npos;
    if (g_cursor <= text.size())
        p = find_needle(text, needle, g_cursor, text.size());
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

// strtod in the "C" locale: a number too large or too small for from_chars
// still reads as inf or the nearest tiny value, whatever LC_NUMERIC says.
static double c_strtod(const std::string& number)
{
    static const locale_t c_locale = newlocale(LC_NUMERIC_MASK, "C", nullptr);
    return c_locale ? strtod_l(number.c_str(), nullptr, c_locale) : 0.0;
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
    bool saturated = false;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9' && !saturated; ++i) {
        if (value < (INT64_MAX - 9) / 10)
            value = value * 10 + (text[i] - '0');
        else
            saturated = true;
    }
    if (saturated)
        value = negative ? INT64_MIN : INT64_MAX;
    else if (negative)
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
    // Only a decimal number counts: a second sign, "inf" or "nan" read as 0.
    if (first == last || !(std::isdigit(static_cast<unsigned char>(*first)) || *first == '.'))
        return 0.0;
    // from_chars takes the longest leading decimal number and ignores the locale.
    auto res = std::from_chars(first, last, value, std::chars_format::general);
    if (res.ec == std::errc::result_out_of_range)
        value = c_strtod(std::string(first, res.ptr));
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

namespace {
int hex_digit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// strtol(pair, nullptr, 16) of two characters: a leading blank or sign is
// allowed, reading stops at the first non-digit.
unsigned char hex_pair(char first, char second)
{
    const int high = hex_digit(first);
    const int low = hex_digit(second);
    if (high >= 0)
        return static_cast<unsigned char>(low >= 0 ? high * 16 + low : high);
    const int value = low >= 0 ? low : 0;
    if (first == '-')
        return static_cast<unsigned char>(-value);
    if (first == '+' || is_space(first))
        return static_cast<unsigned char>(value);
    return 0;
}
} // namespace

size_t hex_to_bytes(std::string_view text, unsigned char* buffer, size_t buffer_size)
{
    size_t written = 0;
    for (size_t i = 0; i + 1 < text.size() && written < buffer_size; i += 2)
        buffer[written++] = hex_pair(text[i], text[i + 1]);
    return written;
}

size_t kv_search_cursor() { return g_cursor; }
void kv_rewind_search_cursor() { g_cursor = 0; }
