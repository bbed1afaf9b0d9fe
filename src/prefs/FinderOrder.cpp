#include "prefs/FinderOrder.h"

#include "prefs/FinderCollator.h"

#include <algorithm>

namespace tickwell {

// The whole texts are compared: symbols are short, and a length cut-off would make long names
// that differ late compare equal.
int CompareLikeTheFinder(const QString &a, const QString &b)
{
    return FinderCollator().compare(a, b);
}

void SortCFMutableArrayOfCFStringsLikeTheFinder(QStringList &strings)
{
    const FinderCollator collator;
    std::stable_sort(strings.begin(), strings.end(), [&collator](const QString &a, const QString &b) { return collator.compare(a, b) < 0; });
}

} // namespace tickwell
