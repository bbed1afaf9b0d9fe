#pragma once

#include <QString>

#include <optional>

namespace tickwell {

// The comment of a file, kept as the freedesktop extended attribute "user.xdg.comment" (UTF-8),
// which file managers show. Symbolic links are followed.
inline constexpr const char *kFileCommentAttribute = "user.xdg.comment";

// False when the file system refuses (no user attributes, no permission, no such file).
bool SetFileComment(const QString &path, const QString &comment);
// The comment, or nothing when the file has none or it cannot be read.
std::optional<QString> FileComment(const QString &path);

} // namespace tickwell
