#pragma once

#include "live/LiveAnswers.h"
#include "live/LiveServiceSettings.h"
#include "live/ServiceRefusal.h"
#include "platform/SettingsStore.h"
#include "platform/Timer.h"
#include "platform/UrlLoader.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace tickwell {

// What one refresh wants.
struct LiveRefreshRequest {
    QStringList symbols;         // watch-list symbols to quote, as the user wrote them
    QStringList headlineSymbols; // symbols whose headlines the menu shows
    bool indices = false;     // the sections, with the symbols of LiveInstruments()
    bool dollarIndex = false;
    bool metals = false;

    bool operator==(const LiveRefreshRequest &) const = default;
};

// How a part of the refresh went: the caller keeps its last good values for a part that was not
// attempted (its service is backing off) or failed.
enum class PartState { NotAttempted, Fresh, Failed };

// Everything the services said about one symbol this refresh.
struct LiveSymbolAnswers {
    std::optional<ChartAnswer> chart;          // price, range and bars
    std::optional<QuoteAnswer> quote;          // the richer fields, when a session was had
    std::optional<DelayedQuoteAnswer> delayed; // the fallback, when neither of the above priced it

    bool hasPrice() const
    {
        return (chart && chart->regularMarketPrice) || (quote && quote->regularMarketPrice) || delayed;
    }
};

struct LiveRefreshResult {
    // By symbol as asked (the sections' as LiveInstruments() names them); only symbols with an answer.
    QHash<QString, LiveSymbolAnswers> quotes;
    // By symbol as asked; only feeds that were read.
    QHash<QString, std::vector<FeedHeadline>> headlines;
    PartState charts = PartState::NotAttempted;
    PartState quoteDetails = PartState::NotAttempted; // the session's quote answers
    PartState delayedQuotes = PartState::NotAttempted;
    PartState news = PartState::NotAttempted;
    // One line per service refusing (or backing off after a refusal), for the snapshot.
    QStringList problems;
};

// One live refresh, asynchronous on the loader: charts (and headlines) for every symbol, then the
// richer quote answers when a session (cookie and crumb, kept a day) can be had, then the delayed
// quotes for what is still unpriced. A refused service backs off (1, 2, 4 ... minutes, at most
// the refresh interval) and is skipped meanwhile; its problem line stays until it answers again.
// The session is renewed once when the quote answer says 401, never more in one refresh.
class LiveQuoteSource {
public:
    using Completion = std::function<void(LiveRefreshResult)>;

    LiveQuoteSource(UrlLoader &loader, const TimerFactory &clock, SettingsStore &settings);
    ~LiveQuoteSource();
    LiveQuoteSource(const LiveQuoteSource &) = delete;
    LiveQuoteSource &operator=(const LiveQuoteSource &) = delete;

    // Starts a refresh, cancelling one running. `done` runs once, from the event loop or before
    // refresh returns (nothing to ask, or a loader that answers at once); it may start another.
    void refresh(const LiveRefreshRequest &request, Completion done);
    void cancel();
    bool isBusy() const { return m_run != nullptr; }

private:
    struct Session {
        QByteArray cookie;
        QString crumb;
        QDateTime obtained;
    };
    struct Run;
    using Step = std::function<void(HttpResponses)>;

    HttpRequest request(const QString &address, bool withCookie = false) const;
    void send(std::vector<HttpRequest> requests, Step next);
    bool sessionUsable() const;

    void readCharts(HttpResponses responses);
    void askSession();
    void readFrontPage(HttpResponses responses);
    void readCrumb(const QByteArray &cookie, HttpResponses responses);
    void askQuotes();
    void readQuotes(const std::vector<QStringList> &batches, HttpResponses responses);
    void askDelayedQuotes();
    void readDelayedQuotes(const QStringList &symbols, HttpResponses responses);
    void finish();

    UrlLoader &m_loader;
    const TimerFactory &m_clock;
    SettingsStore &m_settings;
    std::unique_ptr<Run> m_run;
    std::unique_ptr<FetchHandle> m_handle;
    std::uint64_t m_step = 0;
    bool m_waiting = false;
    std::optional<Session> m_session;
    ServiceBackoff m_quotesBackoff;
    ServiceBackoff m_delayedBackoff;
    ServiceBackoff m_sessionBackoff; // quietly: without a session the charts still make the lines
};

} // namespace tickwell
