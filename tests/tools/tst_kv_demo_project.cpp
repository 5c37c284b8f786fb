#include <QtTest>

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTemporaryDir>

#include <map>
#include <set>
#include <sqlite3.h>

#include "kv_control_catalog.h"
#include "kv_demo_media.h"
#include "kv_demo_project.h"
#include "kv_project_db.h"

namespace {

// Reads a string list in the data-stream form: big-endian count, then per
// string a big-endian byte length (0xFFFFFFFF: null string) and UTF-16BE.
bool decode_string_list(const std::vector<unsigned char>& bytes, QStringList& out)
{
    size_t pos = 0;
    auto read32 = [&](uint32_t& v) {
        if (bytes.size() - pos < 4)
            return false;
        v = uint32_t(bytes[pos]) << 24 | uint32_t(bytes[pos + 1]) << 16 | uint32_t(bytes[pos + 2]) << 8 | bytes[pos + 3];
        pos += 4;
        return true;
    };
    uint32_t count = 0;
    if (!read32(count))
        return false;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t len = 0;
        if (!read32(len))
            return false;
        if (len == 0xFFFFFFFFu) {
            out << QString();
            continue;
        }
        if (len % 2 || bytes.size() - pos < len)
            return false;
        QString text;
        for (uint32_t k = 0; k < len; k += 2)
            text += QChar(char16_t(bytes[pos + k] << 8 | bytes[pos + k + 1]));
        pos += len;
        out << text;
    }
    return pos == bytes.size();
}

// Every row of every table, in row order, by table name.
std::map<std::string, std::vector<std::string>> table_contents(const QString& path)
{
    std::map<std::string, std::vector<std::string>> tables;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return tables;
    }
    std::vector<std::string> names;
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type='table'", -1, &stmt, nullptr);
    while (sqlite3_step(stmt) == SQLITE_ROW)
        names.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
    sqlite3_finalize(stmt);
    for (const std::string& name : names) {
        const std::string sql = "SELECT * FROM " + name + " ORDER BY rowid";
        sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr);
        auto& rows = tables[name];
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            std::string row;
            for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
                const auto* data = static_cast<const char*>(sqlite3_column_blob(stmt, c));
                row.append(data ? data : "", size_t(sqlite3_column_bytes(stmt, c)));
                row += '\x1f';
            }
            rows.push_back(row);
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return tables;
}

std::vector<const KV_GUI_Control*> all_controls(const CKV_Project_Db& db)
{
    std::vector<const KV_GUI_Control*> list;
    for (const auto& page : db.m_gui_pages)
        for (const auto& control : page->m_controls)
            list.push_back(control.get());
    return list;
}

QStringList guids_in(const std::string& text)
{
    static const QRegularExpression guid("\\{[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}\\}");
    QStringList found;
    auto it = guid.globalMatch(QString::fromStdString(text));
    while (it.hasNext())
        found << it.next().captured();
    return found;
}

// Names of stored files as the visualisation reads them; ":/" names are the
// program's own resources.
bool is_stored_file_name(const std::string& value)
{
    if (value.rfind(":/", 0) == 0)
        return false;
    for (const char* ext : {".png", ".jpg", ".gif", ".svg", ".wav"})
        if (value.ends_with(ext))
            return true;
    return false;
}

} // namespace

class TestKvDemoProject : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString m_path;
    CKV_Project_Db m_db;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_path = m_dir.filePath("demo.kvp");
        QVERIFY(kv_write_demo_project(m_path.toStdString()));
        QVERIFY(!QFile::exists(m_path + ".part"));
        QVERIFY(m_db.load(m_path.toStdString()));
    }

    void project_record()
    {
        QCOMPARE(QString::fromStdString(m_db.m_project.m_str_name), "Haus Sonnenhang");
        QCOMPARE(QString::fromStdString(m_db.m_project.m_str_filename), "demo.kvp");
        QCOMPARE(m_db.m_project.m_str_guid.size(), size_t(38));
        QVERIFY(m_db.m_routes.m_list_route.empty());
    }

    void address_tree()
    {
        QVERIFY(m_db.m_addr.address_count() >= 55);
        std::set<uint32_t> types;
        for (const auto& hg : m_db.m_addr.main_groups()) {
            QVERIFY(!hg->m_str_name.empty());
            for (const auto& mg : hg->middle_groups()) {
                QVERIFY(!mg->m_str_name.empty());
                for (const auto& addr : mg->addresses())
                    types.insert(addr->m_data_typ);
            }
        }
        for (uint32_t type : {1u, 2u, 3u, 4u, 5u, 6u, 7u, 9u, 10u, 11u, 14u, 15u, 16u})
            QVERIFY2(types.count(type), qPrintable(QString::number(type)));

        // Values survive the file in their coded form.
        const KV_Addr_Db* inside = m_db.m_addr.find_address(address_from_text("3/0/7"));
        QVERIFY(inside);
        QCOMPARE(value_as_double(*inside), 21.2);
        QCOMPARE(QString::fromStdString(value_as_text(*m_db.m_addr.find_address(address_from_text("6/0/3")))),
                 "Willkommen im Haus Sonnenhang");
        const KV_Addr_Db* switched = m_db.m_addr.find_address(address_from_text("1/0/1"));
        QCOMPARE(switched->m_addr_listen.size(), size_t(1));
        QVERIFY(m_db.m_addr.find_address(switched->m_addr_listen[0]));
    }

    void every_catalogue_type_is_used()
    {
        std::set<int> used;
        for (const KV_GUI_Control* control : all_controls(m_db))
            used.insert(control->m_typ);
        for (int type : kv_control_types())
            QVERIFY2(used.count(type), qPrintable(QString("type %1 unused").arg(type)));
        for (int type : used)
            QVERIFY2(kv_control_type_known(type), qPrintable(QString("type %1 has no class").arg(type)));
    }

    // Controls are stored flat; none is dropped on loading for want of its page.
    void every_control_has_its_page()
    {
        const auto tables = table_contents(m_path);
        QCOMPARE(tables.at("KV_GUI_Control").size(), all_controls(m_db).size());
        QCOMPARE(tables.at("KV_GUI_Page").size(), m_db.m_gui_pages.size());
        std::set<std::string> guids;
        for (const auto& page : m_db.m_gui_pages) {
            QVERIFY(guids.insert(page->m_str_guid).second);
            for (const auto& control : page->m_controls) {
                QCOMPARE(control->m_str_guid_parent_page, page->m_str_guid);
                QVERIFY(guids.insert(control->m_str_guid).second);
                const KV_Control_Schema* schema = kv_control_schema_for_type(control->m_typ);
                QVERIFY(schema);
                QVERIFY2(control->m_list_param.size() >= schema->params.size(), control->m_str_name.c_str());
            }
        }
    }

    // Popup buttons name a container on their page; the popup contents sit in
    // their container, the containers themselves on the page.
    void popup_nesting()
    {
        const std::set<int> buttons = {200, 202, 1513, 1515};
        const std::set<int> containers = {201, 1121, 1514};
        std::map<std::string, int> children;
        int opened = 0;
        for (const auto& page : m_db.m_gui_pages) {
            for (const auto& control : page->m_controls) {
                if (buttons.count(control->m_typ)) {
                    const KV_GUI_Control* box = page->find_control(kv_param_value(*control, "Container"));
                    QVERIFY2(box && containers.count(box->m_typ), control->m_str_name.c_str());
                    QVERIFY(box->m_str_guid_parent_control.empty());
                    ++opened;
                }
                if (control->m_str_guid_parent_control.empty())
                    continue;
                const KV_GUI_Control* parent = page->find_control(control->m_str_guid_parent_control);
                QVERIFY2(parent && containers.count(parent->m_typ), control->m_str_name.c_str());
                ++children[parent->m_str_guid];
            }
        }
        QCOMPARE(opened, 4);
        QCOMPARE(children.size(), size_t(4));
    }

    void page_targets_exist()
    {
        std::set<QString> pages;
        for (const auto& page : m_db.m_gui_pages)
            pages.insert(QString::fromStdString(page->m_str_guid));
        int targets = 0;
        for (const KV_GUI_Control* control : all_controls(m_db)) {
            for (const char* label :
                 {"Seite", "Seite Begin", "Seite End", "Auswahl Seiten", "Menü Verknüpfung", "Seite User"}) {
                const std::string value = kv_param_value(*control, label);
                const QStringList guids = guids_in(value);
                QCOMPARE(guids.isEmpty(), value.empty());
                for (const QString& guid : guids) {
                    QVERIFY2(pages.count(guid), qPrintable(QString::fromStdString(control->m_str_name) + " " + label));
                    ++targets;
                }
            }
        }
        QVERIFY(targets >= 30);
    }

    void linked_records_exist()
    {
        std::set<std::string> blocks;
        for (const auto& page : m_db.m_logic_pages)
            for (const auto& block : page->m_controls)
                blocks.insert(block->m_str_guid);
        std::set<std::string> clocks, scenes, cameras;
        for (const auto& clock : m_db.m_settings_clock.m_list_clock)
            clocks.insert(clock.m_str_guid);
        for (const auto& scene : m_db.m_settings_scene.m_list_scene)
            scenes.insert(scene.m_str_guid);
        for (const auto& cam : m_db.m_settings_ip_cam.m_list_cam)
            cameras.insert(cam.m_str_guid);

        for (const KV_GUI_Control* control : all_controls(m_db)) {
            const std::string name = control->m_str_name;
            const std::string id = kv_param_value(*control, "ID");
            QVERIFY2(id.empty() || blocks.count(id), name.c_str());
            const std::string uhr = kv_param_value(*control, "Uhr");
            QVERIFY2(uhr.empty() || clocks.count(uhr), name.c_str());
            const std::string guid = kv_param_value(*control, "GUID");
            QVERIFY2(guid.empty() || blocks.count(guid) || scenes.count(guid) || cameras.count(guid), name.c_str());
            // Controls that work with a logic block, clock or scene are linked.
            const std::string cls = kv_control_class_name(control->m_typ);
            if (cls == "CKV_Gui_Control_App_Raumr" || cls == "CKV_Gui_Control_App_Heizkreis" ||
                cls == "CKV_Gui_Control_App_RGBW" || cls == "CKV_Gui_Control_App_RGBW_SEQU" ||
                cls == "CKV_Gui_Control_App_WS_Anzeige" || cls == "CKV_Gui_Control_App_Open_Weather")
                QVERIFY2(!id.empty(), name.c_str());
            if (cls == "CKV_Gui_Control_App_Uhr")
                QVERIFY2(!uhr.empty(), name.c_str());
            if (cls == "CKV_Gui_Control_Tile_Scene" || cls == "CKV_Gui_Control_App_IP_Cam" ||
                cls == "CKV_Gui_Control_App_IP_Cam_Snapshot")
                QVERIFY2(!guid.empty(), name.c_str());
        }
    }

    void used_addresses_exist()
    {
        auto exists = [this](const KV_Group_Address& a) { return a.is_null() || m_db.m_addr.find_address(a); };
        int used = 0;
        for (const KV_GUI_Control* control : all_controls(m_db)) {
            for (const KV_Group_Address& a : control->m_list_addr) {
                QVERIFY2(exists(a), qPrintable(QString::fromStdString(control->m_str_name + " " + address_to_text(a))));
                used += !a.is_null();
            }
            QVERIFY(exists(control->m_addr_disable));
            QVERIFY(exists(control->m_addr_hide));
        }
        QVERIFY(used >= 150);
        for (const auto& page : m_db.m_logic_pages)
            for (const auto& block : page->m_controls) {
                for (const auto& io : block->inputs())
                    QVERIFY2(exists(io->m_addr), block->m_str_name.c_str());
                for (const auto& io : block->outputs())
                    QVERIFY2(exists(io->m_addr), block->m_str_name.c_str());
            }
        for (const auto& clock : m_db.m_settings_clock.m_list_clock)
            QVERIFY(!clock.m_addr_db_write.is_null() && exists(clock.m_addr_db_write));
        for (const auto& scene : m_db.m_settings_scene.m_list_scene)
            for (const auto& item : scene.m_list_item)
                QVERIFY(!item.m_addr.is_null() && exists(item.m_addr));
        QVERIFY(exists(m_db.m_settings_clock.m_addr_db_group));
        QVERIFY(exists(m_db.m_settings_scene.m_addr_num));
    }

    void clocks_and_scenes()
    {
        const auto& clocks = m_db.m_settings_clock.m_list_clock;
        QVERIFY(clocks.size() >= 3);
        int weekly = 0, dated = 0;
        for (const auto& clock : clocks)
            for (const auto& time : clock.m_list_time) {
                weekly += time.m_typ == 0;
                dated += time.m_typ == 1;
                if (time.m_typ == 0)
                    QVERIFY(std::count(std::begin(time.m_fwekday), std::end(time.m_fwekday), true) > 0);
                else
                    QVERIFY(time.m_day >= 1 && time.m_day <= 31 && time.m_month >= 1 && time.m_month <= 12);
            }
        QVERIFY(weekly >= 5);
        QVERIFY(dated >= 1);
        QVERIFY(m_db.m_settings_scene.m_use_it);
        QVERIFY(m_db.m_settings_scene.m_list_scene.size() >= 3);
        for (const auto& scene : m_db.m_settings_scene.m_list_scene)
            QVERIFY(!scene.m_list_item.empty());
    }

    void users_and_their_pages()
    {
        std::set<std::string> users;
        for (const auto& user : m_db.m_settings_users.m_list_user)
            users.insert(user.m_str_name);
        QCOMPARE(users, (std::set<std::string>{"Familie", "Gast"}));
        std::map<std::string, int> own_pages;
        int for_everybody = 0;
        for (const auto& page : m_db.m_gui_pages) {
            if (page->m_str_users.empty()) {
                ++for_everybody;
                continue;
            }
            for (const QString& name : QString::fromStdString(page->m_str_users).split(';')) {
                QVERIFY2(users.count(name.toStdString()), qPrintable(name));
                ++own_pages[name.toStdString()];
            }
        }
        QVERIFY(for_everybody >= 2);
        QVERIFY(own_pages["Familie"] >= 3);
        QVERIFY(own_pages["Gast"] >= 1);
        for (const KV_GUI_Control* control : all_controls(m_db)) {
            const std::string per_user = kv_param_value(*control, "Seite User");
            if (per_user.empty())
                continue;
            for (const QString& entry : QString::fromStdString(per_user).split(';'))
                QVERIFY2(users.count(entry.section('=', 0, 0).toStdString()), qPrintable(entry));
        }
    }

    void language_file()
    {
        std::vector<unsigned char> bytes;
        QVERIFY(m_db.get_file("en.lng", bytes));
        QStringList entries;
        QVERIFY(decode_string_list(bytes, entries));
        QVERIFY(entries.size() >= 20);
        QMap<QString, QString> translations;
        for (const QString& entry : entries) {
            const QStringList parts = entry.split(QChar(0x0002));
            QCOMPARE(parts.size(), 2);
            QVERIFY(!parts[1].isEmpty());
            QVERIFY(!translations.contains(parts[0]));
            translations.insert(parts[0], parts[1]);
        }
        QCOMPARE(translations.value(QString::fromUtf8("Übersicht")), "Overview");
        // A real line break in the source, the escape in the translation.
        QCOMPARE(translations.value("Haus\nSonnenhang"), "Sunny Slope\\nHouse");
        // Page captions are translated.
        for (const auto& page : m_db.m_gui_pages)
            QVERIFY2(translations.contains(QString::fromStdString(page->m_str_caption)), page->m_str_caption.c_str());
    }

    // Every file a page or control names is stored and readable.
    void referenced_files_are_stored()
    {
        const std::vector<std::string> stored = m_db.list_files();
        std::set<std::string> names(stored.begin(), stored.end());
        std::set<std::string> referenced;
        for (const auto& page : m_db.m_gui_pages)
            for (const std::string& name : {page->m_str_image_bg, page->m_str_image_icon})
                if (!name.empty())
                    referenced.insert(name);
        for (const KV_GUI_Control* control : all_controls(m_db)) {
            const KV_Control_Schema* schema = kv_control_schema_for_type(control->m_typ);
            for (size_t i = 0; i < schema->params.size(); ++i) {
                const std::string& label = schema->params[i].label;
                const bool names_file = label.find("Grafik") != std::string::npos ||
                                        label.find("Icon") != std::string::npos || label == "Audio";
                if (names_file && is_stored_file_name(control->m_list_param[i]))
                    referenced.insert(control->m_list_param[i]);
            }
        }
        for (const auto& scene : m_db.m_settings_scene.m_list_scene)
            referenced.insert(scene.m_str_icon);
        QVERIFY(referenced.size() >= 10);
        for (const std::string& name : referenced) {
            QVERIFY2(names.count(name), name.c_str());
            std::vector<unsigned char> bytes;
            QVERIFY(m_db.get_file(name, bytes));
            const QByteArray data(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
            if (name.ends_with(".svg")) {
                QSvgRenderer svg(data);
                QVERIFY2(svg.isValid(), name.c_str());
            } else if (name.ends_with(".wav")) {
                QVERIFY(data.startsWith("RIFF") && data.mid(8, 4) == "WAVE");
                QCOMPARE(qsizetype(qFromLittleEndian<quint32>(data.constData() + 40)), data.size() - 44);
            } else {
                QImage image;
                QVERIFY2(image.loadFromData(data), name.c_str());
                QVERIFY(!image.isNull());
            }
        }
    }

    void generated_images_decode_to_their_pixels()
    {
        KV_Rgb_Image rgb{3, 2, {255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 30, 40, 50, 60, 70, 80, 90}};
        const KV_Bytes png = kv_encode_png(rgb);
        QImage image;
        QVERIFY(image.loadFromData(png.data(), int(png.size()), "PNG"));
        QCOMPARE(image.size(), QSize(3, 2));
        QCOMPARE(image.pixel(2, 0), qRgb(0, 0, 255));
        QCOMPARE(image.pixel(1, 1), qRgb(40, 50, 60));

        // More than one stored deflate block.
        KV_Rgb_Image big{200, 120, {}};
        for (int i = 0; i < big.width * big.height; ++i)
            big.pixels.insert(big.pixels.end(), {static_cast<unsigned char>(i % 251), static_cast<unsigned char>(i / 251 % 256), 7});
        const KV_Bytes big_png = kv_encode_png(big);
        QVERIFY(image.loadFromData(big_png.data(), int(big_png.size()), "PNG"));
        QCOMPARE(image.size(), QSize(200, 120));
        QCOMPARE(image.pixel(199, 119), qRgb(23999 % 251, 23999 / 251 % 256, 7));

        // Odd pixel count: the last clear code is followed by a single pixel.
        const KV_Bytes gif = kv_encode_gif(3, 3, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF},
                                           {{0, 1, 2, 3, 0, 1, 2, 3, 3}, {3, 3, 3, 3, 3, 3, 3, 3, 0}}, 10);
        QImageReader reader;
        QBuffer buffer;
        buffer.setData(reinterpret_cast<const char*>(gif.data()), qsizetype(gif.size()));
        reader.setDevice(&buffer);
        reader.setFormat("gif");
        QCOMPARE(reader.imageCount(), 2);
        const QImage first = reader.read();
        QVERIFY(!first.isNull());
        QCOMPARE(first.pixel(1, 0), qRgb(0, 255, 0));
        QCOMPARE(first.pixel(0, 1), qRgb(255, 255, 255));
        QCOMPARE(first.pixel(2, 2), qRgb(255, 255, 255));
        const QImage second = reader.read();
        QCOMPARE(second.pixel(2, 2), qRgb(255, 0, 0));
    }

    void language_file_layout()
    {
        const KV_Bytes bytes = kv_encode_language_file({{"A", "B"}, {"Zeile\tzwei", "x\ny"}});
        const KV_Bytes first = {0, 0, 0, 2, 0, 0, 0, 6, 0, 'A', 0, 2, 0, 'B'};
        QVERIFY(std::equal(first.begin(), first.end(), bytes.begin()));
        QStringList entries;
        QVERIFY(decode_string_list(bytes, entries));
        QCOMPARE(entries.size(), 2);
        QCOMPARE(entries[1], QString("Zeile\tzwei") + QChar(2) + "x\\ny");
    }

    void utf16_conversion()
    {
        QCOMPARE(QString::fromStdU16String(kv_utf8_to_utf16("Grüße €")), QString::fromUtf8("Grüße €"));
        QCOMPARE(QString::fromStdU16String(kv_utf8_to_utf16("\xF0\x9F\x8F\xA0")), QString::fromUtf8("\xF0\x9F\x8F\xA0"));
        // Broken sequences become replacement characters, never crash.
        QCOMPARE(kv_utf8_to_utf16("a\xC3"), std::u16string(u"a\uFFFD"));
        QCOMPARE(kv_utf8_to_utf16("\xFF" "b"), std::u16string(u"\uFFFD" "b"));
        QCOMPARE(kv_utf8_to_utf16("\xED\xA0\x80"), std::u16string(u"\uFFFD\uFFFD\uFFFD"));
    }

    // Same name in two folders: byte-identical tables.
    void written_twice_is_the_same()
    {
        QTemporaryDir other;
        const QString again = other.filePath("demo.kvp");
        QVERIFY(kv_write_demo_project(again.toStdString()));
        const auto first = table_contents(m_path);
        const auto second = table_contents(again);
        QVERIFY(first.size() >= 27);
        QCOMPARE(first.size(), second.size());
        for (const auto& [table, rows] : first)
            QVERIFY2(second.at(table) == rows, table.c_str());
    }

    void failed_write_leaves_nothing()
    {
        const QString path = m_dir.filePath("missing/folder/demo.kvp");
        QVERIFY(!kv_write_demo_project(path.toStdString()));
        QVERIFY(!QFile::exists(path));
        QVERIFY(!QFile::exists(path + ".part"));
    }
};

QTEST_MAIN(TestKvDemoProject)
#include "tst_kv_demo_project.moc"
