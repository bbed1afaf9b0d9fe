#include "FeedText.h"

#include <cctype>
#include <cmath>
#include <locale>
#include <sstream>

namespace tickwell::feed {

std::string Fixed(double value, int decimals)
{
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out.setf(std::ios::fixed);
    out.precision(decimals);
    out << (std::fabs(value) < 0.5 * std::pow(10.0, -decimals) ? 0.0 : value);
    return out.str();
}

std::string Grouped(double value, int decimals)
{
    std::string text = Fixed(value, decimals);
    const bool negative = !text.empty() && text.front() == '-';
    const std::size_t digitsStart = negative ? 1 : 0;
    std::size_t point = text.find('.');
    if (point == std::string::npos)
        point = text.size();
    for (std::size_t at = point; at > digitsStart + 3; at -= 3)
        text.insert(at - 3, 1, ',');
    return text;
}

std::string Signed(double value, int decimals)
{
    const std::string text = Fixed(value, decimals);
    return text.front() == '-' || text.find_first_not_of("0.") == std::string::npos ? text : "+" + text;
}

std::string SignedGrouped(double value, int decimals)
{
    const std::string text = Grouped(value, decimals);
    return text.front() == '-' || text.find_first_not_of("0.,") == std::string::npos ? text : "+" + text;
}

std::string Lower(std::string text)
{
    for (char &c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string EscapeHtml(const std::string &text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

} // namespace tickwell::feed
