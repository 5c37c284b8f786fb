#include "kv_command_line.h"

#include <cstring>

KV_App_Flags kv_scan_command_line(int argc, const char* const* argv)
{
    KV_App_Flags flags;
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (!argument)
            continue;
        const auto is = [argument](const char* name) { return std::strcmp(argument, name) == 0; };
        if (is("-app"))
            flags.app = true;
        else if (is("-tray"))
            flags.tray = true;
        else if (is("--kiosk"))
            flags.kiosk = true;
        else if (is("-h") || is("--help"))
            flags.help = true;
        else if (is("-v") || is("--version"))
            flags.version = true;
        else if (is("--screenshot") && i + 1 < argc && argv[i + 1])
            flags.screenshot = QString::fromLocal8Bit(argv[++i]);
    }
    return flags;
}

QString kv_usage_text()
{
    return QStringLiteral(
        "Usage: kirovantor3 [OPTION]...\n"
        "The operating panel of a home- and building-automation controller: finds the\n"
        "controllers on the network, logs in to one, keeps its project and shows its\n"
        "pages live.\n"
        "\n"
        "      --kiosk            start full screen, as a wall panel\n"
        "      --screenshot FILE  save a picture of the window to FILE once the first\n"
        "                         page shows (without a target: the start view), then\n"
        "                         quit; the exit status is 1 when no page came within a\n"
        "                         minute\n"
        "  -h, --help             show this help and exit\n"
        "  -v, --version          show the version and exit\n"
        "\n"
        "The options -app and -tray are accepted and change nothing.\n"
        "\n"
        "Files: the local project kv_app.kvp lives in the working directory. By default\n"
        "that is the folder \"project\" beside a program that is not installed and whose\n"
        "folder can be written (a build, a portable copy), else ~/.local/share/kirovantor3/.\n"
        "The settings view shows it and can choose another.\n"
        "Settings are kept in ~/.config/kirovantor3/.\n");
}
