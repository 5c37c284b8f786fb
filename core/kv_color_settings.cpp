#include "kv_color_settings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "kv_data.h"
#include "kv_logic.h"

namespace {
// A channel as stored: 0 to 100, never "-0".
double channel(double value)
{
    return std::isfinite(value) ? std::clamp(value, 0.0, 100.0) + 0.0 : 0.0;
}

double seconds(double value)
{
    return std::isfinite(value) ? std::clamp(value, 0.0, 86400.0) + 0.0 : 0.0;
}


std::string numbered(const char* pattern, size_t number)
{
    std::string name(pattern);
    name.replace(name.find("%1"), 2, std::to_string(number));
    return name;
}

// The values of parameters "<pattern 1>", "<pattern 2>" ... up to the first missing one.
std::vector<std::string_view> numbered_params(const KV_LOGIC_Control& block, const char* pattern, size_t max)
{
    std::vector<std::string_view> values;
    for (size_t n = 1; n <= max; ++n) {
        const std::string* value = block.param(numbered(pattern, n));
        if (!value)
            break;
        values.push_back(*value);
    }
    return values;
}

// Drops every "<pattern n>" parameter and appends `values` as 1, 2, ...
void write_numbered(KV_LOGIC_Control& block, const char* pattern, const std::vector<std::string>& values)
{
    const std::string prefix = std::string(pattern).substr(0, std::string(pattern).find("%1"));
    std::erase_if(block.m_list_param, [&](const KV_LOGIC_Param& p) {
        return p.m_str_name.size() > prefix.size() && p.m_str_name.starts_with(prefix) &&
               std::all_of(p.m_str_name.begin() + long(prefix.size()), p.m_str_name.end(),
                           [](char c) { return c >= '0' && c <= '9'; });
    });
    for (size_t i = 0; i < values.size(); ++i)
        if (!block.set_param(numbered(pattern, i + 1), values[i]))
            break;
}
} // namespace

std::string kv_color_text(const KV_Color_Preset& preset)
{
    char numbers[96];
    std::snprintf(numbers, sizeof numbers, "%.0f/%.0f/%.0f/%.0f/", channel(preset.color.red),
                  channel(preset.color.green), channel(preset.color.blue), channel(preset.color.white));
    return numbers + preset.name;
}

std::optional<KV_Color_Preset> kv_color_from_text(std::string_view text)
{
    KV_Color_Preset preset;
    double* channels[] = {&preset.color.red, &preset.color.green, &preset.color.blue, &preset.color.white};
    for (double* value : channels) {
        if (text.find('/') == std::string_view::npos)
            return std::nullopt;
        *value = channel(kv_atof(kv_next_field(text, '/')));
    }
    preset.name = std::string(text);
    return preset;
}

std::string kv_sequence_step_text(const KV_Sequence_Step& step)
{
    char text[128];
    std::snprintf(text, sizeof text, "%.0f/%.0f/%.0f/%.0f/%.0f/%.0f/%d", channel(step.color.red),
                  channel(step.color.green), channel(step.color.blue), channel(step.color.white),
                  channel(step.orange), seconds(step.seconds), step.hard ? 1 : 0);
    return text;
}

std::string kv_sequence_text(const std::vector<KV_Sequence_Step>& steps)
{
    std::vector<std::string> elements;
    for (const KV_Sequence_Step& step : steps)
        elements.push_back(kv_sequence_step_text(step));
    return kv_list_text(elements);
}

std::vector<KV_Sequence_Step> kv_sequence_from_text(std::string_view text)
{
    std::vector<KV_Sequence_Step> steps;
    for (std::string_view fields : kv_list_from_text(text, CTRL_Settings_RGBW_SEQU::MAX_STEPS)) {
        KV_Sequence_Step step;
        step.color.red = channel(kv_atof(kv_next_field(fields, '/')));
        step.color.green = channel(kv_atof(kv_next_field(fields, '/')));
        step.color.blue = channel(kv_atof(kv_next_field(fields, '/')));
        step.color.white = channel(kv_atof(kv_next_field(fields, '/')));
        step.orange = channel(kv_atof(kv_next_field(fields, '/')));
        step.seconds = seconds(kv_atof(kv_next_field(fields, '/')));
        step.hard = kv_atoi(kv_next_field(fields, '/')) != 0;
        steps.push_back(step);
    }
    return steps;
}

// ---------------------------------------------------------------- RGBW

CTRL_Settings_RGBW::CTRL_Settings_RGBW(const KV_LOGIC_Control& block)
{
    const std::string* list = block.param(PARAM);
    if (!list) {
        m_presets = default_presets();
        return;
    }
    for (std::string_view value : kv_list_from_text(*list, MAX_PRESETS))
        if (auto preset = kv_color_from_text(value))
            m_presets.push_back(*preset);
}

std::vector<KV_Color_Preset> CTRL_Settings_RGBW::default_presets()
{
    return {
        {{100, 0, 0, 0}, "Rot"},     {{0, 100, 0, 0}, "Grün"},    {{0, 0, 100, 0}, "Blau"},
        {{100, 100, 0, 0}, "Gelb"},  {{0, 100, 100, 0}, "Cyan"},  {{100, 0, 100, 0}, "Magenta"},
        {{100, 100, 100, 0}, "Weiß"}, {{0, 0, 0, 100}, "Weißkanal"}, {{0, 0, 0, 0}, "Aus"},
    };
}

void CTRL_Settings_RGBW::write_to(KV_LOGIC_Control& block) const
{
    std::vector<std::string> values;
    for (size_t i = 0; i < m_presets.size() && i < MAX_PRESETS; ++i)
        values.push_back(kv_color_text(m_presets[i]));
    block.set_param(PARAM, kv_list_text(values));
}

// ---------------------------------------------------------------- RGBW sequence

CTRL_Settings_RGBW_SEQU::CTRL_Settings_RGBW_SEQU(const KV_LOGIC_Control& block)
{
    for (std::string_view value : numbered_params(block, PARAM, MAX_SEQUENCES))
        m_sequences.push_back(kv_sequence_from_text(value));
    if (m_sequences.empty())
        m_sequences.push_back(default_sequence());
}

std::vector<KV_Sequence_Step> CTRL_Settings_RGBW_SEQU::default_sequence()
{
    return {{{100, 0, 0, 0}, 0, 5, false}, {{0, 100, 0, 0}, 0, 5, false}, {{0, 0, 100, 0}, 0, 5, false}};
}

std::string CTRL_Settings_RGBW_SEQU::param_name(size_t number)
{
    return numbered(PARAM, number);
}

void CTRL_Settings_RGBW_SEQU::write_to(KV_LOGIC_Control& block) const
{
    std::vector<std::string> values;
    for (size_t i = 0; i < m_sequences.size() && i < MAX_SEQUENCES; ++i)
        values.push_back(kv_sequence_text(m_sequences[i]));
    write_numbered(block, PARAM, values);
}
