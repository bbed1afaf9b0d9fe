#include "MarketPages.h"

#include "FeedText.h"

#include <array>

namespace tickwell::feed {

namespace {

struct MetalRow {
    const char *name;
    const char *chartPath;
};

constexpr std::array<MetalRow, 4> kMetals{{
    {"Gold", "/charts/livegoldnewyork.html"},
    {"Silver", "/charts/livesilver.html"},
    {"Platinum", "/charts/liveplatinum.html"},
    {"Palladium", "/charts/livepalladium.html"},
}};

std::string indexRow(const char *path, const char *name, const MarketValue &value)
{
    const char *kind = value.change < 0 ? "neg" : "pos";
    return std::string("<tr>\n<td class=\"wsod_firstCol\"><a href=\"/data/markets/") + path
           + "\" class=\"wsod_symbol\">" + name + "</a></td>\n<td class=\"wsod_last\"><span class=\"" + kind + "Last\">"
           + Grouped(value.last, 2) + "</span></td>\n<td class=\"wsod_aRight\"><span class=\"" + kind + "Change\">"
           + Signed(value.change, 2) + "</span></td>\n<td class=\"wsod_aRight\"><span class=\"" + kind + "ChangePct\">"
           + Signed(value.percent, 2) + "%</span></td>\n</tr>\n";
}

std::string metalRow(const MetalRow &metal, const MarketValue &value)
{
    const std::string crlf = "\r\n";
    const double spread = value.last * 0.0008;
    return "<tr>" + crlf + "<td class=\"name\"><a href=\"" + metal.chartPath + "\">" + metal.name + "</a></td>" + crlf
           + "<td>03/14/2014</td>" + crlf + "<td>16:59</td>" + crlf + "<td>" + Grouped(value.last, 2) + "</td>" + crlf
           + "<td>" + Grouped(value.last + spread, 2) + "</td>" + crlf + "<td>" + Signed(value.change, 2) + "</td>" + crlf
           + "<td>" + Signed(value.percent, 2) + "%</td>" + crlf + "<td>" + Grouped(value.last - value.last * 0.01, 2)
           + "</td>" + crlf + "<td>" + Grouped(value.last + value.last * 0.01, 2) + "</td>" + crlf + "</tr>" + crlf;
}

std::string countdown(int minutes)
{
    const int hours = minutes / 60;
    const int rest = minutes % 60;
    std::string text;
    if (hours > 0)
        text += std::to_string(hours) + (hours == 1 ? " hr " : " hrs ");
    text += std::to_string(rest) + (rest == 1 ? " min" : " mins");
    return text;
}

} // namespace

std::string MarketsPage(const FeedMarket &market, std::uint64_t tick)
{
    return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Markets - Stock Market Today</title></head>\n"
           "<body>\n<div class=\"wsod_marketsOverview\">\n<table class=\"wsod_dataTable wsod_dataTableBig\">\n"
           "<tr><th>Index</th><th>Last</th><th>Change</th><th>% Change</th></tr>\n"
           + indexRow("dow", "Dow", market.dow(tick)) + indexRow("nasdaq", "Nasdaq", market.nasdaq(tick))
           + indexRow("sandp", "S&amp;P", market.standardAndPoors(tick))
           + "</table>\n</div>\n</body></html>\n";
}

std::string MetalsPage(const FeedMarket &market, std::uint64_t tick)
{
    std::string page = "<!DOCTYPE html>\r\n<html><head><title>Kitco - Spot Gold &amp; Precious Metals</title></head>\r\n"
                       "<body>\r\n<table class=\"spot\">\r\n<tr><th>Metal</th><th>Date</th><th>Time</th><th>Bid</th>"
                       "<th>Ask</th><th>Change</th><th>%Change</th><th>Low</th><th>High</th></tr>\r\n";
    for (const MetalRow &metal : kMetals)
        page += metalRow(metal, market.metal(metal.name, tick));
    page += "</table>\r\n</body></html>\r\n";
    return page;
}

std::string FrontPage(const FeedMarket &market, std::uint64_t tick, const std::string &host, bool openingBell)
{
    const MarketValue dollar = market.dollarIndex(tick);
    const char *kind = dollar.change < 0 ? "down" : "up";
    std::string page = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Finance - Quotes</title></head>\n"
                       "<body>\n<div id=\"yfimh_markets\">";
    if (openingBell)
        page += "<span class=\"bell\">U.S. Markets open in " + countdown(market.minutesToOpen(tick)) + "</span>";
    else
        page += "<span class=\"bell\">U.S. Markets are open</span>";
    page += "</div>\n<div class=\"quotes\">\n<dl class=\"quote\"><dt><a href=\"http://" + host
            + "/chart/?s=NYBOT_DX\">US Dollar</a></dt><dd class=\"" + kind + "\">" + Fixed(dollar.last, 3) + "</dd><dd class=\""
            + kind + "\">" + Signed(dollar.change, 3) + " " + Signed(dollar.percent, 2) + "%</dd></dl>\n"
            "</div>\n</body></html>\n";
    return page;
}

std::optional<std::string> MetalChartPage(const std::string &path)
{
    for (const MetalRow &metal : kMetals) {
        if (path == metal.chartPath)
            return std::string("<!DOCTYPE html>\n<html><head><title>Live ") + metal.name
                   + " Chart</title></head>\n<body><h1>Live " + metal.name + " Chart</h1></body></html>\n";
    }
    return std::nullopt;
}

} // namespace tickwell::feed
