#pragma once

#include "platform/SettingsStore.h"
#include "platform/StatusItem.h"

#include <QColor>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace tickwell {

inline const QString kSettingsDomain = QStringLiteral("com.brantlow.Tickwell");

// Whether a stored value is a number (integer or real), as property lists hold them.
bool IsNumberValue(const QVariant &value);

// Whether a "ShowSettings" entry marks its symbol as shown: the integer 1, a real whose whole part
// is 1 (1.0), boolean true, or a text whose integer reading (as for rates) is 1. Tools and hand
// edits write all of these; the preferences window writes the integer.
bool ShowSettingIsOne(const QVariant &entry);

// A "CompanyShares" entry as text: a text as stored; a number of any type and size as its whole
// value in plain digits (a real 1000000.0 is "1000000", never "1e+06"), a fraction kept; "" for
// anything else.
QString SharesEntryText(const QVariant &entry);

// Reads a switch: the stored boolean, or the default when absent or of any other type.
bool PreferenceValueForKey(SettingsStore &store, const QString &key, bool defaultValue);

// Reads a rate stored as text: leading white space, optional sign, digits; text without a number
// gives 0; absent or another type gives the default. No bound is applied here.
std::int32_t RateValueForKey(SettingsStore &store, const QString &key, std::int32_t defaultValue);

// A watch-list symbol with what the settings say about it.
struct WatchedSymbol {
    QString symbol;
    QString shares; // as typed; empty for none
    bool shown = true;
};

// The settings accessors of the application, each reading the store when asked (no cache).
class Preferences {
public:
    explicit Preferences(SettingsStore &store) : m_store(store) {}

    SettingsStore &store() const { return m_store; }

    bool includePreciousMetals() const;
    bool includeOtherMarketIndices() const;
    bool includeMarketIndices() const;
    bool includeAfterHours() const;
    bool includeHeadlinesInSubmenu() const;
    bool includeiChartsInSubmenu() const;
    bool includeInteractiveiChartsLinksInSubmenu() const;
    bool includeStockDataInSubmenu() const;
    bool includeStockHistoryInSubmenu() const;
    bool includeIndicesChartsInSubmenu() const;
    bool onlyShowFlagged() const;
    bool logToConsole() const;
    bool logToConsoleOnlyIfStockChanges() const;
    bool showOpeningBellTitle() const;
    bool titleTicker() const;
    bool downloadHeadlines() const;
    bool setFilenameToHeadlineArticleName() const;
    bool displayTheHeadlineProgressWindow() const;

    std::int32_t stockDataUpdateRate() const; // minutes
    std::int32_t logToConsoleRate() const;    // minutes
    std::int32_t titleTickerRate() const;     // seconds

    QString headlineFormat() const;           // not synchronised
    // "PanelMenu": "own" or "panel"; none when absent or anything else (the platform decides).
    std::optional<PanelMenu> panelMenu() const;
    std::optional<QColor> upColor() const;    // not synchronised; green when unset
    std::optional<QColor> downColor() const;  // not synchronised; red when unset

    // "StockSymbols" in order (synchronises first); empty when absent or of another type.
    QStringList stockSymbols() const;
    // The watch list with shares and flags; `shownOnly` leaves out what the flags hide.
    std::vector<WatchedSymbol> watchList(bool shownOnly) const;
    // Whether the refresh and the sections skip this symbol ("OnlyShowFlagged" with "ShowSettings").
    bool isSymbolHidden(const QString &symbol) const;
    // The shares text of a symbol; empty for none.
    QString sharesForSymbol(const QString &symbol) const;

private:
    SettingsStore &m_store;
};

// The byte form of a colour under "UpColor" / "DownColor", and back (nothing when unreadable).
QByteArray ArchiveColor(const QColor &color);
std::optional<QColor> UnarchiveColor(const QByteArray &data);

} // namespace tickwell
