// Camera and weather views: the weather station's texts, images and scale
// positions per value; the camera's requests only on a visible live page and
// released camera, the pictures it takes (its own GUID only) and its status
// pictures; the snapshot view's requests and trigger; the online weather
// view before and with data.

#include <QBuffer>
#include <QPushButton>
#include <QtTest>

#include "kv_tile_test.h"
#include "kv_gui_cam.h"
#include "kv_gui_factory.h"
#include "kv_gui_tiles.h"
#include "kv_gui_weather.h"
#include "kv_network_msg.h"

namespace {
using Cam = CKV_Gui_Control_App_IP_Cam;
using Status = CKV_Gui_Control_App_IP_Cam::Status;

constexpr uint32_t BIT = 1;
constexpr uint32_t FLOAT4 = 9;
const std::vector<KV_Group_Address> STATION = {{4, 0, 1}, {4, 0, 2}, {4, 0, 3}, {4, 0, 4}};
const KV_Group_Address RELEASE{6, 1, 3};
const std::string CAMERA = "{cam-einfahrt}";

QByteArray png(const QColor& colour, int width = 8, int height = 6)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// Hands a controller message to the page's controls, as the window does.
void deliver(KV_Test_Page& p, uint32_t id, const QByteArray& payload)
{
    CKV_Network_Msg header = kv_make_header(id, uint32_t(payload.size()));
    QByteArray padded = payload;
    padded.resize(qsizetype(header.size), '\0');
    p.host.dispatch().on_message(header, reinterpret_cast<const unsigned char*>(padded.constData()));
}

// The texts sent with one message id, by default the camera's request.
std::vector<std::string> requests(const KV_Fake_Host& host, uint32_t message = 202)
{
    std::vector<std::string> texts;
    for (const auto& [id, text] : host.texts_sent)
        if (id == message)
            texts.push_back(text);
    return texts;
}

void camera(KV_Test_Page& p, const KV_Params& extra = {}, bool with_release = true)
{
    p.host.add_address(RELEASE, BIT);
    KV_Params params = {{"GUID", CAMERA}, {"Interval in s", "2"}};
    params.insert(params.end(), extra.begin(), extra.end());
    p.add(116, "{cam}", with_release ? std::vector<KV_Group_Address>{RELEASE} : std::vector<KV_Group_Address>{},
          params, 320, 200);
}
} // namespace

class tst_cam_weather : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { kv_register_tile_controls(); }

    void station_shows_each_value()
    {
        KV_Test_Page p;
        for (int i = 0; i < 3; ++i)
            p.host.add_address(STATION[size_t(i)], FLOAT4);
        p.host.add_address(STATION[3], BIT);
        p.add(1519, "{ws}", STATION, {}, 400, 200);
        p.build();
        auto* station = p.control<CKV_Gui_Control_App_WS_Anzeige>("{ws}");
        const char* grey = ":/images/icons/beschattung_sonne_grau.png";
        const char* yellow = ":/images/icons/beschattung_sonne_gelb.png";
        // Scales: temperature -10 .. 40, wind 0 .. 80; the sun from 1000 lux.
        const struct {
            double temperature, lux, wind, rain;
            const char* temperature_text;
            double temperature_at;
            const char *lux_text, *sun, *wind_text;
            double wind_at;
        } cases[] = {
            {15.0, 30000.0, 20.0, 0.0, "15.0 °C", 0.5, "30000 Lux", yellow, "20 km/h", 0.25},
            {-10.0, 0.0, 0.0, 1.0, "-10.0 °C", 0.0, "0 Lux", grey, "0 km/h", 0.0},
            {0.0, 999.0, 40.0, 0.0, "0.0 °C", 0.2, "999 Lux", grey, "40 km/h", 0.5},
            {45.5, 1000.0, 120.0, 1.0, "45.5 °C", 1.0, "1000 Lux", yellow, "120 km/h", 1.0},
        };
        for (const auto& c : cases) {
            p.host.set_value(STATION[0], c.temperature);
            p.host.set_value(STATION[1], c.lux);
            p.host.set_value(STATION[2], c.wind);
            p.host.set_value(STATION[3], c.rain);
            QCOMPARE(station->temperature_text(), QString::fromUtf8(c.temperature_text));
            QCOMPARE(station->temperature_fraction(), c.temperature_at);
            QCOMPARE(station->brightness_text(), QString::fromUtf8(c.lux_text));
            QCOMPARE(station->sun_image_name(), QString::fromUtf8(c.sun));
            QCOMPARE(station->wind_text(), QString::fromUtf8(c.wind_text));
            QCOMPARE(station->wind_fraction(), c.wind_at);
            QCOMPARE(station->rain_text(), c.rain ? QStringLiteral("Regen") : QStringLiteral("kein Regen"));
            QCOMPARE(station->rain_image_name(), c.rain ? QStringLiteral(":/images/icons/ws_regen_dunkel.png")
                                                        : QStringLiteral(":/images/icons/ws_kein_regen.png"));
            QVERIFY(!QPixmap(station->sun_image_name()).isNull());
            QVERIFY(!QPixmap(station->rain_image_name()).isNull());
            station->grab(); // paints without the images or values going astray
        }
    }

    void camera_requests_only_while_visible_on_a_live_page()
    {
        KV_Test_Page p;
        camera(p);
        p.host.running = false;
        p.build();
        p.host.set_value(RELEASE, 1);
        auto* cam = p.control<Cam>("{cam}");
        cam->tick();
        QVERIFY(requests(p.host).empty()); // editor: no traffic
        QVERIFY(!cam->is_refreshing());

        p.host.running = true;
        p.area->hide();
        cam->tick();
        cam->apply_record();
        QVERIFY(requests(p.host).empty()); // hidden page: no traffic
        QVERIFY(!cam->is_refreshing());

        p.area->show();
        QCOMPARE(requests(p.host), std::vector<std::string>{CAMERA}); // at once on becoming visible
        QVERIFY(cam->is_refreshing());
        QCOMPARE(cam->interval_ms(), 2000);
        cam->tick();
        cam->tick();
        QCOMPARE(requests(p.host), std::vector<std::string>(3, CAMERA)); // one per interval

        p.area->hide();
        QVERIFY(!cam->is_refreshing()); // the timer stops with the page
        cam->tick();
        QCOMPARE(requests(p.host).size(), size_t(3));
    }

    void camera_takes_pictures_of_its_own_guid_only()
    {
        KV_Test_Page p;
        camera(p, {}, false);
        p.build();
        auto* cam = p.control<Cam>("{cam}");
        QCOMPARE(cam->status(), Status::Connecting);
        QCOMPARE(cam->status_image_name(), QString(":/images/icons/kamera_verbinden_weiss.png"));

        deliver(p, kv_msg::CAMERA_IMAGE, "{other-cam};" + png(Qt::red));
        QVERIFY(cam->image().isNull());
        QCOMPARE(cam->status(), Status::Connecting);

        deliver(p, kv_msg::CAMERA_IMAGE, QByteArray::fromStdString(CAMERA) + ";" + png(Qt::blue, 8, 6));
        QCOMPARE(cam->image().size(), QSize(8, 6));
        QCOMPARE(cam->image().pixelColor(3, 3), QColor(Qt::blue));
        QCOMPARE(cam->status(), Status::Showing);
        QVERIFY(cam->status_image_name().isEmpty());
        cam->grab();

        // Pictures stop coming: interrupted after several intervals.
        for (int i = 0; i < Cam::MISSED_INTERVALS; ++i)
            cam->tick();
        QCOMPARE(cam->status(), Status::Interrupted);
        QCOMPARE(cam->status_image_name(), QString(":/images/icons/kamera_unterbrechung_weiss.png"));
        deliver(p, kv_msg::CAMERA_IMAGE, QByteArray::fromStdString(CAMERA) + ";" + png(Qt::green));
        QCOMPARE(cam->status(), Status::Showing);

        // The controller reports its failure for another camera, then for this one.
        deliver(p, kv_msg::CAMERA_FAILED, "{other-cam};Zeitüberschreitung");
        QCOMPARE(cam->status(), Status::Showing);
        deliver(p, kv_msg::CAMERA_FAILED, QByteArray::fromStdString(CAMERA) + ";Zeitüberschreitung");
        QCOMPARE(cam->status(), Status::Interrupted);
        QCOMPARE(cam->info_text(), QString("Zeitüberschreitung"));

        // A tap opens the large picture.
        KV_Test_Page::click(cam);
        QVERIFY(cam->overlay());
        QCOMPARE(cam->overlay()->state(), CKV_Gui_Control_Tile_Overlay_Base::State::Sliding);
    }

    // Locked by the release input, plain or inverted.
    void camera_locked_by_release()
    {
        for (const auto& [invert, locking] : {std::pair{"0", 0.0}, std::pair{"1", 1.0}}) {
            KV_Test_Page p;
            camera(p, {{"Freigabe invertieren", invert}, {"Status Icon", "1"}, {"Popup anzeigen", "1"}});
            p.host.set_value(RELEASE, locking);
            p.build();
            auto* cam = p.control<Cam>("{cam}");
            QCOMPARE(cam->status(), Status::Locked);
            QCOMPARE(cam->status_image_name(), QString(":/images/icons/kamera_gesperrt_grau.png"));
            QVERIFY(requests(p.host).empty());
            QVERIFY(!cam->is_refreshing());
            deliver(p, kv_msg::CAMERA_IMAGE, QByteArray::fromStdString(CAMERA) + ";" + png(Qt::red));
            QVERIFY(cam->image().isNull()); // no picture while locked
            KV_Test_Page::click(cam);
            QVERIFY(!cam->overlay());

            // Released: asks at once and connects.
            QVERIFY(p.send(RELEASE, uint8_t(1 - locking)) > 0);
            QCOMPARE(requests(p.host), std::vector<std::string>{CAMERA});
            QVERIFY(cam->is_refreshing());
            QCOMPARE(cam->status(), Status::Connecting);
            QCOMPARE(cam->status_image_name(), QString(":/images/icons/kamera_verbinden_grau.png"));
            deliver(p, kv_msg::CAMERA_IMAGE, QByteArray::fromStdString(CAMERA) + ";" + png(Qt::red));
            QCOMPARE(cam->status(), Status::Showing);

            // Locked again: the picture goes, the requests stop.
            QVERIFY(p.send(RELEASE, uint8_t(locking)) > 0);
            QCOMPARE(cam->status(), Status::Locked);
            QVERIFY(cam->image().isNull());
            QVERIFY(!cam->is_refreshing());
        }
    }

    void snapshots_requested_one_by_one()
    {
        const std::vector<KV_Group_Address> inputs = {{6, 1, 4}, {6, 1, 5}, {6, 1, 6}};
        KV_Test_Page p;
        p.host.add_address(inputs[0], BIT);
        p.host.add_address(inputs[1], BIT);
        p.host.add_address(inputs[2], FLOAT4);
        p.add(1116, "{snap}", inputs, {{"GUID", "{snap-block}"}}, 300, 70);
        p.build();
        auto* snap = p.control<CKV_Gui_Control_App_IP_Cam_Snapshot>("{snap}");
        const auto snapshot_requests = [&p] { return requests(p.host, 1208); };

        KV_Test_Page::click(snap);
        QVERIFY(snap->overlay());
        QVERIFY(snapshot_requests().empty()); // none stored yet

        p.host.set_value(inputs[2], 3);
        snap->show_snapshot(0);
        snap->show_snapshot(1);
        snap->show_snapshot(7); // beyond the oldest
        snap->show_snapshot(-2);
        QCOMPARE(snapshot_requests(), (std::vector<std::string>{"{snap-block};0", "{snap-block};1", "{snap-block};2",
                                                                 "{snap-block};0"}));

        deliver(p, kv_msg::CAMERA_IMAGE, "{cam-einfahrt};" + png(Qt::red));
        QVERIFY(snap->image().isNull());
        deliver(p, kv_msg::CAMERA_IMAGE, "{snap-block};" + png(Qt::yellow, 5, 4));
        QCOMPARE(snap->image().size(), QSize(5, 4));
        snap->grab();

        // The panel's button takes a new snapshot through the trigger input;
        // the other one clears them through the reset input.
        QVERIFY(!snap->overlay()->reset_button()->isHidden());
        snap->overlay()->trigger_button()->click();
        snap->overlay()->reset_button()->click();
        QCOMPARE(p.host.sent_pairs(), (std::vector<std::pair<KV_Group_Address, double>>{{inputs[0], 1.0},
                                                                                         {inputs[1], 1.0}}));

        // Without a reset input there is no reset to offer.
        KV_Test_Page q;
        q.host.add_address(inputs[0], BIT);
        q.add(1116, "{snap}", {inputs[0]}, {{"GUID", "{snap-block}"}}, 300, 70);
        q.build();
        auto* plain = q.control<CKV_Gui_Control_App_IP_Cam_Snapshot>("{snap}");
        KV_Test_Page::click(plain);
        QVERIFY(plain->overlay()->reset_button()->isHidden());
    }

    void weather_follows_the_block_the_controller_updates()
    {
        KV_Test_Page p;
        add_block(p.host, "{ow}", 0, {{"Ort", "Freiburg"}});
        p.add(1124, "{weather}", {}, {{"ID", "{ow}"}}, 400, 236);
        p.build();
        auto* weather = p.control<CKV_Gui_Control_App_Open_Weather>("{weather}");
        QVERIFY(!weather->has_data());
        QCOMPARE(weather->lines(), QStringList{"Lade Daten\nBitte warten\n..."});
        KV_Test_Page::click(weather);
        QVERIFY(!weather->popup()); // nothing to show yet
        weather->grab();

        // The controller filled the block's data in.
        CTRL_Settings_Open_Weather_Current now;
        now.m_time = QDateTime(QDate(2026, 7, 4), QTime(9, 5)).toSecsSinceEpoch();
        now.m_temp = 23.4;
        now.m_wind = 11.6;
        now.m_icon = "01d";
        now.m_description = "klar";
        now.m_source = "Wetterdienst";
        CTRL_Settings_Open_Weather_Forecast days;
        CTRL_Settings_Open_Weather_Forecast::Day saturday;
        saturday.m_time = now.m_time;
        saturday.m_temp_min = 14;
        saturday.m_temp_max = 27;
        saturday.m_humidity = 61.2;
        saturday.m_clouds = 20;
        saturday.m_wind_max = 30.4;
        days.m_days = {saturday, saturday};
        days.m_days[1].m_time += 86400;
        p.host.blocks[0]->m_list_param.push_back({"Aktuell", kv_weather_param(now)});
        p.host.blocks[0]->m_list_param.push_back({"Vorhersage", kv_weather_param(days)});
        // As the block travels in the project: its record text must still
        // hold whole parameters after an encode and decode.
        const std::string text = p.host.blocks[0]->encode();
        *p.host.blocks[0] = KV_LOGIC_Control(text);
        // The window keeps the block the controller sends (602), then hands
        // the message on: only the message for the view's own block counts.
        KV_LOGIC_Control other;
        other.m_str_guid = "{other}";
        deliver(p, kv_msg::BLOCK_CHANGED, QByteArray::fromStdString(other.encode()));
        QVERIFY(!weather->has_data());
        deliver(p, kv_msg::BLOCK_CHANGED, QByteArray::fromStdString(text));

        QVERIFY(weather->has_data());
        QCOMPARE(weather->lines(), (QStringList{"Online Wetter", "23.4 °C klar", "Wind 12 km/h", "09:05",
                                                "( Daten von: Wetterdienst, 04.07.2026 09:05 )"}));
        const QStringList texts = weather->day_texts();
        QCOMPARE(texts.size(), 2);
        QCOMPARE(texts[0], QString("Samstag 4 Juli\n14.0 °C / 27.0 °C\nDurchschnittliche Luftfeuchte: 61 %\n"
                                   "Durchschnittliche Bewölkung: 20 %\nWind Maximalwert: 30 km/h"));
        QVERIFY(texts[1].startsWith("Sonntag 5 Juli\n"));
        QCOMPARE(kv_weather_image_name("01d"), QString(":/images/icons/ow_01d.png"));
        QCOMPARE(kv_weather_image_name("77x"), QString(":/images/icons/ow_09d.png"));
        weather->grab();
        KV_Test_Page::click(weather);
        QVERIFY(weather->popup());
    }
};

QTEST_MAIN(tst_cam_weather)
#include "tst_cam_weather.moc"
