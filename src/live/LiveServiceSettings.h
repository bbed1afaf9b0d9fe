#pragma once

#include "platform/SettingsStore.h"
#include "platform/UrlLoader.h"

#include <QString>

#include <chrono>

namespace tickwell {

// Where the live quote services are and how to ask them, read from the settings at each refresh
// so a changed value takes effect at the next one. Base addresses carry no trailing "/".
struct LiveServiceSettings {
    QString quotesUrl;   // "LiveQuotesURL": chart, session and quote answers
    QString fallbackUrl; // "LiveFallbackURL": delayed quotes, U.S. only
    QString newsUrl;     // "LiveNewsURL": per-symbol headline feeds
    QString userAgent;   // "LiveUserAgent": sent with every request (services block odd ones)
    std::chrono::minutes updateInterval{60}; // "StockDataUpdateRate": the longest back-off

    static LiveServiceSettings read(SettingsStore &store);

    // The page whose answer sets the session cookie: the finance front page for the public
    // quote hosts, the base itself for any other (a local feed).
    QString frontPageUrl() const;
    // A GET of `address` as every request to these services goes out: with the User-Agent.
    HttpRequest request(const QString &address) const;
};

inline const QString kDefaultLiveQuotesUrl = QStringLiteral("https://query1.finance.yahoo.com");
inline const QString kDefaultLiveFallbackUrl = QStringLiteral("https://cdn.cboe.com");
inline const QString kDefaultLiveNewsUrl = QStringLiteral("https://feeds.finance.yahoo.com");
// A desktop Firefox (the extended-support release), as the quote services expect a browser.
inline const QString kDefaultLiveUserAgent = QStringLiteral("Mozilla/5.0 (X11; Linux x86_64; rv:140.0) Gecko/20100101 Firefox/140.0");

} // namespace tickwell
