#pragma once

#include "platform/SettingsStore.h"
#include "platform/UrlLoader.h"

#include <QHash>
#include <QString>

#include <optional>

namespace tickwell {

// The symbol of a row just added, until the user types one.
inline const QString kPlaceholderSymbol = QStringLiteral("????");

// Company names read from the symbols' quote pages, each page fetched at most once for the life
// of the lookup, failures included. The placeholder "????" is never looked up.
class CompanyLookup {
public:
    CompanyLookup(SettingsStore &settings, UrlLoader &loader);

    // The cached name (possibly empty), else the text between "Summary for " and "-" on the
    // quote page, blanks kept; nothing when the page or the text is not there.
    std::optional<QString> getCompanyForSymbol(const QString &symbol);

    // The symbol → name cache, "" where a lookup found nothing.
    const QHash<QString, QString> &companyNames() const { return m_companyNames; }

private:
    SettingsStore &m_settings;
    UrlLoader &m_loader;
    QHash<QString, QString> m_companyNames;
};

} // namespace tickwell
