#include "SectionFixture.h"

#include "FeedMarket.h"
#include "MarketPages.h"
#include "QuotePages.h"

#include "sources/MarketIndicesSection.h"
#include "sources/OtherIndicesSection.h"
#include "sources/PreciousMetalsSection.h"
#include "sources/SourceAddresses.h"
#include "sources/WatchListSection.h"

#include <algorithm>
#include <random>

namespace tickwell::testing {
namespace {

class HostileInput : public SectionFixture {
protected:
    HostileInput()
    {
        setSymbols({QStringLiteral("ACME")});
        settings.setValue(QStringLiteral("CompanyShares"), QVariantMap{{QStringLiteral("ACME"), QStringLiteral("100")}});
        setSubmenuGroups(true);
        setSwitch("IncludeIndicesChartsInSubmenu", true);
    }
    // The given bytes under the quote, markets, metals and other-indices addresses, then every builder.
    void buildFrom(const std::vector<QByteArray> &pages)
    {
        const QString addresses[] = {QuotePageAddress(hosts, QStringLiteral("ACME")), MarketsPageAddress(hosts), MetalsPageAddress(hosts),
                                     OtherIndicesPageAddress(hosts)};
        for (std::size_t i = 0; i < std::size(addresses); ++i)
            state.m_urlContents.storePage(addresses[i], pages[i % pages.size()]);
        menu.clear();
        auto ctx = context();
        addStockSymbols(ctx);
        addPreciousMetals(ctx);
        addOtherMarketIndices(ctx);
        addMarketIndices(ctx);
    }
    // The feed's pages of one tick cut to the given length; whether any page was cut.
    bool buildFromFeed(std::uint64_t tick, std::size_t length = std::string::npos)
    {
        const std::string host = hosts.otherIndices.toStdString();
        const std::string pages[] = {feed::QuotePage(market.quote("ACME", tick), host, "4:00PM EDT"), feed::MarketsPage(market, tick),
                                     feed::MetalsPage(market, tick), feed::FrontPage(market, tick, host, tick % 2 == 0)};
        std::vector<QByteArray> cut;
        for (const auto &page : pages)
            cut.push_back(QByteArray::fromStdString(page.substr(0, length)));
        buildFrom(cut);
        return std::any_of(std::begin(pages), std::end(pages), [&](const std::string &page) { return page.size() > length; });
    }

    feed::FeedMarket market{3};
};

// Both front-page variants, cut off anywhere; whole, they give every line (the golden menu has
// what the lines say).
TEST_F(HostileInput, FeedPagesWholeOrCutOffAnywhere)
{
    const QStringList prefixes = QStringLiteral("Acme |---|Save All|Go to|Gold: |Silver: |Platinum: |Palladium: |"
                                                "U.S. Dollar Index: |Dow: |Nasdaq: |S&P: ").split(u'|');
    for (std::uint64_t tick : {4, 5}) {
        for (std::size_t length = 0; buildFromFeed(tick, length);)
            length += 37;
        const QStringList lines = titles(menu);
        ASSERT_EQ(lines.size(), 12) << lines.join(QStringLiteral(" / ")).toStdString();
        for (qsizetype i = 0; i < 12; ++i)
            EXPECT_TRUE(lines[i].startsWith(prefixes[i])) << lines[i].toStdString();
    }
}

// Random bytes with and without the markers, several megabytes of markers, and nesting far too
// deep to flatten, then just shallow enough: no crash, no quadratic walk.
TEST_F(HostileInput, BinaryHugeAndDeeplyNestedPages)
{
    std::mt19937 random(99);
    QByteArray bytes(256 * 1024, Qt::Uninitialized);
    for (auto &byte : bytes)
        byte = static_cast<char>(random());
    buildFrom({bytes});
    const QByteArray markers = "Summary for \xff\x00- Last Trade:</th><td class=\"yfnc_tabledata1\"><big><b><span id=\"yfs_l10_ACME\">"
                               "\x80\x81</span>Prev Close:<td class=\"yfnc_tabledata1\">\xfe</td>Filter Headlines<a href=\"http://\xc3\">"
                               "\x00</a><cite>\xe2\x82</cite>More Headlines>Gold</a></td>\r\r\r\r\r\r\r\r</tr>";
    for (int at = 0; at < bytes.size(); at += 4096)
        bytes.replace(at, markers.size(), markers);
    buildFrom({bytes});
    EXPECT_FALSE(menu.empty());

    QByteArray huge = "<title>ACME: Summary for Acme- x</title><span id=\"yfs_l90_acme\">" + QByteArray(1 << 20, '9')
                      + "Last Trade:</th><td class=\"yfnc_tabledata1\"><big><b><span id=\"yfs_l10_acme\">1</span>Filter Headlines";
    for (int i = 0; i < 60000; ++i)
        huge += "<a href=\"/r/" + QByteArray::number(i) + "\">t</a><img src=x ><a href='y'>";
    huge += "More Headlines";
    for (int i = 0; i < 40000; ++i)
        huge += "<a href=\"/data/markets/dow\" class=\"wsod_symbol\">Dow</a><span class=\"negLast\">";
    buildFrom({huge + ">Gold</a></td>" + QByteArray(1 << 20, '\r') + "</tr>"});
    EXPECT_TRUE(menu.at(0).title.startsWith(QStringLiteral("Acme [ACME] : 1, 99999")));

    for (int depth : {100000, 1150}) {
        const QByteArray nested = QByteArray("<div><span><b>").repeated(depth);
        buildFrom({"Last Trade:</th><td class=\"yfnc_tabledata1\"><big><b><span id=\"yfs_l10_acme\">1</span>"
                     "52wk Range:<td class=\"yfnc_tabledata1\"><span>" + nested + "</span> - <span>" + nested + "</span>"
                     "Filter Headlines<a href=\"http://news.test/deep\">" + nested + "</a>More Headlines"
                     ">Gold</a></td>\r\n" + nested + "\r\n</tr>"});
        EXPECT_TRUE(menu.at(0).submenu);
    }
}

} // namespace
} // namespace tickwell::testing
