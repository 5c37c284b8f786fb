#pragma once
// Language files for the tests, written by the toolkit's own data stream so
// that the decoder is checked against the real encoding.

#include <QByteArray>
#include <QDataStream>
#include <QIODevice>
#include <QStringList>

inline QString lng_entry(const QString& source, const QString& translation)
{
    return source + QChar(0x0002) + translation;
}

inline QByteArray lng_bytes(const QStringList& strings)
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream << strings;
    return bytes;
}
