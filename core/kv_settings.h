#pragma once
// All interface settings records of a project.

#include "kv_settings_bus.h"
#include "kv_settings_clock.h"
#include "kv_settings_devices.h"
#include "kv_settings_scene.h"
#include "kv_users.h"
