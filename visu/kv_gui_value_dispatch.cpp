#include "kv_gui_value_dispatch.h"

#include <algorithm>

#include "kv_addr.h"
#include "kv_gui_container.h"
#include "kv_gui_control.h"
#include "kv_visu_host.h"

namespace {
bool by_serial(const CKV_Gui_Control* a, const CKV_Gui_Control* b)
{
    return a->serial() < b->serial();
}
} // namespace

CKV_Gui_Value_Dispatch::CKV_Gui_Value_Dispatch(KV_Visu_Host& host)
    : m_host(host)
{
}

std::vector<KV_Group_Address> CKV_Gui_Value_Dispatch::addresses_of(const CKV_Gui_Control& control)
{
    const KV_GUI_Control& record = control.record();
    std::vector<KV_Group_Address> result;
    auto add = [&result](const KV_Group_Address& address) {
        if (!address.is_null() && std::find(result.begin(), result.end(), address) == result.end())
            result.push_back(address);
    };
    for (const KV_Group_Address& address : record.m_list_addr)
        add(address);
    add(record.m_addr_disable);
    add(record.m_addr_hide);
    return result;
}

void CKV_Gui_Value_Dispatch::set_stale(bool stale)
{
    m_stale = stale;
    for (const auto& [address, list] : m_subscribers)
        for (CKV_Gui_Control* control : list)
            control->set_stale(stale && control->shows_values());
}

void CKV_Gui_Value_Dispatch::subscribe(CKV_Gui_Control* control)
{
    if (m_stale && control->shows_values())
        control->set_stale(true);
    for (const KV_Group_Address& address : addresses_of(*control)) {
        Subscribers& list = m_subscribers[address];
        list.insert(std::upper_bound(list.begin(), list.end(), control, by_serial), control);
    }
}

void CKV_Gui_Value_Dispatch::unsubscribe(CKV_Gui_Control* control)
{
    for (const KV_Group_Address& address : addresses_of(*control)) {
        auto it = m_subscribers.find(address);
        if (it == m_subscribers.end())
            continue;
        std::erase(it->second, control);
        if (it->second.empty())
            m_subscribers.erase(it);
    }
}

size_t CKV_Gui_Value_Dispatch::subscriber_count(const KV_Group_Address& address) const
{
    auto it = m_subscribers.find(address);
    return it == m_subscribers.end() ? 0 : it->second.size();
}

void CKV_Gui_Value_Dispatch::collect(const KV_Group_Address& address, Subscribers& into) const
{
    auto it = m_subscribers.find(address);
    if (it != m_subscribers.end())
        into.insert(into.end(), it->second.begin(), it->second.end());
}

int CKV_Gui_Value_Dispatch::on_telegram(const KV_Addr_Tgm& telegram)
{
    // A read request changes no value and no display.
    if (telegram.command == KV_TGM_READ)
        return 0;
    const std::vector<KV_Addr_Db*> concerned = m_host.address_tree().addresses_for_telegram(telegram);
    if (concerned.empty())
        return 0;

    // A control is bound to an address by the address's own numbers; the
    // telegram may have reached that address through a listen address.
    Subscribers targets;
    for (const KV_Addr_Db* address : concerned)
        collect(address->m_addr_write, targets);
    if (concerned.size() > 1) {
        std::sort(targets.begin(), targets.end(), by_serial);
        targets.erase(std::unique(targets.begin(), targets.end()), targets.end());
    }
    int matched = 0;
    for (CKV_Gui_Control* control : targets) {
        if (!control->on_telegram(telegram))
            continue;
        ++matched;
        control->set_stale(false);
    }
    return matched;
}

void CKV_Gui_Value_Dispatch::add_canvas(CKV_Gui_Control_Container* canvas)
{
    m_canvases.push_back(canvas);
}

void CKV_Gui_Value_Dispatch::remove_canvas(CKV_Gui_Control_Container* canvas)
{
    std::erase(m_canvases, canvas);
}

void CKV_Gui_Value_Dispatch::on_message(const CKV_Network_Msg& header, const unsigned char* payload)
{
    // A control may rebuild pages in reaction; walk a copy.
    const std::vector<CKV_Gui_Control_Container*> canvases = m_canvases;
    for (CKV_Gui_Control_Container* canvas : canvases)
        canvas->dispatch_message(header, payload);
}
