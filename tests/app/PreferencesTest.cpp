#include "app/Preferences.h"
#include "support/MemorySettingsStore.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

namespace tickwell {
namespace {

// Values of the wrong type, or of the right type with odd content, as another tool may write them.
TEST(PreferencesTest, WronglyTypedValues)
{
    MemorySettingsStore store;
    const Preferences p(store);
    const QColor chosen(12, 34, 56, 200);
    const struct {
        const char *key;
        QVariant stored;
        std::function<QString()> read;
        QString expected;
    } cases[] = {
        // Switches count only booleans: a zero of another type leaves the default (as 0 does, in the
        // preferences window's test).
        { "OnlyShowFlagged", QStringLiteral("NO"), [&] { return QString::number(p.onlyShowFlagged()); }, "1" },
        { "OnlyShowFlagged", QByteArray("\0", 1), [&] { return QString::number(p.onlyShowFlagged()); }, "1" },
        // Rates are texts read for their leading integer.
        { "StockDataUpdateRate", true, [&] { return QString::number(p.stockDataUpdateRate()); }, "60" },
        { "StockDataUpdateRate", QStringLiteral("\t+7 minutes"), [&] { return QString::number(p.stockDataUpdateRate()); }, "7" },
        { "StockDataUpdateRate", QStringLiteral("-3"), [&] { return QString::number(p.stockDataUpdateRate()); }, "-3" },
        { "StockDataUpdateRate", QStringLiteral("abc"), [&] { return QString::number(p.stockDataUpdateRate()); }, "0" },
        { "StockDataUpdateRate", QStringLiteral("99999999999999"), [&] { return QString::number(p.stockDataUpdateRate()); }, "2147483647" },
        { "HeadlineFileFormat", QStringLiteral("pdf"), [&] { return p.headlineFormat(); }, "pdf" }, // not "PDF"
        { "HeadlineFileFormat", qlonglong(1), [&] { return p.headlineFormat(); }, "Web Archive" },
        // The menu form: "own" or "panel" in any case; anything else leaves it to the platform.
        { "PanelMenu", QStringLiteral(" Own"), [&] { return QString::number(p.panelMenu() == PanelMenu::Own); }, "1" },
        { "PanelMenu", QStringLiteral("panel"), [&] { return QString::number(p.panelMenu() == PanelMenu::Panel); }, "1" },
        { "PanelMenu", QStringLiteral("dbusmenu"), [&] { return QString::number(p.panelMenu().has_value()); }, "0" },
        { "PanelMenu", true, [&] { return QString::number(p.panelMenu().has_value()); }, "0" },
        { "UpColor", ArchiveColor(chosen), [&] { return p.upColor()->name(QColor::HexArgb); }, chosen.name(QColor::HexArgb) },
        { "DownColor", QStringLiteral("red"), [&] { return p.downColor()->name(); }, "#ff0000" },
        { "StockSymbols", QVariantList { QStringLiteral("ACME"), qlonglong(5) }, [&] { return p.stockSymbols().join(u','); }, "ACME" },
    };
    for (const auto &c : cases) {
        store.setValue(QString::fromLatin1(c.key), c.stored);
        EXPECT_EQ(c.read(), c.expected) << c.key << " " << qPrintable(c.stored.toString());
    }
}

// "ShowSettings" and "CompanyShares" as tools, scripts and hand edits write them.
TEST(PreferencesTest, FlagsAndSharesReadAsTheirWritersWroteThem)
{
    // Integer, real, boolean and text ones are in SettingsFromToolsTest.
    const std::pair<QVariant, bool> flags[] = {
        {int(1), true}, {qulonglong(1), true}, {1.75, true}, {QStringLiteral(" +1 share"), true}, {QStringLiteral("01"), true},
        {qlonglong(2), false}, {qlonglong(-1), false}, {0.999, false}, {2.0, false},
        {std::numeric_limits<double>::quiet_NaN(), false}, {false, false}, {QStringLiteral("yes"), false},
        {QStringLiteral("2"), false}, {QStringLiteral(""), false}, {QByteArray("1"), false}, {QVariantList{1}, false},
        {qulonglong(1) + (qulonglong(1) << 32), false}, // not cut to 32 bits
    };
    MemorySettingsStore store;
    const Preferences p(store);
    store.setValue(QStringLiteral("StockSymbols"), QVariantList{QStringLiteral("ACME")});
    for (const auto &[stored, shown] : flags) {
        store.setValue(QStringLiteral("ShowSettings"), QVariantMap{{QStringLiteral("ACME"), stored}});
        EXPECT_EQ(p.watchList(true).size(), shown ? 1u : 0u) << qPrintable(stored.toString());
    }
    store.setValue(QStringLiteral("OnlyShowFlagged"), false); // flags count only when asked for
    EXPECT_EQ(p.watchList(true).size(), 1u);
    store.setValue(QStringLiteral("OnlyShowFlagged"), true);
    store.remove(QStringLiteral("ShowSettings")); // no flags at all: everything shown
    EXPECT_EQ(p.watchList(true).size(), 1u);

    const std::pair<QVariant, QString> shares[] = {
        {1e20, "100000000000000000000"}, {2.5, "2.5"}, {-3.0, "-3"},
        {qlonglong(1234567890123), "1234567890123"}, {std::numeric_limits<qulonglong>::max(), "18446744073709551615"},
        {int(7), "7"}, {QStringLiteral(" 12 apples"), " 12 apples"}, {QString(), ""},
        {std::numeric_limits<double>::infinity(), ""}, {true, ""}, {QByteArray("12"), ""},
    };
    for (const auto &[stored, text] : shares) {
        store.setValue(QStringLiteral("CompanyShares"), QVariantMap{{QStringLiteral("ACME"), stored}});
        EXPECT_EQ(p.sharesForSymbol(QStringLiteral("ACME")), text) << stored.typeName();
        EXPECT_EQ(SharesEntryText(stored), text);
    }
}

} // namespace
} // namespace tickwell
