// The scene page: the factory builds it for both type numbers, a tap opens
// the list of scenes, a scene starts at once or offers its actions, and
// "Konfigurieren" takes the current values of the ticked items into the
// scene and hands the record to the controller.

#include <QCheckBox>
#include <QPushButton>
#include <QtTest>

#include "../visu/kv_fake_host.h"
#include "kv_gui_clock.h"
#include "kv_gui_factory.h"
#include "kv_gui_scene_page.h"
#include "kv_gui_tiles.h"
#include "kv_network_msg.h"

namespace {
using Popup = CKV_Gui_Control_App_Scene_Page_Popup_List;

const KV_Group_Address LIGHT{1, 0, 1};
const KV_Group_Address BLIND{1, 0, 2};
const KV_Group_Address GONE{1, 0, 9}; // not in the address tree
constexpr uint32_t FLOAT32 = 9;

KV_Settings_Scene::Scene scene(const std::string& name, const std::string& guid,
                               const std::vector<std::pair<KV_Group_Address, double>>& items = {})
{
    KV_Settings_Scene::Scene result;
    result.m_str_name = name;
    result.m_str_guid = guid;
    for (const auto& [address, value] : items) {
        KV_Settings_Scene::Item item;
        item.m_addr = address;
        item.m_value = value;
        result.m_list_item.push_back(item);
    }
    return result;
}

// A page with one scene page control and two scenes; the lights and blinds
// report current values, the third address of the evening scene is unknown.
struct Scene_Page {
    KV_Test_Page p;
    CKV_Gui_Control_App_Scene_Page* control = nullptr;

    explicit Scene_Page(const char* allow_save, int type = 1126)
    {
        p.host.scenes.m_list_scene = {scene("Morgen", "{morning}"),
                                      scene("Abend", "{evening}", {{LIGHT, 10}, {BLIND, 20}, {GONE, 30}})};
        set_value_from_double(*p.host.add_address(LIGHT, FLOAT32), 75.5);
        set_value_from_double(*p.host.add_address(BLIND, FLOAT32), 40);
        p.add(type, "{scenes}", {}, {{"Speichern erlauben", allow_save}}, 200, 80);
        p.build();
        control = p.control<CKV_Gui_Control_App_Scene_Page>("{scenes}");
    }

    Popup* open()
    {
        KV_Test_Page::click(control);
        return control->popup();
    }
    static QPushButton* button(QWidget* view, const char* name)
    {
        return view->findChild<QPushButton*>(QLatin1String(name));
    }
    // Opens the evening scene's configuration view.
    Popup* configure_evening()
    {
        Popup* popup = open();
        popup->list_view()->findChildren<QPushButton*>(QStringLiteral("kv_scene_row")).at(1)->click();
        button(popup->actions_view(), "kv_scene_configure")->click();
        return popup;
    }
    const std::vector<KV_Settings_Scene::Item>& evening_items() const
    {
        return p.host.scenes.m_list_scene[1].m_list_item;
    }
};
} // namespace

class tst_scene_page : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        kv_register_tile_controls();
        kv_register_clock_controls();
    }

    void both_types_build_the_page_with_its_list()
    {
        for (int type : {1126, 1509}) {
            Scene_Page s("1", type);
            Popup* popup = s.open();
            QVERIFY(popup && popup->isVisible());
            QCOMPARE(popup->parentWidget(), s.p.canvas()->scroll_area());
            QCOMPARE(popup->geometry(), s.p.canvas()->scroll_area()->rect());
            QCOMPARE(popup->current_view(), popup->list_view());
            QVERIFY(s.p.host.popup_open());
            QStringList names;
            for (QPushButton* row : popup->list_view()->findChildren<QPushButton*>(QStringLiteral("kv_scene_row")))
                names << row->text();
            QCOMPARE(names, QStringList({"Morgen", "Abend"}));
            Scene_Page::button(popup->list_view(), "kv_scene_close")->click();
            QVERIFY(!popup->isVisible());
            QVERIFY(!s.p.host.popup_open());
        }
    }

    void tap_on_a_scene_data()
    {
        QTest::addColumn<QString>("allow_save");
        QTest::addColumn<bool>("offers_actions");
        QTest::newRow("saving allowed") << "1" << true;
        QTest::newRow("saving not allowed") << "0" << false;
    }
    void tap_on_a_scene()
    {
        QFETCH(QString, allow_save);
        QFETCH(bool, offers_actions);
        Scene_Page s(qPrintable(allow_save));
        Popup* popup = s.open();
        popup->list_view()->findChildren<QPushButton*>(QStringLiteral("kv_scene_row")).at(1)->click();
        if (offers_actions) {
            // The scene waits for the user's choice; "Ausführen" starts it.
            QCOMPARE(popup->current_view(), popup->actions_view());
            QVERIFY(s.p.host.messages_sent.empty());
            Scene_Page::button(popup->actions_view(), "kv_scene_run")->click();
        } else {
            // Started at once; neither action can be reached.
            popup->configure_scene();
            QVERIFY(popup->current_view() != popup->config_view());
        }
        QCOMPARE(s.p.host.texts_sent, (std::vector<std::pair<uint32_t, std::string>>{{kv_msg::SCENE_TEXT, "{evening}"}}));
        QCOMPARE(s.p.host.messages_sent, std::vector<uint32_t>{kv_msg::SCENE_TEXT});
        QVERIFY(!popup->isVisible());
    }

    // Only a scene with a stop address offers "Stoppen"; it writes the stop trigger.
    void stop_writes_the_trigger_of_a_stoppable_scene()
    {
        Scene_Page s("1");
        const KV_Group_Address stop{1, 0, 3};
        s.p.host.add_address(stop, 1);
        s.p.host.scenes.m_list_scene[1].m_addr_bit_stop = stop;
        s.p.host.scenes.m_list_scene[1].m_addr_bit_stop_trigger = 1;
        Popup* popup = s.open();
        const auto rows = popup->list_view()->findChildren<QPushButton*>(QStringLiteral("kv_scene_row"));
        QPushButton* stop_button = Scene_Page::button(popup->actions_view(), "kv_scene_stop");
        rows.at(0)->click();
        QVERIFY(!stop_button->isVisibleTo(popup));
        Scene_Page::button(popup->actions_view(), "kv_scene_back")->click();
        rows.at(1)->click();
        QVERIFY(stop_button->isVisibleTo(popup));
        QVERIFY(!stop_button->icon().isNull());
        stop_button->click();
        QCOMPARE(s.p.host.sent_pairs(), (std::vector<std::pair<KV_Group_Address, double>>{{stop, 1.0}}));
        QVERIFY(!popup->isVisible());
    }

    void configuring_takes_current_values_of_ticked_known_items()
    {
        Scene_Page s("1");
        KV_Settings_Scene expected = s.p.host.scenes;
        Popup* popup = s.configure_evening();
        QCOMPARE(popup->current_view(), popup->config_view());
        const QList<QCheckBox*>& boxes = popup->config_view()->check_boxes();
        QCOMPARE(boxes.size(), 3);
        QVERIFY(boxes[0]->isChecked() && boxes[1]->isChecked() && boxes[2]->isChecked());
        QVERIFY(boxes[0]->text().startsWith(QStringLiteral("1/0/1")));
        boxes[1]->setChecked(false);
        Scene_Page::button(popup->config_view(), "kv_scene_save")->click();

        // The light takes its current value; the unticked blind and the
        // item whose address is unknown keep theirs.
        QCOMPARE(s.evening_items()[0].m_value, 75.5);
        QCOMPARE(s.evening_items()[1].m_value, 20.0);
        QCOMPARE(s.evening_items()[2].m_value, 30.0);

        // Record, scene, apply: in this order, the record as the whole
        // changed text, the apply without text.
        expected.m_list_scene[1].m_list_item[0].m_value = 75.5;
        QCOMPARE(s.p.host.messages_sent,
                 (std::vector<uint32_t>{kv_msg::SCENE_SETTINGS, kv_msg::SCENE_PAGE_TEXT, kv_msg::SCENE_APPLY}));
        QCOMPARE(s.p.host.texts_sent, (std::vector<std::pair<uint32_t, std::string>>{
                                          {kv_msg::SCENE_SETTINGS, expected.encode()},
                                          {kv_msg::SCENE_PAGE_TEXT, "{evening}"}}));
        QVERIFY(!popup->isVisible());
    }

    void cancelled_or_disconnected_configuring()
    {
        {
            // Cancel leaves the record and sends nothing.
            Scene_Page s("1");
            Popup* popup = s.configure_evening();
            Scene_Page::button(popup->config_view(), "kv_scene_cancel")->click();
            QCOMPARE(popup->current_view(), popup->actions_view());
            QCOMPARE(s.evening_items()[0].m_value, 10.0);
            QVERIFY(s.p.host.messages_sent.empty());
        }
        {
            // Without a connection nothing goes out, the app's copy keeps the change.
            Scene_Page s("1");
            s.p.host.connected = false;
            Popup* popup = s.configure_evening();
            Scene_Page::button(popup->config_view(), "kv_scene_save")->click();
            QVERIFY(s.p.host.messages_sent.empty());
            QCOMPARE(s.evening_items()[0].m_value, 75.5);
            QCOMPARE(s.evening_items()[1].m_value, 40.0);
        }
    }
};

QTEST_MAIN(tst_scene_page)
#include "tst_scene_page.moc"
