// The link extraction against the reference it must agree with: every value cut with a search
// from the start of the shrinking copy, one cut at a time.

#include "support/ReferenceLinkExtraction.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace tickwell;

namespace {

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
    testing::ReferenceExtractHrefs(fragment, expectedAddresses, expectedTexts);
    if (!same(addresses, expectedAddresses) || !same(linkTexts, expectedTexts))
        std::abort();
    return 0;
}
