#pragma once

#include "platform/SettingsStore.h"
#include "platform/UrlLoader.h"

#include <QHash>
#include <QString>

#include <functional>
#include <map>
#include <optional>

namespace tickwell {

// The symbol of a row just added, until the user types one.
inline const QString kPlaceholderSymbol = QStringLiteral("????");

// Company names read from the symbols' quote pages, each page fetched at most once for the life
// of the lookup, failures included. The placeholder "????" is never looked up. Pages are fetched
// beside the event loop: a name that is not there yet is announced when it arrives.
class CompanyLookup {
public:
    CompanyLookup(SettingsStore &settings, UrlLoader &loader);

    // The cached name (possibly empty), else the text between "Summary for " and "-" on the
    // quote page, blanks kept, when the page is at hand at once; nothing when the page or the
    // text is not there, or not yet (the lookup then goes on and tells onNameArrived).
    std::optional<QString> getCompanyForSymbol(const QString &symbol);

    // Called with the symbol whose name has just been cached.
    void onNameArrived(std::function<void(const QString &symbol)> observer) { m_nameArrived = std::move(observer); }

    // The symbol → name cache, "" where a lookup found nothing (or has not finished).
    const QHash<QString, QString> &companyNames() const { return m_companyNames; }
    bool isFetching() const;

private:
    void nameArrived(const QString &symbol, const FetchResult &page);

    SettingsStore &m_settings;
    UrlLoader &m_loader;
    QHash<QString, QString> m_companyNames;
    std::map<QString, FetchSlot> m_fetches;
    std::function<void(const QString &)> m_nameArrived;
    bool m_starting = false;
    std::optional<QString> m_arrivedAtOnce;
};

} // namespace tickwell
