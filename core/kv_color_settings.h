#pragma once
// The colour settings a colour logic block keeps in its parameters: the
// presets of an RGBW block and the sequences of an RGBW sequence block, as
// the controller reads them.
//
// Presets and sequences are lists (kv_list_text). A colour is its channel percentages, each followed by "/", then its name:
// "100/0/0/0/Rot". A sequence is a list of steps, each
// "%.0f/%.0f/%.0f/%.0f/%.0f/%.0f/%d": red, green, blue, white and orange in
// percent, the step time in seconds and 1 for a hard change (0 fades
// softly).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class KV_LOGIC_Control;

struct KV_Color {
    double red = 0.0; // percent, 0 to 100
    double green = 0.0;
    double blue = 0.0;
    double white = 0.0;
    bool operator==(const KV_Color&) const = default;
};

struct KV_Color_Preset {
    KV_Color color;
    std::string name;
    bool operator==(const KV_Color_Preset&) const = default;
};

std::string kv_color_text(const KV_Color_Preset& preset);
// None for a text without four channels.
std::optional<KV_Color_Preset> kv_color_from_text(std::string_view text);

struct KV_Sequence_Step {
    KV_Color color;
    double orange = 0.0;
    double seconds = 5.0;
    bool hard = false;
    bool operator==(const KV_Sequence_Step&) const = default;
};

std::string kv_sequence_step_text(const KV_Sequence_Step& step);
std::string kv_sequence_text(const std::vector<KV_Sequence_Step>& steps);
// Reads at most the counted steps that are there; bad numbers read 0.
std::vector<KV_Sequence_Step> kv_sequence_from_text(std::string_view text);

// The presets of an RGBW block, as a list in its parameter
// "Voreinstellungen".
class CTRL_Settings_RGBW {
public:
    static constexpr const char* PARAM = "Voreinstellungen";
    static constexpr size_t MAX_PRESETS = 32;

    // The block's presets; the default set when it has no such parameter
    // (an empty list stays empty).
    explicit CTRL_Settings_RGBW(const KV_LOGIC_Control& block);
    // Red, green, blue, their full mixes, the white channel and all off.
    static std::vector<KV_Color_Preset> default_presets();

    // Writes m_presets into the block's parameter.
    void write_to(KV_LOGIC_Control& block) const;

    std::vector<KV_Color_Preset> m_presets;
};

// The sequences of an RGBW sequence block, in its parameters "Sequenz 1",
// "Sequenz 2" and on; the "Sequ. Nummer" of a sequence is its position + 1.
class CTRL_Settings_RGBW_SEQU {
public:
    static constexpr const char* PARAM = "Sequenz %1";
    static constexpr size_t MAX_SEQUENCES = 8;
    static constexpr size_t MAX_STEPS = 32;

    // The block's sequences; one running through red, green and blue when
    // it has none stored.
    explicit CTRL_Settings_RGBW_SEQU(const KV_LOGIC_Control& block);
    static std::vector<KV_Sequence_Step> default_sequence();
    // The parameter of sequence `number` (from 1).
    static std::string param_name(size_t number);

    void write_to(KV_LOGIC_Control& block) const;

    std::vector<std::vector<KV_Sequence_Step>> m_sequences;
};
