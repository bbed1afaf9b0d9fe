#include "support/UserFolders.h"

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char **argv)
{
    tickwell::testing::IsolateUserFolders();
    // Dated fallback titles are local time; tests that change the zone put this one back.
    setenv("TZ", "America/New_York", 1);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
