#include "support/FakeUrlLoader.h"
#include "support/MemorySettingsStore.h"
#include "prefs/CompanyLookup.h"
#include "prefs/FinderOrder.h"
#include "prefs/StockSymbolTableModel.h"

#include <gtest/gtest.h>

namespace tickwell {
namespace {

class SymbolTableTest : public ::testing::Test {
protected:
    void load(QVariantMap values)
    {
        settings = MemorySettingsStore(std::move(values));
        model.load(settings);
    }
    QModelIndex cell(int row, int column) const { return model.index(row, column); }
    QVariant show(int row) const { return model.data(cell(row, StockSymbolTableModel::ShowColumn), Qt::CheckStateRole); }
    void rename(int row, const QString &symbol) { model.setData(cell(row, StockSymbolTableModel::SymbolColumn), symbol); }

    MemorySettingsStore settings;
    FakeUrlLoader loader; // serves nothing: every company is empty
    CompanyLookup lookup{settings, loader};
    StockSymbolTableModel model{lookup};
};

// A flag reads as shown exactly as the menu reads it (the text "1" too); values of the wrong type
// are skipped; loading writes nothing.
TEST_F(SymbolTableTest, LoadSortsAndReadsOnlyWellTypedValues)
{
    load({{"StockSymbols", QVariantList{"X10", 42LL, "X9", "x1", "C", "D"}},
          {"CompanyShares", QStringLiteral("not a dictionary")},
          {"ShowSettings", QVariantMap{{"X10", 1LL}, {"X9", 0LL}, {"x1", 1.0}, {"C", QStringLiteral("1")}}}});
    EXPECT_EQ(model.stockSymbols(), (QStringList{"C", "D", "x1", "X9", "X10"}));
    EXPECT_EQ((QVariantList{show(0), show(1), show(2), show(3), show(4)}),
              (QVariantList{Qt::Checked, Qt::Unchecked, Qt::Checked, Qt::Unchecked, Qt::Checked}));
    EXPECT_TRUE(model.companyShares().isEmpty());
    EXPECT_EQ(settings.values().size(), 3);

    load({{"StockSymbols", QVariantList{"B", "A"}}}); // no "ShowSettings": everything shown
    EXPECT_EQ(model.showSettings(), (QVariantMap{{"A", 1LL}, {"B", 1LL}}));
}

// A renamed row keeps the case typed, gets reset shares and a tick, and moves to its sorted place;
// the old symbol's entries stay.
TEST_F(SymbolTableTest, RenameResetsSharesTicksAndSorts)
{
    load({{"StockSymbols", QVariantList{"AAPL", "OLD"}}, {"CompanyShares", QVariantMap{{"ibm", "500"}, {"OLD", "7"}}},
          {"ShowSettings", QVariantMap{{"OLD", 0LL}}}});
    model.addStockSymbol();
    EXPECT_EQ(model.stockSymbols(), (QStringList{"AAPL", "OLD", "????"})); // added rows stay at the end
    const QPersistentModelIndex edited(cell(2, StockSymbolTableModel::SymbolColumn));
    rename(2, "ibm");
    EXPECT_EQ(edited.row(), 1);
    model.addStockSymbol();
    rename(3, "NEW");
    rename(3, "ZZ");
    EXPECT_EQ(model.stockSymbols(), (QStringList{"AAPL", "ibm", "NEW", "ZZ"}));
    EXPECT_EQ(model.companyShares(), (QVariantMap{{"ibm", ""}, {"NEW", ""}, {"OLD", "7"}, {"ZZ", ""}}));
    EXPECT_EQ(model.showSettings().value("ibm"), QVariant(1LL));
    EXPECT_EQ(model.showSettings().value("OLD"), QVariant(0LL));
    EXPECT_TRUE(loader.requests().filter("????").isEmpty()); // the placeholder is never looked up
}

TEST_F(SymbolTableTest, SharesEditRules)
{
    load({{"StockSymbols", QVariantList{"IBM"}}, {"ShowSettings", QVariantMap{{"IBM", 0LL}}}});
    model.addStockSymbol();
    const struct { int row; QString typed, symbol; QVariant storedShares; qlonglong storedShow; } cases[] = {
        {1, "100", "????", QString(), 0},  // a placeholder row gets no shares, stays unticked
        {0, "100", "IBM", "100", 1},       // shares tick the box
        {0, " 1,5 x", "IBM", " 1,5 x", 1}, // kept as typed
        {0, "", "IBM", "", 1},
    };
    for (const auto &c : cases) {
        model.setData(cell(c.row, StockSymbolTableModel::SharesColumn), c.typed);
        EXPECT_EQ(model.companyShares().value(c.symbol), c.storedShares) << c.typed.toStdString();
        EXPECT_EQ(model.showSettings().value(c.symbol), QVariant(c.storedShow)) << c.typed.toStdString();
    }
}

// The check box takes numbers through its own role only; the company column is not editable.
TEST_F(SymbolTableTest, ShowColumnTakesOnlyNumbersFromTheCheckBoxAndDeleteKeepsEntries)
{
    load({{"StockSymbols", QVariantList{"IBM"}}});
    const QModelIndex show = cell(0, StockSymbolTableModel::ShowColumn);
    EXPECT_FALSE(model.setData(show, QStringLiteral("0"), Qt::CheckStateRole) || model.setData(show, 0, Qt::EditRole));
    EXPECT_EQ(model.showSettings().value("IBM"), QVariant(1LL));
    EXPECT_TRUE(model.setData(show, 7, Qt::CheckStateRole)); // not Qt::Checked
    EXPECT_EQ(model.showSettings().value("IBM"), QVariant(0LL));
    EXPECT_FALSE(model.setData(cell(0, StockSymbolTableModel::CompanyColumn), "International Business Machines"));

    // Deleting rows keeps their entries.
    load({{"StockSymbols", QVariantList{"A", "B", "C", "D"}}, {"CompanyShares", QVariantMap{{"B", "3"}}}});
    model.deleteStockSymbols({3, 1, 3, 9, -1});
    EXPECT_EQ(model.stockSymbols(), (QStringList{"A", "C"}));
    EXPECT_TRUE(model.companyShares().value("B") == "3" && model.showSettings().contains("D"));
}

// The alert columns edit like "Shares": text as typed, nothing on a "????" row, reset by a
// rename; entries other tools keep in a symbol's dictionary stay.
TEST_F(SymbolTableTest, AlertColumnsEditRules)
{
    load({{"StockSymbols", QVariantList{"IBM", "OLD"}},
          {"PriceAlerts", QVariantMap{{"OLD", QVariantMap{{"Above", "10"}, {"Note", "mine"}}}, {"NEW", QVariantMap{{"Below", "5"}, {"Note", "x"}}}}}});
    model.addStockSymbol();
    const struct { int row, column; QString typed; bool applied; QVariant stored; } cases[] = { // stored: IBM's alerts after the edit
        {2, StockSymbolTableModel::AboveColumn, "100", false, QVariant()}, // "????": refused
        {0, StockSymbolTableModel::AboveColumn, " 150,5 ", true, QVariantMap{{"Above", " 150,5 "}}},
        {0, StockSymbolTableModel::BelowColumn, "120", true, QVariantMap{{"Above", " 150,5 "}, {"Below", "120"}}},
        {0, StockSymbolTableModel::DayMoveColumn, "5", true, QVariantMap{{"Above", " 150,5 "}, {"Below", "120"}, {"DayChangePercent", "5"}}},
        {0, StockSymbolTableModel::AboveColumn, "", true, QVariantMap{{"Below", "120"}, {"DayChangePercent", "5"}}},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(model.setData(cell(c.row, c.column), c.typed), c.applied) << c.typed.toStdString();
        EXPECT_EQ(model.priceAlerts().value("IBM"), c.stored) << c.typed.toStdString();
        EXPECT_FALSE(model.priceAlerts().contains("????"));
    }
    EXPECT_EQ(model.data(cell(0, StockSymbolTableModel::BelowColumn)), QVariant("120"));

    // Typed text that never fires says so in its tool tip.
    model.setData(cell(0, StockSymbolTableModel::AboveColumn), "150,5");
    EXPECT_FALSE(model.data(cell(0, StockSymbolTableModel::AboveColumn), Qt::ToolTipRole).isNull());
    EXPECT_TRUE(model.data(cell(0, StockSymbolTableModel::BelowColumn), Qt::ToolTipRole).isNull());

    rename(2, "NEW"); // a symbol typed into a row starts without alerts, whatever was stored
    EXPECT_EQ(model.priceAlerts().value("NEW"), QVariant(QVariantMap{{"Note", "x"}}));
    EXPECT_EQ(model.priceAlerts().value("OLD"), QVariant(QVariantMap{{"Above", "10"}, {"Note", "mine"}}));
}

// Only what was edited in the window is written: alerts another tool stored meanwhile stay.
TEST_F(SymbolTableTest, WritingKeepsAlertsChangedOutsideTheWindow)
{
    load({{"StockSymbols", QVariantList{"A", "B"}}, {"PriceAlerts", QVariantMap{{"B", QVariantMap{{"Below", "2"}}}}}});
    model.setData(cell(1, StockSymbolTableModel::BelowColumn), "3");
    settings.setValue("PriceAlerts", QVariantMap{{"C", QVariantMap{{"Above", "9"}}}}); // another tool
    model.writeTo(settings);
    EXPECT_EQ(settings.value("PriceAlerts"), QVariant(QVariantMap{{"B", QVariantMap{{"Below", "3"}}}, {"C", QVariantMap{{"Above", "9"}}}}));

    model.setData(cell(1, StockSymbolTableModel::BelowColumn), "");
    settings.setValue("PriceAlerts", QVariantMap{{"B", QVariantMap{{"Below", "3"}}}});
    model.writeTo(settings);
    EXPECT_FALSE(settings.value("PriceAlerts")); // the last alert gone, the key goes
}

// Numbers by value, case, width and composition ignored (equal texts keep their order),
// placeholders first.
TEST(FinderOrderTest, SortsAndComparesLikeTheFileManager)
{
    const std::pair<QStringList, QStringList> cases[] = {
        {{"ibm", "IBM", "Ibm", "AAPL", "3M"}, {"3M", "AAPL", "ibm", "IBM", "Ibm"}},
        {{"X100000000000000000000", "X99999999999999999999"}, {"X99999999999999999999", "X100000000000000000000"}},
        {{"A1B10", "A1B9", "A10B1"}, {"A1B9", "A1B10", "A10B1"}},
        {{"????", "MSFT", "????"}, {"????", "????", "MSFT"}},
    };
    for (auto [strings, expected] : cases) {
        SortCFMutableArrayOfCFStringsLikeTheFinder(strings);
        EXPECT_EQ(strings, expected);
    }
    const struct { QString a, b; int sign; } comparisons[] = {
        {"brk.b", "BRK.B", 0}, {QString::fromUtf8("\xEF\xBC\xA1\xEF\xBC\xA2"), "ab", 0}, // fullwidth AB
        {QString::fromUtf8("caf\xC3\xA9"), QString::fromUtf8("cafe\xCC\x81"), 0},       // composed and decomposed
        {"cafe", QString::fromUtf8("caf\xC3\xA9"), -1}, {"", "A", -1},
    };
    const auto sign = [](int value) { return (value > 0) - (value < 0); };
    for (const auto &c : comparisons) {
        EXPECT_EQ(sign(CompareLikeTheFinder(c.a, c.b)), c.sign) << c.a.toStdString() << " " << c.b.toStdString();
        EXPECT_EQ(sign(CompareLikeTheFinder(c.b, c.a)), -c.sign) << c.a.toStdString() << " " << c.b.toStdString();
    }
}

QString quoteAddress(const QString &symbol) { return QStringLiteral("http://127.0.0.1:9/q?s=") + symbol; }

TEST_F(SymbolTableTest, CompanyLookupCutsTheNameOutOfTheQuotePageOncePerSymbol)
{
    settings.setValue("QuotePageHost", QStringLiteral("127.0.0.1:9"));
    const std::pair<QByteArray, std::optional<QString>> pages[] = {
        {"<title>Summary for International Business Machines - Yahoo</title>", QStringLiteral("International Business Machines ")},
        {"<h1>SUMMARY FOR Acme Corp- x</h1>", QStringLiteral("Acme Corp")},
        {"Summary for Coca-Cola Co - NYSE", QStringLiteral("Coca")},
        {"Summary for Nobody", std::nullopt},
        // Not UTF-8: read as Mac OS Roman, where 0x8E is e with acute.
        {"Summary for Soci\x8Et\x8E G\x8En\x8Erale - Paris", QString::fromUtf8("Soci\xC3\xA9t\xC3\xA9 G\xC3\xA9n\xC3\xA9rale ")},
    };
    int number = 0;
    for (const auto &[page, company] : pages) {
        const QString symbol = QStringLiteral("S%1").arg(++number);
        loader.serve(quoteAddress(symbol), page);
        EXPECT_EQ(lookup.getCompanyForSymbol(symbol), company) << page.toStdString();
    }
    // Each symbol is fetched once, even when it fails: later asks answer "" from the cache.
    loader.clearRequests();
    loader.serve(quoteAddress("IBM"), "Summary for IBM Corp - x");
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(lookup.getCompanyForSymbol("IBM"), QStringLiteral("IBM Corp "));
        EXPECT_EQ(lookup.getCompanyForSymbol("NOPE"), i == 0 ? std::nullopt : std::optional<QString>(QString()));
    }
    loader.serve(quoteAddress("NOPE"), "Summary for Now There - x");
    EXPECT_EQ(lookup.getCompanyForSymbol("NOPE"), QString());
    // The placeholder and a symbol that makes no valid address request nothing.
    EXPECT_EQ(lookup.getCompanyForSymbol(QStringLiteral("????")), QString());
    EXPECT_EQ(lookup.getCompanyForSymbol("BRK B"), std::nullopt);
    EXPECT_EQ(loader.requests(), (QStringList{quoteAddress("IBM"), quoteAddress("NOPE")}));
}

} // namespace
} // namespace tickwell
