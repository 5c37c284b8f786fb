// The real client against the real controller simulator over loopback.
#include <QtTest>

#include <QImage>
#include <QTemporaryDir>

#include "kv_addr.h"
#include "kv_discovery.h"
#include "kv_network_client.h"
#include "kv_project_db.h"
#include "../core/records_test_util.h"
#include "kv_test_route.h"
#include "kvsim_process.h"

namespace {
const KV_Group_Address LIGHT{1, 2, 3};
const KV_Group_Address ROOM_TEMPERATURE{3, 0, 7};
const char* const SCENE_GUID = "{5c9d1a2e-0000-4000-8000-00000000c0de}";
const char* const CAMERA_GUID = "{5c9d1a2e-0000-4000-8000-0000000ca3e7}";
const char* const SNAPSHOT_GUID = "{5c9d1a2e-0000-4000-8000-00000005a4a7}";

// A small project: a light, a room temperature, a scene that switches the
// light off, a camera and a snapshot block.
bool write_project(const QString& path)
{
    CKV_Project_Db db;
    if (!db.load(path.toStdString()))
        return false;
    db.m_project.m_str_name = "Linktest";
    db.m_settings_knx.m_addr_src = "1.1.250";
    db.m_addr.add_address(KV_Addr_Db(fields("m_addr_write=1/2/3|m_data_typ=1")));
    db.m_addr.add_address(KV_Addr_Db(fields("m_addr_write=3/0/7|m_data_typ=5|m_data=0C33"))); // 21.5
    db.m_settings_scene.set_text(fields("scene_0_m_use_it=1|scene_0_m_str_name=Alles aus|scene_0_m_str_guid=" +
                                        std::string(SCENE_GUID) +
                                        "|scene_0_item_0_m_use_it=1|scene_0_item_0_m_addr=1/2/3|scene_0_item_0_m_value=0"));
    db.m_settings_ip_cam.set_text(fields("m_use_it_0=1|m_str_guid_0=" + std::string(CAMERA_GUID)));
    db.m_logic_pages.push_back(std::make_unique<KV_LOGIC_Page>());
    db.m_logic_pages[0]->m_str_guid = "{logic}";
    KV_LOGIC_Control snapshots;
    snapshots.m_str_guid = SNAPSHOT_GUID;
    snapshots.m_str_guid_parent_page = "{logic}";
    db.m_logic_pages[0]->add_control(snapshots);
    return db.save(true);
}

KV_Routes::_route route_to(quint16 port, const std::string& password = KV_DEFAULT_PASSWORD,
                           const std::string& user = KV_DEFAULT_USER)
{
    return test_route("kvsim", "127.0.0.1:" + std::to_string(port), user, password);
}

KV_Addr_Tgm read_request(const KV_Group_Address& address)
{
    KV_Addr_Tgm tgm;
    tgm.source_module = KV_MODULE_APP;
    tgm.dest_module = KV_MODULE_SERVER;
    tgm.command = KV_TGM_READ;
    tgm.dest_address[0] = address.main;
    tgm.dest_address[1] = address.middle;
    tgm.dest_address[2] = address.sub;
    tgm.m_data_length = 1;
    return tgm;
}

// A client that logs in as the main window does and records what arrives.
struct App_Side {
    CKV_Project_Db project;
    CKV_Studio_Network_Client client{&project};
    std::vector<uint32_t> ids;
    std::vector<KV_Addr_Tgm> netvars;
    QByteArray project_file;
    std::vector<QByteArray> pictures; // payloads of 203

    explicit App_Side(const KV_Routes::_route& route)
    {
        client.set_intervals(60000, 100);
        QObject::connect(&client, &CKV_Studio_Network_Client::onConnectClient, &client,
                         [this](bool connected, KV_Routes::_route r) {
                             if (connected)
                                 client.send_text(kv_msg::LOGIN, route_login_text(r));
                         });
        QObject::connect(&client, qOverload<CKV_Network_Msg*, uchar*>(&CKV_Studio_Network_Client::onDataReadClient),
                         &client, [this](CKV_Network_Msg* header, uchar* data) {
                             ids.push_back(header->id);
                             if (header->id == kv_msg::LOGIN_ACCEPTED)
                                 client.send(kv_msg::PROJECT_REQUEST);
                             if (header->id == kv_msg::FILE && header->data_length >= 256)
                                 project_file = QByteArray(reinterpret_cast<char*>(data), header->data_length);
                             if (header->id == kv_msg::CAMERA_IMAGE)
                                 pictures.emplace_back(reinterpret_cast<char*>(data), header->data_length);
                         });
        QObject::connect(&client, qOverload<KV_Addr_Tgm>(&CKV_Studio_Network_Client::onDataReadClient), &client,
                         [this](KV_Addr_Tgm tgm) {
                             project.m_addr.addresses_for_telegram(tgm);
                             netvars.push_back(tgm);
                         });
        client.connect_route(&route);
    }
    bool got(uint32_t id) const { return std::find(ids.begin(), ids.end(), id) != ids.end(); }
    const KV_Addr_Tgm* last_netvar_for(const KV_Group_Address& address) const
    {
        for (auto it = netvars.rbegin(); it != netvars.rend(); ++it)
            if (it->dest_address[0] == address.main && it->dest_address[1] == address.middle &&
                it->dest_address[2] == address.sub)
                return &*it;
        return nullptr;
    }
};

// Stores a downloaded project file (after its name field) and opens it.
bool open_download(const QByteArray& file_message, const QString& path, CKV_Project_Db& db)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(file_message.mid(KV_FILE_NAME_FIELD)) < 0)
        return false;
    file.close();
    return db.load(path.toStdString());
}
} // namespace

class TestKvsimLink : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_project_path;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_project_path = m_dir.filePath("linktest.kvp");
        QVERIFY(write_project(m_project_path));
    }

    void logs_in_downloads_and_exchanges_values()
    {
        Kvsim_Process sim;
        QVERIFY(sim.start({"--project", m_project_path}));
        App_Side app(route_to(sim.port));
        QTRY_VERIFY(app.got(kv_msg::ALL_SENT));
        // After the login: the project, the logged-in answer, every value, then "all sent".
        QCOMPARE(app.ids, (std::vector<uint32_t>{kv_msg::LOGIN_ACCEPTED, kv_msg::FILE_PROGRESS, kv_msg::FILE, kv_msg::LOGGED_IN, kv_msg::ALL_SENT}));
        QCOMPARE(app.netvars.size(), size_t(2));
        app.netvars.clear();

        // The boot project: name field, then a project file the store opens.
        QCOMPARE(QByteArray(app.project_file.constData()), QByteArray(KV_BOOT_PROJECT_FILE));
        QVERIFY(open_download(app.project_file, m_dir.filePath("received.kvp"), app.project));
        QCOMPARE(app.project.m_project.m_str_name, std::string("Linktest"));
        QCOMPARE(app.project.m_addr.address_count(), size_t(2));

        // A read is answered with the kept value.
        QVERIFY(app.client.send_netvar(read_request(ROOM_TEMPERATURE)));
        QTRY_VERIFY(app.last_netvar_for(ROOM_TEMPERATURE));
        QCOMPARE(app.last_netvar_for(ROOM_TEMPERATURE)->command, KV_TGM_RESPONSE);
        QCOMPARE(value_as_double(*app.project.m_addr.find_address(ROOM_TEMPERATURE)), 21.5);

        // A write reaches a second client as the bus echo (the writer's own
        // echo is checked through the main window).
        App_Side other(route_to(sim.port));
        QTRY_VERIFY(other.got(kv_msg::ALL_SENT));
        other.netvars.clear();
        QVERIFY(app.client.send_netvar(LIGHT, 1.0));
        QTRY_VERIFY(app.last_netvar_for(LIGHT) && other.last_netvar_for(LIGHT));
        QCOMPARE(other.last_netvar_for(LIGHT)->command, KV_TGM_WRITE);
        QCOMPARE(other.last_netvar_for(LIGHT)->value[0], uint8_t(1));

        // The simulator keeps it.
        app.netvars.clear();
        QVERIFY(app.client.send_netvar(read_request(LIGHT)));
        QTRY_VERIFY(app.last_netvar_for(LIGHT));
        QCOMPARE(app.last_netvar_for(LIGHT)->command, KV_TGM_RESPONSE);
        QCOMPARE(app.last_netvar_for(LIGHT)->value[0], uint8_t(1));

        // Starting the scene writes its items to everybody.
        app.netvars.clear();
        QVERIFY(app.client.send_text(kv_msg::SCENE_TEXT, SCENE_GUID));
        QTRY_VERIFY(app.last_netvar_for(LIGHT));
        QCOMPARE(app.last_netvar_for(LIGHT)->value[0], uint8_t(0));
        QCOMPARE(value_as_double(*app.project.m_addr.find_address(LIGHT)), 0.0);

        // Stored clock settings travel with the next download.
        KV_Settings_Clock clock;
        KV_Settings_Clock::Clock one;
        one.m_str_name = "Rollladen morgens";
        clock.m_list_clock.push_back(one);
        QVERIFY(app.client.send_text(kv_msg::CLOCK_SETTINGS, clock.encode()));
        QVERIFY(app.client.send(kv_msg::CLOCK_APPLY));
        QVERIFY(app.client.send(kv_msg::CLOCK_APPLY_2));
        app.project_file.clear();
        QVERIFY(app.client.send_text(kv_msg::FILE_REQUEST, KV_BOOT_PROJECT_FILE));
        QTRY_VERIFY(!app.project_file.isEmpty());
        CKV_Project_Db db;
        QVERIFY(open_download(app.project_file, m_dir.filePath("received2.kvp"), db));
        QCOMPARE(db.m_settings_clock.m_list_clock.size(), size_t(1));
        QCOMPARE(db.m_settings_clock.m_list_clock[0].m_str_name, std::string("Rollladen morgens"));

        // A camera of the project answers with a picture; an unknown one
        // does not answer at all (its answer would have come first).
        QVERIFY(app.client.send_text(kv_msg::CAMERA_REQUEST, "{no-such-camera}"));
        QVERIFY(app.client.send_text(kv_msg::CAMERA_REQUEST, CAMERA_GUID));
        QTRY_COMPARE(app.pictures.size(), size_t(1));
        const QByteArray prefix = QByteArray(CAMERA_GUID) + ';';
        QVERIFY(app.pictures[0].startsWith(prefix));
        QImage picture;
        QVERIFY(picture.loadFromData(app.pictures[0].mid(prefix.size()), "PNG"));

        // Stored snapshots of a snapshot block: an older one is another picture.
        QVERIFY(app.client.send_text(kv_msg::SNAPSHOT_REQUEST, "{no-such-block};0"));
        QVERIFY(app.client.send_text(kv_msg::SNAPSHOT_REQUEST, std::string(SNAPSHOT_GUID) + ";0"));
        QVERIFY(app.client.send_text(kv_msg::SNAPSHOT_REQUEST, std::string(SNAPSHOT_GUID) + ";3"));
        QTRY_COMPARE(app.pictures.size(), size_t(3));
        const QByteArray snapshot_prefix = QByteArray(SNAPSHOT_GUID) + ';';
        QImage newest;
        QImage older;
        QVERIFY(app.pictures[1].startsWith(snapshot_prefix) && app.pictures[2].startsWith(snapshot_prefix));
        QVERIFY(newest.loadFromData(app.pictures[1].mid(snapshot_prefix.size()), "PNG"));
        QVERIFY(older.loadFromData(app.pictures[2].mid(snapshot_prefix.size()), "PNG"));
        QVERIFY(newest != older);

        // Another file name is not there.
        QVERIFY(app.client.send_text(kv_msg::FILE_REQUEST, "other.kvp"));
        QTRY_VERIFY(app.got(kv_msg::FILE_MISSING));
    }

    void login_is_checked()
    {
        Kvsim_Process sim;
        QVERIFY(sim.start({"--project", m_project_path, "--user", "admin", "--password", "geheim"}));
        App_Side refused(route_to(sim.port, KV_DEFAULT_PASSWORD, "admin"));
        QTRY_VERIFY(refused.got(kv_msg::LOGIN_REFUSED));
        QVERIFY(!refused.got(kv_msg::FILE));
        App_Side accepted(route_to(sim.port, "geheim", "admin"));
        QTRY_VERIFY(accepted.got(kv_msg::LOGGED_IN));
    }
};

QTEST_GUILESS_MAIN(TestKvsimLink)
#include "tst_kvsim_link.moc"
