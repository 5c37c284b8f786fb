#include <QtTest>

#include <fstream>
#include <iterator>
#include <random>
#include <thread>

#include "../app/kv_trace_capture.h"
#include "kv_project_db.h"
#include "kv_test_tables.h"
#include "records_test_util.h"

namespace {
// One row of a table, made when missing, as another program would write it.
std::string insert(const std::string& table, const std::string& text)
{
    return "CREATE TABLE IF NOT EXISTS " + table + "(DATA TEXT); INSERT INTO " + table + "(DATA) VALUES('" + text + "');";
}

std::string read_bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

// A small project with every kind of record filled in: 12 addresses, 2 GUI
// pages of 3 controls, one logic page.
void fill_project(CKV_Project_Db& store)
{
    store.m_project.m_str_name = "Haus";
    store.m_project.m_str_comment = "Zeile 1\nZeile 2";
    for (uint32_t hg = 1; hg <= 2; ++hg)
        for (uint32_t mg = 0; mg < 2; ++mg)
            for (uint32_t sub = 1; sub <= 3; ++sub) {
                KV_Addr_Db a;
                a.m_addr_write = {hg, mg, sub};
                a.m_data_typ = sub == 3 ? 15 : 5;
                if (sub == 2)
                    a.m_addr_listen = {{9, 9, 9}};
                set_value_from_double(a, 21.5);
                store.m_addr.add_address(a);
            }
    store.m_logger_groups.push_back(std::make_unique<KV_Settings_Logger_Group>(fields("m_addr_0=1/0/1|m_str_alias_0=Wohnen")));
    store.m_routes.m_list_route.resize(1);
    store.m_routes.m_list_route[0].m_str_ip = "192.168.1.10";
    store.m_settings_clock.m_list_clock.resize(1);
    store.m_settings_clock.m_list_clock[0].m_list_time.resize(2);
    store.m_settings_dmx.m_use_it = true;
    store.m_settings_users.m_list_user.push_back({"admin", "x", true});
    for (const std::string p : {"0", "1"}) {
        const std::string page = "{gui-page-" + p + "}";
        store.m_gui_pages.push_back(std::make_unique<KV_GUI_Page>(fld("m_str_guid", page)));
        for (const std::string c : {"0", "1", "2"})
            store.m_gui_pages.back()->add_control(KV_GUI_Control(
                fields("m_str_guid={gui-control-" + p + c + "}|m_str_guid_parent_page=" + page +
                       "|m_list_param.m_use_it_0=1|m_list_param.m_str_value_0=a|m_list_param.m_use_it_1=1")));
    }
    store.m_logic_pages.push_back(std::make_unique<KV_LOGIC_Page>(fld("m_str_guid", "{logic-page}")));
    store.m_logic_pages[0]->add_control(KV_LOGIC_Control(fields(
        "m_str_guid_parent_page={logic-page}|m_list_io_input.io.m_use_it_0=1|m_list_io_input.io.m_addr_0=1/0/2")));
}
} // namespace

class TestKvProjectDb : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::string path(const char* name) const { return (m_dir.path() + "/" + name).toStdString(); }

    // Writes fill_project() to a new file.
    void write_filled(CKV_Project_Db& store, const std::string& file)
    {
        QVERIFY(store.load(file));
        fill_project(store);
        QVERIFY(store.save(false));
    }

private slots:
    // Loading a missing file replaces the open project with an empty one
    // and creates the file with every table.
    void missing_file_is_created_with_defaults()
    {
        CKV_Project_Db store;
        store.m_sysinfo.m_str_name = "Controller";
        write_filled(store, path("first.kvp"));
        const std::string file = path("new.kvp");
        QVERIFY(store.load(file));
        QVERIFY(store.m_gui_pages.empty());
        QVERIFY(store.m_logger_groups.empty());
        QCOMPARE(store.m_project.m_str_name, std::string());
        QCOMPARE(store.m_sysinfo.m_str_name, std::string("Controller")); // not part of the project
        QVERIFY(store.save(true));
        const auto contents = kv_test_table_contents(file);
        QCOMPARE(contents.size(), size_t(27));
        QCOMPARE(contents.at("KV_ROUTES").size(), size_t(1));
        QCOMPARE(contents.at("KV_USERS").size(), size_t(0));
    }

    // Load and save again gives the same tables: every record keeps all its
    // fields and its place.
    void round_trip_keeps_every_record_and_order()
    {
        const std::string file = path("round.kvp");
        CKV_Project_Db store;
        QVERIFY(store.load(file));
        fill_project(store);
        const int64_t before = std::time(nullptr);
        QVERIFY(store.save(true));
        QVERIFY(store.m_project.m_tm_modified >= before);
        QCOMPARE(store.m_project.m_str_version, std::string(KV_PROGRAM_VERSION));
        store.m_project.m_tm_modified = 1700000000;
        QVERIFY(store.save(false));
        QCOMPARE(store.m_project.m_tm_modified, int64_t(1700000000));
        const auto first = kv_test_table_contents(file);
        QCOMPARE(first.at("KV_ADDR").size(), size_t(12));
        QVERIFY(contains(first.at("KV_ADDR")[3], "m_addr_write\x02" "1/1/1\x03")); // depth first

        CKV_Project_Db loaded;
        QVERIFY(loaded.load(file));
        QVERIFY(loaded.save(false));
        QCOMPARE(kv_test_table_contents(file), first);
        QCOMPARE(loaded.find_gui_page("{gui-page-1}"), loaded.m_gui_pages[1].get());
        QVERIFY(!loaded.find_gui_page(""));
        QVERIFY(loaded.find_logic_page("{logic-page}"));
    }

    // Loading into a store that holds a project replaces all of it, pages
    // included (they are read and the old ones freed on a second thread).
    void reloading_replaces_the_open_project()
    {
        const std::string filled = path("reload_filled.kvp");
        const std::string other = path("reload_other.kvp");
        {
            CKV_Project_Db writer;
            write_filled(writer, filled);
            QVERIFY(writer.load(other));
            writer.m_gui_pages.push_back(std::make_unique<KV_GUI_Page>(fld("m_str_guid", "{andere-seite}")));
            writer.m_gui_pages[0]->add_control(
                KV_GUI_Control(fields("m_str_guid={andere}|m_str_guid_parent_page={andere-seite}")));
            QVERIFY(writer.save(false));
        }
        CKV_Project_Db store;
        for (int round = 0; round < 3; ++round) {
            QVERIFY(store.load(filled));
            QCOMPARE(store.m_gui_pages.size(), size_t(2));
            QCOMPARE(store.m_gui_pages[1]->m_controls.size(), size_t(3));
            QCOMPARE(store.m_logic_pages.size(), size_t(1));
            QCOMPARE(store.m_addr.address_count(), size_t(12));

            QVERIFY(store.load(other));
            QCOMPARE(store.m_gui_pages.size(), size_t(1));
            QCOMPARE(store.m_gui_pages[0]->m_controls.size(), size_t(1));
            QCOMPARE(store.m_gui_pages[0]->m_controls[0]->m_str_guid, std::string("{andere}"));
            QVERIFY(store.m_logic_pages.empty());
            QCOMPARE(store.m_addr.address_count(), size_t(0));
        }
    }

    void foreign_writer_with_a_subset_of_tables()
    {
        const std::string file = path("subset.kvp");
        // Two project rows: the first counts. Fields in another order, one unknown.
        // Addresses without their groups: the groups are made up.
        QVERIFY(kv_test_exec(file, insert("KV_PROJECT", fields("m_str_name=Erster|m_unknown=x|m_tm_modified=5")) +
                                   insert("KV_PROJECT", fld("m_str_name", "Zweiter")) +
                                   insert("KV_ADDR", fields("m_addr_write=5/1/7|m_str_comment=Licht")) +
                                   insert("KV_ADDR", fields("m_addr_write=5/1/8|m_data_typ=5|m_data=0C33")) +
                                   insert("KV_GUI_Page", fld("m_str_guid", "{p}"))));
        CKV_Project_Db store;
        Trace_Capture trace;
        QVERIFY(store.load(file));
        QVERIFY(trace.text().contains("SQLITE: no such table: KV_SETTINGS_DMX"));
        QCOMPARE(store.m_project.m_str_name, std::string("Erster"));
        QCOMPARE(store.m_project.m_tm_modified, int64_t(5));
        QCOMPARE(store.m_addr.find_mg(5, 1)->m_str_name, std::string("Licht"));
        QCOMPARE(value_as_double(*store.m_addr.find_address(5, 1, 8)), 21.5);
        QCOMPARE(store.m_settings_dmx.encode(), KV_Settings_DMX().encode());
        QCOMPARE(store.m_gui_pages[0]->m_width, 1024);
        // The page tables are read on a connection of their own; their errors count too.
        QCOMPARE(store.last_error(), std::string("no such table: KV_GUI_Control"));

        QVERIFY(store.save(false));
        const auto contents = kv_test_table_contents(file);
        QCOMPARE(contents.size(), size_t(27));
        QCOMPARE(contents.at("KV_PROJECT").size(), size_t(1));
        QCOMPARE(contents.at("KV_ADDR_HG").size(), size_t(1));
    }

    void page_rows_join_by_guid()
    {
        const std::string file = path("pages.kvp");
        std::string sql;
        for (const char* row : {"KV_GUI_Page:m_str_guid={a}|m_str_caption=alt|m_width=800", "KV_GUI_Page:m_str_guid={b}",
                                "KV_GUI_Page:m_str_guid={a}|m_str_caption=neu",
                                "KV_GUI_Control:m_str_guid={c1}|m_str_guid_parent_page={a}|m_x=1",
                                "KV_GUI_Control:m_str_guid={c2}|m_str_guid_parent_page={zz}",
                                "KV_GUI_Control:m_str_guid={c1}|m_str_guid_parent_page={a}|m_x=2",
                                "KV_GUI_Control:m_str_guid={c3}|m_str_guid_parent_page={b}",
                                "KV_GUI_Page:m_str_caption=ohne 1", "KV_GUI_Page:m_str_caption=ohne 2",
                                "KV_GUI_Control:m_str_name=ohne Seite", "KV_LOGIC_Page:m_str_guid={l}",
                                "KV_LOGIC_Control:m_str_guid={x}|m_str_guid_parent_page={none}",
                                "KV_LOGIC_Control:m_str_guid={y}|m_str_guid_parent_page={l}"}) {
            const std::string text = row;
            sql += insert(text.substr(0, text.find(':')), fields(text.substr(text.find(':') + 1)));
        }
        QVERIFY(kv_test_exec(file, sql));
        CKV_Project_Db store;
        Trace_Capture trace;
        QVERIFY(store.load(file));
        const QByteArray lines = trace.text();
        QCOMPARE(store.m_gui_pages.size(), size_t(3));
        KV_GUI_Page* a = store.find_gui_page("{a}");
        QCOMPARE(a, store.m_gui_pages[0].get());
        QCOMPARE(a->m_str_caption, std::string("neu"));
        QCOMPARE(a->m_width, 1024); // the later row's fields, all of them
        QCOMPARE(a->m_controls.size(), size_t(1));
        QCOMPARE(a->m_controls[0]->m_x, 2);
        QCOMPARE(store.find_gui_page("{b}")->m_controls.size(), size_t(1));
        QVERIFY(lines.contains("{c2}"));
        // An empty GUID joins like any other.
        KV_GUI_Page* unnamed = store.find_gui_page("");
        QCOMPARE(unnamed->m_str_caption, std::string("ohne 2"));
        QCOMPARE(unnamed->m_controls.size(), size_t(1));
        QCOMPARE(store.m_logic_pages[0]->m_controls.size(), size_t(1));
        QCOMPARE(store.m_logic_pages[0]->m_controls[0]->m_str_guid, std::string("{y}"));
        QVERIFY(lines.contains("{x}"));
    }

    void stored_files()
    {
        const std::string file = path("files.kvp");
        CKV_Project_Db store;
        std::vector<unsigned char> out{1, 2, 3};
        QVERIFY(!store.get_file("a.png", out)); // nothing open
        QVERIFY(out.empty());
        QVERIFY(store.load(file));
        {
            Trace_Capture trace;
            QVERIFY(!store.get_file("a.png", out)); // no table yet
            QVERIFY(trace.text().contains("SQLITE: no such table: KV_FILES"));
        }
        const std::string quoted = "Tom's \"Bild\".png";
        QVERIFY(store.put_file("a.png", {0x89, 'P', 'N', 'G', 0, 0xFF}));
        QVERIFY(store.put_file("leer.svg", {}));
        QVERIFY(store.put_file(quoted, {7}));
        QVERIFY(store.put_file("a.png", {1})); // replaces
        QVERIFY(store.get_file("a.png", out));
        QCOMPARE(out, std::vector<unsigned char>{1});
        out = {5};
        QVERIFY(store.get_file("leer.svg", out));
        QVERIFY(out.empty());
        QVERIFY(!store.get_file("a.png' OR '1'='1", out));
        std::vector<std::string> names = store.list_files();
        std::sort(names.begin(), names.end());
        QCOMPARE(names, (std::vector<std::string>{quoted, "a.png", "leer.svg"}));

        // Files survive a save of the records.
        QVERIFY(store.save(false));
        QVERIFY(store.load(file));
        QVERIFY(store.get_file(quoted, out));
        QCOMPARE(out, std::vector<unsigned char>{7});
    }

    // Statements fail without an open file, and on table names that are not
    // plain names or do not fit.
    void statements_need_a_file_and_a_plain_table_name()
    {
        CKV_Project_Db store;
        QVERIFY(!store.save_routes());
        QVERIFY(store.load(path("close.kvp")));
        store.close_project();
        QVERIFY(!store.save(true));

        CKV_Sqlite_Db db;
        KV_Project record;
        Trace_Capture trace;
        QVERIFY(!db.write("KV_PROJECT", record, true));
        QVERIFY(!db.exec("SELECT 1"));
        QVERIFY(!db.read_first("KV_PROJECT", record));
        QVERIFY(!db.open(path("fehlt.kvp"), false)); // without create the file must exist
        QVERIFY(!QFile::exists(QString::fromStdString(path("fehlt.kvp"))));
        QVERIFY(db.open(path("names.kvp"), true));
        QVERIFY(!db.read_first("KV_PROJECT; DROP TABLE X", record));
        QVERIFY(!db.write(std::string(400, 'T').c_str(), record, false));
        QVERIFY(!db.write("", record, false));
        const QByteArray lines = trace.text();
        QVERIFY(lines.contains("DB_WRITE_DATA: DB NOT OPEN\n"));
        QVERIFY(lines.contains("ERROR OPEN DATABASE: "));
        QVERIFY(lines.contains("table name refused"));
        // A long but fitting name works: nothing is cut.
        const std::string table = std::string(250, 'T');
        QVERIFY(db.exec(("CREATE TABLE " + table + "(DATA TEXT)").c_str()));
        QVERIFY(db.write(table.c_str(), record, true));
        QVERIFY(db.read_first(table.c_str(), record));
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
        QVERIFY(store.save_routes());

        CKV_Project_Db loaded;
        QVERIFY(loaded.load(file));
        QCOMPARE(loaded.m_project.m_str_name, std::string("vorher"));
        QCOMPARE(loaded.m_routes.m_list_route.size(), size_t(2));
        QCOMPARE(kv_test_table_contents(file).at("KV_ROUTES").size(), size_t(1));
    }

    void failed_address_row_fails_the_save_but_commits_the_rest()
    {
        const std::string file = path("trigger.kvp");
        CKV_Project_Db store;
        write_filled(store, file);
        QVERIFY(kv_test_exec(file, "CREATE TRIGGER no_addr BEFORE INSERT ON KV_ADDR WHEN NEW.DATA LIKE '%2/1/3%' "
                                   "BEGIN SELECT RAISE(ABORT, 'kein Platz'); END"));
        store.m_project.m_str_name = "geändert";
        Trace_Capture trace;
        QVERIFY(!store.save(false));
        QVERIFY(trace.text().contains("SQLITE: kein Platz"));
        QCOMPARE(store.last_error(), std::string("kein Platz"));

        const auto contents = kv_test_table_contents(file);
        QCOMPARE(contents.at("KV_ADDR").size(), size_t(11));
        QVERIFY(contains(contents.at("KV_PROJECT")[0], "geändert"));
        QCOMPARE(contents.at("KV_GUI_Control").size(), size_t(6));
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
        QTest::newRow("directory") << QByteArray();
    }
    void bad_files_are_refused()
    {
        QFETCH(QByteArray, bytes);
        const std::string file = bytes.isEmpty() ? m_dir.path().toStdString() : path("bad.kvp");
        if (!bytes.isEmpty())
            std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes.toStdString();
        CKV_Project_Db store;
        Trace_Capture trace;
        QVERIFY(!store.load(file));
        QVERIFY(trace.text().contains("ERROR OPEN DATABASE: "));
        QVERIFY(!store.is_open());
        QVERIFY(!store.save(true));
        if (!bytes.isEmpty())
            QCOMPARE(read_bytes(file), bytes.toStdString());
    }

    // (A file cut short or zeroed in part is checked where the panel opens its
    // local project and where it takes a download.)

    void foreign_database_is_read_not_written()
    {
        const std::string file = path("foreign.sqlite");
        QVERIFY(kv_test_exec(file, "CREATE TABLE kunden(id INTEGER PRIMARY KEY, name TEXT); "
                                   "INSERT INTO kunden(name) VALUES('Meier')"));
        const std::string before = read_bytes(file);
        CKV_Project_Db store;
        Trace_Capture trace;
        QVERIFY(store.load(file));
        QVERIFY(trace.text().contains("SQLITE: no such table: KV_ADDR_HG"));
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
            CKV_Project_Db writer;
            write_filled(writer, file);
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
        QCOMPARE(store.m_addr.address_count(), size_t(12));
    }
};

QTEST_GUILESS_MAIN(TestKvProjectDb)
#include "tst_kv_project_db.moc"
