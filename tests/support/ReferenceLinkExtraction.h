#pragma once

#include "text/CDelimiters.h"
#include "text/CText.h"

namespace tickwell::testing {

// The reference the fast link extraction must agree with on any input: every value cut with a
// search from the start of the shrinking copy, one cut at a time, through the public operations.
inline void ReferenceExtractHrefs(const CText &fragment, CList<CString256> &addresses, CList<CString256> &linkTexts)
{
    CText work = fragment;
    CText value;
    for (const auto &row : CDelimiters()) {
        if (!row.enabled)
            continue;
        while (work.extract_and_remove_between_patterns_nocase(0, row.begin.view(), row.end.view(), value))
            addresses.append(CString256(value.view()));
    }
    while (work.extract_and_remove_between_patterns_nocase(0, "<a >", "</a>", value))
        linkTexts.append(CString256(value.view()));
}

} // namespace tickwell::testing
