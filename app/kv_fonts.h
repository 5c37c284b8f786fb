#pragma once
#include <QString>

// The tiles and controls ask for the families "Graphik Regular" and
// "Graphik Medium"; the bundled Inter faces stand in for them.
constexpr const char* KV_FONT_REGULAR = "Graphik Regular";
constexpr const char* KV_FONT_MEDIUM = "Graphik Medium";

// Registers the bundled fonts from the resources and maps the two family
// names above onto them. A font that cannot be loaded is not reported: the
// toolkit's default family stays in use.
void kv_register_fonts();

// Turns hinting off for the application font, so text measures the same on
// every screen.
void kv_disable_font_hinting();
