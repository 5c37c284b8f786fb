#pragma once
// Logic page and logic block records. The program does not run the blocks;
// visual controls read the group addresses of their connectors.

#include <cstdint>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "kv_address.h"
#include "kv_data.h"

struct KV_LOGIC_IO {
    KV_Group_Address m_addr;
    std::string m_str_comment;
};

struct KV_LOGIC_Param {
    std::string m_str_name;
    std::string m_str_value;
};

class KV_LOGIC_Control : public KV_Data {
public:
    static constexpr size_t MAX_IO = 128;
    static constexpr size_t MAX_PARAM = 64;

    KV_LOGIC_Control() = default;
    explicit KV_LOGIC_Control(const std::string& text);

    std::string encode() override;
    void decode() override;

    // Connector i (its list position is the connector number), or null.
    std::shared_ptr<KV_LOGIC_IO> input(size_t i) const;
    std::shared_ptr<KV_LOGIC_IO> output(size_t i) const;
    const std::vector<std::shared_ptr<KV_LOGIC_IO>>& inputs() const { return m_list_io_input; }
    const std::vector<std::shared_ptr<KV_LOGIC_IO>>& outputs() const { return m_list_io_output; }

    // The value of the first parameter with that name, or null.
    const std::string* param(std::string_view name) const;
    // Sets the first parameter with that name, else appends one while the
    // list has room; false when it had none.
    bool set_param(std::string_view name, const std::string& value);

    int32_t m_typ = 0;
    int32_t m_x = 0;
    int32_t m_y = 0;
    std::string m_str_guid;
    std::string m_str_guid_parent_page;
    std::string m_str_name;
    int32_t m_vke_typ = 0;
    bool m_activ = true;
    int32_t m_zykl_senden = 0;
    bool m_reread = false;
    // Elements are shared with the visual controls that read them.
    std::vector<std::shared_ptr<KV_LOGIC_IO>> m_list_io_input;
    std::vector<KV_LOGIC_Param> m_list_param;
    std::vector<std::shared_ptr<KV_LOGIC_IO>> m_list_io_output;
};

// Lists in a block parameter: the count as "%d#", then the elements joined
// by "#" ("#" inside an element becomes a blank).
std::string kv_list_text(const std::vector<std::string>& elements);
// At most `max` of the counted elements that are there; empty for a text
// without "#".
std::vector<std::string_view> kv_list_from_text(std::string_view text, size_t max);
// The text up to `separator` (or the end); `text` moves past the separator.
std::string_view kv_next_field(std::string_view& text, char separator);

class KV_LOGIC_Page : public KV_Data {
public:
    KV_LOGIC_Page() = default;
    explicit KV_LOGIC_Page(const std::string& text);

    std::string encode() override;
    void decode() override;

    // Replaces the block with the same non-empty GUID (through its text),
    // else appends a new block built from the record's text.
    KV_LOGIC_Control* add_control(const KV_LOGIC_Control& record);
    KV_LOGIC_Control* find_control(const std::string& guid) const;

    std::string m_str_guid;
    std::string m_str_caption;
    int32_t m_typ = 0;
    int32_t m_start_verz = 0;
    int32_t m_size_logic = 10;

    // Not part of the page's record text.
    std::vector<std::unique_ptr<KV_LOGIC_Control>> m_controls;
};
