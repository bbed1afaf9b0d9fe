// The eight chart ranges of a symbol's submenu with the quote pages from the live services: each
// choice fetches that range's chart from tickwell-feed and shows it drawn, or says why not.
#include "e2e/MenuToolFixture.h"

using namespace Qt::StringLiterals;

namespace tickwell::testing {
namespace {

class LiveRangeChart : public MenuToolFixture {
protected:
    // ACME alone and no classic host key: the refresh asks only ACME's chart (one live answer),
    // then a session, which the feed grants.
    void writeLiveSettings(const FeedProcess &service)
    {
        QString entries = u"<key>StockSymbols</key><array><string>ACME</string></array>\n"_s;
        for (const char *key : {"LiveQuotesURL", "LiveFallbackURL", "LiveNewsURL"})
            entries += u"<key>%1</key><string>%2</string>\n"_s.arg(QLatin1String(key), service.url(QString()));
        for (const char *key : {"IncludeHeadlinesInSubmenu", "ShowMarketIndicesInMenu", "ShowOtherMarketIndicesInMenu", "ShowPreciousMetalsInMenu"})
            entries += u"<key>%1</key><false/>\n"_s.arg(QLatin1String(key));
        QFile file(home.filePath(u"config/com.brantlow.Tickwell.plist"_s));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
                   "<key>LogToConsole</key><false/>\n%1</dict>\n</plist>\n"_s.arg(entries).toUtf8());
    }

    // The lines tickwell-menu printed after its menu.
    QStringList linesAfterChoosing(const QStringList &links)
    {
        QStringList arguments;
        for (const QString &link : links)
            arguments << u"--select"_s << u"Acme* > "_s + link;
        const auto output = runMenu(arguments);
        return output ? QString::fromUtf8(*output).split(u'\n') : QStringList();
    }

    static QStringList imageLines(const QStringList &lines)
    {
        return lines.filter(QRegularExpression(u"^(image|alert|open): "_s));
    }
};

TEST_F(LiveRangeChart, EachRangeIsDrawnInAWindow)
{
    writeLiveSettings(feed);
    const QStringList links{u"1 Day Share Price Chart"_s, u"5 Day Share Price Chart"_s, u"3 Month Share Price Chart"_s,
        u"6 Month Share Price Chart"_s, u"1 Year Share Price Chart"_s, u"2 Year Share Price Chart"_s, u"5 Year Share Price Chart"_s,
        u"Max Share Price Chart"_s};
    const QStringList lines = linesAfterChoosing(links);
    ASSERT_TRUE(lines.join(u'\n').contains(u"[ACME]"_s)) << "no quote line: " << lines.join(u'\n').toStdString();
    // Every range's interval is one the service takes, and no classic chart page is opened.
    const QStringList shown = imageLines(lines);
    ASSERT_EQ(shown.size(), links.size()) << lines.join(u'\n').toStdString();
    const QRegularExpression caption(uR"( \| From [\d,.]+ to [\d,.]+: [+-]?[\d,.]+ \([+-]?[\d,.]+%\); low [\d,.]+, high [\d,.]+$)"_s);
    for (qsizetype i = 0; i < links.size(); ++i) {
        const QString head = u"image: ACME: %1 480x240"_s.arg(links[i]);
        EXPECT_TRUE(shown[i].startsWith(head) && caption.match(shown[i].mid(head.size())).hasMatch()) << shown[i].toStdString();
    }
}

TEST_F(LiveRangeChart, ARefusalIsSaidInTheWindow)
{
    // The refresh's chart of ACME goes well; the crumb is refused quietly, then the range's chart.
    const FeedProcess refusing({u"--seed"_s, u"11"_s, u"--live-fail"_s, u"429"_s, u"--live-fail-after"_s, u"1"_s});
    ASSERT_FALSE(refusing.host().isEmpty());
    writeLiveSettings(refusing);
    const QStringList lines = linesAfterChoosing({u"1 Year Share Price Chart"_s});
    ASSERT_TRUE(lines.join(u'\n').contains(u"[ACME]"_s)) << "no quote line: " << lines.join(u'\n').toStdString();
    EXPECT_EQ(imageLines(lines),
        QStringList{u"image: ACME: 1 Year Share Price Chart no image | The chart of ACME could not be had: 429 Too Many Requests"_s})
        << lines.join(u'\n').toStdString();
}

} // namespace
} // namespace tickwell::testing
