#include "kv_instance_lock.h"

#include "kv_trace.h"

KV_Instance_Lock::KV_Instance_Lock(const QString& working_dir)
    : m_dir(working_dir)
    , m_file(std::make_unique<QLockFile>(working_dir + QLatin1String(FILE_NAME)))
{
    // Only a dead owner makes the lock stale, never its age: a panel runs for years.
    m_file->setStaleLockTime(0);
    m_locked = m_file->tryLock(0);
    if (!m_locked)
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_SERVER, "SECOND START REFUSED: %s\n", qPrintable(m_dir));
}

QString KV_Instance_Lock::refusal() const
{
    return QStringLiteral("kirovantor3 läuft bereits mit dem Arbeitsverzeichnis \"%1\".").arg(m_dir);
}
