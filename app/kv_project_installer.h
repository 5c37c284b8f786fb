#pragma once
// Takes the controller's project into the app: knows when a project is
// awaited, accepts only the boot project file then, and writes, checks and
// loads it on a worker thread while the window stays responsive. The swap
// into the window's project store happens on the GUI thread, in one step,
// once the new project is complete.

#include <QObject>
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "kv_local_project.h"

class CKV_Project_Db;
class QThread;

class KV_Project_Installer : public QObject {
    Q_OBJECT
public:
    enum class State { Idle, Awaiting, Installing };

    explicit KV_Project_Installer(CKV_Project_Db& project, QObject* parent = nullptr);
    ~KV_Project_Installer() override;

    void set_path(const std::string& path) { m_path = path; }
    State state() const;

    // A project was requested (305 or 25): the next boot project file is taken.
    void await_project();
    // The link is gone: a file still on its way will not come.
    void stop_waiting();
    // 28, "file name;size in bytes": the size the progress counts against.
    void on_file_announced(const std::string& text);
    // Bytes of the file message received so far.
    void on_bytes_received(qint64 bytes);
    // 26. False when it is not taken: not awaited, not the boot project file,
    // or too short; nothing changes then. `buffer` may hand over the buffer
    // data lies in (the link's payload), which saves copying a large file.
    bool take_file(const unsigned char* data, uint32_t length, std::vector<unsigned char> buffer = {});

signals:
    // 0-100 while the file arrives and is installed; -1 when done.
    void progress(int percent);
    // Just before the swap: nothing may keep pointers into the project after it.
    void replacing();
    // The new project is the window's project now.
    void installed();
    void failed(KV_Download_Outcome::Kind kind, const QString& reason);

private:
    struct Job;
    // The message payload: the file name field, then the file.
    struct File {
        std::vector<unsigned char> payload;
        uint32_t length = 0;
    };
    void start(File file);
    void finish(const std::shared_ptr<Job>& job);
    void retire(std::unique_ptr<CKV_Project_Db> old, const std::string& previous_file);
    static void join(QThread*& thread);

    CKV_Project_Db& m_project;
    std::string m_path;
    bool m_awaiting = false;
    qint64 m_announced_size = 0;
    QThread* m_worker = nullptr;
    QThread* m_retire = nullptr;
    // A second file that arrived while one was being installed.
    File m_queued;
};
