#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace tickwell {

using FetchResult = std::optional<QByteArray>;
using FetchResults = std::vector<FetchResult>;

// Transfers started by UrlLoader::start. Destroying the handle cancels what has not finished and
// guarantees the completion will not run any more.
class FetchHandle {
public:
    virtual ~FetchHandle() = default;
};

// Fetches addresses over HTTP without any cache: the body of the final response, or nothing.
// Addresses are used exactly as formatted; one the URL parser rejects (a space inside, no
// scheme or host) is not requested at all and gives nothing.
//
// Fetching never blocks the caller: the transfers run while the event loop turns and the
// completion is called from the event loop once every address has its result.
class UrlLoader {
public:
    using Completion = std::function<void(FetchResults)>;

    virtual ~UrlLoader() = default;

    // Starts fetching every address; `done` gets the results in the order of the addresses, the
    // same a sequential run would give. It runs once, unless the handle is destroyed first; an
    // implementation may call it before start returns (a fake, or nothing to fetch).
    virtual std::unique_ptr<FetchHandle> start(const std::vector<QString> &addresses, Completion done) = 0;
};

// The address rule shared by every loader: absolute http or https URL with a host, no white
// space or control characters, as a strict URL parser would accept it.
bool isAcceptableAddress(const QString &address);

// Fetches and waits for the results, turning the event loop meanwhile (a nested loop): for tools
// and the few callers that run inside such waits already. Never use it where a nested loop is
// not expected.
FetchResults FetchAndWait(UrlLoader &loader, const std::vector<QString> &addresses);
FetchResult FetchAndWait(UrlLoader &loader, const QString &address);

// At most one fetch in flight for its owner. A new start replaces (cancels) the one running;
// the completion may come before start returns.
class FetchSlot {
public:
    using SingleCompletion = std::function<void(FetchResult)>;

    void start(UrlLoader &loader, const std::vector<QString> &addresses, UrlLoader::Completion done);
    void start(UrlLoader &loader, const QString &address, SingleCompletion done);
    void cancel();
    bool isBusy() const { return m_busy; }

private:
    std::unique_ptr<FetchHandle> m_handle;
    std::uint64_t m_generation = 0;
    bool m_busy = false;
};

} // namespace tickwell
