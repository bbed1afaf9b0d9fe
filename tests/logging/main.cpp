#include "support/UserFolders.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

#include <ctime>

int main(int argc, char **argv)
{
    tickwell::testing::IsolateUserFolders();
    // Log lines and history entries carry local dates and locale numbers.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("LC_ALL", "en_US.UTF-8");
    qputenv("TZ", "America/New_York");
    tzset();
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
