#include "kv_sim_options.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

namespace {
[[noreturn]] void fail(const QString& text)
{
    fprintf(stderr, "kvsim: %s\n", qPrintable(text));
    exit(2);
}

int number(const QCommandLineParser& parser, const QString& name, int min, int max)
{
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (!ok || value < min || value > max)
        fail(QString("--%1 needs a number from %2 to %3").arg(name).arg(min).arg(max));
    return value;
}
} // namespace

KV_Sim_Options kv_sim_parse_options(const QCoreApplication& app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription("Controller simulator: plays the controller's side of the link.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({
        {"port", "TCP port (0: any free port).", "port", "10001"},
        {"listen", "Address to accept connections on.", "address", "127.0.0.1"},
        {"discovery-port", "UDP port of the search answers.", "port", "10011"},
        {"no-discovery", "Do not answer searches."},
        {"project", "Project file sent as the boot project (default: the demo).", "file"},
        {"user", "User name the login must carry.", "name", "root"},
        {"password", "Password whose MD5 digest the login must carry.", "password", "werk-zugang"},
        {"ip", "IP address reported in search answers.", "address", "127.0.0.1"},
        {"mac", "MAC address reported in search answers.", "mac", "02:4b:56:00:00:01"},
        {"live", "Let values change, one step every N ms: the logged values of the demo follow its model of the house, other temperatures drift.", "ms"},
        {"refuse-login", "Refuse every login."},
        {"drop-after", "Close each connection N seconds after accepting it.", "seconds"},
        {"garbage", "Send N random bytes to each new connection.", "bytes"},
        {"wrong-key", "Encipher everything sent with a foreign key."},
        {"flood", "Send N net variables as fast as possible after each login.", "count"},
        {"corrupt-project", "Serve a boot project file that is no project (as --project-fault not-sqlite)."},
        {"project-fault", "Serve the boot project broken: truncated, zeroed, foreign, not-sqlite, unsolicited "
                          "(sent before the login) or wrong-name (another file name).", "kind"},
        {"large-project", "Serve the large benchmark project instead of the demo."},
        {"no-project", "Never answer project requests (305, 25): the app waits for a project in vain."},
        {"full-log", "Log received texts whole instead of shortened."},
    });
    parser.process(app);

    KV_Sim_Options o;
    o.port = static_cast<quint16>(number(parser, "port", 0, 65535));
    if (!o.listen_address.setAddress(parser.value("listen")))
        fail("--listen needs an IP address");
    o.discovery = !parser.isSet("no-discovery");
    o.discovery_port = static_cast<quint16>(number(parser, "discovery-port", 0, 65535));
    o.project_file = parser.value("project");
    o.user = parser.value("user");
    o.password = parser.value("password");
    o.ip_text = parser.value("ip");
    o.mac = parser.value("mac");
    if (parser.isSet("live"))
        o.live_interval_ms = number(parser, "live", 10, 3600000);
    o.refuse_login = parser.isSet("refuse-login");
    if (parser.isSet("drop-after"))
        o.drop_after_s = number(parser, "drop-after", 1, 86400);
    if (parser.isSet("garbage"))
        o.garbage_bytes = number(parser, "garbage", 1, 1 << 20);
    o.wrong_key = parser.isSet("wrong-key");
    if (parser.isSet("flood"))
        o.flood_count = number(parser, "flood", 1, 100000000);
    o.corrupt_project = parser.isSet("corrupt-project");
    if (parser.isSet("project-fault") && !kv_sim_parse_project_fault(parser.value("project-fault"), o.project_fault))
        fail("--project-fault needs truncated, zeroed, foreign, not-sqlite, unsolicited or wrong-name");
    o.large_project = parser.isSet("large-project");
    o.no_project = parser.isSet("no-project");
    o.full_log = parser.isSet("full-log");
    return o;
}
