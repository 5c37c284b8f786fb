// Language files come with the project from the controller; any bytes must
// decode without a crash, and what decodes must be exactly what the toolkit
// writes for that string list: no bytes ignored, null strings kept.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include <QByteArray>
#include <QDataStream>
#include <QIODevice>

#include "kv_language_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QStringList strings;
    const bool listed = kv_decode_string_list(data, size, strings);
    KV_Language_Entries entries;
    const bool decoded = kv_decode_language_file(data, size, entries);
    if (listed != decoded || entries.sources.size() != entries.translations.size())
        std::abort();
    if (!decoded) {
        if (!strings.isEmpty() || !entries.sources.isEmpty())
            std::abort();
        return 0;
    }
    if (entries.sources.size() > strings.size())
        std::abort();

    QByteArray written;
    QDataStream stream(&written, QIODevice::WriteOnly);
    stream << strings;
    if (size_t(written.size()) != size || (size > 0 && std::memcmp(written.constData(), data, size) != 0))
        std::abort();
    for (const QString& translation : entries.translations)
        if (kv_unescape_translation(translation).size() > translation.size())
            std::abort();
    return 0;
}
