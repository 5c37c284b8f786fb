#include "kv_command_line.h"

#include <cstring>

KV_App_Flags kv_scan_command_line(int argc, const char* const* argv)
{
    KV_App_Flags flags;
    for (int i = 1; i < argc; ++i) {
        if (!argv[i])
            continue;
        if (std::strcmp(argv[i], "-app") == 0)
            flags.app = true;
        else if (std::strcmp(argv[i], "-tray") == 0)
            flags.tray = true;
    }
    return flags;
}
