#include "PrefFixture.h"

#include "app/Preferences.h"
#include "archive/OutputFolders.h"
#include "platform/PlistSettingsStore.h"

#include <QTemporaryDir>

namespace tickwell::testing {
namespace {

struct SwitchDefault {
    const char *control;
    const char *key;
    bool ticked;
};

const SwitchDefault kSwitches[] = {
    {"showPreciousMetalsInMenuButton", "ShowPreciousMetalsInMenu", false},
    {"showMarketIndicesInMenuButton", "ShowMarketIndicesInMenu", false},
    {"showOtherMarketIndicesInMenuButton", "ShowOtherMarketIndicesInMenu", false},
    {"includeHeadlinesInSubmenuButton", "IncludeHeadlinesInSubmenu", true},
    {"includeiChartsInSubmenuButton", "IncludeiChartsInSubmenu", true},
    {"includeInteractiveiChartsLinksInSubmenuButton", "IncludeInteractiveiChartsLinksInSubmenu", true},
    {"includeStockDataInSubmenuButton", "IncludeStockDataInSubmenu", true},
    {"includeStockHistoryInSubmenuButton", "IncludeStockHistoryInSubmenu", true},
    {"includeAfterHoursMenuButton", "IncludeAfterHoursMenu", true},
    {"onlyShowFlaggedButton", "OnlyShowFlagged", true},
    {"logToConsoleButton", "LogToConsole", true},
    {"logOnlyIfStockChangesButton", "LogToConsoleOnlyIfStockChanges", true},
    {"showOpeningBellTitleButton", "ShowOpeningBellTitle", false},
    {"titleTickerButton", "TitleTicker", false},
    {"downloadHeadlinesButton", "DownloadHeadlines", false},
    {"setFilenameToHeadlineArticleNameButton", "SetFilenameToHeadlineArticleName", false},
    {"displayTheHeadlineProgressWindowButton", "DisplayTheHeadlineProgressWindow", false},
};

class TickwellPrefControlsTest : public PrefFixture {
protected:
    QCheckBox *box(const char *name) { return window().findChild<QCheckBox *>(QLatin1String(name)); }
};

TEST_F(TickwellPrefControlsTest, FirstLaunchShowsTheDefaultsAndWritesNothing)
{
    PreferencesWindow &w = window();
    for (const auto &sw : kSwitches) {
        ASSERT_NE(box(sw.control), nullptr) << sw.control;
        EXPECT_EQ(box(sw.control)->isChecked(), sw.ticked) << sw.control;
    }
    EXPECT_EQ(w.logToConsoleRateField->text(), "10");
    EXPECT_EQ(w.titleTickerRateField->text(), "10");
    EXPECT_EQ(w.dataUpdateRateField->text(), "60");
    EXPECT_EQ(w.upColorWell->color(), QColor(0, 255, 0));
    EXPECT_EQ(w.downColorWell->color(), QColor(255, 0, 0));
    EXPECT_EQ(w.headlineFileFormatPopUpButton->currentIndex(), 0);
    EXPECT_EQ(w.headlineFileFormatPopUpButton->currentText(), "Web Archive"); // what the application uses
    EXPECT_EQ(w.outputDirectoryTextField->text(), downloads);
    EXPECT_EQ(w.stockSymbolTable->model()->rowCount(), 0);
    EXPECT_FALSE(w.deleteStockSymbolButton->isEnabled());
    EXPECT_EQ(w.m_versionInfoField->text(), QStringLiteral(TICKWELL_NAME " " TICKWELL_VERSION));

    EXPECT_TRUE(w.logToConsoleRateField->isEnabled());
    EXPECT_TRUE(w.logOnlyIfStockChangesButton->isEnabled());
    EXPECT_FALSE(w.titleTickerRateField->isEnabled());
    EXPECT_FALSE(w.showOpeningBellTitleButton->isEnabled());

    EXPECT_TRUE(settings.values().isEmpty());
    EXPECT_EQ(notifications.postCount(), 0);
}

TEST_F(TickwellPrefControlsTest, FirstLaunchCreatesNoSettingsFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("com.brantlow.Tickwell.plist"));
    PlistSettingsStore store(path);
    TickwellPref pref(PrefServices{store, notifications, loader, desktop});
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_EQ(pref.window()->dataUpdateRateField->text(), "60");
}

TEST_F(TickwellPrefControlsTest, StoredValuesAreShownAndMistypedOnesShowTheDefault)
{
    settings = MemorySettingsStore(QVariantMap{
        {"ShowPreciousMetalsInMenu", true},
        {"IncludeHeadlinesInSubmenu", false},
        {"OnlyShowFlagged", 0LL},                 // a number is not a boolean
        {"TitleTicker", true},
        {"LogToConsole", false},
        {"TitleTickerRate", QStringLiteral("abc")}, // shown as stored
        {"StockDataUpdateRate", 15LL},            // not text
        {"HeadlineFileFormat", QStringLiteral("PDF")},
        {"UpColor", ArchiveColor(QColor(10, 20, 30))},
        {"DownColor", QByteArray("garbage")},
    });
    const QVariantMap before = settings.values();
    PreferencesWindow &w = window();
    EXPECT_TRUE(w.showPreciousMetalsInMenuButton->isChecked());
    EXPECT_FALSE(w.includeHeadlinesInSubmenuButton->isChecked());
    EXPECT_TRUE(w.onlyShowFlaggedButton->isChecked());
    EXPECT_TRUE(w.titleTickerRateField->isEnabled());
    EXPECT_TRUE(w.showOpeningBellTitleButton->isEnabled());
    EXPECT_FALSE(w.logToConsoleRateField->isEnabled());
    EXPECT_FALSE(w.logToConsoleRateLabel->isEnabled());
    EXPECT_EQ(w.titleTickerRateField->text(), "abc");
    EXPECT_EQ(w.dataUpdateRateField->text(), "60");
    EXPECT_EQ(w.headlineFileFormatPopUpButton->currentText(), "PDF");
    EXPECT_EQ(w.upColorWell->color(), QColor(10, 20, 30));
    EXPECT_EQ(w.downColorWell->color(), QColor(255, 0, 0));
    EXPECT_EQ(settings.values(), before); // left as they are until a control is used
}

TEST_F(TickwellPrefControlsTest, UnknownFormatShowsTheFirstItem)
{
    settings.setValue("HeadlineFileFormat", QStringLiteral("pdf"));
    EXPECT_EQ(window().headlineFileFormatPopUpButton->currentIndex(), 0);
}

TEST_F(TickwellPrefControlsTest, EachSwitchWritesItsKeyAtOnceWithoutNotifying)
{
    for (const auto &sw : kSwitches) {
        QCheckBox *control = box(sw.control);
        if (!control->isEnabled())
            window().titleTickerButton->click(); // the opening-bell switch needs the ticker on
        const bool before = control->isChecked();
        control->click();
        EXPECT_EQ(settings.value(QLatin1String(sw.key)), QVariant(!before)) << sw.key;
        control->click();
        EXPECT_EQ(settings.value(QLatin1String(sw.key)), QVariant(before)) << sw.key;
    }
    EXPECT_EQ(notifications.postCount(), 0);
    EXPECT_GT(settings.syncCount(), 0);
}

TEST_F(TickwellPrefControlsTest, LoggingAndTickerSwitchesEnableTheirDependants)
{
    PreferencesWindow &w = window();
    w.logToConsoleButton->click();
    EXPECT_EQ(settings.value("LogToConsole"), QVariant(false));
    EXPECT_FALSE(w.logToConsoleRateField->isEnabled());
    EXPECT_FALSE(w.logOnlyIfStockChangesButton->isEnabled());
    w.logToConsoleButton->click();
    EXPECT_TRUE(w.logToConsoleRateField->isEnabled());
    EXPECT_TRUE(w.logOnlyIfStockChangesButton->isEnabled());

    w.titleTickerButton->click();
    EXPECT_EQ(settings.value("TitleTicker"), QVariant(true));
    EXPECT_TRUE(w.titleTickerRateField->isEnabled());
    EXPECT_TRUE(w.showOpeningBellTitleButton->isEnabled());
    EXPECT_EQ(notifications.postCount(), 0);
}

struct RateCase {
    const char *name;
    const char *field;
    const char *key;
    QString typed;
    std::optional<QString> stored; // nothing: refused, nothing written
    QString shownAfter;
};

void PrintTo(const RateCase &c, std::ostream *out) { *out << c.name; }

class RateFieldTest : public PrefFixture, public ::testing::WithParamInterface<RateCase> {};

TEST_P(RateFieldTest, StoresFitRatesAndRefusesTheRest)
{
    const RateCase &c = GetParam();
    settings.setValue("TitleTicker", true); // its rate field is enabled only with the ticker
    auto *field = window().findChild<QLineEdit *>(QLatin1String(c.field));
    ASSERT_NE(field, nullptr);
    typeInto(field, c.typed);
    EXPECT_EQ(settings.value(QLatin1String(c.key)), c.stored ? std::optional<QVariant>(*c.stored) : std::nullopt);
    EXPECT_EQ(field->text(), c.shownAfter);
    EXPECT_EQ(desktop.beeps(), c.stored ? 0 : 1);
    EXPECT_EQ(notifications.postCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rates, RateFieldTest,
    ::testing::Values(
        // Emptied fields get their refill texts, which are not the display defaults.
        RateCase{"EmptyRefresh", "dataUpdateRateField", "StockDataUpdateRate", "", "10", "10"},
        RateCase{"EmptyLogging", "logToConsoleRateField", "LogToConsoleRate", "", "60", "60"},
        RateCase{"EmptyTicker", "titleTickerRateField", "TitleTickerRate", "", "60", "60"},
        RateCase{"Plain", "dataUpdateRateField", "StockDataUpdateRate", "15", "15", "15"},
        RateCase{"Blanks", "dataUpdateRateField", "StockDataUpdateRate", " 15 ", "15", "15"},
        RateCase{"LeadingZeros", "logToConsoleRateField", "LogToConsoleRate", "007", "7", "7"},
        RateCase{"Smallest", "titleTickerRateField", "TitleTickerRate", "1", "1", "1"},
        RateCase{"Largest", "dataUpdateRateField", "StockDataUpdateRate", "99999", "99999", "99999"},
        // A timer of 0 or less would spin; absurd ones would overflow.
        RateCase{"Zero", "dataUpdateRateField", "StockDataUpdateRate", "0", std::nullopt, "60"},
        RateCase{"Negative", "titleTickerRateField", "TitleTickerRate", "-5", std::nullopt, "10"},
        RateCase{"Letters", "logToConsoleRateField", "LogToConsoleRate", "ten", std::nullopt, "10"},
        RateCase{"Fraction", "dataUpdateRateField", "StockDataUpdateRate", "1.5", std::nullopt, "60"},
        RateCase{"TrailingWord", "dataUpdateRateField", "StockDataUpdateRate", "15 min", std::nullopt, "60"},
        RateCase{"TooLarge", "dataUpdateRateField", "StockDataUpdateRate", "100000", std::nullopt, "60"},
        RateCase{"Huge", "dataUpdateRateField", "StockDataUpdateRate", "99999999999999999999", std::nullopt, "60"},
        RateCase{"ArabicIndicDigits", "dataUpdateRateField", "StockDataUpdateRate", QString::fromUtf8("\xD9\xA1\xD9\xA5"), std::nullopt, "60"},
        RateCase{"OnlyBlanks", "dataUpdateRateField", "StockDataUpdateRate", "   ", std::nullopt, "60"}),
    [](const auto &test) { return std::string(test.param.name); });

TEST_F(TickwellPrefControlsTest, RefusedRateGoesBackToTheLastStoredOne)
{
    PreferencesWindow &w = window();
    typeInto(w.dataUpdateRateField, "20");
    typeInto(w.dataUpdateRateField, "0");
    EXPECT_EQ(w.dataUpdateRateField->text(), "20");
    EXPECT_EQ(settings.value("StockDataUpdateRate"), QVariant(QStringLiteral("20")));
}

TEST_F(TickwellPrefControlsTest, StoredBadRateIsReplacedOnlyByAFitOne)
{
    settings.setValue("LogToConsoleRate", QStringLiteral("-3"));
    PreferencesWindow &w = window();
    EXPECT_EQ(w.logToConsoleRateField->text(), "-3");
    typeInto(w.logToConsoleRateField, "x");
    EXPECT_EQ(w.logToConsoleRateField->text(), "10"); // the display default, not the bad text
    EXPECT_EQ(settings.value("LogToConsoleRate"), QVariant(QStringLiteral("-3")));
}

TEST_F(TickwellPrefControlsTest, ColoursAreStoredInAFormThatRestoresThem)
{
    const QColor chosen = QColor::fromRgbF(0.2f, 0.4f, 0.6f, 0.5f);
    window().upColorWell->chooseColor(chosen);
    window().downColorWell->chooseColor(QColor(Qt::magenta));
    ASSERT_TRUE(settings.value("UpColor"));
    EXPECT_EQ(UnarchiveColor(settings.value("UpColor")->toByteArray()), chosen);
    EXPECT_EQ(Preferences(settings).downColor(), QColor(Qt::magenta));

    reopen();
    EXPECT_EQ(window().upColorWell->color(), chosen);
    EXPECT_EQ(window().downColorWell->color(), QColor(Qt::magenta));
}

TEST_F(TickwellPrefControlsTest, FormatPopUpStoresTheChosenTitle)
{
    QComboBox *popUp = window().headlineFileFormatPopUpButton;
    const int pdf = popUp->findText("PDF");
    popUp->setCurrentIndex(pdf);
    emit popUp->activated(pdf);
    EXPECT_EQ(settings.value("HeadlineFileFormat"), QVariant(QStringLiteral("PDF")));
    EXPECT_EQ(Preferences(settings).headlineFormat(), "PDF");
    popUp->setCurrentIndex(popUp->findText("Web Archive"));
    emit popUp->activated(popUp->currentIndex());
    EXPECT_EQ(settings.value("HeadlineFileFormat"), QVariant(QStringLiteral("Web Archive")));
}

TEST_F(TickwellPrefControlsTest, FolderControls)
{
    PreferencesWindow &w = window();
    w.selectOutputDirectoryButton->click(); // cancelled
    EXPECT_EQ(chooserRuns, 1);
    EXPECT_EQ(w.outputDirectoryTextField->text(), downloads);
    EXPECT_FALSE(settings.value("OutputDirectory"));

    const QString news = folderInHome("news");
    chooserAnswer = news;
    w.selectOutputDirectoryButton->click();
    EXPECT_EQ(w.outputDirectoryTextField->text(), news);
    // Stored at once as data, and found again by the application without an apply.
    ASSERT_TRUE(settings.value("OutputDirectory"));
    EXPECT_EQ(settings.value("OutputDirectory")->typeId(), QMetaType::QByteArray);
    EXPECT_EQ(GetOutputDirectory(settings), news);
    EXPECT_EQ(notifications.postCount(), 0);
    w.openDefaultOutputDirectoryButton->click();
    EXPECT_EQ(desktop.lines().last(), "open: " + news);

    reopen();
    EXPECT_EQ(window().outputDirectoryTextField->text(), news);

    window().clearOutputDirectoryButton->click();
    EXPECT_EQ(window().outputDirectoryTextField->text(), downloads);
    EXPECT_FALSE(settings.value("OutputDirectory"));

    QDir(downloads).removeRecursively(); // no download folder either
    window().clearOutputDirectoryButton->click();
    EXPECT_EQ(window().outputDirectoryTextField->text(), "");
    const auto opened = desktop.lines().size();
    window().openDefaultOutputDirectoryButton->click();
    EXPECT_EQ(desktop.beeps(), 1);
    EXPECT_EQ(desktop.lines().size(), opened);
}

TEST_F(TickwellPrefControlsTest, HelpAndLinkOpenTheProjectPages)
{
    window().helpButton->click();
    EXPECT_EQ(desktop.lines().last(), "open: " + TickwellPref::helpPageAddress());
    EXPECT_TRUE(TickwellPref::helpPageAddress().endsWith("/Utilities/Tickwell.html"));
    EXPECT_TRUE(window().linkTextField->text().contains(TickwellPref::homePageAddress()));
    emit window().linkTextField->linkActivated(TickwellPref::homePageAddress());
    EXPECT_EQ(desktop.lines().last(), "open: " + TickwellPref::homePageAddress());
}

} // namespace
} // namespace tickwell::testing
