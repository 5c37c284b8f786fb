#include "kv_record_dump.h"

#include <cstdio>
#include <vector>

#include "kv_data.h"

namespace {
struct Element {
    std::string list;
    std::string index;
    bool operator==(const Element&) const = default;
};

// A key split into the list elements it lies in and its own name. Both key
// forms of lists are recognised: the index suffix ("m_list_param.m_use_it_3",
// "m_addr_listen_0") and the nested prefix ("scene_0_m_list_time_1_m_hour").
struct Field_Path {
    std::vector<Element> elements;
    std::string name; // empty for a plain list element such as m_addr_listen_0
};

Field_Path split_key(std::string_view key)
{
    Field_Path path;
    while (true) {
        // The first "_<digits>" that ends the key or is followed by "_".
        size_t found = std::string_view::npos;
        size_t digits_end = 0;
        for (size_t p = key.find('_', 1); p != std::string_view::npos; p = key.find('_', p + 1)) {
            size_t e = p + 1;
            while (e < key.size() && key[e] >= '0' && key[e] <= '9')
                ++e;
            if (e > p + 1 && (e == key.size() || key[e] == '_')) {
                found = p;
                digits_end = e;
                break;
            }
        }
        if (found == std::string_view::npos) {
            path.name = std::string(key);
            return path;
        }
        std::string_view base = key.substr(0, found);
        const std::string index(key.substr(found + 1, digits_end - found - 1));
        if (digits_end == key.size()) { // suffix form: list.member_i
            const size_t dot = base.find('.');
            path.elements.push_back({std::string(base.substr(0, dot)), index});
            if (dot != std::string_view::npos)
                path.name = std::string(base.substr(dot + 1));
            return path;
        }
        path.elements.push_back({std::string(base), index}); // prefix form
        key = key.substr(digits_end + 1);
    }
}
} // namespace

std::string escape_value(std::string_view value)
{
    std::string out;
    out.reserve(value.size());
    for (unsigned char c : value) {
        if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\\')
            out += "\\\\";
        else if (c < 0x20 || c == 0x7F) {
            char hex[8];
            snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else
            out.push_back(static_cast<char>(c));
    }
    return out;
}

void dump_record(std::ostream& out, std::string_view text, int indent)
{
    std::vector<Element> open; // list elements whose header is printed
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t stx = text.find(KV_STX, pos);
        if (stx == std::string_view::npos) {
            out << std::string(indent, ' ') << "(trailing bytes) " << escape_value(text.substr(pos)) << '\n';
            return;
        }
        const size_t etx = text.find(KV_ETX, stx + 1);
        const std::string_view key = text.substr(pos, stx - pos);
        const std::string_view value =
            text.substr(stx + 1, (etx == std::string_view::npos ? text.size() : etx) - stx - 1);
        pos = etx == std::string_view::npos ? text.size() : etx + 1;

        const Field_Path path = split_key(key);
        size_t same = 0;
        while (same < open.size() && same < path.elements.size() && open[same] == path.elements[same])
            ++same;
        open.resize(same);
        const bool bare_element = path.name.empty() && !path.elements.empty();
        const size_t headers = bare_element ? path.elements.size() - 1 : path.elements.size();
        for (size_t level = same; level < headers; ++level) {
            const Element& e = path.elements[level];
            out << std::string(indent + 2 * level, ' ') << escape_value(e.list) << '[' << e.index << "]\n";
            open.push_back(e);
        }
        out << std::string(indent + 2 * headers, ' ');
        if (bare_element)
            out << escape_value(path.elements.back().list) << '[' << path.elements.back().index << ']';
        else
            out << escape_value(path.name);
        out << " = " << escape_value(value);
        if (etx == std::string_view::npos)
            out << "   (field not closed)";
        out << '\n';
    }
}
