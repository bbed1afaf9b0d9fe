#include "app/Preferences.h"

#include <QDataStream>
#include <QIODevice>
#include <QLocale>

#include <cmath>

namespace tickwell {

namespace {

// Key, default.
struct Switch {
    const char *key;
    bool defaultValue;
};

bool readSwitch(SettingsStore &store, const Switch &sw)
{
    return PreferenceValueForKey(store, QString::fromLatin1(sw.key), sw.defaultValue);
}

// Leading white space, optional sign, decimal digits; stops at the first other character.
std::int32_t leadingInteger(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == u'+' || text.at(i) == u'-')) {
        negative = text.at(i) == u'-';
        ++i;
    }
    std::int64_t value = 0;
    while (i < text.size() && text.at(i) >= u'0' && text.at(i) <= u'9') {
        value = value * 10 + (text.at(i).unicode() - u'0');
        if (value > INT32_MAX)
            value = INT32_MAX; // saturate rather than wrap on absurd input
        ++i;
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

} // namespace

bool ShowSettingIsOne(const QVariant &entry)
{
    switch (entry.typeId()) {
    case QMetaType::Bool:
        return entry.toBool();
    case QMetaType::QString:
        return leadingInteger(entry.toString()) == 1;
    case QMetaType::Double: {
        const double value = entry.toDouble();
        return value >= 1.0 && value < 2.0; // whole part 1; NaN is not
    }
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
        return entry.toLongLong() == 1;
    case QMetaType::ULongLong:
        return entry.toULongLong() == 1;
    default:
        return false;
    }
}

QString SharesEntryText(const QVariant &entry)
{
    switch (entry.typeId()) {
    case QMetaType::QString:
        return entry.toString();
    case QMetaType::Double: {
        const double value = entry.toDouble();
        if (!std::isfinite(value))
            return {};
        // Fixed notation, as few digits as give the value back.
        return QString::number(value, 'f', QLocale::FloatingPointShortest);
    }
    case QMetaType::Int:
    case QMetaType::LongLong:
        return QString::number(entry.toLongLong());
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return QString::number(entry.toULongLong());
    default:
        return {};
    }
}

bool IsNumberValue(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
        return true;
    default:
        return false;
    }
}

bool PreferenceValueForKey(SettingsStore &store, const QString &key, bool defaultValue)
{
    store.synchronize();
    const auto value = store.value(key);
    if (!value || value->typeId() != QMetaType::Bool)
        return defaultValue;
    return value->toBool();
}

std::int32_t RateValueForKey(SettingsStore &store, const QString &key, std::int32_t defaultValue)
{
    store.synchronize();
    const auto value = store.value(key);
    if (!value)
        return defaultValue;
    if (value->typeId() != QMetaType::QString)
        return defaultValue;
    return leadingInteger(value->toString());
}

bool Preferences::includePreciousMetals() const { return readSwitch(m_store, {"ShowPreciousMetalsInMenu", false}); }
bool Preferences::includeOtherMarketIndices() const { return readSwitch(m_store, {"ShowOtherMarketIndicesInMenu", false}); }
bool Preferences::includeMarketIndices() const { return readSwitch(m_store, {"ShowMarketIndicesInMenu", false}); }
bool Preferences::includeAfterHours() const { return readSwitch(m_store, {"IncludeAfterHoursMenu", true}); }
bool Preferences::includeHeadlinesInSubmenu() const { return readSwitch(m_store, {"IncludeHeadlinesInSubmenu", true}); }
bool Preferences::includeiChartsInSubmenu() const { return readSwitch(m_store, {"IncludeiChartsInSubmenu", true}); }
bool Preferences::includeInteractiveiChartsLinksInSubmenu() const
{
    return readSwitch(m_store, {"IncludeInteractiveiChartsLinksInSubmenu", true});
}
bool Preferences::includeStockDataInSubmenu() const { return readSwitch(m_store, {"IncludeStockDataInSubmenu", true}); }
bool Preferences::includeStockHistoryInSubmenu() const { return readSwitch(m_store, {"IncludeStockHistoryInSubmenu", true}); }
bool Preferences::includeIndicesChartsInSubmenu() const { return readSwitch(m_store, {"IncludeIndicesChartsInSubmenu", true}); }
bool Preferences::onlyShowFlagged() const { return readSwitch(m_store, {"OnlyShowFlagged", true}); }
bool Preferences::logToConsole() const { return readSwitch(m_store, {"LogToConsole", true}); }
bool Preferences::logToConsoleOnlyIfStockChanges() const { return readSwitch(m_store, {"LogToConsoleOnlyIfStockChanges", true}); }
bool Preferences::showOpeningBellTitle() const { return readSwitch(m_store, {"ShowOpeningBellTitle", false}); }
bool Preferences::titleTicker() const { return readSwitch(m_store, {"TitleTicker", false}); }
bool Preferences::downloadHeadlines() const { return readSwitch(m_store, {"DownloadHeadlines", false}); }
bool Preferences::setFilenameToHeadlineArticleName() const { return readSwitch(m_store, {"SetFilenameToHeadlineArticleName", false}); }
bool Preferences::displayTheHeadlineProgressWindow() const { return readSwitch(m_store, {"DisplayTheHeadlineProgressWindow", false}); }

std::int32_t Preferences::stockDataUpdateRate() const { return RateValueForKey(m_store, QStringLiteral("StockDataUpdateRate"), 60); }
std::int32_t Preferences::logToConsoleRate() const { return RateValueForKey(m_store, QStringLiteral("LogToConsoleRate"), 10); }
std::int32_t Preferences::titleTickerRate() const { return RateValueForKey(m_store, QStringLiteral("TitleTickerRate"), 10); }

QString Preferences::headlineFormat() const
{
    const auto value = m_store.value(QStringLiteral("HeadlineFileFormat"));
    if (value && value->typeId() == QMetaType::QString)
        return value->toString();
    return QStringLiteral("Web Archive");
}

std::optional<PanelMenu> Preferences::panelMenu() const
{
    const auto value = m_store.value(QStringLiteral("PanelMenu"));
    if (!value || value->typeId() != QMetaType::QString)
        return std::nullopt;
    const QString form = value->toString().trimmed().toLower();
    if (form == QLatin1String("own"))
        return PanelMenu::Own;
    if (form == QLatin1String("panel"))
        return PanelMenu::Panel;
    return std::nullopt;
}

namespace {

std::optional<QColor> colorSetting(SettingsStore &store, const QString &key, QColor fallback)
{
    const auto value = store.value(key);
    if (!value || value->typeId() != QMetaType::QByteArray)
        return fallback;
    // Data that restores no colour leaves the controller without one.
    return UnarchiveColor(value->toByteArray());
}

} // namespace

std::optional<QColor> Preferences::upColor() const { return colorSetting(m_store, QStringLiteral("UpColor"), QColor(0, 255, 0)); }
std::optional<QColor> Preferences::downColor() const { return colorSetting(m_store, QStringLiteral("DownColor"), QColor(255, 0, 0)); }

QStringList Preferences::stockSymbols() const
{
    m_store.synchronize();
    const auto value = m_store.value(QStringLiteral("StockSymbols"));
    QStringList symbols;
    if (!value || value->typeId() != QMetaType::QVariantList)
        return symbols;
    for (const auto &entry : value->toList()) {
        if (entry.typeId() == QMetaType::QString)
            symbols.append(entry.toString());
    }
    return symbols;
}

bool Preferences::isSymbolHidden(const QString &symbol) const
{
    const auto flags = m_store.value(QStringLiteral("ShowSettings"));
    if (!flags || flags->typeId() != QMetaType::QVariantMap || !onlyShowFlagged())
        return false;
    const QVariantMap map = flags->toMap();
    const auto it = map.constFind(symbol);
    return it == map.constEnd() || !ShowSettingIsOne(*it);
}

QString Preferences::sharesForSymbol(const QString &symbol) const
{
    const auto shares = m_store.value(QStringLiteral("CompanyShares"));
    if (!shares || shares->typeId() != QMetaType::QVariantMap)
        return {};
    return SharesEntryText(shares->toMap().value(symbol));
}

std::vector<WatchedSymbol> Preferences::watchList(bool shownOnly) const
{
    std::vector<WatchedSymbol> list;
    for (const auto &symbol : stockSymbols()) {
        WatchedSymbol watched{symbol, sharesForSymbol(symbol), !isSymbolHidden(symbol)};
        if (shownOnly && !watched.shown)
            continue;
        list.push_back(std::move(watched));
    }
    return list;
}

// A small versioned form: magic, version, then the colour as Qt streams it.
QByteArray ArchiveColor(const QColor &color)
{
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << quint32(0x54574331) /* "TWC1" */ << color;
    return data;
}

std::optional<QColor> UnarchiveColor(const QByteArray &data)
{
    QDataStream in(data);
    in.setVersion(QDataStream::Qt_6_0);
    quint32 magic = 0;
    QColor color;
    in >> magic >> color;
    if (in.status() != QDataStream::Ok || magic != 0x54574331 || !color.isValid())
        return std::nullopt;
    return color;
}

} // namespace tickwell
