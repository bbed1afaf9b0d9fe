#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

namespace tickwell {

// A folder as the settings keep it: opaque, versioned bytes holding the folder's path and its
// identity on disk (device, inode and, where the file system records it, birth time), so that the
// folder is found again after it was renamed or moved to a place near the old one.
class FolderReference {
public:
    // The reference of an existing folder, or nothing when the path is not one.
    static std::optional<FolderReference> forFolder(const QString &path);
    // Nothing when the bytes are not a reference this version can read.
    static std::optional<FolderReference> fromBytes(const QByteArray &bytes);

    QByteArray toBytes() const;

    // Where the folder is now: the stored path while it still leads to the same folder; else the
    // same folder found by its identity below the nearest existing ancestors of the old place;
    // else a folder now standing at the old path. Nothing when none of these exists.
    std::optional<QString> resolve() const;

    const QString &path() const { return m_path; }

private:
    struct Identity {
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        std::int64_t birthNanoseconds = 0; // since the epoch; 0: not recorded
        bool operator==(const Identity &) const = default;
    };

    static std::optional<Identity> identityOf(const QString &path);
    bool isSameFolder(const Identity &found, const QString &foundPath) const;
    std::optional<QString> search() const;

    QString m_path;
    Identity m_identity;
};

} // namespace tickwell
