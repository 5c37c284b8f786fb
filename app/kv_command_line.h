#pragma once
#include <QString>

// Flags of the command line. Whatever they say, the app role starts.
struct KV_App_Flags
{
    bool app = false;  // "-app"
    bool tray = false; // "-tray", read by nobody
    bool kiosk = false;   // "--kiosk"
    bool help = false;    // "-h", "--help": print the usage and end
    bool version = false; // "-v", "--version": print the version and end
    QString screenshot;   // "--screenshot FILE": picture of the settled window, then end
};

// Compares every argument from the second on, whole and case-sensitive, with
// "-app", "-tray" and the options of kv_usage_text(); anything else (a project
// path included) is ignored.
KV_App_Flags kv_scan_command_line(int argc, const char* const* argv);

// What "--help" prints.
QString kv_usage_text();
