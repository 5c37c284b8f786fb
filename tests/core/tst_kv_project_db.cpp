#include <QtTest>

#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <sqlite3.h>
#include <thread>
#include <unistd.h>

#include "kv_project_db.h"

namespace {
std::string field(const std::string& key, const std::string& value)
{
    return key + '\x02' + value + '\x03';
}

// Every row of every table of a file, as plain SQLite sees it.
std::map<std::string, std::vector<std::string>> table_contents(const std::string& path)
{
    std::map<std::string, std::vector<std::string>> contents;
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    std::vector<std::string> tables;
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type='table' ORDER BY name", -1, &stmt, nullptr);
    while (sqlite3_step(stmt) == SQLITE_ROW)
        tables.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
    sqlite3_finalize(stmt);
    for (const std::string& table : tables) {
        auto& rows = contents[table];
        sqlite3_prepare_v2(db, ("SELECT * FROM " + table).c_str(), -1, &stmt, nullptr);
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            std::string row;
            for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
                const auto* bytes = static_cast<const char*>(sqlite3_column_blob(stmt, c));
                row.append(bytes ? bytes : "", static_cast<size_t>(sqlite3_column_bytes(stmt, c)));
                row.push_back('\x1F');
            }
            rows.push_back(row);
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return contents;
}

// Runs statements on a file with plain SQLite, as another program would.
void run_sql(const std::string& path, const std::vector<std::string>& statements)
{
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    for (const std::string& sql : statements)
        QCOMPARE(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

void insert_row(const std::string& path, const std::string& table, const std::string& text)
{
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, ("INSERT INTO " + table + "(DATA) VALUES(?)").c_str(), -1, &stmt, nullptr);
    sqlite3_bind_text(stmt, 1, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    QCOMPARE(sqlite3_step(stmt), SQLITE_DONE);
    sqlite3_finalize(stmt);
    sqlite3_close(db);
}

std::string read_bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void write_bytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Collects what the trace prints on standard output.
class Trace_Capture {
public:
    Trace_Capture()
    {
        fflush(stdout);
        m_saved = dup(STDOUT_FILENO);
        m_file = std::tmpfile();
        dup2(fileno(m_file), STDOUT_FILENO);
    }
    ~Trace_Capture() { text(); }
    std::string text()
    {
        if (m_saved >= 0) {
            fflush(stdout);
            dup2(m_saved, STDOUT_FILENO);
            ::close(m_saved);
            m_saved = -1;
            std::rewind(m_file);
            char buf[4096];
            size_t n;
            while ((n = fread(buf, 1, sizeof buf, m_file)) > 0)
                m_text.append(buf, n);
            std::fclose(m_file);
        }
        return m_text;
    }

private:
    int m_saved = -1;
    FILE* m_file = nullptr;
    std::string m_text;
};

bool contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

// A small project with every kind of record filled in.
void fill_project(CKV_Project_Db& store)
{
    store.m_project.m_str_guid = "{00000000-0000-4000-8000-000000000001}";
    store.m_project.m_str_name = "Haus";
    store.m_project.m_str_comment = "Zeile 1\nZeile 2";
    store.m_project.m_last_page_gui = 3;

    for (uint32_t hg = 1; hg <= 2; ++hg) {
        KV_Addr_HG main;
        main.m_num_hg = hg;
        main.m_str_name = "HG " + std::to_string(hg);
        store.m_addr.add_hg(main);
        for (uint32_t mg = 0; mg < 2; ++mg) {
            KV_Addr_MG middle;
            middle.m_num_hg = hg;
            middle.m_num_mg = mg;
            middle.m_str_name = "MG";
            store.m_addr.add_mg(middle);
            for (uint32_t sub = 1; sub <= 3; ++sub) {
                KV_Addr_Db a;
                a.m_addr_write = {hg, mg, sub};
                a.m_data_typ = sub == 3 ? 15 : 5;
                a.m_str_comment = "Adresse";
                if (sub == 2)
                    a.m_addr_listen = {{9, 9, 9}};
                set_value_from_double(a, 21.5);
                store.m_addr.add_address(a);
            }
        }
    }

    auto group = std::make_unique<KV_Settings_Logger_Group>();
    group->m_str_name = "Temperaturen";
    group->m_list_curve.push_back({{1, 0, 1}, "Wohnen", 1.0, "°C", 5});
    store.m_logger_groups.push_back(std::move(group));

    KV_Routes::_route route;
    route.m_str_name = "Zuhause";
    route.m_str_ip = "192.168.1.10";
    store.m_routes.m_list_route.push_back(route);

    KV_Settings_Clock::Clock clock;
    clock.m_str_name = "Rollo";
    clock.m_list_time.resize(2);
    store.m_settings_clock.m_list_clock.push_back(clock);
    store.m_settings_dmx.m_use_it = true;
    store.m_settings_users.m_list_user.push_back({"admin", "x", true});

    for (int p = 0; p < 2; ++p) {
        auto page = std::make_unique<KV_GUI_Page>();
        page->m_str_guid = "{gui-page-" + std::to_string(p) + "}";
        page->m_str_caption = "Seite " + std::to_string(p);
        for (int c = 0; c < 3; ++c) {
            KV_GUI_Control control;
            control.m_str_guid = "{gui-control-" + std::to_string(p) + std::to_string(c) + "}";
            control.m_str_guid_parent_page = page->m_str_guid;
            control.m_list_addr = {{1, 0, 1}};
            control.m_list_param = {"a", "b"};
            page->add_control(control);
        }
        store.m_gui_pages.push_back(std::move(page));
    }
    auto logic = std::make_unique<KV_LOGIC_Page>();
    logic->m_str_guid = "{logic-page}";
    KV_LOGIC_Control block;
    block.m_str_guid = "{logic-block}";
    block.m_str_guid_parent_page = logic->m_str_guid;
    block.m_list_io_input.push_back(std::make_shared<KV_LOGIC_IO>(KV_LOGIC_IO{{1, 0, 2}, "Eingang"}));
    logic->add_control(block);
    store.m_logic_pages.push_back(std::move(logic));
}

// The record texts of everything a store holds, in its order.
std::vector<std::string> all_texts(CKV_Project_Db& s)
{
    std::vector<std::string> texts;
    KV_Data* singles[] = {&s.m_project,         &s.m_routes,          &s.m_settings_knx,   &s.m_settings_eap,
                          &s.m_settings_modbus_master, &s.m_settings_modbus_slave, &s.m_settings_clock,
                          &s.m_settings_ip_cam, &s.m_settings_host,   &s.m_settings_mbus,  &s.m_settings_mail,
                          &s.m_settings_scene,  &s.m_settings_alexa,  &s.m_settings_sonos, &s.m_settings_dmx,
                          &s.m_settings_users};
    for (KV_Data* record : singles)
        texts.push_back(record->encode());
    for (auto& group : s.m_logger_groups)
        texts.push_back(group->encode());
    for (auto& hg : s.m_addr.main_groups()) {
        texts.push_back(hg->encode());
        for (auto& mg : hg->middle_groups()) {
            texts.push_back(mg->encode());
            for (auto& a : mg->addresses())
                texts.push_back(a->encode());
        }
    }
    for (auto& page : s.m_gui_pages) {
        texts.push_back(page->encode());
        for (auto& c : page->m_controls)
            texts.push_back(c->encode());
    }
    for (auto& page : s.m_logic_pages) {
        texts.push_back(page->encode());
        for (auto& c : page->m_controls)
            texts.push_back(c->encode());
    }
    return texts;
}
} // namespace

class TestKvProjectDb : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::string path(const char* name) const { return (m_dir.path() + "/" + name).toStdString(); }

private slots:
    void missing_file_is_created_with_defaults()
    {
        CKV_Project_Db store;
        const std::string file = path("new.kvp");
        QVERIFY(store.load(file));
        QVERIFY(QFile::exists(QString::fromStdString(file)));
        QVERIFY(store.is_open());
        QCOMPARE(store.path(), file);
        QVERIFY(store.m_addr.main_groups().empty());
        QVERIFY(store.m_gui_pages.empty());
        QCOMPARE(store.m_project.m_str_name, std::string());

        QVERIFY(store.save(true));
        const auto contents = table_contents(file);
        QCOMPARE(contents.size(), size_t(27));
        QCOMPARE(contents.at("KV_PROJECT").size(), size_t(1));
        QCOMPARE(contents.at("KV_ROUTES").size(), size_t(1));
        QCOMPARE(contents.at("KV_SETTINGS_BROADCAST").size(), size_t(0));
        QCOMPARE(contents.at("KV_USERS").size(), size_t(0));
    }

    void round_trip_keeps_every_record_and_order()
    {
        const std::string file = path("round.kvp");
        std::vector<std::string> written;
        {
            CKV_Project_Db store;
            QVERIFY(store.load(file));
            fill_project(store);
            const int64_t before = std::time(nullptr);
            QVERIFY(store.save(true));
            QVERIFY(store.m_project.m_tm_modified >= before);
            QCOMPARE(store.m_project.m_str_version, std::string(KV_PROGRAM_VERSION));
            // Every written record keeps the text just written.
            QCOMPARE(store.m_addr.find_address(1, 0, 1)->m_text, store.m_addr.find_address(1, 0, 1)->encode());
            written = all_texts(store);
        }
        CKV_Project_Db loaded;
        QVERIFY(loaded.load(file));
        QCOMPARE(all_texts(loaded), written);
        QCOMPARE(loaded.m_project.m_str_comment, std::string("Zeile 1\nZeile 2"));
        QCOMPARE(loaded.m_addr.address_count(), size_t(12));
        QCOMPARE(value_as_double(*loaded.m_addr.find_address(2, 1, 1)), 21.5);
        QCOMPARE(loaded.m_gui_pages.size(), size_t(2));
        QCOMPARE(loaded.m_gui_pages[1]->m_controls.size(), size_t(3));
        QCOMPARE(loaded.find_gui_page("{gui-page-1}"), loaded.m_gui_pages[1].get());
        QVERIFY(!loaded.find_gui_page("{nope}"));
        QVERIFY(!loaded.find_gui_page(""));
        KV_LOGIC_Page* logic = loaded.find_logic_page("{logic-page}");
        QVERIFY(logic);
        QCOMPARE(logic->m_controls.size(), size_t(1));
        QCOMPARE(logic->m_controls[0]->input(0)->m_addr, (KV_Group_Address{1, 0, 2}));
        QCOMPARE(loaded.m_routes.m_list_route.size(), size_t(1));

        // Rows of the address tables stand depth first.
        const auto contents = table_contents(file);
        QCOMPARE(contents.at("KV_ADDR").size(), size_t(12));
        QVERIFY(contains(contents.at("KV_ADDR")[3], "m_addr_write\x02" "1/1/1\x03"));
    }

    void save_without_time_keeps_modified_and_twice_gives_same_tables()
    {
        const std::string file = path("twice.kvp");
        CKV_Project_Db store;
        QVERIFY(store.load(file));
        fill_project(store);
        store.m_project.m_tm_modified = 1700000000;
        QVERIFY(store.save(false));
        QCOMPARE(store.m_project.m_tm_modified, int64_t(1700000000));
        const auto first = table_contents(file);
        QVERIFY(store.save(false));
        QCOMPARE(table_contents(file), first);

        CKV_Project_Db reloaded;
        QVERIFY(reloaded.load(file));
        QVERIFY(reloaded.save(false));
        QCOMPARE(table_contents(file), first);
        QCOMPARE(reloaded.m_project.m_tm_modified, int64_t(1700000000));
    }

    void foreign_writer_with_a_subset_of_tables()
    {
        const std::string file = path("subset.kvp");
        run_sql(file, {"CREATE TABLE KV_PROJECT(DATA TEXT)", "CREATE TABLE KV_ADDR(DATA TEXT)",
                       "CREATE TABLE KV_GUI_Page(DATA TEXT)"});
        // Two project rows: the first counts. Fields in another order, one unknown.
        insert_row(file, "KV_PROJECT", field("m_str_name", "Erster") + field("m_unknown", "x") + field("m_tm_modified", "5"));
        insert_row(file, "KV_PROJECT", field("m_str_name", "Zweiter"));
        // Addresses without their groups: the groups are made up.
        insert_row(file, "KV_ADDR", field("m_addr_write", "5/1/7") + field("m_str_comment", "Licht"));
        insert_row(file, "KV_ADDR", field("m_addr_write", "5/1/8") + field("m_data_typ", "5") + field("m_data", "0C33"));
        insert_row(file, "KV_GUI_Page", field("m_str_guid", "{p}"));

        CKV_Project_Db store;
        Trace_Capture trace;
        QVERIFY(store.load(file));
        const std::string lines = trace.text();
        QVERIFY(contains(lines, "SQLITE: no such table: KV_SETTINGS_DMX"));
        QCOMPARE(store.m_project.m_str_name, std::string("Erster"));
        QCOMPARE(store.m_project.m_tm_modified, int64_t(5));
        QCOMPARE(store.m_addr.main_groups().size(), size_t(1));
        QCOMPARE(store.m_addr.find_hg(5)->m_str_name, std::string());
        QCOMPARE(store.m_addr.find_mg(5, 1)->m_str_name, std::string("Licht"));
        QCOMPARE(value_as_double(*store.m_addr.find_address(5, 1, 8)), 21.5);
        QCOMPARE(store.m_settings_dmx.encode(), KV_Settings_DMX().encode());
        QCOMPARE(store.m_gui_pages.size(), size_t(1));
        QCOMPARE(store.m_gui_pages[0]->m_width, 1024);

        QVERIFY(store.save(false));
        const auto contents = table_contents(file);
        QCOMPARE(contents.size(), size_t(27));
        QCOMPARE(contents.at("KV_SETTINGS_DMX").size(), size_t(1));
        QCOMPARE(contents.at("KV_PROJECT").size(), size_t(1));
        QCOMPARE(contents.at("KV_ADDR_HG").size(), size_t(1));
    }

    void page_rows_join_by_guid()
    {
        const std::string file = path("pages.kvp");
        run_sql(file, {"CREATE TABLE KV_GUI_Page(DATA TEXT)", "CREATE TABLE KV_GUI_Control(DATA TEXT)",
                       "CREATE TABLE KV_LOGIC_Page(DATA TEXT)", "CREATE TABLE KV_LOGIC_Control(DATA TEXT)"});
        insert_row(file, "KV_GUI_Page", field("m_str_guid", "{a}") + field("m_str_caption", "alt") + field("m_width", "800"));
        insert_row(file, "KV_GUI_Page", field("m_str_guid", "{b}") + field("m_str_caption", "B"));
        insert_row(file, "KV_GUI_Page", field("m_str_guid", "{a}") + field("m_str_caption", "neu"));
        insert_row(file, "KV_GUI_Control", field("m_str_guid", "{c1}") + field("m_str_guid_parent_page", "{a}") + field("m_x", "1"));
        insert_row(file, "KV_GUI_Control", field("m_str_guid", "{c2}") + field("m_str_guid_parent_page", "{zz}"));
        insert_row(file, "KV_GUI_Control", field("m_str_guid", "{c1}") + field("m_str_guid_parent_page", "{a}") + field("m_x", "2"));
        insert_row(file, "KV_GUI_Control", field("m_str_guid", "{c3}") + field("m_str_guid_parent_page", "{b}"));
        insert_row(file, "KV_LOGIC_Page", field("m_str_guid", "{l}"));
        insert_row(file, "KV_LOGIC_Control", field("m_str_guid", "{x}") + field("m_str_guid_parent_page", "{none}"));
        insert_row(file, "KV_LOGIC_Control", field("m_str_guid", "{y}") + field("m_str_guid_parent_page", "{l}"));

        CKV_Project_Db store;
        Trace_Capture trace;
        QVERIFY(store.load(file));
        const std::string lines = trace.text();
        QCOMPARE(store.m_gui_pages.size(), size_t(2));
        KV_GUI_Page* a = store.find_gui_page("{a}");
        QCOMPARE(a, store.m_gui_pages[0].get());
        QCOMPARE(a->m_str_caption, std::string("neu"));
        QCOMPARE(a->m_width, 1024); // the later row's fields, all of them
        QCOMPARE(a->m_controls.size(), size_t(1));
        QCOMPARE(a->m_controls[0]->m_x, 2);
        QCOMPARE(store.find_gui_page("{b}")->m_controls.size(), size_t(1));
        QVERIFY(contains(lines, "{c2}"));
        QCOMPARE(store.m_logic_pages.size(), size_t(1));
        QCOMPARE(store.m_logic_pages[0]->m_controls.size(), size_t(1));
        QCOMPARE(store.m_logic_pages[0]->m_controls[0]->m_str_guid, std::string("{y}"));
        QVERIFY(contains(lines, "{x}"));
    }

    void stored_files()
    {
        const std::string file = path("files.kvp");
        CKV_Project_Db store;
        std::vector<unsigned char> out{1, 2, 3};
        QVERIFY(!store.get_file("a.png", out)); // nothing open
        QVERIFY(out.empty());
        QVERIFY(store.list_files().empty());
        QVERIFY(store.load(file));
        {
            Trace_Capture trace;
            QVERIFY(!store.get_file("a.png", out)); // no table yet
            QVERIFY(contains(trace.text(), "SQLITE: no such table: KV_FILES"));
        }

        const std::vector<unsigned char> png{0x89, 'P', 'N', 'G', 0, 0xFF};
        const std::string quoted = "Tom's \"Bild\".png";
        const std::string long_name = std::string(300, 'n') + ".wav";
        QVERIFY(store.put_file("a.png", png));
        QVERIFY(store.put_file("leer.svg", {}));
        QVERIFY(store.put_file(quoted, {7}));
        QVERIFY(store.put_file(long_name, {8, 9}));
        QVERIFY(store.put_file("a.png", {1})); // replaces

        QVERIFY(store.get_file("a.png", out));
        QCOMPARE(out, std::vector<unsigned char>{1});
        out = {5};
        QVERIFY(store.get_file("leer.svg", out));
        QVERIFY(out.empty());
        QVERIFY(store.get_file(quoted, out));
        QCOMPARE(out, std::vector<unsigned char>{7});
        QVERIFY(store.get_file(long_name, out));
        QCOMPARE(out.size(), size_t(2));
        QVERIFY(!store.get_file("fehlt.png", out));
        QVERIFY(!store.get_file("a.png' OR '1'='1", out));

        std::vector<std::string> names = store.list_files();
        std::sort(names.begin(), names.end());
        std::vector<std::string> expected{"a.png", "leer.svg", quoted, long_name};
        std::sort(expected.begin(), expected.end());
        QCOMPARE(names, expected);

        // Files survive a save of the records.
        QVERIFY(store.save(false));
        QVERIFY(store.load(file));
        QVERIFY(store.get_file(quoted, out));
        QCOMPARE(out, std::vector<unsigned char>{7});
    }

    void closing_and_writing_without_file()
    {
        CKV_Project_Db store;
        QVERIFY(!store.save(true));
        QVERIFY(!store.save_routes());
        QVERIFY(store.load(path("close.kvp")));
        store.m_project.m_str_name = "x";
        store.close_project();
        QVERIFY(!store.is_open());
        QCOMPARE(store.path(), std::string());
        QCOMPARE(store.m_project.m_str_name, std::string());
        QVERIFY(!store.save(true));

        CKV_Sqlite_Db db;
        KV_Project record;
        Trace_Capture trace;
        QVERIFY(!db.write("KV_PROJECT", record, true));
        QVERIFY(!db.exec("SELECT 1"));
        QVERIFY(!db.read_first("KV_PROJECT", record));
        QVERIFY(contains(trace.text(), "DB_WRITE_DATA: DB NOT OPEN\n"));
    }

    void save_routes_writes_only_routes()
    {
        const std::string file = path("routes.kvp");
        CKV_Project_Db store;
        QVERIFY(store.load(file));
        store.m_project.m_str_name = "vorher";
        QVERIFY(store.save(false));
        store.m_project.m_str_name = "nicht gespeichert";
        store.m_routes.m_list_route.resize(2);
        store.m_routes.m_list_route[1].m_str_name = "Zweite";
        QVERIFY(store.save_routes());

        CKV_Project_Db loaded;
        QVERIFY(loaded.load(file));
        QCOMPARE(loaded.m_project.m_str_name, std::string("vorher"));
        QCOMPARE(loaded.m_routes.m_list_route.size(), size_t(2));
        QCOMPARE(table_contents(file).at("KV_ROUTES").size(), size_t(1));
    }

    void failed_address_row_fails_the_save_but_commits_the_rest()
    {
        const std::string file = path("trigger.kvp");
        CKV_Project_Db store;
        QVERIFY(store.load(file));
        fill_project(store);
        QVERIFY(store.save(false));
        run_sql(file, {"CREATE TRIGGER no_addr BEFORE INSERT ON KV_ADDR WHEN NEW.DATA LIKE '%2/1/3%' "
                       "BEGIN SELECT RAISE(ABORT, 'kein Platz'); END"});
        store.m_project.m_str_name = "geändert";
        Trace_Capture trace;
        QVERIFY(!store.save(false));
        QVERIFY(contains(trace.text(), "SQLITE: kein Platz"));
        QCOMPARE(store.last_error(), std::string("kein Platz"));

        const auto contents = table_contents(file);
        QCOMPARE(contents.at("KV_ADDR").size(), size_t(11));
        QVERIFY(contains(contents.at("KV_PROJECT")[0], "geändert"));
        QCOMPARE(contents.at("KV_GUI_Control").size(), size_t(6));
    }

    void statement_names_are_checked()
    {
        CKV_Sqlite_Db db;
        QVERIFY(db.open(path("names.kvp"), true));
        KV_Project record;
        Trace_Capture trace;
        QVERIFY(!db.read_first("KV_PROJECT; DROP TABLE X", record));
        QVERIFY(!db.write(std::string(400, 'T').c_str(), record, false));
        QVERIFY(!db.write("", record, false));
        const std::string lines = trace.text();
        QVERIFY(contains(lines, "table name refused"));
        // A long but fitting name works: nothing is cut.
        const std::string table = std::string(250, 'T');
        QVERIFY(db.exec(("CREATE TABLE " + table + "(DATA TEXT)").c_str()));
        QVERIFY(db.write(table.c_str(), record, true));
        QVERIFY(db.read_first(table.c_str(), record));
    }

    void open_without_create_needs_the_file()
    {
        CKV_Sqlite_Db db;
        Trace_Capture trace;
        QVERIFY(!db.open(path("fehlt.kvp"), false));
        QVERIFY(!QFile::exists(QString::fromStdString(path("fehlt.kvp"))));
        QVERIFY(contains(trace.text(), "ERROR OPEN DATABASE: "));
        QVERIFY(!db.is_open());
    }

    void bad_files_are_refused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        std::mt19937 random(42);
        QByteArray noise(8192, 0);
        for (char& c : noise)
            c = static_cast<char>(random());
        QTest::newRow("text file") << QByteArray("Dies ist keine Datenbank.\n");
        QTest::newRow("random bytes") << noise;
        QTest::newRow("sqlite header, garbage after") << QByteArray("SQLite format 3\0", 16) + noise;
    }
    void bad_files_are_refused()
    {
        QFETCH(QByteArray, bytes);
        const std::string file = path("bad.kvp");
        write_bytes(file, bytes.toStdString());
        CKV_Project_Db store;
        Trace_Capture trace;
        QVERIFY(!store.load(file));
        QVERIFY(contains(trace.text(), "ERROR OPEN DATABASE: "));
        QVERIFY(!store.is_open());
        QVERIFY(!store.save(true));
        QCOMPARE(read_bytes(file), bytes.toStdString());
    }

    void directory_is_refused()
    {
        CKV_Project_Db store;
        Trace_Capture trace;
        QVERIFY(!store.load(m_dir.path().toStdString()));
        QVERIFY(contains(trace.text(), "ERROR OPEN DATABASE: "));
        QVERIFY(!store.is_open());
    }

    void truncated_database_loads_what_it_can()
    {
        const std::string file = path("cut.kvp");
        {
            CKV_Project_Db store;
            QVERIFY(store.load(file));
            fill_project(store);
            for (uint32_t i = 0; i < 2000; ++i) { // enough rows for several pages
                KV_Addr_Db a;
                a.m_addr_write = {3, 0, i + 1};
                a.m_str_comment = std::string(100, 'k');
                store.m_addr.add_address(a);
            }
            QVERIFY(store.save(true));
        }
        std::string bytes = read_bytes(file);
        bytes.resize(bytes.size() / 2);
        write_bytes(file, bytes);

        CKV_Project_Db store;
        Trace_Capture trace;
        const bool loaded = store.load(file);
        const std::string lines = trace.text();
        if (loaded)
            QVERIFY(contains(lines, "SQLITE: "));
        else
            QVERIFY(contains(lines, "ERROR OPEN DATABASE: "));
        QCOMPARE(read_bytes(file), bytes);
    }

    void foreign_database_is_read_not_written()
    {
        const std::string file = path("foreign.sqlite");
        run_sql(file, {"CREATE TABLE kunden(id INTEGER PRIMARY KEY, name TEXT)",
                       "INSERT INTO kunden(name) VALUES('Meier')"});
        const std::string before = read_bytes(file);
        CKV_Project_Db store;
        Trace_Capture trace;
        QVERIFY(store.load(file));
        QVERIFY(contains(trace.text(), "SQLITE: no such table: KV_ADDR_HG"));
        QVERIFY(store.m_addr.main_groups().empty());
        std::vector<unsigned char> out;
        QVERIFY(!store.get_file("x", out));
        store.list_files();
        store.close_project();
        QCOMPARE(read_bytes(file), before);
    }

    void load_waits_for_the_address_lock()
    {
        const std::string file = path("locked.kvp");
        {
            CKV_Project_Db store;
            QVERIFY(store.load(file));
            fill_project(store);
            QVERIFY(store.save(false));
        }
        CKV_Project_Db store;
        std::atomic<bool> done{false};
        std::unique_lock<std::recursive_mutex> held(kv_address_lock());
        std::thread loader([&] {
            store.load(file);
            done = true;
        });
        QTest::qWait(200);
        QVERIFY(!done);
        held.unlock();
        loader.join();
        QVERIFY(done);
        QCOMPARE(store.m_addr.address_count(), size_t(12));
    }

    void load_replaces_the_previous_project()
    {
        const std::string first = path("first.kvp");
        const std::string second = path("second.kvp");
        {
            CKV_Project_Db store;
            QVERIFY(store.load(first));
            fill_project(store);
            QVERIFY(store.save(true));
        }
        CKV_Project_Db store;
        store.m_sysinfo.m_str_name = "Controller";
        QVERIFY(store.load(first));
        QCOMPARE(store.m_addr.address_count(), size_t(12));
        QVERIFY(store.load(second));
        QCOMPARE(store.path(), second);
        QCOMPARE(store.m_addr.address_count(), size_t(0));
        QVERIFY(store.m_gui_pages.empty());
        QVERIFY(store.m_logger_groups.empty());
        QVERIFY(store.m_routes.m_list_route.empty());
        QCOMPARE(store.m_project.m_str_name, std::string());
        QCOMPARE(store.m_sysinfo.m_str_name, std::string("Controller"));
    }
};

QTEST_GUILESS_MAIN(TestKvProjectDb)
#include "tst_kv_project_db.moc"
