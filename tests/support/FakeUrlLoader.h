#pragma once

#include "platform/UrlLoader.h"

#include <QHash>
#include <QStringList>

namespace tickwell {

// Serves canned bodies by address and records every request, for tests.
class FakeUrlLoader final : public UrlLoader {
public:
    void serve(const QString &address, QByteArray body) { m_bodies.insert(address, std::move(body)); }
    void clear() { m_bodies.clear(); }

    std::optional<QByteArray> fetch(const QString &address) override
    {
        if (!isAcceptableAddress(address))
            return std::nullopt;
        m_requests.append(address);
        const auto it = m_bodies.constFind(address);
        if (it == m_bodies.constEnd() || it->isEmpty())
            return std::nullopt;
        return *it;
    }

    const QStringList &requests() const { return m_requests; }
    void clearRequests() { m_requests.clear(); }

private:
    QHash<QString, QByteArray> m_bodies;
    QStringList m_requests;
};

} // namespace tickwell
