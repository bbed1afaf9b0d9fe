#include "logging/QuoteNumbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace tickwell {

namespace {

// The ASCII run at the start of the text (after white space) that may hold a number.
std::string leadingAscii(QStringView text)
{
    qsizetype at = 0;
    while (at < text.size() && text[at].isSpace())
        ++at;
    std::string ascii;
    for (; at < text.size() && text[at].unicode() < 0x80 && !text[at].isSpace(); ++at)
        ascii += static_cast<char>(text[at].unicode());
    if (ascii.size() > 1 && ascii.front() == '+' && ascii[1] != '-')
        ascii.erase(0, 1); // from_chars takes no plus sign
    return ascii;
}

bool isNumber(const QVariant &entry)
{
    switch (entry.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
        return true;
    default:
        return false;
    }
}

std::int32_t clampToInt32(double value)
{
    if (std::isnan(value))
        return 0;
    value = std::clamp(value, double(std::numeric_limits<std::int32_t>::min()), double(std::numeric_limits<std::int32_t>::max()));
    return static_cast<std::int32_t>(value);
}

} // namespace

double LeadingDouble(QStringView text)
{
    const std::string ascii = leadingAscii(text);
    // Only plain decimal forms: "inf", "nan" and hexadecimal are not numbers here.
    if (ascii.empty() || ascii.find_first_of("0123456789") == std::string::npos)
        return 0.0;
    const char first = ascii[ascii.front() == '-' ? 1 : 0];
    if (first != '.' && (first < '0' || first > '9'))
        return 0.0;
    double value = 0.0;
    const auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value, std::chars_format::fixed | std::chars_format::scientific);
    (void)end;
    if (error == std::errc::result_out_of_range)
        return 0.0;
    return error == std::errc() ? value : 0.0;
}

std::int32_t LeadingInt32(QStringView text)
{
    const std::string ascii = leadingAscii(text);
    long long value = 0;
    const auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    (void)end;
    if (error == std::errc::result_out_of_range)
        return ascii.front() == '-' ? std::numeric_limits<std::int32_t>::min() : std::numeric_limits<std::int32_t>::max();
    if (error != std::errc())
        return 0;
    return static_cast<std::int32_t>(std::clamp<long long>(value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

double SharesAsDouble(const QVariant &entry)
{
    if (isNumber(entry))
        return entry.toDouble();
    if (entry.typeId() == QMetaType::QString)
        return LeadingDouble(entry.toString());
    return 0.0;
}

std::int32_t SharesAsInt32(const QVariant &entry)
{
    if (isNumber(entry))
        return clampToInt32(entry.toDouble());
    if (entry.typeId() == QMetaType::QString)
        return LeadingInt32(entry.toString());
    return 0;
}

QString SharesText(const QVariant &entry)
{
    if (isNumber(entry) || entry.typeId() == QMetaType::QString)
        return entry.toString();
    return {};
}

} // namespace tickwell
