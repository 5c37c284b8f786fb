#pragma once
// Language files of a project ("<code>.lng" in KV_FILES): a string list in the
// toolkit's data-stream form, each string "source" U+0002 "translation".

#include <cstddef>

#include <QStringList>

struct KV_Language_Entries {
    QStringList sources;      // as stored, in file order
    QStringList translations; // parallel to sources, escapes still in place
};

// Reads a string list: big-endian count, then per string a big-endian byte
// length (0xFFFFFFFF: null string) and its UTF-16BE code units. Counts and
// lengths are checked against the bytes at hand before anything is allocated.
// False, with `out` empty, when the bytes are not exactly one such list.
bool kv_decode_string_list(const unsigned char* data, size_t size, QStringList& out);

// Decodes a language file; strings without U+0002 are skipped, a string with
// more than one keeps its first two parts. False, with `out` empty, when the
// bytes are not a string list.
bool kv_decode_language_file(const unsigned char* data, size_t size, KV_Language_Entries& out);

// A stored translation as it is shown: "\n" and "\t" become a line break and a tab.
QString kv_unescape_translation(const QString& stored);
