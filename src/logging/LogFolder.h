#pragma once

#include "text/CString256.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace tickwell {

// The log folder, "Brantlow Software/Tickwell" in the per-user data folder ($XDG_DATA_HOME,
// default ~/.local/share), created with its parents when missing; nothing when it cannot be.
std::optional<QString> GetOurApplicationSupportFolder();

// "Tickwell_" + the symbol's UTF-8 + ".log". Ordinary symbols keep their names byte for byte; a
// "/" (which would lead into another folder), a NUL (which would end the path early) and "%"
// itself are written as %2F, %00 and %25, so the name always stays one entry of the log folder.
QByteArray LogFileName(const QString &symbol);

// The folder's path + "/" + the file name, or nothing when it does not fit in 255 bytes: a path
// cut short would name some other file, possibly outside the folder.
std::optional<CString256> LogFilePath(const QString &folder, const QByteArray &fileName);

} // namespace tickwell
