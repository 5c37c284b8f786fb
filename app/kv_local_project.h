#pragma once
// The app's local copy of the controller's project, "kv_app.kvp" in the
// working directory: opened at start without ever deleting a file that does
// not open, and replaced by a downloaded project only after that passed its
// checks, with the installation's own routes already inside.

#include <QString>
#include <cstddef>
#include <string>

#include "kv_routes.h"

class CKV_Project_Db;

constexpr const char* KV_LOCAL_PROJECT_FILE = "kv_app.kvp";

// The working directory text with the file name appended as it is (no
// separator added).
std::string kv_local_project_path(const QString& working_dir);
// The previous project, kept while a new one replaces it.
std::string kv_previous_project_path(const std::string& path);

// Makes a new empty project named after the file, with a fresh GUID and the
// given routes, in place of path (through a file beside it, so that what was
// at path stays whole until the new one is complete), and leaves it open.
bool kv_create_local_project(CKV_Project_Db& project, const std::string& path, const KV_Routes& routes = {});

struct KV_Local_Open {
    bool opened = false;
    // For the user, once, when the project was not the one expected.
    QString notice;
};

// Opens path. A missing file becomes a new project. A file that fails the
// project checks is never deleted: the previous project (".last") is tried,
// and when that fails too the broken file is moved aside under a dated name
// and a new project takes the routes of whichever file still has them.
KV_Local_Open kv_open_local_project(CKV_Project_Db& project, const std::string& path);

struct KV_Download_Outcome {
    enum Kind {
        Installed,   // path holds the new project with the routes; staging has it loaded
        Rejected,    // the file failed the checks; path is untouched
        Not_Written, // the file could not be stored; path is untouched
    };
    Kind kind = Rejected;
    std::string reason;
};

// Stores content as the project at path: written beside it and synced,
// checked, given routes, then renamed over path while the old file stays as
// the previous project. Loads the new project into staging. Runs on a worker
// thread: staging is its own store, not the one the window shows.
KV_Download_Outcome kv_install_download(CKV_Project_Db& staging, const std::string& path, const char* content,
                                        size_t length, const KV_Routes& routes);
