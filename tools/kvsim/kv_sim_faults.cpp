// Faults the simulator injects while it runs, on commands of its standard
// input, so that a soak run can hit one app with many of them in a row.
#include "kv_sim_controller.h"

#include <QRandomGenerator>
#include <QTcpSocket>
#include <algorithm>
#include <cstdio>

#include "kv_addr.h"
#include "kv_address.h"
#include "kv_control_catalog.h"
#include "kv_network_msg.h"

namespace {
// "on" or "off"; anything else is refused.
bool switch_value(const QString& text, bool& value)
{
    if (text != "on" && text != "off")
        return false;
    value = text == "on";
    return true;
}

void say(const QString& text)
{
    printf("fault %s\n", qPrintable(text));
    fflush(stdout);
}
} // namespace

bool CKV_Sim_Controller::run_fault_command(const QString& verb, const QString& rest)
{
    bool ok = true;
    const int number = rest.toInt(&ok);
    if (verb == "drop") {
        drop_sessions();
    } else if (verb == "garbage" && ok && number > 0) {
        QByteArray garbage(number, Qt::Uninitialized);
        for (char& byte : garbage)
            byte = static_cast<char>(QRandomGenerator::global()->bounded(256));
        for (CKV_Sim_Session* session : m_sessions)
            session->send_raw(garbage);
    } else if (verb == "flood" && ok && number > 0) {
        m_options.flood_count = number;
        for (CKV_Sim_Session* session : m_sessions)
            if (session->m_logged_in)
                flood(*session);
        m_options.flood_count = 0;
    } else if (verb == "wrong-key" && switch_value(rest, m_options.wrong_key)) {
        drop_sessions();
    } else if (verb == "refuse" && switch_value(rest, m_options.refuse_login)) {
        drop_sessions();
    } else if (verb == "corrupt" && switch_value(rest, m_options.corrupt_project)) {
        if (m_options.corrupt_project)
            for (CKV_Sim_Session* session : m_sessions)
                if (session->m_logged_in)
                    session->send(kv_msg::PROJECT_RELOAD);
    } else if (verb == "pause" && ok && number > 0) {
        m_pause.setRemainingTime(number);
    } else if (verb == "change" && ok && number > 0) {
        change_values(number);
    } else if (verb == "dump") {
        dump_values();
        return true;
    } else {
        return false;
    }
    say(verb + (rest.isEmpty() ? QString() : ' ' + rest));
    return true;
}

void CKV_Sim_Controller::drop_sessions()
{
    // Aborting emits disconnected, which forgets the session: walk a copy.
    const std::vector<CKV_Sim_Session*> sessions = m_sessions;
    for (CKV_Sim_Session* session : sessions)
        session->socket()->abort();
}

void CKV_Sim_Controller::change_values(int count)
{
    std::vector<KV_Addr_Db*> numbers;
    for (KV_Addr_Db* address : all_addresses())
        if (address->m_data_typ >= 1 && address->m_data_typ <= 14 && address->m_data_typ != 3 &&
            address->m_data_typ != 4) // one number each; time and date have their own ranges
            numbers.push_back(address);
    if (numbers.empty())
        return;
    for (int i = 0; i < count; ++i) {
        KV_Addr_Db& record = *numbers[QRandomGenerator::global()->bounded(static_cast<quint32>(numbers.size()))];
        const double value = value_as_double(record);
        // A step that every number type can hold: a switch flips, a level moves.
        set_value_from_double(record, value >= 1.0 ? value - 1.0 : value + 1.0);
        write_to_bus(record);
        // The actuator reports its new state on its feedback addresses (or a
        // changed feedback stands for a switched actuator).
        for (const KV_Group_Address& feedback : feedback_partners(record.m_addr_write))
            if (KV_Addr_Db* reported = m_db.m_addr.find_address(feedback)) {
                set_value_from_double(*reported, value_as_double(record));
                write_to_bus(*reported);
            }
    }
}

std::vector<KV_Group_Address> CKV_Sim_Controller::feedback_partners(const KV_Group_Address& address) const
{
    // The project's controls pair a slot "X" with its feedback slot "X RM".
    std::vector<KV_Group_Address> feedback;
    for (const auto& page : m_db.m_gui_pages)
        for (const auto& control : page->m_controls) {
            const KV_Control_Schema* schema = kv_control_schema_for_type(control->m_typ);
            const auto& addresses = control->m_list_addr;
            for (size_t slot = 0; schema && slot < addresses.size() && slot < schema->addr_slots.size(); ++slot) {
                if (!(addresses[slot] == address))
                    continue;
                for (size_t other = 0; other < addresses.size() && other < schema->addr_slots.size(); ++other)
                    if ((schema->addr_slots[other] == schema->addr_slots[slot] + " RM" ||
                         schema->addr_slots[slot] == schema->addr_slots[other] + " RM") &&
                        !addresses[other].is_null() &&
                        std::find(feedback.begin(), feedback.end(), addresses[other]) == feedback.end())
                        feedback.push_back(addresses[other]);
            }
        }
    return feedback;
}

void CKV_Sim_Controller::dump_values()
{
    for (const KV_Addr_Db* address : all_addresses())
        printf("value %s %.10g\n", address_to_text(address->m_addr_write).c_str(), value_as_double(*address));
    printf("dump end\n");
    fflush(stdout);
}

void CKV_Sim_Controller::send_all_values(CKV_Sim_Session& session)
{
    // As writes on the bus, so that listen addresses end as they end in the app.
    for (const KV_Addr_Db* address : all_addresses())
        session.send_netvar(bus_write(*address));
    session.send(kv_msg::ALL_SENT);
}
