#pragma once
// Builds the window's page canvases and takes them down again, a slice per
// event-loop turn, so that a large project neither comes nor goes in one
// long stall: the page shown first is built first, a batch of controls per
// turn, and the others follow; the canvases of a replaced build leave the
// value path and the screen at once and are deleted a few at a time, before
// the new pages are built.

#include <QList>
#include <QObject>
#include <QTimer>
#include <vector>

class CKV_Gui_Control_Container;
class KV_GUI_Page;
class KV_Visu_Host;
class QDeadlineTimer;
class QStackedWidget;
class QWidget;

class KV_Page_Builder : public QObject {
    Q_OBJECT
public:
    // A slice ends after this long, having done at least one control or
    // one canvas.
    static constexpr int SLICE_MS = 8;

    // The canvases go into stack; canvas_filter watches each of them.
    KV_Page_Builder(KV_Visu_Host& host, QStackedWidget& stack, QObject* canvas_filter, QObject* parent = nullptr);
    ~KV_Page_Builder() override;

    // The built canvases in project order; index i is the stack's page i.
    const QList<CKV_Gui_Control_Container*>& canvases() const { return m_canvases; }
    // The canvases up to the one shown first are complete and placed.
    bool ready() const { return m_ready; }
    // Canvases still to be built or filled, or to be deleted.
    bool busy() const { return m_filling || m_next < m_to_build.size() || !m_retired.empty(); }
    // First canvas from `from` on that fits the orientation; -1 when none.
    int next_fitting_page(int from, int orientation) const;

    // Builds the canvases of pages (project order) once retire_pages() took
    // the current ones: in slices, up to the first one fitting the
    // orientation first. With `now` the pages up to that one are built at
    // once: for a window nobody uses yet.
    void build(std::vector<KV_GUI_Page*> pages, int orientation, bool now);
    // The canvases leave the value path and the stack now; they are deleted
    // in slices. Nothing of them is reached from outside any more.
    void retire_pages();
    // Deletes every canvas now, retired ones too.
    void remove_pages();

signals:
    // After each slice that added canvases or made the build ready.
    void pages_added();
    // Once the last canvas of a build is there: from build() itself when
    // it built them all.
    void pages_built();

private:
    // Builds on until the deadline; true when it added a canvas or became ready.
    bool build_on(const QDeadlineTimer& deadline);
    void run_slice();
    void end_build();

    KV_Visu_Host& m_host;
    QStackedWidget& m_stack;
    QObject* m_canvas_filter;
    QList<CKV_Gui_Control_Container*> m_canvases;
    std::vector<QWidget*> m_retired; // page widgets of retired canvases
    std::vector<KV_GUI_Page*> m_to_build;
    size_t m_next = 0; // next page of m_to_build to build
    size_t m_first = 0; // the build is ready once this many canvases are complete
    CKV_Gui_Control_Container* m_filling = nullptr; // the last canvas, while its controls follow
    bool m_ready = false;
    bool m_announce = false; // pages_built is owed
    QTimer m_slice;
};
