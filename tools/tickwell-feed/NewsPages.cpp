#include "NewsPages.h"

#include "FeedMarket.h"
#include "FeedText.h"

#include <array>
#include <cctype>

namespace tickwell::feed {

namespace {

struct Story {
    Headline::Link link;
    const char *titleBefore; // title = before + company + after
    const char *titleAfter;
    const char *source;
    const char *time;
};

constexpr std::array<Story, 4> kStories{{
    {Headline::Link::Absolute, "", " beats estimates & raises outlook", "Reuters", "(Fri 4:05PM)"},
    {Headline::Link::Relative, "", " opens a new plant", "Local Wire", "(Fri 1:15PM)"},
    {Headline::Link::Absolute, "Analysts weigh ", "'s outlook", "AP", "(Thu 9:12AM)"},
    {Headline::Link::AbsoluteNoText, "", ": what to watch next week", "MarketWatch", "(Thu 7:30AM)"},
}};

std::string slugOf(const std::string &symbol)
{
    std::string slug;
    for (unsigned char c : symbol) {
        if (std::isalnum(c))
            slug += static_cast<char>(std::tolower(c));
    }
    return slug.empty() ? "index" : slug;
}

std::string pathFor(const Story &story, const std::string &slug, std::size_t index)
{
    const std::string folder = story.link == Headline::Link::Relative ? "/news/local/" : "/news/";
    return folder + slug + "-" + std::to_string(index) + ".html";
}

} // namespace

std::vector<Headline> HeadlinesFor(const std::string &symbol)
{
    const std::string company = CompanyName(symbol);
    const std::string slug = slugOf(symbol);
    std::vector<Headline> headlines;
    for (std::size_t index = 0; index < kStories.size(); ++index) {
        const Story &story = kStories[index];
        Headline headline;
        headline.link = story.link;
        headline.path = pathFor(story, slug, index);
        headline.title = story.titleBefore + company + story.titleAfter;
        headline.linkHtml = EscapeHtml(headline.title);
        // Line breaks and runs of blanks inside a link text, as real pages have them.
        if (index == 2)
            headline.linkHtml = std::string("Analysts weigh\n  ") + EscapeHtml(company + story.titleAfter);
        headline.source = story.source;
        headline.time = story.time;
        headlines.push_back(std::move(headline));
    }
    return headlines;
}

std::optional<std::string> ArticlePage(const std::string &path)
{
    const bool local = path.rfind("/news/local/", 0) == 0;
    const std::string name = path.substr(local ? 12 : 6);
    const std::size_t dash = name.rfind('-');
    if (name.size() < 7 || name.substr(name.size() - 5) != ".html" || dash == std::string::npos || dash == 0)
        return std::nullopt;
    const std::string slug = name.substr(0, dash);
    const std::string number = name.substr(dash + 1, name.size() - 5 - dash - 1);
    if (number.size() != 1 || !std::isdigit(static_cast<unsigned char>(number[0])))
        return std::nullopt;
    const std::size_t index = static_cast<std::size_t>(number[0] - '0');
    if (index >= kStories.size() || (kStories[index].link == Headline::Link::Relative) != local)
        return std::nullopt;
    for (unsigned char c : slug) {
        if (!std::isalnum(c))
            return std::nullopt;
    }

    const Story &story = kStories[index];
    const std::string title = EscapeHtml(story.titleBefore + CompanyName(slug) + story.titleAfter);
    const std::string image = slug + "-" + number + ".png";
    return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + title + "</title>\n"
           "<link rel=\"stylesheet\" href=\"/news/style.css\"></head>\n<body><article>\n<h1>" + title + "</h1>\n"
           "<p class=\"byline\">" + story.source + " " + story.time + "</p>\n"
           "<img src=\"/news/img/" + image + "\" alt=\"Chart\" width=\"320\" height=\"160\">\n"
           "<p>Shares moved in busy trading as investors weighed the latest figures. Analysts said the "
           "results were broadly in line with expectations.</p>\n"
           "<p>The company is expected to report again next quarter.</p>\n"
           "<img src=\"/news/img/missing-" + image + "\" alt=\"\">\n"
           "</article></body></html>\n";
}

std::string ArticleStylesheet()
{
    return "body { font-family: sans-serif; margin: 2em; color: #222; }\n"
           "h1 { font-size: 1.6em; }\n"
           ".byline { color: #666; }\n";
}

} // namespace tickwell::feed
