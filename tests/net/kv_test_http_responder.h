#pragma once
// A plain-HTTP responder on 127.0.0.1 for the salt request: answers every
// request with one fixed status and body, or stays silent to provoke the
// client's time-out. Records the request paths it saw.

#include <QByteArray>
#include <QHostAddress>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>

class KV_Test_Http_Responder {
public:
    // status 0: accept the connection but never answer.
    KV_Test_Http_Responder(int status, QByteArray body)
        : m_status(status)
        , m_body(std::move(body))
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] { accept(); });
    }

    quint16 port() const { return m_server.serverPort(); }
    const QStringList& paths() const { return m_paths; }

private:
    void accept()
    {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { answer(socket); });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    }

    void answer(QTcpSocket* socket)
    {
        QByteArray& request = m_pending[socket];
        request += socket->readAll();
        if (!request.contains("\r\n\r\n"))
            return;
        m_paths << QString::fromLatin1(request.split(' ').value(1));
        m_pending.remove(socket);
        if (m_status == 0)
            return;
        socket->write("HTTP/1.1 " + QByteArray::number(m_status) + " X\r\nContent-Length: " +
                      QByteArray::number(m_body.size()) + "\r\nConnection: close\r\n\r\n" + m_body);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    int m_status;
    QByteArray m_body;
    QStringList m_paths;
    QHash<QTcpSocket*, QByteArray> m_pending;
};
