#include "text/CString256.h"

#include <algorithm>

namespace tickwell {

CString256 &CString256::assign(std::string_view bytes)
{
    m_bytes.assign(bytes.substr(0, kCapacity));
    return *this;
}

CString256 &CString256::append(std::string_view bytes)
{
    const std::size_t room = kCapacity - m_bytes.size();
    m_bytes.append(bytes.substr(0, std::min(room, bytes.size())));
    return *this;
}

} // namespace tickwell
