#include "platform/net/CurlUrlLoader.h"

#include <QSocketNotifier>
#include <QTimer>

#include <curl/curl.h>

#include <algorithm>
#include <map>

namespace tickwell {

namespace {

// libcurl wants one global initialisation before any handle exists; it is never undone, since
// handles may live until the process ends.
bool curlReady()
{
    static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return ready;
}

struct EasyDeleter {
    void operator()(CURL *handle) const { curl_easy_cleanup(handle); }
};
struct MultiDeleter {
    void operator()(CURLM *handle) const { curl_multi_cleanup(handle); }
};
struct HeaderListDeleter {
    void operator()(curl_slist *list) const { curl_slist_free_all(list); }
};
// A notifier may be dropped from inside its own signal: switch it off now, free it later.
struct NotifierDeleter {
    void operator()(QSocketNotifier *notifier) const
    {
        notifier->setEnabled(false);
        notifier->deleteLater();
    }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;
using MultiHandle = std::unique_ptr<CURLM, MultiDeleter>;
using HeaderList = std::unique_ptr<curl_slist, HeaderListDeleter>;
using Notifier = std::unique_ptr<QSocketNotifier, NotifierDeleter>;

constexpr const char *userAgent = TICKWELL_NAME "/" TICKWELL_VERSION;

// One request: its easy handle, its headers and the response received so far. It registers its
// own address with curl as the write target, so it never moves.
class Transfer {
public:
    Transfer(const Transfer &) = delete;
    Transfer &operator=(const Transfer &) = delete;

    ~Transfer()
    {
        if (m_multi)
            curl_multi_remove_handle(m_multi, m_handle.get());
    }

    static std::unique_ptr<Transfer> create(const HttpRequest &request, const CurlLoaderLimits &limits)
    {
        auto transfer = std::unique_ptr<Transfer>(new Transfer(limits.maxBodyBytes));
        if (!transfer->m_handle || !transfer->configure(request, limits))
            return nullptr;
        return transfer;
    }

    CURL *handle() const { return m_handle.get(); }

    bool attach(CURLM *multi)
    {
        if (curl_multi_add_handle(multi, m_handle.get()) != CURLM_OK)
            return false;
        m_multi = multi;
        return true;
    }

    HttpResponse response(CURLcode code)
    {
        long status = 0;
        curl_easy_getinfo(m_handle.get(), CURLINFO_RESPONSE_CODE, &status);
        m_response.status = static_cast<int>(status);
        if (m_tooLarge)
            m_response.error = QStringLiteral("Body larger than %1 bytes").arg(m_maxBodyBytes);
        else if (code != CURLE_OK)
            m_response.error = QString::fromUtf8(m_errorText[0] ? m_errorText : curl_easy_strerror(code));
        if (!m_response.error.isEmpty())
            m_response.body.clear();
        return std::move(m_response);
    }

private:
    explicit Transfer(std::size_t maxBodyBytes)
        : m_handle(curl_easy_init())
        , m_maxBodyBytes(maxBodyBytes)
    {
    }

    bool configure(const HttpRequest &request, const CurlLoaderLimits &limits)
    {
        m_headers.reset(curl_slist_append(nullptr, "Cache-Control: no-cache"));
        if (!m_headers)
            return false;
        for (const auto &[name, value] : request.headers) {
            // "Name;" is curl's way to send a header with an empty value ("Name:" would drop it).
            const QByteArray line = value.isEmpty() ? name + ';' : name + ": " + value;
            // Appending to a list keeps its head, so the owner stays right.
            if (!curl_slist_append(m_headers.get(), line.constData()))
                return false;
        }
        const QByteArray url = request.address.toUtf8();
        CURL *h = m_handle.get();
        bool ok = curl_easy_setopt(h, CURLOPT_URL, url.constData()) == CURLE_OK;
        ok = ok && curl_easy_setopt(h, CURLOPT_ERRORBUFFER, m_errorText) == CURLE_OK;
        ok = ok && curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK;
        ok = ok && curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https") == CURLE_OK;
        ok = ok && curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L) == CURLE_OK;
        ok = ok && curl_easy_setopt(h, CURLOPT_MAXREDIRS, limits.maxRedirects) == CURLE_OK;
        ok = ok && curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits.connectTimeout.count())) == CURLE_OK;
        ok = ok && curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, static_cast<long>(limits.totalTimeout.count())) == CURLE_OK;
        ok = ok && curl_easy_setopt(h, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.maxBodyBytes)) == CURLE_OK;
        // Name lookups must not rely on SIGALRM.
        ok = ok && curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L) == CURLE_OK;
        ok = ok && curl_easy_setopt(h, CURLOPT_ACCEPT_ENCODING, "gzip, deflate") == CURLE_OK;
        ok = ok && curl_easy_setopt(h, CURLOPT_USERAGENT, userAgent) == CURLE_OK; // a request's own replaces it
        ok = ok && curl_easy_setopt(h, CURLOPT_HTTPHEADER, m_headers.get()) == CURLE_OK;
        ok = ok && curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &Transfer::receive) == CURLE_OK;
        ok = ok && curl_easy_setopt(h, CURLOPT_WRITEDATA, this) == CURLE_OK;
        ok = ok && curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &Transfer::receiveHeader) == CURLE_OK;
        ok = ok && curl_easy_setopt(h, CURLOPT_HEADERDATA, this) == CURLE_OK;
        return ok;
    }

    static size_t receive(char *data, size_t size, size_t count, void *target)
    {
        auto *self = static_cast<Transfer *>(target);
        const size_t bytes = size * count;
        // The cap counts decoded bytes, so a small compressed body cannot unpack past it.
        if (static_cast<size_t>(self->m_response.body.size()) + bytes > self->m_maxBodyBytes) {
            self->m_tooLarge = true;
            return 0; // anything but `bytes` aborts the transfer
        }
        self->m_response.body.append(data, static_cast<qsizetype>(bytes));
        return bytes;
    }

    // One header line at a time, status lines included: each response of a redirect chain starts
    // with its status line, so only the last one's headers are kept; cookies of all are.
    static size_t receiveHeader(char *data, size_t size, size_t count, void *target)
    {
        auto *self = static_cast<Transfer *>(target);
        const size_t bytes = size * count;
        const QByteArray line = QByteArray(data, static_cast<qsizetype>(bytes)).trimmed();
        if (line.startsWith("HTTP/")) {
            self->m_response.headers.clear();
            return bytes;
        }
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            return bytes;
        const QByteArray name = line.left(colon).trimmed();
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (self->m_response.headers.size() < maxHeaders)
            self->m_response.headers.append({name, value});
        if (name.compare("Set-Cookie", Qt::CaseInsensitive) == 0 && self->m_response.setCookies.size() < maxHeaders)
            self->m_response.setCookies.append(value);
        return bytes;
    }

    // A hostile server cannot grow the header list without bound (curl caps each line).
    static constexpr qsizetype maxHeaders = 200;

    EasyHandle m_handle;
    HeaderList m_headers;
    HttpResponse m_response;
    char m_errorText[CURL_ERROR_SIZE] = {};
    std::size_t m_maxBodyBytes;
    bool m_tooLarge = false;
    CURLM *m_multi = nullptr;
};

} // namespace

// One multi handle for the life of the loader, so connections are reused from one fetch to the
// next. curl says which sockets to watch and when to wake it; the event loop does the waiting.
class CurlUrlLoader::Engine {
public:
    explicit Engine(const CurlLoaderLimits &limits)
        : m_limits(limits)
    {
        m_timer.setSingleShot(true);
        m_timer.setTimerType(Qt::PreciseTimer); // curl asks for a few milliseconds at a time
        QObject::connect(&m_timer, &QTimer::timeout, [this] { act(CURL_SOCKET_TIMEOUT, 0); });
        if (!curlReady())
            return;
        m_multi.reset(curl_multi_init());
        if (!m_multi)
            return;
        CURLM *multi = m_multi.get();
        curl_multi_setopt(multi, CURLMOPT_SOCKETFUNCTION, &Engine::onSocket);
        curl_multi_setopt(multi, CURLMOPT_SOCKETDATA, this);
        curl_multi_setopt(multi, CURLMOPT_TIMERFUNCTION, &Engine::onTimer);
        curl_multi_setopt(multi, CURLMOPT_TIMERDATA, this);
        curl_multi_setopt(multi, CURLMOPT_MAX_HOST_CONNECTIONS, limits.maxConnectionsPerHost);
        curl_multi_setopt(multi, CURLMOPT_MAX_TOTAL_CONNECTIONS, limits.maxConnections);
        curl_multi_setopt(multi, CURLMOPT_MAXCONNECTS, limits.maxConnections);
    }

    ~Engine()
    {
        m_running.clear(); // detaches every transfer while the multi handle is still there
        m_sockets.clear();
    }

    std::uint64_t add(const std::vector<HttpRequest> &requests, ResponseCompletion done)
    {
        const std::uint64_t id = ++m_lastBatch;
        Batch batch{HttpResponses(requests.size()), 0, std::move(done), {}};
        for (std::size_t index = 0; index < requests.size(); ++index) {
            HttpResponse &response = batch.results[index];
            if (!isAcceptableRequest(requests[index])) {
                response.error = QStringLiteral("Not an acceptable request");
                continue;
            }
            auto transfer = m_multi ? Transfer::create(requests[index], m_limits) : nullptr;
            if (!transfer || !transfer->attach(m_multi.get())) {
                response.error = QStringLiteral("The transfer could not be set up");
                continue;
            }
            CURL *handle = transfer->handle();
            batch.transfers.push_back(handle);
            m_running.emplace(handle, Running{std::move(transfer), id, index});
        }
        batch.remaining = batch.transfers.size();
        if (batch.remaining == 0) {
            // Nothing went out: answer at once.
            ResponseCompletion call = std::move(batch.done);
            call(std::move(batch.results));
            return 0;
        }
        m_batches.emplace(id, std::move(batch));
        return id;
    }

    void cancel(std::uint64_t id)
    {
        const auto it = m_batches.find(id);
        if (it == m_batches.end())
            return;
        for (CURL *handle : it->second.transfers)
            m_running.erase(handle);
        m_batches.erase(it);
    }

    std::size_t inFlight() const { return m_running.size(); }

private:
    struct Batch {
        HttpResponses results;
        std::size_t remaining = 0;
        ResponseCompletion done;
        std::vector<CURL *> transfers;
    };
    struct Running {
        std::unique_ptr<Transfer> transfer;
        std::uint64_t batch = 0;
        std::size_t index = 0;
    };
    struct SocketWatch {
        Notifier read;
        Notifier write;
    };

    static int onSocket(CURL *, curl_socket_t socket, int what, void *engine, void *)
    {
        static_cast<Engine *>(engine)->watch(socket, what);
        return 0;
    }

    static int onTimer(CURLM *, long timeoutMs, void *engine)
    {
        auto *self = static_cast<Engine *>(engine);
        // curl may not be called back from here: the timer does it from the event loop.
        if (timeoutMs < 0)
            self->m_timer.stop();
        else
            self->m_timer.start(static_cast<int>(std::min<long>(timeoutMs, 24L * 3600 * 1000)));
        return 0;
    }

    void watch(curl_socket_t socket, int what)
    {
        if (what == CURL_POLL_REMOVE) {
            m_sockets.erase(socket);
            return;
        }
        SocketWatch &watch = m_sockets[socket];
        const auto ensure = [this, socket](Notifier &notifier, QSocketNotifier::Type type, int flag) {
            if (notifier)
                return;
            notifier.reset(new QSocketNotifier(static_cast<qintptr>(socket), type));
            QObject::connect(notifier.get(), &QSocketNotifier::activated, [this, socket, flag] { act(socket, flag); });
        };
        if (what & CURL_POLL_IN)
            ensure(watch.read, QSocketNotifier::Read, CURL_CSELECT_IN);
        if (what & CURL_POLL_OUT)
            ensure(watch.write, QSocketNotifier::Write, CURL_CSELECT_OUT);
        if (watch.read)
            watch.read->setEnabled((what & CURL_POLL_IN) != 0);
        if (watch.write)
            watch.write->setEnabled((what & CURL_POLL_OUT) != 0);
    }

    void act(curl_socket_t socket, int flags)
    {
        if (!m_multi)
            return;
        int running = 0;
        curl_multi_socket_action(m_multi.get(), socket, flags, &running);
        finishDone();
    }

    // Results of finished transfers go to their fetches; a fetch whose last transfer ended is
    // answered. Completions run after curl has returned, and may start or cancel fetches.
    void finishDone()
    {
        std::vector<std::uint64_t> answered;
        int queued = 0;
        while (CURLMsg *message = curl_multi_info_read(m_multi.get(), &queued)) {
            if (message->msg != CURLMSG_DONE)
                continue;
            const CURLcode code = message->data.result;
            const auto running = m_running.find(message->easy_handle);
            if (running == m_running.end())
                continue;
            const auto batch = m_batches.find(running->second.batch);
            if (batch != m_batches.end()) {
                batch->second.results[running->second.index] = running->second.transfer->response(code);
                if (--batch->second.remaining == 0)
                    answered.push_back(batch->first);
            }
            m_running.erase(running);
        }
        for (const std::uint64_t id : answered) {
            const auto batch = m_batches.find(id);
            if (batch == m_batches.end())
                continue; // cancelled by an earlier completion
            ResponseCompletion call = std::move(batch->second.done);
            HttpResponses results = std::move(batch->second.results);
            m_batches.erase(batch);
            call(std::move(results));
        }
    }

    CurlLoaderLimits m_limits;
    QTimer m_timer;
    MultiHandle m_multi;
    // After the multi handle: cleared first, so every transfer detaches while it exists.
    std::map<CURL *, Running> m_running;
    std::map<curl_socket_t, SocketWatch> m_sockets;
    std::map<std::uint64_t, Batch> m_batches;
    std::uint64_t m_lastBatch = 0;
};

namespace {

class CurlFetch final : public FetchHandle {
public:
    CurlFetch(std::weak_ptr<void> engine, std::function<void()> cancel)
        : m_engine(std::move(engine))
        , m_cancel(std::move(cancel))
    {
    }
    ~CurlFetch() override
    {
        if (!m_engine.expired())
            m_cancel();
    }

private:
    std::weak_ptr<void> m_engine;
    std::function<void()> m_cancel;
};

} // namespace

CurlUrlLoader::CurlUrlLoader(CurlLoaderLimits limits)
    : m_limits(limits)
{
    m_limits.maxConnectionsPerHost = std::max(1L, m_limits.maxConnectionsPerHost);
    m_limits.maxConnections = std::max(m_limits.maxConnectionsPerHost, m_limits.maxConnections);
    m_engine = std::make_shared<Engine>(m_limits);
}

CurlUrlLoader::~CurlUrlLoader() = default;

std::unique_ptr<FetchHandle> CurlUrlLoader::send(const std::vector<HttpRequest> &requests, ResponseCompletion done)
{
    const std::uint64_t id = m_engine->add(requests, std::move(done));
    Engine *engine = m_engine.get();
    return std::make_unique<CurlFetch>(std::weak_ptr<void>(m_engine), [engine, id] { engine->cancel(id); });
}

std::size_t CurlUrlLoader::transfersInFlight() const
{
    return m_engine->inFlight();
}

} // namespace tickwell
