#include "live/LiveInstruments.h"

namespace tickwell {

const std::vector<LiveInstrument> &LiveInstruments()
{
    using S = LiveMarketSection;
    static const std::vector<LiveInstrument> instruments{
        {S::Indices, QStringLiteral("^DJI"), QStringLiteral("Dow"), QStringLiteral("Dow"), 2},
        {S::Indices, QStringLiteral("^IXIC"), QStringLiteral("Nasdaq"), QStringLiteral("Nasdaq"), 2},
        {S::Indices, QStringLiteral("^GSPC"), QStringLiteral("S&P"), QStringLiteral("S&P"), 2},
        // The dollar index is quoted to three decimals, as the index pages gave it.
        {S::DollarIndex, QStringLiteral("DX-Y.NYB"), QStringLiteral("U.S. Dollar Index"),
         QStringLiteral("U.S. Dollar Index"), 3},
        {S::Metals, QStringLiteral("GC=F"), QStringLiteral("Gold"), QStringLiteral("Gold (futures)"), 2},
        {S::Metals, QStringLiteral("SI=F"), QStringLiteral("Silver"), QStringLiteral("Silver (futures)"), 2},
        {S::Metals, QStringLiteral("PL=F"), QStringLiteral("Platinum"), QStringLiteral("Platinum (futures)"), 2},
        {S::Metals, QStringLiteral("PA=F"), QStringLiteral("Palladium"), QStringLiteral("Palladium (futures)"), 2},
    };
    return instruments;
}

} // namespace tickwell
