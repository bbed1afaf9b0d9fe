#include "platform/FakeUrlLoader.h"
#include "platform/MemorySettingsStore.h"
#include "prefs/CompanyLookup.h"

#include "QtPrinting.h"

#include <gtest/gtest.h>

namespace tickwell {
namespace {

const QString kHost = QStringLiteral("127.0.0.1:9");

QString quoteAddress(const QString &symbol)
{
    return QStringLiteral("http://") + kHost + QStringLiteral("/q?s=") + symbol;
}

class CompanyLookupTest : public ::testing::Test {
protected:
    MemorySettingsStore settings{QVariantMap{{"QuotePageHost", kHost}}};
    FakeUrlLoader loader;
    CompanyLookup lookup{settings, loader};
};

struct PageCase {
    const char *name;
    QByteArray page;
    std::optional<QString> company;
};

void PrintTo(const PageCase &c, std::ostream *out) { *out << c.name; }

class CompanyPageTest : public CompanyLookupTest, public ::testing::WithParamInterface<PageCase> {};

TEST_P(CompanyPageTest, CutsTheNameOutOfTheQuotePage)
{
    loader.serve(quoteAddress("IBM"), GetParam().page);
    EXPECT_EQ(lookup.getCompanyForSymbol("IBM"), GetParam().company);
    EXPECT_EQ(loader.requests(), QStringList{quoteAddress("IBM")});
}

INSTANTIATE_TEST_SUITE_P(
    Pages, CompanyPageTest,
    ::testing::Values(
        PageCase{"BlankBeforeDashKept", "<title>Summary for International Business Machines - Yahoo</title>",
                 QStringLiteral("International Business Machines ")},
        PageCase{"BeginPatternIgnoresCase", "<h1>SUMMARY FOR Acme Corp- x</h1>", QStringLiteral("Acme Corp")},
        PageCase{"FirstDashEnds", "Summary for Coca-Cola Co - NYSE", QStringLiteral("Coca")},
        PageCase{"NoDash", "Summary for Nobody", std::nullopt},
        PageCase{"NoSummary", "<html>Quote not found</html>", std::nullopt},
        PageCase{"EmptyPage", "", std::nullopt},
        // Not UTF-8: read as Mac OS Roman, where 0x8E is e with acute.
        PageCase{"MacRomanPage", "Summary for Soci\x8Et\x8E G\x8En\x8Erale - Paris", QString::fromUtf8("Soci\xC3\xA9t\xC3\xA9 G\xC3\xA9n\xC3\xA9rale ")}),
    [](const auto &test) { return std::string(test.param.name); });

TEST_F(CompanyLookupTest, EachSymbolIsFetchedOnceEvenWhenItFails)
{
    loader.serve(quoteAddress("IBM"), "Summary for IBM Corp - x");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(lookup.getCompanyForSymbol("IBM"), QStringLiteral("IBM Corp "));
        // The failed lookup answers "" from the cache after the first time.
        const auto missing = lookup.getCompanyForSymbol("NOPE");
        EXPECT_EQ(missing, i == 0 ? std::nullopt : std::optional<QString>(QString()));
    }
    EXPECT_EQ(loader.requests(), (QStringList{quoteAddress("IBM"), quoteAddress("NOPE")}));

    // A page that appears later is not looked at again while the lookup lives.
    loader.serve(quoteAddress("NOPE"), "Summary for Now There - x");
    EXPECT_EQ(lookup.getCompanyForSymbol("NOPE"), QString());
    EXPECT_EQ(loader.requests().size(), 2);
}

TEST_F(CompanyLookupTest, PlaceholderAndUnusableSymbolsFetchNothing)
{
    EXPECT_EQ(lookup.getCompanyForSymbol(QStringLiteral("????")), QString());
    EXPECT_EQ(lookup.getCompanyForSymbol(QString()), std::nullopt);
    // A symbol with a space makes no valid address: nothing is requested, "" is cached.
    EXPECT_EQ(lookup.getCompanyForSymbol("BRK B"), std::nullopt);
    EXPECT_EQ(lookup.companyNames().value("BRK B"), QString());
    EXPECT_TRUE(loader.requests().isEmpty());
}

} // namespace
} // namespace tickwell
