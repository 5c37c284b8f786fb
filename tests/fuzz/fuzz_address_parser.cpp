// Address texts come from project files and the controller; any bytes must
// parse without a crash, and a parsed address must survive its text form.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "kv_address.h"

namespace {
// The text form writes each number with "%d": numbers above INT32_MAX come
// out negative and do not parse back, so the round trip holds below that.
bool fits_text_form(const KV_Group_Address& a)
{
    return a.main <= INT32_MAX && a.middle <= INT32_MAX && a.sub <= INT32_MAX;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const KV_Group_Address parsed = address_from_text(text);
    if (parsed.is_null() || !fits_text_form(parsed))
        return 0;
    for (const char separator : {'/', '.', ' '}) {
        if (!(address_from_text(address_to_text(parsed, separator)) == parsed))
            std::abort();
    }
    return 0;
}
