#pragma once

#include <QByteArray>
#include <QStringView>

// Pieces for writing the two JSON files by hand: QJsonDocument sorts object keys and does
// not escape "/", and both files keep a fixed key order with escaped slashes.
namespace json {

// A JSON string literal: UTF-8, non-ASCII unescaped, quote, backslash and "/" escaped,
// control characters as short escapes or \u00XX.
QByteArray string(QStringView text);

// The shortest fixed-notation text that reads back as the same double (no exponent).
QByteArray number(double value);

} // namespace json
