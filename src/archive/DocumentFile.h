#pragma once

#include <QByteArray>
#include <QString>

namespace tickwell {

// Whether the folder has an entry of that name. Only a clean "no such file" counts as absent:
// a dangling link, or an entry that cannot be looked at, counts as existing and is left alone.
bool DocumentExists(const QString &folder, const QString &fileName);

// Writes the bytes as a new file of that name in the folder: into a temporary file beside it
// first, then moved into place without replacing anything already there. A document is thus
// either whole or absent (a half-written one would block every later save of the headline).
// On failure nothing is left behind, and the reason says what the system reported.
struct NewDocument {
    bool written = false;
    QString reason; // "No space left on device", "File exists", ...; empty when written
    explicit operator bool() const { return written; }
};
NewDocument WriteNewDocument(const QString &folder, const QString &fileName, const QByteArray &bytes);

} // namespace tickwell
