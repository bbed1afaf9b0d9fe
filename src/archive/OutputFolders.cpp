#include "archive/OutputFolders.h"

#include "archive/FolderChooser.h"
#include "archive/FolderReference.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace tickwell {

namespace {

std::optional<QString> existingFolder(const QString &path)
{
    if (path.isEmpty() || !QDir::isAbsolutePath(path))
        return std::nullopt;
    const QFileInfo info(path);
    if (!info.isDir())
        return std::nullopt;
    return QDir::cleanPath(info.absoluteFilePath());
}

} // namespace

std::optional<QString> GetDirectory(SettingsStore &store, const QString &key)
{
    store.synchronize();
    const std::optional<QVariant> value = store.value(key);
    if (!value || value->typeId() != QMetaType::QByteArray)
        return std::nullopt;
    const QByteArray bytes = value->toByteArray();
    if (bytes.isEmpty())
        return std::nullopt;
    const std::optional<FolderReference> reference = FolderReference::fromBytes(bytes);
    if (!reference)
        return std::nullopt;
    return reference->resolve();
}

std::optional<QString> GetInternetDownloadFolder()
{
    const QString fromEnvironment = qEnvironmentVariable("XDG_DOWNLOAD_DIR");
    if (QDir::isAbsolutePath(fromEnvironment))
        return existingFolder(fromEnvironment);
    return existingFolder(QStandardPaths::writableLocation(QStandardPaths::DownloadLocation));
}

std::optional<QString> GetOutputDirectory(SettingsStore &store)
{
    if (auto chosen = GetDirectory(store, kOutputDirectoryKey))
        return chosen;
    return GetInternetDownloadFolder();
}

bool StoreDirectory(SettingsStore &store, const QString &key, const QString &folder)
{
    const std::optional<FolderReference> reference = FolderReference::forFolder(folder);
    if (!reference)
        return false;
    store.setValue(key, reference->toBytes());
    store.synchronize();
    return true;
}

std::optional<QString> HandleChooseDirectory(SettingsStore &store, const QString &key,
                                             const std::function<std::optional<QString>()> &chooseFolder)
{
    const std::optional<QString> chosen = chooseFolder ? chooseFolder() : ChooseFolder();
    if (!chosen)
        return std::nullopt;
    StoreDirectory(store, key, *chosen);
    return QDir::cleanPath(QFileInfo(*chosen).absoluteFilePath());
}

void ClearOutputDirectory(SettingsStore &store)
{
    store.remove(kOutputDirectoryKey);
    store.synchronize();
}

QString OutputDirectoryDisplayPath(SettingsStore &store)
{
    return GetOutputDirectory(store).value_or(QString());
}

} // namespace tickwell
