#include "sources/ChartLinksGroup.h"

#include "sources/SourceAddresses.h"

#include <array>
#include <utility>

namespace tickwell {

void AddChartImageGroup(const Hosts &hosts, Menu &submenu, const QString &symbol, const std::optional<SnapshotImage> &chart)
{
    submenu.push_back(MenuItem::makeSeparator());
    if (!chart)
        return;
    MenuItem item = MenuItem::make(QString(), QStringLiteral("selItemiChart:"));
    item.image = chart->address;
    item.imageData = chart->image;
    item.toolTip = ChartPageAddress(hosts, symbol);
    submenu.push_back(std::move(item));
}

namespace {

constexpr std::array<std::pair<QStringView, QStringView>, 8> kInteractiveLinks{{
    {u"1 Day Share Price Chart", u"1d"},
    {u"5 Day Share Price Chart", u"5d"},
    {u"3 Month Share Price Chart", u"3m"},
    {u"6 Month Share Price Chart", u"6m"},
    {u"1 Year Share Price Chart", u"1y"},
    {u"2 Year Share Price Chart", u"2y"},
    {u"5 Year Share Price Chart", u"5y"},
    {u"Max Share Price Chart", u"my"},
}};

} // namespace

void AddInteractiveChartGroup(const Hosts &hosts, Menu &submenu, const QString &symbol)
{
    submenu.push_back(MenuItem::makeSeparator());
    for (const auto &[title, range] : kInteractiveLinks) {
        MenuItem item = MenuItem::make(title.toString(), QStringLiteral("selItemInteractiveiChart:"));
        item.toolTip = hosts.classic.quotePage ? InteractiveChartAddress(hosts, symbol, range.toString()) : symbol;
        submenu.push_back(std::move(item));
    }
}

std::optional<QString> InteractiveChartRangeCode(const QString &title)
{
    for (const auto &[linkTitle, range] : kInteractiveLinks) {
        if (title == linkTitle)
            return range.toString();
    }
    return std::nullopt;
}

} // namespace tickwell
