#pragma once
// Broken boot project files and misdirected file messages, as a faulty
// controller or a damaged flash would serve them.

#include <QByteArray>
#include <QString>

enum class KV_Sim_Project_Fault {
    None,
    Truncated,   // the file cut after 60 % of its bytes
    Zeroed,      // pages in the middle of the file overwritten with zeros
    Foreign,     // a valid SQLite file of another program
    Not_Sqlite,  // bytes that are no database at all
    Unsolicited, // the file sent at once after connecting, before any login or request
    Wrong_Name,  // the answer to 305 names another file
};

// "truncated", "zeroed", "foreign", "not-sqlite", "unsolicited", "wrong-name".
bool kv_sim_parse_project_fault(const QString& text, KV_Sim_Project_Fault& fault);

// The content as served under fault; faults of the message leave it as it is.
QByteArray kv_sim_damaged_project(const QByteArray& content, KV_Sim_Project_Fault fault);
