#pragma once
// One running panel per working directory: two panels on one local project
// would replace each other's file and fight over the controller.

#include <QLockFile>
#include <QString>
#include <memory>

class KV_Instance_Lock {
public:
    static constexpr const char* FILE_NAME = "kv_app.lock";

    // Takes the lock in working_dir (a folder text ending in "/"). A lock
    // left by a panel that was killed counts as free.
    explicit KV_Instance_Lock(const QString& working_dir);

    bool is_locked() const { return m_locked; }
    // The text for a second start.
    QString refusal() const;

private:
    QString m_dir;
    std::unique_ptr<QLockFile> m_file;
    bool m_locked = false;
};
