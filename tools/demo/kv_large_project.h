#pragma once
// The large benchmark project: 10,000 group addresses, 100 pages of 50
// controls, 1,000 logic blocks and 200 clocks of 20 times (about 12 MB of
// record text). Benchmarks measure with it, the simulator serves it.

#include <string>

class CKV_Project_Db;

// Fills an empty, open store (not saved).
void kv_build_large_project(CKV_Project_Db& db);

// Writes it as a project file at path (replacing what is there).
bool kv_write_large_project(const std::string& path);
