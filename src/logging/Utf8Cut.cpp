#include "logging/Utf8Cut.h"

namespace tickwell {

QByteArray Utf8PrefixAtCharacterBoundary(const QByteArray &utf8, qsizetype limit)
{
    if (utf8.size() <= limit)
        return utf8;
    qsizetype end = limit;
    // Back up over continuation bytes (10xxxxxx) to the lead byte of the character that the
    // limit cuts, and leave that character out.
    while (end > 0 && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80)
        --end;
    return utf8.first(end);
}

CString256 Utf8CString256(const QString &text)
{
    const QByteArray bytes = Utf8PrefixAtCharacterBoundary(text.toUtf8(), CString256::kCapacity);
    return CString256(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

} // namespace tickwell
