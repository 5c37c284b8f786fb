#pragma once
// Crash-safe file replacement: new contents go to a file in the same folder,
// reach the disk, and only then take the old name by a rename, so that a
// power cut leaves either the old file or the new one, never half of one.

#include <cstddef>
#include <string>

// Writes size bytes to path (created or truncated) and syncs them to disk.
// On failure path is removed again and error says why.
bool kv_write_synced(const std::string& path, const void* data, size_t size, std::string& error);

// Renames from over to and syncs the folder. When keep is given and to
// exists, the file at to stays reachable as keep (replacing an older keep).
bool kv_replace_file(const std::string& from, const std::string& to, const std::string& keep, std::string& error);

// Syncs the folder that holds path, so that renames in it are on disk.
void kv_sync_folder_of(const std::string& path);
