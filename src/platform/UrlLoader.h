#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace tickwell {

using FetchResult = std::optional<QByteArray>;
using FetchResults = std::vector<FetchResult>;

using HttpHeaders = QList<std::pair<QByteArray, QByteArray>>;

// A GET request: the address and headers added to (or replacing) the loader's own.
struct HttpRequest {
    QString address;
    HttpHeaders headers;
};

// What came back for a request. `error` is set when the transfer failed (no answer, a time-out,
// a body over the size cap, an address or header the loader refuses): then the body is empty and
// the status is whatever arrived before the failure, 0 when no HTTP answer came at all.
struct HttpResponse {
    int status = 0;
    QByteArray body;
    HttpHeaders headers;          // of the final response, names as the server wrote them
    QList<QByteArray> setCookies; // Set-Cookie values of every response on the way (redirects too)
    QString error;

    bool answered() const { return status != 0 && error.isEmpty(); }
    // The first value of a header of the final response (names compared without case).
    std::optional<QByteArray> header(QByteArrayView name) const;
    QByteArray contentType() const { return header("Content-Type").value_or(QByteArray()); }
};
using HttpResponses = std::vector<HttpResponse>;

// Transfers started by UrlLoader::send or start. Destroying the handle cancels what has not
// finished and guarantees the completion will not run any more.
class FetchHandle {
public:
    virtual ~FetchHandle() = default;
};

// Fetches addresses over HTTP without any cache. Addresses are used exactly as formatted; one the
// URL parser rejects (a space inside, no scheme or host) is not requested at all and gives an
// error response (or nothing, from start).
//
// Fetching never blocks the caller: the transfers run while the event loop turns and the
// completion is called from the event loop once every address has its result.
class UrlLoader {
public:
    using Completion = std::function<void(FetchResults)>;
    using ResponseCompletion = std::function<void(HttpResponses)>;

    virtual ~UrlLoader() = default;

    // Starts every request; `done` gets the responses in the order of the requests, the same a
    // sequential run would give. It runs once, unless the handle is destroyed first; an
    // implementation may call it before send returns (a fake, or nothing to send).
    virtual std::unique_ptr<FetchHandle> send(const std::vector<HttpRequest> &requests, ResponseCompletion done) = 0;

    // The body-only form of send: the body of the final response whatever its status (an error
    // page is a page); nothing for a failed transfer or an empty body.
    std::unique_ptr<FetchHandle> start(const std::vector<QString> &addresses, Completion done);
};

// The body start() gives for a response.
FetchResult BodyOf(const HttpResponse &response);

// The address rule shared by every loader: absolute http or https URL with a host, no white
// space or control characters, as a strict URL parser would accept it.
bool isAcceptableAddress(const QString &address);
// A request header is sent only as an HTTP token name and a value without line breaks or NUL, so
// no value can smuggle in a header of its own.
bool isAcceptableHeader(const QByteArray &name, const QByteArray &value);
// Both of the above, for a whole request.
bool isAcceptableRequest(const HttpRequest &request);

// Fetches and waits for the results, turning the event loop meanwhile (a nested loop): for tools
// and the few callers that run inside such waits already. Never use it where a nested loop is
// not expected.
FetchResults FetchAndWait(UrlLoader &loader, const std::vector<QString> &addresses);
FetchResult FetchAndWait(UrlLoader &loader, const QString &address);
HttpResponses SendAndWait(UrlLoader &loader, const std::vector<HttpRequest> &requests);

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
