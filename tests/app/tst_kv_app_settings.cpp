// The settings object: keys and defaults of the "Common" scope, window
// geometry and state, style switching, the two settings forms, and the
// version check: the comparison of version texts and the whole round trip
// against a local HTTP responder standing in for the maker's server.

#include "../net/kv_test_http_responder.h"
#include "kv_app_context.h"
#include "kv_app_version.h"
#include "kv_common_settings.h"
#include "kv_dlg_app_settings.h"
#include "kv_dlg_settings.h"
#include "kv_style.h"
#include "kv_test_settings_home.h"
#include "kv_version_check.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QNetworkAccessManager>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString org = QStringLiteral("kirovantor3");
const QString common = QStringLiteral("Common");

QVariant stored(const char* key)
{
    return QSettings(org, common).value(QLatin1String(key));
}

void store_version_url(const KV_Test_Http_Responder& server)
{
    QSettings(org, common).setValue(QStringLiteral("m_str_version_url"),
                                    QStringLiteral("http://127.0.0.1:%1/version.txt").arg(server.port()));
}

// Records the messages and questions instead of showing boxes.
class Recording_Settings : public CKV_Dlg_Settings
{
public:
    QStringList messages;

protected:
    bool ask_update(const QString& question) override
    {
        messages << question;
        return false;
    }
    void show_message(const QString& text) override { messages << text; }
};

// Picks a set folder and records the messages of the app form.
class Choosing_App_Settings : public CKV_Dlg_App_Settings
{
public:
    explicit Choosing_App_Settings(CKV_Dlg_Settings& settings)
        : CKV_Dlg_App_Settings(settings, QStringLiteral("de"))
    {
    }
    QString choice;
    QStringList messages;

protected:
    QString choose_directory(const QString&) override { return choice; }
    void show_message(const QString& text) override { messages << text; }
};
} // namespace

class tst_kv_app_settings : public QObject
{
    Q_OBJECT

    KV_Test_Settings_Home m_home;

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        kv_app().dirs = KV_App_Dirs::from_program_path(QStringLiteral("/opt/kv/bin/kirovantor3"));
    }

    void init()
    {
        KV_Test_Settings_Home::clear(org, common);
        qApp->setStyleSheet(QString());
    }

    // Every key of the "Common" scope under its name, with its default; the
    // path defaults follow the working directory.
    void keys_and_defaults()
    {
        const std::pair<const char*, QString> keys[] = {
            {"m_str_working_dir__", "/w/"}, {"m_str_last_archiv_dir_to", "/w/archiv/"},
            {"m_str_last_archiv_dir_from", "/w/archiv/"}, {"m_open_last_project_1", "0"}, {"m_autosave_", "30"},
            {"m_history", "10"}, {"m_check_version_", "1"}, {"m_str_last_project", "/w/app_demo.kvp"},
            {"m_str_last_esf_import_dir", ""}, {"m_str_last_image_import_dir", ""}, {"m_raster_move___", "10"},
            {"m_raster_view___", "10"}, {"m_last_orientation", "2"}, {"m_raster_on_gui", "1"},
            {"m_raster_on_logic", "1"}, {"m_diag_max_rows", "200"}, {"m_toolbar_on_off_state", "1"},
            {"m_warning_schweiz", "1"}, {"m_app_stay_active", "1"}, {"m_app_str_last_guid", ""},
            {"_m_app_full_screen", "0"}, {"m_last_view", "0"}, {"m_styleSheet", "0"}, {"m_app_styleSheet", "0"},
            {"m_live_update", "false"}, {"m_str_version_url", ""}};
        KV_Common_Settings settings;
        {
            QSettings store(org, common);
            settings.read(store, QStringLiteral("/w/")); // the project directory
            settings.write(store);
        }
        QSettings store(org, common);
        QCOMPARE(store.allKeys().size(), 26); // and the version address
        for (const auto& [key, value] : keys)
            QCOMPARE(store.value(QLatin1String(key)).toString(), value);

        // Each key is read into its own member: distinct values come back unchanged.
        int n = 0;
        for (const auto& [key, value] : keys)
            store.setValue(QLatin1String(key), value.startsWith('/') || value.isEmpty() ? QStringLiteral("/k%1/").arg(n++)
                                                                                    : QVariant(++n));
        store.setValue(QStringLiteral("m_live_update"), true);
        settings.read(store, QStringLiteral("/p/"));
        QSettings copy(org, QStringLiteral("Common-copy"));
        settings.write(copy);
        for (const auto& [key, value] : keys)
            QCOMPARE(copy.value(QLatin1String(key)).toString(), store.value(QLatin1String(key)).toString());

        // A stored working directory, not the project directory, moves the path defaults.
        QSettings moved(org, QStringLiteral("Common-moved"));
        moved.setValue(QStringLiteral("m_str_working_dir__"), QStringLiteral("/data/kv/"));
        settings.read(moved, QStringLiteral("/p/"));
        QCOMPARE(settings.m_str_last_archiv_dir_from, QStringLiteral("/data/kv/archiv/"));
        QCOMPARE(settings.m_str_last_project, QStringLiteral("/data/kv/app_demo.kvp"));
    }

    void unconvertible_numbers_read_as_zero()
    {
        QSettings store(org, common);
        store.setValue(QStringLiteral("m_autosave_"), QStringLiteral("dreißig"));
        store.setValue(QStringLiteral("m_history"), QStringLiteral("-3"));
        store.setValue(QStringLiteral("m_diag_max_rows"), QStringLiteral("12.5"));
        store.setValue(QStringLiteral("m_app_stay_active"), QString());
        store.setValue(QStringLiteral("m_check_version_"), QStringLiteral("4294967296"));
        KV_Common_Settings settings;
        settings.read(store, QStringLiteral("/p/"));
        QCOMPARE(settings.m_autosave_, 0u);
        QCOMPARE(settings.m_history, 0u);
        QCOMPARE(settings.m_diag_max_rows, 0u);
        QCOMPARE(settings.m_app_stay_active, 0u);
        QCOMPARE(settings.m_check_version_, 0u);
        QCOMPARE(settings.m_raster_move___, 10u); // absent keys keep their defaults
    }

    void geometry_and_state_round_trip_per_view()
    {
        const QString app_org = QStringLiteral("kirovantor3-APP");
        QMainWindow window;
        auto* dock = new QDockWidget(QStringLiteral("dock"), &window);
        dock->setObjectName(QStringLiteral("dock"));
        window.addDockWidget(Qt::LeftDockWidgetArea, dock);
        QVERIFY(!CKV_Dlg_Settings::restore_geometry(app_org, &window));
        CKV_Dlg_Settings::save_geometry(app_org, &window);
        CKV_Dlg_Settings::save_state(app_org, &window, 2);
        QVERIFY(QSettings(app_org, QStringLiteral("ViewState")).contains(QStringLiteral("_geometry")));
        QVERIFY(QSettings(app_org, QStringLiteral("_ViewState_2")).contains(QStringLiteral("_windowState")));

        // Each view keeps its own state.
        window.addDockWidget(Qt::RightDockWidgetArea, dock);
        QVERIFY(CKV_Dlg_Settings::restore_geometry(app_org, &window));
        QVERIFY(!CKV_Dlg_Settings::restore_state(app_org, &window, 0));
        QVERIFY(CKV_Dlg_Settings::restore_state(app_org, &window, 2));
        QCOMPARE(window.dockWidgetArea(dock), Qt::LeftDockWidgetArea);
    }

    void style_switching_applies_and_stores_known_indices()
    {
        Recording_Settings settings;
        const QString light = kv_read_style_sheet(kv_app_style_path(KV_STYLE_LIGHT));
        const QString dark = kv_read_style_sheet(kv_app_style_path(KV_STYLE_DARK));
        QCOMPARE(qApp->styleSheet(), light); // the stored style, applied at construction
        // The dialog's combo box applies at once.
        settings.findChild<QComboBox*>(QStringLiteral("m_comboBox_Stylesheet_App"))->setCurrentIndex(1);
        QCOMPARE(qApp->styleSheet(), dark);
        QCOMPARE(stored("m_app_styleSheet").toUInt(), 1u);
        QVERIFY(settings.set_app_style(KV_STYLE_LIGHT));
        QVERIFY(!settings.set_app_style(2));
        QVERIFY(!settings.set_app_style(-1));
        QCOMPARE(qApp->styleSheet(), light);
        QCOMPARE(stored("m_app_styleSheet").toUInt(), 0u);
    }

    void style_sheets_parse_and_frame_fields_in_error()
    {
        QTest::failOnWarning(QRegularExpression(QStringLiteral("[Cc]ould not parse")));
        // The left edge of a field, halfway down: its frame.
        const auto frame_colour = [](bool error) {
            QLineEdit field;
            if (error)
                field.setProperty("error", true);
            field.resize(200, 36);
            return QColor(field.grab().toImage().pixel(1, 18));
        };
        for (int index : {KV_STYLE_LIGHT, KV_STYLE_DARK}) {
            qApp->setStyleSheet(kv_read_style_sheet(kv_app_style_path(index)));
            // Light text on the dark page, dark text on the light one.
            QWidget page;
            page.setProperty("kv_style", QStringLiteral("page"));
            page.ensurePolished();
            const QPalette palette = page.palette();
            QCOMPARE(palette.color(QPalette::WindowText).lightness() > palette.color(QPalette::Window).lightness(),
                     index == KV_STYLE_DARK);
            const QColor error = frame_colour(true);
            const QColor normal = frame_colour(false);
            QVERIFY2(error.red() > 2 * error.green() && error.red() > 2 * error.blue(), qPrintable(error.name()));
            QVERIFY2(!(normal.red() > 2 * normal.green()), qPrintable(normal.name()));
        }
    }

    void dialog_accept_reject_and_single_changes()
    {
        QSettings(org, common).setValue(QStringLiteral("m_check_version_"), 0);
        QSettings(org, common).setValue(QStringLiteral("m_history"), 5);
        Recording_Settings settings;
        auto* autosave = settings.findChild<QSpinBox*>(QStringLiteral("m_spinBox_autosave"));
        auto* buttons = settings.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));

        autosave->setValue(45);
        buttons->button(QDialogButtonBox::Cancel)->click();
        QCOMPARE(autosave->value(), 30);
        QVERIFY(!QSettings(org, common).contains(QStringLiteral("m_autosave_")));

        // Full screen only warns; the choice itself is written with the dialog.
        settings.findChild<QCheckBox*>(QStringLiteral("m_checkBox_Fullscreen"))->click();
        QCOMPARE(settings.messages, QStringList(QStringLiteral(
                                         "Mit dieser Option wird das Hauptmenü nur mehr mit einem Doppelklick auf einen "
                                         "freien Bereich der Visulalisierung angezeigt!\n\nNach Änderung der "
                                         "Einstellung ist ein Neustart der Anwendung notwendig.")));
        QVERIFY(!QSettings(org, common).contains(QStringLiteral("_m_app_full_screen")));
        autosave->setValue(45);
        buttons->button(QDialogButtonBox::Ok)->click();
        QCOMPARE(stored("m_autosave_").toUInt(), 45u);
        QCOMPARE(stored("_m_app_full_screen").toUInt(), 1u);
        QCOMPARE(stored("m_history").toUInt(), 5u);
        QCOMPARE(stored("m_str_working_dir__").toString(), QStringLiteral("/opt/kv/bin/project/"));

        // Live update and the version check are written at once.
        QSignalSpy live_update(&settings, &CKV_Dlg_Settings::liveUpdateChanged);
        settings.findChild<QCheckBox*>(QStringLiteral("m_checkBox_LiveUpdate"))->click();
        QCOMPARE(live_update.size(), 1);
        QCOMPARE(stored("m_live_update").toBool(), true);
        settings.findChild<QCheckBox*>(QStringLiteral("m_checkbox_check_version_dev"))->click();
        QCOMPARE(stored("m_check_version_").toUInt(), 1u);
        // The editors' style is stored, but the app keeps its sheet.
        const QString app_sheet = qApp->styleSheet();
        settings.findChild<QComboBox*>(QStringLiteral("m_comboBox_Stylesheet"))->setCurrentIndex(1);
        QCOMPARE(stored("m_styleSheet").toUInt(), 1u);
        QCOMPARE(qApp->styleSheet(), app_sheet);
    }

    void app_form_language_and_push()
    {
        QSettings(org, common).setValue(QStringLiteral("m_check_version_"), 0);
        Recording_Settings settings;
        CKV_Dlg_App_Settings form(settings, QStringLiteral("en"));
        form.show();
        // The style choice is checked through the window; the language choice
        // is a group of its own and stays as it was.
        form.findChild<QRadioButton*>(QStringLiteral("m_radioButton_dark"))->click();
        auto* english = form.findChild<QRadioButton*>(QStringLiteral("m_radioButton_en"));
        QVERIFY(english->isChecked());

        form.findChild<QCheckBox*>(QStringLiteral("m_checkBox_stay_active"))->click(); // from the default, on
        QCOMPARE(stored("m_app_stay_active").toUInt(), 0u);

        QSignalSpy chosen(&form, &CKV_Dlg_App_Settings::language_chosen);
        auto* hint = form.findChild<QLabel*>(QStringLiteral("m_label_restart"));
        auto* restart = form.findChild<QPushButton*>(QStringLiteral("m_pushButton_restart"));
        QVERIFY(!hint->isVisible());
        form.findChild<QRadioButton*>(QStringLiteral("m_radioButton_de"))->click();
        QCOMPARE(chosen.last().first().toString(), QStringLiteral("de"));
        QVERIFY(hint->isVisible());
        QCOMPARE(hint->text(), QStringLiteral("App muss neu gestartet werden damit die Änderungen wirksam werden"));
        QCOMPARE(restart->text(), QStringLiteral("App Schließen"));
        english->click();
        QCOMPARE(hint->text(), QStringLiteral("App must be restarted for changes to take effect"));
        QCOMPARE(restart->text(), QStringLiteral("Close App"));

        // Push messages need a connection (what a click sends: the window's test over the link).
        auto* toggle = form.findChild<QCheckBox*>(QStringLiteral("m_checkBox_push"));
        QVERIFY(!toggle->isEnabled());
        form.set_connected(true);
        toggle->click();
        form.set_connected(false);
        QVERIFY(!toggle->isChecked());
        QVERIFY(!toggle->isEnabled());

        restart->click();
        QVERIFY(!form.isVisible());
    }

    void app_form_chooses_a_writable_working_directory_data()
    {
        QTest::addColumn<QString>("chosen"); // below the test's folder
        QTest::addColumn<bool>("taken");
        QTest::newRow("new folder") << "neu/kv" << true;
        QTest::newRow("below a file") << "datei/kv" << false;
    }

    void app_form_chooses_a_writable_working_directory()
    {
        QFETCH(QString, chosen);
        QFETCH(bool, taken);
        QTemporaryDir root;
        const QString current = root.filePath(QStringLiteral("alt")) + QLatin1Char('/');
        QVERIFY(QDir().mkpath(current));
        QVERIFY(QFile(root.filePath(QStringLiteral("datei"))).open(QIODevice::WriteOnly));
        QFile project(current + QStringLiteral("kv_app.kvp"));
        QVERIFY(project.open(QIODevice::WriteOnly) && project.write("targets") == 7);
        project.close();
        KV_Test_Settings_Home::reset_common(current);

        Recording_Settings settings;
        Choosing_App_Settings form(settings);
        form.choice = root.filePath(chosen);
        form.findChild<QPushButton*>(QStringLiteral("m_pushButton_working_dir"))->click();

        const QString expected = taken ? form.choice + QLatin1Char('/') : current;
        QCOMPARE(stored("m_str_working_dir__").toString(), expected);
        QCOMPARE(form.findChild<QLabel*>(QStringLiteral("m_label_working_dir"))->text(), expected);
        QCOMPARE(form.findChild<QLabel*>(QStringLiteral("m_label_restart"))->isVisibleTo(&form), taken);
        if (taken) {
            QVERIFY(form.messages.isEmpty());
            QFile copy(expected + QStringLiteral("kv_app.kvp")); // the targets came along
            QVERIFY(copy.open(QIODevice::ReadOnly));
            QCOMPARE(copy.readAll(), QByteArray("targets"));
        } else {
            QCOMPARE(form.messages.size(), 1);
            QVERIFY(form.messages.first().contains(QStringLiteral("\"%1/\"").arg(form.choice)));
        }
    }

    // What a reply to the version request offers, and where the download is:
    // a second line of the reply naming it over HTTP(S), else the folder of
    // the version file at https://kv.test/app/version.txt.
    void reply_offers_update_and_download_address_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("offers");
        QTest::addColumn<QString>("download");
        const QString folder = QStringLiteral("https://kv.test/app/");
        QTest::newRow("equal with line break") << QByteArray("3.01111\r\n") << false << folder;
        QTest::newRow("equal, more digits") << QByteArray("3.011110") << false << folder;
        QTest::newRow("greater") << QByteArray("3.01112") << true << folder;
        QTest::newRow("greater with notes") << QByteArray("3.02\nneue Kacheln\n") << true << folder;
        QTest::newRow("leading blanks") << QByteArray("  3.1") << true << folder;
        QTest::newRow("smaller") << QByteArray("3.01") << false << folder;
        QTest::newRow("html page") << QByteArray("<html><body>3.5</body></html>") << false << folder;
        QTest::newRow("binary") << QByteArray("\x00\xff\x01", 3) << false << folder;
        QTest::newRow("address on the second line")
            << QByteArray("3.05\r\nhttps://dl.kv.test/kv-3.05.deb\r\n") << true << "https://dl.kv.test/kv-3.05.deb";
        QTest::newRow("other scheme") << QByteArray("3.05\nfile:///etc/passwd") << true << folder;
    }

    void reply_offers_update_and_download_address()
    {
        QFETCH(QByteArray, reply);
        QFETCH(bool, offers);
        QFETCH(QString, download);
        QCOMPARE(kv_version_offers_update(reply, QLatin1String(KV_APP_VERSION_FULL)), offers);
        QCOMPARE(kv_download_url(reply, QUrl(QStringLiteral("https://kv.test/app/version.txt"))).toString(), download);
    }

    void server_reply_asks_only_for_a_newer_version_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QStringList>("questions");
        QTest::newRow("newer") << 200 << QByteArray("3.05\n")
                               << QStringList(QStringLiteral("Update verfügbar Lokal: 3.01111, Server: 3.05\n"
                                                             "Möchten Sie die neue Version jetzt laden?"));
        QTest::newRow("empty") << 200 << QByteArray() << QStringList();
        QTest::newRow("not found") << 404 << QByteArray("9.9") << QStringList();
    }

    void server_reply_asks_only_for_a_newer_version()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QStringList, questions);
        KV_Test_Settings_Home::reset_common();
        KV_Test_Http_Responder server(status, body);
        store_version_url(server);
        Recording_Settings settings;
        QSignalSpy finished(settings.findChild<QNetworkAccessManager*>(), &QNetworkAccessManager::finished);
        settings.slot_check_version();
        QVERIFY(finished.wait(5000));
        QCOMPARE(server.paths(), QStringList(QStringLiteral("/version.txt")));
        QCOMPARE(settings.messages, questions);
    }

    void check_runs_at_start_only_when_enabled_and_addressed_data()
    {
        QTest::addColumn<bool>("addressed");
        QTest::addColumn<bool>("switched_off");
        QTest::addColumn<int>("requests");
        QTest::newRow("defaults: on, no address") << false << false << 0;
        QTest::newRow("address") << true << false << 1;
        QTest::newRow("address, switched off") << true << true << 0;
    }

    void check_runs_at_start_only_when_enabled_and_addressed()
    {
        QFETCH(bool, addressed);
        QFETCH(bool, switched_off);
        QFETCH(int, requests);
        KV_Test_Http_Responder server(200, "3.01111");
        if (switched_off)
            KV_Test_Settings_Home::reset_common();
        if (addressed)
            store_version_url(server);
        Recording_Settings settings;
        if (requests > 0)
            QTRY_COMPARE_WITH_TIMEOUT(int(server.paths().size()), requests, 5000);
        QTest::qWait(300);
        QCOMPARE(int(server.paths().size()), requests);
    }
};

QTEST_MAIN(tst_kv_app_settings)
#include "tst_kv_app_settings.moc"
