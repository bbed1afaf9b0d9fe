#include "sources/PageCutting.h"

#include "text/StringExtensions.h"

namespace tickwell {

namespace {

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
    return flattenHTML(html);
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
