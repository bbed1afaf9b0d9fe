#include "OrderBookDocument.h"

#include "FeedText.h"

#include <cstdio>

namespace tickwell::feed {

namespace {

std::string jsonString(const std::string &text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string paddedPrice(double price)
{
    std::string text = Fixed(price, 4);
    while (text.size() < 9)
        text.insert(0, 1, '0');
    return jsonString(text);
}

std::string tradeTime(std::uint64_t tick, int back)
{
    const long long seconds = 9 * 3600 + 30 * 60 + static_cast<long long>(tick % 20000) - back;
    char text[16];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", seconds / 3600 % 24, seconds / 60 % 60, seconds % 60);
    return text;
}

} // namespace

std::string OrderBookDocument(const FeedMarket &market, const std::string &symbol, std::uint64_t tick)
{
    if (!FeedMarket::isKnown(symbol))
        return "{\"success\":false,\"data\":{\"symbol\":" + jsonString(symbol)
               + ",\"company\":\"Unknown symbol\",\"volume\":0,\"asks\":[],\"bids\":[],\"trades\":[]}}";

    const StockQuote quote = market.quote(symbol, tick);
    const std::vector<double> trades = market.recentTrades(symbol, tick, 5);
    std::string document = "{\"success\":true,\"data\":{\"symbol\":" + jsonString(symbol)
                           + ",\"company\":" + jsonString(quote.company) + ",\"timestamp\":\"" + tradeTime(tick, 0)
                           + "\",\"volume\":" + std::to_string(quote.volume) + ",\"asks\":[[300," + paddedPrice(quote.ask)
                           + "],[500," + paddedPrice(quote.ask + 0.05) + "]],\"bids\":[[100," + paddedPrice(quote.bid)
                           + "],[400," + paddedPrice(quote.bid - 0.05) + "]],\"trades\":[";
    for (std::size_t i = 0; i < trades.size(); ++i) {
        if (i > 0)
            document += ",";
        document += "[\"" + tradeTime(tick, static_cast<int>(i) * 7) + "\"," + std::to_string(100 * (i + 1)) + ","
                    + paddedPrice(trades[i]) + "]";
    }
    document += "]}}";
    return document;
}

} // namespace tickwell::feed
