#include "app/ValueFormatting.h"

#include <gtest/gtest.h>

#include <QTimeZone>

#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>

using namespace tickwell;

namespace {

// Sets locale and zone variables for one test and puts the previous values back afterwards.
class FormattingEnvironment : public testing::Test {
protected:
    void SetUp() override
    {
        for (size_t i = 0; i < kVariables.size(); ++i) {
            const char *value = std::getenv(kVariables[i]);
            m_saved[i] = value ? std::optional<std::string>(value) : std::nullopt;
            unsetenv(kVariables[i]);
        }
    }

    void TearDown() override
    {
        for (size_t i = 0; i < kVariables.size(); ++i) {
            if (m_saved[i])
                setenv(kVariables[i], m_saved[i]->c_str(), 1);
            else
                unsetenv(kVariables[i]);
        }
    }

    static void Set(const char *variable, const char *value) { setenv(variable, value, 1); }

private:
    static constexpr std::array<const char *, 5> kVariables{"LC_ALL", "LC_NUMERIC", "LC_TIME", "LANG", "TZ"};
    std::array<std::optional<std::string>, 5> m_saved;
};

enum class Style { Long, Double, Currency };

struct NumberCase {
    const char *name;
    const char *locale;
    Style style;
    double value;
    QString expected;
};

void PrintTo(const NumberCase &c, std::ostream *out) { *out << c.name; }

QString Format(Style style, double value)
{
    switch (style) {
    case Style::Long: return FormatLongValue(static_cast<std::int32_t>(value));
    case Style::Double: return FormatDoubleValue(value);
    case Style::Currency: return FormatCurrencyDoubleValue(value);
    }
    return {};
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();
const QString kEuro = QStringLiteral("\u00A0\u20AC"); // German amounts: no-break space, then the sign

// An instant given in UTC, so that it stays the same instant whatever TZ says.
QDateTime Utc(int year, int month, int day, int hour, int minute, int second)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::UTC);
}

} // namespace

class NumberFormattingTest : public FormattingEnvironment, public testing::WithParamInterface<NumberCase> {};

TEST_P(NumberFormattingTest, FollowsTheLocale)
{
    Set("LC_ALL", GetParam().locale);
    EXPECT_EQ(Format(GetParam().style, GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NumberFormattingTest,
    testing::Values(
        NumberCase{"us_whole", "en_US.UTF-8", Style::Double, 2, "2"},
        NumberCase{"us_half", "en_US.UTF-8", Style::Double, 0.5, "0.5"},
        NumberCase{"us_three_digits", "en_US.UTF-8", Style::Double, 1.23456, "1.235"},
        NumberCase{"us_grouping", "en_US.UTF-8", Style::Double, 1234567.891, "1,234,567.891"},
        NumberCase{"us_negative", "en_US.UTF-8", Style::Double, -3, "-3"},
        NumberCase{"us_thousand", "en_US.UTF-8", Style::Double, 1000, "1,000"},
        NumberCase{"us_no_trailing_zeros", "en_US.UTF-8", Style::Double, 12.3, "12.3"},
        NumberCase{"us_tiny_change_is_zero", "en_US.UTF-8", Style::Double, 0.0004, "0"},
        NumberCase{"us_tiny_negative_has_no_sign", "en_US.UTF-8", Style::Double, -0.0004, "0"},
        NumberCase{"us_half_even_down", "en_US.UTF-8", Style::Double, 1.0005, "1"},
        NumberCase{"us_half_even_up", "en_US.UTF-8", Style::Double, 1.0015, "1.002"},
        NumberCase{"us_not_a_number", "en_US.UTF-8", Style::Double, kNaN, "NaN"},
        NumberCase{"us_infinity", "en_US.UTF-8", Style::Double, kInfinity, "\u221E"},
        NumberCase{"us_minus_infinity", "en_US.UTF-8", Style::Double, -kInfinity, "-\u221E"},
        NumberCase{"us_shares", "en_US.UTF-8", Style::Long, 1500, "1,500"},
        NumberCase{"us_shares_minimum", "en_US.UTF-8", Style::Long, std::numeric_limits<std::int32_t>::min(),
                   "-2,147,483,648"},
        NumberCase{"us_currency", "en_US.UTF-8", Style::Currency, 1234.5, "$1,234.50"},
        NumberCase{"us_currency_zero", "en_US.UTF-8", Style::Currency, 0, "$0.00"},
        NumberCase{"us_currency_negative", "en_US.UTF-8", Style::Currency, -1234.5, "-$1,234.50"},
        NumberCase{"us_currency_rounds_to_cents", "en_US.UTF-8", Style::Currency, 2.499, "$2.50"},
        NumberCase{"de_thousand", "de_DE.UTF-8", Style::Double, 1000, "1.000"},
        NumberCase{"de_grouping", "de_DE.UTF-8", Style::Double, 1234567.891, "1.234.567,891"},
        NumberCase{"de_half", "de_DE.UTF-8", Style::Double, 0.5, "0,5"},
        NumberCase{"de_no_trailing_zeros", "de_DE.UTF-8", Style::Double, 12.3, "12,3"},
        NumberCase{"de_tiny_change_is_zero", "de_DE.UTF-8", Style::Double, 0.0004, "0"},
        NumberCase{"de_infinity", "de_DE.UTF-8", Style::Double, kInfinity, "\u221E"},
        NumberCase{"de_shares", "de_DE.UTF-8", Style::Long, 1500, "1.500"},
        NumberCase{"de_currency", "de_DE.UTF-8", Style::Currency, 1234.5, "1.234,50" + kEuro},
        NumberCase{"de_currency_zero", "de_DE.UTF-8", Style::Currency, 0, "0,00" + kEuro},
        NumberCase{"de_with_modifier", "de_DE.UTF-8@euro", Style::Double, 1000, "1.000"},
        NumberCase{"language_only_takes_likely_currency", "de", Style::Currency, 1.5, "1,50" + kEuro},
        NumberCase{"c_locale_plain_digits", "C", Style::Double, 1234.5, "1234.5"},
        NumberCase{"c_utf8_locale", "C.UTF-8", Style::Long, 1500, "1500"}),
    [](const testing::TestParamInfo<NumberCase> &param) { return std::string(param.param.name); });

TEST_F(FormattingEnvironment, LocaleVariablesTakePrecedenceInPosixOrder)
{
    Set("LANG", "de_DE.UTF-8");
    EXPECT_EQ(FormatDoubleValue(1000.5), QStringLiteral("1.000,5"));
    Set("LC_NUMERIC", "en_US.UTF-8");
    EXPECT_EQ(FormatDoubleValue(1000.5), QStringLiteral("1,000.5"));
    Set("LC_TIME", "de_DE.UTF-8"); // dates only
    EXPECT_EQ(FormatDoubleValue(1000.5), QStringLiteral("1,000.5"));
    Set("LC_ALL", "de_DE.UTF-8");
    EXPECT_EQ(FormatDoubleValue(1000.5), QStringLiteral("1.000,5"));
    Set("LC_ALL", ""); // empty counts as unset
    EXPECT_EQ(FormatDoubleValue(1000.5), QStringLiteral("1,000.5"));
}

TEST_F(FormattingEnvironment, LongDateAndTimeInTheSystemZone)
{
    const QDateTime winter = Utc(2026, 12, 6, 20, 4, 5);
    Set("LC_ALL", "en_US.UTF-8");
    Set("TZ", "America/New_York");
    EXPECT_EQ(MakeDateTimeString(winter, 3, 3), QStringLiteral("December 6, 2026 at 3:04:05\u202FPM EST"));
    EXPECT_EQ(MakeDateTimeString(Utc(2026, 7, 1, 3, 0, 0), 3, 3),
              QStringLiteral("June 30, 2026 at 11:00:00\u202FPM EDT"));
    EXPECT_EQ(MakeDateTimeString(winter, 1, 0), QStringLiteral("12/6/26"));

    Set("LC_ALL", "de_DE.UTF-8");
    Set("TZ", "Europe/Berlin");
    EXPECT_EQ(MakeDateTimeString(winter, 3, 3), QStringLiteral("6. Dezember 2026 um 21:04:05 MEZ"));
    Set("TZ", "Asia/Tokyo");
    EXPECT_EQ(MakeDateTimeString(winter, 2, 2), QStringLiteral("07.12.2026, 05:04:05"));
}

TEST_F(FormattingEnvironment, DateStylesOutsideTheFormatterGiveNothing)
{
    Set("LC_ALL", "en_US.UTF-8");
    const QDateTime moment = Utc(2026, 12, 6, 20, 4, 5);
    EXPECT_EQ(MakeDateTimeString(moment, 5, 3), std::nullopt);
    EXPECT_EQ(MakeDateTimeString(moment, 3, -1), std::nullopt);
    EXPECT_EQ(MakeDateTimeString(QDateTime(), 3, 3), std::nullopt);
    EXPECT_EQ(MakeDateTimeString(moment, 0, 0), QString());
}

struct PatternCase {
    const char *name;
    const char *locale;
    const char *zone;
    QDateTime moment;
    QString expected;
};

void PrintTo(const PatternCase &c, std::ostream *out) { *out << c.name; }

class NextFireTimeTest : public FormattingEnvironment, public testing::WithParamInterface<PatternCase> {};

TEST_P(NextFireTimeTest, TwelveHourClockInLocalTime)
{
    Set("LC_ALL", GetParam().locale);
    Set("TZ", GetParam().zone);
    EXPECT_EQ(FormatDatePattern(GetParam().moment, QStringLiteral("h:mm:ss a")), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NextFireTimeTest,
    testing::Values(PatternCase{"afternoon", "en_US.UTF-8", "America/New_York", Utc(2026, 12, 6, 20, 4, 5), "3:04:05 PM"},
                    PatternCase{"local_midnight", "en_US.UTF-8", "America/New_York", Utc(2026, 12, 7, 5, 0, 0),
                                "12:00:00 AM"},
                    PatternCase{"local_noon", "en_US.UTF-8", "America/New_York", Utc(2026, 12, 7, 17, 0, 9),
                                "12:00:09 PM"},
                    PatternCase{"half_hour_zone", "en_US.UTF-8", "Asia/Kolkata", Utc(2026, 12, 6, 20, 4, 5),
                                "1:34:05 AM"},
                    PatternCase{"german_locale", "de_DE.UTF-8", "Europe/Berlin", Utc(2026, 12, 6, 20, 4, 5),
                                "9:04:05 PM"},
                    PatternCase{"summer_time", "en_US.UTF-8", "Europe/Berlin", Utc(2026, 7, 1, 9, 59, 59),
                                "11:59:59 AM"}),
    [](const testing::TestParamInfo<PatternCase> &param) { return std::string(param.param.name); });

TEST_F(FormattingEnvironment, DefaultDateDescriptionIsFixedFormLocalTime)
{
    const QDateTime winter = Utc(2026, 12, 6, 20, 4, 5);
    Set("LC_ALL", "ar_EG.UTF-8"); // a locale with its own digits must not change the form
    Set("TZ", "America/New_York");
    EXPECT_EQ(DefaultDateDescription(winter), QStringLiteral("2026-12-06 15:04:05 -0500"));
    EXPECT_EQ(DefaultDateDescription(Utc(2026, 7, 1, 3, 0, 0)), QStringLiteral("2026-06-30 23:00:00 -0400"));
    Set("TZ", "UTC");
    EXPECT_EQ(DefaultDateDescription(winter), QStringLiteral("2026-12-06 20:04:05 +0000"));
    Set("TZ", "Asia/Kolkata");
    EXPECT_EQ(DefaultDateDescription(winter), QStringLiteral("2026-12-07 01:34:05 +0530"));
    EXPECT_EQ(DefaultDateDescription(QDateTime()), QString());
}
