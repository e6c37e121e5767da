#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // IN_FRESH_PROCESS: a re-executed child, not a fork of this process.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
