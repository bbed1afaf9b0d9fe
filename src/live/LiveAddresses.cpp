#include "live/LiveAddresses.h"

#include <QUrl>

namespace tickwell {

namespace {

QString encoded(const QString &text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

} // namespace

namespace live_address {

QString chart(const LiveServiceSettings &settings, const QString &symbol)
{
    return settings.quotesUrl + QStringLiteral("/v8/finance/chart/") + encoded(symbol)
        + QStringLiteral("?range=1d&interval=5m&includePrePost=true");
}

QString rangeChart(const LiveServiceSettings &settings, const QString &symbol, const LiveChartRange &range)
{
    // The day's chart takes in the pre- and post-market, as the menu's chart does: before the
    // opening bell the regular session alone has no bar to draw yet.
    const QString extended = range.range == u"1d" ? QStringLiteral("&includePrePost=true") : QString();
    return settings.quotesUrl + QStringLiteral("/v8/finance/chart/") + encoded(symbol) + QStringLiteral("?range=") + range.range
        + QStringLiteral("&interval=") + range.interval + extended;
}

QString chartPage(const QString &symbol)
{
    return QStringLiteral("https://finance.yahoo.com/quote/") + encoded(symbol) + QStringLiteral("/chart");
}

QString crumb(const LiveServiceSettings &settings)
{
    return settings.quotesUrl + QStringLiteral("/v1/test/getcrumb");
}

QString quote(const LiveServiceSettings &settings, const QStringList &symbols, const QString &crumb)
{
    QStringList parts;
    parts.reserve(symbols.size());
    for (const QString &symbol : symbols)
        parts.append(encoded(symbol));
    return settings.quotesUrl + QStringLiteral("/v7/finance/quote?symbols=") + parts.join(u',') + QStringLiteral("&crumb=")
        + encoded(crumb);
}

QString delayedQuote(const LiveServiceSettings &settings, const QString &fallbackSymbol)
{
    return settings.fallbackUrl + QStringLiteral("/api/global/delayed_quotes/quotes/") + encoded(fallbackSymbol)
        + QStringLiteral(".json");
}

QString headlines(const LiveServiceSettings &settings, const QString &symbol)
{
    return settings.newsUrl + QStringLiteral("/rss/2.0/headline?s=") + encoded(symbol) + QStringLiteral("&region=US&lang=en-US");
}

} // namespace live_address

std::optional<QString> DelayedQuoteSymbol(const QString &symbol)
{
    const QString upper = symbol.trimmed().toUpper();
    if (upper == QLatin1String("^GSPC"))
        return QStringLiteral("_SPX");
    if (upper == QLatin1String("^DJI"))
        return QStringLiteral("_DJI");
    // Other indices, futures and currencies are not served; a foreign listing ("VOD.L") is asked
    // for and refused like any unknown symbol.
    if (upper.isEmpty() || upper.contains(u'^') || upper.contains(u'=') || upper == QLatin1String("DX-Y.NYB"))
        return std::nullopt;
    return upper;
}

} // namespace tickwell
