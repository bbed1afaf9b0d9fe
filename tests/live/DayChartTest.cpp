#include "live/DayChart.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tickwell;

namespace {

const QColor kUp(0, 200, 0);
const QColor kDown(200, 0, 0);

ChartAnswer chartOf(std::initializer_list<std::optional<double>> closes, std::optional<double> previousClose)
{
    ChartAnswer chart;
    chart.previousClose = previousClose;
    std::int64_t time = 1796394600;
    for (const auto &close : closes)
        chart.bars.push_back(ChartBar{time += 300, close});
    return chart;
}

int pixelsLike(const QImage &image, const QColor &colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (std::abs(pixel.red() - colour.red()) < 40 && std::abs(pixel.green() - colour.green()) < 40
                && std::abs(pixel.blue() - colour.blue()) < 40)
                ++count;
        }
    }
    return count;
}

// Rows holding a grey pixel: the dashed previous-close line.
std::vector<int> greyRows(const QImage &image)
{
    std::vector<int> rows;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.red() == pixel.green() && pixel.green() == pixel.blue() && pixel.red() < 200) {
                rows.push_back(y);
                break;
            }
        }
    }
    return rows;
}

} // namespace

TEST(DrawDayChart, NeedsTwoClosesToDrawALine)
{
    EXPECT_EQ(DrawDayChart(chartOf({}, 10.0), kUp, kDown), std::nullopt);
    EXPECT_EQ(DrawDayChart(chartOf({10.0}, 9.0), kUp, kDown), std::nullopt);
    EXPECT_EQ(DrawDayChart(chartOf({std::nullopt, 10.0, std::nullopt}, 9.0), kUp, kDown), std::nullopt);
    EXPECT_EQ(DrawDayChart(chartOf({1.0, 2.0}, std::nullopt), kUp, kDown, QSize(0, 0)), std::nullopt);
    // Extreme but finite values are drawn or refused, never painted with infinities.
    const auto wide = DrawDayChart(chartOf({-1e308, 1e308}, std::nullopt), kUp, kDown);
    EXPECT_EQ(wide, std::nullopt);
}

TEST(DrawDayChart, ColoursTheLineByThePreviousCloseAndMarksIt)
{
    const struct {
        const char *name;
        ChartAnswer chart;
        bool up;
    } cases[] = {
        {"above the previous close", chartOf({10.0, std::nullopt, 11.0, 10.5}, 10.2), true},
        {"below the previous close", chartOf({10.0, 11.0, 10.1}, 10.2), false},
        {"at the previous close", chartOf({9.0, 10.2}, 10.2), true},
        {"without one, against the first close", chartOf({10.0, 9.0, 9.5}, std::nullopt), false},
        {"a flat day", chartOf({10.0, 10.0, 10.0}, 10.0), true},
    };
    for (const auto &c : cases) {
        const auto image = DrawDayChart(c.chart, kUp, kDown);
        ASSERT_TRUE(image) << c.name;
        EXPECT_EQ(image->size(), QSize(192, 96)) << c.name;
        EXPECT_GT(pixelsLike(*image, c.up ? kUp : kDown), 20) << c.name;
        EXPECT_EQ(pixelsLike(*image, c.up ? kDown : kUp), 0) << c.name;
        EXPECT_EQ(image->pixelColor(0, 0), QColor(Qt::white)) << c.name;
        // Drawn the same way every time: the menu compares images to skip redraws.
        EXPECT_EQ(*image, *DrawDayChart(c.chart, kUp, kDown)) << c.name;
    }

    // The dashed line lies at the previous close's height: here the lowest value, so at the bottom.
    const auto marked = DrawDayChart(chartOf({11.0, 12.0, 11.5}, 10.0), kUp, kDown, QSize(100, 50));
    ASSERT_TRUE(marked);
    const std::vector<int> rows = greyRows(*marked);
    ASSERT_FALSE(rows.empty());
    EXPECT_GE(rows.front(), 44);
    EXPECT_EQ(greyRows(*DrawDayChart(chartOf({11.0, 12.0}, std::nullopt), kUp, kDown)), std::vector<int>{});
}
