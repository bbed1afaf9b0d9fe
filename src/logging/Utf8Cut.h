#pragma once

#include "text/CString256.h"

#include <QByteArray>
#include <QString>

namespace tickwell {

// The longest prefix of the UTF-8 bytes of at most `limit` bytes that does not end inside a
// character, so a cut line stays valid UTF-8.
QByteArray Utf8PrefixAtCharacterBoundary(const QByteArray &utf8, qsizetype limit);

// The text's UTF-8 in a CString256, cut at a character boundary when it does not fit.
CString256 Utf8CString256(const QString &text);

} // namespace tickwell
