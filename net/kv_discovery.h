#pragma once
// The search for controllers on the local network: a fixed request text sent
// by UDP broadcast; every controller answers with its system information,
// which becomes an entry with a ready-made direct route. The target dialog
// drives it and shows the entries.

#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QSet>
#include <QTimer>
#include <optional>
#include <vector>

#include "kv_metatypes.h"
#include "kv_routes.h"

class QUdpSocket;

// Login a controller has out of the box.
inline constexpr const char* KV_DEFAULT_USER = "root";
inline constexpr const char* KV_DEFAULT_PASSWORD = "werk-zugang";

inline constexpr char KV_SEARCH_REQUEST[] = "KIRO_VANTOR_BROADCAST_SEARCH";
constexpr quint16 KV_SEARCH_PORT = 10011;

// Longest answer taken: a real system information record is a few hundred
// bytes, so anything far beyond it is no controller.
inline constexpr qsizetype KV_SEARCH_MAX_ANSWER = 2048;
// Most entries one search lists; later controllers are not offered.
inline constexpr size_t KV_SEARCH_MAX_ENTRIES = 256;
// Most datagrams read in one go, so that a flood of answers leaves the event
// loop turning; the rest waits for the next turn.
inline constexpr int KV_SEARCH_BATCH = 16;

// The route an answer from sender_ip stands for.
KV_Routes::_route kv_route_from_search_answer(const KV_SysInfo& answer, const QString& sender_ip);

// What one answer datagram offers. Answers with the same identity come from
// the same controller: its serial number and MAC address, or the entry name
// when it gives neither.
struct KV_Search_Answer {
    QString identity;
    QString name;
    KV_Routes::_route route;
};

// Nothing for our own request and for a text longer than any real answer.
std::optional<KV_Search_Answer> kv_parse_search_answer(const QByteArray& datagram, const QHostAddress& sender);

class CKV_Target_Search : public QObject {
    Q_OBJECT
public:
    static constexpr int TICK_MS = 400;

    struct Entry {
        QString name;
        KV_Routes::_route route;
    };

    // Binds the listening socket (shared with other listeners) for the
    // object's lifetime; listen_port 0 takes any free port.
    explicit CKV_Target_Search(QObject* parent = nullptr, quint16 listen_port = KV_SEARCH_PORT);

    // Where requests go; the broadcast address and port 10011 unless changed.
    void set_target(const QHostAddress& address, quint16 port);

    // Forgets the entries and starts sending a request every sixth tick.
    void start();
    void stop();
    bool is_running() const { return m_tick.isActive(); }

    const std::vector<Entry>& entries() const { return m_entries; }
    // 0 to 100 in steps of 20; a request leaves whenever it is 0.
    int progress() const { return m_progress; }
    quint16 listen_port() const;

signals:
    // Entries first to first + count - 1 are new; one signal per batch of
    // datagrams, so that the list is laid out once for all of them.
    void entries_added(int first, int count);
    void progress_changed(int progress);

public slots:
    void slot_readyRead_Udp();
    void slot_timeout();

private:
    QUdpSocket* m_socket;
    QTimer m_tick;
    QHostAddress m_target_address{QHostAddress::Broadcast};
    quint16 m_target_port = KV_SEARCH_PORT;
    int m_progress = 0;
    std::vector<Entry> m_entries;
    QSet<QString> m_known; // identities and names of the entries
};
