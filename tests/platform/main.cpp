#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // Process-wide state (board-id cache, watchdog, version report) needs a
    // fresh process per scenario: death tests re-execute the test binary.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
