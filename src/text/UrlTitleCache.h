#pragma once

#include "platform/UrlLoader.h"

#include <QDateTime>
#include <QHash>
#include <QString>

#include <optional>

namespace tickwell {

// Page titles already looked up, by address exactly as passed in. Never trimmed or cleared: a
// title, or the dated fallback given when there was none, stays for the life of the cache.
// Main thread only.
class UrlTitleCache {
public:
    // The cached title, or the one FetchURLTitle finds now (waiting for it), which is then cached.
    QString title(UrlLoader &loader, const QString &address, const QDateTime &now);

    std::optional<QString> cachedTitle(const QString &address) const;
    // Records a title looked up elsewhere (the refresh looks titles up ahead of the menu). A
    // title already cached stays.
    void store(const QString &address, const QString &title);
    qsizetype size() const { return m_titles.size(); }

    // The one cache of the process, used by GetURLTitle.
    static UrlTitleCache &shared();

private:
    QHash<QString, QString> m_titles;
};

} // namespace tickwell
