#include "live/AnswerReading.h"

#include <QJsonDocument>
#include <QJsonParseError>

#include <cmath>

namespace tickwell {

std::optional<QJsonObject> ReadJsonObjectBody(QByteArrayView body)
{
    if (body.isEmpty() || body.size() > kLargestAnswerBody)
        return std::nullopt;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body.toByteArray(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return document.object();
}

std::optional<double> AnswerNumber(const QJsonValue &value)
{
    if (value.isObject())
        return AnswerNumber(value.toObject().value(QLatin1StringView("raw")));
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (!std::isfinite(number) || std::fabs(number) > kLargestAnswerNumber)
        return std::nullopt;
    return number;
}

std::optional<std::int64_t> AnswerTime(const QJsonValue &value)
{
    constexpr double kYear9999 = 253402300799.0;
    if (!value.isDouble())
        return std::nullopt;
    const double seconds = value.toDouble();
    if (!std::isfinite(seconds) || seconds < 0.0 || seconds > kYear9999)
        return std::nullopt;
    return static_cast<std::int64_t>(std::floor(seconds));
}

QString CleanAnswerText(const QString &text)
{
    // White space folded on the way, so that the walk stops soon after the cap however long the text.
    QString kept;
    for (const QChar c : text) {
        if (kept.size() > kLongestAnswerText)
            break;
        if (c.isSpace()) {
            if (!kept.isEmpty() && kept.back() != u' ')
                kept.append(u' ');
        } else if (c.category() != QChar::Other_Control) {
            kept.append(c);
        }
    }
    if (kept.size() > kLongestAnswerText) {
        qsizetype cut = kLongestAnswerText;
        if (kept[cut - 1].isHighSurrogate())
            --cut;
        kept.truncate(cut);
    }
    return kept.trimmed();
}

std::optional<QString> AnswerText(const QJsonValue &value)
{
    if (!value.isString())
        return std::nullopt;
    QString text = CleanAnswerText(value.toString());
    if (text.isEmpty())
        return std::nullopt;
    return text;
}

} // namespace tickwell
