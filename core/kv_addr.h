#pragma once
// The group address database: main groups (KV_Addr_HG) own middle groups
// (KV_Addr_MG), which own group addresses (KV_Addr_Db); the tree indexes the
// addresses so that lookups and telegram matching do not walk the tree.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "kv_addr_tgm.h"
#include "kv_address.h"
#include "kv_data.h"

constexpr int KV_ADDR_VALUE_SIZE = 255;
constexpr int KV_ADDR_MAX_LISTEN = 16;
// What a missing listen field reads as; it ends the listen list.
inline constexpr const char* KV_ADDR_LISTEN_END = "_@emty";

class KV_Addr_Tree;

class KV_Addr_Db : public KV_Data {
public:
    KV_Addr_Db() { KV_Addr_Db::decode(); }
    explicit KV_Addr_Db(const std::string& text);

    std::string encode() override;
    void decode() override;

    KV_Group_Address m_addr_write;
    std::string m_str_comment;
    unsigned char m_data[KV_ADDR_VALUE_SIZE] = {};
    uint32_t m_data_typ = 1;
    uint32_t m_data_signed = 0;
    uint32_t m_fread_init = 0;
    uint32_t m_fread_zykl = 0;
    uint32_t m_fread_ack = 0;
    std::vector<KV_Group_Address> m_addr_listen; // at most KV_ADDR_MAX_LISTEN
};

class KV_Addr_MG : public KV_Data {
public:
    KV_Addr_MG() { KV_Addr_MG::decode(); }
    explicit KV_Addr_MG(const std::string& text);

    std::string encode() override;
    void decode() override;

    // Only the tree adds addresses, so that its index stays complete.
    const std::vector<std::unique_ptr<KV_Addr_Db>>& addresses() const { return m_list_addr; }

    std::string m_str_name;
    uint32_t m_num_hg = 0;
    uint32_t m_num_mg = 0;

private:
    friend class KV_Addr_Tree;
    std::vector<std::unique_ptr<KV_Addr_Db>> m_list_addr;
};

class KV_Addr_HG : public KV_Data {
public:
    KV_Addr_HG() { KV_Addr_HG::decode(); }
    explicit KV_Addr_HG(const std::string& text);

    std::string encode() override;
    void decode() override;

    const std::vector<std::unique_ptr<KV_Addr_MG>>& middle_groups() const { return m_list_mg; }

    std::string m_str_name;
    uint32_t m_num_hg = 0;

private:
    friend class KV_Addr_Tree;
    std::vector<std::unique_ptr<KV_Addr_MG>> m_list_mg;
};

// Data types: value length in bytes (1 for numbers outside the table) and the
// name shown for the type.
int type_length(uint32_t type);
const char* type_name(uint32_t type);
constexpr uint32_t KV_TYPE_COUNT = 18;

// Value bytes <-> number, in bus byte order (big-endian). Types and their
// numeric form:
//   0 constant byte, 13 ASCII byte, unknown types: the byte 0..255
//   1, 7 bit: 0 or 1;  2 dimming: low nibble 0..15;  8 priority: 0..3
//   3 time: seconds of the day; writing sets the weekday bits to 0 (no day)
//   4 date: the number YYYYMMDD (bytes day, month, year-2000)
//   5 KNX 2-byte float, clamped to -671088.64 .. 670760.96
//   6 percent 0..100 in one byte scaled to 0..255
//   9 float32, 17 double
//   10, 11, 12, 14, 16: 16/32/32/8/64-bit integers, signed when m_data_signed,
//     rounded and clamped to their range
//   15 string: the leading decimal number of the text; writing a number
//     stores its "%f" text
// NaN is written as 0.
double value_as_double(const KV_Addr_Db& address);
void set_value_from_double(KV_Addr_Db& address, double value);

// The value bytes as text up to the first NUL (type 15), and back: at most
// 255 bytes, the rest NUL-padded.
std::string value_as_text(const KV_Addr_Db& address);
void set_value_from_text(KV_Addr_Db& address, std::string_view text);

// The three-level tree of the project. Records are owned by their parent list
// and keep their address for the life of the tree (replacing a record's
// fields keeps the record object). A record's own address must be changed
// only through add_address, which keeps the indexes right.
class KV_Addr_Tree {
public:
    KV_Addr_Tree() = default;
    KV_Addr_Tree(KV_Addr_Tree&&) noexcept = default;
    KV_Addr_Tree& operator=(KV_Addr_Tree&&) noexcept = default;
    KV_Addr_Tree(const KV_Addr_Tree&) = delete;
    KV_Addr_Tree& operator=(const KV_Addr_Tree&) = delete;

    // Insert or replace the fields of the group with the same number(s);
    // each returns the record in the tree.
    KV_Addr_HG* add_hg(const KV_Addr_HG& record);
    KV_Addr_MG* add_mg(const KV_Addr_MG& record);
    KV_Addr_Db* add_address(const KV_Addr_Db& record);
    KV_Addr_Db* add_address(KV_Addr_Db&& record); // takes the record's texts over

    KV_Addr_HG* find_hg(uint32_t main) const;
    KV_Addr_MG* find_mg(uint32_t main, uint32_t middle) const;
    KV_Addr_Db* find_address(uint32_t main, uint32_t middle, uint32_t sub) const;
    KV_Addr_Db* find_address(const KV_Group_Address& address) const;

    // The addresses a received telegram concerns, in tree order. WRITE and
    // RESPONSE also match listen addresses and store the telegram's value
    // bytes (not into constants, type 0); READ matches own addresses only and
    // changes nothing. The null address 0/0/0 concerns nobody.
    std::vector<KV_Addr_Db*> addresses_for_telegram(const KV_Addr_Tgm& telegram);

    // Every address that other holds with the same data type takes other's
    // value: a project installed while the link ran keeps what the
    // controller sent meanwhile instead of the values saved in its file.
    void take_values_from(const KV_Addr_Tree& other);

    const std::vector<std::unique_ptr<KV_Addr_HG>>& main_groups() const { return m_list_hg; }
    size_t address_count() const { return m_index.size(); }
    void clear();

private:
    // Depth-first rank of a record: (main group, middle group, address) list
    // positions. Positions never change because nothing is removed.
    struct Position {
        uint32_t hg = 0;
        uint32_t mg = 0;
        uint32_t addr = 0;
        auto operator<=>(const Position&) const = default;
    };
    struct Entry {
        KV_Addr_Db* record = nullptr;
        Position position;
    };

    void index_listeners(const Entry& entry);
    void unindex_listeners(const KV_Addr_Db& record);

    std::vector<std::unique_ptr<KV_Addr_HG>> m_list_hg;
    std::unordered_map<uint32_t, uint32_t> m_hg_positions;                    // main -> list position
    std::unordered_map<uint64_t, std::pair<uint32_t, uint32_t>> m_mg_positions; // main:middle -> positions
    std::unordered_map<KV_Group_Address, Entry, KV_Group_Address_Hash> m_index;
    // listen address -> the records that listen to it, once each, in tree
    // order, so that matching a telegram needs neither lookups nor sorting
    std::unordered_map<KV_Group_Address, std::vector<Entry>, KV_Group_Address_Hash> m_listeners;
};
