#pragma once
// The salt of an online account: the online server hands it out for the
// account's e-mail address, and the online password digest is made with it.
// The request runs on a worker thread so that the window stays responsive.

#include <QObject>
#include <QString>

class QThread;

class CKV_Salt_Client : public QObject {
    Q_OBJECT
public:
    // Result texts besides a salt.
    static inline const QString RESULT_NO_ACCOUNT = QStringLiteral("401");
    static inline const QString RESULT_ERROR = QStringLiteral("Err");

    struct Endpoint {
        QString base_url;        // scheme and host, no port, no trailing slash
        quint16 first_port = 8090;
        quint16 second_port = 8080;
        long timeout_ms = 1000;
    };
    // The online server's account service.
    static Endpoint default_endpoint();

    explicit CKV_Salt_Client(QObject* parent = nullptr);
    CKV_Salt_Client(const Endpoint& endpoint, QObject* parent = nullptr);
    ~CKV_Salt_Client() override;

    // Starts the request; false (and nothing happens) while one is running.
    bool request(const QString& mail);
    bool is_busy() const { return m_worker != nullptr; }

signals:
    // The salt, or RESULT_NO_ACCOUNT, or RESULT_ERROR.
    void salt_ready(const QString& result);

private:
    // Runs on the worker: port one, then port two, then the answer rule.
    static QString fetch_blocking(const Endpoint& endpoint, const QString& mail);

    Endpoint m_endpoint;
    QThread* m_worker = nullptr;
};
