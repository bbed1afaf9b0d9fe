#include "ticker/TitleTicker.h"

#include "app/ValueFormatting.h"
#include "text/NumberReading.h"
#include "text/PageDecoding.h"
#include "text/PageFetching.h"
#include "text/StringExtensions.h"
#include "ticker/OrderBookQuote.h"

#include <QImage>

#include <algorithm>
#include <cmath>

namespace tickwell {

std::uint32_t stock_index = 0;

namespace {

QImage resourceImage(const QString &name)
{
    return QImage(QStringLiteral(":/images/") + name);
}

void showResourceImage(StatusItem &item, const QString &name)
{
    item.setImage(name, resourceImage(name));
}

// The countdown the front page gives before the markets open, or nothing.
std::optional<QString> openingBellText(const FetchResult &frontPage)
{
    const auto page = DecodeFetchedPage(frontPage);
    if (!page)
        return std::nullopt;
    return extractBetweenPattern(*page, u"U.S. Markets open in ", u"<");
}

} // namespace

std::vector<StyledRun> TickerTitleRuns(const QString &symbol, const QString &price, double change, double percent,
                                       const std::optional<QColor> &upColor, const std::optional<QColor> &downColor)
{
    std::vector<StyledRun> runs{StyledRun{symbol + QLatin1Char(':') + price, 14.0, std::nullopt}};
    if (change != 0.0) {
        // The direction shows through colour and image only: no signs.
        const QString suffix = QStringLiteral(" (") + FormatDoubleValue(std::fabs(change)) + QLatin1Char(',')
                               + FormatDoubleValue(std::fabs(percent)) + QStringLiteral("%)");
        runs.push_back(StyledRun{suffix, 14.0, change < 0 ? downColor : upColor});
    }
    return runs;
}

void TitleTicker::itemTitleUpdateTimerAction(const TickerContext &context, Timer *timer)
{
    if (m_fetch.isBusy())
        return;
    // The announcement lives on the classic front page only; the live services have none.
    if (!context.prefs.showOpeningBellTitle() || !context.hosts.classic.quotePage) {
        showNextSymbol(context, timer);
        return;
    }
    m_fetch.start(context.loader, Hosts::address(context.hosts.quotePage, QStringLiteral("/")),
                  [this, context, timer](const FetchResult &frontPage) {
                      if (const auto countdown = openingBellText(frontPage)) {
                          // The index holds and the timer keeps its nominal schedule.
                          showResourceImage(context.statusItem, QStringLiteral("OpeningBell.tif"));
                          context.statusItem.setTitle(*countdown);
                          m_passedOver = 0;
                          return;
                      }
                      showNextSymbol(context, timer);
                  });
}

void TitleTicker::showNextSymbol(const TickerContext &context, Timer *timer)
{
    SettingsStore &store = context.prefs.store();
    store.synchronize();
    const bool hasWatchList = store.value(QStringLiteral("StockSymbols")).has_value();
    const QStringList symbols = context.prefs.stockSymbols();
    if (hasWatchList && symbols.isEmpty())
        return; // an empty list: nothing changes, not even the schedule

    std::optional<QString> symbol;
    if (!symbols.isEmpty()) {
        symbol = symbols.at(static_cast<qsizetype>(stock_index % static_cast<std::uint32_t>(symbols.size())));
        ++stock_index;
    }

    if (!symbol || context.prefs.isSymbolHidden(*symbol)) {
        // Passed over almost at once, unless a whole cycle has found nothing to show: then the
        // next cycle starts one interval later.
        ++m_passedOver;
        const bool wholeCycle = m_passedOver >= static_cast<std::uint32_t>(std::max<qsizetype>(symbols.size(), 1));
        if (wholeCycle)
            m_passedOver = 0;
        reschedule(context, timer, wholeCycle && timer ? timer->interval() : kPassOverSeconds);
        return;
    }
    m_passedOver = 0;

    if (!context.hosts.classic.orderBook) {
        // No order-book service today: the last trade of the latest refresh stands in.
        if (const SymbolQuote *quote = context.state.m_quotes.symbol(*symbol); quote && quote->lastTrade)
            showPrice(context, *symbol, *quote->lastTrade);
        reschedule(context, timer, timer ? timer->interval() : 0.0);
        return;
    }
    m_fetch.start(context.loader, Hosts::address(context.hosts.orderBook, QStringLiteral("/json/bzx/book/") + *symbol),
                  [this, context, timer, symbol = *symbol](const FetchResult &orderBook) {
                      showSymbol(context, symbol, orderBook);
                      // Counted from now, so a slow fetch does not shorten the time the title stays up.
                      if (timer)
                          reschedule(context, timer, timer->interval());
                  });
}

void TitleTicker::showSymbol(const TickerContext &context, const QString &symbol, const FetchResult &orderBook) const
{
    StatusItem &item = context.statusItem;
    if (!orderBook)
        return;
    const QString document = DecodePageBytes(*orderBook);

    const auto company = OrderBookCompany(document);
    if (!company)
        return;
    if (IsUnknownSymbolCompany(*company)) {
        showResourceImage(item, QStringLiteral("Tickwell.tif"));
        item.setTitle(QStringLiteral(" "));
        return;
    }

    if (const auto price = OrderBookPrice(document))
        showPrice(context, symbol, *price);
}

void TitleTicker::showPrice(const TickerContext &context, const QString &symbol, const QString &price) const
{
    StatusItem &item = context.statusItem;
    const SymbolQuote *quote = context.state.m_quotes.symbol(symbol);
    if (!quote || !quote->previousClose)
        return;
    const double previousClose = ReadDecimalNumber(*quote->previousClose);
    if (!(previousClose > 0.0))
        return;
    const double change = ReadDecimalNumber(price) - previousClose;
    const double percent = change / previousClose * 100.0;

    const ControllerState &state = context.state;
    if (change > 0)
        item.setImage(QStringLiteral("menuitem_up_g.tif"), state.m_upImage);
    else if (change < 0)
        item.setImage(QStringLiteral("menuitem_down_r.tif"), state.m_downImage);
    else
        showResourceImage(item, QStringLiteral("Tickwell.tif"));
    item.setStyledTitle(TickerTitleRuns(symbol, price, change, percent, state.m_upColor, state.m_downColor));
}

void TitleTicker::reschedule(const TickerContext &context, Timer *timer, double seconds) const
{
    if (timer)
        timer->setFireDate(context.clock.now().addMSecs(static_cast<qint64>(std::llround(seconds * 1000.0))));
}

} // namespace tickwell
