#pragma once
// The demo house's data-logger groups, and a model of believable values for
// their addresses over the day and the year: the simulator plays it live and
// `kvtool history` writes weeks of it, so both tell the same story.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "kv_address.h"

class CKV_Project_Db;

void kv_demo_add_logger_groups(CKV_Project_Db& db);

// The addresses the model knows, and how often a real installation would
// send each (seconds).
struct KV_Demo_Logged {
    KV_Group_Address address;
    int period_s;
};
std::vector<KV_Demo_Logged> kv_demo_logged_addresses();

// The value of a modelled address at a time (ms since 1970, local time of
// day); the same time always gives the same value. Nothing for other addresses.
std::optional<double> kv_demo_logged_value(const KV_Group_Address& address, int64_t t_ms);

// Fills the history file at path with the model's values for the last
// `days` days up to now_ms, one value per address and period, with an
// outage of three hours two days back. False when the file cannot be written.
bool kv_demo_write_history(const std::string& path, int days, int64_t now_ms);
