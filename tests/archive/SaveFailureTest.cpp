#include "ArchiveFixture.h"

#include "archive/FolderReference.h"
#include "archive/OutputFolders.h"

#include <QDirIterator>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tickwell::testing {
namespace {

class SaveFailureTest : public ArchiveFixture {
protected:
    void saveOne(const QString &address)
    {
        MenuItem item = MenuItem::make(QStringLiteral("Save"), QStringLiteral("selectPrintItemHeadline:"));
        item.toolTip = address;
        controller().selectPrintItemHeadline(item);
        runUntilIdle();
    }
    void saveAll()
    {
        controller().selItemSaveAllHeadlines();
        runUntilIdle();
    }
    // Points the download folder somewhere else below the test's home, with a file put in the way.
    QString useDownloads(const QString &relative, const char *blocker = nullptr)
    {
        const QString path = QDir(homePath()).filePath(relative);
        qputenv("XDG_DOWNLOAD_DIR", path.toLocal8Bit());
        if (blocker) {
            QFile file(QDir(homePath()).filePath(QString::fromLatin1(blocker)));
            QDir().mkpath(QFileInfo(file).absolutePath());
            EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        }
        return path;
    }
};

// The download folder as a fresh account or a broken setup may have it.
TEST_F(SaveFailureTest, DownloadFolderMissingIsMadeUnusableIsReported)
{
    const struct { const char *folder, *blocker, *problem; } cases[] = {
        {"fresh/home/Downloads", nullptr, nullptr}, // missing with its parents: made
        {"file/Downloads", "file/Downloads", "cannot create %1 (a file of that name is in the way)"},
        {"parent/Downloads", "parent", "cannot create %1 ("},
    };
    const auto filesBelowHome = [&] {
        QStringList found;
        for (QDirIterator it(homePath(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();)
            found.append(it.next());
        return found;
    };
    int number = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.folder);
        const QString folder = useDownloads(QString::fromLatin1(c.folder), c.blocker);
        const QStringList before = filesBelowHome();
        const qsizetype statusesBefore = window.statuses().size(), logBefore = desktop.systemLogLines().size(), loadsBefore = engine.loads().size();
        // A single save, then a batch of two.
        ++number;
        saveOne(addArticle(number, QStringLiteral("Single %1").arg(number)));
        state.m_headlines.clear();
        listHeadlines(QStringLiteral("AAPL"), number + 1, 2);
        number += 2;
        saveAll();
        if (!c.problem) {
            QStringList written = QDir(folder).entryList(QDir::Files);
            written.sort();
            EXPECT_EQ(written.join(u'|'), QStringLiteral("Single 1.webarchive|[AAPL] AAPL story 2.webarchive|[AAPL] AAPL story 3.webarchive"));
            EXPECT_EQ(window.status(), QStringLiteral("Done"));
            EXPECT_FALSE(window.isVisible());
            continue;
        }
        EXPECT_EQ(filesBelowHome(), before);
        const QString problem = QString::fromLatin1(c.problem).replace(QStringLiteral("%1"), folder);
        const QStringList failures = window.statuses().mid(statusesBefore).filter(QStringLiteral("There was an error saving file: "));
        ASSERT_EQ(failures.size(), 3);
        EXPECT_TRUE(failures[0].startsWith(QStringLiteral("There was an error saving file: Single %1.webarchive (%2").arg(QString::number(number - 2), problem)))
            << failures[0].toStdString();
        EXPECT_EQ(window.status(), QStringLiteral("Done: 2 of 2 documents could not be saved"));
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(desktop.systemLogLines().mid(logBefore).filter(QStringLiteral("There was an error saving file: ")).size(), 3);
        EXPECT_EQ(engine.loads().size(), loadsBefore); // no page is loaded for a folder that cannot take it
        window.pressStop(); // puts the finished window away
        EXPECT_FALSE(window.isVisible());
    }
}

// Checked in a child process, as an ordinary user when the tests run as root (who writes anywhere).
TEST_F(SaveFailureTest, AFolderWithoutWritePermissionIsReported)
{
    const auto readOnly = QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther | QFileDevice::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(downloadsPath(), readOnly));
    QFile::setPermissions(homePath(), QFile::permissions(homePath()) | QFileDevice::ReadOther | QFileDevice::ExeOther);
    const QString expected = QStringLiteral("cannot write into %1 (Permission denied)").arg(downloadsPath());
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const bool ordinary = ::geteuid() != 0 || (::setgid(65534) == 0 && ::setuid(65534) == 0);
        ::_exit(!ordinary ? 2 : PrepareOutputDirectory(settings).problem == expected ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    QFile::setPermissions(downloadsPath(), readOnly | QFileDevice::WriteOwner);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

// "Go to Headlines folder..." makes the download folder, never a chosen one, and says when it can't.
TEST_F(SaveFailureTest, GoToHeadlinesFolderMakesOrExplains)
{
    const QString blocked = useDownloads(QStringLiteral("blocked"), "blocked");
    controller().selItemHeadlinesFolder();
    ASSERT_EQ(desktop.alerts(), QStringList{QStringLiteral("The Headlines folder cannot be used.")});
    EXPECT_TRUE(desktop.lines().last().contains(QStringLiteral("cannot create %1 (a file of that name is in the way)").arg(blocked)));

    // A chosen folder that is gone is not made again: the download folder stands in.
    const QString chosen = QDir(homePath()).filePath(QStringLiteral("Chosen"));
    QDir().mkpath(chosen);
    settings.setValue(kOutputDirectoryKey, FolderReference::forFolder(chosen)->toBytes());
    QDir(chosen).removeRecursively();
    useDownloads(QStringLiteral("Downloads"));
    desktop.setFilesOpen(false);
    controller().selItemHeadlinesFolder();
    EXPECT_FALSE(QFileInfo::exists(chosen));
    EXPECT_EQ(desktop.alerts().last(), QStringLiteral("No application could open the Headlines folder %1.").arg(downloadsPath()));
}

// The folder deleted while the second of three pages loads: that one fails, the third is saved.
// Outside text goes into each line once: a "%1" in a title or a symbol is not filled again.
TEST_F(SaveFailureTest, FolderRemovedInTheMiddleOfABatchWithPercentsInTheSymbol)
{
    listHeadlines(QStringLiteral("%1 %2 %%"), 1, 3, {.resources = 2});
    engine.setLoadHook([&](const QString &address) {
        if (address == article(2))
            after(0.5, [&] { QDir(downloadsPath()).removeRecursively(); });
    });
    saveAll();
    EXPECT_EQ(savedFiles(), QStringList{QStringLiteral("[%1 %2 %%] %1 %2 %% story 3.webarchive")});
    EXPECT_EQ(window.statuses().filter(QStringLiteral("There was an error saving file: ")),
              QStringList{QStringLiteral("There was an error saving file: [%1 %2 %%] %1 %2 %% story 2.webarchive (No such file or directory)")});
    EXPECT_EQ(window.status(), QStringLiteral("Done: 1 of 3 documents could not be saved"));
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.labels().contains(QStringLiteral("Saving Headlines: 3 of 3 (%1 %2 %%: 3 of 3)")));
    EXPECT_TRUE(window.statuses().contains(QStringLiteral("%1 %2 %% : %1 %2 %% story 3")));
    EXPECT_TRUE(window.statuses().contains(QStringLiteral("Title: \"%1 %2 %% story 3\" (Format: Web Archive): Loaded 3 of 3 resources, 0 resource errors.")));
}

// A write that stops part-way (the file size limit stands in for a full disk) leaves no partial
// document behind and is reported, for both formats.
TEST_F(SaveFailureTest, AWriteCutShortIsAFailureAndLeavesNothing)
{
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old {};
    ::getrlimit(RLIMIT_FSIZE, &old);
    for (const int number : {1, 2}) {
        const bool pdf = number == 2;
        settings.setValue(QStringLiteral("HeadlineFileFormat"), pdf ? QStringLiteral("PDF") : QStringLiteral("Web Archive"));
        const QString address = addArticle(number, QStringLiteral("Cut %1").arg(number));
        after(0.2, [] { const rlimit tiny{8, RLIM_INFINITY}; ::setrlimit(RLIMIT_FSIZE, &tiny); });
        saveOne(address);
        ::setrlimit(RLIMIT_FSIZE, &old);
        EXPECT_EQ(window.status().toStdString(), "There was an error saving file: Cut " + std::to_string(number) + (pdf ? ".pdf" : ".webarchive") + " (File too large)");
        EXPECT_TRUE(window.isVisible());
        EXPECT_TRUE(savedFiles().isEmpty());
    }
    std::signal(SIGXFSZ, oldHandler);
}

} // namespace
} // namespace tickwell::testing
