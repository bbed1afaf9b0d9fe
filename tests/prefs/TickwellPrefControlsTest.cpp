// Every control of the window against what the running application reads: the window shows on
// first launch what the application uses, and a click flips what the application reads.
#include "PrefFixture.h"

#include "app/Preferences.h"
#include "archive/DocumentNames.h"
#include "platform/settings/PlistSettingsStore.h"

#include <QFileInfo>

namespace tickwell::testing {
namespace {

using TickwellPrefControlsTest = PrefFixture;

TEST_F(TickwellPrefControlsTest, FirstLaunchAndMistypedValuesShowTheDefaultsAndWriteNothing)
{
    // A number is not a boolean, nor a rate that is not text.
    settings = MemorySettingsStore(QVariantMap{{"OnlyShowFlagged", 0LL}, {"StockDataUpdateRate", 15LL}, {"DownColor", QByteArray("garbage")}});
    const QVariantMap before = settings.values();
    PreferencesWindow &w = window();
    EXPECT_TRUE(w.onlyShowFlaggedButton->isChecked());
    EXPECT_EQ(w.dataUpdateRateField->text(), "60");
    EXPECT_EQ(w.downColorWell->color(), QColor(255, 0, 0));
    EXPECT_EQ(settings.values(), before);

    // A first launch on disk writes nothing: no settings file until a control is used.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("com.brantlow.Tickwell.plist"));
    PlistSettingsStore store(path);
    TickwellPref onDisk(PrefServices{store, notifications, loader, desktop});
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_EQ(notifications.postCount(), 0);
}

TEST_F(TickwellPrefControlsTest, StoresFitRatesAndRefusesTheRest)
{
    const struct { const char *field, *key; QString typed; std::optional<QString> stored; QString shownAfter; } cases[] = { // stored: nothing when refused
        // Emptied fields get their refill texts, which are not the display defaults.
        {"dataUpdateRateField", "StockDataUpdateRate", "", "10", "10"},
        {"logToConsoleRateField", "LogToConsoleRate", "", "60", "60"},
        {"logToConsoleRateField", "LogToConsoleRate", "007", "7", "7"},
        // A timer of 0 or less would spin; absurd ones would overflow.
        {"dataUpdateRateField", "StockDataUpdateRate", "0", std::nullopt, "60"},
        {"titleTickerRateField", "TitleTickerRate", "-5", std::nullopt, "10"},
        {"dataUpdateRateField", "StockDataUpdateRate", "99999999999999999999", std::nullopt, "60"},
        {"dataUpdateRateField", "StockDataUpdateRate", QString::fromUtf8("\xD9\xA1\xD9\xA5"), std::nullopt, "60"},
    };
    for (const auto &c : cases) {
        settings = MemorySettingsStore(QVariantMap{{"TitleTicker", true}}); // the ticker's rate needs the ticker on
        const int beeps = desktop.beeps();
        reopen();
        auto *field = window().findChild<QLineEdit *>(QLatin1String(c.field));
        typeInto(field, c.typed);
        SCOPED_TRACE(c.typed.toStdString());
        EXPECT_EQ(settings.value(QLatin1String(c.key)), c.stored ? std::optional<QVariant>(*c.stored) : std::nullopt);
        EXPECT_EQ(field->text(), c.shownAfter);
        EXPECT_EQ(desktop.beeps() - beeps, c.stored ? 0 : 1);
    }
}

// A refused rate shows the last stored one, or the display default when the stored one is unfit.
TEST_F(TickwellPrefControlsTest, RefusedRateGoesBackToTheLastFitOne)
{
    settings.setValue("LogToConsoleRate", QStringLiteral("-3"));
    PreferencesWindow &w = window();
    typeInto(w.dataUpdateRateField, "20");
    typeInto(w.dataUpdateRateField, "0");
    EXPECT_EQ(w.dataUpdateRateField->text(), "20");
    EXPECT_EQ(settings.value("StockDataUpdateRate"), QVariant(QStringLiteral("20")));
    typeInto(w.logToConsoleRateField, "x");
    EXPECT_EQ(w.logToConsoleRateField->text(), "10");
    EXPECT_EQ(settings.value("LogToConsoleRate"), QVariant(QStringLiteral("-3")));
}

TEST_F(TickwellPrefControlsTest, EachCheckBoxShowsAndFlipsWhatTheApplicationReads)
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
        EXPECT_EQ((prefs.*read)(), shown);
        (window().*box)->click();
        EXPECT_EQ((prefs.*read)(), !shown);
    }
    // Unticking logging disables its dependants at once; the ticker enables its own, the opening
    // bell line among them.
    settings = MemorySettingsStore();
    reopen();
    window().logToConsoleButton->click();
    EXPECT_FALSE(window().logToConsoleRateField->isEnabled() || window().logOnlyIfStockChangesButton->isEnabled());
    window().titleTickerButton->click();
    EXPECT_TRUE(window().titleTickerRateField->isEnabled() && window().showOpeningBellTitleButton->isEnabled());
    EXPECT_FALSE(window().showOpeningBellTitleButton->isChecked());
    window().showOpeningBellTitleButton->click();
    EXPECT_TRUE(Preferences(settings).showOpeningBellTitle());
    EXPECT_EQ(notifications.postCount(), 0); // a switch alone restarts nothing
}

TEST_F(TickwellPrefControlsTest, ColourWellsAndFormatWriteWhatTheApplicationReads)
{
    const Preferences prefs(settings);
    PreferencesWindow &w = window();
    EXPECT_TRUE(w.upColorWell->color() == prefs.upColor() && w.downColorWell->color() == prefs.downColor());
    const QColor up(1, 2, 3), down(250, 128, 7, 90);
    w.upColorWell->chooseColor(up);
    w.downColorWell->chooseColor(down);
    EXPECT_TRUE(prefs.upColor() == up && prefs.downColor() == down);

    QComboBox *format = w.headlineFileFormatPopUpButton;
    QStringList seen;
    for (int i = 0; i < format->count(); ++i) {
        format->setFocus();
        QTest::keyClick(format, i == 0 ? Qt::Key_Home : Qt::Key_Down);
        seen.append(format->currentText() + QLatin1String(IsPdfFormat(prefs.headlineFormat()) ? " is PDF" : " is not PDF"));
    }
    EXPECT_EQ(seen.join(u'|'), QStringLiteral("Web Archive is not PDF|PDF is PDF"));

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
    EXPECT_TRUE(window().upColorWell->color() == up && window().downColorWell->color() == down);
    EXPECT_EQ(window().headlineFileFormatPopUpButton->currentText(), prefs.headlineFormat());
}

// A fresh account has no download folder yet: the field names it, and "Open" makes it.
TEST_F(TickwellPrefControlsTest, OpenMakesAMissingDownloadFolder)
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
