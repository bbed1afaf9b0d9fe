#include "support/TestProcess.h"

#include <gtest/gtest.h>

#include <QGuiApplication>

int main(int argc, char **argv)
{
    tickwell::testing::PrepareTestProcess();
    // Charts are drawn with QPainter, which wants a GUI application.
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
