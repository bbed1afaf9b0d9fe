#pragma once

#include "platform/SettingsStore.h"

#include <QString>

namespace tickwell {

// The hosts of the outside services, each a setting "host[:port]" defaulting to the public one.
// Pointing them all at 127.0.0.1:PORT runs the system against the local feed.
struct Hosts {
    QString quotePage;    // "QuotePageHost": quote pages, chart pages, front page
    QString chartImage;   // "ChartImageHost"
    QString logo;         // "LogoHost"
    QString metals;       // "MetalsHost": metals market and chart pages
    QString markets;      // "MarketsHost"
    QString otherIndices; // "OtherIndicesHost"
    QString orderBook;    // "OrderBookHost"

    // Which host keys the settings name. A key that is set (to any value) is read as the classic
    // pages of that host; a part whose key is left unset comes from today's live services.
    struct Classic {
        bool quotePage = true;
        bool chartImage = true;
        bool logo = true;
        bool metals = true;
        bool markets = true;
        bool otherIndices = true;
        bool orderBook = true;

        bool all() const { return quotePage && chartImage && logo && metals && markets && otherIndices && orderBook; }
    };
    Classic classic;

    static Hosts fromSettings(SettingsStore &store);

    // "http://" + host + pathAndQuery
    static QString address(const QString &host, const QString &pathAndQuery) { return QStringLiteral("http://") + host + pathAndQuery; }
};

} // namespace tickwell
