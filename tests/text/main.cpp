#include "support/UserFolders.h"

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    tickwell::testing::IsolateUserFolders();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
