#include "live/AnswerReading.h"
#include "live/LiveAnswers.h"

namespace tickwell {

namespace {

// Crumbs seen are about a dozen characters; a longer body is a page or a message.
constexpr qsizetype kLongestCrumb = 64;

// Letters, digits and the punctuation of a token; no white space, quotes or markup, so that "Too
// Many Requests", an HTML page or a JSON error never pass for a crumb.
bool isCrumbCharacter(char c)
{
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    switch (c) {
    case '.': case '/': case '_': case '-': case '+': case '=': case '~':
        return true;
    default:
        return false;
    }
}

} // namespace

std::optional<QString> ParseCrumb(QByteArrayView body)
{
    const QByteArrayView crumb = body.size() > kLongestCrumb + 4 ? QByteArrayView() : body.trimmed();
    if (crumb.isEmpty() || crumb.size() > kLongestCrumb)
        return std::nullopt;
    for (const char c : crumb) {
        if (!isCrumbCharacter(c))
            return std::nullopt;
    }
    return QString::fromLatin1(crumb);
}

} // namespace tickwell
