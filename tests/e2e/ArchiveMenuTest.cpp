// Headline saving through the headless tool: tickwell-menu chooses "Save All Headlines..." against
// tickwell-feed, waits for the batch to end, and the documents land in the XDG download folder.

#include "platform/FileComment.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

QString toolDir()
{
    return qEnvironmentVariable("TICKWELL_BIN_DIR", QStringLiteral("build/bin"));
}

class ArchiveMenuTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_home.isValid());
        m_feed.setProgram(toolDir() + QStringLiteral("/tickwell-feed"));
        m_feed.setArguments({QStringLiteral("--port"), QStringLiteral("0")});
        m_feed.start();
        ASSERT_TRUE(m_feed.waitForStarted(10000)) << "tickwell-feed did not start";
        QByteArray out;
        while (!out.contains('\n') && m_feed.waitForReadyRead(10000))
            out += m_feed.readAllStandardOutput();
        const auto match = QRegularExpression(QStringLiteral("^listening on (127\\.0\\.0\\.1:\\d+)")).match(QString::fromUtf8(out));
        ASSERT_TRUE(match.hasMatch()) << out.toStdString();
        for (const char *folder : {"config", "data", "downloads"})
            ASSERT_TRUE(QDir(m_home.path()).mkpath(QString::fromLatin1(folder)));
        writeSettings(match.captured(1));
    }
    void TearDown() override
    {
        m_feed.terminate();
        if (!m_feed.waitForFinished(5000))
            m_feed.kill();
        m_feed.waitForFinished(5000);
    }

    void writeSettings(const QString &host)
    {
        QFile file(m_home.filePath(QStringLiteral("config/com.brantlow.Tickwell.plist")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                  "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                                  "<plist version=\"1.0\">\n<dict>\n"
                                  "  <key>StockSymbols</key><array><string>ACME</string></array>\n"
                                  "  <key>IncludeHeadlinesInSubmenu</key><true/>\n"
                                  "  <key>LogToConsole</key><false/>\n"
                                  "  <key>QuotePageHost</key><string>%1</string>\n"
                                  "  <key>ChartImageHost</key><string>%1</string>\n"
                                  "  <key>LogoHost</key><string>%1</string>\n"
                                  "</dict>\n</plist>\n")
                       .arg(host)
                       .toUtf8());
    }

    QString downloads() const { return m_home.filePath(QStringLiteral("downloads")); }

    // tickwell-menu with the choices; its output, or nothing when it failed.
    std::optional<QString> runMenu(const QStringList &choices)
    {
        QProcess menu;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral("config")));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), m_home.filePath(QStringLiteral("data")));
        environment.insert(QStringLiteral("XDG_DOWNLOAD_DIR"), downloads());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        menu.setProcessEnvironment(environment);
        QStringList arguments{QStringLiteral("--page-timeout"), QStringLiteral("20")};
        for (const QString &choice : choices)
            arguments << QStringLiteral("--select") << choice;
        menu.start(toolDir() + QStringLiteral("/tickwell-menu"), arguments);
        if (!menu.waitForFinished(100000)) {
            menu.kill();
            menu.waitForFinished();
            ADD_FAILURE() << "tickwell-menu did not finish";
            return std::nullopt;
        }
        if (menu.exitStatus() != QProcess::NormalExit || menu.exitCode() != 0) {
            ADD_FAILURE() << "tickwell-menu failed: " << menu.readAllStandardError().toStdString();
            return std::nullopt;
        }
        return QString::fromUtf8(menu.readAllStandardOutput());
    }

    QStringList saved() const { return QDir(downloads()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }

    QTemporaryDir m_home;
    QProcess m_feed;
};

TEST_F(ArchiveMenuTest, SaveAllHeadlinesThenAgainSkipsWhatIsSaved)
{
    const auto first = runMenu({QStringLiteral("Save All Headlines..."), QStringLiteral("Go to Headlines folder...")});
    ASSERT_TRUE(first);
    if (first->contains(QStringLiteral("did not finish loading")) || first->contains(QStringLiteral("did not answer")))
        GTEST_SKIP() << "the web engine cannot run here";

    // The feed lists three articles with absolute links (one of them without link text).
    const QStringList files = saved();
    ASSERT_EQ(files.size(), 3) << first->toStdString();
    for (const QString &name : files) {
        EXPECT_TRUE(name.startsWith(QStringLiteral("[ACME] ")) && name.endsWith(QStringLiteral(".webarchive"))) << name.toStdString();
        const std::optional<QString> comment = tickwell::FileComment(QDir(downloads()).filePath(name));
        ASSERT_TRUE(comment) << name.toStdString();
        EXPECT_TRUE(comment->startsWith(QLatin1Char('"'))) << comment->toStdString();
    }
    EXPECT_TRUE(first->contains(QStringLiteral("\nprogress: Done\n")));
    EXPECT_TRUE(first->contains(QStringLiteral("\nopen: ") + downloads() + QLatin1Char('\n'))) << "the folder that was used";

    const auto second = runMenu({QStringLiteral("Save All Headlines...")});
    ASSERT_TRUE(second);
    EXPECT_EQ(saved(), files);
    EXPECT_EQ(second->count(QStringLiteral("progress: This file already exists: [ACME] ")), 3) << second->toStdString();
}

} // namespace
