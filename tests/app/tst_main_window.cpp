// The app main window without a controller: the local project at start,
// title texts, which pages a user sees, orientation rules, navigation,
// the full-screen menu, fixed sizes, the weekly version check, a large
// page that fills a batch of controls per turn, and image controls on the
// window's image cache: images decoded from the project's stored files (PNG
// and SVG), shared by every control, and a missing image drawn as the
// placeholder with one trace line however many controls and paints ask.

#include <QAction>
#include <QBuffer>
#include <QCheckBox>
#include <QFile>
#include <QMenuBar>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QRadioButton>
#include <QSettings>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "../net/kv_test_http_responder.h"
#include "../net/test_controller.h"
#include "../visu/kv_fake_host.h"
#include "kv_app_context.h"
#include "kv_device_display.h"
#include "kv_dlg_zielsystem.h"
#include "kv_dlg_zielsysteminfo.h"
#include "kv_dlg_settings.h"
#include "kv_gui_container.h"
#include "kv_gui_image.h"
#include "kv_gui_value_dispatch.h"
#include "kv_image_cache.h"
#include "kv_page_builder.h"
#include "kv_page_rules.h"
#include "kv_style.h"
#include "kv_studio_main_app.h"
#include "kv_test_main_project.h"
#include "kv_test_settings_home.h"
#include "kv_trace_capture.h"

namespace {
// Records the information boxes instead of showing them.
class Test_Window : public CKV_Studio_Main_App {
public:
    QStringList informations;

    QAction* menu_action(const QString& menu_text, const QString& text) const
    {
        for (QAction* menu : menuBar()->actions())
            if (menu->text() == menu_text)
                for (QAction* action : menu->menu()->actions())
                    if (action->text() == text)
                        return action;
        return nullptr;
    }

protected:
    void show_information(const QString& text) override { informations << text; }
};

struct Key_Count : QObject {
    int presses = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        presses += event->type() == QEvent::KeyPress;
        return false;
    }
};

std::vector<unsigned char> png_of(const QColor& colour)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    KV_Fake_Host::filled(colour, 8, 8).save(&buffer, "PNG");
    return {bytes.begin(), bytes.end()};
}

std::vector<unsigned char> bytes_of(const char* text)
{
    return {text, text + strlen(text)};
}

// The window's image lookup over a real project file.
class Cache_Host : public KV_Fake_Host {
public:
    explicit Cache_Host(CKV_Project_Db& project)
        : cache(project)
    {
    }
    QPixmap image(const QString& name) override { return cache.image(name); }
    KV_Image_Cache cache;
};

QRgb centre_pixel(QWidget* widget)
{
    const QImage picture = widget->grab().toImage();
    return picture.pixel(picture.rect().center());
}
} // namespace

class tst_main_window : public QObject {
    Q_OBJECT

    QString working_dir() const { return m_dir.path() + QStringLiteral("/"); }
    QString local_path() const { return working_dir() + QStringLiteral("kv_app.kvp"); }

    KV_Test_Settings_Home m_home;
    QTemporaryDir m_dir;

private slots:
    void init()
    {
        QVERIFY(m_home.isValid() && m_dir.isValid());
        KV_Test_Settings_Home::reset_common(working_dir());
        KV_Test_Settings_Home::clear(QStringLiteral("kirovantor3"), QStringLiteral("Global"));
        QFile::remove(local_path());
    }

    void page_visibility_rules()
    {
        // Whole names, case and all; root sees every page.
        const std::tuple<const char*, const char*, bool> rules[] = {
            {"", "", true},           {"anna;bert", "bert", true}, {"anna;bert", "Anna", false}, {"anna;bert", "ann", false},
            {"anna;bert", "", false}, {"anna", "root", true},      {"root2", "Root", false}};
        for (const auto& [users, user, seen] : rules) {
            KV_GUI_Page page;
            page.m_str_users = users;
            QVERIFY2(kv_page_visible_to(page, user) == seen, user);
        }

        // The window builds only the pages of the active route's user.
        const std::vector<Test_Page> pages{{"{p-all}", ""}, {"{p-anna}", "anna;bert"}, {"{p-carl}", "carl"}};
        QVERIFY(write_test_project(local_path(), "Haus", pages, {test_route("Panel", "10.0.0.1", "bert")}));
        Test_Window window;
        QTRY_COMPARE(window.canvases().size(), 2); // the pages after the first follow from the event loop
        QCOMPARE(window.page_order(), (std::vector<std::string>{"{p-all}", "{p-anna}"}));
    }

    void start_creates_or_replaces_the_local_project()
    {
        QString guid;
        {
            Test_Window window;
            QCOMPARE(window.project().m_project.m_str_name, std::string("kv_app.kvp"));
            guid = QString::fromStdString(window.project().m_project.m_str_guid);
            QCOMPARE(guid.size(), 38);
            QCOMPARE(guid, guid.toLower());
            QCOMPARE(window.windowTitle(), QStringLiteral("kirovantor3 3.01 [kv_app] - [offline] "));
            QCOMPARE(kv_app().project, &window.project());
        }
        QVERIFY(!kv_app().main_window);
        {
            Test_Window window; // the second start opens the same file
            QCOMPARE(QString::fromStdString(window.project().m_project.m_str_guid), guid);
        }
        QFile file(local_path());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(2048, 'z'));
        file.close();
        // An unreadable file is set aside (what is kept of it: see the local
        // project's test) for a fresh project, and the user told.
        Test_Window window;
        QVERIFY(QString::fromStdString(window.project().m_project.m_str_guid) != guid);
        QCOMPARE(window.current_view(), int(CKV_Studio_Main_App::View_Status));
        QVERIFY(window.is_status_panel_shown());
        QVERIFY(window.target_dialog()->info()->text().contains(QStringLiteral("beiseitegelegt")));
    }

    void chosen_working_directory_is_created_or_named_data()
    {
        QTest::addColumn<QString>("dir"); // below the test's folder
        QTest::addColumn<bool>("writable");
        QTest::newRow("not there yet") << "gewaehlt/kv/" << true;
        QTest::newRow("below a file") << "datei/kv/" << false;
    }

    void chosen_working_directory_is_created_or_named()
    {
        QFETCH(QString, dir);
        QFETCH(bool, writable);
        QFile file(working_dir() + QStringLiteral("datei"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        const QString chosen = working_dir() + dir;
        KV_Test_Settings_Home::reset_common(chosen);
        Test_Window window;
        QCOMPARE(QFile::exists(chosen + QStringLiteral("kv_app.kvp")), writable);
        if (writable) {
            QTest::qWait(100);
            QVERIFY(window.informations.isEmpty());
        } else {
            // Told once the window runs, naming the folder.
            QTRY_COMPARE(window.informations.size(), 1);
            QVERIFY(window.informations.first().contains(QStringLiteral("\"%1\"").arg(chosen)));
        }
    }

    void orientation_filters_pages()
    {
        QVERIFY(write_test_project(local_path(), "Haus", {{"{v}", "", true}, {"{h}", "", false}}, {}));
        Test_Window window;
        QCOMPARE(window.page_orientation(), window.screen_orientation()); // mixed pages follow the screen
        window.show();
        window.slot_ver();
        window.goHomePage();
        QCOMPARE(window.page_orientation(), KV_ORIENTATION_PORTRAIT);
        QCOMPARE(window.current_page(), 0);
        window.goPage(1); // horizontal: not in portrait
        window.goNextPage();
        QCOMPARE(window.current_page(), 0);

        window.slot_hor();
        QCOMPARE(window.current_page(), 1); // the vertical page gave way
        window.goPage(std::string("{v}"));
        QCOMPARE(window.current_page(), 1);

        // The screen turning counts like the menu; inverted forms count as their kind.
        window.slot_orientationChanged(Qt::InvertedPortraitOrientation);
        QCOMPARE(window.page_orientation(), KV_ORIENTATION_PORTRAIT);
        QCOMPARE(window.current_page(), 0);
        window.slot_orientationChanged(Qt::InvertedLandscapeOrientation);
        QCOMPARE(window.page_orientation(), KV_ORIENTATION_LANDSCAPE);
    }

    void uniform_pages_set_the_orientation()
    {
        QVERIFY(write_test_project(local_path(), "Haus", {{"{v1}", "", true}, {"{v2}", "", true}}, {}));
        QCOMPARE(Test_Window().page_orientation(), KV_ORIENTATION_PORTRAIT);
    }

    void history_goes_back_and_ignores_an_empty_history()
    {
        QVERIFY(write_test_project(local_path(), "Haus", {{"{a}"}, {"{b}"}, {"{c}"}}, {}));
        Test_Window window;
        QTRY_COMPARE(window.canvases().size(), 3);
        window.slot_hor();
        window.show();
        window.goNextPage();
        window.goPage(2);
        QCOMPARE(window.page_history(), (QList<int>{0, 1}));
        window.goPrevPage();
        QCOMPARE(window.current_page(), 1);
        window.goPrevPage();
        window.goPrevPage(); // nothing left to go back to
        QCOMPARE(window.current_page(), 0);
    }

    void full_screen_menu_follows_double_clicks_on_free_areas()
    {
        QVERIFY(write_test_project(local_path(), "Haus", {{"{a}"}}, {}));
        // Windowed the menu stays; full screen hides it until a double click.
        for (const bool full_screen : {false, true}) {
            QSettings(QStringLiteral("kirovantor3"), QStringLiteral("Common")).setValue("_m_app_full_screen", int(full_screen));
            Test_Window window;
            window.show();
            window.goHomePage();
            for (int clicks = 0; clicks < 3; ++clicks) {
                QCOMPARE(window.menuBar()->isVisible(), !full_screen || clicks % 2 == 1);
                QTest::mouseDClick(window.canvases().first(), Qt::LeftButton);
            }
        }
    }

    void fixed_size_language_and_support_menus()
    {
        kv_app().dirs.program_dir = working_dir() + QStringLiteral("nowhere/");
        Test_Window window;
        QAction* pad = window.menu_action(QStringLiteral("Fixe Größe"), QStringLiteral("iPad Mini (768x1024)"));
        QVERIFY(pad);
        window.slot_ver();
        window.slot_extras_sizes(pad);
        QCOMPARE(window.device_display(), iPad_Mini);
        QCOMPARE(window.maximumSize(), QSize(768, 1024));
        window.slot_hor();
        QCOMPARE(window.maximumSize(), QSize(1024, 768));

        QAction* english = window.menu_action(QStringLiteral("Sprache"), QStringLiteral("English (English)"));
        QVERIFY(english);
        window.slot_extras_lang(english);
        QCOMPARE(window.informations,
                 QStringList{QStringLiteral("Anwendung muss neu gestartet werden damit Änderungen wirksam werden")});
        QCOMPARE(QSettings(QStringLiteral("kirovantor3"), QStringLiteral("Global")).value(QStringLiteral("m_str_language_main")).toString(),
                 QStringLiteral("en"));

        window.informations.clear();
        window.slot_help_quick();
        QTRY_COMPARE(window.informations, QStringList{QStringLiteral("Fehler beim Aufruf von \"TeamViewerQS.exe\"")});
    }

    // What the controller sends, from a stand-in controller on the other end
    // of the link, and what the window makes of it.
    void controller_messages_through_the_link()
    {
        Test_Controller peer;
        const std::string address = "127.0.0.1:" + std::to_string(peer.port());
        QVERIFY(write_test_project(local_path(), "Lokal", {{"{l}"}}, {test_route("Peer", address)}));
        Test_Window window; // connects to the active route by itself
        window.set_tick_intervals(3600000, 3600000);
        const auto received = [&peer](uint32_t id) {
            return std::count_if(peer.received.begin(), peer.received.end(), [id](auto& m) { return m.id == id; });
        };
        QTRY_COMPARE_WITH_TIMEOUT(received(kv_msg::LOGIN), 1, 5000);
        CKV_Dlg_App_Zielsysteminfo* panel = window.target_dialog()->info();
        auto* push = window.findChild<QCheckBox*>(QStringLiteral("m_checkBox_push"));
        KV_Project record;
        record.m_str_name = "Vom Controller";
        record.m_str_guid = "{5e0c0000-0000-4000-8000-000000000030}";
        const auto status = [&](const char* title, const char* text) {
            return window.current_view() == int(CKV_Studio_Main_App::View_Status) && panel->title() == title &&
                   panel->text() == text && !window.target_dialog()->is_connect_timer_active();
        };
        struct Step {
            uint32_t id;
            std::string payload;
            std::function<bool()> done;
        };
        const Step steps[] = {
            {kv_msg::ONLINE_ACCEPTED, "SN-42",
             [&] {
                 // The second login names the serial and speaks the first one's version.
                 const std::string& login = peer.received.back().payload;
                 return received(kv_msg::LOGIN) == 2 && login.find("m_str_serial\x02SN-42") != std::string::npos &&
                        login.find("m_communication_version\x02" "1\x03") != std::string::npos &&
                        window.project().m_routes.active_route()->m_str_serial == "SN-42" && window.project_timeout() > 0;
             }},
            // Logged in: the project is asked for, and 28 starts its progress bar.
            {kv_msg::LOGIN_ACCEPTED, "", [&] { return received(kv_msg::PROJECT_REQUEST) == 1; }},
            {kv_msg::FILE_PROGRESS, KV_BOOT_PROJECT_FILE + std::string(";1000"),
             [&] { return window.project_timeout() == 0 && panel->progress() == 0; }},
            {kv_msg::ONLINE_SERIAL_WRONG, "",
             [&] {
                 return status("Seriennummer nicht korrekt",
                               "Bitte bearbeiten Sie ihre Route und fügen Sie eine korrekte Seriennummer ein!");
             }},
            {kv_msg::ONLINE_PASSWORD_WRONG, "",
             [&] {
                 return status("Passwort für den Onlinezugang nicht korrekt",
                               "Bitte bearbeiten Sie ihre Route und benutzen Sie die Zugangsdaten von ZRQ-Connect!");
             }},
            {kv_msg::ONLINE_NOT_REGISTERED, "",
             [&] { return status("", "Leider konnte sich die App nicht mit dem Zielsystem verbinden."); }},
            {kv_msg::ONLINE_SERIALS, "SN-1;SN-2",
             [&] {
                 return status("Mehrere Seriennummer mit E-Mail Adresse verknüpft",
                               "Bitte bearbeiten Sie ihre Route und fügen Sie eine Seriennummer hinzu!");
             }},
            {kv_msg::FILE_MISSING, "",
             [&] { return status("", "Leider konnte das Projekt nicht vom Zielsystem geladen werden."); }},
            {kv_msg::PROJECT_RECORD, record.encode(),
             [&] { return window.project().m_project.m_str_name == "Vom Controller"; }},
            {kv_msg::ALL_SENT, "", [&] { return received(kv_msg::ALL_SENT_ANSWER) == 1 && received(kv_msg::READY) == 1; }},
            {kv_msg::MAIN_SWITCH, "1", [&] { return push->isChecked(); }},
            {kv_msg::MAIN_SWITCH, "0", [&] { return !push->isChecked(); }},
        };
        for (const Step& step : steps) {
            peer.send(step.id, step.payload.empty() ? step.payload : step.payload + '\0');
            QTRY_VERIFY2_WITH_TIMEOUT(step.done(), qPrintable(QString::number(step.id)), 5000);
        }
        // The push toggle, enabled by the connection, asks the controller, which answers with 1103.
        push->click();
        QTRY_VERIFY_WITH_TIMEOUT(received(kv_msg::MAIN_SWITCH) == 1, 5000);
        QCOMPARE(peer.received.back().payload, std::string("1", 2));
    }

    // A style chosen in the settings view is applied and tints the navigation icons anew.
    void style_choice_retints_the_navigation_icons()
    {
        Test_Window window;
        window.show();
        const auto icon = [&window] { return window.status_button()->icon().pixmap(24).toImage(); };
        const QImage light = icon();
        window.findChild<QRadioButton*>(QStringLiteral("m_radioButton_dark"))->click();
        QCOMPARE(qApp->styleSheet(), kv_read_style_sheet(kv_app_style_path(KV_STYLE_DARK)));
        QVERIFY(icon() != light);
        window.findChild<QRadioButton*>(QStringLiteral("m_radioButton_light"))->click();
        QCOMPARE(icon(), light);
    }

    void version_check_runs_weekly_only_when_enabled()
    {
        // The check goes through a local proxy that refuses it: no request leaves the machine.
        KV_Test_Http_Responder proxy(404, {});
        Test_Window window; // the stored settings start no check
        auto* manager = window.settings().findChild<QNetworkAccessManager*>();
        QVERIFY(manager);
        manager->setProxy(QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), proxy.port()));
        window.set_tick_intervals(3600000, 3600000); // the test gives the 1-s ticks itself
        const auto ticks = [&window](int count) {
            for (int i = 0; i < count; ++i)
                window.tick(1000);
        };
        constexpr int period = CKV_Studio_Main_App::VERSION_CHECK_PERIOD_S;

        // Switched off: the week runs out and starts again without a request
        // (a count started wrong shows as an early request below).
        ticks(period);
        QTest::qWait(300);
        QVERIFY(proxy.paths().isEmpty());

        // Switched on: a request only at the end of the week, to the version server.
        window.settings().m_check_version_ = 1;
        window.settings().m_str_version_url = QStringLiteral("https://versions.kv.test/version.txt");
        ticks(period - 1);
        QTest::qWait(300);
        QVERIFY(proxy.paths().isEmpty());
        ticks(1);
        QCOMPARE(window.version_countdown(), period);
        QTRY_COMPARE_WITH_TIMEOUT(proxy.paths(), QStringList(QStringLiteral("versions.kv.test:443")), 5000);
    }

    void a_large_page_fills_over_several_turns_with_input_in_between()
    {
        constexpr int COUNT = 400;
        KV_Fake_Host host;
        KV_GUI_Page& page = host.add_page("{big}");
        for (int i = 0; i < COUNT; ++i)
            KV_Fake_Host::add_control(page, 0, "{c" + std::to_string(i) + "}");
        QStackedWidget stack;
        stack.show();
        KV_Page_Builder builder(host, stack, nullptr);
        builder.build({&page}, KV_ORIENTATION_LANDSCAPE, false);

        Key_Count keys;
        stack.installEventFilter(&keys);
        QCoreApplication::postEvent(&stack, new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier));
        QTRY_COMPARE(keys.presses, 1);
        QVERIFY(!builder.ready());
        QCOMPARE(builder.canvases().size(), 1); // shown while its controls follow
        QVERIFY(builder.canvases()[0]->controls().size() < COUNT);
        QTRY_VERIFY(builder.ready());
        QCOMPARE(builder.canvases()[0]->controls().size(), COUNT);
    }

    void images_from_the_project_and_the_placeholder()
    {
        QTemporaryDir dir;
        CKV_Project_Db project;
        QVERIFY(project.load(dir.filePath("bilder.kvp").toStdString()));
        QVERIFY(project.put_file("rot.png", png_of(Qt::red)));
        QVERIFY(project.put_file("blau.svg", bytes_of("<svg xmlns='http://www.w3.org/2000/svg' width='16' "
                                                      "height='16'><rect width='16' height='16' fill='#0000ff'/>"
                                                      "</svg>")));
        QVERIFY(project.put_file("kaputt.png", bytes_of("no image at all")));

        Cache_Host host(project);
        KV_GUI_Page& page = host.add_page("{page}");
        auto add = [&page](const std::string& guid, const char* image) {
            KV_GUI_Control& record =
                KV_Fake_Host::add_control(page, 14, guid, {}, {{"Grafik", image}, {"Proportional", "0"}});
            record.m_width = 60;
            record.m_height = 40;
        };
        add("{rot}", "rot.png");
        add("{rot-2}", "rot.png");
        add("{blau}", "blau.svg");
        add("{fehlt-1}", "fehlt.png");
        add("{fehlt-2}", "fehlt.png");
        add("{kaputt}", "kaputt.png");

        Trace_Capture trace;
        std::unique_ptr<CKV_Gui_Control_Container_Sv> area(
            (new CKV_Gui_Control_Container(host, page))->scroll_area());
        area->resize(1024, 576);
        area->show();
        auto control = [&area](const char* guid) { return area->canvas()->find_control(guid); };
        for (int paint = 0; paint < 3; ++paint)
            for (const char* guid : {"{rot}", "{rot-2}", "{blau}", "{fehlt-1}", "{fehlt-2}", "{kaputt}"})
                control(guid)->grab();

        QCOMPARE(QColor(centre_pixel(control("{rot}"))), QColor(Qt::red));
        QCOMPARE(QColor(centre_pixel(control("{blau}"))), QColor(Qt::blue));
        // Decoded once and shared: the same pixmap data for both controls.
        QCOMPARE(host.image("rot.png").cacheKey(), host.image("rot.png").cacheKey());

        const QRgb missing = centre_pixel(control("{fehlt-1}"));
        QVERIFY(qAlpha(missing) > 128);
        QCOMPARE(qRed(missing), qGreen(missing)); // the grey cross, not an image
        QVERIFY(QColor(centre_pixel(control("{kaputt}"))) != QColor(Qt::red));

        const QByteArray traced = trace.text();
        QCOMPARE(traced.count("IMAGE NOT FOUND: fehlt.png"), 1);
        QCOMPARE(traced.count("IMAGE NOT FOUND: kaputt.png"), 1);
        QCOMPARE(traced.count("IMAGE NOT FOUND"), 2);
    }
};

QTEST_MAIN(tst_main_window)
#include "tst_main_window.moc"
