// Display text of address values: offset before factor, the integer rules of
// printf formats, time, date and string types, and rejected formats.

#include <QtTest>

#include "kv_fake_host.h"
#include "kv_gui_container.h"
#include "kv_gui_control.h"
#include "kv_gui_format.h"

class tst_kv_gui_format : public QObject {
    Q_OBJECT

private:
    KV_Addr_Db address(uint32_t type, double value, bool is_signed = false)
    {
        KV_Addr_Db record;
        record.m_addr_write = {1, 1, 1};
        record.m_data_typ = type;
        record.m_data_signed = is_signed ? 1 : 0;
        set_value_from_double(record, value);
        return record;
    }

private slots:
    void offset_comes_before_factor()
    {
        const KV_Addr_Db value = address(10, 5);
        QCOMPARE(kv_format_address_value(&value, QString(), 2, 10), QStringLiteral("30"));
        QCOMPARE(kv_format_address_value(&value, QString(), 0, 10), QStringLiteral("15")); // factor 0: unscaled
        QCOMPARE(kv_format_address_value(&value, QString(), 0.5, 0), QStringLiteral("2.5"));
    }

    void integer_formats_follow_signedness_and_type()
    {
        const KV_Addr_Db float2 = address(5, 21.7);
        QCOMPARE(kv_format_address_value(&float2, QStringLiteral("%d"), 1, 0), QStringLiteral("21"));
        const KV_Addr_Db negative = address(5, -3.7);
        QCOMPARE(kv_format_address_value(&negative, QStringLiteral("%d"), 1, 0), QStringLiteral("-3"));
        const KV_Addr_Db counter = address(14, 200);
        QCOMPARE(kv_format_address_value(&counter, QStringLiteral("%d"), 1, 0), QStringLiteral("200"));
        const KV_Addr_Db big = address(11, 4294967295.0);
        QCOMPARE(kv_format_address_value(&big, QStringLiteral("%u"), 1, 0), QStringLiteral("4294967295"));
        const KV_Addr_Db signed_counter = address(11, -5, true);
        QCOMPARE(kv_format_address_value(&signed_counter, QStringLiteral("%d W"), 1, 0), QStringLiteral("-5 W"));
        // An unsigned address offset below zero wraps like the 32-bit value it is.
        const KV_Addr_Db zero = address(14, 0);
        QCOMPARE(kv_format_address_value(&zero, QStringLiteral("%u"), 1, -1), QStringLiteral("4294967295"));
    }

    void floating_format_with_unit()
    {
        const KV_Addr_Db temperature = address(9, 21.456);
        QCOMPARE(kv_format_address_value(&temperature, QStringLiteral("%.1f °C"), 1, 0), QStringLiteral("21.5 °C"));
        QCOMPARE(kv_format_address_value(&temperature, QStringLiteral("Temp %05.2f%%"), 1, 0),
                 QStringLiteral("Temp 21.46%"));
    }

    void time_date_and_text_ignore_format()
    {
        KV_Addr_Db time = address(3, 0);
        time.m_data[0] = 0x6C; // weekday bits set, hour 12
        time.m_data[1] = 5;
        QCOMPARE(kv_format_address_value(&time, QStringLiteral("%.1f"), 2, 10), QStringLiteral("12:05"));
        KV_Addr_Db date = address(4, 0);
        date.m_data[0] = 6;
        date.m_data[1] = 3;
        date.m_data[2] = 26;
        QCOMPARE(kv_format_address_value(&date, QString(), 1, 0), QStringLiteral("06.03.2026"));
        KV_Addr_Db text = address(15, 0);
        set_value_from_text(text, "Störung");
        QCOMPARE(kv_format_address_value(&text, QStringLiteral("%d"), 3, 1), QStringLiteral("Störung"));
    }

    void dangerous_formats_fall_back_to_general_notation()
    {
        const KV_Addr_Db value = address(9, 2.5);
        for (const char* format : {"%s", "%d %d", "%n", "%*d", "%ld", "100%"})
            QCOMPARE(kv_format_address_value(&value, QString::fromLatin1(format), 1, 0), QStringLiteral("2.5"));
        QCOMPARE(kv_format_kind("%-8.3e"), KV_Format_Kind::Double);
        QCOMPARE(kv_format_kind("%03x"), KV_Format_Kind::Integer);
        QCOMPARE(kv_format_kind("50%%"), KV_Format_Kind::Double);
    }

    void control_entries_through_the_tree()
    {
        KV_Fake_Host host;
        set_value_from_double(*host.add_address({1, 2, 3}, 14), 7);
        KV_GUI_Page& page = host.add_page("{p}");
        KV_Fake_Host::add_control(page, 1, "{c}", {{1, 2, 3}, {9, 9, 9}});
        auto* canvas = new CKV_Gui_Control_Container(host, page);
        const CKV_Gui_Control& control = *canvas->controls().at(0);
        QCOMPARE(format_value(control, 0, QStringLiteral("%d"), 2, 1), QStringLiteral("16"));
        // Missing address (traced) and missing entry both read as 0.
        QCOMPARE(format_value(control, 1, QString(), 2, 1), QStringLiteral("2"));
        QCOMPARE(format_value(control, 5, QStringLiteral("%d"), 1, 3), QStringLiteral("3"));
        delete canvas->scroll_area();
    }
};

QTEST_MAIN(tst_kv_gui_format)
#include "tst_kv_gui_format.moc"
