#include "platform/session/FileComment.h"

#include <QFile>

#include <sys/xattr.h>

#include <cerrno>

namespace tickwell {

bool SetFileComment(const QString &path, const QString &comment)
{
    const QByteArray file = QFile::encodeName(path);
    const QByteArray value = comment.toUtf8();
    return ::setxattr(file.constData(), kFileCommentAttribute, value.constData(), static_cast<size_t>(value.size()), 0) == 0;
}

std::optional<QString> FileComment(const QString &path)
{
    const QByteArray file = QFile::encodeName(path);
    for (int attempt = 0; attempt < 3; ++attempt) {
        const ssize_t size = ::getxattr(file.constData(), kFileCommentAttribute, nullptr, 0);
        if (size < 0)
            return std::nullopt;
        QByteArray value(static_cast<qsizetype>(size), Qt::Uninitialized);
        const ssize_t read = ::getxattr(file.constData(), kFileCommentAttribute, value.data(), static_cast<size_t>(value.size()));
        if (read >= 0) {
            value.truncate(static_cast<qsizetype>(read));
            return QString::fromUtf8(value);
        }
        if (errno != ERANGE) // grown between the two calls: ask again
            return std::nullopt;
    }
    return std::nullopt;
}

} // namespace tickwell
