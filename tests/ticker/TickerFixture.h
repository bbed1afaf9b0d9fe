#pragma once

#include "app/ControllerState.h"
#include "app/Hosts.h"
#include "app/Preferences.h"
#include "support/FakeUrlLoader.h"
#include "platform/headless/HeadlessStatusItem.h"
#include "support/ManualTimerFactory.h"
#include "support/MemorySettingsStore.h"
#include "ticker/TitleTicker.h"

#include <gtest/gtest.h>

#include <QTimeZone>

namespace tickwell::testing {

// An order-book document as the service writes it: trades newest first, prices zero-padded.
inline QByteArray OrderBook(const QString &symbol, const QString &company, const QString &price)
{
    return QStringLiteral(R"({"success":true,"data":{"symbol":"%1","company":"%2","trades":[["09:31:02",100,"%3"],["09:30:55",200,"0001.0000"]]}})")
        .arg(symbol, company, price).toUtf8();
}

// The ticker on its own repeating timer, on a clock that stands still until advanced.
class TickerFixture : public ::testing::Test {
protected:
    struct Step { double at; QString title, image; }; // at: seconds since the start

    TickerFixture()
    {
        stock_index = 0;
        hosts.quotePage = QStringLiteral("quotes.test");
        hosts.orderBook = QStringLiteral("book.test");
        statusItem.setImage(QStringLiteral("Tickwell.tif"), QImage());
        statusItem.setTitle(QStringLiteral("before"));
    }
    static QDateTime startTime() { return QDateTime(QDate(2026, 12, 7), QTime(9, 0, 0), QTimeZone::systemTimeZone()); }

    void setSymbols(const QStringList &symbols) { settings.setValue(QStringLiteral("StockSymbols"), QVariant(symbols).toList()); }
    void setFlags(const QVariantMap &flags) { settings.setValue(QStringLiteral("ShowSettings"), flags); }
    // AAA, BBB and CCC, all rising from 10.00 to 11.
    void threeSymbols()
    {
        const QStringList symbols = {QStringLiteral("AAA"), QStringLiteral("BBB"), QStringLiteral("CCC")};
        setSymbols(symbols);
        for (const QString &symbol : symbols) {
            loader.serve(QStringLiteral("http://book.test/json/bzx/book/") + symbol, OrderBook(symbol, QStringLiteral("Some Company"), QStringLiteral("0011.0000")));
            state.m_quotes.symbols[symbol].previousClose = QStringLiteral("10.00");
        }
    }

    // Schedules the ticker every `rate` seconds and fires it once at once, as setup does.
    void start()
    {
        m_timer = timers.schedule(10, true, [this] { step(); });
        m_timer->fire();
    }
    void step()
    {
        ticker.itemTitleUpdateTimerAction(TickerContext{statusItem, prefs, hosts, loader, state, timers}, m_timer.get());
        steps.push_back({static_cast<double>(startTime().msecsTo(timers.now())) / 1000.0, statusItem.title(), statusItem.imageName()});
    }
    // The symbols the steps showed, "before" where a step showed nothing new.
    QString shownSymbols() const
    {
        QStringList out;
        for (const auto &s : steps)
            out.append(s.title.section(QLatin1Char(':'), 0, 0));
        return out.join(QLatin1Char(' '));
    }

    MemorySettingsStore settings;
    Preferences prefs{settings};
    Hosts hosts;
    FakeUrlLoader loader;
    HeadlessStatusItem statusItem;
    ControllerState state;
    ManualTimerFactory timers{startTime()};
    TitleTicker ticker;
    std::vector<Step> steps;

private:
    std::unique_ptr<Timer> m_timer;
};

} // namespace tickwell::testing
