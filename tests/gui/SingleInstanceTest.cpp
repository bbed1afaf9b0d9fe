// Launching the real tickwell twice in one session: an X server, a session bus and a status
// notifier watcher of the test's own.
#include "SniBus.h"
#include "support/ToolHome.h"

#include <QScopeGuard>

#include <signal.h>

namespace tickwell::testing {
namespace {

using namespace Qt::StringLiterals;

// Folders of the session's own, and settings that point every service at a closed loopback port.
QProcessEnvironment sessionEnvironment(const QTemporaryDir &home)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *folder : {"config", "data", "cache", "runtime"})
        QDir().mkpath(home.filePath(QString::fromLatin1(folder)));
    QFile::setPermissions(home.filePath(u"runtime"_s), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    environment.insert(u"XDG_CONFIG_HOME"_s, home.filePath(u"config"_s));
    environment.insert(u"XDG_DATA_HOME"_s, home.filePath(u"data"_s));
    environment.insert(u"XDG_CACHE_HOME"_s, home.filePath(u"cache"_s));
    environment.insert(u"XDG_RUNTIME_DIR"_s, home.filePath(u"runtime"_s));
    environment.remove(u"WAYLAND_DISPLAY"_s);
    PlistSettingsStore settings(home.filePath(u"config/com.brantlow.Tickwell.plist"_s));
    pointHostsAt(settings, u"127.0.0.1:9"_s);
    return environment;
}

bool preferencesShownOn(const QString &display)
{
    QProcess info;
    info.start(u"xwininfo"_s, {u"-display"_s, display, u"-name"_s, u"Tickwell Preferences"_s});
    return info.waitForFinished(5000) && info.readAllStandardOutput().contains("Map State: IsViewable");
}

TEST(SingleInstanceTest, ASecondLaunchBringsTheFirstOnesPreferencesForward)
{
    OwnXServer server;
    if (!server.isRunning() || QStandardPaths::findExecutable(u"xwininfo"_s).isEmpty())
        GTEST_SKIP() << "needs Xvfb and xwininfo (scripts/bootstrap installs them)";
    PrivateSessionBus bus;
    ASSERT_TRUE(bus.isRunning());
    QDBusConnection connection = bus.connect(u"watcher"_s);
    SniFakeWatcher watcher(connection);
    ASSERT_TRUE(watcher.start());

    QTemporaryDir home;
    QProcessEnvironment environment = sessionEnvironment(home);
    environment.insert(u"DISPLAY"_s, server.display());
    environment.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
    environment.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, bus.address());
    QProcess first, second;
    const auto stop = qScopeGuard([&] {
        for (QProcess *process : {&second, &first}) {
            process->kill();
            process->waitForFinished(3000);
        }
    });
    first.setProcessEnvironment(environment);
    first.start(ToolDir() + u"/tickwell"_s, {});
    ASSERT_TRUE(WaitUntil([&] { return watcher.registeredItems.size() == 1; }, 20000)) << "the first never showed its icon";
    EXPECT_FALSE(preferencesShownOn(server.display()));

    second.setProcessEnvironment(environment);
    second.start(ToolDir() + u"/tickwell"_s, {});
    ASSERT_TRUE(WaitUntil([&] { return second.state() == QProcess::NotRunning; }, 20000)) << "the second launch stayed";
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();

    EXPECT_TRUE(WaitUntil([&] { return preferencesShownOn(server.display()); }, 10000)) << "the first did not show its preferences";
    EXPECT_EQ(first.state(), QProcess::Running);
    EXPECT_EQ(watcher.registeredItems.size(), 1) << "a second icon was registered";
    EXPECT_EQ(connection.interface()->servicePid(u"com.brantlow.Tickwell"_s).value(), uint(first.processId()));
}

// A process that holds the name but answers nothing (a hung or foreign owner): the launch leaves
// with a failure and says why, rather than starting a second Tickwell or waiting for ever.
TEST(SingleInstanceTest, AnOwnerThatDoesNotAnswerIsReported)
{
    PrivateSessionBus bus;
    ASSERT_TRUE(bus.isRunning());
    QDBusConnection squatter = bus.connect(u"squatter"_s);
    ASSERT_TRUE(squatter.registerService(u"com.brantlow.Tickwell"_s));

    QTemporaryDir home;
    QProcessEnvironment environment = sessionEnvironment(home);
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    environment.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, bus.address());
    QProcess launch;
    launch.setProcessEnvironment(environment);
    launch.start(ToolDir() + u"/tickwell"_s, {});
    ASSERT_TRUE(WaitUntil([&] { return launch.state() == QProcess::NotRunning; }, 40000));
    EXPECT_EQ(launch.exitCode(), 1);
    const QString message = QString::fromUtf8(launch.readAllStandardError());
    EXPECT_TRUE(message.contains(u"does not answer"_s)) << message.toStdString();
    EXPECT_FALSE(QFile::exists(home.filePath(u"runtime/com.brantlow.Tickwell.lock"_s)));
}

// Without a session bus a lock file keeps a second process out; one left by a killed process
// does not keep the next one out.
TEST(SingleInstanceTest, WithoutABusALockKeepsTheSecondOutButNotAfterAKill)
{
    QTemporaryDir home;
    QProcessEnvironment environment = sessionEnvironment(home);
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    environment.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, u"unix:path="_s + home.filePath(u"no-bus"_s));
    const QString lock = home.filePath(u"runtime/com.brantlow.Tickwell.lock"_s);
    QProcess first, second, third;
    const auto stop = qScopeGuard([&] {
        for (QProcess *process : {&third, &second, &first}) {
            process->kill();
            process->waitForFinished(3000);
        }
    });
    const auto lockHolder = [&lock] {
        QFile file(lock);
        return file.open(QIODevice::ReadOnly) ? file.readLine().trimmed().toLongLong() : 0;
    };
    for (QProcess *process : {&first, &second, &third})
        process->setProcessEnvironment(environment);

    first.start(ToolDir() + u"/tickwell"_s, {});
    ASSERT_TRUE(WaitUntil([&] { return lockHolder() == first.processId(); }, 20000)) << "the first took no lock";

    second.start(ToolDir() + u"/tickwell"_s, {});
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitCode(), 1);
    const QString message = QString::fromUtf8(second.readAllStandardError());
    EXPECT_TRUE(message.contains(u"already running (process %1)"_s.arg(first.processId()))) << message.toStdString();
    EXPECT_TRUE(message.contains(lock)) << message.toStdString();

    ::kill(pid_t(first.processId()), SIGKILL);
    ASSERT_TRUE(first.waitForFinished(5000));
    ASSERT_TRUE(QFile::exists(lock)) << "the killed process should have left its lock";

    third.start(ToolDir() + u"/tickwell"_s, {});
    ASSERT_TRUE(WaitUntil([&] { return lockHolder() == third.processId(); }, 20000))
        << "the stale lock kept the next start out: " << third.readAllStandardError().toStdString();
    EXPECT_EQ(third.state(), QProcess::Running);
}

} // namespace
} // namespace tickwell::testing
