// The chart of a longer range, as the interactive chart links show it with the live services:
// read from the chart service's response, measured against the close before the range.
#include "live/DayChart.h"
#include "live/LiveAddresses.h"
#include "live/RangeChartSource.h"
#include "live/LiveFixtures.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace tickwell;
using namespace tickwell::live_fixtures;
using namespace Qt::StringLiterals;

namespace {

const QColor kUp(0, 200, 0);
const QColor kDown(200, 0, 0);

int pixelsOf(const QImage &image, const QColor &colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
        {
            const QColor pixel = image.pixelColor(x, y);
            count += std::abs(pixel.red() - colour.red()) < 40 && std::abs(pixel.green() - colour.green()) < 40
                    && std::abs(pixel.blue() - colour.blue()) < 40 ? 1 : 0;
        }
    return count;
}

HttpResponse response(int status, const QByteArray &body, const QByteArray &type = "application/json")
{
    HttpResponse answer;
    answer.status = status;
    answer.body = body;
    answer.headers = {{"Content-Type", type}};
    return answer;
}

} // namespace

TEST(RangeChart, AYearIsMeasuredFromTheCloseBeforeItNotFromYesterday)
{
    // A year's daily bars rising from 100 to 110; yesterday closed at 112, a year ago at 95.
    ChartAnswer year;
    year.previousClose = 112.0;
    year.chartPreviousClose = 95.0;
    for (int day = 0; day < 250; ++day)
        year.bars.push_back(ChartBar{kRegularStart - (250 - day) * 86400LL, 100.0 + day * 10.0 / 249});

    const auto drawn = DrawRangeChart(year, true, kUp, kDown);
    ASSERT_TRUE(drawn);
    EXPECT_EQ(drawn->size(), QSize(480, 240));
    EXPECT_GT(pixelsOf(*drawn, kUp), 100) << "up over the year";
    EXPECT_EQ(pixelsOf(*drawn, kDown), 0);
    // The day's chart keeps yesterday's close: the same bars are down against 112.
    const auto day = DrawRangeChart(year, false, kUp, kDown);
    ASSERT_TRUE(day);
    EXPECT_GT(pixelsOf(*day, kDown), 100);
    EXPECT_EQ(RangeChartCaption(year, true), u"From 95 to 110: +15 (+15.789%); low 100, high 110"_s);
    EXPECT_EQ(RangeChartCaption(year, false), u"From 112 to 110: -2 (-1.786%); low 100, high 110"_s);
    // A history shorter than the range has no close before it: against its first close, unmarked.
    year.chartPreviousClose.reset();
    EXPECT_EQ(pixelsOf(*DrawRangeChart(year, true, kUp, kDown), kDown), 0);
    EXPECT_EQ(RangeChartCaption(year, true), u"From 100 to 110: +10 (+10%); low 100, high 110"_s);
}

TEST(RangeChart, TheServiceIsAskedForTheRangeWithTheSymbolEncoded)
{
    LiveServiceSettings settings;
    settings.quotesUrl = u"http://127.0.0.1:8080"_s;
    const struct {
        const char *code;
        const char *query; // empty: no such range
    } cases[] = {{"1d", "range=1d&interval=5m&includePrePost=true"}, {"5d", "range=5d&interval=30m"}, {"3m", "range=3mo&interval=1d"},
                 {"6m", "range=6mo&interval=1d"}, {"1y", "range=1y&interval=1d"}, {"2y", "range=2y&interval=1wk"},
                 {"5y", "range=5y&interval=1wk"}, {"my", "range=max&interval=1mo"}, {"max", ""}, {"", ""}};
    for (const auto &c : cases) {
        const auto range = LiveChartRangeOf(QString::fromLatin1(c.code));
        ASSERT_EQ(range.has_value(), *c.query != '\0') << c.code;
        if (range) {
            EXPECT_EQ(live_address::rangeChart(settings, u"^DJI"_s, *range),
                      u"http://127.0.0.1:8080/v8/finance/chart/%5EDJI?"_s + QLatin1String(c.query));
        }
    }
    EXPECT_EQ(live_address::chartPage(u"GC=F"_s), u"https://finance.yahoo.com/quote/GC%3DF/chart"_s);
    EXPECT_EQ(settings.request(u"http://x.test/"_s).headers.front().first, QByteArray("User-Agent"));
}

TEST(RangeChart, WhatIsNoChartSaysWhy)
{
    const QByteArray chart = ChartBody(u"\"chartPreviousClose\":95.0"_s, u"%1,%2"_s.arg(kRegularStart).arg(kRegularStart + 300), u"100.0,101.0"_s);
    const QByteArray unknownSymbol = R"({"chart":{"result":null,"error":{"code":"Not Found","description":"No data found, symbol may be delisted"}}})";
    const struct {
        const char *name;
        HttpResponse response;
        QString problem; // empty: a chart
    } cases[] = {
        {"a chart", response(200, chart), {}},
        {"refused", response(429, kTooManyRequests, "text/plain"), u"429 Too Many Requests"_s},
        {"a challenge page", response(200, kChallengePage, "text/html"), u"not a quote answer (HTML page)"_s},
        {"an unknown symbol", response(404, unknownSymbol), u"404 Not Found"_s},
        {"a truncated answer", response(200, chart.left(chart.size() / 2)), u"not a chart answer"_s},
        {"no answer", HttpResponse{}, u"no answer"_s},
    };
    for (const auto &c : cases) {
        const RangeChartResult result = ReadRangeChart(c.response);
        EXPECT_EQ(result.chart.has_value(), c.problem.isEmpty()) << c.name;
        EXPECT_EQ(result.problem, c.problem) << c.name;
        if (result.chart) {
            EXPECT_EQ(result.chart->chartPreviousClose, 95.0) << c.name;
        }
    }
}
