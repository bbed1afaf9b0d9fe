#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <chrono>
#include <memory>
#include <utility>

namespace tickwell::test {

// A real HTTP server on 127.0.0.1 with a port of its own, answering from a background thread
// until it is destroyed. Requests are matched on their target exactly as sent, path and query
// together ("/q?s=AAPL"); a target without a route gets 404 with an empty body. Routes may be
// changed at any time, also while requests are in flight. Text bodies are gzip-compressed when
// the client accepts it, as a real server would.
class LocalHttpServer {
public:
    struct Response {
        int status = 200;
        QByteArray contentType = "text/html; charset=utf-8";
        QByteArray body;
        std::chrono::milliseconds latency{0}; // added to the server-wide latency
        QList<std::pair<QByteArray, QByteArray>> headers; // sent besides Content-Type ("Set-Cookie" may repeat)
    };

    LocalHttpServer();
    ~LocalHttpServer(); // answers every waiting request, then stops

    // "127.0.0.1:PORT", the form the host settings take.
    QString hostAndPort() const;
    QString url(const QString &target) const { return QStringLiteral("http://") + hostAndPort() + target; }

    void serve(const QString &target, const QByteArray &body, const QByteArray &contentType = "text/html; charset=utf-8", int status = 200)
    {
        setResponse(target, {status, contentType, body});
    }
    void setResponse(const QString &target, const Response &response);
    // Location may be a target or a full URL.
    void redirect(const QString &target, const QString &location) { setResponse(target, {302, {}, {}, {}, {{"Location", location.toUtf8()}}}); }
    // Accepts the request and answers it only when the server stops (for time-outs).
    void hang(const QString &target) { setResponse(target, {503, {}, {}, std::chrono::hours(24)}); }
    // A delay before every answer, on top of each route's own.
    void setLatency(std::chrono::milliseconds latency);

    // Requests received for the target (path and query as sent), answered or not.
    int requestCount(const QString &target) const;
    int totalRequestCount() const;
    // A header of the last request for the target, as received; empty when absent.
    QByteArray lastRequestHeader(const QString &target, const QByteArray &name) const;
    // The most requests that were being answered at the same moment.
    int peakConcurrentRequests() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace tickwell::test
