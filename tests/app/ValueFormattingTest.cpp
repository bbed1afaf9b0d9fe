#include "app/ValueFormatting.h"

#include <gtest/gtest.h>

#include <QTimeZone>

#include <limits>
#include <string>

using namespace tickwell;

namespace {

// A test sets locale and zone variables as it likes; the process's own come back after it.
class FormattingTest : public testing::Test {
protected:
    void TearDown() override
    {
        for (const char *name : {"LANG", "LC_NUMERIC", "LC_TIME"})
            qunsetenv(name);
        Set("LC_ALL", "en_US.UTF-8");
        Set("TZ", "America/New_York");
    }
    static void Set(const char *name, const char *value) { qputenv(name, value); }
};

// An instant given in UTC, so that it stays the same instant whatever TZ says.
QDateTime Utc(int month, int day, int hour, int minute, int second)
{
    return QDateTime(QDate(2026, month, day), QTime(hour, minute, second), QTimeZone::utc());
}

enum class Style { Long, Double, Currency };

TEST_F(FormattingTest, NumbersFollowTheLocale)
{
    const QString euro = QStringLiteral("\u00A0\u20AC"); // German amounts: no-break space, then the sign
    const struct {
        const char *locale;
        Style style;
        double value;
        QString expected;
    } cases[] = {
        { "en_US.UTF-8", Style::Double, 1234567.891, "1,234,567.891" },
        { "en_US.UTF-8", Style::Double, -0.0004, "0" }, // a tiny change has no sign
        { "en_US.UTF-8", Style::Double, 1.0005, "1" },  // half to even
        { "en_US.UTF-8", Style::Double, 1.0015, "1.002" },
        { "en_US.UTF-8", Style::Double, std::numeric_limits<double>::quiet_NaN(), "NaN" },
        { "en_US.UTF-8", Style::Double, -std::numeric_limits<double>::infinity(), "-\u221E" },
        { "en_US.UTF-8", Style::Long, std::numeric_limits<std::int32_t>::min(), "-2,147,483,648" },
        { "en_US.UTF-8", Style::Currency, -1234.5, "-$1,234.50" },
        { "en_US.UTF-8", Style::Currency, 2.499, "$2.50" },
        { "de_DE.UTF-8", Style::Double, 1234567.891, "1.234.567,891" },
        { "de_DE.UTF-8", Style::Currency, 1234.5, "1.234,50" + euro },
        { "de_DE.UTF-8@euro", Style::Double, 1000, "1.000" },
        { "de", Style::Currency, 1.5, "1,50" + euro }, // a language alone takes its likely currency
        // A session without a real locale formats for people, in United States English.
        { "C", Style::Double, 1234.5, "1,234.5" },
        { "POSIX", Style::Currency, -0.5, "-$0.50" },
        { "C.UTF-8", Style::Long, 1500, "1,500" },
        { "", Style::Currency, 24390, "$24,390.00" }, // nothing set at all (LANG is cleared below)
    };
    const auto format = [](Style style, double value) {
        return style == Style::Long ? FormatLongValue(static_cast<std::int32_t>(value))
            : style == Style::Double ? FormatDoubleValue(value)
                                     : FormatCurrencyDoubleValue(value);
    };
    Set("LANG", "");
    Set("LC_NUMERIC", "");
    for (const auto &c : cases) {
        Set("LC_ALL", c.locale);
        EXPECT_EQ(format(c.style, c.value), c.expected) << c.locale << " " << c.value;
        UseFormatterCache(false); // the formatters kept per locale give what fresh ones give
        EXPECT_EQ(format(c.style, c.value), c.expected) << c.locale << " " << c.value << " uncached";
        UseFormatterCache(true);
    }
}

TEST_F(FormattingTest, DatesAndTimesInTwoZones)
{
    const QDateTime winter = Utc(12, 6, 20, 4, 5);
    Set("LC_ALL", "en_US.UTF-8");
    Set("TZ", "America/New_York");
    EXPECT_EQ(MakeDateTimeString(winter, 3, 3), QStringLiteral("December 6, 2026 at 3:04:05\u202FPM EST"));
    EXPECT_EQ(MakeDateTimeString(Utc(7, 1, 3, 0, 0), 3, 3), QStringLiteral("June 30, 2026 at 11:00:00\u202FPM EDT"));
    EXPECT_EQ(MakeDateTimeString(winter, 5, 3), std::nullopt); // a style outside the formatter
    EXPECT_EQ(FormatDatePattern(Utc(12, 7, 5, 0, 0), QStringLiteral("h:mm:ss a")), QStringLiteral("12:00:00 AM"));
    EXPECT_EQ(DefaultDateDescription(Utc(7, 1, 3, 0, 0)), QStringLiteral("2026-06-30 23:00:00 -0400"));

    Set("LC_ALL", "de_DE.UTF-8");
    Set("TZ", "Europe/Berlin");
    EXPECT_EQ(MakeDateTimeString(winter, 3, 3), QStringLiteral("6. Dezember 2026 um 21:04:05 MEZ"));
    EXPECT_EQ(FormatDatePattern(Utc(7, 1, 9, 59, 59), QStringLiteral("h:mm:ss a")), QStringLiteral("11:59:59 AM"));
    Set("LC_ALL", "C");
    Set("TZ", "America/New_York");
    EXPECT_EQ(MakeDateTimeString(winter, 3, 3), QStringLiteral("December 6, 2026 at 3:04:05\u202FPM EST"));
    Set("LC_ALL", "POSIX");
    EXPECT_EQ(FormatDatePattern(Utc(12, 7, 5, 0, 0), QStringLiteral("h:mm:ss a")), QStringLiteral("12:00:00 AM"));
    Set("LC_ALL", "ar_EG.UTF-8"); // a locale with its own digits must not change the fixed form
    Set("TZ", "Asia/Kolkata");
    EXPECT_EQ(DefaultDateDescription(winter), QStringLiteral("2026-12-07 01:34:05 +0530"));
}

TEST_F(FormattingTest, LocaleVariablesTakePrecedenceInPosixOrder)
{
    const std::pair<const char *, const char *> steps[] = { { "LANG", "1.000,5" }, { "LC_NUMERIC", "1,000.5" }, { "LC_TIME", "1,000.5" },
        { "LC_ALL", "1.000,5" } };
    Set("LC_ALL", ""); // empty counts as unset
    Set("LC_NUMERIC", "");
    for (const auto &[variable, expected] : steps) {
        Set(variable, variable == std::string("LC_NUMERIC") ? "en_US.UTF-8" : "de_DE.UTF-8");
        EXPECT_EQ(FormatDoubleValue(1000.5), QString::fromUtf8(expected)) << variable;
    }
}

} // namespace
