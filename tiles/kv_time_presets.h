#pragma once
// Named sets of switching times ("Werktage", "Urlaub") of one time program,
// kept in the panel's settings store under the program's identifier. They
// belong to the panel, not to the project: the clock record stays as the
// controller knows it, and the presets outlast a new download of the project.

#include <QString>
#include <string>
#include <vector>

#include "kv_clock_model.h"

struct KV_Time_Preset {
    QString name;
    std::vector<KV_Clock_Time> times;
};

class KV_Time_Presets {
public:
    static constexpr const char* SCOPE = "Zeitprogramme";
    static constexpr size_t MAX_PRESETS = 32;

    // The presets of the program with that identifier; none for an empty one.
    static std::vector<KV_Time_Preset> load(const std::string& program);
    // Replaces the program's presets; false (and traced) when the store could
    // not be written.
    static bool save(const std::string& program, const std::vector<KV_Time_Preset>& presets);
};
