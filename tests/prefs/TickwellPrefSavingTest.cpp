#include "PrefFixture.h"

#include "app/controller/AppController.h"
#include "platform/HeadlessStatusItem.h"
#include "platform/ManualTimerFactory.h"
#include "platform/ManualWakeMonitor.h"

#include <QMenu>
#include <QStyleOptionViewItem>
#include <QMessageBox>
#include <QTimer>

namespace tickwell::testing {
namespace {

QVariantList textList(const QStringList &items)
{
    QVariantList values;
    for (const auto &item : items)
        values.append(item);
    return values;
}

// The preferences window beside a running controller, both on the same settings and notifications.
class TickwellPrefSavingTest : public PrefFixture {
protected:
    AppController &launchController()
    {
        m_controller = std::make_unique<AppController>(
            Platform{settings, controllerLoader, statusItem, timers, controllerDesktop, notifications, wake});
        m_controller->applicationWillFinishLaunching();
        return *m_controller;
    }
    int quotePageFetches(const QString &symbol) const
    {
        return static_cast<int>(controllerLoader.requests().filter(QStringLiteral("/q?s=") + symbol).size());
    }
    void nameNewRow(const QString &symbol)
    {
        pref().addStockSymbol();
        StockSymbolTableModel &table = pref().symbolTable();
        table.setData(table.index(table.rowCount() - 1, StockSymbolTableModel::SymbolColumn), symbol);
    }

    FakeUrlLoader controllerLoader;
    HeadlessStatusItem statusItem;
    ManualTimerFactory timers{QDateTime(QDate(2026, 12, 7), QTime(15, 0))};
    ScriptedDesktop controllerDesktop;
    ManualWakeMonitor wake;

private:
    std::unique_ptr<AppController> m_controller;
};

TEST_F(TickwellPrefSavingTest, ApplyWritesTheTablePostsAndTheControllerRunsSetup)
{
    settings.setValue("StockSymbols", textList({"OLD"}));
    launchController();
    pref();
    ASSERT_EQ(quotePageFetches("OLD"), 1);
    nameNewRow("NEW");
    EXPECT_EQ(quotePageFetches("NEW"), 0); // edits stay in memory

    window().applyNowButton->click();
    EXPECT_EQ(notifications.postCount(), 1);
    EXPECT_EQ(settings.value("StockSymbols"), QVariant(textList({"NEW", "OLD"})));
    EXPECT_EQ(settings.value("ShowSettings"), QVariant(QVariantMap{{"NEW", 1LL}, {"OLD", 1LL}}));
    EXPECT_EQ(settings.value("CompanyShares"), QVariant(QVariantMap{{"NEW", ""}}));
    // setup ran: the refresh fired at once with the new list.
    EXPECT_EQ(quotePageFetches("NEW"), 1);
    EXPECT_EQ(quotePageFetches("OLD"), 2);
}

TEST_F(TickwellPrefSavingTest, ASwitchAloneDoesNotRestartTheController)
{
    settings.setValue("StockSymbols", textList({"OLD"}));
    launchController();
    window().showMarketIndicesInMenuButton->click();
    typeInto(window().dataUpdateRateField, "5");
    EXPECT_EQ(quotePageFetches("OLD"), 1);
    EXPECT_EQ(notifications.postCount(), 0);
}

TEST_F(TickwellPrefSavingTest, ShowAllThenClosingWritesTwiceAndTheMenuRebuildsEachTime)
{
    settings.setValue("StockSymbols", textList({"A", "B"}));
    settings.setValue("ShowSettings", QVariantMap{{"A", 0LL}, {"B", 0LL}});
    launchController();
    EXPECT_EQ(quotePageFetches("A"), 0); // hidden symbols are not fetched

    pref().showWindow();
    window().showAllButton->click();
    EXPECT_EQ(settings.value("ShowSettings"), QVariant(QVariantMap{{"A", 1LL}, {"B", 1LL}}));
    EXPECT_EQ(notifications.postCount(), 1);
    EXPECT_EQ(quotePageFetches("A"), 1);

    window().close();
    EXPECT_EQ(notifications.postCount(), 2);
    EXPECT_EQ(settings.value("ShowSettings"), QVariant(QVariantMap{{"A", 1LL}, {"B", 1LL}}));
    EXPECT_EQ(quotePageFetches("A"), 2);

    window().showNoneButton->click();
    EXPECT_EQ(settings.value("ShowSettings"), QVariant(QVariantMap{{"A", 0LL}, {"B", 0LL}}));
    EXPECT_EQ(quotePageFetches("A"), 2);
}

TEST_F(TickwellPrefSavingTest, AnyApplicationWindowClosingSaves)
{
    pref();
    QWidget other;
    other.show();
    other.close();
    EXPECT_EQ(notifications.postCount(), 1);
    EXPECT_TRUE(settings.value("StockSymbols"));
}

TEST_F(TickwellPrefSavingTest, DialogsMenusAndChildWidgetsClosingDoNotSave)
{
    pref();
    QMessageBox alert;
    alert.setText("Clear the histories?");
    QTimer::singleShot(0, &alert, [&alert] { alert.done(QMessageBox::Ok); });
    alert.exec();
    QMenu menu;
    menu.addAction("Quit");
    menu.popup(QPoint(0, 0));
    menu.close();
    QWidget parent;
    auto *child = new QWidget(&parent);
    parent.show();
    child->close();
    EXPECT_EQ(notifications.postCount(), 0);
    EXPECT_TRUE(settings.values().isEmpty());
}

TEST_F(TickwellPrefSavingTest, DeleteFollowsTheSelection)
{
    settings.setValue("StockSymbols", textList({"A", "B", "C"}));
    pref().showWindow();
    PreferencesWindow &w = window();
    EXPECT_FALSE(w.deleteStockSymbolButton->isEnabled());
    w.deleteStockSymbolButton->setEnabled(true);
    w.deleteStockSymbolButton->click(); // nothing selected: nothing removed
    EXPECT_EQ(pref().symbolTable().stockSymbols(), (QStringList{"A", "B", "C"}));
    EXPECT_FALSE(w.deleteStockSymbolButton->isEnabled());

    QItemSelectionModel *selection = w.stockSymbolTable->selectionModel();
    selection->select(w.stockSymbolTable->model()->index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    selection->select(w.stockSymbolTable->model()->index(2, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_TRUE(w.deleteStockSymbolButton->isEnabled());
    w.deleteStockSymbolButton->click();
    EXPECT_EQ(pref().symbolTable().stockSymbols(), QStringList{"B"});
    EXPECT_FALSE(w.deleteStockSymbolButton->isEnabled());
    EXPECT_EQ(notifications.postCount(), 0); // not saved until applied or closed
}

TEST_F(TickwellPrefSavingTest, ShowingTheWindowLooksUpEachShownCompanyOnce)
{
    settings.setValue("QuotePageHost", QStringLiteral("127.0.0.1:9"));
    settings.setValue("StockSymbols", textList({"IBM", "XYZ"}));
    loader.serve("http://127.0.0.1:9/q?s=IBM", "Summary for IBM Corp - x");
    pref().showWindow();
    window().grab(); // paints the table as the screen would
    pref().addStockSymbol();
    window().hide();
    pref().showWindow();
    window().grab();
    EXPECT_EQ(loader.requests(), (QStringList{"http://127.0.0.1:9/q?s=IBM", "http://127.0.0.1:9/q?s=XYZ"}));
    EXPECT_EQ(pref().getCompanyForSymbol("IBM"), QStringLiteral("IBM Corp "));
}

TEST_F(TickwellPrefSavingTest, TheViewEditsTheTableThroughItsCells)
{
    settings.setValue("StockSymbols", textList({"IBM", "MSFT"}));
    settings.setValue("ShowSettings", QVariantMap{{"IBM", 1LL}, {"MSFT", 1LL}});
    pref().showWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    QTableView *view = window().stockSymbolTable;
    const QModelIndex msftShow = view->model()->index(1, StockSymbolTableModel::ShowColumn);

    // Clicking the check box.
    QStyleOptionViewItem option;
    option.initFrom(view);
    option.rect = view->visualRect(msftShow);
    option.features = QStyleOptionViewItem::HasCheckIndicator;
    const QRect box = view->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, view);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, box.center());
    EXPECT_EQ(pref().symbolTable().showSettings().value("MSFT"), QVariant(0LL));

    // The space bar on the current cell.
    view->setCurrentIndex(msftShow);
    QTest::keyClick(view, Qt::Key_Space);
    EXPECT_EQ(pref().symbolTable().showSettings().value("MSFT"), QVariant(1LL));

    // Typing a symbol into a new row.
    window().addStockSymbolButton->click();
    view->setCurrentIndex(view->model()->index(2, StockSymbolTableModel::SymbolColumn));
    view->setFocus();
    for (const char key : std::string("aapl"))
        QTest::keyClick(QApplication::focusWidget(), key);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCoreApplication::processEvents(); // the delegate commits on a queued call
    EXPECT_EQ(pref().symbolTable().stockSymbols(), (QStringList{"aapl", "IBM", "MSFT"}));
    EXPECT_EQ(view->currentIndex().row(), 0); // the edited row moved to its sorted place
}

TEST_F(TickwellPrefSavingTest, ClosingWithAnEditStillOpenStoresItBeforeTheControllerRestarts)
{
    settings.setValue("StockSymbols", textList({"IBM"}));
    launchController();
    pref().showWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));

    // A rate typed without Return.
    QLineEdit *rate = window().dataUpdateRateField;
    rate->setFocus();
    rate->selectAll();
    QTest::keyClicks(rate, "5");
    // A symbol typed into a cell without Return.
    QTableView *view = window().stockSymbolTable;
    window().addStockSymbolButton->click();
    view->setFocus();
    view->setCurrentIndex(view->model()->index(1, StockSymbolTableModel::SymbolColumn));
    for (const char key : std::string("msft"))
        QTest::keyClick(QApplication::focusWidget(), key);
    ASSERT_NE(qobject_cast<QLineEdit *>(QApplication::focusWidget()), nullptr);
    // The rate went in when the focus moved to the table.
    EXPECT_EQ(settings.value("StockDataUpdateRate"), QVariant(QStringLiteral("5")));

    window().close();
    EXPECT_EQ(settings.value("StockSymbols"), QVariant(textList({"IBM", "msft"})));
    EXPECT_EQ(quotePageFetches("msft"), 1); // the restart saw the new symbol
    bool refreshEveryFiveMinutes = false;
    for (const auto &timer : timers.pendingTimers())
        refreshEveryFiveMinutes = refreshEveryFiveMinutes || (timer.repeats && timer.interval == 300.0);
    EXPECT_TRUE(refreshEveryFiveMinutes);
}

} // namespace
} // namespace tickwell::testing
