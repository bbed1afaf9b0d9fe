#include "SectionFixture.h"

#include "sources/SourceActions.h"
#include "sources/SourceAddresses.h"
#include "sources/WatchListSection.h"

namespace tickwell::testing {
namespace {

// A small quote page with the markers the watch-list line reads, each optional; the id is the
// symbol as the page writes it.
struct QuotePage {
    QString id = QStringLiteral("acme");
    std::optional<QString> company = QStringLiteral("Acme Corp."), last = QStringLiteral("150.25"), previousClose = QStringLiteral("149.00"),
                           realTime, afterHours;

    QString html() const
    {
        QString page = QStringLiteral("<title>") + (company ? QStringLiteral("ACME: Summary for ") + *company + QStringLiteral("- Yahoo! Finance") : QString())
                       + QStringLiteral("</title>\n<th>Last Trade:</th><td class=\"yfnc_tabledata1\"><big><b>");
        for (const auto &[code, value] : {std::pair{"l10", last}, {"l90", realTime}, {"l91", afterHours}}) {
            if (value)
                page += QStringLiteral("<span id=\"yfs_%1_%2\">%3</span>\n").arg(QLatin1StringView(code), id, *value);
        }
        if (previousClose)
            page += QStringLiteral("</td><th>Prev Close:</th><td class=\"yfnc_tabledata1\">%1</td>\n").arg(*previousClose);
        return page;
    }
};

class WatchListSection : public SectionFixture {
protected:
    WatchListSection() { setSubmenuGroups(false); }
    void storeQuote(const QString &symbol, const QuotePage &page) { state.m_urlContents.storePage(QuotePageAddress(hosts, symbol), page.html().toUtf8()); }
    // The first line of the section built on what is stored.
    const MenuItem &build()
    {
        menu.clear();
        auto ctx = context();
        addStockSymbols(ctx);
        return menu.at(0);
    }
};

// The change goes before the first colon of the title; values are cut ignoring case and are
// neither trimmed nor decoded.
TEST_F(WatchListSection, ChangeSuffixAndImage)
{
    const struct { QString symbol; QuotePage page; QString title, image; } cases[] = {
        {"ACME", {.last = "148.00"}, "Acme Corp. [ACME] (1, 0.671%) : 148.00", "down_r"}, // no minus signs
        {"ACME", {.last = "149.00"}, "Acme Corp. [ACME]  : 149.00", "spacer"},
        {"ACME", {.previousClose = std::nullopt}, "Acme Corp. [ACME]  : 150.25", "spacer"},
        {"ACME", {.last = "1,234.50", .previousClose = "0.50"}, "Acme Corp. [ACME] (0.5, 100%) : 1,234.50", "up_g"}, // "," ends the number
        {"ACME", {.previousClose = "0.00"}, "Acme Corp. [ACME] (150.25, ∞%) : 150.25", "up_g"},
        {"ACME", {.company = "Acme: The Company"}, "Acme(1.25, 0.839%) : The Company [ACME] : 150.25", "up_g"},
        {"acme", {.id = "ACME", .company = " Acme &amp; Sons "}, " Acme &amp; Sons  [acme] (1.25, 0.839%) : 150.25", "up_g"},
        {"ACME", {.company = std::nullopt}, "ACME [ACME] (1.25, 0.839%) : 150.25", "up_g"},
    };
    for (const auto &c : cases) {
        setSymbols({c.symbol});
        storeQuote(c.symbol, c.page);
        const MenuItem &line = build();
        EXPECT_EQ(plainText(*line.styledTitle) + u'|' + line.image, c.title + "|menuitem_" + c.image + ".tif");
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
        {"0", true, std::nullopt, ah, ", 150.10 (AH)"},
        {"-5", false, std::nullopt, std::nullopt, ""},
    };
    setSymbols({QStringLiteral("ACME")});
    for (const auto &c : cases) {
        if (c.shares.isValid())
            settings.setValue(QStringLiteral("CompanyShares"), QVariantMap{{QStringLiteral("ACME"), c.shares}});
        setSwitch("IncludeAfterHoursMenu", c.afterHoursSwitch);
        storeQuote(QStringLiteral("ACME"), {.realTime = c.realTime, .afterHours = c.afterHours});
        EXPECT_EQ(build().title, QStringLiteral("Acme Corp. [ACME] : 150.25") + c.tail);
    }
}

// The ticker reads the previous close of every symbol with a page, with a line or not; a later
// page without "Prev Close:" has none.
TEST_F(WatchListSection, PreviousCloseIsCutEvenWithoutALine)
{
    setSymbols({QStringLiteral("ACME"), QStringLiteral("GONE"), QStringLiteral("NOPAGE")});
    storeQuote(QStringLiteral("ACME"), {});
    storeQuote(QStringLiteral("GONE"), {.last = std::nullopt, .previousClose = "12.00"});
    build();
    EXPECT_EQ(menu.size(), 1u);
    EXPECT_EQ(state.m_quotes.symbol(QStringLiteral("ACME"))->previousClose, QStringLiteral("149.00"));
    EXPECT_EQ(state.m_quotes.symbol(QStringLiteral("GONE"))->previousClose, QStringLiteral("12.00"));
    EXPECT_EQ(state.m_quotes.symbol(QStringLiteral("NOPAGE")), nullptr);
    storeQuote(QStringLiteral("ACME"), {.previousClose = std::nullopt});
    build();
    EXPECT_EQ(state.m_quotes.symbol(QStringLiteral("ACME"))->previousClose, std::nullopt);
}

// The stored images drawn in the submenu (its layout is the golden menu's); a link that is no address opens nothing.
TEST_F(WatchListSection, SubmenuImagesAndBadChartLinks)
{
    setSymbols({QStringLiteral("ACME")});
    storeQuote(QStringLiteral("ACME"), {});
    state.m_urlContents.storeImage(LogoImageAddress(hosts, QStringLiteral("ACME")), solidImage(Qt::blue));
    state.m_urlContents.storeImage(ChartImageAddress(hosts, QStringLiteral("ACME")), solidImage(Qt::gray));
    setSubmenuGroups(true);
    setSwitch("IncludeStockHistoryInSubmenu", false);
    const Menu &submenu = build().submenu.value();
    EXPECT_EQ(submenu[0].imageData.pixelColor(0, 0), QColor(Qt::blue));
    EXPECT_EQ(submenu[5].imageData.pixelColor(0, 0), QColor(Qt::gray));
    MenuItem badLink = submenu[9];
    badLink.toolTip = QStringLiteral("http://quotes.test/echarts?s=AC ME");
    selItemInteractiveiChart(badLink, hosts, desktop);
    selItemStockSymbol(MenuItem::make(QStringLiteral("Acme [AC ME] : 1")), hosts, desktop);
    EXPECT_TRUE(desktop.lines().isEmpty());
}

} // namespace
} // namespace tickwell::testing
