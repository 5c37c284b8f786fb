// The settings object: keys and defaults of the "Common" scope, window
// geometry and state, style switching and the two settings forms.

#include "kv_app_context.h"
#include "kv_common_settings.h"
#include "kv_dlg_app_settings.h"
#include "kv_dlg_settings.h"
#include "kv_style.h"
#include "kv_test_settings_home.h"

#include <QApplication>
#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDockWidget>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QToolBar>

#include <functional>

namespace {
const QString org = QStringLiteral("kirovantor3");
const QString common = QStringLiteral("Common");
// Nothing listens here: a version check started by a test fails at once.
const QUrl closed_port(QStringLiteral("http://127.0.0.1:9/version.txt"));

QString resource_text(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
}

// Records the messages instead of showing boxes.
class Recording_Settings : public CKV_Dlg_Settings
{
public:
    using CKV_Dlg_Settings::CKV_Dlg_Settings;
    QStringList messages;

protected:
    bool ask_update(const QString& question) override
    {
        messages << question;
        return false;
    }
    void show_message(const QString& text) override { messages << text; }
};

struct Key_Case
{
    const char* key;
    QVariant stored;
    std::function<QVariant(const KV_Common_Settings&)> member;
};

QList<Key_Case> every_key()
{
    using S = KV_Common_Settings;
    return {
        {"m_str_working_dir__", QStringLiteral("/w/"), [](const S& s) { return QVariant(s.m_str_working_dir__); }},
        {"m_str_last_archiv_dir_to", QStringLiteral("/to/"), [](const S& s) { return QVariant(s.m_str_last_archiv_dir_to); }},
        {"m_str_last_archiv_dir_from", QStringLiteral("/from/"), [](const S& s) { return QVariant(s.m_str_last_archiv_dir_from); }},
        {"m_open_last_project_1", 7u, [](const S& s) { return QVariant(s.m_open_last_project_1); }},
        {"m_autosave_", 8u, [](const S& s) { return QVariant(s.m_autosave_); }},
        {"m_history", 9u, [](const S& s) { return QVariant(s.m_history); }},
        {"m_check_version_", 0u, [](const S& s) { return QVariant(s.m_check_version_); }},
        {"m_str_last_project", QStringLiteral("/p.kvp"), [](const S& s) { return QVariant(s.m_str_last_project); }},
        {"m_str_last_esf_import_dir", QStringLiteral("/esf/"), [](const S& s) { return QVariant(s.m_str_last_esf_import_dir); }},
        {"m_str_last_image_import_dir", QStringLiteral("/img/"), [](const S& s) { return QVariant(s.m_str_last_image_import_dir); }},
        {"m_raster_move___", 11u, [](const S& s) { return QVariant(s.m_raster_move___); }},
        {"m_raster_view___", 12u, [](const S& s) { return QVariant(s.m_raster_view___); }},
        {"m_last_orientation", 1u, [](const S& s) { return QVariant(s.m_last_orientation); }},
        {"m_raster_on_gui", 0u, [](const S& s) { return QVariant(s.m_raster_on_gui); }},
        {"m_raster_on_logic", 0u, [](const S& s) { return QVariant(s.m_raster_on_logic); }},
        {"m_diag_max_rows", 13u, [](const S& s) { return QVariant(s.m_diag_max_rows); }},
        {"m_toolbar_on_off_state", 0u, [](const S& s) { return QVariant(s.m_toolbar_on_off_state); }},
        {"m_warning_schweiz", 0u, [](const S& s) { return QVariant(s.m_warning_schweiz); }},
        {"m_app_stay_active", 0u, [](const S& s) { return QVariant(s.m_app_stay_active); }},
        {"m_app_str_last_guid", QStringLiteral("{guid}"), [](const S& s) { return QVariant(s.m_app_str_last_guid); }},
        {"_m_app_full_screen", 1u, [](const S& s) { return QVariant(s._m_app_full_screen); }},
        {"m_last_view", 3u, [](const S& s) { return QVariant(s.m_last_view); }},
        {"m_styleSheet", 1u, [](const S& s) { return QVariant(s.m_styleSheet); }},
        {"m_app_styleSheet", 1u, [](const S& s) { return QVariant(s.m_app_styleSheet); }},
        {"m_live_update", true, [](const S& s) { return QVariant(s.m_live_update); }},
    };
}
} // namespace

class tst_kv_app_settings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void defaults_without_stored_settings();
    void every_key_reads_its_own_entry();
    void every_key_is_written_under_its_name();
    void paths_default_inside_the_stored_working_directory();
    void unconvertible_numbers_read_as_zero();
    void settings_object_loads_at_construction();

    void geometry_and_state_round_trip();
    void view_states_are_kept_per_view();

    void style_index_selects_the_sheet_and_is_stored();
    void unknown_style_index_changes_nothing();
    void style_sheets_parse_and_colour_the_probes();
    void style_sheets_set_every_control_property();
    void fields_in_error_get_a_red_frame();

    void dialog_accept_writes_every_changed_value();
    void dialog_reject_restores_the_form();
    void dialog_single_changes_are_written_at_once();
    void stay_active_is_written_at_once();

    void app_form_switches_style();
    void app_form_language_shows_restart_hint();
    void app_form_push_needs_a_connection();

private:
    KV_Test_Settings_Home m_home;
};

void tst_kv_app_settings::initTestCase()
{
    QVERIFY(m_home.isValid());
    kv_app().dirs = KV_App_Dirs::from_program_path(QStringLiteral("/opt/kv/bin/kirovantor3"));
}

void tst_kv_app_settings::init()
{
    KV_Test_Settings_Home::clear(org, common);
    qApp->setStyleSheet(QString());
}

void tst_kv_app_settings::defaults_without_stored_settings()
{
    QSettings store(org, common);
    KV_Common_Settings settings;
    settings.read(store, QStringLiteral("/opt/kv/bin/project/"));

    QCOMPARE(settings.m_str_working_dir__, QStringLiteral("/opt/kv/bin/project/"));
    QCOMPARE(settings.m_str_last_archiv_dir_to, QStringLiteral("/opt/kv/bin/project/archiv/"));
    QCOMPARE(settings.m_str_last_archiv_dir_from, QStringLiteral("/opt/kv/bin/project/archiv/"));
    QCOMPARE(settings.m_str_last_project, QStringLiteral("/opt/kv/bin/project/app_demo.kvp"));
    QCOMPARE(settings.m_open_last_project_1, 0u);
    QCOMPARE(settings.m_autosave_, 30u);
    QCOMPARE(settings.m_history, 10u);
    QCOMPARE(settings.m_check_version_, 1u);
    QVERIFY(settings.m_str_last_esf_import_dir.isEmpty());
    QVERIFY(settings.m_str_last_image_import_dir.isEmpty());
    QCOMPARE(settings.m_raster_move___, 10u);
    QCOMPARE(settings.m_raster_view___, 10u);
    QCOMPARE(settings.m_last_orientation, 2u);
    QCOMPARE(settings.m_raster_on_gui, 1u);
    QCOMPARE(settings.m_raster_on_logic, 1u);
    QCOMPARE(settings.m_diag_max_rows, 200u);
    QCOMPARE(settings.m_toolbar_on_off_state, 1u);
    QCOMPARE(settings.m_warning_schweiz, 1u);
    QCOMPARE(settings.m_app_stay_active, 1u);
    QVERIFY(settings.m_app_str_last_guid.isEmpty());
    QCOMPARE(settings._m_app_full_screen, 0u);
    QCOMPARE(settings.m_last_view, 0u);
    QCOMPARE(settings.m_styleSheet, 0u);
    QCOMPARE(settings.m_app_styleSheet, 0u);
    QCOMPARE(settings.m_live_update, false);
}

void tst_kv_app_settings::every_key_reads_its_own_entry()
{
    // One key at a time, so that a member reading a neighbour's key shows.
    for (const Key_Case& key_case : every_key()) {
        KV_Test_Settings_Home::clear(org, common);
        QSettings store(org, common);
        store.setValue(QLatin1String(key_case.key), key_case.stored);
        KV_Common_Settings settings;
        settings.read(store, QStringLiteral("/p/"));
        QVERIFY2(key_case.member(settings) == key_case.stored, key_case.key);
    }
}

void tst_kv_app_settings::every_key_is_written_under_its_name()
{
    KV_Common_Settings settings;
    settings.m_str_working_dir__ = QStringLiteral("/w/");
    settings.m_str_last_archiv_dir_to = QStringLiteral("/to/");
    settings.m_str_last_archiv_dir_from = QStringLiteral("/from/");
    settings.m_open_last_project_1 = 7;
    settings.m_autosave_ = 8;
    settings.m_history = 9;
    settings.m_check_version_ = 0;
    settings.m_str_last_project = QStringLiteral("/p.kvp");
    settings.m_str_last_esf_import_dir = QStringLiteral("/esf/");
    settings.m_str_last_image_import_dir = QStringLiteral("/img/");
    settings.m_raster_move___ = 11;
    settings.m_raster_view___ = 12;
    settings.m_last_orientation = 1;
    settings.m_raster_on_gui = 0;
    settings.m_raster_on_logic = 0;
    settings.m_diag_max_rows = 13;
    settings.m_toolbar_on_off_state = 0;
    settings.m_warning_schweiz = 0;
    settings.m_app_stay_active = 0;
    settings.m_app_str_last_guid = QStringLiteral("{guid}");
    settings._m_app_full_screen = 1;
    settings.m_last_view = 3;
    settings.m_styleSheet = 1;
    settings.m_app_styleSheet = 1;
    settings.m_live_update = true;
    {
        QSettings store(org, common);
        settings.write(store);
    }

    QSettings store(org, common);
    const QList<Key_Case> keys = every_key();
    QCOMPARE(store.allKeys().size(), keys.size());
    for (const Key_Case& key_case : keys) {
        QVERIFY2(store.contains(QLatin1String(key_case.key)), key_case.key);
        QCOMPARE(store.value(QLatin1String(key_case.key)).toString(), key_case.stored.toString());
    }
    QVERIFY(!store.contains(QStringLiteral("m_app_full_screen")));
}

void tst_kv_app_settings::paths_default_inside_the_stored_working_directory()
{
    QSettings store(org, common);
    store.setValue(QStringLiteral("m_str_working_dir__"), QStringLiteral("/data/kv/"));
    KV_Common_Settings settings;
    settings.read(store, QStringLiteral("/opt/kv/bin/project/"));

    QCOMPARE(settings.m_str_working_dir__, QStringLiteral("/data/kv/"));
    QCOMPARE(settings.m_str_last_archiv_dir_to, QStringLiteral("/data/kv/archiv/"));
    QCOMPARE(settings.m_str_last_archiv_dir_from, QStringLiteral("/data/kv/archiv/"));
    QCOMPARE(settings.m_str_last_project, QStringLiteral("/data/kv/app_demo.kvp"));
}

void tst_kv_app_settings::unconvertible_numbers_read_as_zero()
{
    QSettings store(org, common);
    store.setValue(QStringLiteral("m_autosave_"), QStringLiteral("dreißig"));
    store.setValue(QStringLiteral("m_history"), QStringLiteral("-3"));
    store.setValue(QStringLiteral("m_diag_max_rows"), QStringLiteral("12.5"));
    store.setValue(QStringLiteral("m_app_stay_active"), QString());
    store.setValue(QStringLiteral("m_check_version_"), QStringLiteral("4294967296"));
    store.sync();

    KV_Common_Settings settings;
    settings.read(store, QStringLiteral("/p/"));
    QCOMPARE(settings.m_autosave_, 0u);
    QCOMPARE(settings.m_history, 0u);
    QCOMPARE(settings.m_diag_max_rows, 0u);
    QCOMPARE(settings.m_app_stay_active, 0u);
    QCOMPARE(settings.m_check_version_, 0u);
    // Absent keys keep their defaults next to the broken ones.
    QCOMPARE(settings.m_raster_move___, 10u);
    QCOMPARE(settings.m_last_orientation, 2u);
}

void tst_kv_app_settings::settings_object_loads_at_construction()
{
    {
        QSettings store(org, common);
        store.setValue(QStringLiteral("_m_app_full_screen"), 1);
        store.setValue(QStringLiteral("m_autosave_"), 5);
        store.setValue(QStringLiteral("m_check_version_"), 0);
    }
    Recording_Settings settings(nullptr, closed_port);
    QCOMPARE(kv_app().settings, &settings);
    QCOMPARE(settings._m_app_full_screen, 1u);
    QCOMPARE(settings.m_autosave_, 5u);
    QCOMPARE(settings.m_str_working_dir__, QStringLiteral("/opt/kv/bin/project/"));
    QCOMPARE(settings.findChild<QSpinBox*>(QStringLiteral("m_spinBox_autosave"))->value(), 5);
    QVERIFY(settings.findChild<QCheckBox*>(QStringLiteral("m_checkBox_Fullscreen"))->isChecked());
}

void tst_kv_app_settings::geometry_and_state_round_trip()
{
    const QString app_org = QStringLiteral("kirovantor3-APP");
    QMainWindow saved;
    auto* tool_bar = saved.addToolBar(QStringLiteral("tools"));
    tool_bar->setObjectName(QStringLiteral("tools"));
    auto* dock = new QDockWidget(QStringLiteral("dock"), &saved);
    dock->setObjectName(QStringLiteral("dock"));
    saved.addDockWidget(Qt::LeftDockWidgetArea, dock);
    saved.setGeometry(40, 50, 640, 480);
    saved.show();
    QVERIFY(QTest::qWaitForWindowExposed(&saved));
    saved.addDockWidget(Qt::RightDockWidgetArea, dock);
    tool_bar->hide();

    CKV_Dlg_Settings::save_geometry(app_org, &saved);
    CKV_Dlg_Settings::save_state(app_org, &saved, 0);
    QVERIFY(QSettings(app_org, QStringLiteral("ViewState")).contains(QStringLiteral("_geometry")));
    QVERIFY(QSettings(app_org, QStringLiteral("_ViewState_0")).contains(QStringLiteral("_windowState")));

    QMainWindow restored;
    auto* other_bar = restored.addToolBar(QStringLiteral("tools"));
    other_bar->setObjectName(QStringLiteral("tools"));
    auto* other_dock = new QDockWidget(QStringLiteral("dock"), &restored);
    other_dock->setObjectName(QStringLiteral("dock"));
    restored.addDockWidget(Qt::LeftDockWidgetArea, other_dock);
    QVERIFY(CKV_Dlg_Settings::restore_geometry(app_org, &restored));
    QVERIFY(CKV_Dlg_Settings::restore_state(app_org, &restored, 0));
    QCOMPARE(restored.size(), saved.size());
    QCOMPARE(restored.dockWidgetArea(other_dock), Qt::RightDockWidgetArea);
    QVERIFY(other_bar->isHidden());
}

void tst_kv_app_settings::view_states_are_kept_per_view()
{
    const QString app_org = QStringLiteral("kirovantor3-APP-views");
    KV_Test_Settings_Home::clear(app_org, QStringLiteral("ViewState"));
    KV_Test_Settings_Home::clear(app_org, QStringLiteral("_ViewState_2"));
    QMainWindow window;
    QVERIFY(!CKV_Dlg_Settings::restore_geometry(app_org, &window));
    QVERIFY(!CKV_Dlg_Settings::restore_state(app_org, &window, 2));

    CKV_Dlg_Settings::save_state(app_org, &window, 2);
    QVERIFY(QSettings(app_org, QStringLiteral("_ViewState_2")).contains(QStringLiteral("_windowState")));
    QVERIFY(!QSettings(app_org, QStringLiteral("_ViewState_0")).contains(QStringLiteral("_windowState")));
    QVERIFY(CKV_Dlg_Settings::restore_state(app_org, &window, 2));
}

void tst_kv_app_settings::style_index_selects_the_sheet_and_is_stored()
{
    Recording_Settings settings(nullptr, closed_port);
    const QString light = resource_text(QStringLiteral(":stylesheets/light.qss"));
    const QString dark = resource_text(QStringLiteral(":stylesheets/dark.qss"));
    QVERIFY(!light.isEmpty());
    QVERIFY(!dark.isEmpty());
    QVERIFY(light != dark);
    QCOMPARE(qApp->styleSheet(), light); // the stored style, applied at construction

    QVERIFY(settings.set_app_style(KV_STYLE_DARK));
    QCOMPARE(qApp->styleSheet(), dark);
    QCOMPARE(settings.m_app_styleSheet, 1u);
    QCOMPARE(QSettings(org, common).value(QStringLiteral("m_app_styleSheet")).toUInt(), 1u);

    settings.slot_Stylesheet_App_Changed(KV_STYLE_LIGHT);
    QCOMPARE(qApp->styleSheet(), light);
    QCOMPARE(QSettings(org, common).value(QStringLiteral("m_app_styleSheet")).toUInt(), 0u);
    QCOMPARE(settings.findChild<QComboBox*>(QStringLiteral("m_comboBox_Stylesheet_App"))->currentIndex(), 0);

    // The combo box of the dialog applies at once as well.
    settings.findChild<QComboBox*>(QStringLiteral("m_comboBox_Stylesheet_App"))->setCurrentIndex(1);
    QCOMPARE(qApp->styleSheet(), dark);
    QCOMPARE(QSettings(org, common).value(QStringLiteral("m_app_styleSheet")).toUInt(), 1u);
}

void tst_kv_app_settings::unknown_style_index_changes_nothing()
{
    Recording_Settings settings(nullptr, closed_port);
    QVERIFY(settings.set_app_style(KV_STYLE_DARK));
    const QString dark = qApp->styleSheet();

    QVERIFY(!settings.set_app_style(2));
    QVERIFY(!settings.set_app_style(-1));
    QCOMPARE(qApp->styleSheet(), dark);
    QCOMPARE(settings.m_app_styleSheet, 1u);
    QCOMPARE(QSettings(org, common).value(QStringLiteral("m_app_styleSheet")).toUInt(), 1u);
}

void tst_kv_app_settings::style_sheets_parse_and_colour_the_probes()
{
    struct Probe_Colour
    {
        const char* style;
        const char* light;
        const char* dark;
    };
    const Probe_Colour probes[] = {{"on", "#29c7a5", "#29c7a5"},         {"off", "#c1c1c1", "#4a4a4a"},
                                   {"page", "#f2f2f2", "#1b1b1b"},       {"on_logic", "#3dbe5a", "#3dbe5a"},
                                   {"off_logic", "#e0463c", "#f0625a"},  {"page_logic", "#ffffff", "#232323"},
                                   {"navbar", "#ffffff", "#232323"}};
    QTest::failOnWarning(QRegularExpression(QStringLiteral("[Cc]ould not parse")));
    for (int index : {KV_STYLE_LIGHT, KV_STYLE_DARK}) {
        qApp->setStyleSheet(kv_read_style_sheet(kv_app_style_path(index)));
        for (const Probe_Colour& probe : probes) {
            QWidget widget;
            widget.setProperty("kv_style", QLatin1String(probe.style));
            widget.ensurePolished();
            QCOMPARE(widget.palette().color(QPalette::Window).name(),
                     QLatin1String(index == KV_STYLE_LIGHT ? probe.light : probe.dark));
        }
        // Light text on the dark page, dark text on the light one.
        QWidget page;
        page.setProperty("kv_style", QStringLiteral("page"));
        page.ensurePolished();
        const QPalette palette = page.palette();
        QCOMPARE(palette.color(QPalette::WindowText).lightness() > palette.color(QPalette::Window).lightness(),
                 index == KV_STYLE_DARK);
    }
    qApp->setStyleSheet(kv_read_style_sheet(QStringLiteral(":stylesheets/dark_studio.qss")));
}

void tst_kv_app_settings::style_sheets_set_every_control_property()
{
    const QStringList properties = {
        "backgroundcolor", "borderwidth", "borderradius", "bordercolor", "btncolorface", "btncolorpress", "btncolortext",
        "ratio_x", "ratio_y", "min_width", "min_height", "zrqdesign", "selection_color", "hovercolor", "ankercolor",
        "btncolorswitchon", "btncolorswitchoff", "shadowcolor", "shadowblur", "shadowxoffset", "shadowyoffset",
        "shadow_popup_blur", "shadow_popup_xoffset", "shadow_popup_yoffset", "btncolorslideron", "btncolorslideroff",
        "btncolorpageswipepress", "btncolorpageswipepage", "btncolorpageswipeactpage", "form_color_bg_on",
        "form_color_line_on", "form_color_bg_off", "form_color_line_off", "static_text_color", "btn_cta_default_color",
        "btn_cta_active_color", "btn_cta_inactive_color", "btn_cta_text_color", "btn_cta_text_inactive_color",
        "btn_grp_active_color", "btn_grp_inactive_color", "btn_grp_text_color", "btn_grp_text_inactive_color",
        "tile_scene_inactive_color", "header_bg_color", "header_text_color", "header_line_color"};
    QCOMPARE(properties.size(), 47);
    static const QRegularExpression block(QStringLiteral("(?:^|\\n)CKV_Gui_Control \\{([^}]*)\\}"));
    static const QRegularExpression line(QStringLiteral("qproperty-([a-z_]+):\\s*([^;]+);"));

    for (const char* sheet : {":stylesheets/light.qss", ":stylesheets/dark.qss"}) {
        const QRegularExpressionMatch match = block.match(resource_text(QLatin1String(sheet)));
        QVERIFY2(match.hasMatch(), sheet);
        QMap<QString, QString> values;
        for (const QRegularExpressionMatch& entry : line.globalMatch(match.captured(1)))
            values.insert(entry.captured(1), entry.captured(2).trimmed());
        QCOMPARE(values.keys().size(), properties.size());
        for (const QString& property : properties) {
            QVERIFY2(values.contains(property), qPrintable(property));
            const QString value = values.value(property);
            bool number = false;
            value.toDouble(&number);
            const bool valid = number || QColor::isValidColorName(value) || value == QLatin1String("false")
                || value == QLatin1String("true");
            QVERIFY2(valid, qPrintable(property + QLatin1String(": ") + value));
        }
    }
}

void tst_kv_app_settings::fields_in_error_get_a_red_frame()
{
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
        const QColor error = frame_colour(true);
        const QColor normal = frame_colour(false);
        QVERIFY2(error.red() > 2 * error.green() && error.red() > 2 * error.blue(), qPrintable(error.name()));
        QVERIFY2(!(normal.red() > 2 * normal.green()), qPrintable(normal.name()));
    }
}

void tst_kv_app_settings::dialog_accept_writes_every_changed_value()
{
    QSettings(org, common).setValue(QStringLiteral("m_check_version_"), 0);
    Recording_Settings settings(nullptr, closed_port);
    settings.findChild<QSpinBox*>(QStringLiteral("m_spinBox_autosave"))->setValue(45);
    settings.findChild<QSpinBox*>(QStringLiteral("m_spinBox_raster_move"))->setValue(25);
    settings.findChild<QCheckBox*>(QStringLiteral("m_checkBox_Fullscreen"))->setChecked(true);
    settings.findChild<QCheckBox*>(QStringLiteral("m_checkBox_open_last_project"))->setChecked(true);

    settings.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"))->button(QDialogButtonBox::Ok)->click();
    QCOMPARE(settings.result(), int(QDialog::Accepted));
    QCOMPARE(settings.m_autosave_, 45u);
    QSettings store(org, common);
    QCOMPARE(store.value(QStringLiteral("m_autosave_")).toUInt(), 45u);
    QCOMPARE(store.value(QStringLiteral("m_raster_move___")).toUInt(), 25u);
    QCOMPARE(store.value(QStringLiteral("_m_app_full_screen")).toUInt(), 1u);
    QCOMPARE(store.value(QStringLiteral("m_open_last_project_1")).toUInt(), 1u);
    QCOMPARE(store.value(QStringLiteral("m_str_working_dir__")).toString(), QStringLiteral("/opt/kv/bin/project/"));
    QCOMPARE(store.value(QStringLiteral("m_history")).toUInt(), 10u);
}

void tst_kv_app_settings::dialog_reject_restores_the_form()
{
    QSettings(org, common).setValue(QStringLiteral("m_check_version_"), 0);
    Recording_Settings settings(nullptr, closed_port);
    auto* autosave = settings.findChild<QSpinBox*>(QStringLiteral("m_spinBox_autosave"));
    autosave->setValue(45);
    settings.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"))->button(QDialogButtonBox::Cancel)->click();
    QCOMPARE(settings.result(), int(QDialog::Rejected));
    QCOMPARE(autosave->value(), 30);
    QCOMPARE(settings.m_autosave_, 30u);
    QVERIFY(!QSettings(org, common).contains(QStringLiteral("m_autosave_")));
}

void tst_kv_app_settings::dialog_single_changes_are_written_at_once()
{
    QSettings(org, common).setValue(QStringLiteral("m_check_version_"), 0);
    Recording_Settings settings(nullptr, closed_port);
    QSignalSpy live_update(&settings, &CKV_Dlg_Settings::liveUpdateChanged);

    settings.findChild<QCheckBox*>(QStringLiteral("m_checkBox_LiveUpdate"))->click();
    QCOMPARE(live_update.size(), 1);
    QCOMPARE(live_update.first().first().toBool(), true);
    QCOMPARE(QSettings(org, common).value(QStringLiteral("m_live_update")).toBool(), true);

    settings.findChild<QCheckBox*>(QStringLiteral("m_checkbox_check_version_dev"))->click();
    QCOMPARE(settings.m_check_version_, 1u);
    QCOMPARE(QSettings(org, common).value(QStringLiteral("m_check_version_")).toUInt(), 1u);

    // The editors' style is carried: stored, but the app keeps its sheet.
    const QString app_sheet = qApp->styleSheet();
    settings.findChild<QComboBox*>(QStringLiteral("m_comboBox_Stylesheet"))->setCurrentIndex(1);
    QCOMPARE(QSettings(org, common).value(QStringLiteral("m_styleSheet")).toUInt(), 1u);
    QCOMPARE(qApp->styleSheet(), app_sheet);

    // Full screen only warns; the choice itself is written with the dialog.
    settings.messages.clear();
    settings.findChild<QCheckBox*>(QStringLiteral("m_checkBox_Fullscreen"))->click();
    QCOMPARE(settings.messages, QStringList(QString::fromUtf8(CKV_Dlg_Settings::FULL_SCREEN_HINT)));
    QVERIFY(!QSettings(org, common).contains(QStringLiteral("_m_app_full_screen")));
}

void tst_kv_app_settings::stay_active_is_written_at_once()
{
    QSettings(org, common).setValue(QStringLiteral("m_check_version_"), 0);
    Recording_Settings settings(nullptr, closed_port);
    QVERIFY(settings.stay_active());
    settings.set_stay_active(false);
    QVERIFY(!settings.stay_active());
    QCOMPARE(QSettings(org, common).value(QStringLiteral("m_app_stay_active")).toUInt(), 0u);
    settings.set_stay_active(true);
    QCOMPARE(QSettings(org, common).value(QStringLiteral("m_app_stay_active")).toUInt(), 1u);
}

void tst_kv_app_settings::app_form_switches_style()
{
    QSettings(org, common).setValue(QStringLiteral("m_check_version_"), 0);
    Recording_Settings settings(nullptr, closed_port);
    CKV_Dlg_App_Settings form(settings, QStringLiteral("de"));
    auto* light = form.findChild<QRadioButton*>(QStringLiteral("m_radioButton_light"));
    auto* dark = form.findChild<QRadioButton*>(QStringLiteral("m_radioButton_dark"));
    QCOMPARE(light->text(), QStringLiteral("Light Mode"));
    QCOMPARE(dark->text(), QStringLiteral("Dark Mode"));
    QVERIFY(light->isChecked());

    dark->click();
    QCOMPARE(settings.m_app_styleSheet, 1u);
    QCOMPARE(qApp->styleSheet(), resource_text(QStringLiteral(":stylesheets/dark.qss")));
    QCOMPARE(settings.findChild<QComboBox*>(QStringLiteral("m_comboBox_Stylesheet_App"))->currentIndex(), 1);
    // The language choice is a group of its own and stays as it was.
    QVERIFY(form.findChild<QRadioButton*>(QStringLiteral("m_radioButton_de"))->isChecked());

    light->click();
    QCOMPARE(QSettings(org, common).value(QStringLiteral("m_app_styleSheet")).toUInt(), 0u);

    auto* stay_active = form.findChild<QCheckBox*>(QStringLiteral("m_checkBox_stay_active"));
    QCOMPARE(stay_active->text(), QStringLiteral("Screen aktiv lassen"));
    QVERIFY(stay_active->isChecked());
    stay_active->click();
    QCOMPARE(QSettings(org, common).value(QStringLiteral("m_app_stay_active")).toUInt(), 0u);
}

void tst_kv_app_settings::app_form_language_shows_restart_hint()
{
    QSettings(org, common).setValue(QStringLiteral("m_check_version_"), 0);
    Recording_Settings settings(nullptr, closed_port);
    CKV_Dlg_App_Settings form(settings, QStringLiteral("en"));
    form.show();
    QSignalSpy chosen(&form, &CKV_Dlg_App_Settings::language_chosen);
    auto* hint = form.findChild<QLabel*>(QStringLiteral("m_label_restart"));
    auto* restart = form.findChild<QPushButton*>(QStringLiteral("m_pushButton_restart"));
    auto* german = form.findChild<QRadioButton*>(QStringLiteral("m_radioButton_de"));
    auto* english = form.findChild<QRadioButton*>(QStringLiteral("m_radioButton_en"));
    QVERIFY(english->isChecked());
    QVERIFY(!hint->isVisible());
    QVERIFY(!restart->isVisible());

    german->click();
    QCOMPARE(chosen.size(), 1);
    QCOMPARE(chosen.last().first().toString(), QStringLiteral("de"));
    QVERIFY(hint->isVisible());
    QCOMPARE(hint->text(), QStringLiteral("App muss neu gestartet werden damit die Änderungen wirksam werden"));
    QCOMPARE(restart->text(), QStringLiteral("App Schließen"));

    english->click();
    QCOMPARE(chosen.last().first().toString(), QStringLiteral("en"));
    QCOMPARE(hint->text(), QStringLiteral("App must be restarted for changes to take effect"));
    QCOMPARE(restart->text(), QStringLiteral("Close App"));

    restart->click();
    QVERIFY(!form.isVisible());
}

void tst_kv_app_settings::app_form_push_needs_a_connection()
{
    QSettings(org, common).setValue(QStringLiteral("m_check_version_"), 0);
    Recording_Settings settings(nullptr, closed_port);
    CKV_Dlg_App_Settings form(settings, QStringLiteral("de"));
    QSignalSpy push(&form, &CKV_Dlg_App_Settings::push_changed);
    auto* toggle = form.findChild<QCheckBox*>(QStringLiteral("m_checkBox_push"));
    QCOMPARE(toggle->text(), QStringLiteral("Push Benachrichtigung"));
    QVERIFY(!toggle->isChecked());
    QVERIFY(!toggle->isEnabled());

    form.set_connected(true);
    toggle->click();
    QVERIFY(toggle->isChecked());
    QCOMPARE(push.size(), 1);
    QCOMPARE(push.first().first().toBool(), true);

    form.set_connected(false);
    QVERIFY(!toggle->isChecked());
    QVERIFY(!toggle->isEnabled());
}

QTEST_MAIN(tst_kv_app_settings)
#include "tst_kv_app_settings.moc"
