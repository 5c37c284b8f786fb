// Lists in logic block parameters arrive from the controller: colour
// presets and sequences, and the switching times of a heating program. Any
// bytes must parse without a crash, and what parsed must come back
// unchanged from its own text.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "kv_color_settings.h"
#include "kv_logic.h"
#include "kv_settings_clock.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::vector<KV_Sequence_Step> steps = kv_sequence_from_text(text);
    if (kv_sequence_text(kv_sequence_from_text(kv_sequence_text(steps))) != kv_sequence_text(steps))
        std::abort();
    for (std::string_view element : kv_list_from_text(text, 64)) {
        // Channels and times are stored whole: a parsed element is stable after one round.
        if (const auto preset = kv_color_from_text(element)) {
            const auto once = kv_color_from_text(kv_color_text(*preset));
            if (!once || kv_color_text(*once) != kv_color_text(*preset))
                std::abort();
        }
        const std::string time = kv_time_entry_text(kv_time_entry_from_text(element));
        if (kv_time_entry_text(kv_time_entry_from_text(time)) != time)
            std::abort();
    }
    return 0;
}
