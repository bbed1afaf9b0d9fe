#include "support/TestProcess.h"

#include "TrayXEmbedChild.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <cstring>

int main(int argc, char **argv)
{
    tickwell::testing::PrepareTestProcess();
    // The XEmbed test runs this program again on an X server of its own, in this mode.
    if (argc == 3 && std::strcmp(argv[1], tickwell::testing::kTrayXEmbedChildFlag) == 0) {
        QApplication app(argc, argv);
        return tickwell::testing::RunTrayXEmbedChild(QString::fromLocal8Bit(argv[2]));
    }
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
