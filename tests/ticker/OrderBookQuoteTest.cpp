#include "ticker/OrderBookQuote.h"

#include <gtest/gtest.h>

namespace tickwell::testing {
namespace {

QString Document(const QString &company, const QString &trades)
{
    return QStringLiteral("{\"success\":true,\"data\":{\"symbol\":\"ACME\",\"company\":\"") + company
           + QStringLiteral("\",\"asks\":[[300,\"0150.3000\"]],\"trades\":") + trades + QStringLiteral("}}");
}

TEST(OrderBookQuoteTest, PriceOfTheFirstTrade)
{
    struct Case {
        const char *name;
        QString trades;
        std::optional<QString> price;
    };
    const Case cases[] = {
        {"zeros around", QStringLiteral("[[\"09:30:00\",100,\"0012.3400\"],[\"09:29:00\",5,\"0011.0000\"]]"), QStringLiteral("12.34")},
        {"whole price keeps its point", QStringLiteral("[[\"09:30:00\",100,\"0100.0000\"]]"), QStringLiteral("100.")},
        {"zeros inside stay", QStringLiteral("[[\"09:30:00\",100,\"1000.0500\"]]"), QStringLiteral("1000.05")},
        {"price below one", QStringLiteral("[[\"09:30:00\",100,\"0000.5000\"]]"), QStringLiteral(".5")},
        {"only zeros", QStringLiteral("[[\"09:30:00\",100,\"0000\"]]"), std::nullopt},
        {"zeros around a point", QStringLiteral("[[\"09:30:00\",100,\"0000.0000\"]]"), std::nullopt},
        {"empty price", QStringLiteral("[[\"09:30:00\",100,\"\"]]"), std::nullopt},
        {"unquoted price", QStringLiteral("[[\"09:30:00\",100,12.34]]"), std::nullopt},
        {"unquoted time", QStringLiteral("[[93000,100,\"0012.3400\"]]"), std::nullopt},
        {"two parts", QStringLiteral("[[\"09:30:00\",\"0012.3400\"]]"), std::nullopt},
        {"four parts", QStringLiteral("[[\"09:30:00\",100,\"0012.3400\",1]]"), std::nullopt},
        {"no trades", QStringLiteral("[]"), std::nullopt},
    };
    for (const Case &c : cases)
        EXPECT_EQ(OrderBookPrice(Document(QStringLiteral("Acme Corp."), c.trades)), c.price) << c.name;
    EXPECT_EQ(OrderBookPrice(QStringLiteral("not a document")), std::nullopt);
    EXPECT_EQ(OrderBookPrice(QStringLiteral("{\"trades\":[[\"09:30:00\",100,\"0012.3400\"")), std::nullopt); // cut short
}

TEST(OrderBookQuoteTest, CompanyAndUnknownSymbols)
{
    EXPECT_EQ(OrderBookCompany(Document(QStringLiteral("Acme Corp."), QStringLiteral("[]"))), QStringLiteral("Acme Corp."));
    EXPECT_EQ(OrderBookCompany(QStringLiteral("{\"company\": \"spaced\"}")), std::nullopt); // the layout is fixed
    EXPECT_EQ(OrderBookCompany(QStringLiteral("{}")), std::nullopt);
    for (const char *company : {"Unknown symbol", "UNKNOWN SYMBOL", "unknown Symbol: ZZZZ"})
        EXPECT_TRUE(IsUnknownSymbolCompany(QString::fromLatin1(company))) << company;
    for (const char *company : {"Acme Corp.", "An unknown symbol", ""})
        EXPECT_FALSE(IsUnknownSymbolCompany(QString::fromLatin1(company))) << company;
}

TEST(OrderBookQuoteTest, TrimZeros)
{
    EXPECT_EQ(TrimZeros(QStringLiteral("0012.3400")), QStringLiteral("12.34"));
    EXPECT_EQ(TrimZeros(QStringLiteral("000")), QString());
    EXPECT_EQ(TrimZeros(QStringLiteral("")), QString());
    EXPECT_EQ(TrimZeros(QStringLiteral("105")), QStringLiteral("105"));
}

} // namespace
} // namespace tickwell::testing
