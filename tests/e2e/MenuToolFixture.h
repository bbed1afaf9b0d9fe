#pragma once

#include "support/FeedProcess.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <optional>

namespace tickwell::testing {

// tickwell-menu in a home of its own, with its hosts pointed at a local tickwell-feed.
class MenuToolFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(feed.host().isEmpty()) << "tickwell-feed did not start";
        for (const char *folder : {"config", "data", "downloads"})
            ASSERT_TRUE(QDir(home.path()).mkpath(QString::fromLatin1(folder)));
    }

    // The settings file from "<key>...</key><value/>" lines; the hosts are added.
    void writeSettings(QString entries)
    {
        for (const char *key : {"QuotePageHost", "ChartImageHost", "LogoHost", "MetalsHost", "MarketsHost", "OtherIndicesHost", "OrderBookHost"})
            entries += QStringLiteral("<key>%1</key><string>%2</string>\n").arg(QLatin1String(key), feed.host());
        QFile file(home.filePath(QStringLiteral("config/com.brantlow.Tickwell.plist")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
                                  "<key>LogToConsole</key><false/>\n%1</dict>\n</plist>\n").arg(entries).toUtf8());
    }

    QString downloads() const { return home.filePath(QStringLiteral("downloads")); }

    // tickwell-menu's output, or nothing when it failed.
    std::optional<QByteArray> runMenu(const QStringList &arguments) { return runTool(QStringLiteral("tickwell-menu"), arguments); }

    // One of the programs, in this home; its output, or nothing when it failed.
    std::optional<QByteArray> runTool(const QString &program, const QStringList &arguments)
    {
        QProcess menu;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
        environment.insert(QStringLiteral("XDG_DOWNLOAD_DIR"), downloads());
        environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("en_US.UTF-8"));
        environment.insert(QStringLiteral("TZ"), QStringLiteral("America/New_York"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        menu.setProcessEnvironment(environment);
        menu.start(ToolDir() + u'/' + program, arguments);
        if (!menu.waitForFinished(100000)) {
            menu.kill();
            menu.waitForFinished();
            ADD_FAILURE() << program.toStdString() << " did not finish";
            return std::nullopt;
        }
        if (menu.exitStatus() != QProcess::NormalExit || menu.exitCode() != 0) {
            ADD_FAILURE() << program.toStdString() << " failed: " << menu.readAllStandardError().toStdString();
            return std::nullopt;
        }
        return menu.readAllStandardOutput();
    }

    QTemporaryDir home;
    FeedProcess feed;
};

} // namespace tickwell::testing
