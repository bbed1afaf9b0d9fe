#pragma once

#include "platform/UrlLoader.h"

#include <chrono>
#include <cstddef>
#include <memory>

namespace tickwell {

// Limits of the fetches; the defaults suit the public finance pages, tests shorten them.
struct CurlLoaderLimits {
    std::chrono::milliseconds connectTimeout{10'000};
    // Counted from the moment a fetch is started, time waiting for a free connection included.
    std::chrono::milliseconds totalTimeout{30'000};
    // A body larger than this (after content decoding) gives nothing.
    std::size_t maxBodyBytes = 16 * 1024 * 1024;
    long maxRedirects = 5;
    // Connections at once, as browsers keep them: per host and across all hosts. Connections are
    // kept open between fetches and reused.
    long maxConnectionsPerHost = 6;
    long maxConnections = 18;
};

// HTTP and HTTPS fetches with libcurl's multi interface, driven by the event loop of the thread
// that made the loader (socket notifiers and a timer): nothing ever blocks that loop. Redirects
// followed, no cache, gzip and deflate decoded; the response is the final one of the chain, its
// error curl's own text when the transfer failed.
class CurlUrlLoader final : public UrlLoader {
public:
    explicit CurlUrlLoader(CurlLoaderLimits limits = {});
    ~CurlUrlLoader() override;

    CurlUrlLoader(const CurlUrlLoader &) = delete;
    CurlUrlLoader &operator=(const CurlUrlLoader &) = delete;

    std::unique_ptr<FetchHandle> send(const std::vector<HttpRequest> &requests, ResponseCompletion done) override;

    const CurlLoaderLimits &limits() const { return m_limits; }
    // Transfers started and not finished, over all fetches.
    std::size_t transfersInFlight() const;

private:
    class Engine;
    CurlLoaderLimits m_limits;
    std::shared_ptr<Engine> m_engine;
};

} // namespace tickwell
