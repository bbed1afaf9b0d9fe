#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tickwell {

// A text of at most 255 bytes. Assigning or appending more keeps the first 255 bytes and says
// nothing; a multi-byte character may be cut in two. Link values, symbols, paths and log lines
// are kept in it.
class CString256 {
public:
    static constexpr std::size_t kCapacity = 255;

    CString256() = default;
    CString256(std::string_view bytes) { assign(bytes); }
    CString256(const char *bytes) { assign(bytes ? std::string_view(bytes) : std::string_view()); }

    CString256 &assign(std::string_view bytes);
    CString256 &append(std::string_view bytes);
    CString256 &operator=(std::string_view bytes) { return assign(bytes); }
    CString256 &operator+=(std::string_view bytes) { return append(bytes); }

    const char *c_str() const { return m_bytes.c_str(); }
    const char *data() const { return m_bytes.data(); }
    std::size_t size() const { return m_bytes.size(); }
    std::size_t length() const { return m_bytes.size(); }
    bool empty() const { return m_bytes.empty(); }
    std::string_view view() const { return m_bytes; }
    const std::string &str() const { return m_bytes; }
    operator std::string_view() const { return m_bytes; }

    friend bool operator==(const CString256 &, const CString256 &) = default;
    friend bool operator==(const CString256 &text, std::string_view other) { return text.view() == other; }

private:
    std::string m_bytes;
};

} // namespace tickwell
