#include "archive/OutputFolders.h"

#include "archive/FolderChooser.h"
#include "archive/FolderReference.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <sys/stat.h>
#include <unistd.h>

namespace tickwell {

namespace {

std::optional<QString> absoluteFolder(const QString &path)
{
    if (path.isEmpty() || !QDir::isAbsolutePath(path))
        return std::nullopt;
    return QDir::cleanPath(path);
}

// Makes the folder with its parents when it is missing; the reason when it cannot be had.
QString makeFolder(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat info {};
    if (::stat(native.constData(), &info) == 0)
        return S_ISDIR(info.st_mode) ? QString() : QStringLiteral("cannot create %1 (a file of that name is in the way)").arg(path);
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(native.toStdString()), error);
    if (error)
        return QStringLiteral("cannot create %1 (%2)").arg(path, QString::fromLocal8Bit(error.message()));
    return {};
}

QString writableProblem(const QString &path)
{
    if (::access(QFile::encodeName(path).constData(), W_OK | X_OK) == 0)
        return {};
    return QStringLiteral("cannot write into %1 (%2)").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
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
        return absoluteFolder(fromEnvironment);
    return absoluteFolder(QStandardPaths::writableLocation(QStandardPaths::DownloadLocation));
}

std::optional<QString> GetOutputDirectory(SettingsStore &store)
{
    if (auto chosen = GetDirectory(store, kOutputDirectoryKey))
        return chosen;
    return GetInternetDownloadFolder();
}

OutputDirectory PrepareOutputDirectory(SettingsStore &store)
{
    if (const std::optional<QString> chosen = GetDirectory(store, kOutputDirectoryKey))
        return {*chosen, writableProblem(*chosen)};
    const std::optional<QString> downloads = GetInternetDownloadFolder();
    if (!downloads)
        return {QString(), QStringLiteral("cannot find a download folder: neither XDG_DOWNLOAD_DIR nor HOME is set")};
    QString problem = makeFolder(*downloads);
    if (problem.isEmpty())
        problem = writableProblem(*downloads);
    return {*downloads, problem};
}

void ShowOutputDirectory(SettingsStore &store, Desktop &desktop)
{
    const OutputDirectory folder = PrepareOutputDirectory(store);
    Alert alert;
    if (!folder.usable()) {
        alert.message = QStringLiteral("The Headlines folder cannot be used.");
        alert.informativeText = QStringLiteral("Tickwell %1. Choose another folder in Preferences.").arg(folder.problem);
    } else if (!desktop.openFile(folder.path)) {
        alert.message = QStringLiteral("No application could open the Headlines folder %1.").arg(folder.path);
    } else {
        return;
    }
    desktop.runAlert(alert);
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
