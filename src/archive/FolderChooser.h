#pragma once

#include <QString>

#include <optional>

namespace tickwell {

// The folder chooser of the preferences window: an application-modal dialog titled "Choose
// Folder for Headlines" that picks one existing folder (new ones may be made in it). The chosen
// folder's path, or nothing when cancelled. Needs a QApplication.
std::optional<QString> ChooseFolder();

} // namespace tickwell
