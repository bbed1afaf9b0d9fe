#include "support/UserFolders.h"

#include <gtest/gtest.h>

#include <QApplication>

// Widget tests need an application object; CTest runs them on the offscreen platform.
int main(int argc, char **argv)
{
    tickwell::testing::IsolateUserFolders();
    // The natural-order sort is checked in United States English, whoever runs the tests.
    qputenv("LC_ALL", "en_US.UTF-8");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
