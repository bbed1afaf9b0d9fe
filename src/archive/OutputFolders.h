#pragma once

#include "platform/SettingsStore.h"

#include <QString>

#include <functional>
#include <optional>

namespace tickwell {

// The headline output folder: the folder chosen in the preferences, kept under "OutputDirectory"
// as a FolderReference, else the user's download folder. Documents go straight into it; no
// folder is ever created. Every operation reads the store afresh (synchronising it first), so a
// choice takes effect with the next document saved. Folders are absolute paths.

inline const QString kOutputDirectoryKey = QStringLiteral("OutputDirectory");

// The folder the key's reference leads to; nothing when the key holds no reference (absent, not
// data, empty or unreadable bytes) or the folder cannot be found. The stored bytes are left as
// they are even when the folder was found at a new place.
std::optional<QString> GetDirectory(SettingsStore &store, const QString &key);

// The XDG download directory: $XDG_DOWNLOAD_DIR when set to an absolute path, else the one the
// user's user-dirs.dirs names (Qt's download location); nothing when that folder does not exist.
std::optional<QString> GetInternetDownloadFolder();

// The chosen folder, else the download folder; nothing when neither exists. The store is the
// running application's, or the one the preferences window edits.
std::optional<QString> GetOutputDirectory(SettingsStore &store);

// Stores the folder under the key as chosen; false (nothing stored) when it is not a folder.
bool StoreDirectory(SettingsStore &store, const QString &key, const QString &folder);

// Lets the user choose a folder (ChooseFolder by default), stores it under the key and returns its
// path; nothing when the chooser was cancelled. The path is returned even if storing failed.
std::optional<QString> HandleChooseDirectory(SettingsStore &store, const QString &key,
                                             const std::function<std::optional<QString>()> &chooseFolder = {});

// Forgets the chosen folder: documents go to the download folder again.
void ClearOutputDirectory(SettingsStore &store);

// What the preferences window shows as the output folder: the effective folder's path, or "" when
// there is none.
QString OutputDirectoryDisplayPath(SettingsStore &store);

} // namespace tickwell
