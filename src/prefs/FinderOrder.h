#pragma once

#include <QString>
#include <QStringList>

namespace tickwell {

// The file manager's order of names: letter case, character width and composed or decomposed
// forms are ignored; punctuation and diacritics count; runs of digits compare by their value
// (A2 before A10). Uses the collation rules of the user's locale.
// Negative, zero or positive, as a comes before, with or after b.
int CompareLikeTheFinder(const QString &a, const QString &b);

// Sorts in place in that order; texts that compare equal keep their order.
void SortCFMutableArrayOfCFStringsLikeTheFinder(QStringList &strings);

} // namespace tickwell
