#pragma once
// Name and version of the app as the user and the version check see them.

#include "kv_settings_organisation.h"

constexpr const char* KV_APP_NAME = "kirovantor3";
// Shown in the window title.
constexpr const char* KV_APP_VERSION = "3.01";
// Compared with the maker's version file.
constexpr const char* KV_APP_VERSION_FULL = "3.01111";
// Organisation under which the app window keeps its geometry and state.
constexpr const char* KV_SETTINGS_ORGANISATION_APP = "kirovantor3-APP";
