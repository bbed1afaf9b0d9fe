#include "sources/HeadlinesGroup.h"

#include "sources/PageCutting.h"
#include "text/CText.h"
#include "text/PageFetching.h"
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

QString headlineTitle(SectionContext &context, const QString &address, const CList<CString256> &linkTexts,
                      std::size_t index)
{
    if (const auto cached = context.state.m_urlTitles.constFind(address); cached != context.state.m_urlTitles.constEnd())
        return *cached;
    std::optional<QString> text;
    if (index < linkTexts.size())
        text = decodeUtf8(linkTexts[index]);
    if (!text)
        text = GetURLTitle(context.loader, address, context.clock.now());
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

void AddHeadlinesGroup(SectionContext &context, Menu &submenu, const SearchableText &page, const QString &symbol,
                       const std::optional<QString> &company)
{
    submenu.push_back(MenuItem::makeSeparator());
    submenu.push_back(MenuItem::make(FillFormat(u"Headlines for %@", {company.value_or(symbol)})));

    const auto blockText = page.extractBetweenPattern(kBlockBegin, kBlockEnd);
    if (!blockText)
        return;
    const SearchableText block(*blockText);
    const QByteArray blockBytes = blockText->toUtf8();
    CList<CString256> addresses;
    CList<CString256> linkTexts;
    CText(std::string_view(blockBytes.constData(), static_cast<std::size_t>(blockBytes.size())))
        .classic_extract_hrefs(addresses, linkTexts);

    for (std::size_t index = 0; index < addresses.size(); ++index) {
        const auto address = decodeUtf8(addresses[index]);
        if (!address || !address->startsWith(QLatin1String("http://")))
            continue;
        const QString title = headlineTitle(context, *address, linkTexts, index);

        // Looked up afresh for every record: the title lookup may take a while, and nothing here
        // relies on the lists staying put across it.
        QList<HeadlineRecord> &records = context.state.m_headlines[symbol];
        records.append(HeadlineRecord{*address, title, std::nullopt});
        const qsizetype recordIndex = records.size() - 1;
        context.state.m_urlTitles.insert(*address, title);
        submenu.push_back(headlineItem(title, *address));

        const qsizetype addressAt = block.indexOf(*address);
        if (addressAt < 0)
            continue;
        const auto cite = CutBetween(block, addressAt + address->size(), kCiteBegin, kCiteEnd);
        if (!cite)
            continue;
        const QString source =
            ReplaceIgnoringAsciiCase(ReplaceIgnoringAsciiCase(*cite, u"<span>", u" "), u"</span>", u" ");
        context.state.m_headlines[symbol][recordIndex].timeString = FillFormat(u"\"%@\" %@", {title, source});
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
