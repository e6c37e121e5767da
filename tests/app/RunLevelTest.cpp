#include "app/RunLevel.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

TEST(RunLevel, RefusesAboveFourWithTheMessageAndNoTrailingNewline)
{
    struct Case {
        std::optional<int> record;
        bool allowed;
    };
    // The record's low byte carries the run level's character; higher bytes
    // carry the previous level.
    const Case cases[] = {
        {std::nullopt, true}, {'3', true}, {'4', true}, {'0', true}, {'N' * 256 + '4', true}, {-5, true},
        {'5', false},         {'6', false}, {'S', false}, {'3' * 256 + '5', false},
    };
    for (const Case& c : cases) {
        std::ostringstream out;
        EXPECT_EQ(checkRunLevel(c.record, out), c.allowed) << c.record.value_or(-1);
        if (c.allowed)
            EXPECT_EQ(out.str(), "");
        else
            EXPECT_EQ(out.str(), "dynelle_test will conflict with kw_server\n"
                                 "Please run program_fpga_selftest.sh before running this test app.");
    }
}

} // namespace
