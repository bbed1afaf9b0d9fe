// Entity decoding, HTML flattening and white-space folding over page text.

#include "FuzzCheck.h"
#include "sources/PageCutting.h"
#include "text/PageDecoding.h"
#include "text/StringExtensions.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

using namespace tickwell;

namespace {

QString EscapeForHtml(const QString &text)
{
    QString escaped = text;
    return escaped.replace(u'&', QStringLiteral("&amp;")).replace(u'<', QStringLiteral("&lt;"))
        .replace(u'>', QStringLiteral("&gt;")).replace(u'"', QStringLiteral("&quot;"));
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

// Flattening as the quote sources ask for it: fragments up to the size limit, whatever their
// markup, in bounded time (libFuzzer's -timeout and -rss_limit_mb catch the slow shapes).
void CheckFlattening(const QString &text)
{
    const std::optional<QString> fragment = FlattenFragment(text);
    FUZZ_CHECK(fragment.has_value() == (text.size() <= kLongestFlattenedFragment));
    if (!fragment)
        return;
    const QString &flat = *fragment;
    // Too few tags to reach the budget: the fragment is flattened as it is.
    if (text.count(u'<') <= kMostFormattingStartTags)
        FUZZ_CHECK(flat == flattenHTML(text));
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
    CheckFlattening(text);
    return 0;
}
