#include <QtTest>

#include <ctime>
#include <set>

#include "kv_gui.h"
#include "kv_guid.h"
#include "kv_logic.h"
#include "kv_project.h"
#include "records_test_util.h"

namespace {
std::shared_ptr<KV_LOGIC_IO> io(const KV_Group_Address& addr, const std::string& comment = "")
{
    return std::make_shared<KV_LOGIC_IO>(KV_LOGIC_IO{addr, comment});
}
} // namespace

class TestKvRecordsVisu : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data()
    {
        round_trip_columns();
        exact_row<KV_GUI_Control>(
            "control", fields("m_typ=7|m_activ=0|m_x=-3|m_y=40|m_width=200|m_height=50|m_transparenz=80|"
                              "m_str_font=Graphik Regular,12,-1,5|m_align=1|m_text_offs_x=2|m_text_offs_y=-2|"
                              "m_str_guid={00000000-0000-4000-8000-000000000001}|"
                              "m_str_guid_parent_page={00000000-0000-4000-8000-0000000000aa}|"
                              "m_str_guid_parent_control={00000000-0000-4000-8000-0000000000bb}|"
                              "m_str_name=Licht\nKüche|m_addr_disable=1/2/3|m_addr_hide=4/5/6|"
                              "m_list_addr.addr.m_use_it_0=1|m_list_addr.addr.m_addr_0=1/0/1|"
                              "m_list_addr.addr.m_use_it_1=1|m_list_addr.addr.m_addr_1=31/7/255|"
                              "m_list_param.m_use_it_0=1|m_list_param.m_str_value_0=12/5/0|"
                              "m_list_param.m_use_it_1=1|m_list_param.m_str_value_1="));
        exact_row<KV_GUI_Page>("page", fields("m_page_orientation=1|m_str_guid={g}|m_str_caption=Erdgeschoss|"
                                              "m_str_users=admin;gast|m_str_bg_color=a0b0c0|m_str_frame_color=000000|"
                                              "m_str_image_bg=plan.png|m_str_image_icon=haus.svg|m_align=2|"
                                              "m_zoom_to_page=1|m_keep_aspect=1|m_width=1280|m_height=800|"
                                              "m_width_virt=2560|m_height_virt=1600"));
        exact_row<KV_LOGIC_Control>(
            "logic block", fields("m_typ=12|m_x=5|m_y=6|m_str_guid={l}|m_str_guid_parent_page={lp}|m_str_name=Heizkreis|"
                                  "m_vke_typ=2|m_activ=0|m_zykl_senden=30|m_reread=1|m_list_io_input.io.m_use_it_0=1|"
                                  "m_list_io_input.io.m_addr_0=1/2/3|m_list_io_input.io.m_str_comment_0=Ist|"
                                  "m_list_param.m_use_it_0=1|m_list_param.m_str_name_0=Soll|"
                                  "m_list_param.m_str_value_0=21.5|m_list_io_output.io.m_use_it_0=1|"
                                  "m_list_io_output.io.m_addr_0=4/5/6|m_list_io_output.io.m_str_comment_0="));
        exact_row<KV_LOGIC_Page>("logic page",
                                 fields("m_str_guid={lp}|m_str_caption=Heizung|m_typ=1|m_start_verz=15|m_size_logic=3"));
    }
    void roundTrip() { verify_round_trip(); }

    void project()
    {
        const std::string text = fields("m_tm_modified=1700000000.000000|m_str_guid={0a1b2c3d-0000-4000-8000-000000000000}|"
                                        "m_str_name=Haus|m_str_comment=zwei\nZeilen|m_str_filename=haus.kvp|"
                                        "m_str_version=3.01111|m_last_page_gui=3|m_last_page_logic=4|m_last_page_hw_settings=5|"
                                        "m_mark_project_changed_on_clock=1|m_mark_project_changed_on_scene=0");
        QCOMPARE(KV_Project(text).encode(), text);
        // Reversed field order reads the same members.
        std::string reversed;
        for (size_t start = 0, end; start < text.size(); start = end) {
            end = text.find('\x03', start) + 1;
            reversed.insert(0, text, start, end - start);
        }
        QCOMPARE(KV_Project(reversed).encode(), text);

        const int64_t before = std::time(nullptr);
        KV_Project empty{std::string()};
        QVERIFY(empty.m_tm_modified >= before && empty.m_tm_modified <= std::time(nullptr));
        QVERIFY(empty.m_str_guid.empty() && empty.m_str_version.empty());

        // Decoding overwrites what the members held before.
        KV_Project q;
        q.m_str_name = "alt";
        q.m_last_page_logic = 9;
        q.set_text(fields("m_str_name=|m_last_page_logic="));
        QCOMPARE(q.m_str_name, std::string());
        QCOMPARE(q.m_last_page_logic, 0);
    }

    void guidsAreBracedLowerCaseVersion4()
    {
        const QRegularExpression form("^\\{[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}\\}$");
        std::set<std::string> seen;
        for (int n = 0; n < 2000; ++n) {
            const std::string g = kv_new_guid();
            QVERIFY2(form.match(QString::fromStdString(g)).hasMatch(), g.c_str());
            seen.insert(g);
        }
        QCOMPARE(seen.size(), size_t(2000));
    }

    void controlAddressSlots()
    {
        const std::string three = fields("m_list_addr.addr.m_use_it_0=1|m_list_addr.addr.m_addr_0=1/1/1|"
                                         "m_list_addr.addr.m_use_it_1=1|m_list_addr.addr.m_addr_1=2/2/2|"
                                         "m_list_addr.addr.m_use_it_2=1|m_list_addr.addr.m_addr_2=3/3/3");
        QCOMPARE(KV_GUI_Control(three).m_list_addr.size(), size_t(3));
        // A gap at slot 1 ends the list even though slot 2 is present.
        const KV_GUI_Control gap(drop_field(three, "m_list_addr.addr.m_use_it_1"));
        QCOMPARE(gap.m_list_addr, (std::vector<KV_Group_Address>{{1, 1, 1}}));
        // An empty or malformed address text is 0/0/0 but keeps its slot.
        const KV_GUI_Control odd(fields("m_list_addr.addr.m_use_it_0=1|m_list_addr.addr.m_addr_0=|"
                                        "m_list_addr.addr.m_use_it_1=1|m_list_addr.addr.m_addr_1=a/b|"
                                        "m_list_addr.addr.m_use_it_2=1"));
        QCOMPARE(odd.m_list_addr, (std::vector<KV_Group_Address>(3)));

        KV_GUI_Control c;
        for (uint32_t i = 0; i < 70; ++i)
            c.m_list_addr.push_back({i, i % 8, i + 1});
        const KV_GUI_Control full(c.encode());
        QCOMPARE(full.m_list_addr.size(), KV_GUI_Control::MAX_ADDR);
        QCOMPARE(full.m_list_addr[63], (KV_Group_Address{63, 7, 64}));
    }

    void controlParameters()
    {
        KV_GUI_Control c;
        for (int i = 0; i < 100; ++i)
            c.m_list_param.push_back("p" + std::to_string(i) + (i % 10 == 0 ? "\nzweite Zeile" : ""));
        const KV_GUI_Control over(c.encode());
        QCOMPARE(over.m_list_param.size(), KV_GUI_Control::MAX_PARAM);
        QCOMPARE(over.m_list_param[89], std::string("p89"));
        QCOMPARE(over.m_list_param[10], std::string("p10\nzweite Zeile"));

        // A negative marker ends the list like a missing one.
        const KV_GUI_Control neg(fields("m_list_param.m_use_it_0=1|m_list_param.m_str_value_0=a|"
                                        "m_list_param.m_use_it_1=-1|m_list_param.m_str_value_1=b"));
        QCOMPARE(neg.m_list_param, (std::vector<std::string>{"a"}));
    }

    void pageBackgroundColour_data()
    {
        QTest::addColumn<std::string>("field");
        QTest::addColumn<std::string>("colour");
        QTest::newRow("missing") << std::string() << std::string("ffffff");
        QTest::newRow("upper case") << fld("m_str_bg_color", "FF0000") << std::string("ff0000");
        QTest::newRow("unreadable") << fld("m_str_bg_color", "xyz") << std::string("000000");
        QTest::newRow("short") << fld("m_str_bg_color", "ff") << std::string("0000ff");
        QTest::newRow("empty value") << fld("m_str_bg_color", "") << std::string("000000");
    }
    void pageBackgroundColour()
    {
        QFETCH(std::string, field);
        QFETCH(std::string, colour);
        const std::string text = fld("m_str_guid", "{p}") + field;
        const KV_GUI_Page page(text);
        QCOMPARE(page.m_str_bg_color, colour);
        QCOMPARE(page.m_str_frame_color, colour);
        QCOMPARE(KV_GUI_Page(text + fld("m_str_frame_color", "123456")).m_str_frame_color, std::string("123456"));
    }

    void pageVirtualSizeDefaultsToSize()
    {
        const KV_GUI_Page page(fields("m_width=1280|m_height=800"));
        QCOMPARE(page.m_width_virt, 1280);
        QCOMPARE(page.m_height_virt, 800);
    }

    void pageAddControlReplacesByGuid()
    {
        KV_GUI_Page page;
        KV_GUI_Control a(fields("m_str_guid={a}|m_str_name=alt"));
        KV_GUI_Control* first = page.add_control(a);
        page.add_control(KV_GUI_Control(fld("m_str_guid", "{b}")));

        a.m_str_name = "neu";
        a.m_list_param = {"x"};
        QCOMPARE(page.add_control(a), first);
        QCOMPARE(page.m_controls.size(), size_t(2));
        QCOMPARE(page.m_controls[0]->m_str_name, std::string("neu"));
        QCOMPARE(page.m_controls[0]->m_list_param, (std::vector<std::string>{"x"}));
        QCOMPARE(page.find_control("{b}"), page.m_controls[1].get());
        QCOMPARE(page.find_control("{none}"), nullptr);

        // An empty GUID is an identity like any other.
        KV_GUI_Control anonymous;
        KV_GUI_Control* unnamed = page.add_control(anonymous);
        QCOMPARE(page.add_control(anonymous), unnamed);
        QCOMPARE(page.m_controls.size(), size_t(3));
        QCOMPARE(page.find_control(""), unnamed);
    }

    void logicBlockConnectors()
    {
        const std::string text =
            fields("m_list_io_input.io.m_use_it_0=1|m_list_io_input.io.m_addr_0=1/1/10|m_list_io_input.io.m_use_it_1=1|"
                   "m_list_io_input.io.m_use_it_2=1|m_list_io_input.io.m_addr_2=1/1/12|m_list_io_output.io.m_use_it_0=1|"
                   "m_list_io_output.io.m_use_it_1=1|m_list_io_output.io.m_addr_1=2/2/21");
        const KV_LOGIC_Control block(text);
        QCOMPARE(block.inputs().size(), size_t(3));
        QCOMPARE(block.outputs().size(), size_t(2));
        QCOMPARE(block.input(2)->m_addr, (KV_Group_Address{1, 1, 12}));
        QCOMPARE(block.output(1)->m_addr, (KV_Group_Address{2, 2, 21}));
        QVERIFY(!block.input(3) && !block.output(5));
        QCOMPARE(block.m_activ, true);

        const KV_LOGIC_Control gap(drop_field(text, "m_list_io_input.io.m_use_it_1"));
        QCOMPARE(gap.inputs().size(), size_t(1));
        QCOMPARE(gap.outputs().size(), size_t(2));
    }

    void logicBlockListMaxima()
    {
        KV_LOGIC_Control block;
        for (uint32_t i = 0; i < 130; ++i) {
            block.m_list_io_input.push_back(io({i, 0, 1}, "in"));
            block.m_list_io_output.push_back(io({0, i, 2}, "out"));
        }
        for (int i = 0; i < 70; ++i)
            block.m_list_param.push_back({"n" + std::to_string(i), std::to_string(i)});
        const KV_LOGIC_Control over(block.encode());
        QCOMPARE(over.inputs().size(), KV_LOGIC_Control::MAX_IO);
        QCOMPARE(over.outputs().size(), KV_LOGIC_Control::MAX_IO);
        QCOMPARE(over.m_list_param.size(), KV_LOGIC_Control::MAX_PARAM);
        QCOMPARE(over.output(127)->m_addr, (KV_Group_Address{0, 127, 2}));
    }

    void logicPageAddControl()
    {
        KV_LOGIC_Page page;
        KV_LOGIC_Control block(fld("m_str_guid", "{l}"));
        block.m_list_io_input.push_back(io({1, 2, 3}));
        KV_LOGIC_Control* added = page.add_control(block);
        // The page's block has its own connectors.
        QVERIFY(added->input(0) != block.input(0));
        QCOMPARE(added->input(0)->m_addr, (KV_Group_Address{1, 2, 3}));
        block.m_str_name = "neu";
        QCOMPARE(page.add_control(block), added);
        QCOMPARE(page.m_controls.size(), size_t(1));
        QCOMPARE(added->m_str_name, std::string("neu"));
        QCOMPARE(page.find_control("{l}"), added);
        QCOMPARE(page.find_control("{x}"), nullptr);
    }
};

QTEST_GUILESS_MAIN(TestKvRecordsVisu)
#include "tst_kv_records_visu.moc"
