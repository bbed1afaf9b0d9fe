#include "live/ServiceRefusal.h"

#include "app/ValueFormatting.h"

#include <QUrl>

#include <algorithm>
#include <cstdint>

namespace tickwell {

namespace {

bool isHtmlPage(const HttpResponse &response)
{
    if (response.contentType().toLower().contains("html"))
        return true;
    // JSON never starts with "<"; a challenge page may come without a type.
    return response.body.trimmed().startsWith('<');
}

} // namespace

QString StatusText(int status)
{
    const char *phrase = nullptr;
    switch (status) {
    case 400: phrase = "Bad Request"; break;
    case 401: phrase = "Unauthorized"; break;
    case 403: phrase = "Forbidden"; break;
    case 404: phrase = "Not Found"; break;
    case 429: phrase = "Too Many Requests"; break;
    case 500: phrase = "Internal Server Error"; break;
    case 502: phrase = "Bad Gateway"; break;
    case 503: phrase = "Service Unavailable"; break;
    case 504: phrase = "Gateway Timeout"; break;
    default: break;
    }
    return phrase ? QStringLiteral("%1 %2").arg(status).arg(QLatin1String(phrase)) : QString::number(status);
}

std::optional<QString> RefusalReason(const HttpResponse &response, ForbiddenMeans forbidden)
{
    if (!response.answered())
        return QStringLiteral("no answer");
    const int status = response.status;
    if (status == 401 || status == 429 || status >= 500 || (status == 403 && forbidden == ForbiddenMeans::Refusal))
        return StatusText(status);
    if (status >= 200 && status < 300 && isHtmlPage(response))
        return QStringLiteral("not a quote answer (HTML page)");
    return std::nullopt;
}

void ServiceBackoff::refused(const QDateTime &now, const QString &reason, std::chrono::minutes cap)
{
    // 1, 2, 4, ... minutes; the shift stops growing long before it could overflow.
    const std::chrono::minutes doubled{std::int64_t{1} << std::min(m_refusals, 20)};
    const std::chrono::minutes wait = std::clamp(doubled, std::chrono::minutes{1}, std::max(cap, std::chrono::minutes{1}));
    m_nextTry = now.addSecs(std::chrono::duration_cast<std::chrono::seconds>(wait).count());
    m_reason = reason;
    ++m_refusals;
}

void ServiceBackoff::answered()
{
    m_refusals = 0;
    m_nextTry = {};
    m_reason.clear();
}

std::optional<QString> ServiceBackoff::problemLine(const QString &service, const QString &host) const
{
    if (!isBackingOff())
        return std::nullopt;
    const QString when = MakeDateTimeString(m_nextTry, 0, 1).value_or(m_nextTry.toString(Qt::ISODate));
    return QStringLiteral("%1 from %2: %3; next try at %4").arg(service, host, m_reason, when);
}

QString ServiceHost(const QString &baseUrl)
{
    const QUrl url(baseUrl);
    if (url.host().isEmpty())
        return baseUrl;
    return url.port() == -1 ? url.host() : QStringLiteral("%1:%2").arg(url.host()).arg(url.port());
}

} // namespace tickwell
