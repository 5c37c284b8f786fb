#pragma once
// The visualisation test window with what the classic controls ask of it
// besides values: images and stored files, logic blocks, the page order,
// languages, program starts and message boxes. Also a page built from it.

#include <QPixmap>
#include <QtTest>
#include <map>
#include <memory>

#include "kv_fake_host.h"
#include "kv_gui_container.h"
#include "kv_gui_value_dispatch.h"
#include "kv_logic.h"

class KV_Classic_Host : public KV_Fake_Host {
public:
    std::map<QString, QPixmap> images;
    std::map<QString, QByteArray> files;
    std::vector<std::unique_ptr<KV_LOGIC_Control>> blocks;
    QList<KV_Visu_Language> languages;
    QString current_language = QStringLiteral("de");
    std::vector<QString> programs; // every start asked for
    bool programs_start = true;
    std::vector<QString> messages;

    QPixmap image(const QString& name) override
    {
        const auto it = images.find(name);
        return it == images.end() ? QPixmap() : it->second;
    }
    QByteArray file_data(const QString& name) override
    {
        const auto it = files.find(name);
        return it == files.end() ? QByteArray() : it->second;
    }
    std::vector<const KV_LOGIC_Control*> logic_blocks() override
    {
        std::vector<const KV_LOGIC_Control*> result;
        for (const auto& block : blocks)
            result.push_back(block.get());
        return result;
    }
    std::vector<std::string> page_order() override
    {
        std::vector<std::string> result;
        for (const auto& page : pages)
            result.push_back(page->m_str_guid);
        return result;
    }
    QString language() const override { return current_language; }
    QList<KV_Visu_Language> visu_languages() override { return languages; }
    void set_visu_language(const QString& code) override { current_language = code; }
    bool start_program(const QString& program) override
    {
        programs.push_back(program);
        return programs_start;
    }
    void show_message(const QString& text) override { messages.push_back(text); }

    static QPixmap filled(const QColor& colour, int width = 10, int height = 10)
    {
        QPixmap pixmap(width, height);
        pixmap.fill(colour);
        return pixmap;
    }
};

// One page of a classic host, built and shown in a scroll area.
struct KV_Classic_Page {
    KV_Classic_Host host;
    KV_GUI_Page* page = nullptr;
    std::unique_ptr<CKV_Gui_Control_Container_Sv> area;

    KV_Classic_Page() { page = &host.add_page("{page}"); }

    KV_GUI_Control& add(int type, const std::string& guid, const std::vector<KV_Group_Address>& addresses = {},
                        const std::vector<std::pair<const char*, std::string>>& params = {}, int width = 120,
                        int height = 60)
    {
        KV_GUI_Control& record = KV_Fake_Host::add_control(*page, type, guid, addresses, params);
        record.m_width = width;
        record.m_height = height;
        return record;
    }
    void build()
    {
        area.reset((new CKV_Gui_Control_Container(host, *page))->scroll_area());
        area->resize(1024, 576);
        area->show();
    }
    CKV_Gui_Control_Container* canvas() const { return area->canvas(); }
    template <class T>
    T* control(const std::string& guid) const
    {
        return qobject_cast<T*>(canvas()->find_control(guid));
    }
    // A value telegram to one address through the window's value path.
    int send(const KV_Group_Address& address, unsigned char value)
    {
        return host.dispatch().on_telegram(make_telegram(address, KV_TGM_WRITE, {value}));
    }
    static void click(QWidget* widget, const QPoint& point = QPoint(10, 10))
    {
        QTest::mousePress(widget, Qt::LeftButton, {}, point);
        QTest::mouseRelease(widget, Qt::LeftButton, {}, point);
    }
};
