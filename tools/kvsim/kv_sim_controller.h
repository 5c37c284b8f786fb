#pragma once
// The simulated controller: accepts app connections, checks the login,
// serves the boot project, keeps the value of every group address of its
// project, echoes writes to every client like the bus does, stores clock and
// scene settings, answers searches, and injects faults on request.

#include <QDeadlineTimer>
#include <QObject>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTime>
#include <QTimer>
#include <QUdpSocket>
#include <memory>
#include <string>
#include <vector>

#include "kv_cipher.h"
#include "kv_message_stream.h"
#include "kv_project_db.h"
#include "kv_sim_options.h"

class QTcpSocket;
class CKV_Sim_Controller;

// One connected app.
class CKV_Sim_Session : public QObject {
public:
    CKV_Sim_Session(QTcpSocket* socket, const unsigned char* send_key, CKV_Sim_Controller& controller);

    void send(uint32_t id, const void* payload = nullptr, uint32_t length = 0);
    void send_text(uint32_t id, const std::string& text);
    void send_netvar(const KV_Addr_Tgm& tgm);
    void send_raw(const QByteArray& bytes);

    QTcpSocket* socket() const { return m_socket; }
    const QString& peer() const { return m_peer; }
    bool m_logged_in = false;

private:
    QTcpSocket* m_socket;
    QString m_peer;
    KV_Cipher m_encipher;
    KV_Message_Stream m_stream;
    std::vector<uint8_t> m_frame;
};

class CKV_Sim_Controller : public QObject {
public:
    // project_path is the simulator's own copy: stored settings go into it.
    CKV_Sim_Controller(const KV_Sim_Options& options, const std::string& project_path);

    // Opens the project, listens and prints "listening on <port>".
    bool start();

    void on_message(CKV_Sim_Session& session, const CKV_Network_Msg& header, const uint8_t* payload);
    void on_netvar(CKV_Sim_Session& session, const KV_Addr_Tgm& tgm);
    // Commands on standard input, one a line: "send <id>" sends a bare
    // message, "clock [name]" and "scene [name]" send the clock (180) or
    // scene (192) settings text, renaming the first clock or scene first
    // when a name is given, "weather" refreshes the weather blocks; all to
    // every logged-in app. The fault commands of run_fault_command come on
    // top.
    void run_command(const QString& line);

private:
    // Faults injected while running (kv_sim_faults.cpp), for soak runs:
    // "drop", "garbage N", "flood N" act at once on every app;
    // "wrong-key on|off", "refuse on|off" hold for the connections that
    // follow (the open ones are dropped); "corrupt on|off" serves broken
    // project files and asks the apps to fetch the project again;
    // "pause MS" leaves everything unanswered for that long; "change N"
    // writes new values to N random addresses; "dump" prints every value.
    // False for a verb that is none of these.
    bool run_fault_command(const QString& verb, const QString& rest);
    bool paused() const { return !m_pause.hasExpired(); }
    void drop_sessions();
    void change_values(int count);
    // The addresses that the project's controls pair with an address as
    // switching address "X" and its feedback "X RM", either way round.
    std::vector<KV_Group_Address> feedback_partners(const KV_Group_Address& address) const;
    void dump_values();
    // After a login: every value, then 35 (all sent).
    void send_all_values(CKV_Sim_Session& session);

    void accept_connections();
    void answer_searches();
    void on_login(CKV_Sim_Session& session, const std::string& text);
    void send_project(CKV_Sim_Session& session, const std::string& name);
    void store_settings(KV_Data& record, const char* what, const std::string& text);
    void run_scene(const std::string& guid);
    // 602: the block's settings changed in the app; kept in the project and
    // passed on to the other apps.
    void store_block(CKV_Sim_Session& from, const std::string& text);
    // "weather": the online weather blocks fetch (the hour's data moves on)
    // and go to every app as 602.
    void refresh_weather();
    // A write to the start input of a colour sequence block shows the
    // sequence's first step on the block's colour outputs.
    void start_sequences(const KV_Group_Address& dest, double value);
    // 203 with a fresh picture for a camera of the project.
    void send_camera_picture(CKV_Sim_Session& session, const std::string& guid);
    // 203 with stored snapshot n of a snapshot block of the project ("GUID;n").
    void send_snapshot(CKV_Sim_Session& session, const std::string& text);
    // 203: "GUID;" and the simulator's picture for that time of day.
    void send_picture(CKV_Sim_Session& session, const std::string& guid, const QTime& time);
    std::vector<KV_Addr_Db*> all_addresses() const;
    // A write of the address's value on the bus: its listeners take it too.
    KV_Addr_Tgm bus_write(const KV_Addr_Db& record);
    void write_to_bus(KV_Addr_Db& record);
    void send_to_all(const KV_Addr_Tgm& tgm);
    void flood(CKV_Sim_Session& session);
    void live_step();
    KV_Addr_Tgm telegram_of(const KV_Addr_Db& record, uint32_t command) const;
    void forget(CKV_Sim_Session* session);
    void read_commands();
    void send_settings(uint32_t id, KV_Data& record, std::string* first_name, const QString& name);

    KV_Sim_Options m_options;
    std::string m_project_path;
    std::string m_password_md5;
    CKV_Project_Db m_db;
    QTcpServer m_server;
    QUdpSocket m_search_socket;
    std::vector<CKV_Sim_Session*> m_sessions;

    struct Drifting {
        KV_Addr_Db* record;
        double base;
    };
    std::vector<Drifting> m_drifting;
    // Logged addresses follow the demo's model of the house; base holds the value last sent.
    std::vector<Drifting> m_modelled;
    QTimer m_live_timer;
    int m_live_step = 0;
    QDeadlineTimer m_pause{0};
    QSocketNotifier* m_commands = nullptr;
    QByteArray m_command_bytes;
};
