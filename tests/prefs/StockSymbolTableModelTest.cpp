#include "support/FakeUrlLoader.h"
#include "support/MemorySettingsStore.h"
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
    EXPECT_EQ(settings.values().size(), 1);
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
    EXPECT_TRUE(loader.requests().filter("????").isEmpty()) << "the placeholder is never looked up";
}

TEST_F(SymbolTableTest, SharesEditRules)
{
    load({{"StockSymbols", QVariantList{"IBM"}}, {"ShowSettings", QVariantMap{{"IBM", 0LL}}}});
    model.addStockSymbol();
    const struct {
        int row;
        QString typed;
        QString symbol;
        QVariant storedShares;
        qlonglong storedShow;
    } cases[] = {
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

TEST_F(SymbolTableTest, ShowColumnTakesOnlyNumbersFromTheCheckBox)
{
    load({{"StockSymbols", QVariantList{"IBM"}}});
    const struct {
        QVariant value;
        int role;
        bool applied;
        qlonglong stored;
    } cases[] = {
        {QVariant::fromValue(Qt::Unchecked), Qt::CheckStateRole, true, 0},
        {QVariant(int(Qt::Checked)), Qt::CheckStateRole, true, 1},
        {QVariant(QStringLiteral("0")), Qt::CheckStateRole, false, 1}, // not a number
        {QVariant(0), Qt::EditRole, false, 1},                          // not the check box
        {QVariant(7), Qt::CheckStateRole, true, 0},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(model.setData(cell(0, StockSymbolTableModel::ShowColumn), c.value, c.role), c.applied) << c.value.toString().toStdString();
        EXPECT_EQ(model.showSettings().value("IBM"), QVariant(c.stored)) << c.value.toString().toStdString();
    }
    EXPECT_FALSE(model.setData(cell(0, StockSymbolTableModel::CompanyColumn), "International Business Machines"));
}

TEST_F(SymbolTableTest, DeleteRemovesTheGivenRowsAndKeepsTheirEntries)
{
    load({{"StockSymbols", QVariantList{"A", "B", "C", "D"}}, {"CompanyShares", QVariantMap{{"B", "3"}}}});
    model.deleteStockSymbols({3, 1, 3, 9, -1});
    EXPECT_EQ(model.stockSymbols(), (QStringList{"A", "C"}));
    EXPECT_EQ(model.companyShares().value("B"), "3");
    EXPECT_TRUE(model.showSettings().contains("D"));
}

} // namespace
} // namespace tickwell
