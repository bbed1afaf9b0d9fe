#pragma once

#include <QString>

#include <optional>

namespace tickwell {

// Only "PDF", exactly, selects PDF; every other format text selects the web archive.
bool IsPdfFormat(const QString &format);
// "pdf" or "webarchive".
QString DocumentExtension(const QString &format);

// The longest file name, in bytes, that the file system of the folder takes (255 when unknown).
int MaxFileNameBytes(const QString &folder);

// The name of a saved document: "[prefix] base.extension", or "base.extension" without a prefix.
// Page titles and symbols come from outside, so the name is made one plain entry of the folder:
// "/" becomes "-", control characters become spaces, an empty base becomes "(No Title)". When
// the name is longer than maxBytes (UTF-8), the base is cut at a character boundary to fit,
// keeping prefix and extension; a prefix is cut only when even an empty base cannot make it fit.
QString DocumentFileName(const QString &baseName, const std::optional<QString> &prefix, const QString &extension,
                         int maxBytes = 255);

} // namespace tickwell
