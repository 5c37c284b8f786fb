#include "kv_project_installer.h"

#include <QFile>
#include <QThread>
#include <QTimer>
#include <cstring>
#include <mutex>

#include "kv_network_msg.h"
#include "kv_project_db.h"
#include "kv_safe_file.h"
#include "kv_trace.h"

struct KV_Project_Installer::Job {
    File file;
    std::string path;
    KV_Routes routes;
    std::unique_ptr<CKV_Project_Db> staging = std::make_unique<CKV_Project_Db>();
    KV_Download_Outcome outcome;
};

void KV_Project_Installer::retire(std::unique_ptr<CKV_Project_Db> old, const std::string& previous_file)
{
    join(m_retire);
    // Frees the whole old project away from the GUI thread, then forgets the
    // previous file, which is not needed once the new project is in use.
    m_retire = QThread::create([old = std::shared_ptr<CKV_Project_Db>(std::move(old)), previous_file] {
        old->close_project();
        QFile::remove(QString::fromStdString(previous_file));
        kv_sync_folder_of(previous_file);
    });
    m_retire->start();
}

void KV_Project_Installer::join(QThread*& thread)
{
    if (!thread)
        return;
    thread->wait();
    delete thread;
    thread = nullptr;
}

KV_Project_Installer::KV_Project_Installer(CKV_Project_Db& project, QObject* parent)
    : QObject(parent)
    , m_project(project)
{
}

KV_Project_Installer::~KV_Project_Installer()
{
    // A finished install is on disk; its swap is not needed any more.
    join(m_worker);
    join(m_retire);
}

KV_Project_Installer::State KV_Project_Installer::state() const
{
    if (m_worker)
        return State::Installing;
    return m_awaiting ? State::Awaiting : State::Idle;
}

void KV_Project_Installer::await_project()
{
    m_awaiting = true;
    m_announced_size = 0;
}

void KV_Project_Installer::stop_waiting()
{
    if (m_awaiting && !m_worker)
        emit progress(-1);
    m_awaiting = false;
}

void KV_Project_Installer::on_file_announced(const std::string& text)
{
    const size_t separator = text.rfind(';');
    if (separator == std::string::npos || text.compare(0, separator, KV_BOOT_PROJECT_FILE) != 0)
        return;
    m_announced_size = std::atoll(text.c_str() + separator + 1);
    if (m_awaiting && !m_worker)
        emit progress(0);
}

void KV_Project_Installer::on_bytes_received(qint64 bytes)
{
    if (m_awaiting && !m_worker && m_announced_size > 0)
        emit progress(int(std::min<qint64>(90, bytes * 90 / m_announced_size)));
}

bool KV_Project_Installer::take_file(const unsigned char* data, uint32_t length, std::vector<unsigned char> buffer)
{
    if (!data || length < KV_FILE_NAME_FIELD + 1) {
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_ZRQ, "PROJECT FILE TOO SHORT: %u bytes\n", length);
        return false;
    }
    const std::string name(reinterpret_cast<const char*>(data), strnlen(reinterpret_cast<const char*>(data),
                                                                          KV_FILE_NAME_FIELD));
    if (!m_awaiting) {
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_ZRQ, "PROJECT FILE NOT REQUESTED, IGNORED: %s\n", name.c_str());
        return false;
    }
    if (name != KV_BOOT_PROJECT_FILE) {
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_ZRQ, "PROJECT FILE WITH A FOREIGN NAME IGNORED: %s\n", name.c_str());
        return false;
    }
    m_awaiting = false;
    if (buffer.data() != data || buffer.size() < length)
        buffer.assign(data, data + length);
    File file{std::move(buffer), length};
    if (m_worker) {
        m_queued = std::move(file); // the newest one wins
        return true;
    }
    start(std::move(file));
    return true;
}

void KV_Project_Installer::start(File file)
{
    auto job = std::make_shared<Job>();
    job->file = std::move(file);
    job->path = m_path;
    job->routes = m_project.m_routes;
    // The open file is about to be renamed to the previous one: no write may
    // reach it meanwhile (it would land in the wrong file's journal).
    m_project.set_read_only(true);
    emit progress(95);

    // The buffer stays until finish(): the receive handler that handed it
    // over may still be reading it.
    m_worker = QThread::create([job] {
        job->outcome = kv_install_download(*job->staging, job->path,
                                           reinterpret_cast<const char*>(job->file.payload.data()) + KV_FILE_NAME_FIELD,
                                           job->file.length - KV_FILE_NAME_FIELD, job->routes);
    });
    connect(m_worker, &QThread::finished, this, [this, job] { finish(job); });
    m_worker->start();
}

void KV_Project_Installer::finish(const std::shared_ptr<Job>& job)
{
    join(m_worker);
    job->file = {}; // not two copies of the project in memory
    if (job->outcome.kind == KV_Download_Outcome::Installed) {
        std::lock_guard lock(kv_project_lock());
        emit replacing();
        // Targets edited while the file was installed win over the copy
        // taken at the start.
        KV_Routes now = m_project.m_routes;
        const bool edited = now.encode() != job->routes.encode();
        job->staging->m_addr.take_values_from(m_project.m_addr);
        m_project.swap(*job->staging);
        if (edited) {
            m_project.m_routes = now;
            m_project.save_routes();
        }
        retire(std::move(job->staging), kv_previous_project_path(job->path));
    } else {
        m_project.set_read_only(false);
    }
    emit progress(-1);
    if (job->outcome.kind == KV_Download_Outcome::Installed)
        // In a turn of its own: the swap's turn is long enough.
        QTimer::singleShot(0, this, &KV_Project_Installer::installed);
    else
        emit failed(job->outcome.kind, QString::fromStdString(job->outcome.reason));
    if (!m_queued.payload.empty())
        start(std::exchange(m_queued, File()));
}
