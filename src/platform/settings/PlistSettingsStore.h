#pragma once

#include "platform/SettingsStore.h"

#include <QByteArray>
#include <QMap>
#include <QVariantMap>

#include <optional>

namespace tickwell {

// The settings domain kept as an XML property list file shared by every process of the user.
//
// Reads are served from memory; synchronize() re-reads the file only when it changed on disk
// (one stat otherwise). Each write re-reads the file under a lock file next to it, applies the
// change and replaces the file atomically, so writers in several processes lose nothing. A file
// that cannot be parsed is renamed aside with a ".corrupt" suffix and the store starts empty.
// Changes that could not be saved stay pending and are retried by the next write or
// synchronize().
class PlistSettingsStore final : public SettingsStore {
public:
    // $XDG_CONFIG_HOME/com.brantlow.Tickwell.plist, ~/.config when the variable is unset or
    // not absolute.
    static QString defaultPath();

    explicit PlistSettingsStore(QString path = defaultPath());

    std::optional<QVariant> value(const QString &key) const override;
    // Values are kept as the plist type they will have when read back (see ToPlistValue); a
    // value without a plist form is refused with a message on stderr.
    void setValue(const QString &key, const QVariant &value) override;
    void remove(const QString &key) override;
    void synchronize() override;

    QVariantMap values() const { return m_values; }
    QString path() const { return m_path; }
    // True while a change could not be written to the file.
    bool hasUnsavedChanges() const { return !m_pending.isEmpty(); }

private:
    struct FileStamp {
        bool exists = false;
        quint64 device = 0;
        quint64 inode = 0;
        qint64 size = 0;
        qint64 modifiedSeconds = 0;
        qint64 modifiedNanoseconds = 0;
        qint64 changedSeconds = 0;
        qint64 changedNanoseconds = 0;
        bool operator==(const FileStamp &) const = default;
    };
    enum class LoadResult { Loaded, Missing, Corrupt, Unreadable };
    // Unrepresentable: the values have no file form the reader would take back.
    enum class WriteResult { Written, Failed, Unrepresentable };
    using Change = std::optional<QVariant>; // nothing: remove the key

    FileStamp stamp() const;
    LoadResult load(QVariantMap &values, FileStamp &fileStamp, QString &error) const;
    // Re-reads the file into memory, keeping the pending changes on top.
    void reload();
    bool setAsideCorruptFile(const QString &error);
    // Reads, applies the pending changes and writes, all under the lock.
    WriteResult writeLocked(int lockTimeoutMilliseconds);
    WriteResult writeFile(const QVariantMap &values);
    void applyPending();
    void change(const QString &key, Change change);
    // One message per run of failures, so a broken file does not flood the log.
    void reportFailure(const QString &message);

    QString m_path;
    QByteArray m_nativePath;
    QVariantMap m_values;
    QMap<QString, Change> m_pending;
    std::optional<FileStamp> m_stamp;
    bool m_failureReported = false;
};

} // namespace tickwell
