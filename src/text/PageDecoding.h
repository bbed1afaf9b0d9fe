#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace tickwell {

// Page bytes become text as UTF-8 when they are valid UTF-8, otherwise as Mac OS Roman (which
// always succeeds). No charset named by the server or the page is consulted; no BOM is looked for.
QString DecodePageBytes(const QByteArray &bytes);

// Text as Mac OS Roman bytes, or nothing when a character has no Mac OS Roman form.
std::optional<QByteArray> EncodeMacRoman(const QString &text);

} // namespace tickwell
