#pragma once
// What the live pages need from the window that shows them. The app main
// window implements it on top of its project store and network client; tests
// supply a small fake.

#include <QPixmap>
#include <QString>
#include <memory>
#include <string>

#include "kv_addr.h"
#include "kv_addr_tgm.h"
#include "kv_address.h"

class KV_GUI_Page;
class CKV_Gui_Value_Dispatch;

constexpr int KV_ORIENTATION_PORTRAIT = 1;
constexpr int KV_ORIENTATION_LANDSCAPE = 2;

class KV_Visu_Host {
public:
    KV_Visu_Host();
    virtual ~KV_Visu_Host();
    KV_Visu_Host(const KV_Visu_Host&) = delete;
    KV_Visu_Host& operator=(const KV_Visu_Host&) = delete;

    // Project store: the address tree holding the current values, the page
    // records by identity and the stored files (images) by name.
    virtual KV_Addr_Tree& address_tree() = 0;
    virtual KV_GUI_Page* find_page(const std::string& guid) = 0;
    // The decoded image of a stored file, from the window's image cache;
    // a null pixmap when the project has no such file.
    virtual QPixmap image(const QString& name) = 0;

    // Network client.
    virtual bool is_connected() const = 0;
    virtual bool send_netvar(const KV_Group_Address& address, double value) = 0;
    virtual bool send_netvar(const KV_Addr_Tgm& telegram) = 0;

    // Window state.
    virtual bool run_mode() const = 0;
    // Switches show their feedback address only, not their own switching value.
    virtual bool keep_feedback_separate() const = 0;
    // Off while the window rebuilds its pages; canvases place their controls
    // only once it is on.
    virtual bool pages_ready() const = 0;
    virtual int orientation() const = 0; // KV_ORIENTATION_*
    virtual QString language() const = 0;

    // Page navigation.
    virtual void goNextPage() = 0;
    virtual void goPrevPage() = 0;
    virtual void goPage(const std::string& page_guid) = 0;

    // Process-wide: set while a popup container is shown; pressed controls
    // then do not raise themselves.
    bool popup_open() const { return m_popup_open; }
    void set_popup_open(bool open) { m_popup_open = open; }

    // The value path of every canvas built for this window: the window hands
    // each received telegram to dispatch().on_telegram().
    CKV_Gui_Value_Dispatch& dispatch() { return *m_dispatch; }

private:
    bool m_popup_open = false;
    std::unique_ptr<CKV_Gui_Value_Dispatch> m_dispatch;
};
