#include "platform/UrlLoader.h"

#include <QEventLoop>
#include <QUrl>

namespace tickwell {

namespace {

// Symbols are inserted into addresses unencoded, so anything a browser would quietly
// percent-encode (spaces, non-ASCII letters) must reject the whole address instead.
bool holdsOnlyPrintableAscii(const QString &address)
{
    for (const QChar c : address) {
        if (c.unicode() <= 0x20 || c.unicode() >= 0x7F)
            return false;
    }
    return true;
}

} // namespace

bool isAcceptableAddress(const QString &address)
{
    if (address.isEmpty() || !holdsOnlyPrintableAscii(address))
        return false;
    const QUrl url(address, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty())
        return false;
    const QString scheme = url.scheme();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

std::optional<QByteArray> HttpResponse::header(QByteArrayView name) const
{
    for (const auto &[key, value] : headers) {
        if (name.compare(key, Qt::CaseInsensitive) == 0)
            return value;
    }
    return std::nullopt;
}

FetchResult BodyOf(const HttpResponse &response)
{
    if (!response.error.isEmpty() || response.body.isEmpty())
        return std::nullopt;
    return response.body;
}

std::unique_ptr<FetchHandle> UrlLoader::start(const std::vector<QString> &addresses, Completion done)
{
    std::vector<HttpRequest> requests;
    requests.reserve(addresses.size());
    for (const QString &address : addresses)
        requests.push_back(HttpRequest{address, {}});
    return send(requests, [done = std::move(done)](HttpResponses responses) {
        FetchResults results;
        results.reserve(responses.size());
        for (const HttpResponse &response : responses)
            results.push_back(BodyOf(response));
        done(std::move(results));
    });
}

HttpResponses SendAndWait(UrlLoader &loader, const std::vector<HttpRequest> &requests)
{
    std::optional<HttpResponses> responses;
    QEventLoop loop;
    const auto handle = loader.send(requests, [&](HttpResponses arrived) {
        responses = std::move(arrived);
        loop.quit();
    });
    if (!responses)
        loop.exec();
    return responses ? *std::move(responses) : HttpResponses(requests.size());
}

bool isAcceptableHeader(const QByteArray &name, const QByteArray &value)
{
    static constexpr QByteArrayView tokenPunctuation = "!#$%&'*+-.^_`|~";
    if (name.isEmpty())
        return false;
    for (const char c : name) {
        const bool alphanumeric = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!alphanumeric && !tokenPunctuation.contains(c))
            return false;
    }
    return !value.contains('\r') && !value.contains('\n') && !value.contains('\0');
}

bool isAcceptableRequest(const HttpRequest &request)
{
    if (!isAcceptableAddress(request.address))
        return false;
    for (const auto &[name, value] : request.headers) {
        if (!isAcceptableHeader(name, value))
            return false;
    }
    return true;
}

FetchResults FetchAndWait(UrlLoader &loader, const std::vector<QString> &addresses)
{
    std::optional<FetchResults> results;
    QEventLoop loop;
    const auto handle = loader.start(addresses, [&](FetchResults arrived) {
        results = std::move(arrived);
        loop.quit();
    });
    if (!results)
        loop.exec();
    return results ? *std::move(results) : FetchResults(addresses.size());
}

FetchResult FetchAndWait(UrlLoader &loader, const QString &address)
{
    return FetchAndWait(loader, std::vector<QString>{address}).front();
}

void FetchSlot::start(UrlLoader &loader, const std::vector<QString> &addresses, UrlLoader::Completion done)
{
    cancel();
    const std::uint64_t generation = ++m_generation;
    m_busy = true;
    auto handle = loader.start(addresses, [this, generation, done = std::move(done)](FetchResults results) {
        if (generation != m_generation)
            return;
        m_busy = false;
        done(std::move(results));
    });
    // A completion that came at once (or started the next fetch from inside) leaves this one
    // finished: keep only a handle that is still running.
    if (m_busy && generation == m_generation)
        m_handle = std::move(handle);
}

void FetchSlot::start(UrlLoader &loader, const QString &address, SingleCompletion done)
{
    start(loader, std::vector<QString>{address}, [done = std::move(done)](FetchResults results) {
        done(results.empty() ? FetchResult() : std::move(results.front()));
    });
}

void FetchSlot::cancel()
{
    ++m_generation;
    m_busy = false;
    m_handle.reset();
}

} // namespace tickwell
