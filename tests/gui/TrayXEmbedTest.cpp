// Qt's tray icon in a real XEmbed tray: an X server and a tray panel of the test's own, and this
// program again as the client (the test itself runs on the offscreen platform).
#include "SniTestBus.h"
#include "TrayXEmbedChild.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace tickwell::testing {
namespace {

class ScopedProcess {
public:
    QProcess process;
    ~ScopedProcess()
    {
        if (process.state() == QProcess::NotRunning)
            return;
        process.terminate();
        if (!process.waitForFinished(3000)) {
            process.kill();
            process.waitForFinished(3000);
        }
    }
};

TEST(TrayXEmbedTest, TheOpenedMenuShowsTheColouredSuffixes)
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    const QString trayer = QStandardPaths::findExecutable(QStringLiteral("trayer"));
    if (xvfb.isEmpty() || trayer.isEmpty())
        GTEST_SKIP() << "needs Xvfb and trayer (scripts/bootstrap installs them)";

    // An X server on a free display; it tells which one on its output.
    ScopedProcess server;
    server.process.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
                                   QStringLiteral("800x600x24"), QStringLiteral("-wr"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    ASSERT_TRUE(server.process.waitForStarted(5000));
    QByteArray displayNumber;
    for (int attempt = 0; attempt < 100 && !displayNumber.contains('\n'); ++attempt) {
        server.process.waitForReadyRead(100);
        displayNumber += server.process.readAllStandardOutput();
    }
    ASSERT_TRUE(displayNumber.contains('\n')) << "Xvfb did not start";
    const QString display = QLatin1Char(':') + QString::fromLatin1(displayNumber.trimmed());

    // A private bus without a watcher, so Qt's tray icon takes the XEmbed road.
    PrivateSessionBus bus;
    ASSERT_TRUE(bus.isRunning());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), display);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.address());
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));

    ScopedProcess tray;
    tray.process.setProcessEnvironment(environment);
    tray.process.start(trayer, {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"), QStringLiteral("right"),
                                   QStringLiteral("--widthtype"), QStringLiteral("request"), QStringLiteral("--height"),
                                   QStringLiteral("28"), QStringLiteral("--SetDockType"), QStringLiteral("true")});
    ASSERT_TRUE(tray.process.waitForStarted(5000));

    QTemporaryDir scratch;
    const QString keep = qEnvironmentVariable("TICKWELL_TRAY_SCREENSHOT");
    const QString png = keep.isEmpty() ? scratch.filePath(QStringLiteral("tray-menu.png")) : keep;

    ScopedProcess client;
    client.process.setProcessEnvironment(environment);
    client.process.setProcessChannelMode(QProcess::MergedChannels);
    client.process.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kTrayXEmbedChildFlag), png});
    ASSERT_TRUE(client.process.waitForFinished(60000)) << "the tray client hung";
    const QString output = QString::fromLocal8Bit(client.process.readAll());
    EXPECT_EQ(client.process.exitStatus(), QProcess::NormalExit) << output.toStdString();
    EXPECT_EQ(client.process.exitCode(), 0) << output.toStdString();

    const QImage shot(png);
    ASSERT_FALSE(shot.isNull()) << output.toStdString();
    EXPECT_GT(shot.height(), 200) << "the menu is missing from the screenshot";
}

} // namespace
} // namespace tickwell::testing
