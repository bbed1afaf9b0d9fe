#include "platform/FakeUrlLoader.h"
#include "platform/MemorySettingsStore.h"
#include "prefs/StockSymbolTableModel.h"

#include "QtPrinting.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

namespace tickwell {
namespace {

QVariantList textList(const QStringList &items)
{
    QVariantList values;
    for (const auto &item : items)
        values.append(item);
    return values;
}

class SymbolTableTest : public ::testing::Test {
protected:
    void load(QVariantMap values)
    {
        settings = MemorySettingsStore(std::move(values));
        model.load(settings);
    }
    QModelIndex cell(int row, int column) const { return model.index(row, column); }
    QVariant show(int row) const { return model.data(cell(row, StockSymbolTableModel::ShowColumn), Qt::CheckStateRole); }
    QVariant shares(int row) const { return model.data(cell(row, StockSymbolTableModel::SharesColumn)); }
    void rename(int row, const QString &symbol) { model.setData(cell(row, StockSymbolTableModel::SymbolColumn), symbol); }
    void typeShares(int row, const QString &text) { model.setData(cell(row, StockSymbolTableModel::SharesColumn), text); }

    MemorySettingsStore settings;
    FakeUrlLoader loader; // serves nothing: every company is empty
    CompanyLookup lookup{settings, loader};
    StockSymbolTableModel model{lookup};
};

TEST_F(SymbolTableTest, LoadSortsAndShowsEverySymbolWithoutShowSettings)
{
    load({{"StockSymbols", textList({"X10", "X9", "x1"})}, {"CompanyShares", QVariantMap{{"X9", "25"}}}});
    EXPECT_EQ(model.stockSymbols(), (QStringList{"x1", "X9", "X10"}));
    EXPECT_EQ(model.showSettings(), (QVariantMap{{"x1", 1LL}, {"X9", 1LL}, {"X10", 1LL}}));
    EXPECT_EQ(shares(1), QVariant(QStringLiteral("25")));
    EXPECT_FALSE(shares(0).isValid());
}

TEST_F(SymbolTableTest, LoadKeepsStoredFlagsAndReadsOnlyTheWholeNumberOneAsShown)
{
    load({{"StockSymbols", textList({"A", "B", "C", "D", "E"})},
          {"ShowSettings", QVariantMap{{"A", 1LL}, {"B", 0LL}, {"C", 1.0}, {"D", QStringLiteral("1")}}}});
    EXPECT_EQ(show(0), Qt::Checked);
    EXPECT_EQ(show(1), Qt::Unchecked);
    EXPECT_EQ(show(2), Qt::Checked);
    EXPECT_EQ(show(3), Qt::Unchecked); // text is not a number
    EXPECT_EQ(show(4), Qt::Unchecked); // no entry
    EXPECT_FALSE(model.showSettings().contains("E")); // loading adds nothing when the key exists
}

TEST_F(SymbolTableTest, LoadSkipsValuesOfTheWrongType)
{
    load({{"StockSymbols", QVariantList{QStringLiteral("IBM"), 42LL, QStringLiteral("AAPL")}},
          {"CompanyShares", QStringLiteral("not a dictionary")},
          {"ShowSettings", textList({"IBM"})}});
    EXPECT_EQ(model.stockSymbols(), (QStringList{"AAPL", "IBM"}));
    EXPECT_TRUE(model.companyShares().isEmpty());
    EXPECT_EQ(show(0), Qt::Checked); // a "ShowSettings" that is no dictionary shows everything
}

TEST_F(SymbolTableTest, LoadingWritesNothing)
{
    load({});
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_TRUE(settings.values().isEmpty());
}

TEST_F(SymbolTableTest, RenameKeepsCaseResetsSharesTicksAndSorts)
{
    load({{"StockSymbols", textList({"AAPL", "MSFT"})}, {"CompanyShares", QVariantMap{{"ibm", "500"}, {"MSFT", "10"}}}});
    model.addStockSymbol();
    ASSERT_EQ(model.stockSymbols(), (QStringList{"AAPL", "MSFT", "????"}));
    rename(2, "ibm");
    EXPECT_EQ(model.stockSymbols(), (QStringList{"AAPL", "ibm", "MSFT"}));
    EXPECT_EQ(model.companyShares().value("ibm"), QVariant(QString())); // earlier shares are reset
    EXPECT_EQ(model.showSettings().value("ibm"), QVariant(1LL));
}

TEST_F(SymbolTableTest, RenameLeavesTheOldSymbolsEntries)
{
    load({{"StockSymbols", textList({"OLD"})}, {"CompanyShares", QVariantMap{{"OLD", "7"}}}, {"ShowSettings", QVariantMap{{"OLD", 0LL}}}});
    rename(0, "NEW");
    EXPECT_EQ(model.stockSymbols(), QStringList{"NEW"});
    EXPECT_EQ(model.companyShares(), (QVariantMap{{"OLD", "7"}, {"NEW", ""}}));
    EXPECT_EQ(model.showSettings(), (QVariantMap{{"OLD", 0LL}, {"NEW", 1LL}}));
}

TEST_F(SymbolTableTest, RenameKeepsTheSelectedRowSelectedWhereItMoves)
{
    load({{"StockSymbols", textList({"B", "C", "D"})}});
    const QPersistentModelIndex edited(cell(2, StockSymbolTableModel::SymbolColumn));
    rename(2, "A");
    EXPECT_EQ(edited.row(), 0);
    EXPECT_EQ(edited.data().toString(), "A");
}

TEST_F(SymbolTableTest, SymbolsAreKeptAsTypedDuplicatesIncluded)
{
    load({{"StockSymbols", textList({"IBM"})}});
    model.addStockSymbol();
    rename(1, " ibm ");
    EXPECT_EQ(model.stockSymbols(), (QStringList{" ibm ", "IBM"}));
    model.addStockSymbol();
    rename(2, "IBM");
    EXPECT_EQ(model.stockSymbols().count("IBM"), 2);
}

TEST_F(SymbolTableTest, SharesEditRules)
{
    load({{"StockSymbols", textList({"IBM"})}, {"ShowSettings", QVariantMap{{"IBM", 0LL}}}});
    model.addStockSymbol();
    struct Case {
        int row;
        QString typed;
        QString symbol;
        QVariant storedShares;
        qlonglong storedShow;
    };
    const Case cases[] = {
        {1, "100", "????", QString(), 0},   // a placeholder row gets no shares, stays unticked
        {0, "100", "IBM", "100", 1},        // shares tick the box
        {0, " 1,5 x", "IBM", " 1,5 x", 1},  // kept as typed
        {0, "", "IBM", "", 1},
    };
    for (const auto &c : cases) {
        typeShares(c.row, c.typed);
        EXPECT_EQ(model.companyShares().value(c.symbol), c.storedShares) << c.typed.toStdString();
        EXPECT_EQ(model.showSettings().value(c.symbol), QVariant(c.storedShow)) << c.typed.toStdString();
    }
}

TEST_F(SymbolTableTest, ShowColumnTakesOnlyNumbersFromTheCheckBox)
{
    load({{"StockSymbols", textList({"IBM"})}});
    const QModelIndex box = cell(0, StockSymbolTableModel::ShowColumn);
    struct Case {
        QVariant value;
        int role;
        bool applied;
        qlonglong stored;
    };
    const Case cases[] = {
        {QVariant::fromValue(Qt::Unchecked), Qt::CheckStateRole, true, 0},
        {QVariant::fromValue(Qt::Checked), Qt::CheckStateRole, true, 1},
        {QVariant(int(Qt::Unchecked)), Qt::CheckStateRole, true, 0},
        {QVariant(int(Qt::Checked)), Qt::CheckStateRole, true, 1},
        {QVariant(QStringLiteral("0")), Qt::CheckStateRole, false, 1}, // not a number
        {QVariant(0), Qt::EditRole, false, 1},                          // not the check box
        {QVariant(7), Qt::CheckStateRole, true, 0},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(model.setData(box, c.value, c.role), c.applied) << c.value.toString().toStdString();
        EXPECT_EQ(model.showSettings().value("IBM"), QVariant(c.stored)) << c.value.toString().toStdString();
    }
}

TEST_F(SymbolTableTest, CompanyColumnIsReadOnly)
{
    load({{"StockSymbols", textList({"IBM"})}});
    const QModelIndex company = cell(0, StockSymbolTableModel::CompanyColumn);
    EXPECT_FALSE(model.flags(company).testFlag(Qt::ItemIsEditable));
    EXPECT_FALSE(model.setData(company, "International Business Machines"));
    EXPECT_EQ(model.stockSymbols(), QStringList{"IBM"});
    EXPECT_TRUE(model.flags(cell(0, StockSymbolTableModel::ShowColumn)).testFlag(Qt::ItemIsUserCheckable));
}

TEST_F(SymbolTableTest, AddedRowsStayAtTheEndUntilNamed)
{
    load({{"StockSymbols", textList({"ZZZ"})}});
    model.addStockSymbol();
    model.addStockSymbol();
    EXPECT_EQ(model.stockSymbols(), (QStringList{"ZZZ", "????", "????"}));
    EXPECT_EQ(model.data(cell(1, StockSymbolTableModel::CompanyColumn)), QVariant(QString()));
    EXPECT_FALSE(shares(1).isValid());
    EXPECT_EQ(show(1), Qt::Unchecked);
    EXPECT_TRUE(loader.requests().isEmpty()); // "????" is never looked up
}

TEST_F(SymbolTableTest, DeleteRemovesTheGivenRowsAtOnceAndKeepsTheirEntries)
{
    load({{"StockSymbols", textList({"A", "B", "C", "D"})}, {"CompanyShares", QVariantMap{{"B", "3"}}}});
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    model.deleteStockSymbols({3, 1, 3, 9, -1});
    EXPECT_EQ(model.stockSymbols(), (QStringList{"A", "C"}));
    EXPECT_EQ(removed.count(), 2);
    EXPECT_EQ(model.companyShares().value("B"), "3");
    EXPECT_TRUE(model.showSettings().contains("D"));

    model.deleteStockSymbols({}); // nothing selected
    EXPECT_EQ(model.stockSymbols(), (QStringList{"A", "C"}));
}

TEST_F(SymbolTableTest, ShowAllAndNoneThenWrite)
{
    load({{"StockSymbols", textList({"B", "A"})}, {"ShowSettings", QVariantMap{{"A", 0LL}, {"GONE", 1LL}}}});
    model.showAll();
    model.writeTo(settings);
    EXPECT_EQ(settings.values().value("ShowSettings"), QVariant(QVariantMap{{"A", 1LL}, {"B", 1LL}, {"GONE", 1LL}}));
    model.showNone();
    model.writeTo(settings);
    EXPECT_EQ(settings.values().value("ShowSettings"), QVariant(QVariantMap{{"A", 0LL}, {"B", 0LL}, {"GONE", 1LL}}));
    EXPECT_EQ(settings.values().value("StockSymbols"), QVariant(textList({"A", "B"})));
}

TEST_F(SymbolTableTest, WrittenTableLoadsBackTheSame)
{
    load({{"StockSymbols", textList({"x1", "X10"})}});
    model.addStockSymbol();
    typeShares(2, "5");
    rename(2, "X9");
    typeShares(1, "12.5");
    model.writeTo(settings);

    CompanyLookup otherLookup(settings, loader);
    StockSymbolTableModel reloaded(otherLookup);
    reloaded.load(settings);
    EXPECT_EQ(reloaded.stockSymbols(), (QStringList{"x1", "X9", "X10"}));
    EXPECT_EQ(reloaded.companyShares(), model.companyShares());
    EXPECT_EQ(reloaded.showSettings(), model.showSettings());
    EXPECT_EQ(reloaded.companyShares().value("????"), QVariant(QString()));
}

} // namespace
} // namespace tickwell
