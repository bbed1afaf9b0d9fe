// The feed's pages read by the real section builders: whatever the feed serves must give full
// sections, or the demo and the end-to-end tests would show gaps.

#include "SectionFixture.h"

#include "FeedMarket.h"
#include "MarketPages.h"
#include "QuotePages.h"

#include "sources/MarketIndicesSection.h"
#include "sources/OtherIndicesSection.h"
#include "sources/PreciousMetalsSection.h"
#include "sources/SourceAddresses.h"
#include "sources/WatchListSection.h"

#include <QRegularExpression>

namespace tickwell::testing {
namespace {

class FeedPages : public SectionFixture {
protected:
    FeedPages()
    {
        hosts.quotePage = hosts.chartImage = hosts.logo = hosts.metals = hosts.markets = hosts.otherIndices =
            QStringLiteral("127.0.0.1:8123");
    }
    void storeFeedPage(const QString &address, const std::string &page)
    {
        state.m_urlContents.storePage(address, QByteArray::fromStdString(page));
    }

    feed::FeedMarket market{7};
};

TEST_F(FeedPages, QuotePagesGiveEveryLineAndGroup)
{
    setSymbols({QStringLiteral("ACME"), QStringLiteral("ZZUNKNOWN"), QStringLiteral("BETA")});
    settings.setValue(QStringLiteral("CompanyShares"), QVariantMap{{QStringLiteral("ACME"), QStringLiteral("100")}});
    for (std::uint64_t tick = 0; tick < 40; ++tick) {
        for (const char *symbol : {"ACME", "BETA"})
            storeFeedPage(QuotePageAddress(hosts, QString::fromLatin1(symbol)),
                          feed::QuotePage(market.quote(symbol, tick), "127.0.0.1:8123", "4:00PM EDT"));
        storeFeedPage(QuotePageAddress(hosts, QStringLiteral("ZZUNKNOWN")), feed::UnknownSymbolPage("ZZUNKNOWN"));
        menu.clear();
        auto ctx = context();
        addStockSymbols(ctx);

        ASSERT_EQ(menu.size(), 5u) << "two lines and the headline section items";
        EXPECT_TRUE(menu[0].title.startsWith(QStringLiteral("Acme ")));
        EXPECT_TRUE(menu[0].title.contains(QRegularExpression(QStringLiteral(" \\[ACME\\] : \\d+\\.\\d\\d(, \\d+\\.\\d\\d \\((RT|AH)\\))? "
                                                                             "\\(100 shares: \\$[\\d,]+\\.\\d\\d\\)$"))))
            << menu[0].title.toStdString();
        EXPECT_TRUE(menu[1].title.startsWith(QStringLiteral("Beta ")));
        for (int i = 0; i < 2; ++i) {
            const Menu &submenu = *menu[static_cast<std::size_t>(i)].submenu;
            const QStringList items = titles(submenu);
            EXPECT_EQ(items.filter(QRegularExpression(QStringLiteral("^(Last Trade|Trade Time|Prev Close|Open|Bid|Ask|1y Target Est|"
                                                                      "Day's Range|52wk Range|Volume|Avg Vol \\(3m\\)|Market Cap|"
                                                                      "P/E \\(ttm\\)|EPS \\(ttm\\)|Div & Yield): ")))
                          .size(),
                      15);
            EXPECT_TRUE(items.contains(QStringLiteral("Bid: ") + QString::number(market.quote(i == 0 ? "ACME" : "BETA", tick).bid, 'f', 2)));
        }
        EXPECT_TRUE(gPreviousClose.contains(QStringLiteral("ACME")));
    }

    const QList<HeadlineRecord> headlines = state.m_headlines.value(QStringLiteral("ACME"));
    ASSERT_EQ(headlines.size(), 3) << "the relative link is left out";
    EXPECT_EQ(headlines[0].url, QStringLiteral("http://127.0.0.1:8123/news/acme-0.html"));
    EXPECT_TRUE(headlines[0].title.endsWith(QStringLiteral(" beats estimates & raises outlook")));
    EXPECT_EQ(headlines[0].timeString, QStringLiteral("\"") + headlines[0].title + QStringLiteral("\" Reuters  (Fri 4:05PM) "));
    EXPECT_TRUE(headlines[1].title.startsWith(QStringLiteral("Analysts weigh Acme "))) << "white space collapsed";
    EXPECT_EQ(headlines[2].url, QStringLiteral("http://127.0.0.1:8123/news/acme-3.html"));
    EXPECT_EQ(loader.requests(), (QStringList{QStringLiteral("http://127.0.0.1:8123/news/acme-3.html"),
                                              QStringLiteral("http://127.0.0.1:8123/news/beta-3.html")}))
        << "the links without text are looked up, once for all builds";
    EXPECT_TRUE(state.m_headlines.value(QStringLiteral("ZZUNKNOWN")).isEmpty());
}

TEST_F(FeedPages, MarketPagesGiveEverySection)
{
    for (std::uint64_t tick = 0; tick < 60; ++tick) {
        storeFeedPage(MarketsPageAddress(hosts), feed::MarketsPage(market, tick));
        storeFeedPage(MetalsPageAddress(hosts), feed::MetalsPage(market, tick));
        storeFeedPage(OtherIndicesPageAddress(hosts), feed::FrontPage(market, tick, "127.0.0.1:8123", tick % 2 == 0));
        menu.clear();
        auto ctx = context();
        addPreciousMetals(ctx);
        addOtherMarketIndices(ctx);
        addMarketIndices(ctx);

        ASSERT_EQ(menu.size(), 8u) << "tick " << tick;
        const QStringList prefixes{QStringLiteral("Gold: "), QStringLiteral("Silver: "), QStringLiteral("Platinum: "),
                                   QStringLiteral("Palladium: "), QStringLiteral("U.S. Dollar Index: "), QStringLiteral("Dow: "),
                                   QStringLiteral("Nasdaq: "), QStringLiteral("S&P: ")};
        for (int i = 0; i < 8; ++i)
            EXPECT_TRUE(menu[static_cast<std::size_t>(i)].title.startsWith(prefixes[i])) << menu[static_cast<std::size_t>(i)].title.toStdString();

        const feed::MarketValue dow = market.dow(tick);
        const QString expectedImage = dow.change > 0   ? QStringLiteral("menuitem_up_g.tif")
                                      : dow.change < 0 ? QStringLiteral("menuitem_down_r.tif")
                                                       : QStringLiteral("menuitem_spacer.tif");
        EXPECT_EQ(menu[5].image, expectedImage) << "tick " << tick << " " << plainText(*menu[5].styledTitle).toStdString();
        const feed::MarketValue gold = market.metal("Gold", tick);
        EXPECT_EQ(menu[0].styledTitle->size(), gold.change == 0 ? 1u : 2u);
    }
}

} // namespace
} // namespace tickwell::testing
