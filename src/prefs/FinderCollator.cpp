#include "prefs/FinderCollator.h"

#include <unicode/ucol.h>
#include <unicode/uloc.h>

namespace tickwell {

void FinderCollator::Close::operator()(UCollator *collator) const
{
    ucol_close(collator);
}

FinderCollator::FinderCollator()
{
    UErrorCode status = U_ZERO_ERROR;
    UCollator *collator = ucol_open(uloc_getDefault(), &status);
    if (U_FAILURE(status)) {
        ucol_close(collator);
        return;
    }
    m_collator.reset(collator);
    // Secondary strength: base letters and accents count, case and width (tertiary) do not.
    ucol_setStrength(collator, UCOL_SECONDARY);
    ucol_setAttribute(collator, UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE, &status); // punctuation counts
    ucol_setAttribute(collator, UCOL_NUMERIC_COLLATION, UCOL_ON, &status);
    ucol_setAttribute(collator, UCOL_NORMALIZATION_MODE, UCOL_ON, &status); // é == e + U+0301
    if (U_FAILURE(status))
        m_collator.reset();
}

FinderCollator::~FinderCollator() = default;
FinderCollator::FinderCollator(FinderCollator &&) noexcept = default;
FinderCollator &FinderCollator::operator=(FinderCollator &&) noexcept = default;

int FinderCollator::compare(const QString &a, const QString &b) const
{
    if (!m_collator) // no collation data: still a usable, case-blind order
        return QString::compare(a, b, Qt::CaseInsensitive);
    const auto result = ucol_strcoll(m_collator.get(), reinterpret_cast<const UChar *>(a.utf16()), static_cast<int32_t>(a.size()),
                                     reinterpret_cast<const UChar *>(b.utf16()), static_cast<int32_t>(b.size()));
    return result == UCOL_LESS ? -1 : result == UCOL_GREATER ? 1 : 0;
}

} // namespace tickwell
