#include "sources/HeadlinesGroup.h"

#include "sources/PageCutting.h"
#include "text/UrlTitleCache.h"
#include "text/StringExtensions.h"

namespace tickwell {

namespace {

constexpr double kSourcePointSize = 12.0;

// The title the menu shows for a link: the one remembered for the address, else the link's own
// text, else the title the refresh looked up. Nothing (the link is left out until a refresh has
// looked it up): the build never waits for the network.
std::optional<QString> headlineTitle(const SectionContext &context, const SnapshotHeadline &link)
{
    if (const auto cached = context.state.m_urlTitles.constFind(link.address); cached != context.state.m_urlTitles.constEnd())
        return *cached;
    if (link.text)
        return link.text;
    const std::optional<QString> lookedUp = UrlTitleCache::shared().cachedTitle(link.address);
    if (!lookedUp)
        return std::nullopt;
    return removeExtraWhiteSpace(stringByDecodingHTMLEntities(*lookedUp));
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

std::vector<QString> HeadlineAddressesWithoutTitle(const std::optional<std::vector<SnapshotHeadline>> &headlines,
                                                   const QHash<QString, QString> &urlTitles)
{
    std::vector<QString> untitled;
    if (!headlines)
        return untitled;
    for (const SnapshotHeadline &link : *headlines) {
        if (!link.text && !urlTitles.contains(link.address) && !UrlTitleCache::shared().cachedTitle(link.address))
            untitled.push_back(link.address);
    }
    return untitled;
}

void AddHeadlinesGroup(SectionContext &context, Menu &submenu, const std::optional<std::vector<SnapshotHeadline>> &headlines,
                       const QString &symbol, const std::optional<QString> &company)
{
    submenu.push_back(MenuItem::makeSeparator());
    submenu.push_back(MenuItem::make(FillFormat(u"Headlines for %@", {company.value_or(symbol)})));
    if (!headlines)
        return;

    for (const SnapshotHeadline &link : *headlines) {
        const std::optional<QString> title = headlineTitle(context, link);
        if (!title)
            continue;
        QList<HeadlineRecord> &records = context.state.m_headlines[symbol];
        records.append(HeadlineRecord{link.address, *title, std::nullopt});
        context.state.m_urlTitles.insert(link.address, *title);
        submenu.push_back(headlineItem(*title, link.address));
        if (!link.source)
            continue;
        records.back().timeString = FillFormat(u"\"%@\" %@", {*title, *link.source});
        MenuItem sourceItem = MenuItem::make(*link.source);
        sourceItem.styledTitle = std::vector<StyledRun>{StyledRun{*link.source, kSourcePointSize, std::nullopt}};
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
