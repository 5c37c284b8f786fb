#pragma once
// Helpers of the record tests: hand-built fields and field surgery on texts.

#include <functional>
#include <string>

// One field: key, 0x02, value, 0x03.
inline std::string fld(const std::string& key, const std::string& value)
{
    return key + '\x02' + value + '\x03';
}

// The text without the fields whose key satisfies `drop`.
inline std::string drop_fields(const std::string& text, const std::function<bool(const std::string&)>& drop)
{
    std::string out;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\x03', start);
        end = end == std::string::npos ? text.size() : end + 1;
        const std::string field = text.substr(start, end - start);
        if (!drop(field.substr(0, field.find('\x02'))))
            out += field;
        start = end;
    }
    return out;
}

inline std::string drop_field(const std::string& text, const std::string& key)
{
    return drop_fields(text, [&](const std::string& k) { return k == key; });
}

inline bool has_key(const std::string& text, const std::string& key)
{
    return text.rfind(key + '\x02', 0) == 0 || text.find('\x03' + key + '\x02') != std::string::npos;
}
