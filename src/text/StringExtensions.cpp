#include "text/StringExtensions.h"

#include "text/ParsedHtml.h"
#include "text/PageDecoding.h"

#include <QStringList>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tickwell {

qsizetype indexOfIgnoringAsciiCase(QStringView text, QStringView pattern, qsizetype from)
{
    from = std::max<qsizetype>(from, 0);
    const qsizetype patternLength = pattern.size();
    if (patternLength == 0 || from > text.size() - patternLength)
        return -1;

    const char16_t *haystack = text.utf16();
    const char16_t *needle = pattern.utf16();
    const char16_t firstLower = foldAsciiCase(needle[0]);
    const char16_t firstUpper = (firstLower >= u'a' && firstLower <= u'z') ? char16_t(firstLower - (u'a' - u'A'))
                                                                          : firstLower;
    const qsizetype last = text.size() - patternLength;
    for (qsizetype i = from; i <= last; ++i) {
        if (firstLower == firstUpper) {
            // Markup patterns start with '<' or the like: let Qt's vectorised search find candidates.
            i = text.indexOf(QChar(firstLower), i);
            if (i < 0 || i > last)
                return -1;
        } else if (haystack[i] != firstLower && haystack[i] != firstUpper) {
            continue;
        }
        qsizetype k = 1;
        while (k < patternLength && foldAsciiCase(haystack[i + k]) == foldAsciiCase(needle[k]))
            ++k;
        if (k == patternLength)
            return i;
    }
    return -1;
}

std::optional<QString> extractBetweenPattern(QStringView text, QStringView begin, QStringView end)
{
    const qsizetype beginAt = indexOfIgnoringAsciiCase(text, begin);
    if (beginAt < 0)
        return std::nullopt;
    const qsizetype start = beginAt + begin.size();
    const qsizetype endAt = indexOfIgnoringAsciiCase(text, end, start);
    if (endAt < 0)
        return std::nullopt;
    return text.sliced(start, endAt - start).toString();
}

// ---------------------------------------------------------------------------------------------
// flattenHTML

namespace {

bool IsBlockElement(GumboTag tag)
{
    switch (tag) {
    case GUMBO_TAG_ADDRESS: case GUMBO_TAG_ARTICLE: case GUMBO_TAG_ASIDE: case GUMBO_TAG_BLOCKQUOTE:
    case GUMBO_TAG_CAPTION: case GUMBO_TAG_CENTER: case GUMBO_TAG_DD: case GUMBO_TAG_DETAILS:
    case GUMBO_TAG_DIR: case GUMBO_TAG_DIV: case GUMBO_TAG_DL: case GUMBO_TAG_DT:
    case GUMBO_TAG_FIELDSET: case GUMBO_TAG_FIGCAPTION: case GUMBO_TAG_FIGURE: case GUMBO_TAG_FOOTER:
    case GUMBO_TAG_FORM: case GUMBO_TAG_H1: case GUMBO_TAG_H2: case GUMBO_TAG_H3: case GUMBO_TAG_H4:
    case GUMBO_TAG_H5: case GUMBO_TAG_H6: case GUMBO_TAG_HEADER: case GUMBO_TAG_HGROUP: case GUMBO_TAG_HR:
    case GUMBO_TAG_LEGEND: case GUMBO_TAG_LI: case GUMBO_TAG_LISTING: case GUMBO_TAG_MAIN: case GUMBO_TAG_MENU:
    case GUMBO_TAG_NAV: case GUMBO_TAG_OL: case GUMBO_TAG_P: case GUMBO_TAG_PLAINTEXT: case GUMBO_TAG_PRE:
    case GUMBO_TAG_SECTION: case GUMBO_TAG_SUMMARY: case GUMBO_TAG_TABLE: case GUMBO_TAG_TR:
    case GUMBO_TAG_UL: case GUMBO_TAG_XMP:
        return true;
    default:
        return false;
    }
}

// Elements whose contents are never shown as text.
bool IsHiddenElement(GumboTag tag)
{
    switch (tag) {
    case GUMBO_TAG_HEAD: case GUMBO_TAG_SCRIPT: case GUMBO_TAG_STYLE: case GUMBO_TAG_TITLE:
    case GUMBO_TAG_TEMPLATE: case GUMBO_TAG_IFRAME: case GUMBO_TAG_NOEMBED: case GUMBO_TAG_NOFRAMES:
        return true;
    default:
        return false;
    }
}

bool IsTableCell(const GumboNode *node)
{
    return node->type == GUMBO_NODE_ELEMENT
        && (node->v.element.tag == GUMBO_TAG_TD || node->v.element.tag == GUMBO_TAG_TH);
}

bool HasLaterCell(const GumboNode *cell)
{
    const GumboNode *row = cell->parent;
    if (!row || (row->type != GUMBO_NODE_ELEMENT))
        return false;
    const GumboVector &siblings = row->v.element.children;
    for (unsigned i = static_cast<unsigned>(cell->index_within_parent) + 1; i < siblings.length; ++i) {
        if (IsTableCell(static_cast<const GumboNode *>(siblings.data[i])))
            return true;
    }
    return false;
}

// Collects the text of a parsed document. Text nodes keep their white space as written: callers
// split flattened table rows at the line feeds of the source. Walks with its own stack, since
// hostile pages nest elements deeper than the call stack allows.
class TextCollector {
public:
    std::string collect(const GumboNode *root)
    {
        struct Frame {
            const GumboNode *node;
            unsigned nextChild;
        };
        std::vector<Frame> stack;
        if (enter(root))
            stack.push_back({root, 0});
        while (!stack.empty()) {
            Frame &frame = stack.back();
            const GumboVector &children = frame.node->v.element.children;
            if (frame.nextChild < children.length) {
                const auto *child = static_cast<const GumboNode *>(children.data[frame.nextChild++]);
                if (enter(child))
                    stack.push_back({child, 0});
                continue;
            }
            leave(frame.node);
            stack.pop_back();
        }
        return std::move(m_text);
    }

private:
    // Emits what comes before a node's children; true when the children are to be walked.
    bool enter(const GumboNode *node)
    {
        switch (node->type) {
        case GUMBO_NODE_TEXT:
        case GUMBO_NODE_WHITESPACE:
        case GUMBO_NODE_CDATA:
            m_text += node->v.text.text;
            return false;
        case GUMBO_NODE_DOCUMENT:
            return true;
        case GUMBO_NODE_ELEMENT: {
            const GumboTag tag = node->v.element.tag;
            if (IsHiddenElement(tag))
                return false;
            if (tag == GUMBO_TAG_BR) {
                m_text += '\n';
                return false;
            }
            if (IsBlockElement(tag))
                endLine();
            return true;
        }
        case GUMBO_NODE_COMMENT:
        case GUMBO_NODE_TEMPLATE:
        default:
            return false;
        }
    }

    void leave(const GumboNode *node)
    {
        if (node->type != GUMBO_NODE_ELEMENT)
            return;
        if (IsBlockElement(node->v.element.tag))
            endLine();
        else if (IsTableCell(node) && HasLaterCell(node))
            m_text += '\t';
    }

    void endLine()
    {
        if (!m_text.empty() && m_text.back() != '\n')
            m_text += '\n';
    }

    std::string m_text;
};

} // namespace

QString flattenHTML(const QString &html)
{
    if (html.isEmpty())
        return html;
    // Short texts go to the parser as Mac OS Roman, longer ones as Unicode; a short text that
    // Mac OS Roman cannot hold is given back as it is.
    if (html.size() < 4 && !EncodeMacRoman(html))
        return html;

    const QByteArray utf8 = html.toUtf8();
    const ParsedHtml parsed(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
    if (!parsed.document())
        return html;
    return QString::fromStdString(TextCollector().collect(parsed.document()));
}

// ---------------------------------------------------------------------------------------------
// stringByDecodingHTMLEntities

namespace {

bool StartsWithIgnoringAsciiCase(QStringView text, qsizetype at, QStringView prefix)
{
    if (text.size() - at < prefix.size())
        return false;
    for (qsizetype k = 0; k < prefix.size(); ++k) {
        if (foldAsciiCase(text[at + k].unicode()) != foldAsciiCase(prefix[k].unicode()))
            return false;
    }
    return true;
}

int HexDigitValue(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

bool IsDecimalDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Reads a number at cursor; only its low 16 bits are kept, so long digit runs cannot overflow.
// Advances cursor past what was read; nothing (and cursor unchanged) when no digit follows.
std::optional<char16_t> ReadNumber(QStringView text, qsizetype &cursor, bool hexadecimal)
{
    qsizetype at = cursor;
    bool negative = false;
    if (!hexadecimal && at < text.size() && (text[at] == u'-' || text[at] == u'+')) {
        negative = text[at] == u'-';
        ++at;
    }
    const qsizetype digitsStart = at;
    std::uint32_t value = 0;
    for (; at < text.size(); ++at) {
        const char16_t c = text[at].unicode();
        const int digit = hexadecimal ? HexDigitValue(c) : (IsDecimalDigit(c) ? c - u'0' : -1);
        if (digit < 0)
            break;
        value = (value * (hexadecimal ? 16u : 10u) + static_cast<std::uint32_t>(digit)) & 0xFFFFu;
    }
    if (at == digitsStart)
        return std::nullopt;
    cursor = at;
    if (negative)
        value = (0x10000u - value) & 0xFFFFu;
    return static_cast<char16_t>(value);
}

bool EndsUnreadableReference(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u';';
}

struct NamedEntity {
    QStringView text;
    QChar replacement;
};

constexpr std::array<NamedEntity, 6> kNamedEntities{{
    {u"&amp;", u'&'},
    {u"&apos;", u'\''},
    {u"&nbsp;", u' '},
    {u"&quot;", u'"'},
    {u"&lt;", u'<'},
    {u"&gt;", u'>'},
}};

} // namespace

QString stringByDecodingHTMLEntities(const QString &text)
{
    if (!text.contains(u'&'))
        return text;

    const QStringView source(text);
    QString result;
    result.reserve(source.size() + source.size() / 4);
    qsizetype cursor = 0;
    while (cursor < source.size()) {
        qsizetype ampersand = source.indexOf(u'&', cursor);
        if (ampersand < 0)
            ampersand = source.size();
        result += source.sliced(cursor, ampersand - cursor);
        cursor = ampersand;
        if (cursor == source.size())
            break;

        bool named = false;
        for (const NamedEntity &entity : kNamedEntities) {
            if (StartsWithIgnoringAsciiCase(source, cursor, entity.text)) {
                result += entity.replacement;
                cursor += entity.text.size();
                named = true;
                break;
            }
        }
        if (named)
            continue;

        if (!StartsWithIgnoringAsciiCase(source, cursor, u"&#")) {
            result += u'&';
            ++cursor;
            continue;
        }

        cursor += 2;
        const qsizetype markerAt = cursor;
        const bool hexadecimal = cursor < source.size() && (source[cursor] == u'x' || source[cursor] == u'X');
        if (hexadecimal)
            ++cursor;
        if (const std::optional<char16_t> unit = ReadNumber(source, cursor, hexadecimal)) {
            result += QChar(*unit);
            if (cursor < source.size() && source[cursor] == u';')
                ++cursor;
            continue;
        }
        // Not a number: pass the reference through as written, up to the next separator.
        qsizetype stop = cursor;
        while (stop < source.size() && !EndsUnreadableReference(source[stop]))
            ++stop;
        result += u"&#";
        result += source.sliced(markerAt, stop - markerAt);
        cursor = stop;
    }
    return result;
}

// ---------------------------------------------------------------------------------------------

QString removeExtraWhiteSpace(const QString &text)
{
    QString spaced = text;
    spaced.replace(u'\t', u' ').replace(u'\n', u' ');
    return spaced.split(u' ', Qt::SkipEmptyParts).join(u' ');
}

QString cleanForFilename(const QString &text)
{
    QString cleaned = text;
    cleaned.replace(u'/', u'-').replace(u':', u'-');
    return cleaned;
}

} // namespace tickwell
