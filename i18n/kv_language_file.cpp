#include "kv_language_file.h"

#include <cstdint>

#include "kv_trace.h"

namespace {
constexpr uint32_t kNullString = 0xFFFFFFFFu;
constexpr QChar kSeparator(0x0002);

class Big_Endian_Reader {
public:
    Big_Endian_Reader(const unsigned char* data, size_t size) : m_data(data), m_size(size) {}

    size_t remaining() const { return m_size - m_pos; }

    bool read32(uint32_t& value)
    {
        if (remaining() < 4)
            return false;
        const unsigned char* p = m_data + m_pos;
        value = uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
        m_pos += 4;
        return true;
    }

    // `bytes` is even and not above remaining().
    QString read_utf16(uint32_t bytes)
    {
        QString text(qsizetype(bytes / 2), Qt::Uninitialized);
        QChar* out = text.data();
        for (uint32_t k = 0; k < bytes; k += 2)
            *out++ = QChar(char16_t(m_data[m_pos + k] << 8 | m_data[m_pos + k + 1]));
        m_pos += bytes;
        return text;
    }

private:
    const unsigned char* m_data;
    size_t m_size;
    size_t m_pos = 0;
};
} // namespace

bool kv_decode_string_list(const unsigned char* data, size_t size, QStringList& out)
{
    out.clear();
    Big_Endian_Reader reader(data, size);
    uint32_t count = 0;
    if (!reader.read32(count)) {
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_SERVER, "string list: %zu bytes, no count\n", size);
        return false;
    }
    // Every string takes at least its 4-byte length.
    if (count > reader.remaining() / 4) {
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_SERVER, "string list: count %u in %zu bytes\n", count, size);
        return false;
    }
    out.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t bytes = 0;
        if (!reader.read32(bytes)) {
            TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_SERVER, "string list: ends before string %u of %u\n", i, count);
            out.clear();
            return false;
        }
        if (bytes == kNullString) {
            out.append(QString());
            continue;
        }
        if (bytes % 2 != 0 || bytes > reader.remaining()) {
            TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_SERVER, "string list: string %u has %u bytes, %zu left\n", i,
                  bytes, reader.remaining());
            out.clear();
            return false;
        }
        out.append(reader.read_utf16(bytes));
    }
    if (reader.remaining() != 0) {
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_SERVER, "string list: %zu bytes after the last string\n",
              reader.remaining());
        out.clear();
        return false;
    }
    return true;
}

bool kv_decode_language_file(const unsigned char* data, size_t size, KV_Language_Entries& out)
{
    out = {};
    QStringList strings;
    if (!kv_decode_string_list(data, size, strings))
        return false;
    int skipped = 0;
    for (const QString& entry : strings) {
        const qsizetype split = entry.indexOf(kSeparator);
        if (split < 0) {
            ++skipped;
            continue;
        }
        const qsizetype end = entry.indexOf(kSeparator, split + 1);
        out.sources.append(entry.left(split));
        out.translations.append(entry.mid(split + 1, end < 0 ? -1 : end - split - 1));
    }
    if (skipped > 0)
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_SERVER, "language file: %d entries without separator skipped\n",
              skipped);
    return true;
}

QString kv_unescape_translation(const QString& stored)
{
    QString shown = stored;
    shown.replace(QLatin1String("\\n"), QLatin1String("\n"));
    shown.replace(QLatin1String("\\t"), QLatin1String("\t"));
    return shown;
}
