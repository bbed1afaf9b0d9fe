#include "QuotePages.h"

#include "FeedText.h"
#include "NewsPages.h"

namespace tickwell::feed {

namespace {

std::string row(const std::string &label, const std::string &cell)
{
    return "<tr><th scope=\"row\" width=\"48%\">" + label + "</th><td class=\"yfnc_tabledata1\">" + cell + "</td></tr>\n";
}

std::string span(const std::string &id, const std::string &value)
{
    return "<span id=\"" + id + "\">" + value + "</span>";
}

std::string quoteTables(const StockQuote &quote, const std::string &id, const std::string &tradeTime)
{
    const std::string dividend = quote.dividend > 0
                                     ? Fixed(quote.dividend, 2) + " (" + Fixed(quote.dividend / quote.last * 100.0, 2) + "%)"
                                     : "N/A (N/A)";
    return "<div id=\"yfi_quote_summary_data\" class=\"rtq_table\">\n<table id=\"table1\">\n"
           + row("Last Trade:", "<big><b>" + span("yfs_l10_" + id, Fixed(quote.last, 2)) + "</b></big>")
           + row("Trade Time:", span("yfs_t10_" + id, tradeTime))
           + row("Prev Close:", Fixed(quote.previousClose, 2))
           + row("Open:", Fixed(quote.open, 2))
           + row("Bid:", span("yfs_b00_" + id, Fixed(quote.bid, 2)) + "<small> x 100</small>")
           + row("Ask:", span("yfs_a00_" + id, Fixed(quote.ask, 2)) + "<small> x 300</small>")
           + row("1y Target Est:", Fixed(quote.targetEstimate, 2))
           + "</table>\n<table id=\"table2\">\n"
           + row("Day's Range:", "<span>" + span("yfs_g00_" + id, Fixed(quote.dayLow, 2)) + "</span> - <span>"
                                     + span("yfs_h00_" + id, Fixed(quote.dayHigh, 2)) + "</span>")
           + row("52wk Range:", "<span>" + Fixed(quote.yearLow, 2) + "</span> - <span>" + Fixed(quote.yearHigh, 2) + "</span>")
           + row("Volume:", span("yfs_v00_" + id, Grouped(static_cast<double>(quote.volume), 0)))
           + row("Avg Vol <span class=\"small\">(3m)</span>:", Grouped(static_cast<double>(quote.averageVolume), 0))
           + row("Market Cap:", span("yfs_j10_" + id, Fixed(quote.marketCapBillions, 2) + "B"))
           + row("P/E <span class=\"small\">(ttm)</span>:", Fixed(quote.priceEarnings, 2))
           + row("EPS <span class=\"small\">(ttm)</span>:", Fixed(quote.earningsPerShare, 2))
           + row("Div &amp; Yield:", dividend)
           + "</table>\n</div>\n";
}

std::string headlineBlock(const std::string &symbol, const std::string &host)
{
    const std::string more = "/q/h?s=" + EscapeHtml(symbol);
    std::string block = "<div id=\"yfi_headlines\">\n<div class=\"hd\"><h3>Headlines</h3> <a href=\"" + more
                        + "\">Filter Headlines</a></div>\n<div class=\"bd\"><ul class=\"newsheadlines\">\n";
    for (const Headline &headline : HeadlinesFor(symbol)) {
        const std::string address =
            headline.link == Headline::Link::Relative ? headline.path : "http://" + host + headline.path;
        const std::string extra = headline.link == Headline::Link::AbsoluteNoText ? " target=\"_blank\"" : "";
        block += "<li><a href=\"" + address + "\"" + extra + ">" + headline.linkHtml + "</a> <cite>" + headline.source
                 + " <span>" + headline.time + "</span></cite></li>\n";
    }
    block += "</ul></div>\n<div class=\"ft\"><a href=\"" + more + "\">More Headlines for " + EscapeHtml(symbol)
             + "</a></div>\n</div>\n";
    return block;
}

} // namespace

std::string QuotePage(const StockQuote &quote, const std::string &host, const std::string &tradeTime)
{
    const std::string symbol = EscapeHtml(quote.symbol);
    const std::string id = Lower(symbol);
    const std::string company = EscapeHtml(quote.company);
    std::string page = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">\n<title>" + symbol + ": Summary for "
                       + company + "- Yahoo! Finance</title>\n<link rel=\"stylesheet\" href=\"/css/quote.css\">\n"
                       "<script>var quoteSymbol = \"" + symbol + "\";</script>\n</head>\n<body>\n"
                       "<div id=\"yfi_rt_quote_summary\"><div class=\"hd\"><div class=\"title\"><h2>" + company + " ("
                       + symbol + ")</h2></div></div>\n<div class=\"yfi_rt_quote_summary_rt_top\"><span class=\"time_rtq_ticker\">"
                       + span("yfs_l84_" + id, Fixed(quote.last, 2)) + "</span></div>\n";
    if (quote.hasRealTime)
        page += "<div class=\"yfs_rtq\"><span class=\"rtq_exch\">Real-time:</span> " + span("yfs_l90_" + id, Fixed(quote.realTime, 2))
                + "</div>\n";
    if (quote.hasAfterHours)
        page += "<div class=\"yfs_ah\"><span>After Hours:</span> " + span("yfs_l91_" + id, Fixed(quote.afterHours, 2))
                + "</div>\n";
    page += "</div>\n";
    page += quoteTables(quote, id, tradeTime);
    page += headlineBlock(quote.symbol, host);
    page += "<div id=\"footer\"><p>Quotes are delayed. Local feed for development and tests.</p></div>\n</body></html>\n";
    return page;
}

std::string UnknownSymbolPage(const std::string &symbol)
{
    return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Symbol Lookup</title></head>\n<body>\n"
           "<div id=\"yfi_sym_lookup\"><p>There are no All Markets results for " + EscapeHtml(symbol)
           + "</p></div>\n</body></html>\n";
}

std::string ChartPage(const std::string &symbol)
{
    const std::string escaped = EscapeHtml(symbol);
    return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + escaped + " Interactive Chart</title></head>\n"
           "<body>\n<h1>" + escaped + "</h1>\n<img src=\"/t?s=" + escaped + "\" alt=\"" + escaped + " chart\">\n"
           "<p id=\"range\"></p>\n<script>document.getElementById('range').textContent = location.hash;</script>\n"
           "</body></html>\n";
}

} // namespace tickwell::feed
