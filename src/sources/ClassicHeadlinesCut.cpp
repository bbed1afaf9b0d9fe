#include "sources/ClassicHeadlinesCut.h"

#include "sources/PageCutting.h"
#include "text/CText.h"
#include "text/StringExtensions.h"

#include <QStringDecoder>

namespace tickwell {

namespace {

constexpr QStringView kBlockBegin = u"Filter Headlines";
constexpr QStringView kBlockEnd = u"More Headlines";
constexpr QStringView kCiteBegin = u"<cite>";
constexpr QStringView kCiteEnd = u"</cite>";

// Strict UTF-8: an entry cut in the middle of a character does not decode.
std::optional<QString> decodeUtf8(const CString256 &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

// The source line of the article: the cite after the first mention of its address in the block.
std::optional<QString> sourceLine(const SearchableText &block, const QString &address)
{
    const qsizetype addressAt = block.indexOf(address);
    if (addressAt < 0)
        return std::nullopt;
    const auto cite = CutBetween(block, addressAt + address.size(), kCiteBegin, kCiteEnd);
    if (!cite)
        return std::nullopt;
    return ReplaceIgnoringAsciiCase(ReplaceIgnoringAsciiCase(*cite, u"<span>", u" "), u"</span>", u" ");
}

} // namespace

std::optional<std::vector<SnapshotHeadline>> CutHeadlines(const SearchableText &page)
{
    const auto blockText = page.extractBetweenPattern(kBlockBegin, kBlockEnd);
    if (!blockText)
        return std::nullopt;
    const SearchableText block(*blockText);
    const QByteArray blockBytes = blockText->toUtf8();
    CList<CString256> addresses;
    CList<CString256> linkTexts;
    CText(std::string_view(blockBytes.constData(), static_cast<std::size_t>(blockBytes.size())))
        .classic_extract_hrefs(addresses, linkTexts);
    std::vector<SnapshotHeadline> headlines;
    for (std::size_t index = 0; index < addresses.size(); ++index) {
        const auto address = decodeUtf8(addresses[index]);
        if (!address || !address->startsWith(QLatin1String("http://")))
            continue;
        std::optional<QString> text = index < linkTexts.size() ? decodeUtf8(linkTexts[index]) : std::nullopt;
        if (text)
            text = removeExtraWhiteSpace(stringByDecodingHTMLEntities(*text));
        headlines.push_back(SnapshotHeadline{*address, std::move(text), sourceLine(block, *address)});
    }
    return headlines;
}

} // namespace tickwell
