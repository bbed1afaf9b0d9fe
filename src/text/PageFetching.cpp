#include "text/PageFetching.h"

#include "text/PageDecoding.h"
#include "text/StringExtensions.h"
#include "text/UrlTitleCache.h"

namespace tickwell {

namespace {

// The platform's default date description, "YYYY-MM-DD HH:MM:SS ±HHMM" in local time. Kept here
// rather than borrowed from the application layer, which this library must not depend on.
QString DateDescription(const QDateTime &moment)
{
    const QDateTime local = moment.toLocalTime();
    const int offsetMinutes = local.offsetFromUtc() / 60;
    const int magnitude = offsetMinutes < 0 ? -offsetMinutes : offsetMinutes;
    return local.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss "))
        + (offsetMinutes < 0 ? u'-' : u'+')
        + QStringLiteral("%1%2").arg(magnitude / 60, 2, 10, QLatin1Char('0')).arg(magnitude % 60, 2, 10, QLatin1Char('0'));
}

std::optional<QString> TitleOfPage(const FetchResult &bytes)
{
    const std::optional<QString> page = DecodeFetchedPage(bytes);
    if (!page)
        return std::nullopt;
    const std::optional<QString> raw = extractBetweenPattern(*page, u"<title>", u"</title>");
    if (!raw)
        return std::nullopt;
    QString title = *raw;
    title.replace(u'/', u'-').replace(u':', u'-');
    title = cleanForFilename(title.trimmed());
    // A blank title would name a document ".pdf": hidden, and overwritten by the next blank one.
    if (title.isEmpty())
        return std::nullopt;
    return title;
}

} // namespace

std::optional<QString> DecodeFetchedPage(const FetchResult &bytes)
{
    if (!bytes || bytes->isEmpty())
        return std::nullopt;
    return DecodePageBytes(*bytes);
}

QString URLTitleOfFetchedPage(const FetchResult &bytes, const QDateTime &now)
{
    if (std::optional<QString> title = TitleOfPage(bytes))
        return *std::move(title);
    return cleanForFilename(QStringLiteral("(No Title) ") + DateDescription(now));
}

QString FetchURLTitle(UrlLoader &loader, const QString &address, const QDateTime &now)
{
    return URLTitleOfFetchedPage(FetchAndWait(loader, address), now);
}

QString GetURLTitle(UrlLoader &loader, const QString &address, const QDateTime &now)
{
    return UrlTitleCache::shared().title(loader, address, now);
}

QString GetURLTitle(UrlLoader &loader, const QString &address)
{
    return GetURLTitle(loader, address, QDateTime::currentDateTime());
}

} // namespace tickwell
