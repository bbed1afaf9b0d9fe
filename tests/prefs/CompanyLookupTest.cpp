#include "support/FakeUrlLoader.h"
#include "support/MemorySettingsStore.h"
#include "prefs/CompanyLookup.h"

#include <gtest/gtest.h>

namespace tickwell {
namespace {

QString quoteAddress(const QString &symbol)
{
    return QStringLiteral("http://127.0.0.1:9/q?s=") + symbol;
}

class CompanyLookupTest : public ::testing::Test {
protected:
    MemorySettingsStore settings{QVariantMap{{"QuotePageHost", QStringLiteral("127.0.0.1:9")}}};
    FakeUrlLoader loader;
    CompanyLookup lookup{settings, loader};
};

TEST_F(CompanyLookupTest, CutsTheNameOutOfTheQuotePageOncePerSymbol)
{
    const std::pair<QByteArray, std::optional<QString>> pages[] = {
        {"<title>Summary for International Business Machines - Yahoo</title>", QStringLiteral("International Business Machines ")},
        {"<h1>SUMMARY FOR Acme Corp- x</h1>", QStringLiteral("Acme Corp")},
        {"Summary for Coca-Cola Co - NYSE", QStringLiteral("Coca")},
        {"Summary for Nobody", std::nullopt},
        // Not UTF-8: read as Mac OS Roman, where 0x8E is e with acute.
        {"Summary for Soci\x8Et\x8E G\x8En\x8Erale - Paris", QString::fromUtf8("Soci\xC3\xA9t\xC3\xA9 G\xC3\xA9n\xC3\xA9rale ")},
    };
    int number = 0;
    for (const auto &[page, company] : pages) {
        const QString symbol = QStringLiteral("S%1").arg(++number);
        loader.serve(quoteAddress(symbol), page);
        EXPECT_EQ(lookup.getCompanyForSymbol(symbol), company) << page.toStdString();
    }
    // Each symbol is fetched once, even when it fails: later asks answer "" from the cache.
    loader.clearRequests();
    loader.serve(quoteAddress("IBM"), "Summary for IBM Corp - x");
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(lookup.getCompanyForSymbol("IBM"), QStringLiteral("IBM Corp "));
        EXPECT_EQ(lookup.getCompanyForSymbol("NOPE"), i == 0 ? std::nullopt : std::optional<QString>(QString()));
    }
    loader.serve(quoteAddress("NOPE"), "Summary for Now There - x");
    EXPECT_EQ(lookup.getCompanyForSymbol("NOPE"), QString());
    // The placeholder and a symbol that makes no valid address request nothing.
    EXPECT_EQ(lookup.getCompanyForSymbol(QStringLiteral("????")), QString());
    EXPECT_EQ(lookup.getCompanyForSymbol("BRK B"), std::nullopt);
    EXPECT_EQ(loader.requests(), (QStringList{quoteAddress("IBM"), quoteAddress("NOPE")}));
}

} // namespace
} // namespace tickwell
