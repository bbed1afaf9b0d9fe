#include "sources/PageCutting.h"

#include "text/StringExtensions.h"

#include <algorithm>
#include <array>

namespace tickwell {

namespace {

// The elements the parser keeps on its list of active formatting elements.
bool IsFormattingTagName(QStringView name)
{
    static constexpr std::array<QStringView, 14> kNames{u"a", u"b", u"big", u"code", u"em", u"font", u"i",
                                                        u"nobr", u"s", u"small", u"strike", u"strong", u"tt", u"u"};
    return std::any_of(kNames.begin(), kNames.end(), [name](QStringView known) { return name.compare(known, Qt::CaseInsensitive) == 0; });
}

// The position of the first formatting start tag beyond the budget, or -1. Every "<" followed by
// a letter counts as a tag here, even in comments, scripts or attribute values: counting too many
// only flattens a fragment early, counting too few would let the parser see more. A tag name ends
// where the parser's does: at white space, "/" or ">".
qsizetype FormattingBeyondBudget(QStringView html)
{
    int formatting = 0;
    for (qsizetype at = html.indexOf(u'<'); at >= 0 && at + 1 < html.size(); at = html.indexOf(u'<', at + 1)) {
        if (!html[at + 1].isLetter() || html[at + 1].unicode() > 0x7f)
            continue;
        qsizetype end = at + 1;
        while (end < html.size() && !QStringView(u" \t\n\f\r/>").contains(html[end]))
            ++end;
        if (IsFormattingTagName(html.sliced(at + 1, end - at - 1)) && ++formatting > kMostFormattingStartTags)
            return at;
    }
    return -1;
}

std::optional<QString> cutAt(const SearchableText &page, qsizetype beginAt, qsizetype beginLength, QStringView end)
{
    const qsizetype start = beginAt + beginLength;
    const qsizetype endAt = page.indexOf(end, start);
    if (endAt < 0)
        return std::nullopt;
    return page.text().sliced(start, endAt - start);
}

} // namespace

std::optional<QString> CutBetween(const SearchableText &page, qsizetype from, QStringView begin, QStringView end)
{
    const qsizetype beginAt = page.indexOf(begin, from);
    if (beginAt < 0 || end.isEmpty())
        return std::nullopt;
    return cutAt(page, beginAt, begin.size(), end);
}

std::optional<QString> CutBetweenNearer(const SearchableText &page, qsizetype from, QStringView firstBegin,
                                        QStringView secondBegin, QStringView end)
{
    const qsizetype firstAt = page.indexOf(firstBegin, from);
    const qsizetype secondAt = page.indexOf(secondBegin, from);
    if (firstAt < 0 && secondAt < 0)
        return std::nullopt;
    if (secondAt < 0 || (firstAt >= 0 && firstAt <= secondAt))
        return cutAt(page, firstAt, firstBegin.size(), end);
    return cutAt(page, secondAt, secondBegin.size(), end);
}

std::optional<QString> FlattenFragment(const QString &html)
{
    if (html.size() > kLongestFlattenedFragment)
        return std::nullopt;
    // The parser's one costly shape within the size: paragraphs that each open formatting
    // elements left open. Every paragraph copies all of them again, so time and memory grow with
    // the square of their number. From the first formatting tag beyond the budget on, the
    // fragment is read as text: with every "<" escaped no tag can start there, whatever state the
    // markup before left the parser in. No row or value of a real page comes near the budget.
    const qsizetype beyond = FormattingBeyondBudget(html);
    if (beyond < 0)
        return flattenHTML(html);
    return flattenHTML(html.first(beyond) + html.sliced(beyond).replace(u'<', QStringLiteral("&lt;")));
}

QString WithSymbol(QStringView pattern, const QString &symbol)
{
    const qsizetype marker = pattern.indexOf(u"%@");
    if (marker < 0)
        return pattern.toString();
    QString filled = pattern.first(marker).toString();
    filled += symbol;
    filled += pattern.sliced(marker + 2);
    return filled;
}

QString FillFormat(QStringView format, std::initializer_list<QStringView> values)
{
    QString result;
    auto value = values.begin();
    qsizetype at = 0;
    for (;;) {
        const qsizetype marker = format.indexOf(u"%@", at);
        if (marker < 0 || value == values.end())
            break;
        result += format.sliced(at, marker - at);
        result += *value++;
        at = marker + 2;
    }
    result += format.sliced(at);
    return result;
}

QString ReplaceIgnoringAsciiCase(const QString &text, QStringView pattern, QStringView replacement)
{
    if (pattern.isEmpty())
        return text;
    QString result;
    qsizetype at = 0;
    for (;;) {
        const qsizetype found = indexOfIgnoringAsciiCase(text, pattern, at);
        if (found < 0)
            break;
        result += QStringView(text).sliced(at, found - at);
        result += replacement;
        at = found + pattern.size();
    }
    if (at == 0)
        return text;
    result += QStringView(text).sliced(at);
    return result;
}

} // namespace tickwell
