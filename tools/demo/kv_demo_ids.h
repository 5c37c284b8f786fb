#pragma once
// Fixed identities of the demo's pages, controls, blocks, clocks, scenes and
// cameras: derived from a readable key, so that every written demo is the
// same file.

#include <string>
#include <string_view>

// A GUID in the braced, lower-case, version-4 layout, the same for the same key.
std::string kv_demo_guid(std::string_view key);

namespace demo_id {
inline std::string page(std::string_view key) { return kv_demo_guid("page:" + std::string(key)); }
inline std::string control(std::string_view page_key, std::string_view key)
{
    return kv_demo_guid("control:" + std::string(page_key) + ":" + std::string(key));
}
inline std::string logic(std::string_view key) { return kv_demo_guid("logic:" + std::string(key)); }
inline std::string clock(std::string_view key) { return kv_demo_guid("clock:" + std::string(key)); }
inline std::string scene(std::string_view key) { return kv_demo_guid("scene:" + std::string(key)); }
inline std::string camera(std::string_view key) { return kv_demo_guid("camera:" + std::string(key)); }
} // namespace demo_id
