// Saves that cannot write must say so: a download folder that is missing is made, one that cannot
// be made or written is named on the status line, and neither a single save nor a batch ends
// looking like a success when documents were not written.
#include "ArchiveFixture.h"

#include "archive/FolderReference.h"
#include "archive/OutputFolders.h"

#include <QDirIterator>
#include <QFile>

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
    // Points the download folder somewhere else below the test's home.
    QString useDownloads(const QString &relative)
    {
        const QString path = QDir(homePath()).filePath(relative);
        qputenv("XDG_DOWNLOAD_DIR", path.toLocal8Bit());
        return path;
    }
    static void writeFile(const QString &path)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("in the way");
    }
    QStringList filesBelowHome() const
    {
        QStringList found;
        QDirIterator it(homePath(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            found.append(QDir(homePath()).relativeFilePath(it.next()));
        found.sort();
        return found;
    }
};

// The download folder as a fresh account or a broken setup may have it.
TEST_F(SaveFailureTest, DownloadFolderMissingIsMadeUnusableIsReported)
{
    const struct {
        const char *name;
        const char *folder;      // relative to the home
        const char *blocker;     // a file put in the way first, or nothing
        const char *problem;     // part of the status line; nothing: the save works
    } cases[] = {
        {"missing with its parents", "fresh/home/Downloads", nullptr, nullptr},
        {"a file in its place", "file/Downloads", "file/Downloads", "cannot create %1 (a file of that name is in the way)"},
        {"a file as its parent", "parent/Downloads", "parent", "cannot create %1 ("},
    };
    int number = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString folder = useDownloads(QString::fromLatin1(c.folder));
        if (c.blocker)
            writeFile(QDir(homePath()).filePath(QString::fromLatin1(c.blocker)));
        const QStringList before = filesBelowHome();
        const qsizetype statusesBefore = window.statuses().size();
        const qsizetype logBefore = desktop.systemLogLines().size();
        const qsizetype loadsBefore = engine.loads().size();

        // A single save: the window stays up with the reason instead of "Done".
        ++number;
        const QString single = addArticle(number, QStringLiteral("Single %1").arg(number));
        saveOne(single);
        // A batch: each document names its failure, the last line counts them.
        state.m_headlines.clear();
        listHeadlines(QStringLiteral("AAPL"), ++number, 2);
        ++number;
        saveAll();

        if (!c.problem) {
            QStringList written = QDir(folder).entryList(QDir::Files);
            written.sort();
            EXPECT_EQ(written.join(u'|').toStdString(), QStringLiteral("Single %1.webarchive|[AAPL] AAPL story %2.webarchive|[AAPL] AAPL story %3.webarchive")
                                                             .arg(QString::number(number - 2), QString::number(number - 1), QString::number(number))
                                                             .toStdString());
            EXPECT_EQ(window.status(), QStringLiteral("Done"));
            EXPECT_FALSE(window.isVisible());
            continue;
        }
        EXPECT_EQ(filesBelowHome(), before) << "nothing written anywhere";
        const QString problem = QString::fromLatin1(c.problem).replace(QStringLiteral("%1"), folder);
        const QStringList statuses = window.statuses().mid(statusesBefore);
        const QStringList failures = statuses.filter(QStringLiteral("There was an error saving file: "));
        ASSERT_EQ(failures.size(), 3);
        EXPECT_TRUE(failures[0].startsWith(QStringLiteral("There was an error saving file: Single %1.webarchive (%2").arg(QString::number(number - 2), problem)))
            << failures[0].toStdString();
        EXPECT_TRUE(failures[2].contains(QStringLiteral("[AAPL] AAPL story %1.webarchive").arg(number))) << failures[2].toStdString();
        EXPECT_EQ(window.status(), QStringLiteral("Done: 2 of 2 documents could not be saved"));
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(desktop.systemLogLines().mid(logBefore).filter(QStringLiteral("There was an error saving file: ")).size(), 3);
        EXPECT_EQ(engine.loads().size(), loadsBefore) << "no page is loaded for a folder that cannot take it";
        window.pressStop(); // the stop control puts the finished window away
        EXPECT_FALSE(window.isVisible());
    }
}

// Looked at in a child process, as an ordinary user when the tests run as root (who writes anywhere).
TEST_F(SaveFailureTest, AFolderWithoutWritePermissionIsReported)
{
    const auto readOnly = QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther | QFileDevice::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(downloadsPath(), readOnly));
    QFile::setPermissions(homePath(), QFile::permissions(homePath()) | QFileDevice::ReadOther | QFileDevice::ExeOther);
    int answer[2];
    ASSERT_EQ(::pipe(answer), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(answer[0]);
        int code = 2;
        if (::geteuid() != 0 || (::setgid(65534) == 0 && ::setuid(65534) == 0)) {
            const QByteArray problem = PrepareOutputDirectory(settings).problem.toUtf8();
            code = ::write(answer[1], problem.constData(), static_cast<size_t>(problem.size())) == problem.size() ? 0 : 3;
        }
        ::_exit(code);
    }
    ::close(answer[1]);
    QByteArray problem;
    char buffer[512];
    for (ssize_t got; (got = ::read(answer[0], buffer, sizeof buffer)) > 0;)
        problem.append(buffer, got);
    ::close(answer[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    QFile::setPermissions(downloadsPath(), readOnly | QFileDevice::WriteOwner);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(problem.toStdString(), QStringLiteral("cannot write into %1 (Permission denied)").arg(downloadsPath()).toStdString());
}

// "Go to Headlines folder..." makes the download folder, never a chosen one, and says when it can't.
TEST_F(SaveFailureTest, GoToHeadlinesFolderMakesOrExplains)
{
    const QString blocked = useDownloads(QStringLiteral("blocked"));
    writeFile(blocked);
    controller().selItemHeadlinesFolder();
    ASSERT_EQ(desktop.alerts(), QStringList{QStringLiteral("The Headlines folder cannot be used.")});
    EXPECT_TRUE(desktop.lines().last().contains(QStringLiteral("cannot create %1 (a file of that name is in the way)").arg(blocked)))
        << desktop.lines().last().toStdString();

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

// The folder is deleted while the second of three pages loads: that document fails and is
// counted, the third goes into the folder made again.
TEST_F(SaveFailureTest, FolderRemovedInTheMiddleOfABatch)
{
    listHeadlines(QStringLiteral("AAPL"), 1, 3);
    engine.setLoadHook([&](const QString &address) {
        if (address == article(2))
            after(0.5, [&] { QDir(downloadsPath()).removeRecursively(); });
    });
    saveAll();
    EXPECT_EQ(savedFiles(), QStringList{QStringLiteral("[AAPL] AAPL story 3.webarchive")});
    EXPECT_EQ(window.statuses().filter(QStringLiteral("There was an error saving file: ")).join(u'|').toStdString(),
              "There was an error saving file: [AAPL] AAPL story 2.webarchive (No such file or directory)");
    EXPECT_EQ(window.status(), QStringLiteral("Done: 1 of 3 documents could not be saved"));
    EXPECT_TRUE(window.isVisible());
}

// A write that stops part-way (the file size limit stands in for a full disk) leaves no partial
// document behind and is reported, for both formats.
TEST_F(SaveFailureTest, AWriteCutShortIsAFailureAndLeavesNothing)
{
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old {};
    ::getrlimit(RLIMIT_FSIZE, &old);
    int number = 0;
    for (const bool pdf : {false, true}) {
        settings.setValue(QStringLiteral("HeadlineFileFormat"), pdf ? QStringLiteral("PDF") : QStringLiteral("Web Archive"));
        ++number;
        const QString address = addArticle(number, QStringLiteral("Cut %1").arg(number));
        after(0.2, [] {
            const rlimit tiny {8, RLIM_INFINITY};
            ::setrlimit(RLIMIT_FSIZE, &tiny);
        });
        saveOne(address);
        ::setrlimit(RLIMIT_FSIZE, &old);
        EXPECT_EQ(window.status().toStdString(), "There was an error saving file: Cut " + std::to_string(number) + (pdf ? ".pdf" : ".webarchive") + " (File too large)");
        EXPECT_TRUE(window.isVisible());
        EXPECT_TRUE(savedFiles().isEmpty()) << savedFiles().join(u',').toStdString();
    }
    std::signal(SIGXFSZ, oldHandler);
}

// Outside text goes into each line once: a "%1" in a title or a symbol is not filled again.
TEST_F(SaveFailureTest, PercentPlaceholdersInTitlesAndSymbolsStayAsTheyAre)
{
    const QString symbol = QStringLiteral("%1 %2 %%");
    const QString title = QStringLiteral("Gains of 10%2 seen %1 %%");
    state.m_headlines[symbol].append({addArticle(1, title, {.resources = 2}), title, std::nullopt});
    saveAll();
    EXPECT_TRUE(window.labels().contains(QStringLiteral("Saving Headlines: 1 of 1 (%1 %2 %%: 1 of 1)"))) << window.labels().join(u'|').toStdString();
    EXPECT_TRUE(window.statuses().contains(QStringLiteral("%1 %2 %% : Gains of 10%2 seen %1 %%")));
    EXPECT_TRUE(window.statuses().contains(
        QStringLiteral("Title: \"Gains of 10%2 seen %1 %%\" (Format: Web Archive): Loaded 3 of 3 resources, 0 resource errors.")))
        << window.statuses().join(u'\n').toStdString();
    EXPECT_EQ(savedFiles(), QStringList{QStringLiteral("[%1 %2 %%] Gains of 10%2 seen %1 %%.webarchive")});
}

} // namespace
} // namespace tickwell::testing
