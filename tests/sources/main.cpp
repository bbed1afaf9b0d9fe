#include "support/UserFolders.h"

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char **argv)
{
    tickwell::testing::IsolateUserFolders();
    // Formatted numbers in the expected titles are those of a United States English locale.
    setenv("LC_ALL", "en_US.UTF-8", 1);
    setenv("TZ", "America/New_York", 1);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
