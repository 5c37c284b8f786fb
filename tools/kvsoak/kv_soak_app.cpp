#include "kv_soak_app.h"

#include <QApplication>
#include <QSettings>
#include <cstdio>
#include <map>
#include <unistd.h>

#include "kv_addr.h"
#include "kv_address.h"
#include "kv_app_context.h"
#include "kv_fonts.h"
#include "kv_gui_container.h"
#include "kv_gui_control.h"
#include "kv_control_catalog.h"
#include "kv_gui_value_dispatch.h"
#include "kv_network_client.h"
#include "kv_studio_main_app.h"

KV_Soak_Probe::KV_Soak_Probe(CKV_Studio_Main_App& window, QObject* parent)
    : QObject(parent)
    , m_window(window)
    , m_commands(STDIN_FILENO, QSocketNotifier::Read)
{
    connect(&m_poll, &QTimer::timeout, this, &KV_Soak_Probe::poll);
    m_poll.start(5);
    connect(&m_commands, &QSocketNotifier::activated, this, &KV_Soak_Probe::read_commands);
}

void KV_Soak_Probe::poll()
{
    const int up = m_window.is_logged_in() && m_window.is_connected() && !m_window.dispatch().stale() ? 1 : 0;
    if (up == m_up)
        return;
    m_up = up;
    printf("state %s\n", up ? "up" : "down");
    fflush(stdout);
}

void KV_Soak_Probe::read_commands()
{
    char buffer[256];
    const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (got <= 0) {
        m_commands.setEnabled(false);
        m_window.close(); // the run is over
        return;
    }
    m_command_bytes.append(buffer, got);
    qsizetype end;
    while ((end = m_command_bytes.indexOf('\n')) >= 0) {
        const QByteArray line = m_command_bytes.left(end).trimmed();
        m_command_bytes.remove(0, end + 1);
        if (line == "dump")
            dump();
        else if (line == "quit")
            m_window.close();
    }
}

void KV_Soak_Probe::dump() const
{
    // What the controls show comes from the address tree: every address an
    // entry of a control names, once, and how many controls look stale.
    std::map<std::string, const KV_Addr_Db*> shown;
    int stale = 0;
    for (const CKV_Gui_Control_Container* canvas : m_window.canvases())
        for (const CKV_Gui_Control* control : canvas->controls()) {
            stale += control->is_stale() ? 1 : 0;
            // A control with a feedback address ("Schalten" and "Schalten RM")
            // shows the feedback and keeps it in the tree as the switching
            // address's value: the feedback is what it shows.
            const KV_Control_Schema* schema = kv_control_schema_for_type(control->type());
            const auto& addresses = control->record().m_list_addr;
            auto has_feedback = [&](size_t slot) {
                if (!schema || slot >= schema->addr_slots.size())
                    return false;
                for (size_t other = 0; other < schema->addr_slots.size() && other < addresses.size(); ++other)
                    if (schema->addr_slots[other] == schema->addr_slots[slot] + " RM" && !addresses[other].is_null())
                        return true;
                return false;
            };
            for (size_t i = 0; i < addresses.size(); ++i)
                if (const KV_Addr_Db* record = m_window.address_tree().find_address(addresses[i]); record && !has_feedback(i))
                    shown.emplace(address_to_text(addresses[i]), record);
        }
    for (const auto& [text, record] : shown)
        printf("value %s %.10g\n", text.c_str(), value_as_double(*record));
    printf("stale %d\ndump end\n", stale);
    fflush(stdout);
}

int kv_soak_run_app(int argc, char** argv, const QString& work_dir, int speed)
{
    QApplication application(argc, argv);
    kv_register_fonts();
    {
        // The run's own settings (XDG_CONFIG_HOME points into the run's folder).
        QSettings common(QStringLiteral("kirovantor3"), QStringLiteral("Common"));
        common.setValue(QStringLiteral("m_check_version_"), 0);
        common.setValue(QStringLiteral("m_str_working_dir__"), work_dir + QLatin1Char('/'));
    }
    kv_app().flags.app = true;
    auto* window = new CKV_Studio_Main_App;
    window->set_tick_intervals(1000 / speed, 10000 / speed);
    window->client().set_intervals(CKV_Studio_Network_Client::SUPERVISION_MS / speed,
                                   CKV_Studio_Network_Client::GRACE_MS / speed);
    window->show();
    KV_Soak_Probe probe(*window);
    const int code = application.exec();
    delete window;
    return code;
}
