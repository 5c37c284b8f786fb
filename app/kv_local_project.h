#pragma once
// The app's local copy of the controller's project, "kv_app.kvp" in the
// working directory, and how a downloaded project replaces it while the
// installation's own routes are kept.

#include <QString>
#include <cstddef>
#include <string>

class CKV_Project_Db;

constexpr const char* KV_LOCAL_PROJECT_FILE = "kv_app.kvp";

// The working directory text with the file name appended as it is (no
// separator added).
std::string kv_local_project_path(const QString& working_dir);

// Replaces whatever is at path with a new empty project named after the
// file, with a fresh GUID, and leaves it open. False when it cannot be saved.
bool kv_create_local_project(CKV_Project_Db& project, const std::string& path);

// Opens path; a missing file or one that is not a project becomes a new
// empty project. False when not even that can be stored.
bool kv_open_local_project(CKV_Project_Db& project, const std::string& path);

enum class KV_Download_Result {
    Opened,      // the new project is open with the installation's routes
    Not_Written, // the local file could not be written; no project is open
    Not_Opened,  // the file was no project or took no routes; the previous
                 // local project (or a new empty one) is open again, with the routes
};

// Writes content as the local project at path, opens it and puts the routes
// of the project open so far back into it. The previous file is kept aside
// until the new one has opened, so that a broken download loses nothing.
KV_Download_Result kv_install_downloaded_project(CKV_Project_Db& project, const std::string& path,
                                                 const unsigned char* content, size_t length);
