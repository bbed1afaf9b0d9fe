#include "app/AlertNumber.h"

#include <charconv>
#include <cmath>
#include <string>

namespace tickwell {

std::optional<double> ReadAlertNumber(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    qsizetype at = 0;
    if (at < trimmed.size() && (trimmed[at] == u'+' || trimmed[at] == u'-'))
        ++at;
    bool digits = false;
    bool point = false;
    for (; at < trimmed.size(); ++at) {
        const QChar c = trimmed[at];
        if (c >= u'0' && c <= u'9')
            digits = true;
        else if (c == u'.' && !point)
            point = true;
        else
            return std::nullopt;
    }
    if (!digits)
        return std::nullopt;
    std::string ascii = trimmed.toLatin1().toStdString();
    if (ascii.front() == '+')
        ascii.erase(0, 1);
    double value = 0;
    const auto parsed = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (parsed.ec != std::errc() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace tickwell
