#include "ticker/OrderBookQuote.h"

#include <gtest/gtest.h>

namespace tickwell::testing {
namespace {

// The first trade's price with the padding zeros trimmed; anything off the fixed layout gives none.
TEST(OrderBookQuoteTest, PriceOfTheFirstTrade)
{
    const std::pair<const char *, std::optional<QString>> cases[] = {
        {R"([["09:30:00",100,"0012.3400"],["09:29:00",5,"0011.0000"]])", QStringLiteral("12.34")},
        {R"([["09:30:00",100,"0100.0000"]])", QStringLiteral("100.")},
        {R"([["09:30:00",100,"0000.5000"]])", QStringLiteral(".5")},
        {R"([["09:30:00",100,"0000.0000"]])", std::nullopt},
        {R"([["09:30:00",100,12.34]])", std::nullopt},
        {R"([["09:30:00",100,"0012.3400",1]])", std::nullopt},
        {"[]", std::nullopt},
    };
    for (const auto &[trades, price] : cases)
        EXPECT_EQ(OrderBookPrice(QStringLiteral(R"({"data":{"company":"Acme","trades":)") + QLatin1String(trades) + QStringLiteral("}}")), price)
            << trades;
    EXPECT_EQ(OrderBookPrice(QStringLiteral(R"({"trades":[["09:30:00",100,"0012.3400")")), std::nullopt); // cut short
}

} // namespace
} // namespace tickwell::testing
