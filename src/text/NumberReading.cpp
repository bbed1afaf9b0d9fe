#include "text/NumberReading.h"

#include <charconv>
#include <limits>
#include <string>

namespace tickwell {

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

qsizetype skipWhiteSpace(QStringView text)
{
    qsizetype at = 0;
    while (at < text.size() && text[at].isSpace())
        ++at;
    return at;
}

qsizetype skipDigits(QStringView text, qsizetype at)
{
    while (at < text.size() && isDigit(text[at]))
        ++at;
    return at;
}

// Roughly the power of ten of a well-formed decimal text, enough to tell a value too large for a
// double from one too small.
double decimalMagnitude(const std::string &ascii)
{
    const std::size_t exponentAt = ascii.find_first_of("eE");
    const std::string mantissa = ascii.substr(0, exponentAt);
    double exponent = 0;
    if (exponentAt != std::string::npos) {
        const char *begin = ascii.data() + exponentAt + 1;
        if (*begin == '+')
            ++begin;
        const auto parsed = std::from_chars(begin, ascii.data() + ascii.size(), exponent);
        if (parsed.ec == std::errc::result_out_of_range)
            exponent = ascii.find('-', exponentAt) != std::string::npos ? -1e300 : 1e300;
    }
    const std::size_t point = mantissa.find('.');
    const std::size_t firstSignificant = mantissa.find_first_of("123456789");
    if (firstSignificant == std::string::npos)
        return -1e300;
    const std::size_t integerEnd = point == std::string::npos ? mantissa.size() : point;
    const double position = firstSignificant < integerEnd ? double(integerEnd - firstSignificant)
                                                          : -double(firstSignificant - integerEnd - 1);
    return position + exponent;
}

} // namespace

double ReadDecimalNumber(QStringView text)
{
    const qsizetype start = skipWhiteSpace(text);
    qsizetype at = start;
    if (at < text.size() && (text[at] == u'+' || text[at] == u'-'))
        ++at;
    const qsizetype integerEnd = skipDigits(text, at);
    qsizetype end = integerEnd;
    bool digits = integerEnd > at;
    if (end < text.size() && text[end] == u'.') {
        const qsizetype fractionEnd = skipDigits(text, end + 1);
        digits = digits || fractionEnd > end + 1;
        end = fractionEnd;
    }
    if (!digits)
        return 0.0;
    if (end < text.size() && (text[end] == u'e' || text[end] == u'E')) {
        qsizetype exponent = end + 1;
        if (exponent < text.size() && (text[exponent] == u'+' || text[exponent] == u'-'))
            ++exponent;
        const qsizetype exponentEnd = skipDigits(text, exponent);
        if (exponentEnd > exponent)
            end = exponentEnd;
    }

    std::string ascii = text.sliced(start, end - start).toLatin1().toStdString();
    if (!ascii.empty() && ascii.front() == '+')
        ascii.erase(0, 1);
    double value = 0.0;
    const auto parsed = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (parsed.ec == std::errc::result_out_of_range) {
        const double magnitude = decimalMagnitude(ascii);
        value = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
        return ascii.front() == '-' ? -value : value;
    }
    return value;
}

std::int32_t ReadWholeNumber(QStringView text)
{
    qsizetype at = skipWhiteSpace(text);
    bool negative = false;
    if (at < text.size() && (text[at] == u'+' || text[at] == u'-'))
        negative = text[at++] == u'-';
    std::int64_t value = 0;
    constexpr std::int64_t limit = std::int64_t(std::numeric_limits<std::int32_t>::max()) + 1;
    for (; at < text.size() && isDigit(text[at]); ++at) {
        value = value * 10 + (text[at].unicode() - u'0');
        if (value > limit)
            value = limit;
    }
    if (negative)
        return static_cast<std::int32_t>(std::max(-value, std::int64_t(std::numeric_limits<std::int32_t>::min())));
    return static_cast<std::int32_t>(std::min(value, std::int64_t(std::numeric_limits<std::int32_t>::max())));
}

} // namespace tickwell
