#pragma once
// Organisation of the platform's settings store: every part of the app
// that keeps settings of this panel keeps them under it.

constexpr const char* KV_SETTINGS_ORGANISATION = "kirovantor3";
