#pragma once
// Identities of projects, pages, controls, logic blocks, clocks and scenes.

#include <string>

// A new random identity: "{xxxxxxxx-xxxx-4xxx-yxxx-xxxxxxxxxxxx}", 38
// characters, lower-case hexadecimal, version-4 layout.
std::string kv_new_guid();
