#include "support/TestProcess.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

int main(int argc, char **argv)
{
    tickwell::testing::PrepareTestProcess();
    QCoreApplication app(argc, argv); // fetches run in its event loop
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
