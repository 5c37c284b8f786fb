#include "kv_trace.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <sys/time.h>
#include <syslog.h>

namespace {
constexpr size_t kMessageBuffer = 4064;

// Set once the system log is open for this process.
std::atomic<unsigned char> g_syslog_open {0};

const char* const kCategoryNames[] = {
    nullptr,      "LOGIC",     "SERVER",    "UPD-INT",    "ZRQ",     "SEARCH",     "KNX",
    "WEBSVR",     nullptr,     nullptr,     nullptr,      "LOGGER",  nullptr,      "MODBUS_MA",
    "CLOCK",      "BROADCAST", "GATEWAY",   "SCENE",      "IP_CAM",  "MAIL",       "HOST",
    "HOST-SLAVE", "M-BUS",     "KNX-IP-GW", "DMX",        "MODBUS_SL", "RESERVE",  "EASY-IO",
    "ALEXA",      "SONOS",     "WATCHDOG",  "LOGGER_INF", "FIREBASE", "ANALYTICS_INF",
};

int build_line(char* out, size_t out_size, int level, int category, const char* fmt, va_list args)
{
    char message[kMessageBuffer];
    vsnprintf(message, sizeof message, fmt, args);

    timeval now {};
    gettimeofday(&now, nullptr);
    tm local {};
    localtime_r(&now.tv_sec, &local);
    char stamp[32];
    snprintf(stamp, sizeof stamp, "%02d:%02d:%02d:%03lu", local.tm_hour, local.tm_min, local.tm_sec,
             static_cast<unsigned long>(now.tv_usec / 1000));

    char tag[64];
    snprintf(tag, sizeof tag, "%s:%s", level == kv_trace::LEVEL_ERR ? "ERR" : "MSG",
             kv_trace::category_name(category));
    return snprintf(out, out_size, "%-15s\t%s\t%s", tag, stamp, message);
}
} // namespace

void kv_trace::reset()
{
    if (g_syslog_open.exchange(0) != 0)
        closelog();
}

const char* kv_trace::category_name(int category)
{
    constexpr int count = sizeof kCategoryNames / sizeof kCategoryNames[0];
    if (category < 0 || category >= count || !kCategoryNames[category])
        return "UNKNOWN";
    return kCategoryNames[category];
}

int kv_trace::format_line(char* out, unsigned long out_size, int level, int category, const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    const int n = build_line(out, out_size, level, category, fmt, args);
    va_end(args);
    return n;
}

void TRACE(int level, int category, const char* fmt, ...)
{
    char line[kMessageBuffer + 128];
    va_list args;
    va_start(args, fmt);
    build_line(line, sizeof line, level, category, fmt, args);
    va_end(args);
    // One write per line keeps lines whole when several threads trace.
    fputs(line, stdout);
    fflush(stdout);
    if (g_syslog_open.exchange(1) == 0)
        openlog(nullptr, LOG_PID, LOG_USER);
    syslog(level == kv_trace::LEVEL_ERR ? LOG_ERR : LOG_INFO, "%s", line);
}
