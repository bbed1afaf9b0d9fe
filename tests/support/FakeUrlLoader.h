#pragma once

#include "platform/UrlLoader.h"

#include <QHash>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>

namespace tickwell {

// Serves canned bodies by address and records every request, for tests. Answers at once (before
// start returns) unless replies are held: then each fetch waits until releaseReplies().
class FakeUrlLoader final : public UrlLoader {
public:
    void serve(const QString &address, QByteArray body) { m_bodies.insert(address, std::move(body)); }
    void clear() { m_bodies.clear(); }

    std::unique_ptr<FetchHandle> start(const std::vector<QString> &addresses, Completion done) override
    {
        FetchResults results;
        results.reserve(addresses.size());
        for (const QString &address : addresses)
            results.push_back(answer(address));
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
    void clearRequests() { m_requests.clear(); }

private:
    struct Held {
        FetchResults results;
        Completion done;
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

    FetchResult answer(const QString &address)
    {
        if (!isAcceptableAddress(address))
            return std::nullopt;
        m_requests.append(address);
        if (m_observer)
            m_observer(address);
        const auto it = m_bodies.constFind(address);
        if (it == m_bodies.constEnd() || it->isEmpty())
            return std::nullopt;
        return *it;
    }

    QHash<QString, QByteArray> m_bodies;
    QStringList m_requests;
    std::function<void(const QString &)> m_observer;
    bool m_holding = false;
    std::map<std::uint64_t, Held> m_held;
    std::uint64_t m_lastId = 0;
};

} // namespace tickwell
