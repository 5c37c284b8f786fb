#pragma once

// Flags of the command line. Whatever they say, the app role starts.
struct KV_App_Flags
{
    bool app = false;  // "-app"
    bool tray = false; // "-tray", read by nobody
};

// Compares every argument from the second on, whole and case-sensitive, with
// "-app" and "-tray"; anything else (a project path included) is ignored.
KV_App_Flags kv_scan_command_line(int argc, const char* const* argv);
