#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace tickwell {

// Fetches addresses over HTTP without any cache: the body of the final response, or nothing.
// Addresses are used exactly as formatted; one the URL parser rejects (a space inside, no
// scheme or host) is not requested at all and gives nothing.
class UrlLoader {
public:
    virtual ~UrlLoader() = default;

    // One blocking fetch.
    virtual std::optional<QByteArray> fetch(const QString &address) = 0;

    // Fetches every address and returns the results in the same order. An implementation may
    // run several at once; the result must equal fetching them one after another.
    virtual std::vector<std::optional<QByteArray>> fetchAll(const std::vector<QString> &addresses)
    {
        std::vector<std::optional<QByteArray>> results;
        results.reserve(addresses.size());
        for (const auto &address : addresses)
            results.push_back(fetch(address));
        return results;
    }
};

// The address rule shared by every loader: absolute http or https URL with a host, no white
// space or control characters, as a strict URL parser would accept it.
bool isAcceptableAddress(const QString &address);

} // namespace tickwell
