#pragma once

#include "support/ToolHome.h"

#include <gtest/gtest.h>

#include <QFile>

#include <optional>

namespace tickwell::testing {

// tickwell-menu in a home of its own, with its hosts pointed at a local tickwell-feed whose
// prices stand still (the same pages whatever the order of requests).
class MenuToolFixture : public ::testing::Test, protected ToolHome {
protected:
    void SetUp() override { ASSERT_FALSE(feed.host().isEmpty()) << "tickwell-feed did not start"; }

    // The settings file from "<key>...</key><value/>" lines as a user would write them, console
    // logging off and every classic host pointed at the feed.
    void writeSettings(const QString &entries)
    {
        writePlist(entries);
        PlistSettingsStore store = settings();
        pointHostsAt(store, feed.host());
    }

    // The same with no classic host key: every part from today's live services at `url`.
    void writeLiveSettings(const QString &url, QString entries)
    {
        for (const char *key : {"LiveQuotesURL", "LiveFallbackURL", "LiveNewsURL"})
            entries += QStringLiteral("<key>%1</key><string>%2</string>\n").arg(QLatin1String(key), url);
        writePlist(entries);
    }

    void writePlist(const QString &entries)
    {
        QFile file(path(QStringLiteral("config/com.brantlow.Tickwell.plist")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n<key>LogToConsole</key><false/>\n%1</dict>\n</plist>\n")
                       .arg(entries).toUtf8());
    }

    // tickwell-menu's or another program's output, or nothing when it failed.
    std::optional<QByteArray> runMenu(const QStringList &arguments) { return runTool(QStringLiteral("tickwell-menu"), arguments); }
    std::optional<QByteArray> runTool(const QString &program, const QStringList &arguments)
    {
        const Result result = run(program, arguments);
        if (result.exitCode == 0)
            return result.out;
        ADD_FAILURE() << program.toStdString() << " failed (" << result.exitCode << "): " << result.err.toStdString();
        return std::nullopt;
    }

    FeedProcess feed{{QStringLiteral("--seed"), QStringLiteral("11"), QStringLiteral("--still")}};
};

} // namespace tickwell::testing
