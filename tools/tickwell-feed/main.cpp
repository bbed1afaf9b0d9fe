// tickwell-feed: a local quote feed on 127.0.0.1 serving every page, image and document that
// Tickwell's sections read, with moving prices, for the demo and the end-to-end tests.

#include "FeedServer.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include <thread>

#include <pthread.h>

namespace {

void printUsage(std::FILE *to)
{
    std::fputs("usage: tickwell-feed --port N [--latency-ms N] [--seed N] [--still] [--no-opening-bell] [--log]\n"
               "                     [--price-path SYMBOL=PRICE,PRICE,...]... [--live-fail MODE,...]... [--live-fail-after N]\n"
               "  --port N           port on 127.0.0.1; 0 picks a free one\n"
               "  --latency-ms N     delay before every answer\n"
               "  --seed N           seed of the price movements (default 1)\n"
               "  --still            prices never move: the same pages whatever the order of requests\n"
               "  --no-opening-bell  front page without the \"U.S. Markets open in\" countdown\n"
               "  --log              print each request on stderr, and each live answer's status\n"
               "  --price-path S=P,...  the n-th quote page of S shows the n-th price as its last\n"
               "                     trade, the last price after the path ends (repeatable); the live\n"
               "                     routes (chart, quote, delayed quote) step through the same path\n"
               "  --live-fail MODE,...  the live routes refuse: 401 (Invalid Crumb), 429 (Too Many\n"
               "                     Requests), html (a challenge page), hang (no answer); several modes\n"
               "                     take turns (repeatable)\n"
               "  --live-fail-after N  the first N live answers go well, the refusals come after\n"
               "Prints \"listening on 127.0.0.1:PORT\" once it accepts connections.\n",
               to);
}

bool readNumber(const char *text, unsigned long long max, unsigned long long &value)
{
    if (!text || !*text)
        return false;
    char *end = nullptr;
    errno = 0;
    value = std::strtoull(text, &end, 10);
    return errno == 0 && *end == '\0' && text[0] != '-' && value <= max;
}

// "SYMBOL=PRICE,PRICE,...": a symbol and at least one plain positive price.
bool readPricePath(const char *text, std::string &symbol, std::vector<double> &prices)
{
    if (!text)
        return false;
    const std::string argument = text;
    const std::size_t equals = argument.find('=');
    if (equals == 0 || equals == std::string::npos)
        return false;
    symbol = argument.substr(0, equals);
    prices.clear();
    std::size_t at = equals + 1;
    while (at <= argument.size()) {
        const std::size_t comma = std::min(argument.find(',', at), argument.size());
        const std::string number = argument.substr(at, comma - at);
        char *end = nullptr;
        errno = 0;
        const double price = std::strtod(number.c_str(), &end);
        if (number.empty() || errno != 0 || *end != '\0' || !(price > 0) || price > 1e9)
            return false;
        prices.push_back(price);
        at = comma + 1;
    }
    return !prices.empty();
}

// "401,hang": one or more failure modes.
bool readFailures(const char *text, std::vector<tickwell::feed::LiveFailure> &failures)
{
    if (!text || !*text)
        return false;
    const std::string argument = text;
    std::size_t at = 0;
    while (at <= argument.size()) {
        const std::size_t comma = std::min(argument.find(',', at), argument.size());
        const auto failure = tickwell::feed::LiveFailureNamed(std::string_view(argument).substr(at, comma - at));
        if (!failure)
            return false;
        failures.push_back(*failure);
        at = comma + 1;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    tickwell::feed::FeedOptions options;
    bool portGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const char *next = i + 1 < argc ? argv[i + 1] : nullptr;
        unsigned long long value = 0;
        std::string symbol;
        std::vector<double> prices;
        if (argument == "--port" && readNumber(next, 65535, value)) {
            options.port = static_cast<int>(value);
            portGiven = true;
            ++i;
        } else if (argument == "--latency-ms" && readNumber(next, 600000, value)) {
            options.latency = std::chrono::milliseconds(value);
            ++i;
        } else if (argument == "--seed" && readNumber(next, ~0ull, value)) {
            options.seed = value;
            ++i;
        } else if (argument == "--still") {
            options.still = true;
        } else if (argument == "--no-opening-bell") {
            options.openingBell = false;
        } else if (argument == "--price-path" && readPricePath(next, symbol, prices)) {
            options.pricePaths[symbol] = prices;
            ++i;
        } else if (argument == "--live-fail" && readFailures(next, options.liveFailures)) {
            ++i;
        } else if (argument == "--live-fail-after" && readNumber(next, ~0ull, value)) {
            options.liveFailAfter = static_cast<std::size_t>(value);
            ++i;
        } else if (argument == "--log") {
            options.logRequests = true;
        } else if (argument == "--help" || argument == "-h") {
            printUsage(stdout);
            return 0;
        } else {
            std::fprintf(stderr, "tickwell-feed: bad argument \"%s\"\n", argument.c_str());
            printUsage(stderr);
            return 2;
        }
    }
    if (!portGiven) {
        printUsage(stderr);
        return 2;
    }

    // SIGINT and SIGTERM stop the server from a thread of their own, outside any signal handler.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    tickwell::feed::FeedServer server(options);
    const int port = server.bind();
    if (port < 0) {
        std::fprintf(stderr, "tickwell-feed: cannot listen on 127.0.0.1:%d\n", options.port);
        return 1;
    }
    std::thread signalWaiter([&server, stopSignals] {
        int received = 0;
        sigwait(&stopSignals, &received);
        server.stop();
    });
    signalWaiter.detach();

    std::printf("listening on 127.0.0.1:%d\n", port);
    std::fflush(stdout);
    return server.listen() ? 0 : 1;
}
