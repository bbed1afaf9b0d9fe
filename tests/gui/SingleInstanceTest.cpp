// Launching the real tickwell twice in one session: an X server, a session bus and a status
// notifier watcher of the test's own.
#include "SniBus.h"
#include "support/ToolHome.h"

#include <signal.h>

namespace tickwell::testing {
namespace {

using namespace Qt::StringLiterals;

// A launch of the real tickwell in folders of the session's own, with settings that point every
// service at a closed loopback port, on the given display (offscreen without) and bus.
class SingleInstanceTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (auto it = launched.rbegin(); it != launched.rend(); ++it) {
            (*it)->kill();
            (*it)->waitForFinished(3000);
        }
    }
    QProcess &launch(const QString &display, const QString &busAddress)
    {
        PlistSettingsStore settings(home.filePath(u".config/com.brantlow.Tickwell.plist"_s));
        pointHostsAt(settings, u"127.0.0.1:9"_s);
        launched.push_back(std::make_unique<QProcess>());
        launched.back()->setProcessEnvironment(SessionEnvironment(home, display, busAddress));
        launched.back()->start(ToolDir() + u"/tickwell"_s, {});
        return *launched.back();
    }

    QTemporaryDir home;
    std::vector<std::unique_ptr<QProcess>> launched;
};

bool PreferencesShownOn(const QString &display)
{
    QProcess info;
    info.start(u"xwininfo"_s, {u"-display"_s, display, u"-name"_s, u"Tickwell Preferences"_s});
    return info.waitForFinished(5000) && info.readAllStandardOutput().contains("Map State: IsViewable");
}

TEST_F(SingleInstanceTest, ASecondLaunchBringsTheFirstOnesPreferencesForward)
{
    OwnXServer server;
    if (!server.isRunning() || QStandardPaths::findExecutable(u"xwininfo"_s).isEmpty())
        GTEST_SKIP() << "needs Xvfb and xwininfo (scripts/bootstrap installs them)";
    PrivateSessionBus bus;
    ASSERT_TRUE(bus.isRunning());
    QDBusConnection connection = bus.connect(u"watcher"_s);
    SniFakeWatcher watcher(connection);
    ASSERT_TRUE(watcher.start());

    QProcess &first = launch(server.display, bus.address());
    ASSERT_TRUE(WaitUntil([&] { return watcher.registeredItems.size() == 1; }, 20000)) << "the first never showed its icon";
    EXPECT_FALSE(PreferencesShownOn(server.display));

    QProcess &second = launch(server.display, bus.address());
    ASSERT_TRUE(WaitUntil([&] { return second.state() == QProcess::NotRunning; }, 20000)) << "the second launch stayed";
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();

    EXPECT_TRUE(WaitUntil([&] { return PreferencesShownOn(server.display); }, 10000)) << "the first did not show its preferences";
    EXPECT_EQ(first.state(), QProcess::Running);
    EXPECT_EQ(watcher.registeredItems.size(), 1) << "a second icon was registered";
    EXPECT_EQ(connection.interface()->servicePid(u"com.brantlow.Tickwell"_s).value(), uint(first.processId()));
}

// A process that holds the name but answers nothing (a hung or foreign owner): the launch leaves
// with a failure and says why, rather than starting a second Tickwell or waiting for ever.
TEST_F(SingleInstanceTest, AnOwnerThatDoesNotAnswerIsReported)
{
    PrivateSessionBus bus;
    ASSERT_TRUE(bus.isRunning());
    ASSERT_TRUE(bus.connect(u"squatter"_s).registerService(u"com.brantlow.Tickwell"_s));
    QProcess &launched = launch({}, bus.address());
    ASSERT_TRUE(WaitUntil([&] { return launched.state() == QProcess::NotRunning; }, 40000));
    EXPECT_EQ(launched.exitCode(), 1);
    const QString message = QString::fromUtf8(launched.readAllStandardError());
    EXPECT_TRUE(message.contains(u"does not answer"_s)) << message.toStdString();
    EXPECT_FALSE(QFile::exists(home.filePath(u"runtime/com.brantlow.Tickwell.lock"_s)));
}

// Without a session bus a lock file keeps a second process out; one left by a killed process
// does not keep the next one out.
TEST_F(SingleInstanceTest, WithoutABusALockKeepsTheSecondOutButNotAfterAKill)
{
    const QString noBus = u"unix:path="_s + home.filePath(u"no-bus"_s);
    const QString lock = home.filePath(u"runtime/com.brantlow.Tickwell.lock"_s);
    const auto lockHolder = [&lock] {
        QFile file(lock);
        return file.open(QIODevice::ReadOnly) ? file.readLine().trimmed().toLongLong() : 0;
    };
    QProcess &first = launch({}, noBus);
    ASSERT_TRUE(WaitUntil([&] { return lockHolder() == first.processId(); }, 20000)) << "the first took no lock";

    QProcess &second = launch({}, noBus);
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitCode(), 1);
    const QString message = QString::fromUtf8(second.readAllStandardError());
    EXPECT_TRUE(message.contains(u"already running (process %1)"_s.arg(first.processId()))) << message.toStdString();
    EXPECT_TRUE(message.contains(lock)) << message.toStdString();

    ::kill(pid_t(first.processId()), SIGKILL);
    ASSERT_TRUE(first.waitForFinished(5000));
    ASSERT_TRUE(QFile::exists(lock)) << "the killed process should have left its lock";

    QProcess &third = launch({}, noBus);
    ASSERT_TRUE(WaitUntil([&] { return lockHolder() == third.processId(); }, 20000))
        << "the stale lock kept the next start out: " << third.readAllStandardError().toStdString();
    EXPECT_EQ(third.state(), QProcess::Running);
}

} // namespace
} // namespace tickwell::testing
