#include "kv_page_builder.h"

#include <QElapsedTimer>
#include <QStackedWidget>
#include <mutex>

#include "kv_gui_container.h"
#include "kv_page_rules.h"
#include "kv_project_db.h"
#include "kv_visu_host.h"

KV_Page_Builder::KV_Page_Builder(KV_Visu_Host& host, QStackedWidget& stack, QObject* canvas_filter, QObject* parent)
    : QObject(parent)
    , m_host(host)
    , m_stack(stack)
    , m_canvas_filter(canvas_filter)
{
    m_slice.setSingleShot(true);
    m_slice.setInterval(0);
    connect(&m_slice, &QTimer::timeout, this, &KV_Page_Builder::run_slice);
}

KV_Page_Builder::~KV_Page_Builder()
{
    remove_pages();
}

int KV_Page_Builder::next_fitting_page(int from, int orientation) const
{
    for (int i = std::max(0, from); i < m_canvases.size(); ++i)
        if (kv_page_fits(m_canvases[i]->is_vertical(), orientation))
            return i;
    return -1;
}

void KV_Page_Builder::retire_pages()
{
    m_ready = false;
    m_to_build.clear();
    m_next = 0;
    if (m_canvases.isEmpty())
        return;
    // Hidden, the stack shows no other page while its pages leave; without
    // updates it does not visit all its children at every removal.
    const bool shown = !m_stack.isHidden();
    m_stack.hide();
    m_stack.setUpdatesEnabled(false);
    for (qsizetype i = m_canvases.size() - 1; i >= 0; --i) {
        m_canvases[i]->leave_value_path();
        QWidget* page = m_canvases[i]->scroll_area();
        m_stack.removeWidget(page);
        m_retired.push_back(page);
    }
    m_stack.setUpdatesEnabled(true);
    m_stack.setVisible(shown);
    m_canvases.clear();
    m_slice.start();
}

void KV_Page_Builder::remove_pages()
{
    retire_pages();
    m_slice.stop();
    m_announce = false;
    for (QWidget* page : m_retired)
        delete page;
    m_retired.clear();
}

void KV_Page_Builder::build(std::vector<KV_GUI_Page*> pages, int orientation)
{
    std::lock_guard lock(kv_project_lock());
    retire_pages();
    m_to_build = std::move(pages);
    // The home page and the pages before it now; the rest follow.
    size_t now = 0;
    while (now < m_to_build.size() && !kv_page_fits(m_to_build[now]->m_page_orientation != 0, orientation))
        ++now;
    now = std::min(now + 1, m_to_build.size());
    for (; m_next < now; ++m_next)
        add_canvas(*m_to_build[m_next]);
    m_ready = true;
    for (CKV_Gui_Control_Container* canvas : std::as_const(m_canvases))
        canvas->place_controls();
    if (busy()) {
        m_announce = true;
        m_slice.start();
    } else {
        m_to_build.clear();
        m_next = 0;
        emit pages_built();
    }
}

void KV_Page_Builder::add_canvas(KV_GUI_Page& page)
{
    auto* canvas = new CKV_Gui_Control_Container(m_host, page, &m_stack);
    m_stack.addWidget(canvas->scroll_area());
    canvas->installEventFilter(m_canvas_filter);
    canvas->set_modified(false);
    m_canvases.append(canvas);
    if (m_ready)
        canvas->place_controls();
}

void KV_Page_Builder::run_slice()
{
    QElapsedTimer slice;
    slice.start();
    // Old canvases go first, so that two builds are not held at once longer
    // than needed.
    bool done = false;
    while (!m_retired.empty() && (!done || slice.elapsed() < SLICE_MS)) {
        delete m_retired.back();
        m_retired.pop_back();
        done = true;
    }
    bool added = false;
    if (m_retired.empty()) {
        std::lock_guard lock(kv_project_lock());
        while (m_next < m_to_build.size() && (!done || slice.elapsed() < SLICE_MS)) {
            add_canvas(*m_to_build[m_next++]);
            done = added = true;
        }
    }
    if (added)
        emit pages_added();
    if (busy()) {
        m_slice.start();
        return;
    }
    m_to_build.clear();
    m_next = 0;
    if (std::exchange(m_announce, false))
        emit pages_built();
}
