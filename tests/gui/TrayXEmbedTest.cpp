// Qt's tray icon in a real XEmbed tray: an X server and a tray panel of the test's own, and this
// program again as the client (the test itself runs on the offscreen platform).
#include "SniTestBus.h"
#include "TrayXEmbedChild.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace tickwell::testing {
namespace {

using namespace Qt::StringLiterals;

TEST(TrayXEmbedTest, TheOpenedMenuShowsTheColouredSuffixes)
{
    const QString xvfb = QStandardPaths::findExecutable(u"Xvfb"_s);
    const QString trayer = QStandardPaths::findExecutable(u"trayer"_s);
    if (xvfb.isEmpty() || trayer.isEmpty())
        GTEST_SKIP() << "needs Xvfb and trayer (scripts/bootstrap installs them)";
    QProcess server, tray, client;
    const auto stopAll = qScopeGuard([&] {
        for (QProcess *process : {&client, &tray, &server})
            if (process->state() != QProcess::NotRunning) {
                process->terminate();
                if (!process->waitForFinished(3000))
                    process->kill();
                process->waitForFinished(3000);
            }
    });

    // An X server on a free display, which it names on its output.
    server.start(xvfb, {u"-displayfd"_s, u"1"_s, u"-screen"_s, u"0"_s, u"800x600x24"_s, u"-wr"_s, u"-nolisten"_s, u"tcp"_s});
    QByteArray displayNumber;
    for (int attempt = 0; attempt < 100 && !displayNumber.contains('\n') && server.waitForStarted(5000); ++attempt) {
        server.waitForReadyRead(100);
        displayNumber += server.readAllStandardOutput();
    }
    ASSERT_TRUE(displayNumber.contains('\n')) << "Xvfb did not start";

    // A private bus without a watcher, so Qt's tray icon takes the XEmbed road.
    PrivateSessionBus bus;
    ASSERT_TRUE(bus.isRunning());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"DISPLAY"_s, u':' + QString::fromLatin1(displayNumber.trimmed()));
    environment.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
    environment.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, bus.address());
    environment.remove(u"WAYLAND_DISPLAY"_s);
    tray.setProcessEnvironment(environment);
    tray.start(trayer, {u"--edge"_s, u"top"_s, u"--align"_s, u"right"_s, u"--widthtype"_s, u"request"_s, u"--height"_s, u"28"_s,
                           u"--SetDockType"_s, u"true"_s});
    ASSERT_TRUE(tray.waitForStarted(5000));

    QTemporaryDir scratch;
    const QString keep = qEnvironmentVariable("TICKWELL_TRAY_SCREENSHOT");
    const QString png = keep.isEmpty() ? scratch.filePath(u"tray-menu.png"_s) : keep;
    client.setProcessEnvironment(environment);
    client.setProcessChannelMode(QProcess::MergedChannels);
    client.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kTrayXEmbedChildFlag), png});
    ASSERT_TRUE(client.waitForFinished(60000)) << "the tray client hung";
    const std::string output = client.readAll().toStdString();
    EXPECT_EQ(client.exitStatus(), QProcess::NormalExit) << output;
    EXPECT_EQ(client.exitCode(), 0) << output;
    // The tray strip alone crops to under 70 pixels.
    EXPECT_GT(QImage(png).height(), 120) << "the menu is missing from the screenshot\n" << output;
}

} // namespace
} // namespace tickwell::testing
