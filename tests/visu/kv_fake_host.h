#pragma once
// A window stand-in for the visualisation tests: an address tree, pages,
// images and stored files, logic blocks and languages, and a record of what
// was sent, started, reported and where navigation went. Also a page built
// from it in a scroll area.

#include <QPixmap>
#include <QtTest>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "kv_addr.h"
#include "kv_control_catalog.h"
#include "kv_gui.h"
#include "kv_gui_container.h"
#include "kv_gui_value_dispatch.h"
#include "kv_logic.h"
#include "kv_settings_clock.h"
#include "kv_settings_scene.h"
#include "kv_visu_host.h"

using KV_Params = std::vector<std::pair<const char*, std::string>>;

class KV_Fake_Host : public KV_Visu_Host {
public:
    struct Sent {
        KV_Group_Address address;
        double value;
    };

    KV_Addr_Tree tree;
    KV_Settings_Clock clocks;
    KV_Settings_Scene scenes;
    std::vector<std::unique_ptr<KV_GUI_Page>> pages;
    std::vector<Sent> sent;
    std::vector<std::pair<uint32_t, std::string>> texts_sent;
    std::vector<uint32_t> messages_sent; // every message id, with or without text, in order
    std::string user_name;
    std::vector<std::string> pages_shown;
    int pages_back = 0;
    int pages_next = 0;
    bool connected = true;
    bool running = true; // run mode (live pages) rather than the editor
    bool feedback_separate = false;
    bool ready = true;
    int screen_orientation = KV_ORIENTATION_LANDSCAPE;
    std::map<QString, QPixmap> images;
    std::map<QString, QByteArray> files;
    std::vector<std::unique_ptr<KV_LOGIC_Control>> blocks;
    QList<KV_Visu_Language> languages;
    QString current_language = QStringLiteral("de");
    std::vector<QString> programs; // every start asked for
    bool programs_start = true;
    std::vector<QString> messages;

    KV_Addr_Tree& address_tree() override { return tree; }
    KV_Settings_Clock& clock_settings() override { return clocks; }
    KV_Settings_Scene& scene_settings() override { return scenes; }
    KV_GUI_Page* find_page(const std::string& guid) override
    {
        for (auto& page : pages)
            if (page->m_str_guid == guid)
                return page.get();
        return nullptr;
    }
    QPixmap image(const QString& name) override { return images.contains(name) ? images[name] : QPixmap(); }
    QByteArray file_data(const QString& name) override { return files.contains(name) ? files[name] : QByteArray(); }
    std::vector<const KV_LOGIC_Control*> logic_blocks() override
    {
        std::vector<const KV_LOGIC_Control*> result;
        for (const auto& block : blocks)
            result.push_back(block.get());
        return result;
    }
    bool store_logic_block(const KV_LOGIC_Control& block) override
    {
        for (auto& held : blocks)
            if (held->m_str_guid == block.m_str_guid) {
                *held = block;
                return true;
            }
        return false;
    }
    std::vector<std::string> page_order() override
    {
        std::vector<std::string> result;
        for (const auto& page : pages)
            result.push_back(page->m_str_guid);
        return result;
    }
    bool is_connected() const override { return connected; }
    bool send_netvar(const KV_Group_Address& address, double value) override
    {
        sent.push_back({address, value});
        return true;
    }
    bool send_netvar(const KV_Addr_Tgm&) override { return true; }
    bool send_text(uint32_t message_id, const std::string& text) override
    {
        if (!connected)
            return false;
        texts_sent.push_back({message_id, text});
        messages_sent.push_back(message_id);
        return true;
    }
    bool send_message(uint32_t message_id) override
    {
        if (!connected)
            return false;
        messages_sent.push_back(message_id);
        return true;
    }
    bool run_mode() const override { return running; }
    bool keep_feedback_separate() const override { return feedback_separate; }
    bool pages_ready() const override { return ready; }
    int orientation() const override { return screen_orientation; }
    const std::string& user() const override { return user_name; }
    QString language() const override { return current_language; }
    QList<KV_Visu_Language> visu_languages() override { return languages; }
    void set_visu_language(const QString& code) override { current_language = code; }
    bool start_program(const QString& program) override
    {
        programs.push_back(program);
        return programs_start;
    }
    void show_message(const QString& text) override { messages.push_back(text); }
    void goNextPage() override { ++pages_next; }
    void goPrevPage() override { ++pages_back; }
    void goPage(const std::string& guid) override { pages_shown.push_back(guid); }

    // A value put straight into the tree, as if it had come earlier.
    void set_value(const KV_Group_Address& address, double value)
    {
        set_value_from_double(*tree.find_address(address), value);
    }
    std::vector<double> sent_values() const
    {
        std::vector<double> values;
        for (const Sent& s : sent)
            values.push_back(s.value);
        return values;
    }
    std::vector<std::pair<KV_Group_Address, double>> sent_pairs() const
    {
        std::vector<std::pair<KV_Group_Address, double>> pairs;
        for (const Sent& s : sent)
            pairs.emplace_back(s.address, s.value);
        return pairs;
    }

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
                                       const KV_Params& params = {})
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

    static QPixmap filled(const QColor& colour, int width = 10, int height = 10)
    {
        QPixmap pixmap(width, height);
        pixmap.fill(colour);
        return pixmap;
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

// One page of a fake host, built and shown in a scroll area.
struct KV_Test_Page {
    KV_Fake_Host host;
    KV_GUI_Page* page = nullptr;
    std::unique_ptr<CKV_Gui_Control_Container_Sv> area;

    KV_Test_Page() { page = &host.add_page("{page}"); }

    KV_GUI_Control& add(int type, const std::string& guid, const std::vector<KV_Group_Address>& addresses = {},
                        const KV_Params& params = {}, int width = 120, int height = 60)
    {
        KV_GUI_Control& record = KV_Fake_Host::add_control(*page, type, guid, addresses, params);
        record.m_width = width;
        record.m_height = height;
        return record;
    }
    CKV_Gui_Control_Container* build()
    {
        area.reset((new CKV_Gui_Control_Container(host, *page))->scroll_area());
        area->resize(1024, 576);
        area->show();
        return canvas();
    }
    CKV_Gui_Control_Container* canvas() const { return area->canvas(); }
    template <class T>
    T* control(const std::string& guid) const
    {
        return qobject_cast<T*>(canvas()->find_control(guid));
    }
    // A value telegram to one address through the window's value path.
    int send(const KV_Group_Address& address, unsigned char value, uint32_t command = KV_TGM_WRITE)
    {
        return host.dispatch().on_telegram(make_telegram(address, command, {value}));
    }
    static void click(QWidget* widget, const QPoint& point = QPoint(10, 10))
    {
        QTest::mousePress(widget, Qt::LeftButton, {}, point);
        QTest::mouseRelease(widget, Qt::LeftButton, {}, point);
    }
};
