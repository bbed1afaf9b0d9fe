#pragma once

#include "text/SearchableText.h"

#include <QString>
#include <QStringView>

#include <initializer_list>
#include <optional>

namespace tickwell {

// Cutting values out of a page from a position on: the text between the first case-insensitive
// occurrence of begin at or after from and the next occurrence of end after it, or nothing.
// With from 0 this is extractBetweenPattern on the whole page.
std::optional<QString> CutBetween(const SearchableText &page, qsizetype from, QStringView begin, QStringView end);

// Like CutBetween with whichever of the two begin patterns occurs first after from: a value cell
// marked either way is the one that belongs to the anchor before it, not a later one.
std::optional<QString> CutBetweenNearer(const SearchableText &page, qsizetype from, QStringView firstBegin,
                                        QStringView secondBegin, QStringView end);

// The plain text of a short HTML fragment (a table row, a range value), or nothing for one longer
// than any such fragment of a real page. Hostile markup costs the parser time that grows with the
// square of its size (nesting) or of its formatting elements: the size is bounded, and beyond the
// budget of formatting start tags the rest of the fragment is read as text, so any fragment
// flattens in a few milliseconds and megabytes.
std::optional<QString> FlattenFragment(const QString &html);
constexpr qsizetype kLongestFlattenedFragment = 16 * 1024;
constexpr int kMostFormattingStartTags = 16;

// The pattern with its one "%@" replaced by the symbol as written.
QString WithSymbol(QStringView pattern, const QString &symbol);

// The format with each "%@" replaced by the next value, in order. Values are inserted as they
// are: markers inside a value are never filled.
QString FillFormat(QStringView format, std::initializer_list<QStringView> values);

// Every case-insensitive occurrence of pattern replaced by replacement.
QString ReplaceIgnoringAsciiCase(const QString &text, QStringView pattern, QStringView replacement);

} // namespace tickwell
