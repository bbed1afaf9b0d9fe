#pragma once

#include "platform/Desktop.h"
#include "platform/SettingsStore.h"

#include <QString>

#include <functional>
#include <optional>

namespace tickwell {

// The headline output folder: the folder chosen in the preferences, kept under "OutputDirectory"
// as a FolderReference, else the user's download folder. Documents go straight into it. A chosen
// folder is never created (one that cannot be found gives way to the download folder); the
// download folder is, with its parents, when a save or "Go to Headlines folder..." needs it: a
// fresh account or a minimal system may not have one yet. Every operation reads the store afresh
// (synchronising it first), so a choice takes effect with the next document saved. Folders are
// absolute paths.

inline const QString kOutputDirectoryKey = QStringLiteral("OutputDirectory");

// The folder the key's reference leads to; nothing when the key holds no reference (absent, not
// data, empty or unreadable bytes) or the folder cannot be found. The stored bytes are left as
// they are even when the folder was found at a new place.
std::optional<QString> GetDirectory(SettingsStore &store, const QString &key);

// The XDG download directory, whether it exists yet or not: $XDG_DOWNLOAD_DIR when set to an
// absolute path, else the one the user's user-dirs.dirs names (Qt's download location); nothing
// when no download directory is known.
std::optional<QString> GetInternetDownloadFolder();

// The chosen folder when it can be found, else the download folder (which may not exist yet);
// nothing when neither is known. Creates nothing. The store is the running application's, or the
// one the preferences window edits.
std::optional<QString> GetOutputDirectory(SettingsStore &store);

// The output folder made ready to take documents.
struct OutputDirectory {
    QString path;    // the folder meant; empty when none is known
    QString problem; // why it cannot take documents ("cannot create ... (reason)"); empty when it can
    bool usable() const { return problem.isEmpty(); }
};

// GetOutputDirectory, with the download folder created (parents too) when it is missing, and a
// check that the folder found can be written into.
OutputDirectory PrepareOutputDirectory(SettingsStore &store);

// Shows the output folder in the file manager, making the download folder first when it is
// missing; an alert says why when the folder cannot be had or nothing could open it.
void ShowOutputDirectory(SettingsStore &store, Desktop &desktop);

// Stores the folder under the key as chosen; false (nothing stored) when it is not a folder.
bool StoreDirectory(SettingsStore &store, const QString &key, const QString &folder);

// Lets the user choose a folder (ChooseFolder by default), stores it under the key and returns its
// path; nothing when the chooser was cancelled. The path is returned even if storing failed.
std::optional<QString> HandleChooseDirectory(SettingsStore &store, const QString &key,
                                             const std::function<std::optional<QString>()> &chooseFolder = {});

// Forgets the chosen folder: documents go to the download folder again.
void ClearOutputDirectory(SettingsStore &store);

// What the preferences window shows as the output folder: the effective folder's path (the
// download folder even before it has been created), or "" when there is none.
QString OutputDirectoryDisplayPath(SettingsStore &store);

} // namespace tickwell
