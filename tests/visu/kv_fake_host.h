#pragma once
// A window stand-in for the visualisation tests: an address tree, page
// records, and a record of what was sent and where navigation went.

#include <memory>
#include <string>
#include <vector>

#include "kv_addr.h"
#include "kv_control_catalog.h"
#include "kv_gui.h"
#include "kv_visu_host.h"

class KV_Fake_Host : public KV_Visu_Host {
public:
    struct Sent {
        KV_Group_Address address;
        double value;
    };

    KV_Addr_Tree tree;
    std::vector<std::unique_ptr<KV_GUI_Page>> pages;
    std::vector<Sent> sent;
    std::vector<std::string> pages_shown;
    int next_pages = 0;
    int prev_pages = 0;
    bool connected = true;
    bool feedback_separate = false;
    bool ready = true;
    int screen_orientation = KV_ORIENTATION_LANDSCAPE;

    KV_Addr_Tree& address_tree() override { return tree; }
    KV_GUI_Page* find_page(const std::string& guid) override
    {
        for (auto& page : pages)
            if (page->m_str_guid == guid)
                return page.get();
        return nullptr;
    }
    QPixmap image(const QString&) override { return {}; }
    bool is_connected() const override { return connected; }
    bool send_netvar(const KV_Group_Address& address, double value) override
    {
        sent.push_back({address, value});
        return true;
    }
    bool send_netvar(const KV_Addr_Tgm&) override { return true; }
    bool run_mode() const override { return true; }
    bool keep_feedback_separate() const override { return feedback_separate; }
    bool pages_ready() const override { return ready; }
    int orientation() const override { return screen_orientation; }
    QString language() const override { return QStringLiteral("de"); }
    void goNextPage() override { ++next_pages; }
    void goPrevPage() override { ++prev_pages; }
    void goPage(const std::string& guid) override { pages_shown.push_back(guid); }

    KV_Addr_Db* add_address(const KV_Group_Address& address, uint32_t type,
                            const std::vector<KV_Group_Address>& listen = {}, bool is_signed = false)
    {
        KV_Addr_Db record;
        record.m_addr_write = address;
        record.m_data_typ = type;
        record.m_data_signed = is_signed ? 1 : 0;
        record.m_addr_listen = listen;
        return tree.add_address(record);
    }

    KV_GUI_Page& add_page(const std::string& guid, int width = 1024, int height = 576, bool vertical = false)
    {
        auto page = std::make_unique<KV_GUI_Page>();
        page->m_str_guid = guid;
        page->m_width = width;
        page->m_height = height;
        page->m_page_orientation = vertical ? 1 : 0;
        pages.push_back(std::move(page));
        return *pages.back();
    }

    static KV_GUI_Control& add_control(KV_GUI_Page& page, int type, const std::string& guid,
                                       const std::vector<KV_Group_Address>& addresses = {},
                                       const std::vector<std::pair<const char*, std::string>>& params = {})
    {
        KV_GUI_Control record;
        record.m_typ = type;
        record.m_str_guid = guid;
        record.m_str_guid_parent_page = page.m_str_guid;
        record.m_list_addr = addresses;
        for (const auto& [label, value] : params)
            kv_param_set(record, label, value);
        return *page.add_control(record);
    }
};

inline KV_Addr_Tgm make_telegram(const KV_Group_Address& dest, uint32_t command, std::initializer_list<unsigned char> bytes)
{
    KV_Addr_Tgm telegram;
    telegram.command = command;
    telegram.dest_address[0] = dest.main;
    telegram.dest_address[1] = dest.middle;
    telegram.dest_address[2] = dest.sub;
    size_t i = 0;
    for (unsigned char byte : bytes)
        telegram.value[i++] = byte;
    telegram.m_data_length = static_cast<uint32_t>(bytes.size());
    return telegram;
}
