#pragma once
// Builds the window's page canvases and takes them down again, a slice per
// event-loop turn, so that a large project neither comes nor goes in one
// long stall: the page shown first is built at once and the others follow;
// the canvases of a replaced build leave the value path and the screen at
// once and are deleted a few at a time, before the new pages are built.

#include <QList>
#include <QObject>
#include <QTimer>
#include <vector>

class CKV_Gui_Control_Container;
class KV_GUI_Page;
class KV_Visu_Host;
class QStackedWidget;
class QWidget;

class KV_Page_Builder : public QObject {
    Q_OBJECT
public:
    // A slice ends after this long, having done at least one canvas.
    static constexpr int SLICE_MS = 8;

    // The canvases go into stack; canvas_filter watches each of them.
    KV_Page_Builder(KV_Visu_Host& host, QStackedWidget& stack, QObject* canvas_filter, QObject* parent = nullptr);
    ~KV_Page_Builder() override;

    // The built canvases in project order; index i is the stack's page i.
    const QList<CKV_Gui_Control_Container*>& canvases() const { return m_canvases; }
    // The first canvases of the current build are there and placed.
    bool ready() const { return m_ready; }
    // Canvases still to be built or to be deleted.
    bool busy() const { return m_next < m_to_build.size() || !m_retired.empty(); }
    // First canvas from `from` on that fits the orientation; -1 when none.
    int next_fitting_page(int from, int orientation) const;

    // Replaces the canvases by those of pages (project order): the current
    // ones are retired, the pages up to the first one fitting the
    // orientation are built now, the others in slices.
    void build(std::vector<KV_GUI_Page*> pages, int orientation);
    // The canvases leave the value path and the stack now; they are deleted
    // in slices. Nothing of them is reached from outside any more.
    void retire_pages();
    // Deletes every canvas now, retired ones too.
    void remove_pages();

signals:
    // After each slice that built canvases.
    void pages_added();
    // Once the last canvas of a build is there: from build() itself when
    // it built them all.
    void pages_built();

private:
    void add_canvas(KV_GUI_Page& page);
    void run_slice();

    KV_Visu_Host& m_host;
    QStackedWidget& m_stack;
    QObject* m_canvas_filter;
    QList<CKV_Gui_Control_Container*> m_canvases;
    std::vector<QWidget*> m_retired; // page widgets of retired canvases
    std::vector<KV_GUI_Page*> m_to_build;
    size_t m_next = 0; // next page of m_to_build to build
    bool m_ready = false;
    bool m_announce = false; // pages_built is owed
    QTimer m_slice;
};
