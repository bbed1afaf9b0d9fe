#include "support/UserFolders.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

// D-Bus signals and timers need an application object and its event loop.
int main(int argc, char **argv)
{
    tickwell::testing::IsolateUserFolders();
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
