#include "alerts/AlertCrossing.h"
#include "app/AlertNumber.h"
#include "app/PriceAlertSettings.h"

#include <gtest/gtest.h>

#include <QLocale>

#include <clocale>
#include <cmath>
#include <string>

namespace tickwell {
namespace {

// Values fed pass after pass (NAN: no readable value in that pass) and the passes that fire.
TEST(AlertCrossing, FiresOncePerCrossing)
{
    const struct {
        const char *name;
        AlertKind kind;
        double threshold;
        std::vector<double> values;
        std::vector<int> firing;
    } cases[] = {
        {"crossing up", AlertKind::Above, 150, {149, 149.99, 150, 151}, {2}},
        {"already above at launch", AlertKind::Above, 150, {151, 152}, {0}},
        {"hovering within the band", AlertKind::Above, 150, {151, 149.9, 150.1, 149.26, 150.5}, {0}},
        {"back across by 0.5 % re-arms", AlertKind::Above, 150, {151, 149.25, 150}, {0, 2}},
        {"below: hover, then re-arm", AlertKind::Below, 200, {199, 200.99, 199, 201, 199.5}, {0, 4}},
        {"day move up", AlertKind::DayMove, 5, {1.2, 4.99, 5.01, 6}, {2}},
        {"day move swings through zero", AlertKind::DayMove, 5, {5.1, 4.98, 5.2, 4.97, -5}, {0, 4}},
        {"missing values change nothing", AlertKind::Above, 150, {NAN, 151, NAN, 149, NAN, 151}, {1, 5}},
        {"missing value keeps a fired alert quiet", AlertKind::Above, 150, {151, NAN, 151}, {0}},
        {"infinity is no value", AlertKind::Below, 1, {INFINITY, -INFINITY, 2, 0.5}, {3}},
    };
    for (const auto &c : cases) {
        AlertCrossing crossing(c.kind, c.threshold);
        std::vector<int> fired;
        const QDateTime start(QDate(2026, 12, 7), QTime(10, 0));
        for (size_t pass = 0; pass < c.values.size(); ++pass) {
            const double value = c.values[pass];
            const auto reading = std::isnan(value) ? std::nullopt : std::optional<double>(value);
            if (crossing.update(reading, start.addSecs(static_cast<qint64>(pass) * 60)))
                fired.push_back(static_cast<int>(pass));
        }
        EXPECT_EQ(fired, c.firing) << c.name;
    }
}

// Typed thresholds and page values: plain decimals only, read the same in every locale.
TEST(AlertNumber, ReadsPlainDecimalsAndRefusesTheRest)
{
    const struct {
        const char *text;
        std::optional<double> value;
    } cases[] = {
        {"150", 150}, {" 150.5\t", 150.5}, {"+1", 1}, {".5", 0.5}, {"5.", 5}, {"\u00a0" "150", 150}, {"007.10", 7.1},
        {"150,5", std::nullopt},  // a decimal comma: refused, never read as 150 or 1505
        {"1,500", std::nullopt},  // a thousands separator
        {"1 500", std::nullopt}, {"150 USD", std::nullopt}, {"$150", std::nullopt}, {"1e3", std::nullopt},
        {"", std::nullopt}, {"  ", std::nullopt}, {"-", std::nullopt}, {".", std::nullopt}, {"1.2.3", std::nullopt},
        {"N/A", std::nullopt}, {"\u0661\u0665\u0660", std::nullopt}, {"nan", std::nullopt}, {"inf", std::nullopt},
    };
    // The same in a locale whose decimal separator is a comma.
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    for (const char *locale : {"en_US.UTF-8", "de_DE.UTF-8"}) {
        std::setlocale(LC_ALL, locale);
        QLocale::setDefault(QLocale(QString::fromLatin1(locale).left(5)));
        for (const auto &c : cases)
            EXPECT_EQ(ReadAlertNumber(QString::fromUtf8(c.text)), c.value) << c.text << " in " << locale;
    }
    std::setlocale(LC_ALL, previous.c_str());
    QLocale::setDefault(QLocale(QStringLiteral("en_US")));
    EXPECT_EQ(ReadAlertNumber(QString(400, u'9')), std::nullopt);

    // A threshold must be above 0; numbers stored by other tools count as their text.
    EXPECT_EQ(ReadAlertThreshold(QStringLiteral("0")).value, std::nullopt);
    EXPECT_EQ(ReadAlertThreshold(QVariant(150.25)).value, 150.25);
    EXPECT_EQ(ReadAlertThreshold(QVariant(qlonglong(7))).text, QStringLiteral("7"));
    EXPECT_FALSE(ReadAlertThreshold(QVariant(QVariantList{1})).isSet());
}

} // namespace
} // namespace tickwell
