#pragma once

#include "platform/UrlLoader.h"

#include <QHash>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace tickwell {

// Serves canned responses by address and records every request, for tests. Answers at once
// (before send returns) unless replies are held: then each fetch waits until releaseReplies().
// An address with nothing scripted answers 404 with an empty body.
class FakeUrlLoader final : public UrlLoader {
public:
    void serve(const QString &address, QByteArray body) { respond(address, HttpResponse{200, std::move(body), {}, {}, {}}); }
    // Any status, headers, body or transport error (status 0 and an error text: "no answer").
    void respond(const QString &address, HttpResponse response) { m_scripts.insert(address, {std::move(response)}); }
    // Each request of the address takes the next response; the last one repeats.
    void respondInTurn(const QString &address, std::vector<HttpResponse> responses) { m_scripts.insert(address, std::move(responses)); }
    void clear() { m_scripts.clear(); }

    std::unique_ptr<FetchHandle> send(const std::vector<HttpRequest> &requests, ResponseCompletion done) override
    {
        HttpResponses results;
        results.reserve(requests.size());
        for (const HttpRequest &request : requests)
            results.push_back(answer(request));
        if (!m_holding) {
            done(std::move(results));
            return std::make_unique<FetchHandle>();
        }
        const std::uint64_t id = ++m_lastId;
        m_held.emplace(id, Held{std::move(results), std::move(done)});
        return std::make_unique<HeldFetch>(m_held, id);
    }

    // Called with every requested address (a test may fail when it comes at the wrong time).
    void onRequest(std::function<void(const QString &)> observer) { m_observer = std::move(observer); }

    void holdReplies(bool hold) { m_holding = hold; }
    // Answers every held fetch, oldest first (and those their completions start, if not held).
    void releaseReplies()
    {
        while (!m_held.empty()) {
            auto first = m_held.begin();
            Held held = std::move(first->second);
            m_held.erase(first);
            held.done(std::move(held.results));
        }
    }
    std::size_t heldFetches() const { return m_held.size(); }

    const QStringList &requests() const { return m_requests; }
    // The requests with their headers, in the order they were sent.
    const std::vector<HttpRequest> &sentRequests() const { return m_sent; }
    void clearRequests()
    {
        m_requests.clear();
        m_sent.clear();
    }

private:
    struct Held {
        HttpResponses results;
        ResponseCompletion done;
    };

    class HeldFetch final : public FetchHandle {
    public:
        HeldFetch(std::map<std::uint64_t, Held> &held, std::uint64_t id)
            : m_held(held)
            , m_id(id)
        {
        }
        ~HeldFetch() override { m_held.erase(m_id); }

    private:
        std::map<std::uint64_t, Held> &m_held;
        std::uint64_t m_id;
    };

    HttpResponse answer(const HttpRequest &request)
    {
        if (!isAcceptableRequest(request))
            return HttpResponse{0, {}, {}, {}, QStringLiteral("Not an acceptable request")};
        m_requests.append(request.address);
        m_sent.push_back(request);
        if (m_observer)
            m_observer(request.address);
        const auto it = m_scripts.find(request.address);
        if (it == m_scripts.end() || it->empty())
            return HttpResponse{404, {}, {}, {}, {}};
        HttpResponse response = it->front();
        if (it->size() > 1)
            it->erase(it->begin());
        return response;
    }

    QHash<QString, std::vector<HttpResponse>> m_scripts;
    QStringList m_requests;
    std::vector<HttpRequest> m_sent;
    std::function<void(const QString &)> m_observer;
    bool m_holding = false;
    std::map<std::uint64_t, Held> m_held;
    std::uint64_t m_lastId = 0;
};

} // namespace tickwell
