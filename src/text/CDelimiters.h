#pragma once

#include "text/CString256.h"

#include <cstddef>
#include <vector>

namespace tickwell {

// One attribute pattern pair of the link extraction.
struct delimiters {
    CString256 begin;
    CString256 end;
    bool enabled = true;
};

// The attribute patterns whose values name other documents (targets, sources, backgrounds), in
// the order their values are collected. Option values are listed but switched off.
class CDelimiters {
public:
    CDelimiters();

    std::size_t size() const { return m_rows.size(); }
    const delimiters &operator[](std::size_t index) const { return m_rows[index]; }
    auto begin() const { return m_rows.begin(); }
    auto end() const { return m_rows.end(); }

private:
    std::vector<delimiters> m_rows;
};

} // namespace tickwell
