#include "SectionFixture.h"

#include "sources/SourceActions.h"
#include "sources/SourceAddresses.h"
#include "sources/WatchListSection.h"

#include <QVariantMap>

namespace tickwell::testing {
namespace {

// A small quote page with the markers the watch-list line reads, each optional.
struct QuotePage {
    QString id; // empty: the symbol in lower case, as the page writes it
    std::optional<QString> company = QStringLiteral("Acme Corp."), last = QStringLiteral("150.25"),
                           previousClose = QStringLiteral("149.00"), realTime, afterHours;

    QString html() const
    {
        QString page = QStringLiteral("<html><head><title>");
        if (company)
            page += QStringLiteral("ACME: Summary for ") + *company + QStringLiteral("- Yahoo! Finance");
        page += QStringLiteral("</title></head><body>\n<th>Last Trade:</th><td class=\"yfnc_tabledata1\"><big><b>");
        for (const auto &[code, value] : {std::pair{"l10", last}, {"l90", realTime}, {"l91", afterHours}}) {
            if (value)
                page += QStringLiteral("<span id=\"yfs_%1_%2\">%3</span>\n").arg(QLatin1StringView(code), id, *value);
        }
        if (previousClose)
            page += QStringLiteral("</td><th>Prev Close:</th><td class=\"yfnc_tabledata1\">%1</td>\n").arg(*previousClose);
        return page + QStringLiteral("</body></html>\n");
    }
};

class WatchListSection : public SectionFixture {
protected:
    WatchListSection()
    {
        setSymbols({QStringLiteral("ACME")});
        setSubmenuGroups(false);
    }
    void storeQuote(const QString &symbol, QuotePage page = {})
    {
        if (page.id.isEmpty())
            page.id = symbol.toLower();
        storePage(QuotePageAddress(hosts, symbol), page.html());
    }
    void build()
    {
        menu.clear();
        auto ctx = context();
        addStockSymbols(ctx);
    }
    const MenuItem &line() const { return menu.at(0); }
};

// The coloured change goes before the first colon of the title; values are cut ignoring case and
// are neither trimmed nor decoded.
TEST_F(WatchListSection, ChangeSuffixColourAndImage)
{
    const QString up = QStringLiteral("menuitem_up_g.tif"), down = QStringLiteral("menuitem_down_r.tif"), none = QStringLiteral("menuitem_spacer.tif");
    const struct { QString symbol, id; std::optional<QString> company, previousClose; QString last, title, image; } cases[] = {
        {"ACME", "acme", "Acme Corp.", "149.00", "150.25", "Acme Corp. [ACME] (1.25, 0.839%) : 150.25", up},
        {"ACME", "acme", "Acme Corp.", "149.00", "148.00", "Acme Corp. [ACME] (1, 0.671%) : 148.00", down}, // no minus signs
        {"ACME", "acme", "Acme Corp.", "149.00", "149.00", "Acme Corp. [ACME]  : 149.00", none},
        {"ACME", "acme", "Acme Corp.", std::nullopt, "150.25", "Acme Corp. [ACME]  : 150.25", none},
        {"ACME", "acme", "Acme Corp.", "0.50", "1,234.50", "Acme Corp. [ACME] (0.5, 100%) : 1,234.50", up}, // "," ends the number
        {"ACME", "acme", "Acme Corp.", "0.00", "150.25", "Acme Corp. [ACME] (150.25, ∞%) : 150.25", up},
        {"ACME", "acme", "Acme: The Company", "149.00", "150.25", "Acme(1.25, 0.839%) : The Company [ACME] : 150.25", up},
        {"acme", "ACME", " Acme &amp; Sons ", "149.00", "150.25", " Acme &amp; Sons  [acme] (1.25, 0.839%) : 150.25", up},
        {"ACME", "acme", std::nullopt, "149.00", "150.25", "ACME [ACME] (1.25, 0.839%) : 150.25", up},
    };
    for (const auto &c : cases) {
        setSymbols({c.symbol});
        storeQuote(c.symbol, QuotePage{c.id, c.company, c.last, c.previousClose, {}, {}});
        build();
        ASSERT_EQ(menu.size(), 1u);
        EXPECT_EQ(plainText(*line().styledTitle), c.title);
        EXPECT_FALSE(line().title.contains(u'(')) << "the plain title has no suffix";
        EXPECT_EQ(line().image, c.image) << c.title.toStdString();
        EXPECT_EQ((*line().styledTitle)[1].color, c.image == up ? std::optional(QColor(Qt::green))
                                                  : c.image == down ? std::optional(QColor(Qt::red)) : std::nullopt);
    }
}

TEST_F(WatchListSection, HoldingFormatIsTheFirstThatApplies)
{
    const QString rt = QStringLiteral("150.30"), ah = QStringLiteral("150.10");
    const struct { QVariant shares; bool afterHoursSwitch; std::optional<QString> realTime, afterHours; QString tail; } cases[] = {
        {QVariant(), false, std::nullopt, std::nullopt, ""}, // no "CompanyShares" at all
        {"100", true, rt, ah, ", 150.30 (RT) (100 shares: $15,025.00)"},
        {"100", true, std::nullopt, ah, ", 150.10 (AH) (100 shares: $15,025.00)"},
        {"100", false, rt, ah, " (100 shares: $15,025.00)"},
        {qlonglong(1500), false, std::nullopt, std::nullopt, " (1,500 shares: $225,375.00)"},
        {"10.5", false, std::nullopt, std::nullopt, " (10 shares: $1,577.62)"}, // valued exactly
        {"", true, rt, ah, ", 150.30 (RT)"},
        {"0", true, std::nullopt, ah, ", 150.10 (AH)"},
        {"-5", false, std::nullopt, std::nullopt, ""},
    };
    for (const auto &c : cases) {
        if (c.shares.isValid())
            settings.setValue(QStringLiteral("CompanyShares"), QVariantMap{{QStringLiteral("ACME"), c.shares}});
        setSwitch("IncludeAfterHoursMenu", c.afterHoursSwitch);
        storeQuote(QStringLiteral("ACME"), QuotePage{{}, QStringLiteral("Acme Corp."), QStringLiteral("150.25"), QStringLiteral("149.00"),
                                                     c.realTime, c.afterHours});
        build();
        ASSERT_EQ(menu.size(), 1u);
        EXPECT_EQ(line().title, QStringLiteral("Acme Corp. [ACME] : 150.25") + c.tail) << c.shares.toString().toStdString();
    }
}

// The ticker reads the previous close of every symbol with a page, with a line or not.
TEST_F(WatchListSection, PreviousCloseIsCutEvenWithoutALine)
{
    setSymbols({QStringLiteral("ACME"), QStringLiteral("GONE"), QStringLiteral("NOPAGE")});
    storeQuote(QStringLiteral("ACME"));
    storeQuote(QStringLiteral("GONE"), QuotePage{{}, {}, std::nullopt, QStringLiteral("12.00"), {}, {}});
    setSwitch("OnlyShowFlagged", true);
    build();
    EXPECT_EQ(menu.size(), 1u) << "without \"ShowSettings\" every symbol is shown";
    EXPECT_EQ(state.m_quotes.symbol(QStringLiteral("ACME"))->previousClose, QStringLiteral("149.00"));
    EXPECT_EQ(state.m_quotes.symbol(QStringLiteral("GONE"))->previousClose, QStringLiteral("12.00"));
    EXPECT_EQ(state.m_quotes.symbol(QStringLiteral("NOPAGE")), nullptr);
    // A later page without "Prev Close:" has none: the line shows no change.
    storeQuote(QStringLiteral("ACME"), QuotePage{{}, QStringLiteral("Acme Corp."), QStringLiteral("150.25"), std::nullopt, {}, {}});
    build();
    EXPECT_EQ(state.m_quotes.symbol(QStringLiteral("ACME"))->previousClose, std::nullopt);
    EXPECT_EQ(line().image, QStringLiteral("menuitem_spacer.tif"));
}

// The groups of the submenu in their order are in the golden menu (tests/e2e/golden), the Stop
// item of a batch in MenuClickTest; here the stored images drawn and a chart link that is no address.
TEST_F(WatchListSection, SubmenuImagesAndBadChartLinks)
{
    storeQuote(QStringLiteral("ACME"));
    state.m_urlContents.storeImage(LogoImageAddress(hosts, QStringLiteral("ACME")), solidImage(Qt::blue));
    state.m_urlContents.storeImage(ChartImageAddress(hosts, QStringLiteral("ACME")), solidImage(Qt::gray));
    setSubmenuGroups(true);
    setSwitch("IncludeStockHistoryInSubmenu", false);
    build();
    ASSERT_TRUE(line().submenu);
    const Menu &submenu = *line().submenu;
    EXPECT_EQ(submenu[0].imageData.pixelColor(0, 0), QColor(Qt::blue));
    EXPECT_EQ(submenu[5].imageData.pixelColor(0, 0), QColor(Qt::gray));
    MenuItem badLink = submenu[9];
    badLink.toolTip = QStringLiteral("http://quotes.test/echarts?s=AC ME");
    selItemInteractiveiChart(badLink, hosts, desktop);
    selItemStockSymbol(MenuItem::make(QStringLiteral("Acme [AC ME] : 1")), hosts, desktop);
    EXPECT_TRUE(desktop.lines().isEmpty()) << "no address, nothing opened";
}

} // namespace
} // namespace tickwell::testing
