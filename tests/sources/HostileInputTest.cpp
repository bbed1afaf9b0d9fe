// Every builder over pages no site should send: cut off anywhere, binary, several megabytes,
// deeply nested. A menu build must come through each of them.

#include "SectionFixture.h"

#include "FeedMarket.h"
#include "MarketPages.h"
#include "QuotePages.h"

#include "sources/MarketIndicesSection.h"
#include "sources/OtherIndicesSection.h"
#include "sources/PreciousMetalsSection.h"
#include "sources/SourceAddresses.h"
#include "sources/WatchListSection.h"

#include <random>

namespace tickwell::testing {
namespace {

class HostileInput : public SectionFixture {
protected:
    HostileInput()
    {
        setSymbols({QStringLiteral("ACME")});
        settings.setValue(QStringLiteral("CompanyShares"), QVariantMap{{QStringLiteral("ACME"), QStringLiteral("100")}});
        for (const char *key : {"IncludeHeadlinesInSubmenu", "IncludeiChartsInSubmenu", "IncludeInteractiveiChartsLinksInSubmenu",
                                "IncludeStockDataInSubmenu", "IncludeAfterHoursMenu", "IncludeIndicesChartsInSubmenu"})
            setSwitch(key, true);
    }

    // The same bytes under every page address, then every builder.
    void buildAllFrom(const QByteArray &bytes)
    {
        for (const QString &address : {QuotePageAddress(hosts, QStringLiteral("ACME")), MarketsPageAddress(hosts),
                                       MetalsPageAddress(hosts), OtherIndicesPageAddress(hosts)})
            state.m_urlContents.storePage(address, bytes);
        menu.clear();
        auto ctx = context();
        addStockSymbols(ctx);
        addPreciousMetals(ctx);
        addOtherMarketIndices(ctx);
        addMarketIndices(ctx);
    }

    feed::FeedMarket market{3};
};

TEST_F(HostileInput, PagesCutOffAnywhere)
{
    const std::string host = hosts.otherIndices.toStdString();
    const std::string pages = feed::QuotePage(market.quote("ACME", 5), host, "4:00PM EDT") + feed::MarketsPage(market, 5)
                              + feed::MetalsPage(market, 5) + feed::FrontPage(market, 5, host, true);
    for (std::size_t length = 0; length <= pages.size(); length += 37)
        buildAllFrom(QByteArray::fromStdString(pages.substr(0, length)));
    buildAllFrom(QByteArray::fromStdString(pages));
    EXPECT_EQ(menu.size(), 12u) << "the whole pages give every line: " << titles().join(QStringLiteral(" / ")).toStdString();
}

TEST_F(HostileInput, BinaryBytes)
{
    std::mt19937 random(99);
    QByteArray bytes(256 * 1024, Qt::Uninitialized);
    for (auto &byte : bytes)
        byte = static_cast<char>(random());
    buildAllFrom(bytes);
    // Binary with the markers sprinkled in.
    const QByteArray markers = "Summary for \xff\x00- Last Trade:</th><td class=\"yfnc_tabledata1\"><big><b><span id=\"yfs_l10_ACME\">"
                               "\x80\x81</span>Prev Close:<td class=\"yfnc_tabledata1\">\xfe</td>Filter Headlines<a href=\"http://\xc3\">"
                               "\x00</a><cite>\xe2\x82</cite>More Headlines>Gold</a></td>\r\r\r\r\r\r\r\r</tr>";
    for (int at = 0; at < bytes.size(); at += 4096)
        bytes.replace(at, markers.size(), markers);
    buildAllFrom(bytes);
    EXPECT_FALSE(menu.empty());
}

TEST_F(HostileInput, SeveralMegabytes)
{
    QByteArray bytes;
    bytes += "<title>ACME: Summary for Acme- x</title><span id=\"yfs_l90_acme\">";
    bytes += QByteArray(1 << 20, '9');
    bytes += "Last Trade:</th><td class=\"yfnc_tabledata1\"><big><b><span id=\"yfs_l10_acme\">1</span>Filter Headlines";
    for (int i = 0; i < 60000; ++i)
        bytes += "<a href=\"/r/" + QByteArray::number(i) + "\">t</a><img src=x ><a href='y'>";
    bytes += "More Headlines";
    for (int i = 0; i < 40000; ++i)
        bytes += "<a href=\"/data/markets/dow\" class=\"wsod_symbol\">Dow</a><span class=\"negLast\">";
    bytes += ">Gold</a></td>" + QByteArray(1 << 20, '\r') + "</tr>";
    ASSERT_GT(bytes.size(), 4 * 1024 * 1024);
    buildAllFrom(bytes);
    ASSERT_FALSE(menu.empty());
    EXPECT_TRUE(menu[0].title.startsWith(QStringLiteral("Acme [ACME] : 1, 99999")));
}

TEST_F(HostileInput, DeeplyNested)
{
    QByteArray nested;
    for (int i = 0; i < 100000; ++i)
        nested += "<div><span><b>";
    QByteArray bytes = "Last Trade:</th><td class=\"yfnc_tabledata1\"><big><b><span id=\"yfs_l10_acme\">1</span>"
                       "52wk Range:<td class=\"yfnc_tabledata1\"><span>" + nested + "</span> - <span>" + nested + "</span>"
                       "Filter Headlines<a href=\"http://news.test/deep\">" + nested + "</a>More Headlines"
                       ">Gold</a></td>\r\n" + nested + "\r\n</tr>";
    buildAllFrom(bytes);
    ASSERT_FALSE(menu.empty());
    EXPECT_TRUE(menu[0].submenu);

    // Just short enough to be flattened.
    QByteArray shallower;
    for (int i = 0; i < 1150; ++i)
        shallower += "<div><span><b>";
    buildAllFrom("52wk Range:<td class=\"yfnc_tabledata1\"><span>" + shallower + "</span> - <span>" + shallower
                 + "</span>>Gold</a></td>\r\n" + shallower + "\r\n</tr>");
}

} // namespace
} // namespace tickwell::testing
