#pragma once
// Base of every persistent record and the field writers/readers of the
// record text: key, [_index], 0x02, value, 0x03, concatenated.

#include <cstddef>
#include <cstdint>
#include <string>
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
// bytes at the same address) use an index of its keys instead of scanning;
// the results are those of the scan. Meant for decoding big record texts
// (megabytes of clock lists), where every missing key would otherwise cost
// a scan of the whole text. The text must not change meanwhile. Like the
// search cursor it is process-wide: decoding runs on the GUI thread only.
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
    size_t find(std::string_view key, size_t from, size_t to, bool& answered) const;

private:
    static constexpr size_t kTail = 8;
    std::string_view m_text;
    const KV_Text_Index* m_previous;
    // last kTail key bytes before a 0x02 -> positions of those 0x02 bytes
    std::unordered_map<uint64_t, std::vector<size_t>> m_stx_by_tail;
};

// decode(), with a KV_Text_Index while the text is big.
void decode_text(KV_Data& record);

// Conversions used by the readers, exposed for the other parsers.
int32_t kv_atoi(std::string_view text);
double kv_atof(std::string_view text);
std::string kv_format_double(double value);

// The process-wide search cursor (not thread-safe by design: all record
// coding runs on the GUI thread).
size_t kv_search_cursor();
void kv_rewind_search_cursor();
