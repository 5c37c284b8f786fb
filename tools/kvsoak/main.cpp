// kvsoak: hours of controller faults against the panel, in minutes. See
// kv_soak_run.h; "kvsoak --help" lists the options.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "kv_soak_app.h"
#include "kv_soak_run.h"

int main(int argc, char** argv)
{
    // The panel role, started by the run itself: --panel DIR --speed N.
    if (argc == 5 && QByteArray(argv[1]) == "--panel" && QByteArray(argv[3]) == "--speed")
        return kv_soak_run_app(argc, argv, QString::fromLocal8Bit(argv[2]), std::max(1, atoi(argv[4])));

    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Runs the panel offscreen against kvsim and injects random faults (drops, garbage, wrong key, floods, "
        "refused logins, corrupt downloads, pauses, values changed while away) with every interval shortened "
        "by the speed. Checks: no crash, recovery within the bound, the simulator's values shown after each "
        "recovery, memory flat after warm-up, local project intact.");
    parser.addHelpOption();
    parser.addOptions({
        {"minutes", "Real minutes to run (default 2).", "minutes", "2"},
        {"speed", "Panel seconds per real second (default 10).", "factor", "10"},
        {"seed", "Seed of the fault choice (default: from the clock).", "number", "0"},
        {"rss-bound-kb", "Allowed growth of resident memory after warm-up (default 8192).", "kB", "8192"},
        {"kvsim", "The simulator program.", "path", KVSIM_PATH},
        {{"v", "verbose"}, "Print every fault and recovery."},
    });
    parser.process(app);
    KV_Soak_Options options;
    options.minutes = parser.value("minutes").toDouble();
    options.speed = std::clamp(parser.value("speed").toInt(), 1, 100);
    options.seed = parser.value("seed").toUInt();
    options.rss_bound_kb = parser.value("rss-bound-kb").toInt();
    options.kvsim = parser.value("kvsim");
    options.verbose = parser.isSet("verbose");
    if (options.minutes <= 0) {
        fprintf(stderr, "kvsoak: --minutes must be more than 0\n");
        return 2;
    }
    return KV_Soak_Run(options).run();
}
