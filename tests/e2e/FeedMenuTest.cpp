// The real programs together: tickwell-menu pointed at a still tickwell-feed, its fullest menu
// compared with golden files in JSON and as text. To write them anew after a deliberate change of
// the menu, run `UPDATE_GOLDEN=1 build/bin/e2e_tests --gtest_filter='FeedMenu.*'` from the source
// folder, and read the diff before committing it.
#include "MenuToolFixture.h"

#include <QRegularExpression>

namespace tickwell::testing {
namespace {

using namespace Qt::StringLiterals;

class FeedMenu : public MenuToolFixture {
protected:
    // The tool's output with the feed's port and the clock's line masked, against the golden file.
    void expectGolden(const QStringList &arguments, const QString &name)
    {
        QString text = QString::fromUtf8(runMenu(arguments).value_or(QByteArray())).replace(feed.host(), u"FEED"_s);
        text.replace(QRegularExpression(u"Last Update: [^\"\\n]*"_s), u"Last Update: (masked)"_s);
        const QString golden = qEnvironmentVariable("TICKWELL_SOURCE_DIR", u"."_s) + u"/tests/e2e/golden/"_s + name;
        QFile file(golden);
        if (qEnvironmentVariableIsSet("UPDATE_GOLDEN")) {
            ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << golden.toStdString();
            file.write(text.toUtf8());
            return;
        }
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << golden.toStdString();
        const QStringList expected = QString::fromUtf8(file.readAll()).split(u'\n'), actual = text.split(u'\n');
        for (qsizetype i = 0; i < std::max(expected.size(), actual.size()); ++i)
            ASSERT_EQ(actual.value(i).toStdString(), expected.value(i).toStdString()) << name.toStdString() << " line " << i + 1;
    }
};

// ACME (with shares), BETA, DELTA (five letters: no logo), ZZTOP (unknown to the feed: no line)
// and HIDDEN (not flagged); every section and submenu group on, history off.
TEST_F(FeedMenu, TheFullestMenuAsJsonAndText)
{
    QString entries = u"<key>StockSymbols</key><array><string>ACME</string><string>BETA</string><string>DELTA</string>"
                      "<string>ZZTOP</string><string>HIDDEN</string></array>\n"
                      "<key>CompanyShares</key><dict><key>ACME</key><string>100</string><key>BETA</key><string></string></dict>\n"
                      "<key>ShowSettings</key><dict><key>ACME</key><integer>1</integer><key>BETA</key><integer>1</integer>"
                      "<key>DELTA</key><integer>1</integer><key>ZZTOP</key><integer>1</integer><key>HIDDEN</key><integer>0</integer></dict>\n"
                      "<key>IncludeStockHistoryInSubmenu</key><false/>\n"_s;
    for (const char *key : {"OnlyShowFlagged", "ShowPreciousMetalsInMenu", "ShowOtherMarketIndicesInMenu", "ShowMarketIndicesInMenu",
             "IncludeAfterHoursMenu", "IncludeHeadlinesInSubmenu", "IncludeiChartsInSubmenu", "IncludeInteractiveiChartsLinksInSubmenu",
             "IncludeStockDataInSubmenu", "IncludeIndicesChartsInSubmenu"})
        entries += u"<key>%1</key><true/>\n"_s.arg(QLatin1String(key));
    writeSettings(entries);
    expectGolden({u"--format"_s, u"json"_s}, u"feed-menu.json"_s);
    // The text menu puts the change before the first colon, as the drawn menu and a panel do.
    expectGolden({}, u"feed-menu.txt"_s);
}

} // namespace
} // namespace tickwell::testing
