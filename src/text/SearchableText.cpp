#include "text/SearchableText.h"

#include "text/StringExtensions.h"

#include <QStringMatcher>
#include <QVarLengthArray>

namespace tickwell {

SearchableText::SearchableText(QString text)
    : m_text(std::move(text))
    , m_folded(m_text.size(), Qt::Uninitialized)
{
    const char16_t *source = QStringView(m_text).utf16();
    auto *folded = reinterpret_cast<char16_t *>(m_folded.data());
    for (qsizetype i = 0, n = m_text.size(); i < n; ++i)
        folded[i] = foldAsciiCase(source[i]);
}

qsizetype SearchableText::indexOf(QStringView pattern, qsizetype from) const
{
    from = std::max<qsizetype>(from, 0);
    if (pattern.isEmpty() || from > m_folded.size() - pattern.size())
        return -1;
    return scan(pattern, from);
}

qsizetype SearchableText::scan(QStringView pattern, qsizetype from) const
{
    // Patterns are a few dozen characters: fold them on the stack.
    QVarLengthArray<char16_t, 128> folded(pattern.size());
    for (qsizetype i = 0; i < pattern.size(); ++i)
        folded[i] = foldAsciiCase(pattern[i].unicode());
    const QStringMatcher matcher(QStringView(folded.constData(), folded.size()), Qt::CaseSensitive);
    return matcher.indexIn(m_folded, from);
}

std::optional<QString> SearchableText::extractBetweenPattern(QStringView begin, QStringView end) const
{
    const qsizetype beginAt = indexOf(begin);
    if (beginAt < 0)
        return std::nullopt;
    const qsizetype start = beginAt + begin.size();
    const qsizetype endAt = indexOf(end, start);
    if (endAt < 0)
        return std::nullopt;
    return m_text.sliced(start, endAt - start);
}

} // namespace tickwell
