#pragma once

#include "app/ControllerState.h"
#include "app/Hosts.h"
#include "app/Preferences.h"
#include "platform/StatusItem.h"
#include "platform/Timer.h"
#include "platform/UrlLoader.h"

#include <QColor>

#include <cstdint>
#include <optional>
#include <vector>

namespace tickwell {

// Position in the watch list of the next symbol the ticker picks (modulo its length). Counts up
// for the life of the process, so a changed list continues the cycle at its new length.
extern std::uint32_t stock_index;

// What one ticker step works with. Kept by a step until its fetch has arrived.
struct TickerContext {
    StatusItem &statusItem;
    const Preferences &prefs;
    Hosts hosts;
    UrlLoader &loader;
    const ControllerState &state;
    const TimerFactory &clock;
};

// The ticker's title: "SYMBOL:price" uncoloured, then, when the change is not 0,
// " (|change|,|percent|%)" in the down colour (falling) or the up colour; all at 14 points.
std::vector<StyledRun> TickerTitleRuns(const QString &symbol, const QString &price, double change, double percent,
                                       const std::optional<QColor> &upColor, const std::optional<QColor> &downColor);

// The title ticker: each step shows the opening-bell countdown of the front page or the next
// watch-list symbol's order-book price and change in the status item.
class TitleTicker {
public:
    // Delay before the next symbol when one is passed over (not flagged).
    static constexpr double kPassOverSeconds = 0.025;

    // One step. The timer (nullptr: none) gets its next fire date moved as the step requires.
    // The step's fetches run beside the event loop; a step asked for while the previous one still
    // waits for its page is dropped. The timer must live until the step ends or is cancelled.
    void itemTitleUpdateTimerAction(const TickerContext &context, Timer *timer);

    bool isFetching() const { return m_fetch.isBusy(); }
    // Drops the step waiting for the network, if any; nothing changes on screen.
    void cancel() { m_fetch.cancel(); }

private:
    void showNextSymbol(const TickerContext &context, Timer *timer);
    void reschedule(const TickerContext &context, Timer *timer, double seconds) const;
    // Shows the symbol's order book; leaves the title alone when it cannot.
    void showSymbol(const TickerContext &context, const QString &symbol, const FetchResult &orderBook) const;
    // Shows the symbol at this price against the latest refresh's previous close, when there is one.
    void showPrice(const TickerContext &context, const QString &symbol, const QString &price) const;

    FetchSlot m_fetch;

    // Symbols passed over in a row: after a whole cycle of them, the ticker waits its nominal
    // interval before the next cycle instead of spinning through a list that has nothing to show.
    std::uint32_t m_passedOver = 0;
};

} // namespace tickwell
