#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

// Ends the child of IN_FRESH_PROCESS with its verdict; its own reporting is
// muted, so its failures go to standard error for the parent.
template <typename Body>
void runThenExit(Body body)
{
    body();
    const testing::TestResult* result = testing::UnitTest::GetInstance()->current_test_info()->result();
    for (int i = 0; i < result->total_part_count(); ++i) {
        const testing::TestPartResult& part = result->GetTestPartResult(i);
        if (part.failed())
            std::fprintf(stderr, "%s:%d: %s\n", part.file_name() ? part.file_name() : "?", part.line_number(),
                         part.message());
    }
    std::_Exit(::testing::Test::HasFailure() ? 1 : 0);
}

// Runs the statements in a re-executed child process, so that they start with
// an empty board-id cache, no watchdog and no version report. The child re-runs
// the test up to here, so a simulated unit belongs inside the statements.
#define IN_FRESH_PROCESS(...) EXPECT_EXIT(runThenExit([&] { __VA_ARGS__; }), ::testing::ExitedWithCode(0), "")
