#include "QuotePageFragment.h"
#include "SectionFixture.h"

#include "sources/SourceActions.h"
#include "sources/SourceAddresses.h"
#include "sources/WatchListSection.h"

#include <cmath>

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

struct DirectionCase {
    const char *name;
    QString last;
    std::optional<QString> previousClose;
    QString title;       // the styled title as plain text
    QString suffix;
    std::optional<QColor> color;
    QString image;
};

class WatchListDirection : public WatchListSection, public ::testing::WithParamInterface<DirectionCase> {};

TEST_P(WatchListDirection, SuffixColourAndImageFollowTheChange)
{
    const auto &c = GetParam();
    setSymbols({QStringLiteral("ACME")});
    QuotePageFragment fragment;
    fragment.last = c.last;
    fragment.previousClose = c.previousClose;
    storeQuote(QStringLiteral("ACME"), fragment);
    build();

    ASSERT_EQ(menu.size(), 1u);
    const MenuItem &item = line();
    EXPECT_EQ(item.title, QStringLiteral("Acme Corp. [ACME] : ") + c.last) << "the plain title has no suffix";
    ASSERT_TRUE(item.styledTitle);
    EXPECT_EQ(plainText(*item.styledTitle), c.title);
    ASSERT_EQ(item.styledTitle->size(), 3u);
    EXPECT_EQ((*item.styledTitle)[1].text, c.suffix);
    EXPECT_EQ((*item.styledTitle)[1].color, c.color);
    for (const auto &run : *item.styledTitle)
        EXPECT_EQ(run.pointSize, 14.0);
    EXPECT_EQ(item.image, c.image);
    EXPECT_FALSE(item.imageData.isNull());
    EXPECT_EQ(item.action, QStringLiteral("selItemStockSymbol:"));
    EXPECT_FALSE(item.toolTip);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, WatchListDirection,
    ::testing::Values(
        DirectionCase{"Up", QStringLiteral("150.25"), QStringLiteral("149.00"),
                      QStringLiteral("Acme Corp. [ACME] (1.25, 0.839%) : 150.25"), QStringLiteral("(1.25, 0.839%) "),
                      QColor(Qt::green), QStringLiteral("menuitem_up_g.tif")},
        DirectionCase{"DownWithoutMinusSigns", QStringLiteral("148.00"), QStringLiteral("149.00"),
                      QStringLiteral("Acme Corp. [ACME] (1, 0.671%) : 148.00"), QStringLiteral("(1, 0.671%) "),
                      QColor(Qt::red), QStringLiteral("menuitem_down_r.tif")},
        DirectionCase{"Unchanged", QStringLiteral("149.00"), QStringLiteral("149.00"),
                      QStringLiteral("Acme Corp. [ACME]  : 149.00"), QStringLiteral(" "), std::nullopt,
                      QStringLiteral("menuitem_spacer.tif")},
        DirectionCase{"NoPreviousClose", QStringLiteral("150.25"), std::nullopt,
                      QStringLiteral("Acme Corp. [ACME]  : 150.25"), QStringLiteral(" "), std::nullopt,
                      QStringLiteral("menuitem_spacer.tif")},
        DirectionCase{"ThousandsSeparatorEndsTheNumber", QStringLiteral("1,234.50"), QStringLiteral("0.50"),
                      QStringLiteral("Acme Corp. [ACME] (0.5, 100%) : 1,234.50"), QStringLiteral("(0.5, 100%) "),
                      QColor(Qt::green), QStringLiteral("menuitem_up_g.tif")}),
    [](const auto &paramInfo) { return std::string(paramInfo.param.name); });

TEST_F(WatchListSection, PreviousCloseOfZeroGivesAnInfinitePercent)
{
    setSymbols({QStringLiteral("ACME")});
    QuotePageFragment fragment;
    fragment.previousClose = QStringLiteral("0.00");
    storeQuote(QStringLiteral("ACME"), fragment);
    build();
    ASSERT_EQ(menu.size(), 1u);
    EXPECT_EQ((*line().styledTitle)[1].text, QStringLiteral("(150.25, ∞%) "));
}

struct HoldingCase {
    const char *name;
    QVariant shares;
    bool afterHoursSwitch;
    std::optional<QString> realTime;
    std::optional<QString> afterHours;
    QString title;
};

class WatchListHolding : public WatchListSection, public ::testing::WithParamInterface<HoldingCase> {};

TEST_P(WatchListHolding, ChoosesTheFirstApplicableFormat)
{
    const auto &c = GetParam();
    setSymbols({QStringLiteral("ACME")});
    if (c.shares.isValid())
        settings.setValue(QStringLiteral("CompanyShares"), QVariantMap{{QStringLiteral("ACME"), c.shares}});
    setSwitch("IncludeAfterHoursMenu", c.afterHoursSwitch);
    QuotePageFragment fragment;
    fragment.realTime = c.realTime;
    fragment.afterHours = c.afterHours;
    storeQuote(QStringLiteral("ACME"), fragment);
    build();
    ASSERT_EQ(menu.size(), 1u);
    EXPECT_EQ(line().title, c.title);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, WatchListHolding,
    ::testing::Values(
        HoldingCase{"HoldingRealTime", QStringLiteral("100"), true, QStringLiteral("150.30"), QStringLiteral("150.10"),
                    QStringLiteral("Acme Corp. [ACME] : 150.25, 150.30 (RT) (100 shares: $15,025.00)")},
        HoldingCase{"HoldingAfterHours", QStringLiteral("100"), true, std::nullopt, QStringLiteral("150.10"),
                    QStringLiteral("Acme Corp. [ACME] : 150.25, 150.10 (AH) (100 shares: $15,025.00)")},
        HoldingCase{"HoldingAfterHoursSwitchedOff", QStringLiteral("100"), false, QStringLiteral("150.30"),
                    QStringLiteral("150.10"), QStringLiteral("Acme Corp. [ACME] : 150.25 (100 shares: $15,025.00)")},
        HoldingCase{"HoldingAsNumber", qlonglong(1500), false, std::nullopt, std::nullopt,
                    QStringLiteral("Acme Corp. [ACME] : 150.25 (1,500 shares: $225,375.00)")},
        HoldingCase{"FractionalSharesCountWholeButValueExactly", QStringLiteral("10.5"), false, std::nullopt, std::nullopt,
                    QStringLiteral("Acme Corp. [ACME] : 150.25 (10 shares: $1,577.62)")},
        HoldingCase{"RealTimeWithoutHolding", QStringLiteral(""), true, QStringLiteral("150.30"), QStringLiteral("150.10"),
                    QStringLiteral("Acme Corp. [ACME] : 150.25, 150.30 (RT)")},
        HoldingCase{"AfterHoursWithoutHolding", QStringLiteral("0"), true, std::nullopt, QStringLiteral("150.10"),
                    QStringLiteral("Acme Corp. [ACME] : 150.25, 150.10 (AH)")},
        HoldingCase{"NegativeShares", QStringLiteral("-5"), false, std::nullopt, std::nullopt,
                    QStringLiteral("Acme Corp. [ACME] : 150.25")},
        HoldingCase{"NonNumericShares", QStringLiteral("lots"), false, std::nullopt, std::nullopt,
                    QStringLiteral("Acme Corp. [ACME] : 150.25")},
        // An absent "CompanyShares" means no holdings; the line is still shown.
        HoldingCase{"NoCompanySharesSetting", QVariant(), false, std::nullopt, std::nullopt,
                    QStringLiteral("Acme Corp. [ACME] : 150.25")}),
    [](const auto &paramInfo) { return std::string(paramInfo.param.name); });

TEST_F(WatchListSection, SuffixGoesBeforeTheFirstColonEvenInsideTheCompanyName)
{
    setSymbols({QStringLiteral("ACME")});
    QuotePageFragment fragment;
    fragment.company = QStringLiteral("Acme: The Company");
    storeQuote(QStringLiteral("ACME"), fragment);
    build();
    ASSERT_EQ(menu.size(), 1u);
    EXPECT_EQ(plainText(*line().styledTitle), QStringLiteral("Acme(1.25, 0.839%) : The Company [ACME] : 150.25"));
}

TEST_F(WatchListSection, ValuesAreCutIgnoringCaseAndKeepTheSymbolAsWritten)
{
    setSymbols({QStringLiteral("acme")});
    QuotePageFragment fragment;
    fragment.id = QStringLiteral("ACME");
    fragment.company = QStringLiteral(" Acme &amp; Sons ");
    storeQuote(QStringLiteral("acme"), fragment);
    build();
    ASSERT_EQ(menu.size(), 1u);
    EXPECT_EQ(line().title, QStringLiteral(" Acme &amp; Sons  [acme] : 150.25")) << "values are neither trimmed nor decoded";
}

TEST_F(WatchListSection, CompanyNameMissingShowsTheSymbol)
{
    setSymbols({QStringLiteral("ACME")});
    QuotePageFragment fragment;
    fragment.company.reset();
    storeQuote(QStringLiteral("ACME"), fragment);
    build();
    ASSERT_EQ(menu.size(), 1u);
    EXPECT_EQ(line().title, QStringLiteral("ACME [ACME] : 150.25"));
}

TEST_F(WatchListSection, PreviousCloseIsRecordedEvenWithoutALine)
{
    setSymbols({QStringLiteral("ACME"), QStringLiteral("GONE"), QStringLiteral("NOPAGE")});
    storeQuote(QStringLiteral("ACME"), fragmentFor(QStringLiteral("ACME")));
    QuotePageFragment noLast = fragmentFor(QStringLiteral("GONE"));
    noLast.last.reset();
    noLast.previousClose = QStringLiteral("12.00");
    storeQuote(QStringLiteral("GONE"), noLast);
    gPreviousClose.insert(QStringLiteral("NOPAGE"), QStringLiteral("7.00"));
    build();

    EXPECT_EQ(titles(), QStringList{QStringLiteral("ACME Inc. [ACME] : 150.25")});
    EXPECT_EQ(gPreviousClose.value(QStringLiteral("ACME")), QStringLiteral("149.00"));
    EXPECT_EQ(gPreviousClose.value(QStringLiteral("GONE")), QStringLiteral("12.00"));
    EXPECT_EQ(gPreviousClose.value(QStringLiteral("NOPAGE")), QStringLiteral("7.00"));
    for (const char *symbol : {"ACME", "GONE", "NOPAGE"}) {
        EXPECT_TRUE(state.m_headlines.contains(QString::fromLatin1(symbol))) << symbol;
        EXPECT_TRUE(state.m_headlines.value(QString::fromLatin1(symbol)).isEmpty()) << symbol;
    }

    // A later page without "Prev Close:" leaves the recorded value alone.
    QuotePageFragment noClose = fragmentFor(QStringLiteral("ACME"));
    noClose.previousClose.reset();
    storeQuote(QStringLiteral("ACME"), noClose);
    build();
    EXPECT_EQ(gPreviousClose.value(QStringLiteral("ACME")), QStringLiteral("149.00"));
    EXPECT_EQ(line().image, QStringLiteral("menuitem_spacer.tif"));
}

TEST_F(WatchListSection, PreviousCloseIsTheFirstCellAfterItsLabel)
{
    setSymbols({QStringLiteral("ACME")});
    QuotePageFragment fragment;
    fragment.previousClose.reset();
    fragment.body = QStringLiteral("<td class=\"yfnc_tabledata1\">1.00</td><th>PREV CLOSE:</th><td>x</td>"
                                   "<td class=\"yfnc_tabledata1\">140.00</td>");
    storeQuote(QStringLiteral("ACME"), fragment);
    build();
    EXPECT_EQ(gPreviousClose.value(QStringLiteral("ACME")), QStringLiteral("140.00"));
}

TEST_F(WatchListSection, HeadlinesStartAfreshAtEveryBuild)
{
    setSymbols({QStringLiteral("ACME")});
    state.m_headlines.insert(QStringLiteral("OLD"), {HeadlineRecord{QStringLiteral("http://x/"), QStringLiteral("x"), {}}});
    build();
    EXPECT_EQ(state.m_headlines.keys(), QStringList{QStringLiteral("ACME")});
}

TEST_F(WatchListSection, SubmenuGroupsInOrder)
{
    setSymbols({QStringLiteral("ACME")});
    storeQuote(QStringLiteral("ACME"), fragmentFor(QStringLiteral("ACME")));
    const QString logoAddress = LogoImageAddress(hosts, QStringLiteral("ACME"));
    state.m_urlContents.storeImage(logoAddress, solidImage(Qt::blue));
    state.m_urlContents.storeImage(ChartImageAddress(hosts, QStringLiteral("ACME")), solidImage(Qt::gray));
    for (const char *key : {"IncludeHeadlinesInSubmenu", "IncludeiChartsInSubmenu", "IncludeInteractiveiChartsLinksInSubmenu",
                            "IncludeStockDataInSubmenu"})
        setSwitch(key, true);
    build();

    ASSERT_GE(menu.size(), 1u);
    ASSERT_TRUE(line().submenu);
    const Menu &submenu = *line().submenu;
    const QStringList expected{
        QString(), QStringLiteral("---"), QStringLiteral("Open Log"), QStringLiteral("Save Headlines..."),
        QStringLiteral("---"), QString(), // chart image
        QStringLiteral("---"), QStringLiteral("1 Day Share Price Chart"), QStringLiteral("5 Day Share Price Chart"),
        QStringLiteral("3 Month Share Price Chart"), QStringLiteral("6 Month Share Price Chart"),
        QStringLiteral("1 Year Share Price Chart"), QStringLiteral("2 Year Share Price Chart"),
        QStringLiteral("5 Year Share Price Chart"), QStringLiteral("Max Share Price Chart"),
        QStringLiteral("---"), QStringLiteral("Last Trade: 150.25"), QStringLiteral("Prev Close: 149.00"),
        QStringLiteral("---"), QStringLiteral("Headlines for ACME Inc.")};
    EXPECT_EQ(titles(submenu), expected);

    const MenuItem &logo = submenu[0];
    EXPECT_EQ(logo.action, QStringLiteral("selItemOpenConsoleLog:"));
    EXPECT_EQ(logo.image, logoAddress);
    EXPECT_EQ(logo.imageData.pixelColor(0, 0), QColor(Qt::blue));
    EXPECT_EQ(logo.toolTip, QStringLiteral("ACME"));
    EXPECT_EQ(submenu[2].action, QStringLiteral("selItemOpenConsoleLog:"));
    EXPECT_EQ(submenu[2].toolTip, QStringLiteral("ACME"));
    EXPECT_EQ(submenu[3].action, QStringLiteral("selItemSaveHeadlines:"));
    EXPECT_EQ(submenu[3].toolTip, QStringLiteral("ACME"));

    // The headline section items close the section.
    EXPECT_EQ(titles().mid(1), (QStringList{QStringLiteral("---"), QStringLiteral("Save All Headlines..."),
                                            QStringLiteral("Go to Headlines folder...")}));
}

TEST_F(WatchListSection, GroupsSwitchedOffLeaveNoSeparators)
{
    setSymbols({QStringLiteral("ACME")});
    storeQuote(QStringLiteral("ACME"), fragmentFor(QStringLiteral("ACME")));
    build();
    ASSERT_EQ(menu.size(), 1u) << "no headline section items with headlines off";
    EXPECT_EQ(titles(*line().submenu), QStringList{QStringLiteral("Open Log")}) << "no logo stored, every group off";
}

TEST_F(WatchListSection, HeadlineSectionItemsWithoutAnyWatchList)
{
    setSwitch("IncludeHeadlinesInSubmenu", true);
    build();
    EXPECT_EQ(titles(), (QStringList{QStringLiteral("---"), QStringLiteral("Save All Headlines..."),
                                     QStringLiteral("Go to Headlines folder...")}));

    state.m_isSaving = true;
    build();
    EXPECT_EQ(titles(), (QStringList{QStringLiteral("---"), QStringLiteral("Stop Saving All Headlines"),
                                     QStringLiteral("Go to Headlines folder...")}));
    EXPECT_EQ(menu[1].action, QStringLiteral("selItemStopSaving:"));
    EXPECT_EQ(menu[1].toolTip, QStringLiteral("Stop saving headlines"));
    EXPECT_EQ(menu[2].action, QStringLiteral("selItemHeadlinesFolder:"));
}

TEST_F(WatchListSection, ChoosingALineOpensItsQuotePage)
{
    setSymbols({QStringLiteral("acme")});
    storeQuote(QStringLiteral("acme"), QuotePageFragment());
    build();
    ASSERT_EQ(menu.size(), 1u);
    selItemStockSymbol(line(), hosts, desktop);
    EXPECT_EQ(desktop.lines(), QStringList{QStringLiteral("open: http://quotes.test/q?s=acme")});

    ScriptedDesktop other;
    selItemStockSymbol(MenuItem::make(QStringLiteral("Acme [AC ME] : 1")), hosts, other);
    selItemStockSymbol(MenuItem::make(QStringLiteral("no brackets")), hosts, other);
    EXPECT_TRUE(other.lines().isEmpty()) << "a symbol that makes no address opens nothing";
}

} // namespace
} // namespace tickwell::testing
