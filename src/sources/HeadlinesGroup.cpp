#include "sources/HeadlinesGroup.h"

#include "sources/PageCutting.h"
#include "text/CText.h"
#include "text/UrlTitleCache.h"
#include "text/StringExtensions.h"

#include <QStringDecoder>

namespace tickwell {

namespace {

constexpr QStringView kBlockBegin = u"Filter Headlines";
constexpr QStringView kBlockEnd = u"More Headlines";
constexpr QStringView kCiteBegin = u"<cite>";
constexpr QStringView kCiteEnd = u"</cite>";
constexpr double kSourcePointSize = 12.0;

// Strict UTF-8: an entry cut in the middle of a character does not decode.
std::optional<QString> decodeUtf8(const CString256 &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

// The title the menu shows for a link: the one remembered for the address, else the link's own
// text, else the title the refresh looked up. Nothing (the link is left out until a refresh has
// looked it up): the build never waits for the network.
std::optional<QString> headlineTitle(const SectionContext &context, const HeadlineLink &link)
{
    if (const auto cached = context.state.m_urlTitles.constFind(link.address); cached != context.state.m_urlTitles.constEnd())
        return *cached;
    std::optional<QString> text = link.text;
    if (!text)
        text = UrlTitleCache::shared().cachedTitle(link.address);
    if (!text)
        return std::nullopt;
    return removeExtraWhiteSpace(stringByDecodingHTMLEntities(*text));
}

MenuItem headlineItem(const QString &title, const QString &address)
{
    MenuItem save = MenuItem::make(QStringLiteral("Save"), QStringLiteral("selectPrintItemHeadline:"));
    save.toolTip = address;
    MenuItem item = MenuItem::make(title, QStringLiteral("selectItemHeadline:"));
    item.toolTip = address;
    item.submenu = Menu{std::move(save)};
    return item;
}

} // namespace

std::optional<HeadlineBlock> CutHeadlineBlock(const SearchableText &page)
{
    const auto blockText = page.extractBetweenPattern(kBlockBegin, kBlockEnd);
    if (!blockText)
        return std::nullopt;
    HeadlineBlock headlines{SearchableText(*blockText), {}};
    const QByteArray blockBytes = blockText->toUtf8();
    CList<CString256> addresses;
    CList<CString256> linkTexts;
    CText(std::string_view(blockBytes.constData(), static_cast<std::size_t>(blockBytes.size())))
        .classic_extract_hrefs(addresses, linkTexts);
    for (std::size_t index = 0; index < addresses.size(); ++index) {
        const auto address = decodeUtf8(addresses[index]);
        if (!address || !address->startsWith(QLatin1String("http://")))
            continue;
        headlines.links.push_back(HeadlineLink{*address, index < linkTexts.size() ? decodeUtf8(linkTexts[index]) : std::nullopt});
    }
    return headlines;
}

std::vector<QString> HeadlineAddressesWithoutTitle(const SearchableText &page, const QHash<QString, QString> &urlTitles)
{
    std::vector<QString> untitled;
    const std::optional<HeadlineBlock> headlines = CutHeadlineBlock(page);
    if (!headlines)
        return untitled;
    for (const HeadlineLink &link : headlines->links) {
        if (!link.text && !urlTitles.contains(link.address) && !UrlTitleCache::shared().cachedTitle(link.address))
            untitled.push_back(link.address);
    }
    return untitled;
}

void AddHeadlinesGroup(SectionContext &context, Menu &submenu, const SearchableText &page, const QString &symbol,
                       const std::optional<QString> &company)
{
    submenu.push_back(MenuItem::makeSeparator());
    submenu.push_back(MenuItem::make(FillFormat(u"Headlines for %@", {company.value_or(symbol)})));

    const std::optional<HeadlineBlock> headlines = CutHeadlineBlock(page);
    if (!headlines)
        return;
    const SearchableText &block = headlines->block;

    for (const HeadlineLink &link : headlines->links) {
        const std::optional<QString> title = headlineTitle(context, link);
        if (!title)
            continue;
        QList<HeadlineRecord> &records = context.state.m_headlines[symbol];
        records.append(HeadlineRecord{link.address, *title, std::nullopt});
        context.state.m_urlTitles.insert(link.address, *title);
        submenu.push_back(headlineItem(*title, link.address));

        const qsizetype addressAt = block.indexOf(link.address);
        if (addressAt < 0)
            continue;
        const auto cite = CutBetween(block, addressAt + link.address.size(), kCiteBegin, kCiteEnd);
        if (!cite)
            continue;
        const QString source =
            ReplaceIgnoringAsciiCase(ReplaceIgnoringAsciiCase(*cite, u"<span>", u" "), u"</span>", u" ");
        records.back().timeString = FillFormat(u"\"%@\" %@", {*title, source});
        MenuItem sourceItem = MenuItem::make(source);
        sourceItem.styledTitle = std::vector<StyledRun>{StyledRun{source, kSourcePointSize, std::nullopt}};
        submenu.push_back(std::move(sourceItem));
    }
}

void AddHeadlineSectionItems(SectionContext &context)
{
    context.menu.push_back(MenuItem::makeSeparator());
    if (context.state.m_isSaving) {
        MenuItem stop = MenuItem::make(QStringLiteral("Stop Saving All Headlines"), QStringLiteral("selItemStopSaving:"));
        stop.toolTip = QStringLiteral("Stop saving headlines");
        context.menu.push_back(std::move(stop));
    } else {
        MenuItem save = MenuItem::make(QStringLiteral("Save All Headlines..."), QStringLiteral("selItemSaveAllHeadlines:"));
        save.toolTip = QStringLiteral("Save each current submenu headline to a PDF or Web Archive. Each document is "
                                      "named using the title of the headline.");
        context.menu.push_back(std::move(save));
    }
    MenuItem folder = MenuItem::make(QStringLiteral("Go to Headlines folder..."), QStringLiteral("selItemHeadlinesFolder:"));
    folder.toolTip = QStringLiteral("Go to the Headlines download folder. The Headlines download folder can be changed "
                                    "in Preferences.");
    context.menu.push_back(std::move(folder));
}

} // namespace tickwell
