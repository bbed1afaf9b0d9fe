// Entity decoding, HTML flattening and white-space folding over page text.

#include "FuzzCheck.h"
#include "text/ParsedHtml.h"
#include "text/MarkupNestingLimit.h"
#include "text/PageDecoding.h"
#include "text/StringExtensions.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

using namespace tickwell;

namespace {

QString EscapeForHtml(const QString &text)
{
    QString escaped = text;
    return escaped.replace(u'&', QStringLiteral("&amp;")).replace(u'<', QStringLiteral("&lt;"))
        .replace(u'>', QStringLiteral("&gt;")).replace(u'"', QStringLiteral("&quot;"));
}

// Depth of the parsed tree, walked with a stack of our own.
int TreeDepth(const GumboNode *root)
{
    int deepest = 0;
    std::vector<std::pair<const GumboNode *, int>> pending { { root, 1 } };
    while (!pending.empty()) {
        const auto [node, depth] = pending.back();
        pending.pop_back();
        deepest = std::max(deepest, depth);
        if (node->type != GUMBO_NODE_ELEMENT && node->type != GUMBO_NODE_DOCUMENT && node->type != GUMBO_NODE_TEMPLATE)
            continue;
        const GumboVector &children = node->v.element.children;
        for (unsigned i = 0; i < children.length; ++i)
            pending.emplace_back(static_cast<const GumboNode *>(children.data[i]), depth + 1);
    }
    return deepest;
}

void CheckEntityDecoding(const QString &text)
{
    const QString decoded = stringByDecodingHTMLEntities(text);
    FUZZ_CHECK(decoded.size() <= text.size());
    if (!text.contains(u'&'))
        FUZZ_CHECK(decoded.constData() == text.constData());
    FUZZ_CHECK(stringByDecodingHTMLEntities(EscapeForHtml(text)) == text);
}

void CheckWhiteSpaceFolding(const QString &text)
{
    const QString folded = removeExtraWhiteSpace(text);
    FUZZ_CHECK(!folded.startsWith(u' ') && !folded.endsWith(u' ') && !folded.contains(QStringLiteral("  ")));
    FUZZ_CHECK(!folded.contains(u'\t') && !folded.contains(u'\n'));
    FUZZ_CHECK(removeExtraWhiteSpace(folded) == folded);
    QString words = text;
    words.replace(u'\t', u' ').replace(u'\n', u' ').remove(u' ');
    FUZZ_CHECK(QString(folded).remove(u' ') == words);
}

void CheckFlattening(const QByteArray &bytes, const QString &text)
{
    // The parser never sees a tree deeper than the limit allows, whatever the markup.
    const QByteArray limited = LimitMarkupNesting(bytes);
    FUZZ_CHECK(limited.size() <= bytes.size());
    const ParsedHtml document(std::string_view(limited.constData(), size_t(limited.size())));
    FUZZ_CHECK(document.document() != nullptr);
    FUZZ_CHECK(TreeDepth(document.document()) <= 3 * kMaxMarkupDepth);

    const QString flat = flattenHTML(text);
    // Printable text without markup or entities comes out as it went in, but for white space
    // before the first character (control characters and noncharacters the parser may drop).
    const bool plain = std::all_of(text.cbegin(), text.cend(), [](QChar c) {
        const bool control = (c.unicode() < 0x20 && c != u'\t' && c != u'\n') || (c.unicode() >= 0x7f && c.unicode() < 0xa0);
        return c != u'<' && c != u'&' && !control && !c.isSurrogate() && !c.isNonCharacter();
    });
    if (plain && text.size() >= 4) {
        qsizetype start = 0;
        while (start < text.size() && (text[start] == u' ' || text[start] == u'\t' || text[start] == u'\n'))
            ++start;
        FUZZ_CHECK(flat == text.sliced(start));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QString text = DecodePageBytes(bytes);
    CheckEntityDecoding(text);
    CheckWhiteSpaceFolding(text);
    CheckFlattening(text.toUtf8(), text);
    return 0;
}
