#pragma once

#include <string>
#include <vector>

namespace tickwell::feed {

// A small intraday line chart of the given prices (oldest first), as PNG bytes.
std::string ChartImagePng(const std::vector<double> &pricesOldestFirst);

// A listed-company logo for a symbol: coloured bars of its own, as GIF bytes.
std::string LogoGif(const std::string &symbol);

// The picture of a news article, as PNG bytes.
std::string ArticleImagePng(const std::string &name);

} // namespace tickwell::feed
