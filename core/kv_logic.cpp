#include "kv_logic.h"

#include <algorithm>

#include "kv_record_fields.h"

namespace {
// Keys of one connector list: "<list>.io.m_use_it" and so on.
struct IO_Keys {
    std::string marker, addr, comment;
    explicit IO_Keys(const std::string& list)
        : marker(list + ".io.m_use_it")
        , addr(list + ".io.m_addr")
        , comment(list + ".io.m_str_comment")
    {
    }
};
const IO_Keys& input_keys()
{
    static const IO_Keys keys("m_list_io_input");
    return keys;
}
const IO_Keys& output_keys()
{
    static const IO_Keys keys("m_list_io_output");
    return keys;
}
constexpr const char* PARAM_MARKER = "m_list_param.m_use_it";
constexpr const char* PARAM_NAME = "m_list_param.m_str_name";
constexpr const char* PARAM_VALUE = "m_list_param.m_str_value";

void write_io(std::string& text, const IO_Keys& keys, const std::vector<std::shared_ptr<KV_LOGIC_IO>>& list)
{
    static const KV_LOGIC_IO none;
    for (uint32_t i = 0; i < list.size(); ++i) {
        const KV_LOGIC_IO& io = list[i] ? *list[i] : none;
        text += put_int(keys.marker, 1, i);
        text += put_addr(keys.addr, io.m_addr, i);
        text += put_string(keys.comment, io.m_str_comment, i);
    }
}

void read_io(const KV_Data& record, const IO_Keys& keys, std::vector<std::shared_ptr<KV_LOGIC_IO>>& list)
{
    read_list(list, KV_LOGIC_Control::MAX_IO, keys.marker, [&](uint32_t i, std::shared_ptr<KV_LOGIC_IO>& io) {
        if (!marker_present(record, keys.marker, i))
            return false;
        io = std::make_shared<KV_LOGIC_IO>();
        io->m_addr = get_addr(record, keys.addr, i);
        io->m_str_comment = get_string(record, keys.comment, "", i);
        return true;
    });
}

std::shared_ptr<KV_LOGIC_IO> at(const std::vector<std::shared_ptr<KV_LOGIC_IO>>& list, size_t i)
{
    return i < list.size() ? list[i] : nullptr;
}
} // namespace

KV_LOGIC_Control::KV_LOGIC_Control(const std::string& text)
    : KV_Data(text)
{
    decode_text(*this);
}

std::string KV_LOGIC_Control::encode()
{
    m_text.clear();
    m_text += put_int("m_typ", m_typ);
    m_text += put_int("m_x", m_x);
    m_text += put_int("m_y", m_y);
    m_text += put_string("m_str_guid", m_str_guid);
    m_text += put_string("m_str_guid_parent_page", m_str_guid_parent_page);
    m_text += put_string("m_str_name", m_str_name);
    m_text += put_int("m_vke_typ", m_vke_typ);
    m_text += put_bool("m_activ", m_activ);
    m_text += put_int("m_zykl_senden", m_zykl_senden);
    m_text += put_bool("m_reread", m_reread);
    write_io(m_text, input_keys(), m_list_io_input);
    for (uint32_t i = 0; i < m_list_param.size(); ++i) {
        m_text += put_int(PARAM_MARKER, 1, i);
        m_text += put_string(PARAM_NAME, m_list_param[i].m_str_name, i);
        m_text += put_string(PARAM_VALUE, m_list_param[i].m_str_value, i);
    }
    write_io(m_text, output_keys(), m_list_io_output);
    return m_text;
}

void KV_LOGIC_Control::decode()
{
    static const KV_LOGIC_Control def;
    kv_rewind_search_cursor();
    m_typ = get_int(*this, "m_typ", def.m_typ);
    m_x = get_int(*this, "m_x", def.m_x);
    m_y = get_int(*this, "m_y", def.m_y);
    m_str_guid = get_string(*this, "m_str_guid", def.m_str_guid);
    m_str_guid_parent_page = get_string(*this, "m_str_guid_parent_page", def.m_str_guid_parent_page);
    m_str_name = get_string(*this, "m_str_name", def.m_str_name);
    m_vke_typ = get_int(*this, "m_vke_typ", def.m_vke_typ);
    m_activ = get_bool(*this, "m_activ", def.m_activ);
    m_zykl_senden = get_int(*this, "m_zykl_senden", def.m_zykl_senden);
    m_reread = get_bool(*this, "m_reread", def.m_reread);
    read_io(*this, input_keys(), m_list_io_input);
    read_list(m_list_param, MAX_PARAM, PARAM_MARKER, [this](uint32_t i, KV_LOGIC_Param& param) {
        if (!marker_present(*this, PARAM_MARKER, i))
            return false;
        param.m_str_name = get_string(*this, PARAM_NAME, "", i);
        param.m_str_value = get_string(*this, PARAM_VALUE, "", i);
        return true;
    });
    read_io(*this, output_keys(), m_list_io_output);
}

std::shared_ptr<KV_LOGIC_IO> KV_LOGIC_Control::input(size_t i) const { return at(m_list_io_input, i); }
std::shared_ptr<KV_LOGIC_IO> KV_LOGIC_Control::output(size_t i) const { return at(m_list_io_output, i); }

KV_LOGIC_Page::KV_LOGIC_Page(const std::string& text)
    : KV_Data(text)
{
    decode_text(*this);
}

std::string KV_LOGIC_Page::encode()
{
    m_text.clear();
    m_text += put_string("m_str_guid", m_str_guid);
    m_text += put_string("m_str_caption", m_str_caption);
    m_text += put_int("m_typ", m_typ);
    m_text += put_int("m_start_verz", m_start_verz);
    m_text += put_int("m_size_logic", m_size_logic);
    return m_text;
}

void KV_LOGIC_Page::decode()
{
    static const KV_LOGIC_Page def;
    kv_rewind_search_cursor();
    m_str_guid = get_string(*this, "m_str_guid", def.m_str_guid);
    m_str_caption = get_string(*this, "m_str_caption", def.m_str_caption);
    m_typ = get_int(*this, "m_typ", def.m_typ);
    m_start_verz = get_int(*this, "m_start_verz", def.m_start_verz);
    m_size_logic = get_int(*this, "m_size_logic", def.m_size_logic);
}

KV_LOGIC_Control* KV_LOGIC_Page::find_control(const std::string& guid) const
{
    return find_by_guid(m_controls, guid);
}

KV_LOGIC_Control* KV_LOGIC_Page::add_control(const KV_LOGIC_Control& record)
{
    // Going through the text gives the page its own connector elements
    // instead of sharing the caller's.
    const std::string text = KV_LOGIC_Control(record).encode();
    if (KV_LOGIC_Control* existing = find_control(record.m_str_guid)) {
        existing->set_text(text);
        return existing;
    }
    m_controls.push_back(std::make_unique<KV_LOGIC_Control>(text));
    return m_controls.back().get();
}

const std::string* KV_LOGIC_Control::param(std::string_view name) const
{
    for (const KV_LOGIC_Param& p : m_list_param)
        if (p.m_str_name == name)
            return &p.m_str_value;
    return nullptr;
}

bool KV_LOGIC_Control::set_param(std::string_view name, const std::string& value)
{
    for (KV_LOGIC_Param& p : m_list_param)
        if (p.m_str_name == name) {
            p.m_str_value = value;
            return true;
        }
    if (m_list_param.size() >= MAX_PARAM)
        return false;
    m_list_param.push_back({std::string(name), value});
    return true;
}

std::string kv_list_text(const std::vector<std::string>& elements)
{
    std::string text = std::to_string(elements.size()) + "#";
    for (size_t i = 0; i < elements.size(); ++i) {
        std::string element = elements[i];
        std::replace(element.begin(), element.end(), '#', ' ');
        text += (i ? "#" : "") + element;
    }
    return text;
}

std::string_view kv_next_field(std::string_view& text, char separator)
{
    const size_t end = text.find(separator);
    const std::string_view field = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    return field;
}

std::vector<std::string_view> kv_list_from_text(std::string_view text, size_t max)
{
    std::vector<std::string_view> elements;
    if (text.find('#') == std::string_view::npos)
        return elements;
    const int32_t count = kv_atoi(kv_next_field(text, '#'));
    for (int32_t i = 0; i < count && elements.size() < max && !text.empty(); ++i)
        elements.push_back(kv_next_field(text, '#'));
    return elements;
}
