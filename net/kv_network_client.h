#pragma once
// The one TCP connection to a controller: connects to the endpoint a route
// names, reconnects while a connection is wanted, supervises it for signs of
// life, frames what is sent and hands on what is received.

#include <QObject>
#include <QString>
#include <QTimer>
#include <string>
#include <vector>

#include "kv_addr_tgm.h"
#include "kv_address.h"
#include "kv_cipher.h"
#include "kv_message_stream.h"
#include "kv_metatypes.h"
#include "kv_network_msg.h"
#include "kv_routes.h"

class QTcpSocket;
class CKV_Project_Db;

constexpr quint16 KV_PORT_DIRECT = 10001;
constexpr quint16 KV_PORT_ONLINE = 10003;

// Host and port a route connects to (its online host already filled in).
struct KV_Endpoint {
    QString host;
    quint16 port = 0;
};
KV_Endpoint kv_route_endpoint(const KV_Routes::_route& route);

class CKV_Studio_Network_Client : public QObject {
    Q_OBJECT
public:
    static constexpr int SUPERVISION_MS = 10000;
    static constexpr int GRACE_MS = 1000;
    // A keep-alive unanswered this long means a link that fell silent (a
    // controller that hangs, a stream nothing can be read from): it is
    // dropped and connected again at once, instead of waiting for the
    // supervision. A quarter of the supervision period, which scales it.
    static constexpr int ANSWER_MS = SUPERVISION_MS / 4;
    // Longest time the receive loop lets other events run during a burst.
    static constexpr int PAUSE_MS = 100;
    // The receive loop reads, deciphers and hands on at most this many bytes
    // at a time, and lets other events run between such pieces.
    static constexpr qint64 READ_PIECE = 256 * 1024;

    // project supplies the group addresses for send_netvar; it may be null
    // when only ready-made net variables are sent.
    explicit CKV_Studio_Network_Client(CKV_Project_Db* project = nullptr, QObject* parent = nullptr);
    ~CKV_Studio_Network_Client() override;

    // The product intervals are fixed; tests shorten them.
    void set_intervals(int supervision_ms, int grace_ms);

    // Closes any connection and connects to the route's endpoint; from then
    // on the client reconnects on its own. Null does nothing (false).
    bool connect_route(const KV_Routes::_route* route);
    // Closes the connection and stops reconnecting.
    void disconnect_route();

    // Every send returns false, writing nothing, while not connected.
    bool send(uint32_t id);
    bool send_text(uint32_t id, const std::string& text);
    bool send_data(uint32_t id, uint32_t length, const void* bytes);
    // Sets the address's value in the project and sends it as a net variable;
    // nothing is sent for an address the project does not have.
    bool send_netvar(const KV_Group_Address& address, double value);
    bool send_netvar(const KV_Addr_Tgm& tgm);

    // Any sign of life also settles an unanswered keep-alive.
    void set_alive(bool alive);
    bool is_alive() const { return m_alive; }
    bool is_connected() const { return m_connected; }
    bool is_reconnect_wanted() const { return m_reconnect_wanted; }
    quint32 bytes_sent() const { return m_bytes_sent; }
    const KV_Routes::_route& route() const { return m_route; }
    QTcpSocket* socket() const { return m_socket; }
    // Inside a message handler: takes over the payload buffer, see
    // KV_Message_Stream::take_payload.
    std::vector<uint8_t> take_payload() { return m_stream.take_payload(); }

signals:
    // Valid only during the call (direct connections).
    void onDataReadClient(CKV_Network_Msg* header, uchar* data);
    void onDataReadClient(KV_Addr_Tgm tgm);
    void onConnectClient(bool fconnected, KV_Routes::_route route);
    // Bytes of a message still arriving (a big one, such as a project file).
    void receiving(qint64 bytes);

public slots:
    void slot_connected();
    void slot_disconnected();
    void slot_readyRead();
    void slot_timeout();
    void slot_timeout_fresh_connected();

private:
    void pause_for_events();
    void forget_answer();
    void no_answer();
    void read_pending();
    void reconnect_silent_link(const char* why);

    CKV_Project_Db* m_project;
    QTcpSocket* m_socket;
    QTimer m_supervision;
    QTimer m_grace_timer;
    QTimer m_answer_timer; // runs while a keep-alive is unanswered
    int m_supervision_ms = SUPERVISION_MS;

    KV_Cipher m_encipher{KV_Cipher::Direction::Encipher};
    KV_Message_Stream m_stream;
    std::vector<uint8_t> m_frame;

    KV_Routes::_route m_route;
    quint32 m_bytes_sent = 0;
    bool m_reconnect_wanted = false;
    bool m_connected = false;
    bool m_grace = false;
    bool m_alive = false;
    bool m_answer_owed = false; // a keep-alive sent, no sign of life since
    bool m_pausing = false;
};
