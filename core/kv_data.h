#pragma once
// Base of every persistent record and the field writers/readers of the
// record text: key, [_index], 0x02, value, 0x03, concatenated.

#include <cstddef>
#include <cstdint>
#include <string>
#include <span>
#include <string_view>
#include <unordered_map>
#include <vector>

constexpr uint32_t KV_NO_INDEX = 0xFFFFFFFFu;
constexpr char KV_STX = 0x02;
constexpr char KV_ETX = 0x03;

class KV_Data {
public:
    KV_Data();
    explicit KV_Data(std::string text);
    KV_Data(const KV_Data&) = default;
    KV_Data& operator=(const KV_Data&) = default;
    // Moves too: swapping two projects must not copy their record texts.
    KV_Data(KV_Data&&) noexcept = default;
    KV_Data& operator=(KV_Data&&) noexcept = default;
    virtual ~KV_Data() = default;

    virtual std::string encode();
    virtual void decode();
    virtual void set_text(const std::string& text);
    virtual void reset();

    std::string m_text;
};

// "_%d" for an element index, empty for KV_NO_INDEX.
std::string index_suffix(uint32_t index);

// Field writers: each returns the complete field text.
std::string put_string(std::string_view key, std::string_view value, uint32_t index = KV_NO_INDEX);
std::string put_int(std::string_view key, int32_t value, uint32_t index = KV_NO_INDEX);
std::string put_uint(std::string_view key, uint32_t value, uint32_t index = KV_NO_INDEX);
std::string put_double(std::string_view key, double value, uint32_t index = KV_NO_INDEX);
std::string bytes_to_hex(const unsigned char* buffer, int length);

// Field readers. Missing keys give the default; see kv_data.cpp for the
// conversion rules.
std::string get_string(const KV_Data& record, std::string_view key, std::string_view def,
                       uint32_t index = KV_NO_INDEX);
int32_t get_int(const KV_Data& record, std::string_view key, int32_t def, uint32_t index = KV_NO_INDEX);
double get_double(const KV_Data& record, std::string_view key, double def, uint32_t index = KV_NO_INDEX);
int64_t get_time(const KV_Data& record, std::string_view key, int64_t def, uint32_t index = KV_NO_INDEX);
bool get_bool(const KV_Data& record, std::string_view key, bool def, uint32_t index = KV_NO_INDEX);
// Fills at most buffer_size bytes; returns the number of bytes written.
size_t hex_to_bytes(std::string_view text, unsigned char* buffer, size_t buffer_size);

// The lookup behind every reader. found is false when the key is missing or
// its field is cut before its 0x03.
std::string_view find_value(std::string_view text, std::string_view key, uint32_t index, bool& found);

// While an object of this class lives, lookups in exactly this text (same
// bytes at the same address) use an index instead of scanning; the results
// are those of the scan. The index knows where every 0x02 and 0x03 stands
// (one pass over the text), so the field after the cursor is checked without
// reading the values again; lookups away from the cursor, above all missing
// keys (every list ends with one), use an index of the keys built on the
// first such lookup instead of a scan of the whole text (megabytes for clock
// lists). The text must not change meanwhile. Like the search cursor it
// belongs to the thread that creates it, and lives on its stack.
class KV_Text_Index {
public:
    explicit KV_Text_Index(std::string_view text);
    ~KV_Text_Index();
    KV_Text_Index(const KV_Text_Index&) = delete;
    KV_Text_Index& operator=(const KV_Text_Index&) = delete;

    bool covers(std::string_view text) const { return text.data() == m_text.data() && text.size() == m_text.size(); }
    // First position p in [from, to) where key + 0x02 starts; npos when
    // none. answered is false for keys the index cannot look up (shorter
    // than its tail, or holding 0x02/0x03): the caller scans instead.
    size_t find(std::string_view key, size_t from, size_t to, bool& answered);
    // Whether key + suffix + 0x02 is, for certain, first found right after
    // the value at the cursor; then p is where it starts and, when its value
    // ends in a 0x03, value_found is true and value is set.
    bool next_field(size_t cursor, std::string_view key, std::string_view suffix, size_t& p, std::string_view& value,
                    bool& value_found);

private:
    static constexpr size_t kTail = 8;
    static constexpr size_t kMarksScannedInOrder = 512;
    // Groups of more 0x02 bytes with the same tail than this (list fields
    // whose keys end in the same name) are looked up by all of a key's bytes.
    static constexpr size_t kCrowdedGroup = 64;
    size_t first_mark_at(size_t position);
    void build_key_index();
    size_t bucket_of(uint64_t tail) const;
    // The 0x02 positions of a crowded group with exactly the key's bytes
    // (by hash, so each is still checked) before them, ascending.
    std::span<const uint32_t> positions_ending_in(std::string_view key, size_t bucket);

    std::string_view m_text;
    KV_Text_Index* m_previous;
    // The text's 0x02/0x03 bytes in order, in m_inline_marks or, for texts
    // with more of them, in m_heap_marks.
    static constexpr size_t kInlineMarks = 256;
    uint32_t m_inline_marks[kInlineMarks];
    std::vector<uint32_t> m_heap_marks;
    const uint32_t* m_marks;
    size_t m_marks_count = 0;
    size_t m_hint = 0; // the mark at the cursor when reading in order
    // For lookups away from the cursor: positions of the 0x02 bytes grouped
    // by a hash of the kTail bytes before them, ascending within a group:
    // group b is m_positions[m_group_start[b] .. m_group_start[b + 1]).
    bool m_key_index_built = false;
    int m_bucket_bits = 0;
    std::vector<uint32_t> m_group_start;
    std::vector<uint32_t> m_positions;
    // (group << 32 | key size) -> hash of that many bytes before a 0x02 ->
    // the group's 0x02 positions with those bytes, built on first use.
    std::unordered_map<uint64_t, std::unordered_map<uint64_t, std::vector<uint32_t>>> m_by_whole_key;
};

// decode() with a KV_Text_Index on the record's text.
void decode_text(KV_Data& record);

// Conversions used by the readers, exposed for the other parsers.
int32_t kv_atoi(std::string_view text);
double kv_atof(std::string_view text);
std::string kv_format_double(double value);

// The search cursor shared by all lookups of one thread: a record decoded on
// another thread (project loading reads two tables at once) has its own.
size_t kv_search_cursor();
void kv_rewind_search_cursor();
