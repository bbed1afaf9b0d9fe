#include "archive/DocumentFile.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <cstdio> // renameat2
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace tickwell {

namespace {

QByteArray entryPath(const QString &folder, const QString &fileName)
{
    return QFile::encodeName(QDir(folder).filePath(fileName));
}

// A file made by this write, removed again unless kept.
class TemporaryEntry {
public:
    explicit TemporaryEntry(const QString &folder)
    {
        for (int attempt = 0; attempt < 20 && m_fd < 0; ++attempt) {
            m_path = entryPath(folder, QStringLiteral(".tickwell-%1.part").arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0')));
            // 0666 less the umask: the document gets the permissions any new file would.
            m_fd = ::open(m_path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (m_fd < 0 && errno != EEXIST)
                break;
        }
        m_created = m_fd >= 0;
        if (!m_created)
            m_error = errno;
    }
    ~TemporaryEntry()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        if (m_created && !m_kept)
            ::unlink(m_path.constData());
    }
    TemporaryEntry(const TemporaryEntry &) = delete;
    TemporaryEntry &operator=(const TemporaryEntry &) = delete;

    bool isOpen() const { return m_fd >= 0; }
    // The system's error number of the step that failed.
    int error() const { return m_error; }

    bool writeAll(const QByteArray &bytes)
    {
        const char *data = bytes.constData();
        qsizetype left = bytes.size();
        while (left > 0) {
            const ssize_t written = ::write(m_fd, data, static_cast<size_t>(left));
            if (written < 0) {
                if (errno == EINTR)
                    continue;
                return fail();
            }
            data += written;
            left -= written;
        }
        if (::fdatasync(m_fd) != 0)
            return fail();
        const int fd = std::exchange(m_fd, -1);
        return ::close(fd) == 0 || fail();
    }

    // Gives the file its final name; fails rather than replace an entry of that name.
    bool moveTo(const QByteArray &target)
    {
        if (::renameat2(AT_FDCWD, m_path.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0) {
            m_kept = true;
            return true;
        }
        if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
            return fail();
        // A file system without that rename: a hard link also refuses an existing name.
        return ::link(m_path.constData(), target.constData()) == 0 || fail();
    }

private:
    bool fail()
    {
        m_error = errno;
        return false;
    }

    QByteArray m_path;
    int m_fd = -1;
    int m_error = 0;
    bool m_created = false;
    bool m_kept = false;
};

} // namespace

bool DocumentExists(const QString &folder, const QString &fileName)
{
    struct stat info {};
    if (::lstat(entryPath(folder, fileName).constData(), &info) == 0)
        return true;
    return errno != ENOENT;
}

NewDocument WriteNewDocument(const QString &folder, const QString &fileName, const QByteArray &bytes)
{
    if (fileName.isEmpty() || fileName.contains(u'/') || fileName == QLatin1String(".") || fileName == QLatin1String(".."))
        return {false, QStringLiteral("not a file name")};
    TemporaryEntry temporary(folder);
    if (temporary.isOpen() && temporary.writeAll(bytes) && temporary.moveTo(entryPath(folder, fileName)))
        return {true, QString()};
    return {false, QString::fromLocal8Bit(std::strerror(temporary.error()))};
}

} // namespace tickwell
