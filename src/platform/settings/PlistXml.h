#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <optional>

namespace tickwell {

// Deeper nesting than this is refused both when reading and when storing, so that everything
// we write can be read back.
inline constexpr int kPlistMaxDepth = 256;
// Larger files are not read at all.
inline constexpr qint64 kPlistMaxFileSize = 64 * 1024 * 1024;

// Parses an XML property list 1.0 whose root is a dictionary. Types are kept exactly:
// <true/>/<false/> bool, <integer> qlonglong (qulonglong above the signed range), <real> double,
// <string> QString, <data> QByteArray, <date> QDateTime in UTC to the second, <array> QVariantList,
// <dict> QVariantMap. Anything else, malformed XML included, gives nothing and an error text.
std::optional<QVariantMap> ReadPlistXml(const QByteArray &xml, QString *error = nullptr);

// Writes the dictionary as an XML property list 1.0 that ReadPlistXml reads back as the very
// same values. Values must be plist values, as ReadPlistXml or ToPlistValue give them; nothing
// (and an error text) when one is not, or when the file would be larger than kPlistMaxFileSize,
// so that a file is never written that the next start would refuse.
std::optional<QByteArray> WritePlistXml(const QVariantMap &root, QString *error = nullptr);

// Converts a value to the exact plist type it will have after a write and a read: integers of
// any width become qlonglong, floats double, string lists arrays, hashes dictionaries, dates UTC
// to the second. Characters that XML 1.0 cannot carry become U+FFFD. Nothing for values that have
// no plist form or nest deeper than kPlistMaxDepth.
std::optional<QVariant> ToPlistValue(const QVariant &value);

} // namespace tickwell
