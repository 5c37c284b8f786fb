#include "kv_window_grab.h"

#include "kv_project_db.h"
#include "kv_studio_main_app.h"
#include "kv_trace.h"

#include <QCoreApplication>
#include <QPixmap>

namespace {
constexpr int POLL_MS = 200;
// Settled for this many polls in a row: the values read after login have arrived.
constexpr int SETTLED_POLLS = 5;
} // namespace

KV_Window_Grab::KV_Window_Grab(CKV_Studio_Main_App& window, const QString& file, int timeout_ms)
    : QObject(&window)
    , m_window(window)
    , m_file(file)
    , m_timeout_ms(timeout_ms)
{
    m_elapsed.start();
    connect(&m_timer, &QTimer::timeout, this, &KV_Window_Grab::poll);
    m_timer.start(POLL_MS);
}

bool KV_Window_Grab::settled() const
{
    if (!m_window.pages_ready())
        return false;
    if (!m_window.project().m_routes.active_route())
        return true; // nothing to wait for: the start view is what the user gets
    return m_window.is_page_stack_shown() && !m_window.canvases().isEmpty();
}

void KV_Window_Grab::poll()
{
    m_settled_polls = settled() ? m_settled_polls + 1 : 0;
    if (m_settled_polls >= SETTLED_POLLS)
        finish(true);
    else if (m_elapsed.elapsed() > m_timeout_ms)
        finish(false);
}

void KV_Window_Grab::finish(bool in_time)
{
    m_timer.stop();
    const bool saved = m_window.grab().save(m_file);
    if (!saved)
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_ZRQ, "SCREENSHOT NOT SAVED: %s\n", qPrintable(m_file));
    if (!in_time)
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_ZRQ, "SCREENSHOT: NO PAGE SHOWN\n");
    QCoreApplication::exit(saved && in_time ? 0 : 1);
}
