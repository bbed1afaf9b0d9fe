#include "platform/UrlLoader.h"

#include <QUrl>

namespace tickwell {

namespace {

// Symbols are inserted into addresses unencoded, so anything a browser would quietly
// percent-encode (spaces, non-ASCII letters) must reject the whole address instead.
bool holdsOnlyPrintableAscii(const QString &address)
{
    for (const QChar c : address) {
        if (c.unicode() <= 0x20 || c.unicode() >= 0x7F)
            return false;
    }
    return true;
}

} // namespace

bool isAcceptableAddress(const QString &address)
{
    if (address.isEmpty() || !holdsOnlyPrintableAscii(address))
        return false;
    const QUrl url(address, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty())
        return false;
    const QString scheme = url.scheme();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

} // namespace tickwell
