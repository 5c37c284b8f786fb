#pragma once
// Diagnostic trace for developers and service staff: one tagged, timed line
// per call on standard output and in the system log (syslog, which the
// journal and the desktop's log viewer show).

namespace kv_trace {
constexpr int LEVEL_ERR = 1;
constexpr int LEVEL_MSG = 0;
constexpr int AREA_SERVER = 2; // project store
constexpr int AREA_ZRQ = 4;    // controller link, formatting, images

// Closes the system log and clears the flag that says it is open: the next
// line opens it again under the name of the running program.
void reset();

// Name of a category number, "UNKNOWN" where the table has none.
const char* category_name(int category);

// The complete line (tag, tab, time, tab, message) as it is printed.
// Messages longer than 4063 characters are cut.
int format_line(char* out, unsigned long out_size, int level, int category, const char* fmt, ...)
    __attribute__((format(printf, 5, 6)));
} // namespace kv_trace

void TRACE(int level, int category, const char* fmt, ...) __attribute__((format(printf, 3, 4)));
