#include "support/LocalHttpServer.h"

#include <httplib.h>

#include <QHash>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <thread>

namespace tickwell::test {

struct LocalHttpServer::State {
    void answer(const httplib::Request &request, httplib::Response &response)
    {
        const QString target = QString::fromStdString(request.target);
        std::unique_lock lock(mutex);
        peakInFlight = std::max(peakInFlight, ++inFlight);
        ++counts[target];
        ++total;
        QHash<QByteArray, QByteArray> &headers = lastHeaders[target];
        headers.clear();
        for (const auto &[name, value] : request.headers)
            headers.insert(QByteArray::fromStdString(name).toLower(), QByteArray::fromStdString(value));
        const std::optional<Response> route = routes.contains(target) ? std::optional(routes.value(target)) : std::nullopt;
        const auto delay = latency + (route ? route->latency : std::chrono::milliseconds(0));
        const bool stopped = delay.count() > 0 && wake.wait_for(lock, delay, [this] { return stopping; });
        --inFlight;
        lock.unlock();
        response.status = stopped ? 503 : route ? route->status : 404;
        if (stopped || !route)
            return;
        for (const auto &[name, value] : route->headers)
            response.headers.emplace(name.toStdString(), value.toStdString());
        response.set_content(route->body.toStdString(), route->contentType.toStdString());
    }

    httplib::Server server;
    std::thread thread;
    int port = 0;
    mutable std::mutex mutex;
    std::condition_variable wake;
    bool stopping = false;
    QHash<QString, Response> routes;
    std::chrono::milliseconds latency{0};
    QHash<QString, int> counts;
    QHash<QString, QHash<QByteArray, QByteArray>> lastHeaders;
    int total = 0;
    int inFlight = 0;
    int peakInFlight = 0;
};

LocalHttpServer::LocalHttpServer()
    : m_state(std::make_unique<State>())
{
    httplib::Server &server = m_state->server;
    // Enough workers for a concurrent refresh plus a few requests that hang until shutdown.
    server.new_task_queue = [] { return new httplib::ThreadPool(32); };
    // Idle keep-alive connections hold a worker; let them go soon.
    server.set_keep_alive_timeout(1);
    // Without it, answers on a reused connection wait for the client's delayed acknowledgement.
    server.set_tcp_nodelay(true);
    server.Get(".*", [state = m_state.get()](const httplib::Request &request, httplib::Response &response) { state->answer(request, response); });
    m_state->port = server.bind_to_any_port("127.0.0.1");
    if (m_state->port <= 0)
        throw std::runtime_error("LocalHttpServer: cannot bind to 127.0.0.1");
    m_state->thread = std::thread([&server] { server.listen_after_bind(); });
    while (!server.is_running()) // stop() does nothing until the server runs
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

LocalHttpServer::~LocalHttpServer()
{
    {
        const std::lock_guard lock(m_state->mutex);
        m_state->stopping = true;
    }
    m_state->wake.notify_all();
    m_state->server.stop();
    m_state->thread.join();
}

QString LocalHttpServer::hostAndPort() const
{
    return QStringLiteral("127.0.0.1:%1").arg(m_state->port);
}

void LocalHttpServer::setResponse(const QString &target, const Response &response)
{
    const std::lock_guard lock(m_state->mutex);
    m_state->routes.insert(target, response);
}

void LocalHttpServer::setLatency(std::chrono::milliseconds latency)
{
    const std::lock_guard lock(m_state->mutex);
    m_state->latency = latency;
}

int LocalHttpServer::requestCount(const QString &target) const
{
    const std::lock_guard lock(m_state->mutex);
    return m_state->counts.value(target);
}

int LocalHttpServer::totalRequestCount() const
{
    const std::lock_guard lock(m_state->mutex);
    return m_state->total;
}

QByteArray LocalHttpServer::lastRequestHeader(const QString &target, const QByteArray &name) const
{
    const std::lock_guard lock(m_state->mutex);
    return m_state->lastHeaders.value(target).value(name.toLower());
}

int LocalHttpServer::peakConcurrentRequests() const
{
    const std::lock_guard lock(m_state->mutex);
    return m_state->peakInFlight;
}

} // namespace tickwell::test
