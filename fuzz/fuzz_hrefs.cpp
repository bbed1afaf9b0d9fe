// The link extraction against the reference it must agree with: every value cut with a search
// from the start of the shrinking copy, one cut at a time.

#include "text/CDelimiters.h"
#include "text/CText.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace tickwell;

namespace {

void referenceExtract(const CText &fragment, CList<CString256> &addresses, CList<CString256> &linkTexts)
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

bool same(const CList<CString256> &left, const CList<CString256> &right)
{
    if (left.size() != right.size())
        return false;
    for (std::size_t i = 0; i < left.size(); ++i) {
        if (!(left[i] == right[i]))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const CText fragment(std::string_view(reinterpret_cast<const char *>(data), size));
    CList<CString256> addresses, linkTexts, expectedAddresses, expectedTexts;
    fragment.classic_extract_hrefs(addresses, linkTexts);
    referenceExtract(fragment, expectedAddresses, expectedTexts);
    if (!same(addresses, expectedAddresses) || !same(linkTexts, expectedTexts))
        std::abort();
    return 0;
}
