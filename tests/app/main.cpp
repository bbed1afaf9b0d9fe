#include "support/UserFolders.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    tickwell::testing::IsolateUserFolders();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Launching the controller opens log files in the per-user data folder: not the real one.
    const QTemporaryDir dataHome;
    qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
