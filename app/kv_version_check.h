#pragma once
#include <QByteArray>
#include <QString>
#include <QUrl>

// The maker's version file (its address is the setting "m_str_version_url")
// starts with the version number; a second line may give the address of the
// installer.

// The leading number of a version text ("3.02\nnotes" gives 3.02); 0 when the
// text does not start with one.
double kv_version_number(const QString& text);

// Whether the body of the version file names a newer version than `own`.
// An empty body or one without a leading number never does.
bool kv_version_offers_update(const QByteArray& reply_body, const QString& own);

// Where the installer of a newer version is: the address on the version
// file's second line, else the folder of the version file.
QUrl kv_download_url(const QByteArray& reply_body, const QUrl& version_url);

// The question put to the user when a newer version exists.
QString kv_update_question(const QString& own, const QString& server);
