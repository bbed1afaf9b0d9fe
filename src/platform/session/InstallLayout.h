#pragma once

#include <QString>

#include <optional>

namespace tickwell {

// Where Tickwell's pieces are, found from the running program's own folder, so that one build
// works alike from the build tree, from ~/.local and from /usr.
class InstallLayout {
public:
    // The folder of the running program. Read from the kernel, not from argv[0], which is a bare
    // name when the program was found on PATH.
    static QString programDirectory();
    // The tray program that belongs with the programs of that folder: beside them.
    static QString tickwellProgram(const QString &programDirectory = InstallLayout::programDirectory());
    // The README rendered as a page: in the installed documentation folder, else in the build
    // tree; nothing when neither is there.
    static std::optional<QString> documentation(const QString &programDirectory = InstallLayout::programDirectory());
    // A helper program that no person runs (tickwell-archiver): beside the programs in the build
    // tree, else in the installed helper folder (lib/tickwell/ beside bin/), out of PATH. Nothing
    // when it is in neither, or cannot be run.
    // The installed helper folder for the programs of that folder.
    static QString helperFolder(const QString &programDirectory = InstallLayout::programDirectory());
    static std::optional<QString> helperProgram(const QString &name, const QString &programDirectory = InstallLayout::programDirectory());
};

} // namespace tickwell
