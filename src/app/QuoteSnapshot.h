#pragma once

#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace tickwell {

// What one refresh learned about the market, cut once when the refresh hands its results over.
// The menu build, the title ticker, the quote monitor, the histories and the price alerts read
// this, never the pages. Values are texts as the source writes them ("1,234.50"), so a line
// shows exactly what the page showed; a live source writes its numbers the same way.

// An image the menu shows, with the address it is known by (the menu model's image name).
struct SnapshotImage {
    QString address;
    QImage image;
};

// One line of a symbol's quote details: the menu shows "label: value".
struct QuoteDetail {
    QString label;
    QString value;
};

// An article link of a symbol's headlines, in source order. The text is absent when the link has
// none (the refresh looks its title up); source is the article's source line, when there is one.
struct SnapshotHeadline {
    QString address;
    std::optional<QString> text;
    std::optional<QString> source;
};

struct SymbolQuote {
    std::optional<QString> company;
    std::optional<QString> lastTrade;
    std::optional<QString> previousClose;
    std::optional<QString> realTime;   // pre- or post-market price ("RT")
    std::optional<QString> afterHours; // after-hours price ("AH")
    std::optional<QString> tradeTime;
    std::vector<QuoteDetail> details;  // in the order the menu lists them
    std::optional<std::vector<SnapshotHeadline>> headlines; // absent: the source gave no headline block
    std::optional<SnapshotImage> logo;
    std::optional<SnapshotImage> chart;
};

// A line of the index, dollar-index and metal sections: the title before the change suffix, the
// change and percent texts as the source writes them (their sign gives the direction).
struct MarketQuote {
    QString name;  // "Dow", "Gold": what the line's action and tool tip name
    QString title; // "Dow: 12,345.67"
    QString change;
    QString percent;
    std::optional<SnapshotImage> chart; // the index chart of the submenu
};

struct QuoteSnapshot {
    QHash<QString, SymbolQuote> symbols; // by symbol as the user wrote it
    std::vector<MarketQuote> indices;    // Dow, Nasdaq, S&P, in that order, those the source gave
    std::optional<MarketQuote> dollarIndex;
    std::vector<MarketQuote> metals;     // Gold, Silver, Platinum, Palladium, those the source gave
    // One line per refusal of a service, shown disabled under "Last Update":
    // "Quotes from query1.finance.yahoo.com: 429 Too Many Requests; next try at 7:42 PM".
    QStringList problems;

    const SymbolQuote *symbol(const QString &name) const
    {
        const auto found = symbols.constFind(name);
        return found == symbols.constEnd() ? nullptr : &*found;
    }
};

} // namespace tickwell
