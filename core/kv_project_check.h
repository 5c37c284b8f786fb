#pragma once
// Checks that a file is a whole, readable project before it may replace the
// local one: a download can be valid SQLite on its first page and broken
// behind it, or a database of something else.

#include <string>

class KV_Project;

// Decodes text into record when it is a project record (it names the
// project's GUID); otherwise record stays as it was and false.
bool kv_decode_project_record(const std::string& text, KV_Project& record);

// Empty when path opens as SQLite, passes SQLite's integrity check, every
// project table it has reads to its end and its project record decodes;
// otherwise the reason, one line for the trace and the user.
std::string kv_check_project_file(const std::string& path);

// Removes what SQLite keeps beside path (rollback journal, WAL). Only for a
// file about to be written whole: a journal left by an earlier process would
// otherwise be rolled back into the new contents.
void kv_remove_stale_journal(const std::string& path);
