#pragma once

#include "platform/UrlLoader.h"

#include <QDateTime>
#include <QString>

#include <optional>

namespace tickwell {

// Fetched bytes as page text (decoded by DecodePageBytes), or nothing when the fetch failed or
// the body is empty.
std::optional<QString> DecodeFetchedPage(const FetchResult &bytes);

// The file-safe title of a fetched page: the text between "<title>" and "</title>" with "/" and
// ":" turned into "-" and white space trimmed; when there is none (or it is blank, or nothing
// was fetched) "(No Title) " followed by the moment's date description, made file-safe the same
// way.
QString URLTitleOfFetchedPage(const FetchResult &bytes, const QDateTime &now);

// URLTitleOfFetchedPage of the page at the address, fetched afresh; waits for the fetch in a
// nested event loop.
QString FetchURLTitle(UrlLoader &loader, const QString &address, const QDateTime &now);

// FetchURLTitle through the process-wide title cache: each address is fetched once per process,
// the fallback title included. Only a miss waits for the network.
QString GetURLTitle(UrlLoader &loader, const QString &address, const QDateTime &now);
QString GetURLTitle(UrlLoader &loader, const QString &address);

} // namespace tickwell
