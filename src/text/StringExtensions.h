#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace tickwell {

// The pattern-cutting operations every quote source uses, and the text clean-ups that go with
// them. Pure functions; positions count UTF-16 code units.

// Case-insensitive matching folds ASCII letters only (the patterns of the quote sources are
// ASCII); every other character compares exactly, so positions and lengths never shift.
constexpr char16_t foldAsciiCase(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? char16_t(c + (u'a' - u'A')) : c;
}

// Position of the first occurrence of pattern at or after from, ignoring ASCII letter case, or -1.
// An empty pattern never matches.
qsizetype indexOfIgnoringAsciiCase(QStringView text, QStringView pattern, qsizetype from = 0);

// The text between the first case-insensitive occurrence of begin and the next occurrence of
// end after it, neither included; nothing when either is missing or empty.
std::optional<QString> extractBetweenPattern(QStringView text, QStringView begin, QStringView end);

// Plain text of an HTML fragment or document, in document order; block elements and table rows
// end their line with a line feed. The text itself when empty. The parser's time and memory grow
// with the square of the nesting depth and of the formatting elements left open: markup from a
// page goes through FlattenFragment (sources/PageCutting.h), which bounds both.
QString flattenHTML(const QString &html);

// Decodes &amp; &apos; &nbsp; &quot; &lt; &gt; (any case) and numeric references in one pass.
// Returns the very same string (shared, not copied) when it holds no "&".
QString stringByDecodingHTMLEntities(const QString &text);

// The words of the text (split at spaces, tabs and line feeds) joined by single spaces.
QString removeExtraWhiteSpace(const QString &text);

// "/" and ":" replaced by "-".
QString cleanForFilename(const QString &text);

} // namespace tickwell
