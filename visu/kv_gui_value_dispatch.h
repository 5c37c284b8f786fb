#pragma once
// The value path from the controller to the controls. Every control of every
// built canvas subscribes under the group addresses of its entries and its
// disable and hide addresses, so that a telegram reaches the controls that
// show one of the addresses it concerns without visiting any other control.

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "kv_addr_tgm.h"
#include "kv_address.h"

class CKV_Gui_Control;
class CKV_Gui_Control_Container;
class KV_Visu_Host;
struct CKV_Network_Msg;

class CKV_Gui_Value_Dispatch {
public:
    explicit CKV_Gui_Value_Dispatch(KV_Visu_Host& host);

    // Applies a received telegram to the address tree, then hands it to the
    // telegram operation of every subscribed control whose addresses it
    // concerns (own or listen address), in creation order, each once.
    // Returns the number of controls that reported a match.
    int on_telegram(const KV_Addr_Tgm& telegram);

    // Values from before a lost connection: every control that shows values
    // looks stale, those built meanwhile too, until a telegram for one of its
    // addresses arrives or the controller has sent everything (stale off).
    void set_stale(bool stale);
    bool stale() const { return m_stale; }

    void subscribe(CKV_Gui_Control* control);
    void unsubscribe(CKV_Gui_Control* control);

    // Any other controller message goes to every canvas in the order they
    // were built, and there to each control's message operation. Header and
    // payload are valid only during the call.
    void on_message(const CKV_Network_Msg& header, const unsigned char* payload);
    void add_canvas(CKV_Gui_Control_Container* canvas);
    void remove_canvas(CKV_Gui_Control_Container* canvas);

    // Controls subscribed under one address; for tests and diagnostics.
    size_t subscriber_count(const KV_Group_Address& address) const;

private:
    using Subscribers = std::vector<CKV_Gui_Control*>;
    void collect(const KV_Group_Address& address, Subscribers& into) const;
    // The addresses a control subscribes under, each once.
    static std::vector<KV_Group_Address> addresses_of(const CKV_Gui_Control& control);

    KV_Visu_Host& m_host;
    bool m_stale = false;
    std::vector<CKV_Gui_Control_Container*> m_canvases;
    // Kept in creation order (control serial), so that dispatch needs no sort
    // when a telegram concerns one address.
    std::unordered_map<KV_Group_Address, Subscribers, KV_Group_Address_Hash> m_subscribers;
};
