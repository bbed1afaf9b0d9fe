#include "support/TestProcess.h"

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    tickwell::testing::PrepareTestProcess();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
