// The classic display and operating controls beyond the switch: text chosen
// by value, the button row, the numeric input; and controller messages
// reaching the controls.

#include <QLineEdit>
#include <QtTest>

#include "kv_fake_host.h"
#include "kv_gui_edit.h"
#include "kv_gui_label.h"
#include "kv_gui_page_button.h"
#include "kv_network_msg.h"

namespace {
class Message_Recorder : public CKV_Gui_Control {
public:
    using CKV_Gui_Control::CKV_Gui_Control;
    void on_message(const CKV_Network_Msg& header, const unsigned char* payload) override
    {
        ids.push_back(header.id);
        first_bytes.push_back(payload[0]);
    }
    std::vector<uint32_t> ids;
    std::vector<unsigned char> first_bytes;
};
} // namespace

class tst_kv_gui_controls : public QObject {
    Q_OBJECT

private slots:
    void var_text_picks_the_row_of_the_value()
    {
        KV_Test_Page p;
        p.host.add_address({1, 1, 1}, 14);
        p.add(18, "{var}", {{1, 1, 1}},
              {{"1: Wert", "0"}, {"1: Text", "Aus"}, {"2: Wert", "3"}, {"2: Text", "Störung"}, {"2: Hintergrund", "ff0000"}});
        p.build();
        auto* label = p.control<CKV_Gui_Control_Label_Var_Text>("{var}");
        QCOMPARE(label->text(), QStringLiteral("Aus"));
        p.send({1, 1, 1}, 3);
        QCOMPARE(label->text(), QStringLiteral("Störung"));
        // Empty rows never match; an unknown value shows the default text.
        p.send({1, 1, 1}, 7);
        QCOMPARE(label->text(), QStringLiteral("Text undefiniert"));
    }

    void button_row_writes_its_values_and_marks_the_feedback()
    {
        KV_Test_Page p;
        p.host.add_address({1, 1, 1}, 14);
        p.host.add_address({1, 1, 2}, 14);
        p.add(122, "{row}", {{1, 1, 1}, {1, 1, 2}},
              {{"Anzahl Buttons", "3"}, {"Wert: 1", "10"}, {"Wert: 2", "20"}, {"Wert: 3", "30"}}, 300, 40);
        p.build();
        auto* row = p.control<CKV_Gui_Control_Button_Gruppe>("{row}");
        QCOMPARE(row->active_button(), -1);
        QTest::mouseClick(row, Qt::LeftButton, {}, QPoint(150, 20));
        QCOMPARE(p.host.sent.size(), size_t(1));
        QCOMPARE(p.host.sent[0].value, 20.0);
        QCOMPARE(row->active_button(), -1); // marked by the feedback, not by the click
        p.send({1, 1, 2}, 30);
        QCOMPARE(row->active_button(), 2);
    }

    void edit_steps_clamps_and_reports_a_missing_address()
    {
        KV_Test_Page p;
        p.host.add_address({1, 1, 1}, 9);
        p.add(103, "{edit}", {{1, 1, 1}},
              {{"Minimum", "0"}, {"Maximum", "12"}, {"Schrittweite", "5"}, {"Format", "%.1f"}, {"Breite Text", "50"}},
              200, 40);
        p.add(113, "{unlinked}");
        p.build();
        auto* edit = p.control<CKV_Gui_Control_Edit>("{edit}");
        QCOMPARE(edit->shown_text(), QStringLiteral("0.0"));
        for (int i = 0; i < 3; ++i)
            QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(190, 20)); // plus
        QCOMPARE(edit->shown_text(), QStringLiteral("12.0"));
        QCOMPARE(p.host.sent.back().value, 12.0);
        QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(5, 20)); // minus
        QCOMPARE(p.host.sent.back().value, 7.0);
        // Typing into the text field writes the typed number, clamped.
        QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(100, 20));
        QVERIFY(edit->editor()->isVisible());
        edit->editor()->setText(QStringLiteral("-4"));
        QTest::keyClick(edit->editor(), Qt::Key_Return);
        QCOMPARE(p.host.sent.back().value, 0.0);
        QCOMPARE(p.control<CKV_Gui_Control_Edit>("{unlinked}")->shown_text(),
                 QStringLiteral("Keine Variable verknüpft!"));
    }

    void messages_reach_every_canvas_and_the_popups()
    {
        KV_Test_Page first;
        first.add(0, "{a}");
        KV_GUI_Page& second_page = first.host.add_page("{second}");
        KV_Fake_Host::add_control(second_page, 0, "{b}");
        CKV_Gui_Control_Container* canvas_a = first.build();
        auto second = std::unique_ptr<CKV_Gui_Control_Container_Sv>(
            (new CKV_Gui_Control_Container(first.host, second_page))->scroll_area());
        CKV_Gui_Control_Container* canvas_b = second->canvas();

        KV_GUI_Control popup_record;
        auto* popup_a = new Message_Recorder(canvas_a, popup_record);
        auto* popup_b = new Message_Recorder(canvas_b, popup_record);
        canvas_a->find_control("{a}")->add_popup(popup_a);
        canvas_b->find_control("{b}")->add_popup(popup_b);

        CKV_Network_Msg header;
        header.id = 600;
        const unsigned char payload[] = {42, 0};
        first.host.dispatch().on_message(header, payload);
        QCOMPARE(popup_a->ids, std::vector<uint32_t>{600});
        QCOMPARE(popup_b->first_bytes, std::vector<unsigned char>{42});

        second.reset(); // a destroyed canvas no longer receives messages
        first.host.dispatch().on_message(header, payload);
        QCOMPARE(popup_a->ids.size(), size_t(2));
    }
};

QTEST_MAIN(tst_kv_gui_controls)
#include "tst_kv_gui_controls.moc"
