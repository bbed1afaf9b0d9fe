// The autostart entry as a session reads it: GLib's launcher starts the program it names, whatever
// characters the program's path holds.
#include "platform/session/AutostartEntry.h"
#include "platform/session/InstallLayout.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

namespace tickwell::testing {
namespace {

using namespace Qt::StringLiterals;

TEST(AutostartEntryTest, TheSessionLauncherStartsTheProgramAtAnyPathAndOtherControlCharactersAreRefused)
{
    // No escape writes the other control characters: the entry is refused, and one already there
    // is left as it was.
    QTemporaryDir refused;
    AutostartEntry good(refused.filePath(u"tickwell"_s), refused.filePath(u"config"_s));
    ASSERT_TRUE(good.setEnabled(true));
    for (const char16_t control : {u'\x01', u'\x1b', u'\x7f'}) {
        AutostartEntry entry(refused.filePath(u"bell"_s + QChar(control) + u"/tickwell"_s), refused.filePath(u"config"_s));
        QString error;
        EXPECT_FALSE(entry.setEnabled(true, &error));
        EXPECT_TRUE(error.contains(u"control character"_s)) << error.toStdString();
        EXPECT_TRUE(entry.isEnabled()) << "the entry written before stays";
    }

    const QString gio = QStandardPaths::findExecutable(u"gio"_s);
    if (gio.isEmpty())
        GTEST_SKIP() << "needs gio (scripts/bootstrap installs libglib2.0-bin)";
    // Each character the Exec line must quote or escape, and the control characters it can escape.
    const char *folders[] = {"plain", R"(space " ' $HOME `tick` back\slash; & (paren) #hash ~tilde)", "tab\t carriage\r line\nfeed"};
    for (const char *folder : folders) {
        SCOPED_TRACE(folder);
        QTemporaryDir root;
        const QString dir = root.filePath(QString::fromUtf8(folder));
        ASSERT_TRUE(QDir().mkpath(dir));
        const QString program = dir + u"/tickwell"_s;
        const QString marker = root.filePath(u"started"_s);
        QFile script(program);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\necho \"$0\" > \"" + QFile::encodeName(marker) + "\"\n");
        script.close();
        script.setPermissions(script.permissions() | QFile::ExeOwner);

        AutostartEntry entry(program, root.filePath(u"config"_s));
        ASSERT_TRUE(entry.setEnabled(true));
        EXPECT_TRUE(entry.isEnabled());
        QFile written(entry.path());
        ASSERT_TRUE(written.open(QIODevice::ReadOnly));
        const QByteArray text = written.readAll();
        EXPECT_FALSE(text.contains('\t') || text.contains('\r')) << "control characters are written as escapes";
        QProcess launch;
        launch.start(gio, {u"launch"_s, entry.path()});
        ASSERT_TRUE(launch.waitForFinished(10000));
        EXPECT_EQ(launch.exitCode(), 0) << launch.readAllStandardError().toStdString();
        // The launched program runs on its own: wait until its whole line is written (the
        // shell creates the file before echo fills it).
        QByteArray line;
        for (int i = 0; i < 1000 && !line.endsWith('\n'); ++i) {
            QFile started(marker);
            if (started.open(QIODevice::ReadOnly))
                line = started.readAll();
            if (!line.endsWith('\n'))
                QThread::msleep(10);
        }
        EXPECT_EQ(QFile::decodeName(line.trimmed()), program);

        ASSERT_TRUE(entry.setEnabled(false));
        EXPECT_FALSE(QFile::exists(entry.path()));
        EXPECT_TRUE(entry.setEnabled(false)) << "removing what is not there is no failure";
    }
}

// Installed, the README lies in the documentation folder and the web engine's helper in
// lib/tickwell/, never in PATH; in the build tree, in build/doc and beside the programs. A folder
// of that name is no page, a file that cannot be run no helper.
TEST(InstallLayoutTest, DocumentationAndHelperAreFoundInstalledOrBuilt)
{
    const QString readme = u"share/doc/tickwell/README.html"_s, helper = u"lib/tickwell/tickwell-archiver"_s;
    const struct {
        const char *name;
        bool lookForHelper;
        QStringList files; // relative to a root with programs in bin/; "/" at the end: a folder, "!": not executable
        QString found;     // relative to the root; empty: none
    } cases[] = {
        {"installed page", false, {readme}, readme},
        {"page in the build tree", false, {u"doc/README.html"_s}, u"doc/README.html"_s},
        {"both pages: the installed one", false, {u"doc/README.html"_s, readme}, readme},
        {"no page", false, {}, {}},
        {"a folder is no page", false, {readme + u'/'}, {}},
        {"helper in the build tree", true, {u"bin/tickwell-archiver"_s}, u"bin/tickwell-archiver"_s},
        {"installed helper", true, {helper}, helper},
        {"both helpers: the one beside", true, {u"bin/tickwell-archiver"_s, helper}, u"bin/tickwell-archiver"_s},
        {"no helper", true, {}, {}},
        {"not executable", true, {helper + u'!'}, {}},
        {"not executable beside, installed one used", true, {u"bin/tickwell-archiver!"_s, helper}, helper},
        {"a folder is no helper", true, {helper + u'/'}, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir root;
        QDir().mkpath(root.filePath(u"bin"_s));
        for (QString file : c.files) {
            if (file.endsWith(u'/')) {
                QDir().mkpath(root.filePath(file));
                continue;
            }
            const bool executable = !file.endsWith(u'!');
            file.remove(u'!');
            QDir().mkpath(QFileInfo(root.filePath(file)).absolutePath());
            QFile made(root.filePath(file));
            ASSERT_TRUE(made.open(QIODevice::WriteOnly));
            made.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | (executable ? QFileDevice::ExeOwner : QFileDevice::Permissions()));
        }
        const auto found = c.lookForHelper ? InstallLayout::helperProgram(u"tickwell-archiver"_s, root.filePath(u"bin"_s))
                                           : InstallLayout::documentation(root.filePath(u"bin"_s));
        EXPECT_EQ(found.value_or(QString()), c.found.isEmpty() ? QString() : QFileInfo(root.filePath(c.found)).canonicalFilePath());
    }
}

} // namespace
} // namespace tickwell::testing
