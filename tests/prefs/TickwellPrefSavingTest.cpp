#include "PrefFixture.h"

#include "controller/AppController.h"
#include "platform/headless/HeadlessStatusItem.h"
#include "support/ManualTimerFactory.h"
#include "platform/headless/ManualWakeMonitor.h"
#include "support/ToolHome.h"

#include <QMenu>
#include <QMessageBox>
#include <QTimer>

namespace tickwell::testing {
namespace {

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
    qsizetype quotePageFetches(const QString &symbol) const { return controllerLoader.requests().filter(QStringLiteral("/q?s=") + symbol).size(); }

    FakeUrlLoader controllerLoader;
    HeadlessStatusItem statusItem;
    ManualTimerFactory timers{QDateTime(QDate(2026, 12, 7), QTime(15, 0))};
    ScriptedDesktop controllerDesktop;
    ManualWakeMonitor wake;

private:
    std::unique_ptr<AppController> m_controller;
};

// Closing an application window saves; dialogs, menus and child widgets do not.
TEST_F(TickwellPrefSavingTest, OnlyApplicationWindowsClosingSave)
{
    pref();
    QMessageBox alert;
    QTimer::singleShot(0, &alert, [&alert] { alert.done(QMessageBox::Ok); });
    alert.exec();
    QMenu menu;
    menu.popup(QPoint(0, 0));
    menu.close();
    QWidget parent;
    auto *child = new QWidget(&parent);
    parent.show();
    child->close();
    EXPECT_EQ(notifications.postCount(), 0);
    EXPECT_EQ(settings.values(), ClassicHostSettings()); // nothing written

    QWidget other;
    other.show();
    other.close();
    EXPECT_EQ(notifications.postCount(), 1);
    EXPECT_TRUE(settings.value("StockSymbols"));
}

TEST_F(TickwellPrefSavingTest, ClosingWithAnEditStillOpenStoresItBeforeTheControllerRestarts)
{
    settings.setValue("StockSymbols", QVariantList{"IBM"});
    launchController();
    pref().showWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));

    // A rate, then a symbol typed into a cell, both without Return.
    window().dataUpdateRateField->setFocus();
    window().dataUpdateRateField->selectAll();
    QTest::keyClicks(window().dataUpdateRateField, "5");
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
    EXPECT_EQ(settings.value("StockSymbols"), QVariant(QVariantList{"IBM", "msft"}));
    EXPECT_EQ(quotePageFetches("msft"), 1); // the restart saw the new symbol
    const auto pending = timers.pendingTimers();
    EXPECT_TRUE(std::any_of(pending.begin(), pending.end(), [](const auto &timer) { return timer.repeats && timer.interval == 300.0; }));
}

// Edits stay in memory until Apply, which writes the table and posts once: the controller reruns
// setup, fetches the new symbol, and fires the alert typed in the table. The window shown again
// reflects alerts cleared from the menu, and closing it does not bring them back.
TEST_F(TickwellPrefSavingTest, ApplyWritesTheTableAndTheControllerRunsSetup)
{
    settings.setValue("StockSymbols", QVariantList{"IBM"});
    controllerLoader.serve("http://127.0.0.1:1/q?s=IBM", "Last Trade:</th><td class=\"yfnc_tabledata1\"><big><b><span id=\"yfs_l10_ibm\">151.00</span>");
    pointHostsAt(settings, "127.0.0.1:1");
    AppController &controller = launchController();
    pref().showWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    pref().addStockSymbol();
    pref().symbolTable().setData(pref().symbolTable().index(1, StockSymbolTableModel::SymbolColumn), "NEW");
    QTableView *view = window().stockSymbolTable;
    view->setFocus();
    view->setCurrentIndex(view->model()->index(0, StockSymbolTableModel::AboveColumn));
    QTest::keyClick(view, Qt::Key_F2);
    QTest::keyClicks(QApplication::focusWidget(), "150");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_TRUE(controllerDesktop.systemLogLines().isEmpty());
    EXPECT_EQ(quotePageFetches("NEW"), 0);

    window().applyNowButton->click();
    EXPECT_EQ(notifications.postCount(), 1);
    EXPECT_EQ(settings.value("StockSymbols"), QVariant(QVariantList{"IBM", "NEW"}));
    EXPECT_EQ(settings.value("ShowSettings"), QVariant(QVariantMap{{"IBM", 1LL}, {"NEW", 1LL}}));
    EXPECT_EQ(quotePageFetches("NEW"), 1);
    EXPECT_EQ(settings.value("PriceAlerts"), QVariant(QVariantMap{{"IBM", QVariantMap{{"Above", "150"}}}}));
    EXPECT_EQ(controllerDesktop.systemLogLines(), QStringList{"Alert: IBM above 150.00: IBM [IBM] : 151.00"});

    statusItem.open();
    const Menu &menu = statusItem.menu();
    const auto line = std::find_if(menu.begin(), menu.end(), [](const MenuItem &item) { return item.title.contains("[IBM]"); });
    ASSERT_NE(line, menu.end());
    for (const MenuItem &item : *line->submenu)
        if (item.action == "selItemClearPriceAlerts:")
            controller.perform(item);
    pref().showWindow();
    EXPECT_EQ(view->model()->index(0, StockSymbolTableModel::AboveColumn).data(), QVariant(QString()));
    window().close();
    EXPECT_FALSE(settings.value("PriceAlerts"));
}

} // namespace
} // namespace tickwell::testing
