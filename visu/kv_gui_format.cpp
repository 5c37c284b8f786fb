#include "kv_gui_format.h"

#include <cctype>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>

#include "kv_addr.h"
#include "kv_trace.h"

namespace {
constexpr uint32_t kTypeTime = 3;
constexpr uint32_t kTypeDate = 4;
constexpr uint32_t kTypeFloat2 = 5;
constexpr uint32_t kTypeFloat4 = 9;
constexpr uint32_t kTypeString = 15;

QString two_digits(int value)
{
    return QString::number(value).rightJustified(2, QLatin1Char('0'));
}

// Truncation toward zero that never overflows.
template <class Int>
Int truncated(double value)
{
    if (std::isnan(value))
        return 0;
    if (value <= static_cast<double>(std::numeric_limits<Int>::min()))
        return std::numeric_limits<Int>::min();
    if (value >= static_cast<double>(std::numeric_limits<Int>::max()))
        return std::numeric_limits<Int>::max();
    return static_cast<Int>(value);
}

QString printf_text(const QByteArray& format, auto value)
{
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, format.constData(), value);
    return QString::fromUtf8(buffer);
}
} // namespace

KV_Format_Kind kv_format_kind(const QByteArray& format)
{
    int conversions = 0;
    KV_Format_Kind kind = KV_Format_Kind::Double; // no conversion: the argument is simply not used
    for (qsizetype i = 0; i < format.size(); ++i) {
        if (format[i] != '%')
            continue;
        ++i;
        if (i < format.size() && format[i] == '%')
            continue;
        while (i < format.size() && QByteArrayView("-+ #0").contains(format[i]))
            ++i;
        while (i < format.size() && std::isdigit(static_cast<unsigned char>(format[i])))
            ++i;
        if (i < format.size() && format[i] == '.') {
            ++i;
            while (i < format.size() && std::isdigit(static_cast<unsigned char>(format[i])))
                ++i;
        }
        if (i >= format.size())
            return KV_Format_Kind::Invalid;
        const char conversion = format[i];
        if (QByteArrayView("diouxXc").contains(conversion))
            kind = KV_Format_Kind::Integer;
        else if (QByteArrayView("feEgGaA").contains(conversion))
            kind = KV_Format_Kind::Double;
        else
            return KV_Format_Kind::Invalid; // strings, pointers, %n, '*' widths, length modifiers
        if (++conversions > 1)
            return KV_Format_Kind::Invalid;
    }
    return kind;
}

QString kv_format_address_value(const KV_Addr_Db* address, const QString& format, double factor, double offset)
{
    if (address && address->m_data_typ == kTypeString)
        return QString::fromStdString(value_as_text(*address));
    if (address && address->m_data_typ == kTypeTime)
        return QStringLiteral("%1:%2").arg(two_digits(address->m_data[0] & 0x1F), two_digits(address->m_data[1]));
    if (address && address->m_data_typ == kTypeDate)
        return QStringLiteral("%1.%2.%3")
            .arg(two_digits(address->m_data[0]), two_digits(address->m_data[1]),
                 QString::number(address->m_data[2] + 2000).rightJustified(4, QLatin1Char('0')));

    double value = address ? value_as_double(*address) : 0.0;
    value += offset;
    if (std::fabs(factor) > DBL_EPSILON)
        value *= factor;

    if (!format.contains(QLatin1Char('%')))
        return QStringLiteral("%1").arg(value);

    // A format with an "f" anywhere gets the value as a double, any other
    // one an integer. The format comes from the project: only one numeric
    // conversion is accepted, and where its letter wants the other type
    // ("%e" without an "f", "%d fach") the argument is converted to it.
    const QByteArray utf8 = format.toUtf8();
    const KV_Format_Kind conversion = kv_format_kind(utf8);
    if (conversion != KV_Format_Kind::Invalid && !utf8.contains('f')) {
        const bool as_unsigned = address && address->m_data_signed == 0 && address->m_data_typ != kTypeFloat2 &&
                                 address->m_data_typ != kTypeFloat4;
        value = as_unsigned ? static_cast<double>(static_cast<uint32_t>(truncated<int64_t>(value)))
                            : static_cast<double>(truncated<int32_t>(value));
    }
    switch (conversion) {
    case KV_Format_Kind::Double:
        return printf_text(utf8, value);
    case KV_Format_Kind::Integer:
        if (value >= 0.0)
            return printf_text(utf8, static_cast<unsigned int>(truncated<uint32_t>(value)));
        return printf_text(utf8, static_cast<int>(truncated<int32_t>(value)));
    case KV_Format_Kind::Invalid:
        break;
    }
    TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_ZRQ, "FORMAT_VALUE FORMAT REJECTED: %s\n", utf8.constData());
    return QStringLiteral("%1").arg(value);
}
