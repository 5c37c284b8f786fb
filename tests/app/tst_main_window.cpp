// The app main window without a controller: the local project at start,
// title texts, which pages a user sees, orientation rules, navigation while
// offline, fixed sizes, the image cache and the replacement of the local
// project by a download.

#include <QAction>
#include <QBuffer>
#include <QFile>
#include <QMenuBar>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "../net/trace_capture.h"
#include "kv_app_context.h"
#include "kv_device_display.h"
#include "kv_gui_container.h"
#include "kv_image_cache.h"
#include "kv_local_project.h"
#include "kv_page_rules.h"
#include "kv_studio_main_app.h"
#include "kv_test_main_project.h"
#include "kv_test_settings_home.h"

namespace {
// Records the information boxes instead of showing them.
class Test_Window : public CKV_Studio_Main_App {
public:
    QStringList informations;

protected:
    void show_information(const QString& text) override { informations << text; }
};

KV_GUI_Page page_for(const std::string& users)
{
    KV_GUI_Page page;
    page.m_str_users = users;
    return page;
}

QByteArray file_bytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class tst_main_window : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void title_texts();
    void page_visibility_rules();
    void window_builds_only_the_users_pages();
    void start_creates_the_local_project();
    void unreadable_local_project_is_replaced();
    void orientation_filters_pages();
    void mixed_pages_follow_the_screen_and_uniform_pages_set_it();
    void history_goes_back_and_ignores_an_empty_history();
    void full_screen_menu_follows_double_clicks_on_free_areas();
    void offline_navigation_shows_the_notice();
    void fixed_sizes_table_and_menu();
    void language_menu_stores_the_choice();
    void quick_support_reports_a_missing_program();
    void image_cache_decodes_once_and_traces_a_missing_name_once();
    void download_keeps_the_installation_routes();
    void broken_download_restores_the_last_local_project();

private:
    QString working_dir() const { return m_dir.path() + QStringLiteral("/"); }
    QString local_path() const { return working_dir() + QStringLiteral("kv_app.kvp"); }

    KV_Test_Settings_Home m_home;
    QTemporaryDir m_dir;
};

void tst_main_window::initTestCase()
{
    QVERIFY(m_home.isValid());
    QVERIFY(m_dir.isValid());
}

void tst_main_window::init()
{
    KV_Test_Settings_Home::clear(QStringLiteral("kirovantor3"), QStringLiteral("Common"));
    KV_Test_Settings_Home::clear(QStringLiteral("kirovantor3"), QStringLiteral("Global"));
    QSettings common(QStringLiteral("kirovantor3"), QStringLiteral("Common"));
    common.setValue(QStringLiteral("m_check_version_"), 0);
    common.setValue(QStringLiteral("m_str_working_dir__"), working_dir());
    common.sync();
    QFile::remove(local_path());
}

void tst_main_window::title_texts()
{
    QCOMPARE(kv_window_title(QStringLiteral("/x/kv_app.kvp"), true), QStringLiteral("kirovantor3 3.01 [kv_app] - [online] "));
    QCOMPARE(kv_window_title(QStringLiteral("/x/kv_app.kvp"), false), QStringLiteral("kirovantor3 3.01 [kv_app] - [offline] "));
    QCOMPARE(kv_window_title(QString(), true), QStringLiteral("*kirovantor3 3.01 [Unbenannt] - [online] "));
    QCOMPARE(kv_window_title(QString(), false), QStringLiteral("kirovantor3 3.01 [Unbenannt] - [offline] "));

    Test_Window window;
    QCOMPARE(window.windowTitle(), QStringLiteral("kirovantor3 3.01 [kv_app] - [offline] "));
}

void tst_main_window::page_visibility_rules()
{
    QVERIFY(kv_page_visible_to(page_for(""), "anna"));
    QVERIFY(kv_page_visible_to(page_for(""), ""));
    QVERIFY(kv_page_visible_to(page_for("anna;bert"), "anna"));
    QVERIFY(kv_page_visible_to(page_for("anna;bert"), "bert"));
    QVERIFY(!kv_page_visible_to(page_for("anna;bert"), "Anna"));
    QVERIFY(!kv_page_visible_to(page_for("anna;bert"), "ann"));
    QVERIFY(!kv_page_visible_to(page_for("anna;bert"), ""));
    QVERIFY(kv_page_visible_to(page_for("anna"), "root"));
    QVERIFY(!kv_page_visible_to(page_for("root2"), "Root"));
}

void tst_main_window::window_builds_only_the_users_pages()
{
    const std::vector<Test_Page> pages{{"{p-all}", ""}, {"{p-anna}", "anna;bert"}, {"{p-carl}", "carl"}};
    QVERIFY(write_test_project(local_path(), "Haus", pages, {test_route("Panel", "10.0.0.1", "bert")}));
    {
        Test_Window window;
        QCOMPARE(window.user(), std::string("bert"));
        QCOMPARE(window.canvases().size(), 2);
        QCOMPARE(window.canvases()[0]->page_guid(), std::string("{p-all}"));
        QCOMPARE(window.canvases()[1]->page_guid(), std::string("{p-anna}"));
        QCOMPARE(window.page_order(), (std::vector<std::string>{"{p-all}", "{p-anna}"}));
        QVERIFY(window.pages_ready());
    }
    QVERIFY(write_test_project(local_path(), "Haus", {}, {test_route("Panel", "10.0.0.1", "root")}));
    Test_Window window;
    QCOMPARE(window.canvases().size(), 3);
}

void tst_main_window::start_creates_the_local_project()
{
    QVERIFY(!QFile::exists(local_path()));
    QString guid;
    {
        Test_Window window;
        QVERIFY(QFile::exists(local_path()));
        QCOMPARE(QString::fromStdString(window.project().path()), local_path());
        QCOMPARE(window.project().m_project.m_str_name, std::string("kv_app.kvp"));
        QCOMPARE(window.project().m_project.m_str_filename, std::string("kv_app.kvp"));
        guid = QString::fromStdString(window.project().m_project.m_str_guid);
        QCOMPARE(guid.size(), 38);
        QVERIFY(guid.startsWith('{') && guid.endsWith('}'));
        QCOMPARE(guid, guid.toLower());
        QVERIFY(window.canvases().isEmpty());
        QCOMPARE(kv_app().main_window, static_cast<QMainWindow*>(&window));
        QCOMPARE(kv_app().project, &window.project());
        QCOMPARE(kv_app().client, &window.client());
    }
    QVERIFY(!kv_app().main_window);
    // The second start opens the same file.
    Test_Window window;
    QCOMPARE(QString::fromStdString(window.project().m_project.m_str_guid), guid);
}

void tst_main_window::unreadable_local_project_is_replaced()
{
    QFile file(local_path());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(2048, 'z'));
    file.close();
    Test_Window window;
    QVERIFY(window.project().is_open());
    QCOMPARE(window.project().m_project.m_str_name, std::string("kv_app.kvp"));
    QCOMPARE(window.project().m_project.m_str_guid.size(), size_t(38));
}

void tst_main_window::orientation_filters_pages()
{
    const std::vector<Test_Page> pages{{"{v}", "", true}, {"{h}", "", false}};
    QVERIFY(write_test_project(local_path(), "Haus", pages, {}));
    Test_Window window;
    window.show();
    QCOMPARE(window.canvases().size(), 2);

    window.slot_ver();
    window.goHomePage();
    QCOMPARE(window.page_orientation(), KV_ORIENTATION_PORTRAIT);
    QCOMPARE(window.current_page(), 0);
    window.goPage(1); // horizontal: not in portrait
    QCOMPARE(window.current_page(), 0);
    window.goNextPage();
    QCOMPARE(window.current_page(), 0);

    window.slot_hor();
    QCOMPARE(window.page_orientation(), KV_ORIENTATION_LANDSCAPE);
    QCOMPARE(window.current_page(), 1); // the vertical page gave way
    window.goPage(0);
    QCOMPARE(window.current_page(), 1);
    window.goPage(std::string("{v}"));
    QCOMPARE(window.current_page(), 1);

    // The screen turning counts like the menu; inverted forms count as their kind.
    window.slot_orientationChanged(Qt::InvertedPortraitOrientation);
    QCOMPARE(window.page_orientation(), KV_ORIENTATION_PORTRAIT);
    QCOMPARE(window.current_page(), 0);
    window.slot_orientationChanged(Qt::InvertedLandscapeOrientation);
    QCOMPARE(window.page_orientation(), KV_ORIENTATION_LANDSCAPE);
}

void tst_main_window::mixed_pages_follow_the_screen_and_uniform_pages_set_it()
{
    QVERIFY(write_test_project(local_path(), "Haus", {{"{v1}", "", true}, {"{v2}", "", true}}, {}));
    {
        Test_Window window;
        QCOMPARE(window.page_orientation(), KV_ORIENTATION_PORTRAIT);
    }
    QVERIFY(write_test_project(local_path(), "Haus", {{"{h1}", "", false}}, {}));
    {
        Test_Window window;
        QCOMPARE(window.page_orientation(), KV_ORIENTATION_LANDSCAPE);
    }
    QVERIFY(write_test_project(local_path(), "Haus", {{"{h1}", "", false}, {"{v1}", "", true}}, {}));
    Test_Window window;
    QCOMPARE(window.page_orientation(), window.screen_orientation());
}

void tst_main_window::full_screen_menu_follows_double_clicks_on_free_areas()
{
    QVERIFY(write_test_project(local_path(), "Haus", {{"{a}"}}, {}));
    {
        Test_Window window; // windowed: home shows the menu, double clicks change nothing
        window.show();
        window.goHomePage();
        QVERIFY(window.menuBar()->isVisible());
        QTest::mouseDClick(window.canvases().first(), Qt::LeftButton);
        QVERIFY(window.menuBar()->isVisible());
    }
    QSettings(QStringLiteral("kirovantor3"), QStringLiteral("Common")).setValue("_m_app_full_screen", 1);
    Test_Window window;
    window.show();
    window.goHomePage();
    QVERIFY(!window.menuBar()->isVisible());
    QTest::mouseDClick(window.canvases().first(), Qt::LeftButton);
    QVERIFY(window.menuBar()->isVisible());
    QTest::mouseDClick(window.canvases().first(), Qt::LeftButton);
    QVERIFY(!window.menuBar()->isVisible());
    QSettings(QStringLiteral("kirovantor3"), QStringLiteral("Common")).setValue("_m_app_full_screen", 0);
}

void tst_main_window::history_goes_back_and_ignores_an_empty_history()
{
    QVERIFY(write_test_project(local_path(), "Haus", {{"{a}"}, {"{b}"}, {"{c}"}}, {}));
    Test_Window window;
    window.slot_hor();
    window.show();
    QCOMPARE(window.current_page(), 0);
    QVERIFY(window.page_history().isEmpty());
    window.goPrevPage(); // nothing to go back to
    QCOMPARE(window.current_page(), 0);

    window.goNextPage();
    window.goPage(2);
    QCOMPARE(window.current_page(), 2);
    QCOMPARE(window.page_history(), (QList<int>{0, 1}));
    window.goPrevPage();
    QCOMPARE(window.current_page(), 1);
    window.goPrevPage();
    QCOMPARE(window.current_page(), 0);
    QVERIFY(window.page_history().isEmpty());
    window.goPrevPage();
    QCOMPARE(window.current_page(), 0);
}

void tst_main_window::offline_navigation_shows_the_notice()
{
    QVERIFY(write_test_project(local_path(), "Haus", {{"{a}"}, {"{b}"}}, {}));
    Test_Window window;
    window.slot_hor();
    window.show();
    QVERIFY(!window.is_connected());
    QCOMPARE(window.current_view(), int(CKV_Studio_Main_App::View_Pages));
    QVERIFY(!window.is_page_stack_shown());
    QVERIFY(window.is_not_connected_overlay_shown());
    QVERIFY(window.windowTitle().endsWith(QStringLiteral("[offline] ")));
    QCOMPARE(window.status_button()->property("kv_connected").toBool(), false);

    window.slot_settings();
    QCOMPARE(window.current_view(), int(CKV_Studio_Main_App::View_Settings));
    QVERIFY(!window.is_not_connected_overlay_shown());
    window.slot_logger();
    QCOMPARE(window.current_view(), int(CKV_Studio_Main_App::View_Logger));
    window.slot_status();
    QCOMPARE(window.current_view(), int(CKV_Studio_Main_App::View_Status));

    QSignalSpy closing(&window, &CKV_Studio_Main_App::close_overlay);
    window.goHomePage();
    QVERIFY(closing.count() >= 1);
    QCOMPARE(window.current_view(), int(CKV_Studio_Main_App::View_Pages));
    QVERIFY(window.is_not_connected_overlay_shown());
    QVERIFY(!window.is_page_stack_shown());
}

void tst_main_window::fixed_sizes_table_and_menu()
{
    const auto& sizes = kv_device_sizes();
    QCOMPARE(sizes.size(), size_t(23));
    QCOMPARE(sizes.at(QStringLiteral("iPhone XS Max (414x896) 3-fach")).size, QSize(1242, 2688));
    QCOMPARE(sizes.at(QStringLiteral("HD (1920×1080)")).device, HD);
    QCOMPARE(kv_device_size(WXGA1), QSize(768, 1376));
    QCOMPARE(kv_device_size(Unknown), QSize());

    Test_Window window;
    QAction* pad = nullptr;
    QStringList texts;
    for (QAction* menu : window.menuBar()->actions())
        if (menu->text() == QStringLiteral("Fixe Größe"))
            for (QAction* action : menu->menu()->actions()) {
                texts << action->text();
                if (action->text() == QStringLiteral("iPad Mini (768x1024)"))
                    pad = action;
            }
    QCOMPARE(texts.size(), 23);
    QStringList sorted = texts;
    std::sort(sorted.begin(), sorted.end());
    QCOMPARE(texts, sorted);
    QVERIFY(pad);
    window.slot_ver();
    window.slot_extras_sizes(pad);
    QCOMPARE(window.device_display(), iPad_Mini);
    QCOMPARE(window.minimumSize(), QSize(768, 1024));
    QCOMPARE(window.maximumSize(), QSize(768, 1024));
    window.slot_hor();
    QCOMPARE(window.maximumSize(), QSize(1024, 768));
}

void tst_main_window::language_menu_stores_the_choice()
{
    Test_Window window;
    QAction* english = nullptr;
    for (QAction* menu : window.menuBar()->actions())
        if (menu->text() == QStringLiteral("Sprache"))
            for (QAction* action : menu->menu()->actions()) {
                if (action->text() == QStringLiteral("Deutsch (German)"))
                    QVERIFY(action->isChecked());
                if (action->text() == QStringLiteral("English (English)"))
                    english = action;
            }
    QVERIFY(english);
    window.slot_extras_lang(english);
    QCOMPARE(window.informations,
             QStringList{QStringLiteral("Anwendung muss neu gestartet werden damit Änderungen wirksam werden")});
    QCOMPARE(QSettings(QStringLiteral("kirovantor3"), QStringLiteral("Global")).value(QStringLiteral("m_str_language_main")).toString(),
             QStringLiteral("en"));
    Test_Window next_start;
    QCOMPARE(next_start.language_main(), QStringLiteral("en"));
}

void tst_main_window::quick_support_reports_a_missing_program()
{
    kv_app().dirs.program_dir = working_dir() + QStringLiteral("nowhere/");
    Test_Window window;
    window.slot_help_quick();
    QCOMPARE(window.informations.size(), 1);
    QCOMPARE(window.informations[0],
             QStringLiteral("Fehler beim Aufruf von \"%1nowhere/bin/TeamViewerQS.exe\"").arg(working_dir()));
}

void tst_main_window::image_cache_decodes_once_and_traces_a_missing_name_once()
{
    CKV_Project_Db db;
    QVERIFY(db.load((working_dir() + QStringLiteral("images.kvp")).toStdString()));
    QImage image(8, 4, QImage::Format_ARGB32);
    image.fill(Qt::red);
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
    }
    const QByteArray svg = "<svg xmlns='http://www.w3.org/2000/svg' width='10' height='20'><rect width='10' height='20' fill='blue'/></svg>";
    QVERIFY(db.put_file("red.png", std::vector<unsigned char>(png.begin(), png.end())));
    QVERIFY(db.put_file("blue.svg", std::vector<unsigned char>(svg.begin(), svg.end())));
    QVERIFY(db.put_file("broken.png", std::vector<unsigned char>(100, 7)));

    KV_Image_Cache cache(db);
    const QPixmap red = cache.image(QStringLiteral("red.png"));
    QCOMPARE(red.size(), QSize(8, 4));
    QCOMPARE(cache.image(QStringLiteral("red.png")).cacheKey(), red.cacheKey()); // shared, not decoded again
    QCOMPARE(cache.image(QStringLiteral("blue.svg")).size(), QSize(10, 20));

    Trace_Capture trace;
    QVERIFY(cache.image(QStringLiteral("missing.png")).isNull());
    QVERIFY(cache.image(QStringLiteral("missing.png")).isNull());
    QVERIFY(cache.image(QStringLiteral("broken.png")).isNull());
    const QByteArray lines = trace.text();
    QCOMPARE(lines.count("missing.png"), 1);
    QCOMPARE(lines.count("broken.png"), 1);
}

void tst_main_window::download_keeps_the_installation_routes()
{
    const QString controller_file = working_dir() + QStringLiteral("controller.kvp");
    QVERIFY(write_test_project(controller_file, "Controller", {{"{c}"}}, {test_route("Fremd", "192.168.9.9", "x", "y")}));
    const QByteArray content = file_bytes(controller_file);
    QVERIFY(content.size() > 256);

    const std::vector<KV_Routes::_route> installation{test_route("Büro", "10.0.0.2"), test_route("Panel", "10.0.0.3")};
    QVERIFY(write_test_project(local_path(), "Lokal", {}, installation, 0));
    CKV_Project_Db db;
    QVERIFY(db.load(local_path().toStdString()));
    QCOMPARE(kv_install_downloaded_project(db, local_path().toStdString(),
                                           reinterpret_cast<const unsigned char*>(content.constData()), size_t(content.size())),
             KV_Download_Result::Opened);
    QCOMPARE(db.m_project.m_str_name, std::string("Controller"));
    QCOMPARE(db.m_gui_pages.size(), size_t(1));
    CKV_Project_Db reread; // the file holds them too
    QVERIFY(reread.load(local_path().toStdString()));
    for (const CKV_Project_Db* check : {&db, &reread}) {
        QCOMPARE(check->m_routes.m_list_route.size(), size_t(2));
        QCOMPARE(check->m_routes.m_list_route[0].m_str_name, std::string("Büro"));
        QCOMPARE(check->m_routes.m_list_route[0].m_str_passwd_md5, installation[0].m_str_passwd_md5);
        QCOMPARE(check->m_routes.m_route_default, 0);
    }
    QVERIFY(!QFile::exists(local_path() + QStringLiteral(".last")));
}

void tst_main_window::broken_download_restores_the_last_local_project()
{
    const std::vector<KV_Routes::_route> installation{test_route("Panel", "10.0.0.3")};
    QVERIFY(write_test_project(local_path(), "Lokal", {{"{l}"}}, installation));
    CKV_Project_Db db;
    QVERIFY(db.load(local_path().toStdString()));
    const QByteArray junk = QByteArray("no project ").append(QByteArray(1000, 'q'));
    QCOMPARE(kv_install_downloaded_project(db, local_path().toStdString(),
                                           reinterpret_cast<const unsigned char*>(junk.constData()), size_t(junk.size())),
             KV_Download_Result::Not_Opened);
    QVERIFY(db.is_open());
    QCOMPARE(db.m_project.m_str_name, std::string("Lokal"));
    QCOMPARE(db.m_gui_pages.size(), size_t(1));
    QCOMPARE(db.m_routes.m_list_route.size(), size_t(1));
    QCOMPARE(db.m_routes.m_list_route[0].m_str_name, std::string("Panel"));

    // Nothing to fall back to: a fresh project, still with the routes.
    QVERIFY(QFile::remove(local_path()));
    QCOMPARE(kv_install_downloaded_project(db, local_path().toStdString(),
                                           reinterpret_cast<const unsigned char*>(junk.constData()), size_t(junk.size())),
             KV_Download_Result::Not_Opened);
    QVERIFY(db.is_open());
    QCOMPARE(db.m_project.m_str_guid.size(), size_t(38));
    QVERIFY(db.m_gui_pages.empty());
    QCOMPARE(db.m_routes.m_list_route.size(), size_t(1));
}

QTEST_MAIN(tst_main_window)
#include "tst_main_window.moc"
