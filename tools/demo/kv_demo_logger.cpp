#include "kv_demo_logger.h"

#include <cmath>
#include <ctime>

#include "kv_demo_ids.h"
#include "kv_history_store.h"
#include "kv_project_db.h"

namespace {

enum class Model { Room, Outside, Power, Light };

struct Modelled {
    const char* addr;
    Model model;
    double base;
    int period_s;
};

const Modelled MODELLED[] = {
    {"3/0/7", Model::Room, 21.2, 60},   {"3/1/4", Model::Room, 18.4, 60}, {"3/1/5", Model::Room, 20.6, 60},
    {"3/1/6", Model::Room, 22.8, 60},   {"4/0/1", Model::Outside, 6.8, 60}, {"5/0/3", Model::Power, 250, 10},
    {"1/0/1", Model::Light, 0, 60},
};

struct Curve_Def {
    const char* addr;
    const char* alias;
    double factor;
    const char* unit;
    int type;
};

struct Group_Def {
    const char* key;
    const char* name;
    std::vector<Curve_Def> curves;
};

// A repeatable number in [0, 1) for a key and a slot of time.
double hash01(uint64_t key, int64_t slot)
{
    uint64_t h = key * 0x9e3779b97f4a7c15ULL ^ static_cast<uint64_t>(slot) * 0xc2b2ae3d27d4eb4fULL;
    h ^= h >> 31;
    h *= 0xbf58476d1ce4e5b9ULL;
    h ^= h >> 29;
    return static_cast<double>(h >> 11) / 9007199254740992.0;
}

// Noise in [-1, 1] that changes smoothly over `period` ms.
double smooth_noise(uint64_t key, int64_t t, int64_t period)
{
    const int64_t slot = t / period;
    const double f = static_cast<double>(t % period) / static_cast<double>(period);
    const double s = f * f * (3 - 2 * f);
    return (hash01(key, slot) * (1 - s) + hash01(key, slot + 1) * s) * 2 - 1;
}

struct Clock_Time {
    double hour;    // local hour of the day, with fractions
    int64_t day;    // days since 1970
    double season;  // 1 in midsummer, -1 in midwinter
};

Clock_Time local_clock(int64_t t_ms)
{
    const time_t seconds = static_cast<time_t>(t_ms / 1000);
    tm local {};
    localtime_r(&seconds, &local);
    Clock_Time c;
    c.hour = local.tm_hour + local.tm_min / 60.0 + local.tm_sec / 3600.0;
    c.day = t_ms / KV_DAY_MS;
    c.season = std::cos(2 * M_PI * (local.tm_yday - 172) / 365.0);
    return c;
}

// 1 near the hour `peak` of the day, -1 twelve hours away.
double daily(double hour, double peak) { return std::cos(2 * M_PI * (hour - peak) / 24.0); }

// Between from and to (hours), shifted a little from day to day.
bool within(const Clock_Time& c, uint64_t key, double from, double to)
{
    const double shift = (hash01(key, c.day) - 0.5) * 0.8;
    return c.hour >= from + shift && c.hour < to + shift;
}

double model_value(const Modelled& m, int64_t t)
{
    const Clock_Time c = local_clock(t);
    const uint64_t key = std::hash<std::string>()(m.addr);
    switch (m.model) {
    case Model::Outside: {
        const double v = m.base + 8 * c.season + 4.5 * daily(c.hour, 15) + 1.5 * smooth_noise(key, t, 3 * KV_HOUR_MS) +
                         0.3 * smooth_noise(key + 1, t, 20 * KV_MINUTE_MS);
        return std::round(v * 10) / 10;
    }
    case Model::Room: {
        const double v = m.base + 0.7 * daily(c.hour, 18) + 0.25 * smooth_noise(key, t, 2 * KV_HOUR_MS) +
                         0.3 * c.season;
        return std::round(v * 10) / 10;
    }
    case Model::Power: {
        double w = m.base + 60 * smooth_noise(key, t, 5 * KV_MINUTE_MS);
        if (within(c, key, 6.5, 7.4))
            w += 1400; // kettle, coffee, shower pump
        if (within(c, key + 2, 11.6, 12.5))
            w += 2600; // cooking
        if (within(c, key + 3, 18.0, 19.1))
            w += 2100;
        // Now and then a washing machine or a dishwasher for a quarter hour.
        if (hash01(key + 4, t / (15 * KV_MINUTE_MS)) > 0.93)
            w += 1800 + 400 * smooth_noise(key + 5, t, KV_MINUTE_MS);
        return std::round(w);
    }
    case Model::Light:
        return within(c, key, 6.5, 7.3) || within(c, key + 1, 17.5, 23.1) ? 1.0 : 0.0;
    }
    return 0;
}

const Modelled* find_modelled(const KV_Group_Address& address)
{
    for (const Modelled& m : MODELLED)
        if (address_from_text(m.addr) == address)
            return &m;
    return nullptr;
}
} // namespace

void kv_demo_add_logger_groups(CKV_Project_Db& db)
{
    const Group_Def groups[] = {
        {"raumtemperaturen", "Raumtemperaturen",
         {{"3/0/7", "Wohnzimmer", 1.0, "°C", 5},
          {"3/1/4", "Schlafzimmer", 1.0, "°C", 5},
          {"3/1/5", "Kinderzimmer", 1.0, "°C", 5},
          {"3/1/6", "Bad", 1.0, "°C", 5}}},
        {"aussentemperatur", "Außentemperatur", {{"4/0/1", "Außen", 1.0, "°C", 5}}},
        // The meter reports watts; the chart shows kilowatts.
        {"leistung", "Leistung", {{"5/0/3", "Hausanschluss", 0.001, "kW", 9}}},
        {"licht_wohnen", "Licht Wohnzimmer", {{"1/0/1", "Deckenlicht", 1.0, "", 1}}},
    };
    for (const Group_Def& def : groups) {
        auto group = std::make_unique<KV_Settings_Logger_Group>();
        group->m_str_guid = kv_demo_guid(std::string("logger:") + def.key);
        group->m_str_name = def.name;
        for (const Curve_Def& c : def.curves)
            group->m_list_curve.push_back({address_from_text(c.addr), c.alias, c.factor, c.unit, c.type});
        db.m_logger_groups.push_back(std::move(group));
    }
}

std::vector<KV_Demo_Logged> kv_demo_logged_addresses()
{
    std::vector<KV_Demo_Logged> list;
    for (const Modelled& m : MODELLED)
        list.push_back({address_from_text(m.addr), m.period_s});
    return list;
}

std::optional<double> kv_demo_logged_value(const KV_Group_Address& address, int64_t t_ms)
{
    const Modelled* m = find_modelled(address);
    if (!m)
        return std::nullopt;
    return model_value(*m, t_ms);
}

bool kv_demo_write_history(const std::string& path, int days, int64_t now_ms)
{
    // Every level kept as long as the span, then thinned as the app would.
    KV_History_Limits limits;
    limits.minute_days = std::max(limits.minute_days, days + 1);
    CKV_History_Store store(limits);
    const int64_t start = now_ms - days * KV_DAY_MS;
    if (days <= 0 || !store.open(path, start))
        return false;
    store.set_connected(true, start);
    const int64_t outage = now_ms - 2 * KV_DAY_MS - 5 * KV_HOUR_MS;
    const std::vector<KV_Demo_Logged> logged = kv_demo_logged_addresses();
    bool down = false;
    for (int64_t t = start; t <= now_ms; t += 10'000) {
        const bool in_outage = days > 3 && t >= outage && t < outage + 3 * KV_HOUR_MS;
        if (in_outage != down) {
            store.set_connected(!in_outage, t);
            down = in_outage;
        }
        if (in_outage)
            continue;
        for (const KV_Demo_Logged& l : logged)
            if ((t - start) % (l.period_s * 1000LL) == 0)
                store.add(l.address, t, *kv_demo_logged_value(l.address, t));
        // Keeps the queue short on long spans.
        if ((t - start) % KV_DAY_MS == 0)
            store.flush();
    }
    store.thin(now_ms);
    store.flush();
    const bool ok = store.batches_written() > 0;
    store.close();
    return ok;
}
