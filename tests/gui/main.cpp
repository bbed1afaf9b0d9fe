#include "support/TestProcess.h"

#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char **argv)
{
    tickwell::testing::PrepareTestProcess();
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
