#include "kv_history_csv.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <queue>
#include <tuple>

namespace {
std::string number(double v)
{
    char text[64];
    snprintf(text, sizeof text, "%.6g", v);
    std::string s(text);
    for (char& c : s)
        if (c == '.')
            c = ',';
    return s;
}

// Texts with the separator, quotes or line breaks are quoted.
std::string field(const std::string& text)
{
    if (text.find_first_of(";\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + '"';
}

std::string local_time(int64_t t_ms)
{
    const time_t seconds = static_cast<time_t>(t_ms / 1000);
    tm local {};
    localtime_r(&seconds, &local);
    char text[32];
    strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}
} // namespace

std::string kv_history_csv(const std::vector<KV_History_Csv_Curve>& curves)
{
    std::string out = KV_HISTORY_CSV_HEADER;
    out += "\r\n";
    // Merge the curves by time: (time, curve, row).
    using Head = std::tuple<int64_t, size_t, size_t>;
    std::priority_queue<Head, std::vector<Head>, std::greater<>> heads;
    for (size_t c = 0; c < curves.size(); ++c)
        if (!curves[c].rows.empty())
            heads.emplace(curves[c].rows[0].t_first, c, 0);
    while (!heads.empty()) {
        const auto [t, c, r] = heads.top();
        heads.pop();
        const KV_History_Csv_Curve& curve = curves[c];
        const KV_History_Bucket& row = curve.rows[r];
        // A negative factor turns minimum and maximum round.
        const auto [low, high] = std::minmax({row.vmin * curve.factor, row.vmax * curve.factor});
        out += local_time(t) + ';' + field(curve.name) + ';' + number(row.mean() * curve.factor) + ';' + number(low) +
               ';' + number(high) + ';' + field(curve.unit) + "\r\n";
        if (r + 1 < curve.rows.size())
            heads.emplace(curve.rows[r + 1].t_first, c, r + 1);
    }
    return out;
}
