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
