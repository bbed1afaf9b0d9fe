#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tickwell::feed {

// One article listed in a symbol's headline block.
struct Headline {
    enum class Link {
        Absolute,       // "http://HOST/news/SLUG-K.html" with its text
        Relative,       // "/news/local/SLUG-K.html", which the menu leaves out
        AbsoluteNoText, // an extra attribute on the link, so the menu looks its title up
    };
    Link link;
    std::string path;     // "/news/acme-0.html"
    std::string title;    // plain text
    std::string linkHtml; // the link text as the page writes it (entities, odd white space)
    std::string source;   // "Reuters"
    std::string time;     // "(Fri 4:05PM)"
};

// The articles of a symbol, in page order.
std::vector<Headline> HeadlinesFor(const std::string &symbol);

// The page of an article path ("/news/acme-0.html" or "/news/local/acme-1.html"), or nothing for
// a path that names no article. It has a title, a stylesheet, an image and one missing image.
std::optional<std::string> ArticlePage(const std::string &path);

std::string ArticleStylesheet();

} // namespace tickwell::feed
