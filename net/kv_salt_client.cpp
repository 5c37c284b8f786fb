#include "kv_salt_client.h"

#include "kv_http_get.h"
#include "kv_routes.h"
#include "kv_trace.h"

#include <QThread>
#include <QUrl>

#include <memory>

namespace {
// The service puts a fixed nine-character prefix before the salt.
constexpr int SALT_PREFIX_LENGTH = 9;
constexpr int SALT_MAX_LENGTH = 32;

QString salt_from_body(const std::string& body)
{
    const QString text = QString::fromUtf8(body);
    if (text.size() <= SALT_PREFIX_LENGTH) {
        // Nothing left after the prefix: no salt to derive a digest from.
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_ZRQ, "salt: answer too short (%d characters)\n", int(text.size()));
        return CKV_Salt_Client::RESULT_ERROR;
    }
    return text.mid(SALT_PREFIX_LENGTH, SALT_MAX_LENGTH);
}
} // namespace

CKV_Salt_Client::Endpoint CKV_Salt_Client::default_endpoint()
{
    Endpoint endpoint;
    endpoint.base_url = QStringLiteral("https://") + QString::fromLatin1(KV_ONLINE_SERVER_HOST);
    return endpoint;
}

CKV_Salt_Client::CKV_Salt_Client(QObject* parent)
    : CKV_Salt_Client(default_endpoint(), parent)
{
}

CKV_Salt_Client::CKV_Salt_Client(const Endpoint& endpoint, QObject* parent)
    : QObject(parent)
    , m_endpoint(endpoint)
{
}

CKV_Salt_Client::~CKV_Salt_Client()
{
    // The worker holds no pointer to us, but its thread object must not die
    // while it runs; at most two time-outs.
    if (m_worker) {
        m_worker->wait();
        delete m_worker;
    }
}

bool CKV_Salt_Client::request(const QString& mail)
{
    if (m_worker) {
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_ZRQ, "salt: request refused, one is still running\n");
        return false;
    }
    auto result = std::make_shared<QString>();
    const Endpoint endpoint = m_endpoint;
    m_worker = QThread::create([result, endpoint, mail] { *result = fetch_blocking(endpoint, mail); });
    connect(m_worker, &QThread::finished, this, [this, result] {
        m_worker->deleteLater();
        m_worker = nullptr;
        emit salt_ready(*result);
    });
    m_worker->start();
    return true;
}

QString CKV_Salt_Client::fetch_blocking(const Endpoint& endpoint, const QString& mail)
{
    const std::string path = "/getSalt/" + QUrl::toPercentEncoding(mail, "@").toStdString();
    for (const quint16 port : {endpoint.first_port, endpoint.second_port}) {
        const std::string url = endpoint.base_url.toStdString() + ":" + std::to_string(port) + path;
        const CKV_Http_Get::Result answer = CKV_Http_Get::get(url, endpoint.timeout_ms);
        if (answer.status == 401)
            return RESULT_NO_ACCOUNT;
        if (answer.status == 200 || answer.status == 304)
            return salt_from_body(answer.body);
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_ZRQ, "salt: port %u answered %ld\n", unsigned(port), answer.status);
    }
    return RESULT_ERROR;
}
