#include <QtTest>

#include <array>
#include <cmath>

#include "kv_addr.h"
#include "records_test_util.h"

namespace {
QString value_hex(const KV_Addr_Db& a) { return QString::fromStdString(bytes_to_hex(a.m_data, type_length(a.m_data_typ))); }

KV_Addr_Db address(KV_Group_Address own, uint32_t type, std::vector<KV_Group_Address> listen = {})
{
    KV_Addr_Db a;
    a.m_addr_write = own;
    a.m_data_typ = type;
    a.m_addr_listen = std::move(listen);
    return a;
}

KV_Addr_Tgm telegram(uint32_t command, uint32_t n1, uint32_t n2, uint32_t n3, unsigned char v0 = 0, unsigned char v1 = 0)
{
    return {0, 0, command, {}, {n1, n2, n3}, 0, 0, {v0, v1}};
}
} // namespace

class TestKvAddr : public QObject {
    Q_OBJECT
private slots:
    void record_texts()
    {
        KV_Addr_Db a = address({1, 2, 3}, 5, {{4, 5, 6}});
        a.m_str_comment = "Licht";
        a.m_fread_init = 1;
        a.m_data[0] = 0x0C;
        a.m_data[1] = 0x33;
        const std::string expected = fields("m_addr_write=1/2/3|m_str_comment=Licht|m_data_typ=5|m_data_signed=0|"
                                            "m_fread_init=1|m_fread_zykl=0|m_fread_ack=0|m_data=0C33|m_addr_listen_0=4/5/6");
        QCOMPARE(a.encode(), expected);
        QCOMPARE(KV_Addr_Db(expected).encode(), expected);

        QCOMPARE(KV_Addr_Db{std::string()}.m_data_typ, 1u);
        QCOMPARE(KV_Addr_MG{std::string()}.encode(), fields("m_num_hg=0|m_num_mg=0|m_str_name="));
        QCOMPARE(KV_Addr_HG(fields("m_str_name=Haus|m_num_hg=4")).encode(), fields("m_num_hg=4|m_str_name=Haus"));
    }

    void value_hex_has_exactly_the_type_length()
    {
        KV_Addr_Db a;
        a.m_data_typ = 9;
        std::fill(std::begin(a.m_data), std::end(a.m_data), 0xAB);
        KV_Addr_Db nine(a.encode());
        QCOMPARE(get_string(nine, "m_data", "x"), std::string("ABABABAB"));
        QCOMPARE(nine.m_data[4], 0x00); // bytes beyond the type are not stored
        a.m_data_typ = 15;
        QCOMPARE(get_string(KV_Addr_Db(a.encode()), "m_data", "").size(), size_t(510));
        a.m_data_typ = 42; // outside the table: one byte
        QCOMPARE(get_string(KV_Addr_Db(a.encode()), "m_data", ""), std::string("AB"));
        QCOMPARE(type_length(0xFFFFFFFFu), 1);
        QCOMPARE(QString::fromUtf8(type_name(8)), QString("EIS 8 - Zwangssteuerung/Priorität (2 Bit)"));
    }

    void listen_addresses()
    {
        QVERIFY(!has_key(address({1, 1, 1}, 1).encode(), "m_addr_listen_0"));
        KV_Addr_Db many;
        for (uint32_t i = 0; i < 17; ++i)
            many.m_addr_listen.push_back({2, 0, i + 1});
        // A seventeenth entry, as a foreign writer would store it, is dropped.
        const KV_Addr_Db read(many.encode() + fld("m_addr_listen_16", "2/0/17"));
        QCOMPARE(read.m_addr_listen.size(), size_t(16));
        QCOMPARE(read.m_addr_listen[15], (KV_Group_Address{2, 0, 16}));

        // A gap ends the list; the marker itself ends it too.
        for (const char* second : {"m_addr_listen_2=1/1/3", "m_addr_listen_1=_@emty"})
            QCOMPARE(KV_Addr_Db(fields("m_addr_listen_0=1/1/1|" + std::string(second))).m_addr_listen.size(), size_t(1));
    }

    // Values clamp to their type; written over 0x5A, the hex shows every byte the type owns.
    void value_coding()
    {
        const struct { uint32_t type; bool is_signed; double value; const char* hex; double decoded; } rows[] = {
            {0, false, 300.0, "FF", 255.0}, {7, false, 5.0, "01", 1.0}, {2, false, 20.0, "0F", 15.0},
            {3, false, 52215.0, "0E1E0F", 52215.0}, {3, false, 90000.0, "173B3B", 86399.0},
            {4, false, 20261206.0, "060C1A", 20261206.0}, {5, false, 21.5, "0C33", 21.5},
            {5, false, -0.01, "87FF", -0.01}, {5, false, 1e9, "7FFF", 670760.96}, {5, false, -1e9, "F800", -671088.64},
            {5, false, std::nan(""), "0000", 0.0}, {6, false, 50.0, "80", 50.0}, {9, false, -2.0, "C0000000", -2.0},
            {10, false, -1.0, "0000", 0.0}, {10, true, 40000.0, "7FFF", 32767.0}, {10, false, 2.5, "0003", 3.0},
            {12, true, -1e12, "80000000", -2147483648.0}, {14, true, -128.0, "80", -128.0},
            {16, false, 9007199254740992.0, "0020000000000000", 9007199254740992.0},
            {16, false, 1e30, "FFFFFFFFFFFFFFFF", 18446744073709551615.0},
            {16, true, -1e30, "8000000000000000", -9223372036854775808.0},
            {17, false, -21.5, "C035800000000000", -21.5}, {99, false, 7.0, "07", 7.0}};
        for (const auto& row : rows) {
            KV_Addr_Db a;
            a.m_data_typ = row.type;
            a.m_data_signed = row.is_signed ? 1 : 0;
            std::fill(std::begin(a.m_data), std::end(a.m_data), 0x5A);
            set_value_from_double(a, row.value);
            QCOMPARE(value_hex(a), QString(row.hex));
            QCOMPARE(value_as_double(a), row.decoded);
        }
    }

    void value_decoding_ignores_foreign_bits()
    {
        // Weekday bits of a time do not count.
        const struct { uint32_t type; bool is_signed; std::array<unsigned char, 3> data; double value; } rows[] = {
            {1, false, {0xFE}, 0.0}, {2, false, {0xF9}, 9.0}, {8, false, {0xF9}, 1.0},
            {3, false, {0x2E, 30, 15}, 52215.0}, {14, true, {0xC8}, -56.0}};
        for (const auto& row : rows) {
            KV_Addr_Db a;
            a.m_data_typ = row.type;
            a.m_data_signed = row.is_signed ? 1 : 0;
            std::copy(row.data.begin(), row.data.end(), a.m_data);
            QCOMPARE(value_as_double(a), row.value);
        }
    }

    void round_trips()
    {
        KV_Addr_Db a;
        a.m_data_typ = 6; // every whole percent
        for (int p = 0; p <= 100; ++p) {
            set_value_from_double(a, p);
            QCOMPARE(value_as_double(a), double(p));
        }
        a.m_data_typ = 5; // within the 11-bit mantissa every hundredth is exact
        for (int h = -2048; h <= 2047; h += 7) {
            set_value_from_double(a, h / 100.0);
            QCOMPARE(value_as_double(a), h / 100.0);
        }
    }

    void string_values()
    {
        KV_Addr_Db a;
        a.m_data_typ = 15;
        set_value_from_text(a, "Hallo Welt");
        set_value_from_text(a, "Hi"); // a shorter text leaves no rest behind
        QCOMPARE(value_as_text(a), std::string("Hi"));
        QCOMPARE(a.m_data[3], 0);
        set_value_from_text(a, std::string(300, 'x'));
        QCOMPARE(value_as_text(a), std::string(255, 'x'));
        set_value_from_double(a, 21.5);
        QCOMPARE(value_as_text(a), std::string("21.500000"));
        QCOMPARE(value_as_double(a), 21.5);
        set_value_from_text(a, "Text");
        QCOMPARE(value_as_text(KV_Addr_Db(a.encode())), std::string("Text"));
    }

    void tree_creates_missing_groups()
    {
        KV_Addr_Tree tree;
        KV_Addr_Db a = address({5, 1, 7}, 1);
        a.m_str_comment = "Küche Licht";
        KV_Addr_Db* added = tree.add_address(a);
        QCOMPARE(tree.main_groups().size(), size_t(1));
        QCOMPARE(tree.find_hg(5)->m_str_name, std::string());
        QCOMPARE(tree.find_mg(5, 1)->m_str_name, std::string("Küche Licht"));
        QCOMPARE(tree.find_mg(5, 1)->addresses()[0].get(), added);
        QCOMPARE(tree.find_address(5, 1, 7), added);
        QVERIFY(!tree.find_address(5, 1, 8));

        // A middle group without its main group creates it, named after itself.
        KV_Addr_MG* orphan = tree.add_mg(KV_Addr_MG(fields("m_num_hg=9|m_num_mg=2|m_str_name=Keller")));
        QCOMPARE(tree.find_hg(9)->m_str_name, std::string("Keller"));
        QCOMPARE(tree.find_mg(9, 2), orphan);

        // The null address is never found.
        tree.add_address(KV_Addr_Db());
        QVERIFY(!tree.find_address(0, 0, 0));
        QVERIFY(tree.addresses_for_telegram(telegram(KV_TGM_WRITE, 0, 0, 0)).empty());
    }

    // A record added again under its key replaces the fields of the one in
    // the tree, which keeps its place, its children and its listeners' index.
    void tree_replaces_fields_and_keeps_children()
    {
        KV_Addr_Tree tree;
        KV_Addr_HG hg(fld("m_num_hg", "1"));
        KV_Addr_HG* first = tree.add_hg(hg);
        KV_Addr_Db a = address({1, 0, 1}, 1, {{7, 7, 7}, {8, 8, 8}});
        KV_Addr_Db* record = tree.add_address(a);
        KV_Addr_Db* other = tree.add_address(address({1, 0, 2}, 1, {{7, 7, 7}}));

        hg.m_str_name = "Neu";
        QCOMPARE(tree.add_hg(hg), first);
        QCOMPARE(first->m_str_name, std::string("Neu"));
        QCOMPARE(first->m_text, hg.encode());
        QCOMPARE(tree.add_mg(KV_Addr_MG(fields("m_num_hg=1|m_str_name=Umbenannt"))), first->middle_groups()[0].get());
        QCOMPARE(first->middle_groups()[0]->m_str_name, std::string("Umbenannt"));
        a.m_data_typ = 5;
        a.m_addr_listen = {{9, 9, 9}};
        QCOMPARE(tree.add_address(a), record);
        QCOMPARE(record->m_data_typ, 5u);
        QCOMPARE(tree.main_groups().size(), size_t(1));
        QCOMPARE(first->middle_groups()[0]->addresses().size(), size_t(2));

        auto dest = [&](uint32_t n) { return tree.addresses_for_telegram(telegram(KV_TGM_WRITE, n, n, n)); };
        QCOMPARE(dest(7), std::vector<KV_Addr_Db*>{other});
        QVERIFY(dest(8).empty());
        QCOMPARE(dest(9), std::vector<KV_Addr_Db*>{record});
        tree.clear();
        QVERIFY(!tree.find_address(1, 0, 1));
        QVERIFY(dest(9).empty());
    }

    void telegram_results_in_tree_order()
    {
        // Listeners in earlier groups come before the own address, whatever
        // the order of insertion of the listen entries. Main groups stand in
        // the order of their creation: 1, 3, 2.
        KV_Addr_Tree tree;
        KV_Addr_Db* late_listener = tree.add_address(address({1, 0, 9}, 5, {{3, 3, 3}}));
        KV_Addr_Db* own = tree.add_address(address({3, 3, 3}, 5));
        KV_Addr_Db* early_listener = tree.add_address(address({1, 0, 2}, 5, {{3, 3, 3}, {3, 3, 3}}));
        KV_Addr_Db* other_hg = tree.add_address(address({2, 7, 1}, 5, {{3, 3, 3}}));
        KV_Addr_Db* unrelated = tree.add_address(address({2, 7, 2}, 5, {{3, 3, 4}}));

        const auto matches = tree.addresses_for_telegram(telegram(KV_TGM_WRITE, 3, 3, 3, 0x0C, 0x33));
        QCOMPARE(matches, (std::vector<KV_Addr_Db*>{late_listener, early_listener, own, other_hg}));
        for (KV_Addr_Db* m : matches)
            QCOMPARE(value_as_double(*m), 21.5);
        QCOMPARE(value_as_double(*unrelated), 0.0);
    }

    void telegram_commands_and_constants()
    {
        KV_Addr_Tree tree;
        KV_Addr_Db* own = tree.add_address(address({1, 1, 1}, 1));
        KV_Addr_Db* listener = tree.add_address(address({1, 1, 2}, 1, {{1, 1, 1}}));
        KV_Addr_Db constant = address({1, 1, 3}, 0, {{1, 1, 1}});
        constant.m_data[0] = 0x42;
        KV_Addr_Db* kept = tree.add_address(constant);

        // A read changes nothing.
        QCOMPARE(tree.addresses_for_telegram(telegram(KV_TGM_READ, 1, 1, 1, 1)), std::vector<KV_Addr_Db*>{own});
        QCOMPARE(own->m_data[0], 0);
        QCOMPARE(tree.addresses_for_telegram(telegram(KV_TGM_RESPONSE, 1, 1, 1, 1)).size(), size_t(3));
        QCOMPARE(own->m_data[0], 1);
        QCOMPARE(listener->m_data[0], 1);
        QCOMPARE(kept->m_data[0], 0x42); // a constant stays, even when written to itself
        QCOMPARE(tree.addresses_for_telegram(telegram(KV_TGM_WRITE, 1, 1, 3, 1)).size(), size_t(1));
        QCOMPARE(kept->m_data[0], 0x42);
    }

    void values_carry_over_to_a_new_tree_where_address_and_type_match()
    {
        KV_Addr_Tree live;
        live.add_address(address({1, 1, 1}, 1))->m_data[0] = 1;
        live.add_address(address({1, 1, 2}, 5))->m_data[0] = 40;
        live.add_address(address({1, 1, 3}, 1))->m_data[0] = 1;
        KV_Addr_Tree installed;
        KV_Addr_Db* same = installed.add_address(address({1, 1, 1}, 1));
        KV_Addr_Db* retyped = installed.add_address(address({1, 1, 2}, 1));
        KV_Addr_Db* added = installed.add_address(address({2, 2, 2}, 1));
        added->m_data[0] = 7;
        installed.take_values_from(live);
        QCOMPARE(same->m_data[0], 1);
        QCOMPARE(retyped->m_data[0], 0); // another type: the bytes mean something else
        QCOMPARE(added->m_data[0], 7);   // unknown before: the file's value
    }

    void many_addresses_stay_findable()
    {
        KV_Addr_Tree tree;
        for (uint32_t i = 1; i <= 3000; ++i)
            tree.add_address(address({i % 7, i % 13, i}, 1));
        QCOMPARE(tree.address_count(), size_t(3000));
        size_t walked = 0;
        for (const auto& hg : tree.main_groups())
            for (const auto& mg : hg->middle_groups())
                for (const auto& a : mg->addresses()) {
                    QCOMPARE(tree.find_address(a->m_addr_write), a.get());
                    QCOMPARE(a->m_addr_write.main, hg->m_num_hg);
                    QCOMPARE(a->m_addr_write.middle, mg->m_num_mg);
                    ++walked;
                }
        QCOMPARE(walked, size_t(3000));
    }

    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("slashes") << "1/2/3" << "1/2/3";
        QTest::newRow("dots") << "1.2.3" << "1/2/3";
        QTest::newRow("leading blank, blanks") << " 1 2 3" << "1/2/3";
        QTest::newRow("dashes are foreign") << "1-2-3" << "0/0/0";
        QTest::newRow("fourth part ignored") << "1/2/3/4" << "1/2/3";
        QTest::newRow("junk after closed third part ignored") << "1/2/3 x" << "1/2/3";
        QTest::newRow("junk inside a part") << "1/2/3x" << "0/0/0";
        QTest::newRow("two-level splits subgroup") << "2/1000" << "2/3/232";
        QTest::newRow("one part") << "7" << "7/0/0";
        QTest::newRow("empty") << "" << "0/0/0";
        QTest::newRow("empty parts") << "//5" << "0/0/5";
        QTest::newRow("largest number") << "2147483647/0/1" << "2147483647/0/1";
        QTest::newRow("number text cannot give back") << "2147483648/0/1" << "0/0/0";
        QTest::newRow("forty digits") << QString(40, '9') + "/1/1" << "0/0/0";
        QTest::newRow("eleven digits with zeros") << "00000000001/1/1" << "0/0/0";
    }
    void parse()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(QString::fromStdString(address_to_text(address_from_text(text.toStdString()))), expected);
        QCOMPARE(address_to_text(address_from_text(text.toStdString()), '.'), expected.replace('/', '.').toStdString());
    }
};

QTEST_GUILESS_MAIN(TestKvAddr)
#include "tst_kv_addr.moc"
