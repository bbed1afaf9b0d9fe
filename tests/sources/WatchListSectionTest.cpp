#include "QuotePageFragment.h"
#include "SectionFixture.h"

#include "sources/SourceActions.h"
#include "sources/SourceAddresses.h"
#include "sources/WatchListSection.h"

namespace tickwell::testing {
namespace {

class WatchListSection : public SectionFixture {
protected:
    WatchListSection()
    {
        allSubmenuGroupsOff();
        gPreviousClose.clear();
    }

    void storeQuote(const QString &symbol, const QuotePageFragment &fragment)
    {
        storePage(QuotePageAddress(hosts, symbol), fragment.html());
    }
    QuotePageFragment fragmentFor(const QString &symbol)
    {
        QuotePageFragment fragment;
        fragment.id = symbol.toLower();
        fragment.company = symbol + QStringLiteral(" Inc.");
        return fragment;
    }
    void build()
    {
        menu.clear();
        auto ctx = context();
        addStockSymbols(ctx);
    }
    const MenuItem &line(qsizetype index = 0) const { return menu.at(static_cast<std::size_t>(index)); }
};

TEST_F(WatchListSection, LinesFollowTheWatchListAndItsFlags)
{
    setSymbols({QStringLiteral("ACME"), QStringLiteral("BETA")});
    storeQuote(QStringLiteral("ACME"), fragmentFor(QStringLiteral("ACME")));
    storeQuote(QStringLiteral("BETA"), fragmentFor(QStringLiteral("BETA")));

    setSwitch("OnlyShowFlagged", true);
    build();
    EXPECT_EQ(titles(), (QStringList{QStringLiteral("ACME Inc. [ACME] : 150.25"), QStringLiteral("BETA Inc. [BETA] : 150.25")}))
        << "without \"ShowSettings\" every symbol is shown";

    settings.setValue(QStringLiteral("ShowSettings"),
                      QVariantMap{{QStringLiteral("ACME"), qlonglong(1)}, {QStringLiteral("BETA"), qlonglong(0)}});
    build();
    EXPECT_EQ(titles(), QStringList{QStringLiteral("ACME Inc. [ACME] : 150.25")});
    EXPECT_FALSE(state.m_headlines.contains(QStringLiteral("BETA"))) << "hidden symbols get no headline list";

    setSwitch("OnlyShowFlagged", false);
    build();
    EXPECT_EQ(menu.size(), 2u);
}

TEST_F(WatchListSection, SuffixColourAndImageFollowTheChange)
{
    setSymbols({QStringLiteral("ACME")});
    const struct { QString last; std::optional<QString> previousClose; QString title; std::optional<QColor> color; QString image; } cases[] = {
        {QStringLiteral("150.25"), QStringLiteral("149.00"), QStringLiteral("Acme Corp. [ACME] (1.25, 0.839%) : 150.25"),
         QColor(Qt::green), QStringLiteral("menuitem_up_g.tif")},
        {QStringLiteral("148.00"), QStringLiteral("149.00"), QStringLiteral("Acme Corp. [ACME] (1, 0.671%) : 148.00"), // no minus signs
         QColor(Qt::red), QStringLiteral("menuitem_down_r.tif")},
        {QStringLiteral("149.00"), QStringLiteral("149.00"), QStringLiteral("Acme Corp. [ACME]  : 149.00"), std::nullopt,
         QStringLiteral("menuitem_spacer.tif")},
        {QStringLiteral("150.25"), std::nullopt, QStringLiteral("Acme Corp. [ACME]  : 150.25"), std::nullopt,
         QStringLiteral("menuitem_spacer.tif")},
        {QStringLiteral("1,234.50"), QStringLiteral("0.50"), QStringLiteral("Acme Corp. [ACME] (0.5, 100%) : 1,234.50"), // "," ends the number
         QColor(Qt::green), QStringLiteral("menuitem_up_g.tif")},
        {QStringLiteral("150.25"), QStringLiteral("0.00"), QStringLiteral("Acme Corp. [ACME] (150.25, ∞%) : 150.25"),
         QColor(Qt::green), QStringLiteral("menuitem_up_g.tif")},
    };
    for (const auto &c : cases) {
        QuotePageFragment fragment;
        fragment.last = c.last;
        fragment.previousClose = c.previousClose;
        storeQuote(QStringLiteral("ACME"), fragment);
        gPreviousClose.clear();
        build();
        ASSERT_EQ(menu.size(), 1u);
        EXPECT_EQ(line().title, QStringLiteral("Acme Corp. [ACME] : ") + c.last) << "the plain title has no suffix";
        EXPECT_EQ(plainText(*line().styledTitle), c.title);
        EXPECT_EQ((*line().styledTitle)[1].color, c.color) << c.title.toStdString();
        EXPECT_EQ(line().image, c.image) << c.title.toStdString();
    }
}

TEST_F(WatchListSection, HoldingFormatIsTheFirstThatApplies)
{
    setSymbols({QStringLiteral("ACME")});
    const QString rt = QStringLiteral("150.30"), ah = QStringLiteral("150.10");
    const struct { QVariant shares; bool afterHoursSwitch; std::optional<QString> realTime, afterHours; QString tail; } cases[] = {
        {QVariant(), false, std::nullopt, std::nullopt, QString()}, // no "CompanyShares" at all
        {QStringLiteral("100"), true, rt, ah, QStringLiteral(", 150.30 (RT) (100 shares: $15,025.00)")},
        {QStringLiteral("100"), true, std::nullopt, ah, QStringLiteral(", 150.10 (AH) (100 shares: $15,025.00)")},
        {QStringLiteral("100"), false, rt, ah, QStringLiteral(" (100 shares: $15,025.00)")},
        {qlonglong(1500), false, std::nullopt, std::nullopt, QStringLiteral(" (1,500 shares: $225,375.00)")},
        {QStringLiteral("10.5"), false, std::nullopt, std::nullopt, QStringLiteral(" (10 shares: $1,577.62)")}, // valued exactly
        {QStringLiteral(""), true, rt, ah, QStringLiteral(", 150.30 (RT)")},
        {QStringLiteral("0"), true, std::nullopt, ah, QStringLiteral(", 150.10 (AH)")},
        {QStringLiteral("-5"), false, std::nullopt, std::nullopt, QString()},
        {QStringLiteral("lots"), false, std::nullopt, std::nullopt, QString()},
    };
    for (const auto &c : cases) {
        if (c.shares.isValid())
            settings.setValue(QStringLiteral("CompanyShares"), QVariantMap{{QStringLiteral("ACME"), c.shares}});
        setSwitch("IncludeAfterHoursMenu", c.afterHoursSwitch);
        QuotePageFragment fragment;
        fragment.realTime = c.realTime;
        fragment.afterHours = c.afterHours;
        storeQuote(QStringLiteral("ACME"), fragment);
        build();
        ASSERT_EQ(menu.size(), 1u);
        EXPECT_EQ(line().title, QStringLiteral("Acme Corp. [ACME] : 150.25") + c.tail) << c.shares.toString().toStdString();
    }
}

TEST_F(WatchListSection, ValuesAreCutIgnoringCaseAndTheSuffixGoesBeforeTheFirstColon)
{
    const struct { QString symbol, id; std::optional<QString> company; QString title; } cases[] = {
        {QStringLiteral("ACME"), QStringLiteral("acme"), QStringLiteral("Acme: The Company"),
         QStringLiteral("Acme(1.25, 0.839%) : The Company [ACME] : 150.25")},
        // Values are neither trimmed nor decoded, and the symbol is kept as written.
        {QStringLiteral("acme"), QStringLiteral("ACME"), QStringLiteral(" Acme &amp; Sons "),
         QStringLiteral(" Acme &amp; Sons  [acme] (1.25, 0.839%) : 150.25")},
        {QStringLiteral("ACME"), QStringLiteral("acme"), std::nullopt, QStringLiteral("ACME [ACME] (1.25, 0.839%) : 150.25")},
    };
    for (const auto &c : cases) {
        setSymbols({c.symbol});
        QuotePageFragment fragment;
        fragment.id = c.id;
        fragment.company = c.company;
        storeQuote(c.symbol, fragment);
        build();
        ASSERT_EQ(menu.size(), 1u);
        EXPECT_EQ(plainText(*line().styledTitle), c.title);
    }
}

TEST_F(WatchListSection, PreviousCloseIsRecordedEvenWithoutALine)
{
    setSymbols({QStringLiteral("ACME"), QStringLiteral("GONE"), QStringLiteral("NOPAGE"), QStringLiteral("LATER")});
    storeQuote(QStringLiteral("ACME"), fragmentFor(QStringLiteral("ACME")));
    QuotePageFragment noLast = fragmentFor(QStringLiteral("GONE"));
    noLast.last.reset();
    noLast.previousClose = QStringLiteral("12.00");
    storeQuote(QStringLiteral("GONE"), noLast);
    // The first value cell after the label, wherever it stands.
    QuotePageFragment later = fragmentFor(QStringLiteral("LATER"));
    later.last.reset();
    later.previousClose.reset();
    later.body = QStringLiteral("<td class=\"yfnc_tabledata1\">1.00</td><th>PREV CLOSE:</th><td>x</td><td class=\"yfnc_tabledata1\">140.00</td>");
    storeQuote(QStringLiteral("LATER"), later);
    gPreviousClose.insert(QStringLiteral("NOPAGE"), QStringLiteral("7.00"));
    state.m_headlines.insert(QStringLiteral("OLD"), {HeadlineRecord{QStringLiteral("http://x/"), QStringLiteral("x"), {}}});
    build();

    EXPECT_EQ(titles(), QStringList{QStringLiteral("ACME Inc. [ACME] : 150.25")});
    EXPECT_EQ(gPreviousClose, (QHash<QString, QString>{{QStringLiteral("ACME"), QStringLiteral("149.00")},
                                                      {QStringLiteral("GONE"), QStringLiteral("12.00")},
                                                      {QStringLiteral("NOPAGE"), QStringLiteral("7.00")},
                                                      {QStringLiteral("LATER"), QStringLiteral("140.00")}}));
    EXPECT_EQ(state.m_headlines.keys(), (QStringList{QStringLiteral("ACME"), QStringLiteral("GONE"), QStringLiteral("LATER"),
                                                     QStringLiteral("NOPAGE")}))
        << "every build starts the headline lists afresh";

    // A later page without "Prev Close:" leaves the recorded value alone.
    QuotePageFragment noClose = fragmentFor(QStringLiteral("ACME"));
    noClose.previousClose.reset();
    storeQuote(QStringLiteral("ACME"), noClose);
    build();
    EXPECT_EQ(gPreviousClose.value(QStringLiteral("ACME")), QStringLiteral("149.00"));
    EXPECT_EQ(line().image, QStringLiteral("menuitem_spacer.tif"));
}

TEST_F(WatchListSection, SubmenuGroupsInOrder)
{
    setSymbols({QStringLiteral("ACME")});
    storeQuote(QStringLiteral("ACME"), fragmentFor(QStringLiteral("ACME")));
    build();
    ASSERT_EQ(menu.size(), 1u) << "no headline section items with headlines off";
    EXPECT_EQ(titles(*line().submenu), QStringList{QStringLiteral("Open Log")}) << "no logo stored, every group off";

    state.m_urlContents.storeImage(LogoImageAddress(hosts, QStringLiteral("ACME")), solidImage(Qt::blue));
    state.m_urlContents.storeImage(ChartImageAddress(hosts, QStringLiteral("ACME")), solidImage(Qt::gray));
    for (const char *key : {"IncludeHeadlinesInSubmenu", "IncludeiChartsInSubmenu", "IncludeInteractiveiChartsLinksInSubmenu",
                            "IncludeStockDataInSubmenu"})
        setSwitch(key, true);
    build();
    ASSERT_TRUE(line().submenu);
    const Menu &submenu = *line().submenu;
    EXPECT_EQ(titles(submenu).mid(0, 7), (QStringList{QString(), QStringLiteral("---"), QStringLiteral("Open Log"),
                                                      QStringLiteral("Save Headlines..."), QStringLiteral("---"), QString(),
                                                      QStringLiteral("---")}));
    EXPECT_EQ(titles(submenu).mid(15), (QStringList{QStringLiteral("---"), QStringLiteral("Last Trade: 150.25"),
                                                    QStringLiteral("Prev Close: 149.00"), QStringLiteral("---"),
                                                    QStringLiteral("Headlines for ACME Inc.")}));
    EXPECT_EQ(submenu[0].imageData.pixelColor(0, 0), QColor(Qt::blue));
    EXPECT_EQ(submenu[0].action, QStringLiteral("selItemOpenConsoleLog:"));
    EXPECT_EQ(submenu[3].action, QStringLiteral("selItemSaveHeadlines:"));
    EXPECT_EQ(submenu[3].toolTip, QStringLiteral("ACME"));
    // The headline section items close the section.
    EXPECT_EQ(titles().mid(1), (QStringList{QStringLiteral("---"), QStringLiteral("Save All Headlines..."),
                                            QStringLiteral("Go to Headlines folder...")}));
    state.m_isSaving = true;
    build();
    EXPECT_EQ(menu[2].title, QStringLiteral("Stop Saving All Headlines"));
    EXPECT_EQ(menu[2].action, QStringLiteral("selItemStopSaving:"));
}

TEST_F(WatchListSection, ChoosingALineOpensItsQuotePage)
{
    setSymbols({QStringLiteral("acme")});
    storeQuote(QStringLiteral("acme"), QuotePageFragment());
    build();
    ASSERT_EQ(menu.size(), 1u);
    selItemStockSymbol(line(), hosts, desktop);
    // A symbol that makes no address opens nothing.
    selItemStockSymbol(MenuItem::make(QStringLiteral("Acme [AC ME] : 1")), hosts, desktop);
    selItemStockSymbol(MenuItem::make(QStringLiteral("no brackets")), hosts, desktop);
    EXPECT_EQ(desktop.lines(), QStringList{QStringLiteral("open: http://quotes.test/q?s=acme")});
}

} // namespace
} // namespace tickwell::testing
