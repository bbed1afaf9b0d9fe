#pragma once

#include "text/CList.h"
#include "text/CString256.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tickwell {

// A growable byte text, copied by value. Pattern matching works on bytes and ignores the case of
// ASCII letters only; other bytes must be equal.
class CText {
public:
    CText() = default;
    CText(std::string_view bytes) : m_bytes(bytes) {}
    CText(const char *bytes) : m_bytes(bytes ? bytes : "") {}

    std::size_t size() const { return m_bytes.size(); }
    bool empty() const { return m_bytes.empty(); }
    std::string_view view() const { return m_bytes; }
    const std::string &str() const { return m_bytes; }

    // Position of the first case-insensitive occurrence of pattern at or after start; nothing
    // when there is none or the pattern is empty.
    std::optional<std::size_t> STRSTR(std::size_t start, std::string_view pattern) const;

    // The bytes from first to last, both included, clamped to the text; empty when first is
    // after last.
    CText extract_between(std::size_t first, std::size_t last) const;

    // Removes the first span from begin to end, both patterns included. False when not found.
    bool remove_between_patterns_inclusive_nocase(std::string_view begin, std::string_view end);

    // Cuts the bytes between the first begin at or after offset and the next end after it into
    // out, and removes that span, patterns included, from this text. False (and out empty) when
    // either pattern is missing.
    bool extract_and_remove_between_patterns_nocase(std::size_t offset, std::string_view begin, std::string_view end,
                                                    CText &out);

    // Appends every attribute value that names another document (in the order of the CDelimiters
    // rows, document order within a row) to addresses, then the texts of the links left as bare
    // "<a >" tags to linkTexts. Each entry keeps at most 255 bytes. This text is left unchanged.
    void classic_extract_hrefs(CList<CString256> &addresses, CList<CString256> &linkTexts) const;

    friend bool operator==(const CText &, const CText &) = default;

private:
    std::string m_bytes;
};

// Case-insensitive byte search in any text, with the rule of CText::STRSTR.
std::optional<std::size_t> FindNoCase(std::string_view text, std::size_t start, std::string_view pattern);

} // namespace tickwell
