#pragma once
// Display text of a group address value: the rules behind format_value.

#include <QString>

class KV_Addr_Db;

// `address` null means the address is not in the tree: the value is 0.
QString kv_format_address_value(const KV_Addr_Db* address, const QString& format, double factor, double offset);

// What a printf format applies to: one conversion of a double, one of an
// integer, or nothing usable (no conversion, several, or a dangerous one such
// as %s or %n).
enum class KV_Format_Kind { Invalid, Double, Integer };
KV_Format_Kind kv_format_kind(const QByteArray& format);
