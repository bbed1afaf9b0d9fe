#pragma once

#include "text/CString256.h"

#include <cstring>
#include <map>
#include <vector>

namespace tickwell {

// A map from CString256 keys to values. Keys compare byte by byte as zero-terminated texts
// (case-sensitive); clear() and forEach() walk the entries in insertion order.
template <typename Value>
class CMap {
public:
    CMap() = default;
    CMap(const CMap &) = delete;
    CMap &operator=(const CMap &) = delete;
    ~CMap() { clear(); }

    // The entry's value for the key, or nullptr.
    Value *lookup(const CString256 &key)
    {
        const auto it = m_entries.find(key);
        return it == m_entries.end() ? nullptr : &it->second;
    }

    // The existing entry for the key, unchanged, or a new one holding the default value; the
    // caller may then set the value through the reference.
    Value &insert(const CString256 &key)
    {
        const auto [it, inserted] = m_entries.try_emplace(key);
        if (inserted)
            m_order.push_back(it);
        return it->second;
    }

    // Removes every entry, the oldest first.
    void clear()
    {
        for (auto it : m_order)
            m_entries.erase(it);
        m_order.clear();
    }

    template <typename Visit>
    void forEach(Visit visit)
    {
        for (auto it : m_order)
            visit(it->first, it->second);
    }

    std::size_t size() const { return m_entries.size(); }
    bool empty() const { return m_entries.empty(); }

private:
    struct ZeroTerminatedLess {
        bool operator()(const CString256 &a, const CString256 &b) const { return std::strcmp(a.c_str(), b.c_str()) < 0; }
    };
    using Entries = std::map<CString256, Value, ZeroTerminatedLess>;

    Entries m_entries;
    std::vector<typename Entries::iterator> m_order; // map iterators stay valid until erased
};

} // namespace tickwell
