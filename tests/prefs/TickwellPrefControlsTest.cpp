// Every control of the window against what the running application reads: the window shows on
// first launch what the application uses, and a click flips what the application reads. Then
// "Start Tickwell when you log in" and the Help links.
#include "PrefFixture.h"

#include "app/Preferences.h"
#include "archive/DocumentNames.h"
#include "platform/session/InstallLayout.h"
#include "platform/settings/PlistSettingsStore.h"

#include <QFileInfo>

namespace tickwell::testing {
namespace {

using namespace Qt::StringLiterals;
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

// A refused rate is not stored, and the field shows the last stored one again, or the display
// default when there is none or it is unfit.
TEST_F(TickwellPrefControlsTest, StoresFitRatesAndRefusesTheRest)
{
    const struct { const char *field, *key; QString typed; std::optional<QString> before, stored; QString shownAfter; } cases[] = {
        // Emptied fields get their refill texts, which are not the display defaults.
        {"dataUpdateRateField", "StockDataUpdateRate", "", {}, "10", "10"},
        {"logToConsoleRateField", "LogToConsoleRate", "", {}, "60", "60"},
        {"logToConsoleRateField", "LogToConsoleRate", "007", {}, "7", "7"},
        // A timer of 0 or less would spin; absurd ones would overflow.
        {"dataUpdateRateField", "StockDataUpdateRate", "0", {}, {}, "60"},
        {"titleTickerRateField", "TitleTickerRate", "-5", {}, {}, "10"},
        {"dataUpdateRateField", "StockDataUpdateRate", "99999999999999999999", {}, {}, "60"},
        {"dataUpdateRateField", "StockDataUpdateRate", QString::fromUtf8("\xD9\xA1\xD9\xA5"), {}, {}, "60"},
        {"dataUpdateRateField", "StockDataUpdateRate", "0", "20", "20", "20"},
        {"logToConsoleRateField", "LogToConsoleRate", "x", "-3", "-3", "10"},
    };
    for (const auto &c : cases) {
        settings = MemorySettingsStore(QVariantMap{{"TitleTicker", true}}); // the ticker's rate needs the ticker on
        if (c.before)
            settings.setValue(QLatin1String(c.key), *c.before);
        const int beeps = desktop.beeps();
        reopen();
        auto *field = window().findChild<QLineEdit *>(QLatin1String(c.field));
        typeInto(field, c.typed);
        SCOPED_TRACE(c.typed.toStdString());
        EXPECT_EQ(settings.value(QLatin1String(c.key)), c.stored ? std::optional<QVariant>(*c.stored) : std::nullopt);
        EXPECT_EQ(field->text(), c.shownAfter);
        EXPECT_EQ(desktop.beeps() - beeps, c.stored == c.before ? 1 : 0);
    }
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

class StartAtLoginTest : public PrefFixture {
protected:
    void SetUp() override
    {
        PrefFixture::SetUp();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
        autostartFolder = m_config.filePath(u"autostart"_s);
        entry = autostartFolder + u"/com.brantlow.Tickwell.desktop"_s;
    }

    void writeEntry(const QByteArray &text)
    {
        QDir().mkpath(autostartFolder);
        QFile file(entry);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    QStringList autostartFiles() const { return QDir(autostartFolder).entryList(QDir::Files | QDir::Hidden | QDir::System); }
    void click() { window().startAtLoginButton->click(); }

    QString autostartFolder, entry;

private:
    QTemporaryDir m_config;
};

TEST_F(StartAtLoginTest, TickingWritesExactlyTheEntryAndUntickingRemovesIt)
{
    writeEntry("[Desktop Entry]\nType=Application\nName=Other\nExec=other\n");
    QFile::rename(entry, autostartFolder + u"/other.desktop"_s); // another program's entry stays alone
    click();
    EXPECT_TRUE(window().startAtLoginButton->isChecked());
    EXPECT_EQ(autostartFiles(), QStringList({u"com.brantlow.Tickwell.desktop"_s, u"other.desktop"_s}));
    // The Exec line names the built program beside this one, plainly when its path needs no quotes.
    QFile written(entry);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QFileInfo program(QString::fromUtf8(written.readAll()).section(u"\nExec="_s, 1).section(u'\n', 0, 0));
    EXPECT_TRUE(program.isFile() && program.isExecutable());
    EXPECT_EQ(program.filePath(), InstallLayout::programDirectory() + u"/tickwell"_s);
    EXPECT_EQ(settings.values(), ClassicHostSettings()); // the file is the state, not a setting

    click();
    EXPECT_FALSE(window().startAtLoginButton->isChecked());
    EXPECT_EQ(autostartFiles(), QStringList({u"other.desktop"_s}));
}

// The session's own settings switch an entry off without removing it; the box shows what the
// session will do (read again each time the window is shown), and ticking it writes an entry that starts.
TEST_F(StartAtLoginTest, TheBoxShowsWhatTheSessionWillDo)
{
    const struct { const char *name; QByteArray file; bool ticked; } cases[] = { // a null file: none
        {"no entry", {}, false},
        {"plain entry", "[Desktop Entry]\nType=Application\nExec=tickwell\n", true},
        {"hidden", "[Desktop Entry]\nType=Application\nExec=tickwell\nHidden=true\n", false},
        {"switched off by GNOME", "[Desktop Entry]\nExec=tickwell\nX-GNOME-Autostart-enabled=false\n", false},
        {"key of another group", "[Desktop Entry]\nExec=tickwell\n[Desktop Action x]\nHidden=true\n", true},
        {"no entry group", "Exec=tickwell\n", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(entry);
        if (!c.file.isNull())
            writeEntry(c.file);
        pref().showWindow(); // showing the window reads the file again
        EXPECT_EQ(window().startAtLoginButton->isChecked(), c.ticked);
        if (!c.ticked) {
            click();
            reopen();
            EXPECT_TRUE(window().startAtLoginButton->isChecked());
        }
    }
}

TEST_F(StartAtLoginTest, AnEntryThatCannotBeWrittenLeavesTheBoxUnticked)
{
    ASSERT_TRUE(QFile(autostartFolder).open(QIODevice::WriteOnly)); // a file where the folder should be
    click();
    EXPECT_FALSE(window().startAtLoginButton->isChecked());
    EXPECT_EQ(desktop.beeps(), 1);
    EXPECT_EQ(desktop.systemLogLines().filter(u"autostart"_s).size(), 1);
}

using HelpTest = PrefFixture;

// Help and the link line open the README built beside the programs, a local page that exists.
TEST_F(HelpTest, HelpAndTheLinkLineOpenTheLocalDocumentation)
{
    window().helpButton->click();
    const QString opened = desktop.lines().value(0).mid(u"open: "_s.size());
    EXPECT_TRUE(QFileInfo(opened).isFile() && opened.endsWith(u"/README.html"_s)) << opened.toStdString();

    const QString href = window().linkTextField->text().section(u"href=\""_s, 1).section(u'"', 0, 0);
    EXPECT_EQ(QUrl(href).toLocalFile(), opened);
    emit window().linkTextField->linkActivated(href);
    EXPECT_EQ(desktop.lines(), QStringList({u"open: "_s + opened, u"open: "_s + opened}));
}

} // namespace
} // namespace tickwell::testing
