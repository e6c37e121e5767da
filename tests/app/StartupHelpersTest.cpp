#include "app/DefaultFilename.h"
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
        EXPECT_EQ(out.str(), c.allowed ? "" : "dynelle_test will conflict with kw_server\n"
                                              "Please run program_fpga_selftest.sh before running this test app.");
    }
}

TEST(DefaultFilename, SerialAndLocalTimeInTheFixedDirectory)
{
    const QDateTime at(QDate(2026, 12, 4), QTime(14, 5, 9));
    EXPECT_EQ(createDefaultFilename("A1234", at), "/home/transfer/log/dynelle_test_A1234-20261204-140509.txt");
    EXPECT_EQ(createDefaultFilename("Unassigned", at), "/home/transfer/log/dynelle_test_Unassigned-20261204-140509.txt");
    EXPECT_TRUE(createDefaultFilename("X").startsWith("/home/transfer/log/dynelle_test_X-20"));
}

} // namespace
