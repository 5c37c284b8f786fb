#include "kv_version_check.h"

#include "kv_trace.h"

#include <QRegularExpression>

double kv_version_number(const QString& text)
{
    static const QRegularExpression leading_number(QStringLiteral("^\\s*(\\d+(?:\\.\\d+)?)"));
    const QRegularExpressionMatch match = leading_number.match(text);
    return match.hasMatch() ? match.captured(1).toDouble() : 0.0;
}

bool kv_version_offers_update(const QByteArray& reply_body, const QString& own)
{
    if (reply_body.isEmpty())
        return false;
    const QString server = QString::fromUtf8(reply_body);
    const double server_version = kv_version_number(server);
    if (server_version == 0.0) {
        TRACE(kv_trace::LEVEL_MSG, kv_trace::AREA_ZRQ, "VERSION CHECK: NO VERSION IN REPLY\n");
        return false;
    }
    return server_version > kv_version_number(own);
}

QUrl kv_download_url(const QByteArray& reply_body, const QUrl& version_url)
{
    const QList<QByteArray> lines = reply_body.split('\n');
    if (lines.size() > 1) {
        const QUrl given(QString::fromUtf8(lines.at(1).trimmed()), QUrl::StrictMode);
        if (given.isValid() && (given.scheme() == QLatin1String("https") || given.scheme() == QLatin1String("http")))
            return given;
    }
    return version_url.resolved(QUrl(QStringLiteral(".")));
}

QString kv_update_question(const QString& own, const QString& server)
{
    return QStringLiteral("Update verfügbar Lokal: %1, Server: %2\nMöchten Sie die neue Version jetzt laden?").arg(own, server);
}
