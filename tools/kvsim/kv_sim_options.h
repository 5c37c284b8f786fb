#pragma once
// Command line of the controller simulator.

#include <QHostAddress>
#include <QString>

#include "kv_sim_project_faults.h"

class QCoreApplication;

struct KV_Sim_Options {
    QHostAddress listen_address{QHostAddress::LocalHost};
    quint16 port = 10001; // 0 picks a free port
    bool discovery = true;
    quint16 discovery_port = 10011;
    QString project_file; // empty: the demo project
    QString user = "root";
    QString password = "werk-zugang";
    QString ip_text = "127.0.0.1"; // what the controller reports as its address
    QString mac = "02:4b:56:00:00:01";
    int live_interval_ms = 0; // 0: values change only when written

    // Faults.
    bool refuse_login = false;
    int drop_after_s = 0;
    int garbage_bytes = 0;
    bool wrong_key = false;
    int flood_count = 0;
    bool corrupt_project = false; // serve bytes that are no project file
    KV_Sim_Project_Fault project_fault = KV_Sim_Project_Fault::None;
    bool large_project = false;   // serve the large benchmark project
    bool no_project = false;      // never answer 305 or 25
    bool full_log = false;        // log received texts whole
};

// Parses the arguments of app; exits with a message on bad input.
KV_Sim_Options kv_sim_parse_options(const QCoreApplication& app);
