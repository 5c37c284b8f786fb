#include "kv_page_builder.h"

#include <QDeadlineTimer>
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
    m_first = 0;
    m_filling = nullptr;
    if (m_canvases.isEmpty())
        return;
    // Hidden, the stack shows no other page while its pages leave. (Turning
    // its updates off and on would visit every control of every page twice.)
    const bool shown = !m_stack.isHidden();
    m_stack.hide();
    for (qsizetype i = m_canvases.size() - 1; i >= 0; --i) {
        m_canvases[i]->leave_value_path();
        QWidget* page = m_canvases[i]->scroll_area();
        m_stack.removeWidget(page);
        m_retired.push_back(page);
    }
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

void KV_Page_Builder::build(std::vector<KV_GUI_Page*> pages, int orientation, bool now)
{
    std::lock_guard lock(kv_project_lock());
    Q_ASSERT(m_canvases.isEmpty());
    m_to_build = std::move(pages);
    // Ready with the home page and the pages before it.
    while (m_first < m_to_build.size() && !kv_page_fits(m_to_build[m_first]->m_page_orientation != 0, orientation))
        ++m_first;
    m_first = std::min(m_first + 1, m_to_build.size());
    while (now && !m_ready)
        build_on(QDeadlineTimer(QDeadlineTimer::Forever));
    if (busy()) {
        m_announce = true;
        m_slice.start();
    } else {
        end_build();
        emit pages_built();
    }
}

bool KV_Page_Builder::build_on(const QDeadlineTimer& deadline)
{
    std::lock_guard lock(kv_project_lock());
    bool added = false;
    for (bool done = false;; done = true) {
        if (m_filling && !m_filling->load_more_controls(deadline)) {
            if (!m_ready)
                m_filling->place_controls_now(); // the page shown fills before the user's eyes
            return added;
        }
        if (m_filling && m_ready)
            m_filling->place_controls();
        m_filling = nullptr;
        if (!m_ready && size_t(m_canvases.size()) >= m_first) {
            m_ready = true;
            for (CKV_Gui_Control_Container* canvas : std::as_const(m_canvases))
                canvas->place_controls();
            return true;
        }
        if (m_next >= m_to_build.size() || (done && deadline.hasExpired()))
            return added;
        auto* canvas = new CKV_Gui_Control_Container(m_host, *m_to_build[m_next++], &m_stack,
                                                     CKV_Gui_Control_Container::Controls::Later);
        m_stack.addWidget(canvas->scroll_area());
        canvas->installEventFilter(m_canvas_filter);
        m_canvases.append(canvas);
        m_filling = canvas;
        added = true;
    }
}

void KV_Page_Builder::end_build()
{
    // No pointers into the project stay behind.
    m_to_build.clear();
    m_next = 0;
}

void KV_Page_Builder::run_slice()
{
    const QDeadlineTimer deadline(SLICE_MS, Qt::PreciseTimer);
    // Old canvases go first, so that two builds are not held at once longer
    // than needed.
    bool done = false;
    while (!m_retired.empty() && (!done || !deadline.hasExpired())) {
        delete m_retired.back();
        m_retired.pop_back();
        done = true;
    }
    if (m_retired.empty() && build_on(deadline))
        emit pages_added();
    if (busy()) {
        m_slice.start();
        return;
    }
    end_build();
    if (std::exchange(m_announce, false))
        emit pages_built();
}
