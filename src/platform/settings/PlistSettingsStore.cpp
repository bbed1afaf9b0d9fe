#include "platform/settings/PlistSettingsStore.h"

#include "platform/settings/PlistXml.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tickwell {

namespace {

constexpr int kLockTimeoutMilliseconds = 5000;
// synchronize() runs before every switch read, so its retry of unsaved changes must not block.
constexpr int kRetryLockTimeoutMilliseconds = 100;

QString LockPath(const QString &path)
{
    return path + QStringLiteral(".lock");
}

// A rename is only durable once the directory entry is on disk as well.
void SyncDirectory(const QString &directory)
{
    const int fd = ::open(QFile::encodeName(directory).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

QString PlistSettingsStore::defaultPath()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/com.brantlow.Tickwell.plist");
}

PlistSettingsStore::PlistSettingsStore(QString path)
    : m_path(std::move(path))
    , m_nativePath(QFile::encodeName(m_path))
{
    reload();
}

std::optional<QVariant> PlistSettingsStore::value(const QString &key) const
{
    const auto it = m_values.constFind(key);
    if (it == m_values.constEnd())
        return std::nullopt;
    return *it;
}

void PlistSettingsStore::setValue(const QString &key, const QVariant &value)
{
    if (!value.isValid()) {
        change(key, std::nullopt);
        return;
    }
    auto plistValue = ToPlistValue(value);
    if (!plistValue) {
        qWarning("Tickwell settings: a value of type %s has no property-list form; \"%s\" left unchanged",
            value.typeName(), qUtf8Printable(key));
        return;
    }
    change(key, std::move(plistValue));
}

void PlistSettingsStore::remove(const QString &key)
{
    change(key, std::nullopt);
}

void PlistSettingsStore::synchronize()
{
    if (!m_pending.isEmpty() && writeLocked(kRetryLockTimeoutMilliseconds) == WriteResult::Written)
        return;
    if (stamp() != m_stamp)
        reload();
}

void PlistSettingsStore::change(const QString &rawKey, Change change)
{
    // Keys obey the same XML character rules as texts.
    const QString key = ToPlistValue(rawKey).value_or(QVariant()).toString();
    if (change)
        m_values.insert(key, *change);
    else
        m_values.remove(key);
    const QMap<QString, Change> before = m_pending;
    m_pending.insert(key, std::move(change));
    if (writeLocked(kLockTimeoutMilliseconds) == WriteResult::Unrepresentable) {
        // Refused now rather than written into a file that the next start would set aside.
        qWarning("Tickwell settings: %s cannot hold the new value of \"%s\"; it was left unchanged",
            qUtf8Printable(m_path), qUtf8Printable(key));
        m_pending = before;
        reload();
    }
}

void PlistSettingsStore::applyPending()
{
    for (auto it = m_pending.cbegin(); it != m_pending.cend(); ++it) {
        if (it.value())
            m_values.insert(it.key(), *it.value());
        else
            m_values.remove(it.key());
    }
}

PlistSettingsStore::FileStamp PlistSettingsStore::stamp() const
{
    struct stat info {};
    if (::stat(m_nativePath.constData(), &info) != 0)
        return {};
    return FileStamp { true, quint64(info.st_dev), quint64(info.st_ino), qint64(info.st_size),
        qint64(info.st_mtim.tv_sec), qint64(info.st_mtim.tv_nsec), qint64(info.st_ctim.tv_sec),
        qint64(info.st_ctim.tv_nsec) };
}

PlistSettingsStore::LoadResult PlistSettingsStore::load(QVariantMap &values, FileStamp &fileStamp, QString &error) const
{
    // Stat before reading: a change after the stat is then caught by the next synchronize.
    fileStamp = stamp();
    values.clear();
    if (!fileStamp.exists)
        return LoadResult::Missing;
    if (fileStamp.size > kPlistMaxFileSize) {
        error = QStringLiteral("larger than %1 bytes").arg(kPlistMaxFileSize);
        return LoadResult::Corrupt;
    }
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (!file.exists())
            return LoadResult::Missing;
        error = file.errorString();
        return LoadResult::Unreadable;
    }
    const QByteArray bytes = file.read(kPlistMaxFileSize + 1);
    if (bytes.size() > kPlistMaxFileSize) {
        error = QStringLiteral("larger than %1 bytes").arg(kPlistMaxFileSize);
        return LoadResult::Corrupt;
    }
    // An empty file holds nothing that could be lost.
    if (bytes.trimmed().isEmpty())
        return LoadResult::Loaded;
    auto parsed = ReadPlistXml(bytes, &error);
    if (!parsed)
        return LoadResult::Corrupt;
    values = std::move(*parsed);
    return LoadResult::Loaded;
}

void PlistSettingsStore::reload()
{
    QVariantMap disk;
    FileStamp fileStamp;
    QString error;
    LoadResult result = load(disk, fileStamp, error);
    if (result == LoadResult::Corrupt) {
        // Look again under the lock: a writer that does not use it may have been half-way.
        QLockFile lock(LockPath(m_path));
        if (lock.tryLock(kLockTimeoutMilliseconds)) {
            result = load(disk, fileStamp, error);
            if (result == LoadResult::Corrupt && setAsideCorruptFile(error))
                result = load(disk, fileStamp, error);
        }
    }
    if (result == LoadResult::Unreadable) {
        reportFailure(QStringLiteral("cannot read %1 (%2); settings stay as they were").arg(m_path, error));
        m_stamp = fileStamp;
        return;
    }
    m_values = std::move(disk);
    m_stamp = fileStamp;
    applyPending();
}

bool PlistSettingsStore::setAsideCorruptFile(const QString &error)
{
    QString target = m_path + QStringLiteral(".corrupt");
    for (int number = 1; QFileInfo::exists(target) && number < 10000; ++number)
        target = m_path + QStringLiteral(".corrupt.%1").arg(number);
    // QFile::rename never replaces an existing file.
    if (QFile::rename(m_path, target)) {
        qWarning("Tickwell settings: %s cannot be read (%s); it was kept as %s and the settings start empty",
            qUtf8Printable(m_path), qUtf8Printable(error), qUtf8Printable(target));
        return true;
    }
    if (!QFileInfo::exists(m_path))
        return true;
    reportFailure(QStringLiteral("%1 cannot be read (%2) and could not be set aside; it is left untouched")
                      .arg(m_path, error));
    return false;
}

PlistSettingsStore::WriteResult PlistSettingsStore::writeLocked(int lockTimeoutMilliseconds)
{
    const QString directory = QFileInfo(m_path).absolutePath();
    if (!QDir().mkpath(directory)) {
        reportFailure(QStringLiteral("cannot create %1; changes are kept in memory").arg(directory));
        return WriteResult::Failed;
    }
    QLockFile lock(LockPath(m_path));
    if (!lock.tryLock(lockTimeoutMilliseconds)) {
        reportFailure(QStringLiteral("cannot lock %1; changes are kept in memory").arg(LockPath(m_path)));
        return WriteResult::Failed;
    }
    // Always read again under the lock: a stamp can miss a rewrite within the clock's granularity
    // when the file system hands out the same inode again.
    QVariantMap disk;
    FileStamp fileStamp;
    QString error;
    LoadResult result = load(disk, fileStamp, error);
    if (result == LoadResult::Corrupt) {
        if (!setAsideCorruptFile(error))
            return WriteResult::Failed;
        result = load(disk, fileStamp, error);
    }
    if (result == LoadResult::Unreadable || result == LoadResult::Corrupt) {
        reportFailure(QStringLiteral("cannot read %1 (%2); changes are kept in memory").arg(m_path, error));
        return WriteResult::Failed;
    }
    m_values = std::move(disk);
    applyPending();
    // Removing keys from a domain that has no file yet leaves no file behind.
    if (result != LoadResult::Missing || !m_values.isEmpty()) {
        const WriteResult written = writeFile(m_values);
        if (written != WriteResult::Written) {
            m_stamp = fileStamp;
            return written;
        }
        fileStamp = stamp();
    }
    m_stamp = fileStamp;
    m_pending.clear();
    m_failureReported = false;
    return WriteResult::Written;
}

PlistSettingsStore::WriteResult PlistSettingsStore::writeFile(const QVariantMap &values)
{
    QString error;
    const std::optional<QByteArray> xml = WritePlistXml(values, &error);
    if (!xml) {
        reportFailure(QStringLiteral("cannot write %1 (%2)").arg(m_path, error));
        return WriteResult::Unrepresentable;
    }
    QSaveFile file(m_path);
    bool written = file.open(QIODevice::WriteOnly);
    if (written)
        written = file.write(*xml) == xml->size() && file.flush() && ::fsync(file.handle()) == 0;
    if (!written) {
        reportFailure(QStringLiteral("cannot write %1 (%2); changes are kept in memory").arg(m_path, file.errorString()));
        file.cancelWriting();
        return WriteResult::Failed;
    }
    if (!file.commit()) {
        reportFailure(QStringLiteral("cannot replace %1 (%2); changes are kept in memory").arg(m_path, file.errorString()));
        return WriteResult::Failed;
    }
    SyncDirectory(QFileInfo(m_path).absolutePath());
    return WriteResult::Written;
}

void PlistSettingsStore::reportFailure(const QString &message)
{
    if (m_failureReported)
        return;
    m_failureReported = true;
    qWarning("Tickwell settings: %s", qUtf8Printable(message));
}

} // namespace tickwell
