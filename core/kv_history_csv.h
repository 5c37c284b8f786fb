#pragma once
// The history of a chart as CSV for a spreadsheet: one row per stored value
// (or per minute or hour where only those are left), all curves merged in
// time order, ";"-separated with decimal commas as German spreadsheets read
// them, local time.

#include <string>
#include <vector>

#include "kv_history.h"

struct KV_History_Csv_Curve {
    std::string name;
    std::string unit;
    double factor = 1.0;
    std::vector<KV_History_Bucket> rows; // in time order
};

inline constexpr const char* KV_HISTORY_CSV_HEADER = "Zeit;Kurve;Wert;Minimum;Maximum;Einheit";

std::string kv_history_csv(const std::vector<KV_History_Csv_Curve>& curves);
