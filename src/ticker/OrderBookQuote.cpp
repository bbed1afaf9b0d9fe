#include "ticker/OrderBookQuote.h"

#include "text/StringExtensions.h"

#include <QStringList>

#include <algorithm>

namespace tickwell {

namespace {

// The text between the first two double quotes.
std::optional<QString> quoted(const QString &text)
{
    return extractBetweenPattern(text, u"\"", u"\"");
}

} // namespace

std::optional<QString> OrderBookCompany(const QString &document)
{
    return extractBetweenPattern(document, u"\"company\":\"", u"\"");
}

bool IsUnknownSymbolCompany(const QString &company)
{
    return company.toLower().startsWith(QStringLiteral("unknown symbol"));
}

QString TrimZeros(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == u'0')
        ++begin;
    while (end > begin && text.at(end - 1) == u'0')
        --end;
    return text.sliced(begin, end - begin);
}

std::optional<QString> OrderBookPrice(const QString &document)
{
    const auto firstTrade = extractBetweenPattern(document, u"\"trades\":[[", u"]");
    if (!firstTrade)
        return std::nullopt;
    const QStringList parts = firstTrade->split(QLatin1Char(','));
    if (parts.size() != 3 || !quoted(parts.at(0)))
        return std::nullopt;
    const auto price = quoted(parts.at(2));
    if (!price)
        return std::nullopt;
    QString trimmed = TrimZeros(*price);
    // "0000.0000" leaves its point: a price without a digit is as empty as one of zeros only.
    if (!std::any_of(trimmed.cbegin(), trimmed.cend(), [](QChar c) { return c.isDigit(); }))
        return std::nullopt;
    return trimmed;
}

} // namespace tickwell
