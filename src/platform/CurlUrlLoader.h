#pragma once

#include "platform/UrlLoader.h"

#include <chrono>
#include <cstddef>

namespace tickwell {

// Limits of one fetch; the defaults suit the public finance pages, tests shorten them.
struct CurlLoaderLimits {
    std::chrono::milliseconds connectTimeout{10'000};
    std::chrono::milliseconds totalTimeout{30'000};
    // A body larger than this (after content decoding) gives nothing.
    std::size_t maxBodyBytes = 16 * 1024 * 1024;
    long maxRedirects = 5;
    // Transfers fetchAll keeps in flight at once.
    int maxConcurrentFetches = 6;
};

// Blocking HTTP and HTTPS fetches with libcurl: redirects followed, no cache, gzip and deflate
// decoded. The body of the final response is returned whatever its status (an error page is a
// page); a failed transfer or an empty body gives nothing.
class CurlUrlLoader final : public UrlLoader {
public:
    explicit CurlUrlLoader(CurlLoaderLimits limits = {});

    std::optional<QByteArray> fetch(const QString &address) override;

    // Runs the fetches concurrently through one multi handle; the results are those a sequential
    // run would give, in the order of the addresses.
    std::vector<std::optional<QByteArray>> fetchAll(const std::vector<QString> &addresses) override;

    const CurlLoaderLimits &limits() const { return m_limits; }

private:
    CurlLoaderLimits m_limits;
};

} // namespace tickwell
