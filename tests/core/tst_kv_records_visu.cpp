#include <QtTest>

#include <ctime>
#include <set>

#include "kv_gui.h"
#include "kv_guid.h"
#include "kv_logic.h"
#include "kv_project.h"
#include "records_test_util.h"

namespace {
KV_GUI_Control sample_control()
{
    KV_GUI_Control c;
    c.m_typ = 7;
    c.m_activ = false;
    c.m_x = -3;
    c.m_y = 40;
    c.m_width = 200;
    c.m_height = 50;
    c.m_transparenz = 80;
    c.m_str_font = "Graphik Regular,12,-1,5";
    c.m_align = 1;
    c.m_text_offs_x = 2;
    c.m_text_offs_y = -2;
    c.m_str_guid = "{00000000-0000-4000-8000-000000000001}";
    c.m_str_guid_parent_page = "{00000000-0000-4000-8000-0000000000aa}";
    c.m_str_guid_parent_control = "{00000000-0000-4000-8000-0000000000bb}";
    c.m_str_name = "Licht\nKüche";
    c.m_addr_disable = {1, 2, 3};
    c.m_addr_hide = {4, 5, 6};
    c.m_list_addr = {{1, 0, 1}, {31, 7, 255}};
    c.m_list_param = {"12/5/0", ""};
    return c;
}

std::string control_param_text(const std::vector<std::string>& params)
{
    std::string text;
    for (size_t i = 0; i < params.size(); ++i) {
        const std::string n = std::to_string(i);
        text += fld("m_list_param.m_use_it_" + n, "1") + fld("m_list_param.m_str_value_" + n, params[i]);
    }
    return text;
}
} // namespace

class TestKvRecordsVisu : public QObject {
    Q_OBJECT
private slots:
    void projectEncodesInKeyOrder()
    {
        KV_Project p;
        p.m_tm_modified = 1700000000;
        p.m_str_guid = "{0a1b2c3d-0000-4000-8000-000000000000}";
        p.m_str_name = "Haus";
        p.m_str_comment = "zwei\nZeilen";
        p.m_str_filename = "haus.kvp";
        p.m_str_version = KV_PROGRAM_VERSION;
        p.m_last_page_gui = 3;
        p.m_last_page_logic = 4;
        p.m_last_page_hw_settings = 5;
        p.m_mark_project_changed_on_clock = true;
        p.m_mark_project_changed_on_scene = false;
        const std::string expected = fld("m_tm_modified", "1700000000.000000") +
                                     fld("m_str_guid", "{0a1b2c3d-0000-4000-8000-000000000000}") +
                                     fld("m_str_name", "Haus") + fld("m_str_comment", "zwei\nZeilen") +
                                     fld("m_str_filename", "haus.kvp") + fld("m_str_version", "3.01111") +
                                     fld("m_last_page_gui", "3") + fld("m_last_page_logic", "4") +
                                     fld("m_last_page_hw_settings", "5") +
                                     fld("m_mark_project_changed_on_clock", "1") +
                                     fld("m_mark_project_changed_on_scene", "0");
        QCOMPARE(p.encode(), expected);

        // Reversed field order reads the same members.
        std::string reversed;
        for (size_t end = expected.size(); end > 0;) {
            const size_t start = expected.rfind('\x03', end - 2);
            const size_t from = start == std::string::npos ? 0 : start + 1;
            reversed += expected.substr(from, end - from);
            end = from;
        }
        QVERIFY(reversed != expected);
        KV_Project q(reversed);
        QCOMPARE(q.encode(), expected);
    }

    void projectDefaults()
    {
        const int64_t before = std::time(nullptr);
        KV_Project p{std::string()};
        const int64_t after = std::time(nullptr);
        QVERIFY(p.m_tm_modified >= before && p.m_tm_modified <= after);
        QVERIFY(p.m_str_guid.empty() && p.m_str_name.empty() && p.m_str_version.empty());
        QCOMPARE(p.m_last_page_gui, 0);
        QCOMPARE(p.m_mark_project_changed_on_scene, false);

        // Decoding overwrites what the members held before.
        KV_Project q;
        q.m_str_name = "alt";
        q.m_last_page_logic = 9;
        q.set_text(fld("m_str_name", "") + fld("m_last_page_logic", ""));
        QCOMPARE(q.m_str_name, std::string());
        QCOMPARE(q.m_last_page_logic, 0);
    }

    void guidsAreBracedLowerCaseVersion4()
    {
        std::set<std::string> seen;
        for (int n = 0; n < 2000; ++n) {
            const std::string g = kv_new_guid();
            QCOMPARE(g.size(), size_t(38));
            QCOMPARE(g.front(), '{');
            QCOMPARE(g.back(), '}');
            for (size_t i = 1; i < 37; ++i) {
                if (i == 9 || i == 14 || i == 19 || i == 24)
                    QCOMPARE(g[i], '-');
                else
                    QVERIFY2(std::isxdigit(static_cast<unsigned char>(g[i])) && !std::isupper(static_cast<unsigned char>(g[i])),
                             g.c_str());
            }
            QCOMPARE(g[15], '4');
            QVERIFY(std::string("89ab").find(g[20]) != std::string::npos);
            seen.insert(g);
        }
        QCOMPARE(seen.size(), size_t(2000));
    }

    void controlEncodesInKeyOrder()
    {
        KV_GUI_Control c = sample_control();
        const std::string expected =
            fld("m_typ", "7") + fld("m_activ", "0") + fld("m_x", "-3") + fld("m_y", "40") + fld("m_width", "200") +
            fld("m_height", "50") + fld("m_transparenz", "80") + fld("m_str_font", "Graphik Regular,12,-1,5") +
            fld("m_align", "1") + fld("m_text_offs_x", "2") + fld("m_text_offs_y", "-2") +
            fld("m_str_guid", "{00000000-0000-4000-8000-000000000001}") +
            fld("m_str_guid_parent_page", "{00000000-0000-4000-8000-0000000000aa}") +
            fld("m_str_guid_parent_control", "{00000000-0000-4000-8000-0000000000bb}") +
            fld("m_str_name", "Licht\nKüche") + fld("m_addr_disable", "1/2/3") + fld("m_addr_hide", "4/5/6") +
            fld("m_list_addr.addr.m_use_it_0", "1") + fld("m_list_addr.addr.m_addr_0", "1/0/1") +
            fld("m_list_addr.addr.m_use_it_1", "1") + fld("m_list_addr.addr.m_addr_1", "31/7/255") +
            fld("m_list_param.m_use_it_0", "1") + fld("m_list_param.m_str_value_0", "12/5/0") +
            fld("m_list_param.m_use_it_1", "1") + fld("m_list_param.m_str_value_1", "");
        QCOMPARE(c.encode(), expected);

        KV_GUI_Control d(expected);
        QCOMPARE(d.encode(), expected);
        QCOMPARE(d.m_addr_hide, (KV_Group_Address{4, 5, 6}));
        QCOMPARE(d.m_list_addr.size(), size_t(2));
        QCOMPARE(d.m_list_addr[1], (KV_Group_Address{31, 7, 255}));
        QCOMPARE(d.m_list_param, (std::vector<std::string>{"12/5/0", ""}));
    }

    void controlDefaults()
    {
        const KV_GUI_Control empty{std::string()};
        QCOMPARE(empty.m_activ, true);
        QCOMPARE(empty.m_transparenz, 100);
        QCOMPARE(empty.m_width, 100);
        QCOMPARE(empty.m_height, 30);
        QCOMPARE(empty.m_align, 132);
        QCOMPARE(empty.m_str_font, std::string("Arial,10,-1,0"));
        QVERIFY(empty.m_addr_disable.is_null() && empty.m_list_addr.empty() && empty.m_list_param.empty());

        // Missing m_activ and m_transparenz in an otherwise written control.
        KV_GUI_Control c = sample_control();
        const std::string text = drop_field(drop_field(c.encode(), "m_activ"), "m_transparenz");
        const KV_GUI_Control d(text);
        QCOMPARE(d.m_activ, true);
        QCOMPARE(d.m_transparenz, 100);
        QCOMPARE(d.m_width, 200);

        // Default-constructed members equal the decode defaults.
        KV_GUI_Control fresh;
        KV_GUI_Control decoded{std::string()};
        QCOMPARE(fresh.encode(), decoded.encode());
    }

    void controlAddressSlots()
    {
        KV_GUI_Control c = sample_control();
        c.m_list_addr = {{1, 1, 1}, {2, 2, 2}, {3, 3, 3}};
        const std::string text = c.encode();
        QCOMPARE(KV_GUI_Control(text).m_list_addr.size(), size_t(3));

        // A gap at slot 1 ends the list even though slot 2 is present.
        const KV_GUI_Control gap(drop_field(text, "m_list_addr.addr.m_use_it_1"));
        QCOMPARE(gap.m_list_addr, (std::vector<KV_Group_Address>{{1, 1, 1}}));

        // An empty or malformed address text is 0/0/0 but keeps its slot.
        const KV_GUI_Control odd(fld("m_list_addr.addr.m_use_it_0", "1") + fld("m_list_addr.addr.m_addr_0", "") +
                                 fld("m_list_addr.addr.m_use_it_1", "1") + fld("m_list_addr.addr.m_addr_1", "a/b") +
                                 fld("m_list_addr.addr.m_use_it_2", "1"));
        QCOMPARE(odd.m_list_addr, (std::vector<KV_Group_Address>(3)));

        c.m_list_addr.clear();
        for (uint32_t i = 0; i < 70; ++i)
            c.m_list_addr.push_back({i, i % 8, i + 1});
        const KV_GUI_Control full(c.encode());
        QCOMPARE(full.m_list_addr.size(), KV_GUI_Control::MAX_ADDR);
        QCOMPARE(full.m_list_addr[63], (KV_Group_Address{63, 7, 64}));
        c.m_list_addr.resize(64);
        QCOMPARE(KV_GUI_Control(c.encode()).m_list_addr, c.m_list_addr);
    }

    void controlParameters()
    {
        std::vector<std::string> params;
        for (int i = 0; i < 100; ++i)
            params.push_back("p" + std::to_string(i) + (i % 10 == 0 ? "\nzweite Zeile" : ""));
        const KV_GUI_Control over(control_param_text(params));
        QCOMPARE(over.m_list_param.size(), KV_GUI_Control::MAX_PARAM);
        QCOMPARE(over.m_list_param[89], std::string("p89"));
        QCOMPARE(over.m_list_param[10], std::string("p10\nzweite Zeile"));

        params.resize(90);
        KV_GUI_Control c;
        c.m_list_param = params;
        QCOMPARE(KV_GUI_Control(c.encode()).m_list_param, params);

        // A negative marker ends the list like a missing one.
        const KV_GUI_Control neg(fld("m_list_param.m_use_it_0", "1") + fld("m_list_param.m_str_value_0", "a") +
                                 fld("m_list_param.m_use_it_1", "-1") + fld("m_list_param.m_str_value_1", "b"));
        QCOMPARE(neg.m_list_param, (std::vector<std::string>{"a"}));
    }

    void pageBackgroundColour_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("colour");
        QTest::newRow("missing") << "" << "ffffff";
        QTest::newRow("upper case") << "FF0000" << "ff0000";
        QTest::newRow("unreadable") << "xyz" << "000000";
        QTest::newRow("short") << "ff" << "0000ff";
        QTest::newRow("empty value") << "\x02" << "000000";
    }
    void pageBackgroundColour()
    {
        QFETCH(QString, field);
        QFETCH(QString, colour);
        std::string text = fld("m_str_guid", "{p}");
        if (field == "\x02")
            text += fld("m_str_bg_color", "");
        else if (!field.isEmpty())
            text += fld("m_str_bg_color", field.toStdString());
        const KV_GUI_Page page(text);
        QCOMPARE(page.m_str_bg_color, colour.toStdString());
        QCOMPARE(page.m_str_frame_color, colour.toStdString());

        const KV_GUI_Page framed(text + fld("m_str_frame_color", "123456"));
        QCOMPARE(framed.m_str_frame_color, std::string("123456"));
    }

    void pageEncodingAndVirtualSize()
    {
        KV_GUI_Page page;
        page.m_page_orientation = 1;
        page.m_str_guid = "{g}";
        page.m_str_caption = "Erdgeschoss";
        page.m_str_users = "admin;gast";
        page.m_str_bg_color = "a0b0c0";
        page.m_str_frame_color = "000000";
        page.m_str_image_bg = "plan.png";
        page.m_str_image_icon = "haus.svg";
        page.m_align = 2;
        page.m_zoom_to_page = true;
        page.m_keep_aspect = true;
        page.m_width = 1280;
        page.m_height = 800;
        page.m_width_virt = 2560;
        page.m_height_virt = 1600;
        const std::string expected =
            fld("m_page_orientation", "1") + fld("m_str_guid", "{g}") + fld("m_str_caption", "Erdgeschoss") +
            fld("m_str_users", "admin;gast") + fld("m_str_bg_color", "a0b0c0") + fld("m_str_frame_color", "000000") +
            fld("m_str_image_bg", "plan.png") + fld("m_str_image_icon", "haus.svg") + fld("m_align", "2") +
            fld("m_zoom_to_page", "1") + fld("m_keep_aspect", "1") + fld("m_width", "1280") + fld("m_height", "800") +
            fld("m_width_virt", "2560") + fld("m_height_virt", "1600");
        QCOMPARE(page.encode(), expected);
        QCOMPARE(KV_GUI_Page(expected).encode(), expected);

        const KV_GUI_Page no_virt(drop_field(drop_field(expected, "m_width_virt"), "m_height_virt"));
        QCOMPARE(no_virt.m_width_virt, 1280);
        QCOMPARE(no_virt.m_height_virt, 800);
        const KV_GUI_Page empty{std::string()};
        QCOMPARE(empty.m_width, 1024);
        QCOMPARE(empty.m_height_virt, 576);
        QCOMPARE(KV_GUI_Page().encode(), KV_GUI_Page(std::string()).encode());
    }

    void pageAddControlReplacesByGuid()
    {
        KV_GUI_Page page;
        KV_GUI_Control a = sample_control();
        KV_GUI_Control b = sample_control();
        b.m_str_guid = "{b}";
        KV_GUI_Control* first = page.add_control(a);
        page.add_control(b);
        QCOMPARE(page.m_controls.size(), size_t(2));
        QVERIFY(first != &a);

        a.m_str_name = "neu";
        a.m_list_param = {"x"};
        KV_GUI_Control* replaced = page.add_control(a);
        QCOMPARE(replaced, first);
        QCOMPARE(page.m_controls.size(), size_t(2));
        QCOMPARE(page.m_controls[0]->m_str_name, std::string("neu"));
        QCOMPARE(page.m_controls[0]->m_list_param, (std::vector<std::string>{"x"}));
        QCOMPARE(page.find_control("{b}"), page.m_controls[1].get());
        QCOMPARE(page.find_control("{none}"), nullptr);

        // Controls without an identity are all kept.
        KV_GUI_Control anonymous;
        page.add_control(anonymous);
        page.add_control(anonymous);
        QCOMPARE(page.m_controls.size(), size_t(4));
        QCOMPARE(page.find_control(""), nullptr);
    }

    void logicBlockEncodesInKeyOrder()
    {
        KV_LOGIC_Control block;
        block.m_typ = 12;
        block.m_x = 5;
        block.m_y = 6;
        block.m_str_guid = "{l}";
        block.m_str_guid_parent_page = "{lp}";
        block.m_str_name = "Heizkreis";
        block.m_vke_typ = 2;
        block.m_activ = false;
        block.m_zykl_senden = 30;
        block.m_reread = true;
        block.m_list_io_input.push_back(std::make_shared<KV_LOGIC_IO>(KV_LOGIC_IO{{1, 2, 3}, "Ist"}));
        block.m_list_param.push_back({"Soll", "21.5"});
        block.m_list_io_output.push_back(std::make_shared<KV_LOGIC_IO>(KV_LOGIC_IO{{4, 5, 6}, ""}));
        const std::string expected =
            fld("m_typ", "12") + fld("m_x", "5") + fld("m_y", "6") + fld("m_str_guid", "{l}") +
            fld("m_str_guid_parent_page", "{lp}") + fld("m_str_name", "Heizkreis") + fld("m_vke_typ", "2") +
            fld("m_activ", "0") + fld("m_zykl_senden", "30") + fld("m_reread", "1") +
            fld("m_list_io_input.io.m_use_it_0", "1") + fld("m_list_io_input.io.m_addr_0", "1/2/3") +
            fld("m_list_io_input.io.m_str_comment_0", "Ist") + fld("m_list_param.m_use_it_0", "1") +
            fld("m_list_param.m_str_name_0", "Soll") + fld("m_list_param.m_str_value_0", "21.5") +
            fld("m_list_io_output.io.m_use_it_0", "1") + fld("m_list_io_output.io.m_addr_0", "4/5/6") +
            fld("m_list_io_output.io.m_str_comment_0", "");
        QCOMPARE(block.encode(), expected);
        QCOMPARE(KV_LOGIC_Control(expected).encode(), expected);
    }

    void logicBlockConnectors()
    {
        std::string text = fld("m_str_guid", "{l}");
        for (int i = 0; i < 3; ++i)
            text += fld("m_list_io_input.io.m_use_it_" + std::to_string(i), "1") +
                    fld("m_list_io_input.io.m_addr_" + std::to_string(i), "1/1/" + std::to_string(i + 10));
        for (int i = 0; i < 2; ++i)
            text += fld("m_list_io_output.io.m_use_it_" + std::to_string(i), "1") +
                    fld("m_list_io_output.io.m_addr_" + std::to_string(i), "2/2/" + std::to_string(i + 20));
        const KV_LOGIC_Control block(text);
        QCOMPARE(block.inputs().size(), size_t(3));
        QCOMPARE(block.outputs().size(), size_t(2));
        QCOMPARE(block.input(2)->m_addr, (KV_Group_Address{1, 1, 12}));
        QCOMPARE(block.output(1)->m_addr, (KV_Group_Address{2, 2, 21}));
        QVERIFY(!block.output(5));
        QVERIFY(!block.input(3));
        QCOMPARE(block.m_activ, true);
        QVERIFY(block.m_list_param.empty());

        // The elements are shared: what a reader holds is the block's element.
        std::shared_ptr<KV_LOGIC_IO> io = block.input(0);
        io->m_str_comment = "gelesen";
        QCOMPARE(block.input(0)->m_str_comment, std::string("gelesen"));

        // Gap at input 1.
        const KV_LOGIC_Control gap(drop_field(text, "m_list_io_input.io.m_use_it_1"));
        QCOMPARE(gap.inputs().size(), size_t(1));
        QCOMPARE(gap.outputs().size(), size_t(2));
    }

    void logicBlockListMaxima()
    {
        KV_LOGIC_Control block;
        for (uint32_t i = 0; i < 130; ++i) {
            block.m_list_io_input.push_back(std::make_shared<KV_LOGIC_IO>(KV_LOGIC_IO{{i, 0, 1}, "in"}));
            block.m_list_io_output.push_back(std::make_shared<KV_LOGIC_IO>(KV_LOGIC_IO{{0, i, 2}, "out"}));
        }
        for (int i = 0; i < 70; ++i)
            block.m_list_param.push_back({"n" + std::to_string(i), std::to_string(i)});
        const KV_LOGIC_Control over(block.encode());
        QCOMPARE(over.inputs().size(), KV_LOGIC_Control::MAX_IO);
        QCOMPARE(over.outputs().size(), KV_LOGIC_Control::MAX_IO);
        QCOMPARE(over.m_list_param.size(), KV_LOGIC_Control::MAX_PARAM);
        QCOMPARE(over.output(127)->m_addr, (KV_Group_Address{0, 127, 2}));
        QCOMPARE(over.m_list_param[63].m_str_name, std::string("n63"));

        block.m_list_io_input.resize(128);
        block.m_list_io_output.resize(128);
        block.m_list_param.resize(64);
        const std::string text = block.encode();
        QCOMPARE(KV_LOGIC_Control(text).encode(), text);
    }

    void logicPage()
    {
        const KV_LOGIC_Page empty{std::string()};
        QCOMPARE(empty.m_size_logic, 10);
        QCOMPARE(KV_LOGIC_Page().encode(), KV_LOGIC_Page(std::string()).encode());

        KV_LOGIC_Page page;
        page.m_str_guid = "{lp}";
        page.m_str_caption = "Heizung";
        page.m_typ = 1;
        page.m_start_verz = 15;
        page.m_size_logic = 3;
        const std::string expected = fld("m_str_guid", "{lp}") + fld("m_str_caption", "Heizung") + fld("m_typ", "1") +
                                     fld("m_start_verz", "15") + fld("m_size_logic", "3");
        QCOMPARE(page.encode(), expected);
        QCOMPARE(KV_LOGIC_Page(expected).encode(), expected);

        KV_LOGIC_Control block;
        block.m_str_guid = "{l}";
        block.m_list_io_input.push_back(std::make_shared<KV_LOGIC_IO>(KV_LOGIC_IO{{1, 2, 3}, ""}));
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
