#pragma once

#include "app/ControllerState.h"
#include "app/Hosts.h"
#include "app/Preferences.h"
#include "platform/FakeUrlLoader.h"
#include "platform/HeadlessStatusItem.h"
#include "platform/ManualTimerFactory.h"
#include "platform/MemorySettingsStore.h"
#include "ticker/TitleTicker.h"

#include <gtest/gtest.h>

#include <QTimeZone>

inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace tickwell::testing {

// An order-book document as the service writes it: trades newest first, prices zero-padded.
inline QByteArray OrderBook(const QString &symbol, const QString &company, const QString &price)
{
    return (QStringLiteral("{\"success\":true,\"data\":{\"symbol\":\"%1\",\"company\":\"%2\",\"volume\":1200,"
                           "\"asks\":[[300,\"%3\"]],\"bids\":[[100,\"%3\"]],\"trades\":[[\"09:31:02\",100,\"%3\"],[\"09:30:55\",200,\"0001.0000\"]]}}")
                .arg(symbol, company, price))
        .toUtf8();
}

// One ticker step as the status item showed it afterwards.
struct TickerStep {
    double at; // seconds since the start
    QString title;
    QString image;
};

// The ticker on its own repeating timer, on a clock that stands still until advanced, with a
// watch list, order books and previous closes of the test's choosing.
class TickerFixture : public ::testing::Test {
protected:
    TickerFixture()
    {
        stock_index = 0;
        gPreviousClose.clear();
        hosts.quotePage = QStringLiteral("quotes.test");
        hosts.orderBook = QStringLiteral("book.test");
        state.m_upImage = QImage(8, 8, QImage::Format_ARGB32);
        state.m_downImage = QImage(8, 8, QImage::Format_ARGB32);
        state.m_upColor = QColor(0, 255, 0);
        state.m_downColor = QColor(255, 0, 0);
        statusItem.setImage(QStringLiteral("Tickwell.tif"), QImage());
        statusItem.setTitle(QStringLiteral("before"));
    }
    ~TickerFixture() override { gPreviousClose.clear(); }

    static QDateTime startTime() { return QDateTime(QDate(2026, 12, 7), QTime(9, 0, 0), QTimeZone::systemTimeZone()); }

    void setSymbols(const QStringList &symbols)
    {
        QVariantList list;
        for (const auto &symbol : symbols)
            list.append(symbol);
        settings.setValue(QStringLiteral("StockSymbols"), list);
    }
    void setFlags(const QVariantMap &flags) { settings.setValue(QStringLiteral("ShowSettings"), flags); }
    void serveBook(const QString &symbol, const QString &price, const QString &company = QStringLiteral("Some Company"))
    {
        loader.serve(QStringLiteral("http://book.test/json/bzx/book/") + symbol, OrderBook(symbol, company, price));
    }

    // Schedules the ticker every `rate` seconds and fires it once at once, as setup does.
    void start(double rate = 10)
    {
        m_timer = timers.schedule(rate, true, [this] { step(); });
        m_timer->fire();
    }
    void step()
    {
        ticker.itemTitleUpdateTimerAction(TickerContext{statusItem, prefs, hosts, loader, state, timers}, m_timer.get());
        steps.push_back({static_cast<double>(startTime().msecsTo(timers.now())) / 1000.0, statusItem.title(), statusItem.imageName()});
    }
    // Seconds from now until the ticker's next step.
    double nextStepIn() const { return static_cast<double>(timers.now().msecsTo(m_timer->fireDate())) / 1000.0; }

    // The steps that changed what the status item shows.
    std::vector<TickerStep> visibleSteps() const
    {
        std::vector<TickerStep> visible;
        QString title = QStringLiteral("before");
        for (const auto &s : steps) {
            if (s.title != title)
                visible.push_back(s);
            title = s.title;
        }
        return visible;
    }

    MemorySettingsStore settings;
    Preferences prefs{settings};
    Hosts hosts;
    FakeUrlLoader loader;
    HeadlessStatusItem statusItem;
    ControllerState state;
    ManualTimerFactory timers{startTime()};
    TitleTicker ticker;
    std::vector<TickerStep> steps;

private:
    std::unique_ptr<Timer> m_timer;
};

} // namespace tickwell::testing
