// Every option control of the window against what the running application reads: the key it
// writes, the default it shows on first launch, and the value the controller's accessor then gets.
#include "PrefFixture.h"

#include "app/Preferences.h"
#include "archive/DocumentNames.h"

#include <QFileInfo>

namespace tickwell::testing {
namespace {

using TickwellPrefSwitchesTest = PrefFixture;

TEST_F(TickwellPrefSwitchesTest, EachCheckBoxShowsItsDefaultAndWritesItsKey)
{
    using Accessor = bool (Preferences::*)() const;
    const struct {
        QCheckBox *PreferencesWindow::*box;
        const char *key;
        bool shownOnFirstLaunch;
        Accessor read;
        const char *enabledBy = nullptr; // a switch that must be on for this one to be clickable
    } switches[] = {
        {&PreferencesWindow::showPreciousMetalsInMenuButton, "ShowPreciousMetalsInMenu", false, &Preferences::includePreciousMetals},
        {&PreferencesWindow::showOtherMarketIndicesInMenuButton, "ShowOtherMarketIndicesInMenu", false, &Preferences::includeOtherMarketIndices},
        {&PreferencesWindow::showMarketIndicesInMenuButton, "ShowMarketIndicesInMenu", false, &Preferences::includeMarketIndices},
        {&PreferencesWindow::includeAfterHoursMenuButton, "IncludeAfterHoursMenu", true, &Preferences::includeAfterHours},
        {&PreferencesWindow::includeHeadlinesInSubmenuButton, "IncludeHeadlinesInSubmenu", true, &Preferences::includeHeadlinesInSubmenu},
        {&PreferencesWindow::includeiChartsInSubmenuButton, "IncludeiChartsInSubmenu", true, &Preferences::includeiChartsInSubmenu},
        {&PreferencesWindow::includeInteractiveiChartsLinksInSubmenuButton, "IncludeInteractiveiChartsLinksInSubmenu", true,
         &Preferences::includeInteractiveiChartsLinksInSubmenu},
        {&PreferencesWindow::includeStockDataInSubmenuButton, "IncludeStockDataInSubmenu", true, &Preferences::includeStockDataInSubmenu},
        {&PreferencesWindow::includeStockHistoryInSubmenuButton, "IncludeStockHistoryInSubmenu", true,
         &Preferences::includeStockHistoryInSubmenu},
        {&PreferencesWindow::onlyShowFlaggedButton, "OnlyShowFlagged", true, &Preferences::onlyShowFlagged},
        {&PreferencesWindow::logToConsoleButton, "LogToConsole", true, &Preferences::logToConsole},
        {&PreferencesWindow::logOnlyIfStockChangesButton, "LogToConsoleOnlyIfStockChanges", true,
         &Preferences::logToConsoleOnlyIfStockChanges, "LogToConsole"},
        {&PreferencesWindow::showOpeningBellTitleButton, "ShowOpeningBellTitle", false, &Preferences::showOpeningBellTitle, "TitleTicker"},
        {&PreferencesWindow::titleTickerButton, "TitleTicker", false, &Preferences::titleTicker},
        {&PreferencesWindow::downloadHeadlinesButton, "DownloadHeadlines", false, &Preferences::downloadHeadlines},
        {&PreferencesWindow::setFilenameToHeadlineArticleNameButton, "SetFilenameToHeadlineArticleName", false,
         &Preferences::setFilenameToHeadlineArticleName},
        {&PreferencesWindow::displayTheHeadlineProgressWindowButton, "DisplayTheHeadlineProgressWindow", false,
         &Preferences::displayTheHeadlineProgressWindow},
    };
    for (const auto &sw : switches) {
        SCOPED_TRACE(sw.key);
        settings = MemorySettingsStore(sw.enabledBy ? QVariantMap{{QLatin1String(sw.enabledBy), true}} : QVariantMap{});
        const Preferences prefs(settings);
        reopen();
        QCheckBox *box = window().*sw.box;
        EXPECT_EQ(box->isChecked(), sw.shownOnFirstLaunch);
        EXPECT_EQ((prefs.*sw.read)(), sw.shownOnFirstLaunch) << "the window shows what the application uses";
        EXPECT_EQ(settings.values().size(), sw.enabledBy ? 1 : 0) << "nothing written before a click";

        box->click();
        EXPECT_EQ(settings.value(QLatin1String(sw.key)), QVariant(!sw.shownOnFirstLaunch));
        EXPECT_EQ((prefs.*sw.read)(), !sw.shownOnFirstLaunch);
        box->click();
        EXPECT_EQ((prefs.*sw.read)(), sw.shownOnFirstLaunch);
    }
    EXPECT_EQ(notifications.postCount(), 0) << "a switch alone restarts nothing";
}

TEST_F(TickwellPrefSwitchesTest, ColourWellsAndFormatWriteWhatTheApplicationReads)
{
    const Preferences prefs(settings);
    PreferencesWindow &w = window();
    EXPECT_EQ(w.upColorWell->color(), *prefs.upColor());
    EXPECT_EQ(w.downColorWell->color(), *prefs.downColor());
    const QColor up(1, 2, 3), down(250, 128, 7, 90);
    w.upColorWell->chooseColor(up);
    w.downColorWell->chooseColor(down);
    EXPECT_EQ(prefs.upColor(), up);
    EXPECT_EQ(prefs.downColor(), down);

    QComboBox *format = w.headlineFileFormatPopUpButton;
    QStringList seen;
    for (int i = 0; i < format->count(); ++i) {
        format->setFocus();
        QTest::keyClick(format, i == 0 ? Qt::Key_Home : Qt::Key_Down);
        seen.append(prefs.headlineFormat());
        EXPECT_EQ(IsPdfFormat(prefs.headlineFormat()), format->currentText() == QStringLiteral("PDF"));
    }
    seen.sort();
    EXPECT_EQ(seen, (QStringList{QStringLiteral("PDF"), QStringLiteral("Web Archive")}));

    // Who draws the menu: nothing stored for "Automatic", the platform then decides.
    QComboBox *panelMenu = w.panelMenuPopUpButton;
    EXPECT_EQ(panelMenu->currentIndex(), 0);
    panelMenu->setFocus();
    QTest::keyClick(panelMenu, Qt::Key_Down);
    EXPECT_EQ(prefs.panelMenu(), PanelMenu::Own);
    QTest::keyClick(panelMenu, Qt::Key_Down);
    EXPECT_EQ(prefs.panelMenu(), PanelMenu::Panel);
    EXPECT_EQ(settings.value(QStringLiteral("PanelMenu")), QVariant(QStringLiteral("panel")));

    reopen(); // shown again as stored
    EXPECT_EQ(window().panelMenuPopUpButton->currentData().toString(), QStringLiteral("panel"));
    window().panelMenuPopUpButton->setFocus();
    QTest::keyClick(window().panelMenuPopUpButton, Qt::Key_Home);
    EXPECT_FALSE(settings.value(QStringLiteral("PanelMenu")).has_value());
    EXPECT_EQ(window().upColorWell->color(), up);
    EXPECT_EQ(window().downColorWell->color(), down);
    EXPECT_EQ(window().headlineFileFormatPopUpButton->currentText(), prefs.headlineFormat());
}

// A fresh account has no download folder yet: the field names it, and "Open" makes it.
TEST_F(TickwellPrefSwitchesTest, OpenMakesAMissingDownloadFolder)
{
    ASSERT_TRUE(QDir(downloads).removeRecursively());
    PreferencesWindow &w = window();
    EXPECT_EQ(w.outputDirectoryTextField->text(), downloads);
    w.openDefaultOutputDirectoryButton->click();
    EXPECT_TRUE(QFileInfo(downloads).isDir());
    EXPECT_EQ(desktop.lines(), QStringList{QStringLiteral("open: ") + downloads});
}

} // namespace
} // namespace tickwell::testing
