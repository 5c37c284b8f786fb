#pragma once
// A minimal controller side for client and stream tests: accepts connections
// on loopback, cuts what each connection sends into messages and sends framed
// messages back.

#include <QTcpServer>
#include <QTcpSocket>
#include <memory>
#include <string>
#include <vector>

#include "kv_cipher.h"
#include "kv_message_stream.h"

// A one-bit WRITE net variable to main/middle/sub.
inline KV_Addr_Tgm test_netvar(uint32_t main, uint32_t middle, uint32_t sub, uint8_t value)
{
    KV_Addr_Tgm tgm;
    tgm.command = KV_TGM_WRITE;
    tgm.dest_address[0] = main;
    tgm.dest_address[1] = middle;
    tgm.dest_address[2] = sub;
    tgm.data_type = 1;
    tgm.m_data_length = 1;
    tgm.value[0] = value;
    return tgm;
}

// The payload of a NETVAR message carrying tgm.
inline std::string netvar_payload(const KV_Addr_Tgm& tgm)
{
    return std::string(reinterpret_cast<const char*>(&tgm), kv_netvar_data_length(tgm));
}

struct Received_Message {
    uint32_t id = 0;
    std::string payload; // data_length bytes
    KV_Addr_Tgm tgm;     // for net variables
};

class Test_Controller : public QObject {
public:
    Test_Controller()
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                auto stream = std::make_shared<KV_Message_Stream>();
                stream->set_message_handler([this](CKV_Network_Msg* header, uint8_t* payload) {
                    Received_Message m;
                    m.id = header->id;
                    if (payload)
                        m.payload.assign(reinterpret_cast<char*>(payload), header->data_length);
                    received.push_back(m);
                });
                stream->set_netvar_handler([this](const KV_Addr_Tgm& tgm) {
                    Received_Message m;
                    m.id = kv_msg::NETVAR;
                    m.tgm = tgm;
                    received.push_back(m);
                });
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket, stream] {
                    const QByteArray bytes = socket->readAll();
                    stream->feed(reinterpret_cast<const uint8_t*>(bytes.constData()), bytes.size());
                });
                QObject::connect(socket, &QTcpSocket::disconnected, this, [this] { ++disconnections; });
                connections.push_back(socket);
            }
        });
    }

    quint16 port() const { return m_server.serverPort(); }
    QTcpSocket* last() const { return connections.empty() ? nullptr : connections.back(); }

    void send(uint32_t id, const std::string& payload = {})
    {
        std::vector<uint8_t> frame;
        kv_frame_message(m_encipher, id, payload.data(), static_cast<uint32_t>(payload.size()), frame);
        send_raw(frame);
    }
    void send_netvar(const KV_Addr_Tgm& tgm)
    {
        send(kv_msg::NETVAR, netvar_payload(tgm));
    }
    void send_raw(const std::vector<uint8_t>& bytes)
    {
        last()->write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
        last()->flush();
    }

    std::vector<QTcpSocket*> connections;
    std::vector<Received_Message> received;
    int disconnections = 0;

private:
    QTcpServer m_server;
    KV_Cipher m_encipher{KV_Cipher::Direction::Encipher};
};
