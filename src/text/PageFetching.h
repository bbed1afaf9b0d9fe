#pragma once

#include "platform/UrlLoader.h"

#include <QDateTime>
#include <QString>

#include <optional>

namespace tickwell {

// The page at the address as text (decoded by DecodePageBytes), or nothing when the address is
// rejected, the fetch fails or the body is empty.
std::optional<QString> DownloadURL(UrlLoader &loader, const QString &address);

// The file-safe title of the page at the address, fetched afresh: the text between "<title>" and
// "</title>" with "/" and ":" turned into "-" and white space trimmed; when there is none (or it
// is blank) "(No Title) " followed by the moment's date description, made file-safe the same way.
QString FetchURLTitle(UrlLoader &loader, const QString &address, const QDateTime &now);

// FetchURLTitle through the process-wide title cache: each address is fetched once per process,
// the fallback title included.
QString GetURLTitle(UrlLoader &loader, const QString &address, const QDateTime &now);
QString GetURLTitle(UrlLoader &loader, const QString &address);

} // namespace tickwell
