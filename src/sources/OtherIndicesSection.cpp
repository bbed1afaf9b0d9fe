#include "sources/OtherIndicesSection.h"

#include "sources/MarketLine.h"

namespace tickwell {

void addOtherMarketIndices(SectionContext &context)
{
    if (const auto &dollar = context.state.m_quotes.dollarIndex)
        context.menu.push_back(MakeMarketLine(context.state, *dollar, QStringLiteral("selItemOtherMarketIndices:")));
}

} // namespace tickwell
