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

void AddInteractiveChartGroup(const Hosts &hosts, Menu &submenu, const QString &symbol)
{
    static constexpr std::array<std::pair<const char16_t *, const char16_t *>, 8> kLinks{{
        {u"1 Day Share Price Chart", u"1d"},
        {u"5 Day Share Price Chart", u"5d"},
        {u"3 Month Share Price Chart", u"3m"},
        {u"6 Month Share Price Chart", u"6m"},
        {u"1 Year Share Price Chart", u"1y"},
        {u"2 Year Share Price Chart", u"2y"},
        {u"5 Year Share Price Chart", u"5y"},
        {u"Max Share Price Chart", u"my"},
    }};
    submenu.push_back(MenuItem::makeSeparator());
    for (const auto &[title, range] : kLinks) {
        MenuItem item = MenuItem::make(QString::fromUtf16(title), QStringLiteral("selItemInteractiveiChart:"));
        item.toolTip = InteractiveChartAddress(hosts, symbol, QString::fromUtf16(range));
        submenu.push_back(std::move(item));
    }
}

} // namespace tickwell
