#pragma once
// The demo project "Haus Sonnenhang": what the app shows when it has no
// project of its own. Every write gives the same file contents.

#include <string>

class CKV_Project_Db;

// Fills an empty, open store with the demo's records and stored files
// (not saved). False, with trace lines, when a part does not fit the control
// catalogue or a file could not be stored.
bool kv_build_demo_project(CKV_Project_Db& db);

// Writes the demo as a project file at path, replacing a file there only
// once the new one is complete.
bool kv_write_demo_project(const std::string& path);
