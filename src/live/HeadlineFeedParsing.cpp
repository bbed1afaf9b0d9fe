// A per-symbol RSS 2.0 feed: rss/channel/item with title, link, pubDate and source.

#include "live/AnswerReading.h"
#include "live/LiveAnswers.h"

#include <QUrl>
#include <QXmlStreamReader>

namespace tickwell {

namespace {

constexpr std::size_t kMostHeadlines = 50;
// Links longer than this are not article addresses.
constexpr qsizetype kLongestLink = 2048;

std::optional<QString> articleAddress(const QString &text)
{
    const QString link = text.trimmed();
    if (link.isEmpty() || link.size() > kLongestLink)
        return std::nullopt;
    const QUrl url(link, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty() || (url.scheme() != u"http" && url.scheme() != u"https"))
        return std::nullopt;
    return link;
}

std::optional<QString> nonEmpty(QString text)
{
    if (text.isEmpty())
        return std::nullopt;
    return text;
}

// Reads one <item> up to its end tag. Nothing for an item without a usable link.
std::optional<FeedHeadline> readItem(QXmlStreamReader &reader)
{
    FeedHeadline headline;
    std::optional<QString> link;
    while (reader.readNextStartElement()) {
        const QStringView name = reader.name();
        if (!reader.namespaceUri().isEmpty()) {
            reader.skipCurrentElement();
        } else if (name == u"title") {
            headline.title = CleanAnswerText(reader.readElementText(QXmlStreamReader::IncludeChildElements));
        } else if (name == u"link") {
            link = articleAddress(reader.readElementText(QXmlStreamReader::IncludeChildElements));
        } else if (name == u"pubDate") {
            headline.published = nonEmpty(CleanAnswerText(reader.readElementText(QXmlStreamReader::IncludeChildElements)));
        } else if (name == u"source") {
            headline.source = nonEmpty(CleanAnswerText(reader.readElementText(QXmlStreamReader::IncludeChildElements)));
        } else {
            reader.skipCurrentElement();
        }
    }
    if (!link)
        return std::nullopt;
    headline.link = *link;
    return headline;
}

} // namespace

std::optional<std::vector<FeedHeadline>> ParseHeadlineFeed(QByteArrayView body)
{
    if (body.isEmpty() || body.size() > kLargestAnswerBody)
        return std::nullopt;
    QXmlStreamReader reader(body.toByteArray());
    if (!reader.readNextStartElement() || reader.name() != u"rss")
        return std::nullopt;
    std::vector<FeedHeadline> headlines;
    bool channel = false;
    while (reader.readNextStartElement()) {
        if (reader.name() != u"channel" || channel) {
            reader.skipCurrentElement();
            continue;
        }
        channel = true;
        while (reader.readNextStartElement()) {
            if (reader.name() != u"item" || headlines.size() >= kMostHeadlines) {
                reader.skipCurrentElement();
                continue;
            }
            if (auto headline = readItem(reader))
                headlines.push_back(std::move(*headline));
        }
    }
    while (!reader.atEnd())
        reader.readNext();
    // A truncated or malformed document is not a feed, whatever items came before the fault.
    if (reader.hasError() || !channel)
        return std::nullopt;
    return headlines;
}

} // namespace tickwell
