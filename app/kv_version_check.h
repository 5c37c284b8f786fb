#pragma once
#include <QByteArray>
#include <QString>

// Where the maker publishes the current version (a text file starting with
// the version number) and the installer.
constexpr const char* KV_VERSION_URL = "https://download.example.com/kirovantor3/version.txt";
constexpr const char* KV_DOWNLOAD_URL = "https://download.example.com/kirovantor3/";

// The leading number of a version text ("3.02\nnotes" gives 3.02); 0 when the
// text does not start with one.
double kv_version_number(const QString& text);

// Whether the body of the version file names a newer version than `own`.
// An empty body or one without a leading number never does.
bool kv_version_offers_update(const QByteArray& reply_body, const QString& own);

// The question put to the user when a newer version exists.
QString kv_update_question(const QString& own, const QString& server);
