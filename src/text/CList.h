#pragma once

#include <cstddef>
#include <vector>

namespace tickwell {

// An ordered list that keeps copies of what is appended, in order.
template <typename T>
class CList {
public:
    void append(const T &value) { m_items.push_back(value); }
    void append(T &&value) { m_items.push_back(std::move(value)); }

    std::size_t size() const { return m_items.size(); }
    bool empty() const { return m_items.empty(); }
    const T &operator[](std::size_t index) const { return m_items[index]; }
    void clear() { m_items.clear(); }

    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    std::vector<T> m_items;
};

} // namespace tickwell
