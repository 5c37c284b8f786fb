#include <QtTest>

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTemporaryDir>

#include <set>

#include "../core/kv_test_tables.h"
#include "kv_control_catalog.h"
#include "kv_demo_media.h"
#include "kv_demo_logger.h"
#include "kv_demo_project.h"
#include "kv_gui_translator.h"
#include "kv_project_db.h"

namespace {
QByteArray to_bytes(const KV_Bytes& bytes) { return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())); }

// A language file as Qt's data stream reads a string list; false unless it
// is read completely and exactly.
bool decode_string_list(const KV_Bytes& bytes, QStringList& out)
{
    QDataStream in(to_bytes(bytes));
    in >> out;
    return in.status() == QDataStream::Ok && in.atEnd();
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
    for (auto it = guid.globalMatch(QString::fromStdString(text)); it.hasNext();)
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
        QCOMPARE(QString::fromStdString(m_db.m_project.m_str_filename), "demo.kvp");
    }

    // Controls are stored flat; none is dropped on loading for want of its
    // page, and every catalogue type is shown.
    void every_control_has_its_page_and_type()
    {
        const auto tables = kv_test_table_contents(m_path.toStdString());
        QCOMPARE(tables.at("KV_GUI_Control").size(), all_controls(m_db).size());
        QCOMPARE(tables.at("KV_GUI_Page").size(), m_db.m_gui_pages.size());
        std::set<std::string> guids;
        std::set<int> used;
        for (const auto& page : m_db.m_gui_pages) {
            QVERIFY(guids.insert(page->m_str_guid).second);
            for (const auto& control : page->m_controls) {
                QVERIFY(guids.insert(control->m_str_guid).second);
                const KV_Control_Schema* schema = kv_control_schema_for_type(control->m_typ);
                QVERIFY2(schema, qPrintable(QString("type %1 has no class").arg(control->m_typ)));
                QVERIFY2(control->m_list_param.size() >= schema->params.size(), control->m_str_name.c_str());
                used.insert(control->m_typ);
            }
        }
        for (int type : kv_control_types())
            QVERIFY2(used.count(type), qPrintable(QString("type %1 unused").arg(type)));
    }

    // Popup buttons name a container on their page; the popup contents sit in
    // their container, the containers themselves on the page.
    void popup_nesting()
    {
        const std::set<int> buttons = {200, 202, 1513, 1515};
        const std::set<int> containers = {201, 1121, 1514};
        std::set<std::string> filled;
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
                filled.insert(parent->m_str_guid);
            }
        }
        QCOMPARE(opened, 4);
        QCOMPARE(filled.size(), size_t(4));
    }

    // Pages, logic blocks, clocks, scenes, cameras, addresses and users a
    // page or control names all exist; there are two users.
    void references_resolve()
    {
        auto exists = [this](const KV_Group_Address& a) { return a.is_null() || m_db.m_addr.find_address(a); };
        std::set<std::string> pages, blocks, clocks, scenes, cameras, users;
        for (const auto& user : m_db.m_settings_users.m_list_user)
            users.insert(user.m_str_name);
        QCOMPARE(users.size(), size_t(2));
        for (const auto& page : m_db.m_gui_pages) {
            pages.insert(page->m_str_guid);
            for (const QString& name : QString::fromStdString(page->m_str_users).split(';', Qt::SkipEmptyParts))
                QVERIFY2(users.count(name.toStdString()), qPrintable(name));
        }
        for (const auto& page : m_db.m_logic_pages)
            for (const auto& block : page->m_controls) {
                blocks.insert(block->m_str_guid);
                for (const auto* ios : {&block->inputs(), &block->outputs()})
                    for (const auto& io : *ios)
                        QVERIFY2(exists(io->m_addr), block->m_str_name.c_str());
            }
        for (const auto& clock : m_db.m_settings_clock.m_list_clock) {
            clocks.insert(clock.m_str_guid);
            QVERIFY(!clock.m_addr_db_write.is_null() && exists(clock.m_addr_db_write));
        }
        for (const auto& scene : m_db.m_settings_scene.m_list_scene) {
            scenes.insert(scene.m_str_guid);
            for (const auto& item : scene.m_list_item)
                QVERIFY(!item.m_addr.is_null() && exists(item.m_addr));
        }
        for (const auto& cam : m_db.m_settings_ip_cam.m_list_cam)
            cameras.insert(cam.m_str_guid);

        int targets = 0, used = 0;
        for (const KV_GUI_Control* control : all_controls(m_db)) {
            const char* name = control->m_str_name.c_str();
            for (const char* label : {"Seite", "Seite Begin", "Seite End", "Auswahl Seiten", "Menü Verknüpfung", "Seite User"}) {
                const std::string value = kv_param_value(*control, label);
                const QStringList guids = guids_in(value);
                QCOMPARE(guids.isEmpty(), value.empty());
                for (const QString& guid : guids)
                    QVERIFY2(pages.count(guid.toStdString()), name);
                targets += guids.size();
                if (label == std::string("Seite User"))
                    for (const QString& entry : QString::fromStdString(value).split(';', Qt::SkipEmptyParts))
                        QVERIFY2(users.count(entry.section('=', 0, 0).toStdString()), qPrintable(entry));
            }
            const std::string id = kv_param_value(*control, "ID");
            const std::string uhr = kv_param_value(*control, "Uhr");
            const std::string guid = kv_param_value(*control, "GUID");
            QVERIFY2(id.empty() || blocks.count(id), name);
            QVERIFY2(uhr.empty() || clocks.count(uhr), name);
            QVERIFY2(guid.empty() || blocks.count(guid) || scenes.count(guid) || cameras.count(guid), name);
            // Controls that work with a logic block, clock, scene or camera are linked.
            const std::string cls = kv_control_class_name(control->m_typ);
            for (const auto& [needs, link] : {std::pair{"App_Raumr", &id}, {"App_Heizkreis", &id}, {"App_RGBW", &id},
                                              {"App_RGBW_SEQU", &id}, {"App_WS_Anzeige", &id}, {"App_Open_Weather", &id},
                                              {"App_Uhr", &uhr}, {"Tile_Scene", &guid}, {"App_IP_Cam", &guid},
                                              {"App_IP_Cam_Snapshot", &guid}})
                QVERIFY2(cls != std::string("CKV_Gui_Control_") + needs || !link->empty(), name);

            for (const KV_Group_Address& a : control->m_list_addr) {
                QVERIFY2(exists(a), qPrintable(QString::fromStdString(control->m_str_name + " " + address_to_text(a))));
                used += !a.is_null();
            }
            QVERIFY(exists(control->m_addr_disable) && exists(control->m_addr_hide));
        }
        QVERIFY(targets >= 30);
        QVERIFY(used >= 150);
        const KV_Addr_Db* switched = m_db.m_addr.find_address(address_from_text("1/0/1"));
        QVERIFY(exists(switched->m_addr_listen.at(0)));
    }

    // Every logger curve charts a demo address of its type whose values the
    // model of the house gives, within believable bounds over two days.
    void logger_groups_follow_the_model()
    {
        QCOMPARE(m_db.m_logger_groups.size(), size_t(4));
        for (const auto& group : m_db.m_logger_groups)
            for (const auto& curve : group->m_list_curve) {
                const KV_Addr_Db* address = m_db.m_addr.find_address(curve.m_addr);
                QVERIFY2(address && address->m_data_typ == uint32_t(curve.m_addr_typ), curve.m_str_alias.c_str());
                const bool is_switch = curve.m_addr_typ == 1;
                const bool is_power = curve.m_unit == "kW";
                double low = 1e9, high = -1e9;
                for (int64_t t = 1780272000000; t < 1780272000000 + 2 * 86400000LL; t += 600000) {
                    const std::optional<double> v = kv_demo_logged_value(curve.m_addr, t);
                    QVERIFY2(v, curve.m_str_alias.c_str());
                    low = std::min(low, *v * curve.m_factor);
                    high = std::max(high, *v * curve.m_factor);
                }
                const auto [min_low, max_high] = is_switch ? std::pair{0.0, 1.0}
                                                 : is_power ? std::pair{0.0, 8.0} : std::pair{-25.0, 40.0};
                QVERIFY2(low >= min_low && high <= max_high && high > low, curve.m_str_alias.c_str());
            }
    }

    // The English file as the toolkit's stream and the translator read it:
    // every page caption has a translation; a line break in a translation is
    // stored as its escape, one in a source as it is.
    void language_file()
    {
        std::vector<unsigned char> bytes;
        QVERIFY(m_db.get_file("en.lng", bytes));
        QStringList entries;
        QVERIFY(decode_string_list(bytes, entries));
        QVERIFY(entries.contains(QString("Haus\nSonnenhang") + QChar(2) + "Sunny Slope\\nHouse"));
        CKV_GUITranslator translator(m_db);
        QVERIFY(translator.load("de", "en"));
        QCOMPARE(translator.translate_text(QString::fromUtf8("Küche an")), QString("Kitchen on"));
        QCOMPARE(translator.translate_text("Haus\nSonnenhang"), QString("Sunny Slope\nHouse"));
        for (const auto& page : m_db.m_gui_pages) {
            const QString caption = QString::fromStdString(page->m_str_caption);
            const QString translated = translator.translate_text(caption);
            QVERIFY2(!translated.isEmpty() && translated != caption, qPrintable(caption));
        }
    }

    // Every file a page, control or scene names is stored and readable.
    void referenced_files_are_stored()
    {
        const std::vector<std::string> stored = m_db.list_files();
        const std::set<std::string> names(stored.begin(), stored.end());
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
            const QByteArray data = to_bytes(bytes);
            if (name.ends_with(".svg")) {
                QVERIFY2(QSvgRenderer(data).isValid(), name.c_str());
            } else if (name.ends_with(".wav")) {
                QVERIFY(data.startsWith("RIFF") && data.mid(8, 4) == "WAVE");
                QCOMPARE(qsizetype(qFromLittleEndian<quint32>(data.constData() + 40)), data.size() - 44);
            } else {
                QImage image;
                QVERIFY2(image.loadFromData(data) && !image.isNull(), name.c_str());
            }
        }
    }

    void generated_images_decode_to_their_pixels()
    {
        KV_Rgb_Image rgb{3, 2, {255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 30, 40, 50, 60, 70, 80, 90}};
        QImage image;
        QVERIFY(image.loadFromData(to_bytes(kv_encode_png(rgb)), "PNG"));
        QCOMPARE(image.size(), QSize(3, 2));
        QCOMPARE(image.pixel(2, 0), qRgb(0, 0, 255));
        QCOMPARE(image.pixel(1, 1), qRgb(40, 50, 60));

        // More than one stored deflate block.
        KV_Rgb_Image big{200, 120, {}};
        for (int i = 0; i < big.width * big.height; ++i)
            big.pixels.insert(big.pixels.end(), {static_cast<unsigned char>(i % 251), static_cast<unsigned char>(i / 251 % 256), 7});
        QVERIFY(image.loadFromData(to_bytes(kv_encode_png(big)), "PNG"));
        QCOMPARE(image.size(), QSize(200, 120));
        QCOMPARE(image.pixel(199, 119), qRgb(23999 % 251, 23999 / 251 % 256, 7));

        // Odd pixel count: the last clear code is followed by a single pixel.
        const KV_Bytes gif = kv_encode_gif(3, 3, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF},
                                           {{0, 1, 2, 3, 0, 1, 2, 3, 3}, {3, 3, 3, 3, 3, 3, 3, 3, 0}}, 10);
        QBuffer buffer;
        buffer.setData(to_bytes(gif));
        QImageReader reader(&buffer, "gif");
        QCOMPARE(reader.imageCount(), 2);
        const QImage first = reader.read();
        QCOMPARE(first.pixel(1, 0), qRgb(0, 255, 0));
        QCOMPARE(first.pixel(0, 1), qRgb(255, 255, 255));
        QCOMPARE(first.pixel(2, 2), qRgb(255, 255, 255));
        QCOMPARE(reader.read().pixel(2, 2), qRgb(255, 0, 0));
    }

    void utf16_conversion()
    {
        QCOMPARE(QString::fromStdU16String(kv_utf8_to_utf16("Grüße € \xF0\x9F\x8F\xA0")), QString::fromUtf8("Grüße € \xF0\x9F\x8F\xA0"));
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
        const auto first = kv_test_table_contents(m_path.toStdString());
        QVERIFY(first.size() >= 27);
        QVERIFY(first == kv_test_table_contents(again.toStdString()));
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
