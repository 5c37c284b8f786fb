#pragma once
// Keeps a test's settings store in a fresh temporary directory, away from the
// user's home and from earlier runs.

#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

class KV_Test_Settings_Home
{
public:
    KV_Test_Settings_Home()
    {
        QStandardPaths::setTestModeEnabled(true);
        for (QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat}) {
            QSettings::setPath(format, QSettings::UserScope, m_dir.filePath(QStringLiteral("user")));
            QSettings::setPath(format, QSettings::SystemScope, m_dir.filePath(QStringLiteral("system")));
        }
    }

    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path(); }

    // Removes every key of one scope of the app.
    static void clear(const QString& organisation, const QString& scope)
    {
        QSettings store(organisation, scope);
        store.clear();
        store.sync();
    }

    // A fresh "Common" scope of the app that starts no version check, with
    // the working directory when one is given.
    static void reset_common(const QString& working_dir = {})
    {
        clear(QStringLiteral("kirovantor3"), QStringLiteral("Common"));
        QSettings common(QStringLiteral("kirovantor3"), QStringLiteral("Common"));
        common.setValue(QStringLiteral("m_check_version_"), 0);
        if (!working_dir.isEmpty())
            common.setValue(QStringLiteral("m_str_working_dir__"), working_dir);
    }

private:
    QTemporaryDir m_dir;
};
