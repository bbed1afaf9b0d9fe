#include "text/CText.h"

#include "text/CDelimiters.h"

#include <algorithm>

namespace tickwell {

namespace {

constexpr unsigned char upperAscii(unsigned char byte)
{
    return byte >= 'a' && byte <= 'z' ? static_cast<unsigned char>(byte - ('a' - 'A')) : byte;
}

// The working copy of the link extraction, kept as a gap buffer: a cut only widens the gap, and
// the next search resumes just before the cut instead of at the start. No occurrence of the
// begin pattern can start earlier: the text before the cut is unchanged and held none, except
// one that the cut itself joins together across its two ends. This gives the same values as
// searching from the start after every cut, in time linear in the fragment.
class CutWorkspace {
public:
    explicit CutWorkspace(std::string_view text) : m_buffer(text) {}

    // Cuts values between begin and end, each time from the first begin in the text, until one
    // of the patterns is missing.
    void cutAll(std::string_view begin, std::string_view end, CList<CString256> &values)
    {
        if (begin.empty() || end.empty())
            return;
        std::size_t resume = 0;
        for (;;) {
            moveGapTo(resume);
            const std::string_view after = std::string_view(m_buffer).substr(m_gapEnd);
            const auto beginAt = FindNoCase(after, 0, begin);
            if (!beginAt)
                return;
            const std::size_t valueAt = *beginAt + begin.size();
            const auto endAt = FindNoCase(after, valueAt, end);
            if (!endAt)
                return;
            values.append(CString256(after.substr(valueAt, *endAt - valueAt)));

            const std::size_t cutAt = resume + *beginAt;
            const std::size_t cutLength = *endAt + end.size() - *beginAt;
            moveGapTo(cutAt);
            m_gapEnd += cutLength;
            resume = cutAt >= begin.size() - 1 ? cutAt - (begin.size() - 1) : 0;
        }
    }

private:
    // Makes the gap start at the given position of the text (gap excluded).
    void moveGapTo(std::size_t position)
    {
        if (position < m_gapStart) {
            const std::size_t count = m_gapStart - position;
            std::copy_backward(m_buffer.begin() + static_cast<std::ptrdiff_t>(position),
                               m_buffer.begin() + static_cast<std::ptrdiff_t>(m_gapStart),
                               m_buffer.begin() + static_cast<std::ptrdiff_t>(m_gapEnd));
            m_gapStart -= count;
            m_gapEnd -= count;
        } else if (position > m_gapStart) {
            const std::size_t count = position - m_gapStart;
            std::copy(m_buffer.begin() + static_cast<std::ptrdiff_t>(m_gapEnd),
                      m_buffer.begin() + static_cast<std::ptrdiff_t>(m_gapEnd + count),
                      m_buffer.begin() + static_cast<std::ptrdiff_t>(m_gapStart));
            m_gapStart += count;
            m_gapEnd += count;
        }
    }

    std::string m_buffer;
    std::size_t m_gapStart = 0;
    std::size_t m_gapEnd = 0;
};

} // namespace

std::optional<std::size_t> FindNoCase(std::string_view text, std::size_t start, std::string_view pattern)
{
    if (pattern.empty() || start > text.size() || pattern.size() > text.size() - start)
        return std::nullopt;
    const unsigned char first = upperAscii(static_cast<unsigned char>(pattern.front()));
    const std::size_t last = text.size() - pattern.size();
    for (std::size_t at = start; at <= last; ++at) {
        if (upperAscii(static_cast<unsigned char>(text[at])) != first)
            continue;
        std::size_t matched = 1;
        while (matched < pattern.size()
               && upperAscii(static_cast<unsigned char>(text[at + matched]))
                      == upperAscii(static_cast<unsigned char>(pattern[matched])))
            ++matched;
        if (matched == pattern.size())
            return at;
    }
    return std::nullopt;
}

std::optional<std::size_t> CText::STRSTR(std::size_t start, std::string_view pattern) const
{
    return FindNoCase(m_bytes, start, pattern);
}

CText CText::extract_between(std::size_t first, std::size_t last) const
{
    if (m_bytes.empty() || first > last || first >= m_bytes.size())
        return {};
    last = std::min(last, m_bytes.size() - 1);
    return CText(std::string_view(m_bytes).substr(first, last - first + 1));
}

bool CText::remove_between_patterns_inclusive_nocase(std::string_view begin, std::string_view end)
{
    const auto beginAt = STRSTR(0, begin);
    if (!beginAt)
        return false;
    const auto endAt = STRSTR(*beginAt + begin.size(), end);
    if (!endAt)
        return false;
    m_bytes.erase(*beginAt, *endAt + end.size() - *beginAt);
    return true;
}

bool CText::extract_and_remove_between_patterns_nocase(std::size_t offset, std::string_view begin,
                                                       std::string_view end, CText &out)
{
    out = CText();
    const auto beginAt = STRSTR(offset, begin);
    if (!beginAt)
        return false;
    const std::size_t valueAt = *beginAt + begin.size();
    const auto endAt = STRSTR(valueAt, end);
    if (!endAt)
        return false;
    CText value = *endAt > valueAt ? extract_between(valueAt, *endAt - 1) : CText();
    // The span removed is the one the value came from, also when offset skips earlier matches.
    m_bytes.erase(*beginAt, *endAt + end.size() - *beginAt);
    out = std::move(value);
    return true;
}

void CText::classic_extract_hrefs(CList<CString256> &addresses, CList<CString256> &linkTexts) const
{
    CutWorkspace work(m_bytes);
    for (const auto &row : CDelimiters()) {
        if (row.enabled)
            work.cutAll(row.begin.view(), row.end.view(), addresses);
    }
    work.cutAll("<a >", "</a>", linkTexts);
}

} // namespace tickwell
