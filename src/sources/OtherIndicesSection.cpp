#include "sources/OtherIndicesSection.h"

#include "sources/MarketLine.h"
#include "sources/PageCutting.h"
#include "sources/SourceAddresses.h"

namespace tickwell {

namespace {

constexpr QStringView kRisingCell = u"<dd class=\"up\">";
constexpr QStringView kFallingCell = u"<dd class=\"down\">";
constexpr QStringView kCellEnd = u"</dd>";

} // namespace

void addOtherMarketIndices(SectionContext &context)
{
    const SearchableText *page = context.state.m_urlContents.pageText(OtherIndicesPageAddress(context.hosts));
    if (!page)
        return;
    const QString anchor = QStringLiteral("<a href=\"http://") + context.hosts.otherIndices
                           + QStringLiteral("/chart/?s=NYBOT_DX\">US Dollar</a>");
    const qsizetype anchorAt = page->indexOf(anchor);
    if (anchorAt < 0)
        return;

    // Cells of either kind are taken in page order, so each value belongs to this anchor.
    const auto value = CutBetweenNearer(*page, anchorAt, kRisingCell, kFallingCell, kCellEnd);
    if (!value)
        return;
    // The value's own cell opens before the value text, so the next cell after it is the change.
    const qsizetype valueAt = page->indexOf(*value, anchorAt);
    if (valueAt < 0)
        return;
    const auto changeCell = CutBetweenNearer(*page, valueAt, kRisingCell, kFallingCell, kCellEnd);
    if (!changeCell)
        return;
    const QStringList parts = changeCell->split(u' ');
    if (parts.size() != 2)
        return;

    context.menu.push_back(MakeMarketLine(context.state, FillFormat(u"U.S. Dollar Index: %@", {*value}),
                                          DirectionOfChangeText(parts[0]), parts[0], parts[1],
                                          QStringLiteral("selItemOtherMarketIndices:")));
}

} // namespace tickwell
