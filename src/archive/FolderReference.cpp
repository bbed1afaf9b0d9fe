#include "archive/FolderReference.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>

#include <deque>

#include <fcntl.h>
#include <sys/stat.h>

namespace tickwell {

namespace {

constexpr char kMagic[] = "TWFR";
constexpr quint8 kVersion = 2; // 2: birth time in nanoseconds

// How far the search for a moved folder goes: ancestors of the old place, levels below each,
// and folders looked at in all (a home folder can be large; the search must stay quick).
constexpr int kAncestorsSearched = 3;
constexpr int kLevelsBelow = 3;
constexpr int kFoldersVisited = 20000;

} // namespace

std::optional<FolderReference::Identity> FolderReference::identityOf(const QString &path)
{
    struct statx info {};
    const QByteArray encoded = QFile::encodeName(path);
    if (::statx(AT_FDCWD, encoded.constData(), 0, STATX_TYPE | STATX_INO | STATX_BTIME, &info) != 0)
        return std::nullopt;
    if (!S_ISDIR(info.stx_mode))
        return std::nullopt;
    Identity identity;
    identity.device = (static_cast<std::uint64_t>(info.stx_dev_major) << 32) | info.stx_dev_minor;
    identity.inode = info.stx_ino;
    if (info.stx_mask & STATX_BTIME)
        identity.birthNanoseconds = std::int64_t(info.stx_btime.tv_sec) * 1000000000 + info.stx_btime.tv_nsec;
    return identity;
}

bool FolderReference::isSameFolder(const Identity &found, const QString &foundPath) const
{
    if (found.device != m_identity.device || found.inode != m_identity.inode)
        return false;
    // An inode number is reused once its folder is gone; the birth time tells them apart. Where
    // the file system keeps no birth time, a reused number could point anywhere: then only a
    // folder renamed in its old place or moved under its old name counts, rather than saving
    // into some unrelated folder.
    if (found.birthNanoseconds != 0 && m_identity.birthNanoseconds != 0)
        return found.birthNanoseconds == m_identity.birthNanoseconds;
    const QFileInfo was(m_path);
    const QFileInfo now(foundPath);
    return now.fileName() == was.fileName() || now.path() == was.path();
}

std::optional<FolderReference> FolderReference::forFolder(const QString &path)
{
    if (path.isEmpty())
        return std::nullopt;
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    const auto identity = identityOf(absolute);
    if (!identity)
        return std::nullopt;
    FolderReference reference;
    reference.m_path = absolute;
    reference.m_identity = *identity;
    return reference;
}

QByteArray FolderReference::toBytes() const
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out.writeRawData(kMagic, 4);
    out << kVersion << m_path << quint64(m_identity.device) << quint64(m_identity.inode) << qint64(m_identity.birthNanoseconds);
    return bytes;
}

std::optional<FolderReference> FolderReference::fromBytes(const QByteArray &bytes)
{
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_6_0);
    char magic[4] = {};
    if (in.readRawData(magic, 4) != 4 || QByteArray(magic, 4) != QByteArray(kMagic, 4))
        return std::nullopt;
    quint8 version = 0;
    in >> version;
    if (version != kVersion)
        return std::nullopt;
    FolderReference reference;
    quint64 device = 0, inode = 0;
    qint64 birth = 0;
    in >> reference.m_path >> device >> inode >> birth;
    if (in.status() != QDataStream::Ok || !in.atEnd() || !QDir::isAbsolutePath(reference.m_path))
        return std::nullopt;
    reference.m_identity = {device, inode, birth};
    return reference;
}

std::optional<QString> FolderReference::resolve() const
{
    if (const auto here = identityOf(m_path); here && isSameFolder(*here, m_path))
        return m_path;
    if (auto moved = search())
        return moved;
    if (identityOf(m_path)) // another folder now stands where the chosen one was
        return m_path;
    return std::nullopt;
}

std::optional<QString> FolderReference::search() const
{
    int visited = 0;
    QString skip; // the ancestor already searched from below
    QString ancestor = QFileInfo(m_path).path();
    for (int level = 0; level < kAncestorsSearched; ++level) {
        if (identityOf(ancestor)) {
            // Breadth first, so the nearest match wins; symbolic links are not followed.
            std::deque<std::pair<QString, int>> queue{{ancestor, 0}};
            while (!queue.empty()) {
                const auto [folder, depth] = queue.front();
                queue.pop_front();
                const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::NoSymLinks);
                for (const QFileInfo &entry : entries) {
                    if (++visited > kFoldersVisited)
                        return std::nullopt;
                    const QString path = entry.absoluteFilePath();
                    if (path == skip)
                        continue;
                    const auto identity = identityOf(path);
                    if (!identity || identity->device != m_identity.device)
                        continue;
                    if (isSameFolder(*identity, path))
                        return path;
                    if (depth + 1 < kLevelsBelow)
                        queue.emplace_back(path, depth + 1);
                }
            }
            skip = ancestor;
        }
        const QString up = QFileInfo(ancestor).path();
        if (up == ancestor)
            break;
        ancestor = up;
    }
    return std::nullopt;
}

} // namespace tickwell
