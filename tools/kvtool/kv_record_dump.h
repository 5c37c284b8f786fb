#pragma once
// Readable form of a record text for the dump: one "key = value" line per
// field, list elements grouped under their list name and index.

#include <ostream>
#include <string>
#include <string_view>

// Control bytes as escapes (\n, \t, \xNN), everything else unchanged.
std::string escape_value(std::string_view value);

// Writes the fields of one record text, each line starting with indent.
void dump_record(std::ostream& out, std::string_view text, int indent);
