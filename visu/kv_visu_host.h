#pragma once
// What the live pages need from the window that shows them. The app main
// window implements it on top of its project store and network client; tests
// supply a small fake.

#include <QByteArray>
#include <QList>
#include <QPixmap>
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "kv_addr.h"
#include "kv_addr_tgm.h"
#include "kv_address.h"

class KV_GUI_Page;
class KV_LOGIC_Control;
struct CKV_Network_Msg;
class KV_Settings_Clock;
class KV_Settings_Scene;
class CKV_Gui_Value_Dispatch;

// A visualisation language the project offers: its code ("fr") and the name
// shown for it.
struct KV_Visu_Language {
    QString code;
    QString name;
};

constexpr int KV_ORIENTATION_PORTRAIT = 1;
constexpr int KV_ORIENTATION_LANDSCAPE = 2;

// The canvases built for a host must be deleted before the host itself (a
// window implementing it deletes its page stack in its destructor).
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
    // A resource (":/...") or a stored file, as a parameter names an image.
    QPixmap named_image(const QString& name);
    // The bytes of a stored file (sounds, animations); empty when missing.
    virtual QByteArray file_data(const QString& name);
    // The project's time switches and scenes; controls that change them
    // send the changed record to the controller themselves.
    virtual KV_Settings_Clock& clock_settings() = 0;
    virtual KV_Settings_Scene& scene_settings() = 0;
    // Every logic block of the project, in project order.
    virtual std::vector<const KV_LOGIC_Control*> logic_blocks();
    // The first block with that GUID; null for an empty or unknown one.
    const KV_LOGIC_Control* find_logic_block(const std::string& guid);
    // Replaces the project's block of the same GUID with `block` (a control
    // changed the settings it keeps in the block's parameters); false when
    // the project has no such block.
    virtual bool store_logic_block(const KV_LOGIC_Control& block);
    // The GUID of the block a controller message 602 carries (the controller
    // changed a block's settings, a weather block fetched new data); empty
    // for any other message.
    static std::string changed_block_guid(const CKV_Network_Msg& header, const unsigned char* payload);
    // The page GUIDs in the order the window shows them.
    virtual std::vector<std::string> page_order();

    // Network client.
    virtual bool is_connected() const = 0;
    virtual bool send_netvar(const KV_Group_Address& address, double value) = 0;
    virtual bool send_netvar(const KV_Addr_Tgm& telegram) = 0;
    // A message whose payload is a text (scene starts, clock and scene
    // settings); false while not connected.
    virtual bool send_text(uint32_t message_id, const std::string& text) = 0;
    // A message without payload (the "apply" messages after a settings
    // text); false while not connected.
    virtual bool send_message(uint32_t message_id) = 0;

    // Window state.
    virtual bool run_mode() const = 0;
    // Switches show their feedback address only, not their own switching value.
    virtual bool keep_feedback_separate() const = 0;
    // Off while the window rebuilds its pages; canvases place their controls
    // only once it is on.
    virtual bool pages_ready() const = 0;
    virtual int orientation() const = 0; // KV_ORIENTATION_*
    // The user logged in to the controller; empty before any login.
    virtual const std::string& user() const = 0;
    virtual QString language() const = 0;
    // The visualisation languages of the project (empty when it has none)
    // and switching the visualisation to one of them.
    virtual QList<KV_Visu_Language> visu_languages();
    virtual void set_visu_language(const QString& code);
    // A project text in the current visualisation language (the text itself
    // where no translation exists).
    virtual QString visu_text(const QString& source) { return source; }

    // Desktop: opens an address ("scheme:...") with the desktop's handler or
    // starts a program with its arguments, detached. False when that failed.
    virtual bool start_program(const QString& program);
    // A message box titled "kirovantor3" with one OK button; does not block.
    virtual void show_message(const QString& text);

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
