#include "PrefFixture.h"

#include "platform/settings/PlistSettingsStore.h"

namespace tickwell::testing {
namespace {

using TickwellPrefControlsTest = PrefFixture;

TEST_F(TickwellPrefControlsTest, FirstLaunchAndMistypedValuesShowTheDefaultsAndWriteNothing)
{
    settings = MemorySettingsStore(QVariantMap{
        {"OnlyShowFlagged", 0LL},      // a number is not a boolean
        {"StockDataUpdateRate", 15LL}, // not text
        {"DownColor", QByteArray("garbage")},
    });
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

// Unticking logging disables its dependants at once; the ticker enables its own.
TEST_F(TickwellPrefControlsTest, LoggingAndTickerSwitchesEnableTheirDependants)
{
    PreferencesWindow &w = window();
    w.logToConsoleButton->click();
    EXPECT_EQ(settings.value("LogToConsole"), QVariant(false));
    EXPECT_FALSE(w.logToConsoleRateField->isEnabled());
    EXPECT_FALSE(w.logOnlyIfStockChangesButton->isEnabled());
    w.titleTickerButton->click();
    EXPECT_TRUE(w.titleTickerRateField->isEnabled());
    EXPECT_TRUE(w.showOpeningBellTitleButton->isEnabled());
    EXPECT_EQ(notifications.postCount(), 0);
}

TEST_F(TickwellPrefControlsTest, StoresFitRatesAndRefusesTheRest)
{
    const struct {
        const char *field;
        const char *key;
        QString typed;
        std::optional<QString> stored; // nothing: refused, nothing written
        QString shownAfter;
    } cases[] = {
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
        ASSERT_NE(field, nullptr);
        typeInto(field, c.typed);
        EXPECT_EQ(settings.value(QLatin1String(c.key)), c.stored ? std::optional<QVariant>(*c.stored) : std::nullopt) << c.typed.toStdString();
        EXPECT_EQ(field->text(), c.shownAfter) << c.typed.toStdString();
        EXPECT_EQ(desktop.beeps() - beeps, c.stored ? 0 : 1) << c.typed.toStdString();
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

} // namespace
} // namespace tickwell::testing
