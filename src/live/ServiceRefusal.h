#pragma once

#include "platform/UrlLoader.h"

#include <QDateTime>
#include <QString>

#include <chrono>
#include <optional>

namespace tickwell {

// Whether a 403 refuses the service or only the symbol (the delayed-quotes service answers an
// unknown symbol with 403).
enum class ForbiddenMeans { Refusal, UnknownSymbol };

// Why a response refuses the service, as the problem line says it: "429 Too Many Requests",
// "no answer", "not a quote answer (HTML page)". Nothing for an answer, good or not (a 404 for an
// unknown symbol is an answer). Refusals: no HTTP answer, 401, 403 (unless it means an unknown
// symbol), 429, any 5xx, and an HTML page where JSON was asked for.
std::optional<QString> RefusalReason(const HttpResponse &response, ForbiddenMeans forbidden);

// "429 Too Many Requests"; the bare number for a status without a common reason phrase.
QString StatusText(int status);

// The back-off of one service after refusals: the first waits a minute, each further one twice
// as long as the last, never longer than the cap (the refresh interval). An answer ends it.
class ServiceBackoff {
public:
    bool mayTry(const QDateTime &now) const { return !m_nextTry.isValid() || now >= m_nextTry; }
    void refused(const QDateTime &now, const QString &reason, std::chrono::minutes cap);
    void answered();

    bool isBackingOff() const { return m_nextTry.isValid(); }
    const QDateTime &nextTry() const { return m_nextTry; }
    // "Quotes from query1.finance.yahoo.com: 429 Too Many Requests; next try at 7:42 PM", or
    // nothing while the service answers.
    std::optional<QString> problemLine(const QString &service, const QString &host) const;

private:
    int m_refusals = 0;
    QDateTime m_nextTry;
    QString m_reason;
};

// The host a problem line names: "query1.finance.yahoo.com", with the port when one is given.
QString ServiceHost(const QString &baseUrl);

} // namespace tickwell
