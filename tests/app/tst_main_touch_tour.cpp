// The demo house operated by a finger only: the panel logs in to the
// simulator, and from the first page it shows, scripted touches on the glass
// reach a switched kitchen light, once on a landscape panel (page button,
// then the switch) and once on a portrait panel (room tile, then the switch
// tile). The simulator must see the write. With KV_SHOT_DIR set, every step
// is saved there as a picture (the README's touch pictures). Then, in both
// styles, every page of that orientation and what its controls open must
// offer nothing to operate narrower than a finger.

#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
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
#include "kv_gui_popup.h"
#include "kv_gui_raumr.h"
#include "kv_gui_scene_page.h"
#include "kv_gui_weather.h"
#include "kv_gui_page_button.h"
#include "kv_gui_switch.h"
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

// Logged in and showing the project the simulator just sent, installed.
bool downloaded(CKV_Studio_Main_App& window, const Kvsim_Process& sim, qsizetype from)
{
    bool sent = false;
    for (qsizetype i = from; i < sim.lines.size() && !sent; ++i)
        sent = sim.lines[i].contains(QStringLiteral("-> 26,"));
    return sent && window.installer().state() == KV_Project_Installer::State::Idle && window.is_logged_in() &&
           window.pages_ready() && window.is_page_stack_shown();
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
    const QString write = was_on ? QStringLiteral("WRITE 1/0/6 type 1 value 00")
                                 : QStringLiteral("WRITE 1/0/6 type 1 value 01");
    for (qsizetype i = from; i < sim.lines.size(); ++i)
        if (sim.lines[i].contains(write))
            return true;
    return false;
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
    }
    qApp->setStyleSheet(QString());
    for (const QString& fault : faults)
        qWarning("narrower than a finger: %s", qPrintable(fault));
    QVERIFY2(faults.isEmpty(), qPrintable(QString::number(faults.size()) + QStringLiteral(" narrower than a finger")));
}
} // namespace

class tst_main_touch_tour : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        QVERIFY(m_dir.isValid());
        KV_Test_Settings_Home::reset_common(m_dir.path() + QStringLiteral("/"));
        QVERIFY(m_sim.start({"--no-discovery"}));
        QVERIFY(write_test_project(m_dir.filePath(QStringLiteral("kv_app.kvp")), "Lokal", {},
                                   {test_route("Sim", "127.0.0.1:" + std::to_string(m_sim.port))}));
    }

    void landscape_page_button_then_kitchen_switch()
    {
        const qsizetype from_line = m_sim.lines.size();
        CKV_Studio_Main_App window;
        window.set_tick_intervals(50, 500);
        window.resize(1280, 800);
        window.show();
        QTRY_VERIFY_WITH_TIMEOUT(downloaded(window, m_sim, from_line), WAIT_MS);
        picture(window, "touch-landscape-1-start.png");

        auto* floor = shown<CKV_Gui_Control_Button_Seitenwechsel>(
            window, [](const CKV_Gui_Control* c) { return named(c, "Erdgeschoss"); });
        QVERIFY(floor);
        KV_Finger::tap(floor, floor->rect().center());
        CKV_Gui_Control_Button_Universal* kitchen = nullptr;
        QTRY_VERIFY((kitchen = shown<CKV_Gui_Control_Button_Universal>(window, on_kitchen)));
        picture(window, "touch-landscape-2-floor.png");

        const bool was_on = kitchen->is_on();
        const qsizetype from = m_sim.lines.size();
        KV_Finger::tap(kitchen, kitchen->rect().center());
        QTRY_VERIFY_WITH_TIMEOUT(kitchen_written(m_sim, from, was_on), WAIT_MS);
        QTRY_COMPARE_WITH_TIMEOUT(kitchen->is_on(), !was_on, WAIT_MS);
        picture(window, "touch-landscape-3-switched.png");
        finger_sized(window, false);
    }

    void portrait_room_tile_then_kitchen_tile()
    {
        const qsizetype from_line = m_sim.lines.size();
        CKV_Studio_Main_App window;
        window.set_tick_intervals(50, 500);
        window.show();
        QTRY_VERIFY_WITH_TIMEOUT(downloaded(window, m_sim, from_line), WAIT_MS);
        // The panel hangs upright.
        window.slot_ver();
        window.resize(800, 1280);
        QTRY_VERIFY(shown<CKV_Gui_Control_Tile_Room>(window, [](const CKV_Gui_Control*) { return true; }));
        picture(window, "touch-portrait-1-start.png");

        auto* room = shown<CKV_Gui_Control_Tile_Room>(window, [](const CKV_Gui_Control* c) { return named(c, "Wohnen"); });
        QVERIFY(room);
        KV_Finger::tap(room, room->rect().center());
        CKV_Gui_Control_Tile_OnOff* kitchen = nullptr;
        QTRY_VERIFY((kitchen = shown<CKV_Gui_Control_Tile_OnOff>(window, on_kitchen)));
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
