// The demo house operated by a finger only: the panel logs in to the
// simulator, and from the first page it shows, scripted touches on the glass
// reach a switched kitchen light, once on a landscape panel (page button,
// then the switch) and once on a portrait panel (room tile, then the switch
// tile). The simulator must see the write, and its bus echo comes back. With
// KV_SHOT_DIR set, every step is saved there as a picture (the README's touch
// pictures). Then, in both styles, every page of that orientation and what
// its controls open must offer nothing to operate narrower than a finger.
// Last, the pages follow a switch of the visualisation language, a colour
// preset recalled on the terrace light reaches the simulator's channels, and
// a date entry made in a clock tile its clock record.

#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QCalendarWidget>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cmath>

#include "../net/kvsim_process.h"
#include "../visu/kv_touch_script.h"
#include "kv_addr.h"
#include "kv_gui_cam.h"
#include "kv_gui_classic_blind.h"
#include "kv_gui_classic_color.h"
#include "kv_gui_classic_light.h"
#include "kv_gui_clock_control.h"
#include "kv_gui_clock_time_form.h"
#include "kv_gui_color_sequence.h"
#include "kv_gui_container.h"
#include "kv_gui_edit.h"
#include "kv_gui_heizkreis.h"
#include "kv_gui_label.h"
#include "kv_gui_popup.h"
#include "kv_gui_raumr.h"
#include "kv_gui_scene_page.h"
#include "kv_gui_weather.h"
#include "kv_gui_page_button.h"
#include "kv_gui_switch.h"
#include "kv_gui_tile_clock.h"
#include "kv_gui_tile_onoff.h"
#include "kv_gui_tile_room.h"
#include "kv_project_installer.h"
#include "kv_studio_main_app.h"
#include "kv_style.h"
#include "kv_test_main_project.h"
#include "kv_test_settings_home.h"

namespace {
constexpr int WAIT_MS = 20000;
const KV_Group_Address KITCHEN{1, 0, 6};

class Recording_Window : public CKV_Studio_Main_App {
public:
    QList<KV_Addr_Tgm> telegrams;

protected:
    void on_telegram(const KV_Addr_Tgm& telegram) override
    {
        telegrams << telegram;
        CKV_Studio_Main_App::on_telegram(telegram);
    }
};

bool is_write_to(const KV_Addr_Tgm& tgm, const KV_Group_Address& address)
{
    return tgm.command == KV_TGM_WRITE && KV_Group_Address{tgm.dest_address[0], tgm.dest_address[1],
                                                           tgm.dest_address[2]} == address;
}

// The control of that class on the page shown now that passes `fits`.
template <class T, class Fits>
T* shown(QWidget& window, Fits fits)
{
    for (T* control : window.findChildren<T*>())
        if (control->isVisible() && fits(control))
            return control;
    return nullptr;
}

bool named(const CKV_Gui_Control* control, const char* name)
{
    return control->record().m_str_name == name;
}

bool on_kitchen(const CKV_Gui_Control* control)
{
    return !control->record().m_list_addr.empty() && control->record().m_list_addr[0] == KITCHEN;
}

// Logged in and showing the project the simulator just sent, installed, every page built.
// The simulator's project installed by this window (the local file may hold
// it already from an earlier test, so its pages alone prove nothing) and its
// pages built and shown.
bool downloaded(CKV_Studio_Main_App& window, const QSignalSpy& installed)
{
    return !installed.isEmpty() && window.installer().state() == KV_Project_Installer::State::Idle &&
           window.is_logged_in() && window.pages_ready() && !window.pages_busy() && window.is_page_stack_shown();
}

void picture(QWidget& window, const char* name)
{
    const QString dir = qEnvironmentVariable("KV_SHOT_DIR");
    if (dir.isEmpty())
        return;
    QTest::qWait(300);
    QVERIFY(window.grab().save(dir + QLatin1Char('/') + QLatin1String(name)));
}

// The simulator logged the kitchen's new value after its first `from` lines.
bool kitchen_written(const Kvsim_Process& sim, qsizetype from, bool was_on)
{
    return !sim.lines.mid(from).filter(was_on ? QStringLiteral("WRITE 1/0/6 type 1 value 00")
                                              : QStringLiteral("WRITE 1/0/6 type 1 value 01")).isEmpty();
}

// A finger's 9 mm on the reference panel, a 10.1" 1280 x 800 screen
// (149 DPI); the test window has its pixels.
const double FINGER = 9.0 * std::hypot(1280.0, 800.0) / 10.1 / 25.4;

QString label(const QWidget* widget)
{
    if (const auto* control = qobject_cast<const CKV_Gui_Control*>(widget))
        return QString::fromStdString(control->record().m_str_name);
    QString text = widget->objectName();
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        text += QLatin1Char(' ') + button->text();
    return QString::fromLatin1(widget->metaObject()->className()) + QLatin1Char(' ') + text.trimmed();
}

// Every operable thing shown in `window` narrower than a finger, once each:
// controls and the buttons drawn in them, buttons, fields, the rows of
// drop-down lists and the knobs of sliders (their size from the style).
void narrow_parts(QWidget& window, QStringList& faults)
{
    const auto check = [&](const QWidget* widget, const QString& what, QSizeF size) {
        const QString fault = QStringLiteral("%1 %2: %3 x %4 px")
                                  .arg(label(widget), what)
                                  .arg(size.width())
                                  .arg(size.height());
        if (std::min(size.width(), size.height()) < FINGER - 0.5 && !faults.contains(fault))
            faults.append(fault);
    };
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        // Scroll bars only show where a flick is; a spin box is measured whole.
        if (!widget->isVisible() || qobject_cast<QScrollBar*>(widget) ||
            qobject_cast<QAbstractSpinBox*>(widget->parentWidget()))
            continue;
        if (auto* control = qobject_cast<CKV_Gui_Control*>(widget)) {
            if (!control->operable())
                continue;
            check(control, QString(), control->size());
            for (const QRect& part : control->operable_parts())
                check(control, QStringLiteral("part"), part.size());
        } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            check(combo, QString(), combo->size());
            if (combo->count() == 0)
                continue;
            combo->showPopup();
            const QAbstractItemView* rows = combo->view();
            check(combo, QStringLiteral("row"), rows->visualRect(rows->model()->index(0, 0)).size());
            combo->hidePopup();
        } else if (auto* view = qobject_cast<QAbstractItemView*>(widget)) {
            // Lists and the calendar's days: the last row's first cell.
            const QModelIndex last = view->model()->index(view->model()->rowCount() - 1, 0);
            if (last.isValid())
                check(view, QStringLiteral("cell"), view->visualRect(last).size());
        } else if (auto* slider = qobject_cast<QAbstractSlider*>(widget)) {
            const QStyle* style = slider->style();
            check(slider, QStringLiteral("knob"),
                  QSize(style->pixelMetric(QStyle::PM_SliderLength, nullptr, slider),
                        style->pixelMetric(QStyle::PM_SliderThickness, nullptr, slider)));
        } else if (qobject_cast<QAbstractButton*>(widget) || qobject_cast<QLineEdit*>(widget) ||
                   qobject_cast<QAbstractSpinBox*>(widget) || widget->inherits("KV_Tile_Level_Slider") ||
                   widget->inherits("CKV_Gui_Control_Widget_Gradient_Slider")) {
            check(widget, QString(), widget->size());
        }
    }
}

// Opens what a control opens (popup, overlay, keypad, editor, PIN pad) as a
// finger would; false for controls that open nothing.
bool open_popup(CKV_Gui_Control* control)
{
    const QPoint centre = control->rect().center();
    if (auto* dimmer = qobject_cast<CKV_Gui_Control_App_Dimmer*>(control))
        dimmer->open_value_popup();
    else if (auto* blind = qobject_cast<CKV_Gui_Control_App_Rollo*>(control))
        blind->open_value_popup();
    else if (auto* room = qobject_cast<CKV_Gui_Control_App_Raumr*>(control))
        room->open_popup();
    else if (auto* circuit = qobject_cast<CKV_Gui_Control_App_Heizkreis*>(control))
        circuit->open_popup();
    else if (auto* clock = qobject_cast<CKV_Gui_Control_App_Uhr*>(control))
        clock->open_editor();
    else if (auto* colour = qobject_cast<CKV_Gui_Control_App_RGBW*>(control))
        colour->open_overlay();
    else if (auto* tile = qobject_cast<CKV_Gui_Control_Tile_Touch_Base*>(control))
        tile->open_overlay();
    else if (!control->param(KV_PARAM_PIN).isEmpty())
        KV_Finger::tap(control, centre);
    else if (qobject_cast<CKV_Gui_Control_Edit*>(control) || qobject_cast<CKV_Gui_Control_App_Scene_Page*>(control) ||
             qobject_cast<CKV_Gui_Control_App_RGBW_SEQU*>(control) || qobject_cast<CKV_Gui_Control_Popup_Button*>(control) ||
             qobject_cast<CKV_Gui_Control_App_Open_Weather*>(control) || qobject_cast<CKV_Gui_Control_App_IP_Cam*>(control) ||
             qobject_cast<CKV_Gui_Control_App_IP_Cam_Snapshot*>(control))
        control->on_release(centre);
    else
        return false;
    return true;
}

// The screens a popup opens in turn: a heating program's times, its first
// listed switching time or colour step, and the hour keypad of a time editor.
void second_level_parts(QWidget& window, QStringList& faults)
{
    for (const char* name : {"kv_temp_times", "kv_heizkreis_time"})
        for (QPushButton* times : window.findChildren<QPushButton*>(QLatin1String(name)))
            if (times->isVisible()) {
                times->click();
                QTest::qWait(400); // the times slide in
                narrow_parts(window, faults);
            }
    QList<QPushButton*> first_rows;
    for (auto* times : window.findChildren<CKV_Gui_Control_App_Overlay_Timer*>())
        if (times->isVisible())
            first_rows += times->rows().mid(0, 1);
    for (auto* steps : window.findChildren<CKV_Gui_Control_App_Overlay_Sequence_Colors*>())
        if (steps->isVisible())
            first_rows += steps->rows().mid(0, 1);
    for (QPushButton* row : first_rows) {
        row->click();
        QTest::qWait(400); // the editor slides in
        narrow_parts(window, faults);
    }
    for (const char* name : {"m_rc_tm_time_h", "kv_hour"})
        for (QPushButton* hour : window.findChildren<QPushButton*>(QLatin1String(name)))
            if (hour->isVisible()) {
                hour->click();
                narrow_parts(window, faults);
            }
}

// On the reference panel in the window's orientation, in both styles: no
// operable part of any page, nor of what its controls open, is narrower than
// a finger. Each kind of popup is opened once per style.
void finger_sized(CKV_Studio_Main_App& window, bool vertical)
{
    QStringList faults;
    for (int style : {KV_STYLE_LIGHT, KV_STYLE_DARK}) {
        qApp->setStyleSheet(kv_read_style_sheet(kv_app_style_path(style)));
        QSet<QString> opened;
        for (const CKV_Gui_Control_Container* canvas : window.canvases()) {
            if (canvas->is_vertical() != vertical)
                continue;
            window.goPage(canvas->page_guid());
            QTRY_VERIFY(canvas->isVisible());
            narrow_parts(window, faults);
            for (CKV_Gui_Control* control : canvas->controls()) {
                if (opened.contains(QString::fromLatin1(control->metaObject()->className())))
                    continue;
                QSet<QWidget*> before{&window};
                for (QWidget* widget : window.findChildren<QWidget*>())
                    if (widget->isVisible())
                        before.insert(widget);
                if (!open_popup(control))
                    continue;
                opened.insert(QString::fromLatin1(control->metaObject()->className()));
                QTest::qWait(400); // overlays slide in
                narrow_parts(window, faults);
                second_level_parts(window, faults);
                // The clock editor's other page: a yearly date.
                if (auto* clock = qobject_cast<CKV_Gui_Control_App_Uhr*>(control)) {
                    clock->editor()->form()->date_button()->click();
                    QTest::qWait(50);
                    narrow_parts(window, faults);
                }
                for (QWidget* widget : window.findChildren<QWidget*>())
                    if (widget->isVisible() && !before.contains(widget) && before.contains(widget->parentWidget()))
                        widget->hide();
            }
        }
        // Hidden overlays still count themselves open and would not slide in
        // again for the other style.
        const auto overlays = window.findChildren<CKV_Gui_Control_Tile_Overlay_Base*>();
        for (auto* overlay : overlays)
            overlay->set_visible_animated(false);
        QTRY_VERIFY(std::all_of(overlays.begin(), overlays.end(), [](auto* overlay) {
            return overlay->state() == CKV_Gui_Control_Tile_Overlay_Base::State::Hidden;
        }));
    }
    qApp->setStyleSheet(QString());
    for (const QString& fault : faults)
        qWarning("narrower than a finger: %s", qPrintable(fault));
    QVERIFY2(faults.isEmpty(), qPrintable(QString::number(faults.size()) + QStringLiteral(" narrower than a finger")));
}
} // namespace

class tst_main_touch_tour : public QObject {
    Q_OBJECT

    // Logged in, with the demo project downloaded and installed.
    void start(Recording_Window& window)
    {
        const QSignalSpy installed(&window.installer(), &KV_Project_Installer::installed);
        window.set_tick_intervals(50, 500);
        window.show();
        QTRY_VERIFY_WITH_TIMEOUT(downloaded(window, installed), WAIT_MS);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid() && m_dir.isValid());
        KV_Test_Settings_Home::reset_common(m_dir.path() + QStringLiteral("/"));
        QVERIFY(m_sim.start({"--no-discovery", "--full-log"}));
        QVERIFY(write_test_project(m_dir.filePath(QStringLiteral("kv_app.kvp")), "Lokal", {},
                                   {test_route("Sim", "127.0.0.1:" + std::to_string(m_sim.port))}));
    }

    void landscape_page_button_then_kitchen_switch()
    {
        Recording_Window window;
        window.resize(1280, 800);
        start(window);
        picture(window, "touch-landscape-1-start.png");

        auto* floor = shown<CKV_Gui_Control_Button_Seitenwechsel>(
            window, [](const CKV_Gui_Control* c) { return named(c, "Erdgeschoss"); });
        QVERIFY(floor);
        KV_Finger::tap(floor, floor->rect().center());
        CKV_Gui_Control_Button_Universal* kitchen = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((kitchen = shown<CKV_Gui_Control_Button_Universal>(window, on_kitchen)), WAIT_MS);
        picture(window, "touch-landscape-2-floor.png");

        const bool was_on = kitchen->is_on();
        const qsizetype from = m_sim.lines.size();
        window.telegrams.clear();
        KV_Finger::tap(kitchen, kitchen->rect().center());
        QTRY_VERIFY_WITH_TIMEOUT(kitchen_written(m_sim, from, was_on), WAIT_MS);
        // The simulator's bus echo comes back to the panel.
        QTRY_VERIFY_WITH_TIMEOUT(std::any_of(window.telegrams.begin(), window.telegrams.end(),
                                             [](const KV_Addr_Tgm& tgm) { return is_write_to(tgm, KITCHEN); }),
                                 WAIT_MS);
        QCOMPARE(kitchen->is_on(), !was_on);
        QCOMPARE(value_as_double(*window.address_tree().find_address(KITCHEN)) != 0.0, !was_on);
        picture(window, "touch-landscape-3-switched.png");
        finger_sized(window, false);
    }

    // In one window: switching the visualisation language re-translates the
    // built pages at once, and back again; the terrace light's overlay shows
    // its block (600) and recalling "Magenta" writes the four channels, which
    // the simulator logs; a one-time date entry made in the garden clock
    // tile's editor reaches the simulator's clock record, and the times as
    // they were, stored as a preset first, are recalled afterwards and
    // replace it there again.
    void language_colour_preset_and_date_entry()
    {
        Recording_Window window;
        start(window);
        const auto texts = [&] {
            QStringList shown;
            for (auto* label : window.findChildren<CKV_Gui_Control_Label_Text*>())
                shown << label->text();
            return shown;
        };
        QVERIFY(texts().contains("Haus Sonnenhang"));
        window.set_visu_language("en");
        QVERIFY(texts().contains("Sunny Slope House"));
        QVERIFY(!texts().contains("Haus Sonnenhang"));
        window.set_visu_language("");
        QVERIFY(texts().contains("Haus Sonnenhang"));

        CKV_Gui_Control_App_RGBW* light = nullptr;
        for (auto* candidate : window.findChildren<CKV_Gui_Control_App_RGBW*>())
            if (candidate->record().m_typ == 1512)
                light = candidate;
        QVERIFY(light);
        window.goPage(int(window.canvases().indexOf(light->canvas())));
        QTest::mouseClick(light, Qt::LeftButton, {}, light->rect().center());
        QVERIFY(light->overlay());
        QTRY_VERIFY_WITH_TIMEOUT(m_sim.logged("<- 600 "), WAIT_MS);
        QTRY_COMPARE(light->overlay()->state(), CKV_Gui_Control_Tile_Overlay_Base::State::Open);
        QPushButton* magenta = nullptr;
        for (QPushButton* row : light->overlay()->preset_list()->rows())
            if (row->text() == QStringLiteral("Magenta"))
                magenta = row;
        QVERIFY(magenta);
        magenta->click();
        for (const char* write : {"WRITE 1/2/3 type 6 value ff", "WRITE 1/2/4 type 6 value 00",
                                  "WRITE 1/2/5 type 6 value ff", "WRITE 1/2/6 type 6 value 00"})
            QTRY_VERIFY2_WITH_TIMEOUT(m_sim.logged(QString::fromLatin1(write)), write, WAIT_MS);

        const auto tiles = window.findChildren<CKV_Gui_Control_Tile_Clock*>();
        QVERIFY(!tiles.isEmpty());
        CKV_Gui_Control_Tile_Clock* tile = tiles.first();
        window.goPage(int(window.canvases().indexOf(tile->canvas())));
        tile->open_overlay();
        auto* overlay = qobject_cast<CKV_Gui_Control_App_Overlay_Timer*>(tile->overlay());
        QVERIFY(overlay);
        QTRY_COMPARE(overlay->state(), CKV_Gui_Control_Tile_Overlay_Base::State::Open);
        const int index = int(overlay->rows().size());
        overlay->preset_list()->name_field()->setText(QStringLiteral("Alltag"));
        overlay->preset_list()->store_button()->click();
        overlay->add_button()->click();
        CKV_Gui_Overlay_Shift_Time_Edit* editor = overlay->editor();
        QTRY_COMPARE(editor->state(), CKV_Gui_Control_Tile_Overlay_Base::State::Open);
        CKV_Gui_Clock_Time_Form* form = editor->form();
        form->set_name(QStringLiteral("Sommerfest"));
        form->date_button()->click();
        form->every_year()->setChecked(false);
        emit form->calendar()->clicked(QDate(2027, 6, 21));
        editor->done_button()->click();
        const QString time = QStringLiteral("clock__0__tm__%1_").arg(index);
        for (const QString& field : {time + "m_typ=1 ", time + "m_str_name=Sommerfest ", time + "m_year=2027 ",
                                     time + "m_use_year=1 ", time + "m_month=6 ", time + "m_day=21 "})
            QTRY_VERIFY2_WITH_TIMEOUT(m_sim.logged(field), qPrintable(field), WAIT_MS);
        QTRY_VERIFY_WITH_TIMEOUT(m_sim.logged("clock settings stored"), WAIT_MS);
        // The simulator's record comes back (renamed there) with the entry in it.
        m_sim.command("clock Garten neu");
        const auto clock = [&window] { return window.clock_settings().m_list_clock.at(0); };
        QTRY_COMPARE_WITH_TIMEOUT(clock().m_str_name, std::string("Garten neu"), WAIT_MS);
        QCOMPARE(clock().m_list_time.at(size_t(index)).m_str_name, std::string("Sommerfest"));

        m_sim.lines.clear();
        QCOMPARE(overlay->preset_list()->rows().at(0)->text(), QStringLiteral("Alltag"));
        overlay->preset_list()->rows().at(0)->click();
        QTRY_VERIFY_WITH_TIMEOUT(m_sim.logged("clock settings stored"), WAIT_MS);
        const QStringList record = m_sim.lines.filter(QStringLiteral("<- 180 "));
        QCOMPARE(record.size(), 1);
        QVERIFY(record[0].contains(QStringLiteral("m_str_name=Garten neu ")));
        QVERIFY(!record[0].contains(QStringLiteral("Sommerfest")));
        QVERIFY(record[0].contains(QStringLiteral("clock__0__tm__%1_m_typ=").arg(index - 1)));
        QVERIFY(!record[0].contains(time));
        QTRY_VERIFY_WITH_TIMEOUT(m_sim.logged("<- 182 ") && m_sim.logged("<- 183 "), WAIT_MS);
        QCOMPARE(clock().m_list_time.size(), size_t(index));
    }

    // Last: it turns the panel upright.
    void portrait_room_tile_then_kitchen_tile()
    {
        Recording_Window window;
        start(window);
        // The panel hangs upright.
        window.slot_ver();
        window.resize(800, 1280);
        QTRY_VERIFY_WITH_TIMEOUT(shown<CKV_Gui_Control_Tile_Room>(window, [](const CKV_Gui_Control*) { return true; }), WAIT_MS);
        picture(window, "touch-portrait-1-start.png");

        auto* room = shown<CKV_Gui_Control_Tile_Room>(window, [](const CKV_Gui_Control* c) { return named(c, "Wohnen"); });
        QVERIFY(room);
        KV_Finger::tap(room, room->rect().center());
        CKV_Gui_Control_Tile_OnOff* kitchen = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((kitchen = shown<CKV_Gui_Control_Tile_OnOff>(window, on_kitchen)), WAIT_MS);
        picture(window, "touch-portrait-2-room.png");

        const bool was_on = !kitchen->is_off();
        const qsizetype from = m_sim.lines.size();
        KV_Finger::tap(kitchen, kitchen->rect().center());
        QTRY_VERIFY_WITH_TIMEOUT(kitchen_written(m_sim, from, was_on), WAIT_MS);
        QTRY_COMPARE_WITH_TIMEOUT(!kitchen->is_off(), !was_on, WAIT_MS);
        picture(window, "touch-portrait-3-switched.png");
        finger_sized(window, true);
    }

private:
    KV_Test_Settings_Home m_home;
    QTemporaryDir m_dir;
    Kvsim_Process m_sim; // serves the demo project
};

QTEST_MAIN(tst_main_touch_tour)
#include "tst_main_touch_tour.moc"
