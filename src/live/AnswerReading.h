#pragma once

#include <QByteArrayView>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include <cstdint>
#include <optional>

namespace tickwell {

// What the live parsers share: reading a body into a JSON object and fields out of it without
// trusting their presence, their type or their size.

// Bodies larger than this are not answers of these services (a day's chart is about 100 KiB).
inline constexpr qsizetype kLargestAnswerBody = 4 * 1024 * 1024;
// Magnitudes beyond this are not prices, volumes or market values of any market.
inline constexpr double kLargestAnswerNumber = 1e18;
// Names and other texts are cut to this many characters.
inline constexpr qsizetype kLongestAnswerText = 200;

// The body's top-level JSON object, or nothing for an empty, oversized, non-JSON or non-object body.
std::optional<QJsonObject> ReadJsonObjectBody(QByteArrayView body);

// A finite number within kLargestAnswerNumber. A {"raw": n, "fmt": "..."} object (the services'
// formatted form) gives its raw number; texts, booleans and null give nothing.
std::optional<double> AnswerNumber(const QJsonValue &value);

// A time in whole seconds since 1970, from a number between 1970 and the year 9999.
std::optional<std::int64_t> AnswerTime(const QJsonValue &value);

// A text with white space folded, control characters removed and its length capped; nothing for
// a non-string or a text that is empty after cleaning.
std::optional<QString> AnswerText(const QJsonValue &value);

// The text cleaning of AnswerText for texts from elsewhere (XML).
QString CleanAnswerText(const QString &text);

} // namespace tickwell
