#include "live/LiveQuoteSource.h"

#include "live/LiveAddresses.h"
#include "live/LiveInstruments.h"

#include <QMap>

namespace tickwell {

namespace {

constexpr qint64 kSessionLifetimeSeconds = 24 * 3600;

bool isSuccess(const HttpResponse &response)
{
    return response.answered() && response.status >= 200 && response.status < 300;
}

// The Cookie header for the Set-Cookie values of a response: each cookie's name=value, a later
// one of the same name replacing an earlier one. Empty when none is usable.
QByteArray cookieHeader(const QList<QByteArray> &setCookies)
{
    QMap<QByteArray, QByteArray> cookies;
    QList<QByteArray> order;
    for (const QByteArray &setCookie : setCookies) {
        const QByteArray pair = setCookie.split(';').front().trimmed(); // attributes follow the first ";"
        const qsizetype equals = pair.indexOf('=');
        if (equals <= 0)
            continue;
        const QByteArray name = pair.left(equals).trimmed();
        if (!cookies.contains(name))
            order.append(name);
        cookies.insert(name, pair.mid(equals + 1).trimmed());
    }
    QByteArray header;
    for (const QByteArray &name : order) {
        const QByteArray &value = cookies[name];
        if (value.isEmpty())
            continue; // a deletion
        if (!header.isEmpty())
            header += "; ";
        header += name + '=' + value;
    }
    return header;
}

void appendUnique(QStringList &list, const QString &symbol)
{
    const QString trimmed = symbol.trimmed();
    if (!trimmed.isEmpty() && !list.contains(trimmed))
        list.append(trimmed);
}

PartState stateOf(bool attempted, bool failed)
{
    if (!attempted)
        return PartState::NotAttempted;
    return failed ? PartState::Failed : PartState::Fresh;
}

} // namespace

struct LiveQuoteSource::Run {
    LiveServiceSettings settings;
    QDateTime started;
    QStringList symbols; // the watch list's, then the sections', each once
    QStringList headlineSymbols;
    Completion done;
    LiveRefreshResult result;
    bool quotesTried = false;
    std::optional<QString> quotesRefusal;
    bool delayedTried = false;
    std::optional<QString> delayedRefusal;
    bool renewed = false;
    std::vector<QStringList> quoteBatches; // still to ask
};

LiveQuoteSource::LiveQuoteSource(UrlLoader &loader, const TimerFactory &clock, SettingsStore &settings)
    : m_loader(loader)
    , m_clock(clock)
    , m_settings(settings)
{
}

LiveQuoteSource::~LiveQuoteSource() = default;

void LiveQuoteSource::cancel()
{
    ++m_step;
    m_waiting = false;
    m_handle.reset();
    m_run.reset();
}

HttpRequest LiveQuoteSource::request(const QString &address, bool withCookie) const
{
    HttpRequest request = m_run->settings.request(address);
    if (withCookie && m_session)
        request.headers.append({"Cookie", m_session->cookie});
    return request;
}

// One step at a time; the completion of a cancelled or replaced step is ignored.
void LiveQuoteSource::send(std::vector<HttpRequest> requests, Step next)
{
    const std::uint64_t step = ++m_step;
    m_waiting = true;
    auto handle = m_loader.send(requests, [this, step, next = std::move(next)](HttpResponses responses) {
        if (step != m_step)
            return;
        m_waiting = false;
        next(std::move(responses));
    });
    // A loader that answered at once has finished this step (and maybe started the next).
    if (step == m_step && m_waiting)
        m_handle = std::move(handle);
}

bool LiveQuoteSource::sessionUsable() const
{
    return m_session && m_session->obtained.secsTo(m_run->started) < kSessionLifetimeSeconds;
}

void LiveQuoteSource::refresh(const LiveRefreshRequest &wanted, Completion done)
{
    cancel();
    m_run = std::make_unique<Run>();
    Run &run = *m_run;
    run.settings = LiveServiceSettings::read(m_settings);
    run.started = m_clock.now();
    run.done = std::move(done);
    for (const QString &symbol : wanted.symbols)
        appendUnique(run.symbols, symbol);
    for (const LiveInstrument &instrument : LiveInstruments()) {
        const bool asked = (instrument.section == LiveMarketSection::Indices && wanted.indices)
            || (instrument.section == LiveMarketSection::DollarIndex && wanted.dollarIndex)
            || (instrument.section == LiveMarketSection::Metals && wanted.metals);
        if (asked)
            appendUnique(run.symbols, instrument.symbol);
    }
    for (const QString &symbol : wanted.headlineSymbols)
        appendUnique(run.headlineSymbols, symbol);

    run.quotesTried = !run.symbols.isEmpty() && m_quotesBackoff.mayTry(run.started);
    std::vector<HttpRequest> requests;
    if (run.quotesTried) {
        for (const QString &symbol : run.symbols)
            requests.push_back(request(live_address::chart(run.settings, symbol)));
    }
    for (const QString &symbol : run.headlineSymbols)
        requests.push_back(request(live_address::headlines(run.settings, symbol)));
    send(std::move(requests), [this](HttpResponses responses) { readCharts(std::move(responses)); });
}

void LiveQuoteSource::readCharts(HttpResponses responses)
{
    Run &run = *m_run;
    std::size_t next = 0;
    if (run.quotesTried) {
        for (const QString &symbol : run.symbols) {
            const HttpResponse &response = responses.at(next++);
            if (const auto refusal = RefusalReason(response, ForbiddenMeans::Refusal)) {
                if (!run.quotesRefusal)
                    run.quotesRefusal = refusal;
                continue;
            }
            // Anything else that is not a chart (404 for an unknown symbol) leaves it unquoted.
            if (isSuccess(response)) {
                if (auto chart = ParseChartAnswer(response.body))
                    run.result.quotes[symbol].chart = std::move(chart);
            }
        }
    }
    run.result.charts = stateOf(run.quotesTried, run.quotesRefusal.has_value());

    bool newsFailed = false;
    for (const QString &symbol : run.headlineSymbols) {
        const HttpResponse &response = responses.at(next++);
        auto items = isSuccess(response) ? ParseHeadlineFeed(response.body) : std::nullopt;
        if (items)
            run.result.headlines.insert(symbol, std::move(*items));
        else
            newsFailed = true; // no headlines, and no complaint
    }
    run.result.news = stateOf(!run.headlineSymbols.isEmpty(), newsFailed);

    // A host that refuses charts is not asked for anything more this time.
    if (run.quotesTried && !run.quotesRefusal) {
        for (qsizetype first = 0; first < run.symbols.size(); first += live_address::kMaxQuoteSymbols)
            run.quoteBatches.push_back(run.symbols.mid(first, live_address::kMaxQuoteSymbols));
    }
    if (run.quoteBatches.empty() || !m_sessionBackoff.mayTry(run.started)) {
        run.quoteBatches.clear();
        return askDelayedQuotes();
    }
    if (sessionUsable())
        return askQuotes();
    askSession();
}

void LiveQuoteSource::askSession()
{
    Run &run = *m_run;
    m_session.reset();
    send({request(run.settings.frontPageUrl())}, [this](HttpResponses responses) { readFrontPage(std::move(responses)); });
}

void LiveQuoteSource::readFrontPage(HttpResponses responses)
{
    Run &run = *m_run;
    // The front page may answer with anything (a consent form, an error page): its cookie counts.
    const QByteArray cookie = cookieHeader(responses.front().setCookies);
    if (cookie.isEmpty()) {
        const auto refusal = RefusalReason(responses.front(), ForbiddenMeans::Refusal);
        m_sessionBackoff.refused(run.started, refusal.value_or(QStringLiteral("no cookie")), run.settings.updateInterval);
        run.result.quoteDetails = PartState::Failed;
        return askDelayedQuotes();
    }
    HttpRequest crumbRequest = request(live_address::crumb(run.settings));
    crumbRequest.headers.append({"Cookie", cookie});
    send({crumbRequest}, [this, cookie](HttpResponses answer) { readCrumb(cookie, std::move(answer)); });
}

void LiveQuoteSource::readCrumb(const QByteArray &cookie, HttpResponses responses)
{
    Run &run = *m_run;
    const HttpResponse &response = responses.front();
    // A rate-limited service answers "Too Many Requests" with status 200: not a crumb.
    const auto crumb = isSuccess(response) ? ParseCrumb(response.body) : std::nullopt;
    if (!crumb) {
        const auto refusal = RefusalReason(response, ForbiddenMeans::Refusal);
        m_sessionBackoff.refused(run.started, refusal.value_or(QStringLiteral("no crumb")), run.settings.updateInterval);
        run.result.quoteDetails = PartState::Failed;
        return askDelayedQuotes();
    }
    m_session = Session{cookie, *crumb, run.started};
    askQuotes();
}

void LiveQuoteSource::askQuotes()
{
    Run &run = *m_run;
    std::vector<HttpRequest> requests;
    for (const QStringList &batch : run.quoteBatches)
        requests.push_back(request(live_address::quote(run.settings, batch, m_session->crumb), true));
    send(std::move(requests), [this, batches = run.quoteBatches](HttpResponses responses) { readQuotes(batches, std::move(responses)); });
}

void LiveQuoteSource::readQuotes(const std::vector<QStringList> &batches, HttpResponses responses)
{
    Run &run = *m_run;
    run.quoteBatches.clear();
    bool failed = false;
    std::optional<QString> refusal;
    for (std::size_t i = 0; i < batches.size(); ++i) {
        const HttpResponse &response = responses.at(i);
        if (response.answered() && response.status == 401) {
            run.quoteBatches.push_back(batches[i]);
            continue;
        }
        const auto answers = isSuccess(response) ? ParseQuoteAnswer(response.body) : std::nullopt;
        if (!answers) {
            if (!refusal)
                refusal = RefusalReason(response, ForbiddenMeans::Refusal);
            failed = true;
            continue;
        }
        // The service names symbols its own way ("aapl" comes back "AAPL").
        for (const QuoteAnswer &answer : *answers) {
            for (const QString &symbol : batches[i]) {
                if (symbol.compare(answer.symbol, Qt::CaseInsensitive) == 0)
                    run.result.quotes[symbol].quote = answer;
            }
        }
    }
    if (!run.quoteBatches.empty()) {
        // "Invalid Crumb": a new session once; a second 401 ends the session for this refresh.
        if (!run.renewed) {
            run.renewed = true;
            return askSession();
        }
        m_session.reset();
        refusal = StatusText(401);
        run.quoteBatches.clear();
        failed = true;
    }
    // The quote answers are extras: a refusal here backs off quietly, the charts still count.
    if (refusal)
        m_sessionBackoff.refused(run.started, *refusal, run.settings.updateInterval);
    else if (!failed)
        m_sessionBackoff.answered();
    run.result.quoteDetails = failed ? PartState::Failed : PartState::Fresh;
    askDelayedQuotes();
}

void LiveQuoteSource::askDelayedQuotes()
{
    Run &run = *m_run;
    QStringList symbols;
    std::vector<HttpRequest> requests;
    if (m_delayedBackoff.mayTry(run.started)) {
        for (const QString &symbol : run.symbols) {
            const auto answers = run.result.quotes.constFind(symbol);
            if (answers != run.result.quotes.constEnd() && answers->hasPrice())
                continue;
            if (const auto delayedSymbol = DelayedQuoteSymbol(symbol)) {
                symbols.append(symbol);
                requests.push_back(request(live_address::delayedQuote(run.settings, *delayedSymbol)));
            }
        }
    }
    if (requests.empty())
        return finish();
    run.delayedTried = true;
    send(std::move(requests), [this, symbols](HttpResponses responses) { readDelayedQuotes(symbols, std::move(responses)); });
}

void LiveQuoteSource::readDelayedQuotes(const QStringList &symbols, HttpResponses responses)
{
    Run &run = *m_run;
    for (qsizetype i = 0; i < symbols.size(); ++i) {
        const HttpResponse &response = responses.at(static_cast<std::size_t>(i));
        if (const auto refusal = RefusalReason(response, ForbiddenMeans::UnknownSymbol)) {
            if (!run.delayedRefusal)
                run.delayedRefusal = refusal;
            continue;
        }
        // A 403 (unknown symbol) or an all-zero answer (a dropped one) is no quote.
        if (isSuccess(response)) {
            if (auto delayed = ParseDelayedQuoteAnswer(response.body))
                run.result.quotes[symbols[i]].delayed = std::move(delayed);
        }
    }
    finish();
}

void LiveQuoteSource::finish()
{
    std::unique_ptr<Run> run = std::move(m_run);
    const auto settle = [&run](ServiceBackoff &backoff, bool tried, const std::optional<QString> &refusal) {
        if (!tried)
            return;
        if (refusal)
            backoff.refused(run->started, *refusal, run->settings.updateInterval);
        else
            backoff.answered();
    };
    settle(m_quotesBackoff, run->quotesTried, run->quotesRefusal);
    settle(m_delayedBackoff, run->delayedTried, run->delayedRefusal);
    run->result.delayedQuotes = stateOf(run->delayedTried, run->delayedRefusal.has_value());
    if (const auto line = m_quotesBackoff.problemLine(QStringLiteral("Quotes"), ServiceHost(run->settings.quotesUrl)))
        run->result.problems.append(*line);
    if (const auto line = m_delayedBackoff.problemLine(QStringLiteral("Delayed quotes"), ServiceHost(run->settings.fallbackUrl)))
        run->result.problems.append(*line);
    m_handle.reset();
    Completion done = std::move(run->done);
    done(std::move(run->result));
}

} // namespace tickwell
