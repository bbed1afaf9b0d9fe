#include "LiveFixtures.h"

#include "live/LiveAnswers.h"

#include <gtest/gtest.h>

using namespace tickwell;
using namespace tickwell::live_fixtures;

TEST(ParseHeadlineFeed, ReadsItemsWithAbsoluteLinks)
{
    const QByteArray feed = R"(<?xml version="1.0" encoding="UTF-8"?>
<rss version="2.0" xmlns:atom="http://www.w3.org/2005/Atom">
<channel>
  <title>Yahoo! Finance: ACME News</title>
  <atom:link href="https://feeds.example.com/rss?s=ACME" rel="self"/>
  <item>
    <title>Acme beats estimates &amp; raises
       outlook</title>
    <link>https://news.example.com/acme-beats.html</link>
    <pubDate>Fri, 04 Dec 2026 21:05:00 +0000</pubDate>
    <source url="https://www.reuters.com">Reuters</source>
  </item>
  <item><title><![CDATA[Acme <b>opens</b> a plant]]></title><link> http://news.example.com/plant </link></item>
  <item><title>Relative link</title><link>/news/relative.html</link></item>
  <item><title>Script link</title><link>javascript:alert(1)</link></item>
  <item><title>No link</title></item>
  <item><link>https://news.example.com/untitled</link><title/></item>
</channel>
</rss>)";
    const auto headlines = ParseHeadlineFeed(feed);
    ASSERT_TRUE(headlines);
    ASSERT_EQ(headlines->size(), 3u);
    EXPECT_EQ((*headlines)[0].title, u"Acme beats estimates & raises outlook");
    EXPECT_EQ((*headlines)[0].link, u"https://news.example.com/acme-beats.html");
    EXPECT_EQ((*headlines)[0].published, u"Fri, 04 Dec 2026 21:05:00 +0000");
    EXPECT_EQ((*headlines)[0].source, u"Reuters");
    EXPECT_EQ((*headlines)[1].title, u"Acme <b>opens</b> a plant"); // CDATA is text, not markup
    EXPECT_EQ((*headlines)[1].link, u"http://news.example.com/plant");
    EXPECT_EQ((*headlines)[1].published, std::nullopt);
    EXPECT_EQ((*headlines)[2].title, QString());
}

TEST(ParseHeadlineFeed, NothingForWhatIsNoFeed)
{
    QByteArray many = "<rss><channel>";
    for (int i = 0; i < 500; ++i)
        many += "<item><title>t</title><link>https://example.com/" + QByteArray::number(i) + "</link></item>";
    const auto capped = ParseHeadlineFeed(many + "</channel></rss>");
    ASSERT_TRUE(capped);
    EXPECT_EQ(capped->size(), 50u);

    const QByteArray laughs = R"(<?xml version="1.0"?><!DOCTYPE rss [<!ENTITY a "aaaaaaaaaaaaaaaaaaaaaaaa">
<!ENTITY b "&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;"><!ENTITY c "&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;">
<!ENTITY d "&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;"><!ENTITY e "&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;">]>
<rss><channel><item><title>&e;&e;&e;&e;&e;</title><link>https://example.com/x</link></item></channel></rss>)";
    const auto expanded = ParseHeadlineFeed(laughs);
    if (expanded) { // refused or expanded within bounds, and then cut to a menu title's length
        for (const FeedHeadline &headline : *expanded)
            EXPECT_LE(headline.title.size(), 200);
    }

    const QByteArray bodies[] = {
        R"({"items":[]})",
        many, // no end: a truncated feed gives nothing, not its first items
        "<rss><channel><item><title>a</title></item></channel></rss><rss/>",
        "<feed xmlns=\"http://www.w3.org/2005/Atom\"><entry/></feed>",
        "<rss version=\"2.0\"></rss>",
    };
    for (const QByteArray &body : bodies)
        EXPECT_EQ(ParseHeadlineFeed(body), std::nullopt) << body.left(60).toStdString();
}
