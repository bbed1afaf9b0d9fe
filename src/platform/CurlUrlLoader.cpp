#include "platform/CurlUrlLoader.h"

#include <curl/curl.h>

#include <algorithm>
#include <map>
#include <memory>

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
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;
using MultiHandle = std::unique_ptr<CURLM, MultiDeleter>;
using HeaderList = std::unique_ptr<curl_slist, HeaderListDeleter>;

constexpr const char *userAgent = TICKWELL_NAME "/" TICKWELL_VERSION;

// One request: its easy handle, its headers and the body received so far. It registers its own
// address with curl as the write target, so it never moves.
class Transfer {
public:
    Transfer(const Transfer &) = delete;
    Transfer &operator=(const Transfer &) = delete;

    ~Transfer()
    {
        if (m_multi)
            curl_multi_remove_handle(m_multi, m_handle.get());
    }

    static std::unique_ptr<Transfer> create(const QString &address, const CurlLoaderLimits &limits)
    {
        auto transfer = std::unique_ptr<Transfer>(new Transfer(limits.maxBodyBytes));
        if (!transfer->m_handle || !transfer->configure(address, limits))
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

    std::optional<QByteArray> result(CURLcode code) const
    {
        if (code != CURLE_OK || m_tooLarge || m_body.isEmpty())
            return std::nullopt;
        return m_body;
    }

private:
    explicit Transfer(std::size_t maxBodyBytes)
        : m_handle(curl_easy_init())
        , m_maxBodyBytes(maxBodyBytes)
    {
    }

    bool configure(const QString &address, const CurlLoaderLimits &limits)
    {
        m_headers.reset(curl_slist_append(nullptr, "Cache-Control: no-cache"));
        if (!m_headers)
            return false;
        const QByteArray url = address.toUtf8();
        CURL *h = m_handle.get();
        bool ok = curl_easy_setopt(h, CURLOPT_URL, url.constData()) == CURLE_OK;
        ok = ok && curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK;
        ok = ok && curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https") == CURLE_OK;
        ok = ok && curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L) == CURLE_OK;
        ok = ok && curl_easy_setopt(h, CURLOPT_MAXREDIRS, limits.maxRedirects) == CURLE_OK;
        ok = ok && curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits.connectTimeout.count())) == CURLE_OK;
        ok = ok && curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, static_cast<long>(limits.totalTimeout.count())) == CURLE_OK;
        ok = ok && curl_easy_setopt(h, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.maxBodyBytes)) == CURLE_OK;
        // Time-outs must not rely on SIGALRM: fetches may run off the main thread in tools.
        ok = ok && curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L) == CURLE_OK;
        ok = ok && curl_easy_setopt(h, CURLOPT_ACCEPT_ENCODING, "gzip, deflate") == CURLE_OK;
        ok = ok && curl_easy_setopt(h, CURLOPT_USERAGENT, userAgent) == CURLE_OK;
        ok = ok && curl_easy_setopt(h, CURLOPT_HTTPHEADER, m_headers.get()) == CURLE_OK;
        ok = ok && curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &Transfer::receive) == CURLE_OK;
        ok = ok && curl_easy_setopt(h, CURLOPT_WRITEDATA, this) == CURLE_OK;
        return ok;
    }

    static size_t receive(char *data, size_t size, size_t count, void *target)
    {
        auto *self = static_cast<Transfer *>(target);
        const size_t bytes = size * count;
        // The cap counts decoded bytes, so a small compressed body cannot unpack past it.
        if (static_cast<size_t>(self->m_body.size()) + bytes > self->m_maxBodyBytes) {
            self->m_tooLarge = true;
            return 0; // anything but `bytes` aborts the transfer
        }
        self->m_body.append(data, static_cast<qsizetype>(bytes));
        return bytes;
    }

    EasyHandle m_handle;
    HeaderList m_headers;
    QByteArray m_body;
    std::size_t m_maxBodyBytes;
    bool m_tooLarge = false;
    CURLM *m_multi = nullptr;
};

} // namespace

CurlUrlLoader::CurlUrlLoader(CurlLoaderLimits limits)
    : m_limits(limits)
{
    m_limits.maxConcurrentFetches = std::max(1, m_limits.maxConcurrentFetches);
}

std::optional<QByteArray> CurlUrlLoader::fetch(const QString &address)
{
    if (!isAcceptableAddress(address) || !curlReady())
        return std::nullopt;
    const auto transfer = Transfer::create(address, m_limits);
    if (!transfer)
        return std::nullopt;
    return transfer->result(curl_easy_perform(transfer->handle()));
}

std::vector<std::optional<QByteArray>> CurlUrlLoader::fetchAll(const std::vector<QString> &addresses)
{
    if (!curlReady())
        return std::vector<std::optional<QByteArray>>(addresses.size());
    const MultiHandle multi(curl_multi_init());
    if (!multi)
        return UrlLoader::fetchAll(addresses);

    std::vector<std::optional<QByteArray>> results(addresses.size());
    struct Running {
        std::unique_ptr<Transfer> transfer;
        std::size_t index;
    };
    // Declared after the multi handle, so every transfer detaches before the multi is cleaned up.
    std::map<CURL *, Running> running;
    std::size_t next = 0;

    const auto startMore = [&] {
        bool started = false;
        while (running.size() < static_cast<std::size_t>(m_limits.maxConcurrentFetches) && next < addresses.size()) {
            const std::size_t index = next++;
            if (!isAcceptableAddress(addresses[index]))
                continue;
            auto transfer = Transfer::create(addresses[index], m_limits);
            if (!transfer || !transfer->attach(multi.get()))
                continue;
            CURL *handle = transfer->handle();
            running.emplace(handle, Running{std::move(transfer), index});
            started = true;
        }
        return started;
    };

    startMore();
    while (!running.empty()) {
        int stillRunning = 0;
        if (curl_multi_perform(multi.get(), &stillRunning) != CURLM_OK)
            break; // what has not finished stays empty
        int queued = 0;
        while (CURLMsg *message = curl_multi_info_read(multi.get(), &queued)) {
            if (message->msg != CURLMSG_DONE)
                continue;
            const auto it = running.find(message->easy_handle);
            if (it == running.end())
                continue;
            results[it->second.index] = it->second.transfer->result(message->data.result);
            running.erase(it);
        }
        if (startMore() || running.empty())
            continue;
        if (curl_multi_poll(multi.get(), nullptr, 0, 1000, nullptr) != CURLM_OK)
            break;
    }
    return results;
}

} // namespace tickwell
