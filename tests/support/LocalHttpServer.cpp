#include "support/LocalHttpServer.h"

#include <httplib.h>

#include <QHash>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace tickwell::test {

namespace {

struct Route {
    enum class Kind { Content, Redirect, Hang };
    Kind kind = Kind::Content;
    LocalHttpServer::Response response;
    QString location;
};

// Enough workers for a concurrent refresh plus a few requests that hang until shutdown.
constexpr std::size_t workerThreads = 32;

} // namespace

class LocalHttpServer::Impl {
public:
    Impl()
    {
        m_server.new_task_queue = [] { return new httplib::ThreadPool(workerThreads); };
        // Idle keep-alive connections hold a worker; let them go soon.
        m_server.set_keep_alive_timeout(1);
        // Without it, answers on a reused connection wait for the client's delayed acknowledgement.
        m_server.set_tcp_nodelay(true);
        m_server.Get(".*", [this](const httplib::Request &request, httplib::Response &response) {
            answer(request, response);
        });
        m_port = m_server.bind_to_any_port("127.0.0.1");
        if (m_port <= 0)
            throw std::runtime_error("LocalHttpServer: cannot bind to 127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        // stop() does nothing until the server runs, so wait for it.
        while (!m_server.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    ~Impl()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_wake.notify_all();
        m_server.stop();
        m_thread.join();
    }

    int port() const { return m_port; }

    void setRoute(const QString &target, Route route)
    {
        const std::lock_guard lock(m_mutex);
        m_routes.insert(target, std::move(route));
    }

    void remove(const QString &target)
    {
        const std::lock_guard lock(m_mutex);
        m_routes.remove(target);
    }

    void setLatency(std::chrono::milliseconds latency)
    {
        const std::lock_guard lock(m_mutex);
        m_latency = latency;
    }

    int requestCount(const QString &target) const
    {
        const std::lock_guard lock(m_mutex);
        return m_counts.value(target);
    }

    QByteArray lastRequestHeader(const QString &target, const QByteArray &name) const
    {
        const std::lock_guard lock(m_mutex);
        return m_lastHeaders.value(target).value(name.toLower());
    }

    int totalRequestCount() const
    {
        const std::lock_guard lock(m_mutex);
        return m_total;
    }

    int peakConcurrentRequests() const
    {
        const std::lock_guard lock(m_mutex);
        return m_peakInFlight;
    }

    void resetRequestCounts()
    {
        const std::lock_guard lock(m_mutex);
        m_counts.clear();
        m_total = 0;
        m_peakInFlight = m_inFlight;
    }

private:
    // Counts a request as in flight from its arrival until its answer is ready.
    class InFlight {
    public:
        explicit InFlight(Impl &impl)
            : m_impl(impl)
        {
            const std::lock_guard lock(m_impl.m_mutex);
            m_impl.m_peakInFlight = std::max(m_impl.m_peakInFlight, ++m_impl.m_inFlight);
        }
        ~InFlight()
        {
            const std::lock_guard lock(m_impl.m_mutex);
            --m_impl.m_inFlight;
        }
        InFlight(const InFlight &) = delete;
        InFlight &operator=(const InFlight &) = delete;

    private:
        Impl &m_impl;
    };

    void answer(const httplib::Request &request, httplib::Response &response)
    {
        const InFlight inFlight(*this);
        const QString target = QString::fromStdString(request.target);
        std::unique_lock lock(m_mutex);
        ++m_counts[target];
        ++m_total;
        QHash<QByteArray, QByteArray> &headers = m_lastHeaders[target];
        headers.clear();
        for (const auto &[name, value] : request.headers)
            headers.insert(QByteArray::fromStdString(name).toLower(), QByteArray::fromStdString(value));
        const auto it = m_routes.constFind(target);
        const std::optional<Route> route = it == m_routes.constEnd() ? std::nullopt : std::optional<Route>(*it);

        if (route && route->kind == Route::Kind::Hang) {
            m_wake.wait(lock, [this] { return m_stopping; });
            response.status = 503;
            return;
        }
        const auto latency = m_latency + (route ? route->response.latency : std::chrono::milliseconds(0));
        if (latency.count() > 0 && m_wake.wait_for(lock, latency, [this] { return m_stopping; })) {
            response.status = 503;
            return;
        }
        lock.unlock();

        if (!route) {
            response.status = 404;
            return;
        }
        if (route->kind == Route::Kind::Redirect) {
            response.set_redirect(route->location.toStdString(), route->response.status);
            return;
        }
        response.status = route->response.status;
        for (const auto &[name, value] : route->response.headers)
            response.headers.emplace(name.toStdString(), value.toStdString());
        response.set_content(route->response.body.toStdString(), route->response.contentType.toStdString());
    }

    httplib::Server m_server;
    int m_port = 0;
    std::thread m_thread;

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping = false;
    QHash<QString, Route> m_routes;
    std::chrono::milliseconds m_latency{0};
    QHash<QString, int> m_counts;
    QHash<QString, QHash<QByteArray, QByteArray>> m_lastHeaders;
    int m_total = 0;
    int m_inFlight = 0;
    int m_peakInFlight = 0;
};

LocalHttpServer::LocalHttpServer()
    : m_impl(std::make_unique<Impl>())
{
}

LocalHttpServer::~LocalHttpServer() = default;

int LocalHttpServer::port() const
{
    return m_impl->port();
}

QString LocalHttpServer::hostAndPort() const
{
    return QStringLiteral("127.0.0.1:%1").arg(port());
}

QString LocalHttpServer::url(const QString &target) const
{
    return QStringLiteral("http://") + hostAndPort() + target;
}

void LocalHttpServer::serve(const QString &target, const QByteArray &body, const QByteArray &contentType, int status)
{
    setResponse(target, Response{status, contentType, body, std::chrono::milliseconds(0)});
}

void LocalHttpServer::setResponse(const QString &target, const Response &response)
{
    m_impl->setRoute(target, Route{Route::Kind::Content, response, {}});
}

void LocalHttpServer::redirect(const QString &target, const QString &location, int status)
{
    Response response;
    response.status = status;
    m_impl->setRoute(target, Route{Route::Kind::Redirect, response, location});
}

void LocalHttpServer::hang(const QString &target)
{
    m_impl->setRoute(target, Route{Route::Kind::Hang, {}, {}});
}

void LocalHttpServer::remove(const QString &target)
{
    m_impl->remove(target);
}

void LocalHttpServer::setLatency(std::chrono::milliseconds latency)
{
    m_impl->setLatency(latency);
}

int LocalHttpServer::requestCount(const QString &target) const
{
    return m_impl->requestCount(target);
}

int LocalHttpServer::totalRequestCount() const
{
    return m_impl->totalRequestCount();
}

QByteArray LocalHttpServer::lastRequestHeader(const QString &target, const QByteArray &name) const
{
    return m_impl->lastRequestHeader(target, name);
}

int LocalHttpServer::peakConcurrentRequests() const
{
    return m_impl->peakConcurrentRequests();
}

void LocalHttpServer::resetRequestCounts()
{
    m_impl->resetRequestCounts();
}

} // namespace tickwell::test
