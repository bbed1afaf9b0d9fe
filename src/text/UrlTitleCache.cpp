#include "text/UrlTitleCache.h"

#include "text/PageFetching.h"

namespace tickwell {

QString UrlTitleCache::title(UrlLoader &loader, const QString &address, const QDateTime &now)
{
    if (const auto it = m_titles.constFind(address); it != m_titles.constEnd())
        return *it;
    QString found = FetchURLTitle(loader, address, now);
    // The wait turned the event loop: a refresh may have cached the address meanwhile.
    if (const auto it = m_titles.constFind(address); it != m_titles.constEnd())
        return *it;
    m_titles.insert(address, found);
    return found;
}

std::optional<QString> UrlTitleCache::cachedTitle(const QString &address) const
{
    if (const auto it = m_titles.constFind(address); it != m_titles.constEnd())
        return *it;
    return std::nullopt;
}

void UrlTitleCache::store(const QString &address, const QString &title)
{
    if (!m_titles.contains(address))
        m_titles.insert(address, title);
}

UrlTitleCache &UrlTitleCache::shared()
{
    static UrlTitleCache cache;
    return cache;
}

} // namespace tickwell
