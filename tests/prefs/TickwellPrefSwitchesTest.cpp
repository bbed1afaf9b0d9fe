// Every option control of the window against what the running application reads: the window
// shows on first launch what the application uses, and a click flips what the application reads.
#include "PrefFixture.h"

#include "app/Preferences.h"
#include "archive/DocumentNames.h"

#include <QFileInfo>

namespace tickwell::testing {
namespace {

using TickwellPrefSwitchesTest = PrefFixture;

TEST_F(TickwellPrefSwitchesTest, EachCheckBoxShowsAndFlipsWhatTheApplicationReads)
{
    using W = PreferencesWindow;
    using P = Preferences;
    const std::pair<QCheckBox *W::*, bool (P::*)() const> switches[] = {
        {&W::showPreciousMetalsInMenuButton, &P::includePreciousMetals}, {&W::showOtherMarketIndicesInMenuButton, &P::includeOtherMarketIndices},
        {&W::showMarketIndicesInMenuButton, &P::includeMarketIndices}, {&W::includeAfterHoursMenuButton, &P::includeAfterHours},
        {&W::includeHeadlinesInSubmenuButton, &P::includeHeadlinesInSubmenu}, {&W::includeiChartsInSubmenuButton, &P::includeiChartsInSubmenu},
        {&W::includeInteractiveiChartsLinksInSubmenuButton, &P::includeInteractiveiChartsLinksInSubmenu},
        {&W::includeStockDataInSubmenuButton, &P::includeStockDataInSubmenu}, {&W::includeStockHistoryInSubmenuButton, &P::includeStockHistoryInSubmenu},
        {&W::onlyShowFlaggedButton, &P::onlyShowFlagged}, {&W::logToConsoleButton, &P::logToConsole},
        {&W::logOnlyIfStockChangesButton, &P::logToConsoleOnlyIfStockChanges}, {&W::titleTickerButton, &P::titleTicker},
        {&W::downloadHeadlinesButton, &P::downloadHeadlines}, {&W::setFilenameToHeadlineArticleNameButton, &P::setFilenameToHeadlineArticleName},
        {&W::displayTheHeadlineProgressWindowButton, &P::displayTheHeadlineProgressWindow},
    };
    for (const auto &[box, read] : switches) {
        settings = MemorySettingsStore();
        const Preferences prefs(settings);
        reopen();
        SCOPED_TRACE((window().*box)->objectName().toStdString());
        const bool shown = (window().*box)->isChecked();
        EXPECT_EQ((prefs.*read)(), shown) << "the window shows what the application uses";
        (window().*box)->click();
        EXPECT_EQ((prefs.*read)(), !shown);
    }
    // The opening bell line needs the ticker on to be clickable.
    settings = MemorySettingsStore(QVariantMap{{QStringLiteral("TitleTicker"), true}});
    reopen();
    EXPECT_FALSE(window().showOpeningBellTitleButton->isChecked());
    window().showOpeningBellTitleButton->click();
    EXPECT_TRUE(Preferences(settings).showOpeningBellTitle());
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
