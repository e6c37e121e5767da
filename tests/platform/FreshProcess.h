#pragma once

#include <gtest/gtest.h>

#include <cstdlib>

// Runs the statements in a re-executed child process, so that they start with
// an empty board-id cache, no watchdog and no version report; the child's
// failed expectations fail the test.
#define IN_FRESH_PROCESS(statements)                                                                                   \
    EXPECT_EXIT(                                                                                                       \
        {                                                                                                              \
            statements;                                                                                                \
            std::_Exit(::testing::Test::HasFailure() ? 1 : 0);                                                         \
        },                                                                                                             \
        ::testing::ExitedWithCode(0), "")
