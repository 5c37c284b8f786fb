#include "kv_sim_project_faults.h"

#include <QFile>
#include <QTemporaryDir>
#include <sqlite3.h>

namespace {
QByteArray foreign_database()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("foreign.db");
    sqlite3* db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    sqlite3_exec(db, "CREATE TABLE notes(id INTEGER PRIMARY KEY, text TEXT);"
                     "INSERT INTO notes(text) VALUES('Einkaufsliste'),('Termine');",
                 nullptr, nullptr, nullptr);
    sqlite3_close(db);
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int page_size(const QByteArray& content)
{
    if (content.size() < 100)
        return 4096;
    const int size = (uchar(content[16]) << 8) | uchar(content[17]);
    return size == 1 ? 65536 : size;
}
} // namespace

bool kv_sim_parse_project_fault(const QString& text, KV_Sim_Project_Fault& fault)
{
    static const std::pair<const char*, KV_Sim_Project_Fault> names[] = {
        {"truncated", KV_Sim_Project_Fault::Truncated},     {"zeroed", KV_Sim_Project_Fault::Zeroed},
        {"foreign", KV_Sim_Project_Fault::Foreign},         {"not-sqlite", KV_Sim_Project_Fault::Not_Sqlite},
        {"unsolicited", KV_Sim_Project_Fault::Unsolicited}, {"wrong-name", KV_Sim_Project_Fault::Wrong_Name},
    };
    for (const auto& [name, value] : names)
        if (text == QLatin1String(name)) {
            fault = value;
            return true;
        }
    return false;
}

QByteArray kv_sim_damaged_project(const QByteArray& content, KV_Sim_Project_Fault fault)
{
    switch (fault) {
    case KV_Sim_Project_Fault::Truncated:
        return content.left(content.size() * 6 / 10);
    case KV_Sim_Project_Fault::Zeroed: {
        // Whole pages from 40 % to 60 %, the first page (the header) untouched.
        QByteArray damaged = content;
        const int page = page_size(content);
        const qsizetype from = std::max<qsizetype>(page, content.size() * 4 / 10 / page * page);
        const qsizetype to = std::max(from + page, content.size() * 6 / 10 / page * page);
        for (qsizetype i = from; i < std::min(to, damaged.size()); ++i)
            damaged[i] = 0;
        return damaged;
    }
    case KV_Sim_Project_Fault::Foreign:
        return foreign_database();
    case KV_Sim_Project_Fault::Not_Sqlite:
        return QByteArray(4096, 'x').prepend("no project file, ");
    default:
        return content;
    }
}
