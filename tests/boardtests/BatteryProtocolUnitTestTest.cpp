#include "tests/boardtests/BoardTestFixture.h"
#include "boardtests/BatteryProtocolUnitTest.h"

const char* const prompt = "\nPress Y to continue, (S)kip this Test or (M)enu, (D)ebug, (Q)uit: ";
const char* const noProtocol = "FAILED Protocol Not Found";
const char* const gauge = "FAILED: Analog Fuel Gauge not within 10% of Battery Capacity";

TEST_F(BoardTestFixture, BatteryCountsDownFromSixOverTwentyFiveSteps)
{
    BatteryProtocolUnitTest test("I2C", "1. Fit\n2. Set", prompt, 3, false);
    expectVerdict(test, {"B2", false, "yq", Quit, Failed, noProtocol,
                         "ERROR: Software didn't find an active protocol\n (R)etry, (N)ext Test, (M)enu or (Q)uit : "});
    const QString waiting = QString(prompt).trimmed() + "  ...";
    std::vector<int> counts;
    for (const QString& row : screen.secondPromptRows)
        if (row.size() == waiting.size() + 1 && row.startsWith(waiting))
            counts.push_back(row.right(1).toInt());
    EXPECT_EQ(counts, (std::vector<int>{6, 5, 5, 5, 5, 5, 4, 4, 4, 4, 4, 3, 3, 3, 3, 3, 2, 2, 2, 2, 2, 1, 1, 1, 1}));
}

class BatteryVerdicts : public VerdictTest {};
TEST_P(BatteryVerdicts, Verdict)
{
    BatteryProtocolUnitTest test("G plate", "", prompt, 1, GetParam().flag); // the flag: the fuel gauge is checked
    test.state = Failed; // a verdict left from an earlier run
    expectVerdict(test, GetParam());
}
const Verdict batteryVerdicts[] = {
    {"B1 C50 A50", true, "q", Quit, NotRun, notRun},     {"B1 C50 A50", true, "s", Next, Skipped, skipped},
    {"B1 C50 A59", true, "y", Next, Passed, passed},     {"B1 C50 A60", true, "yn", Next, Failed, gauge},
    {"B1 C60 A50", true, "yn", Next, Failed, gauge},     {"B1 C-1 A0", true, "yn", Next, Failed, gauge},
    {"B1 C60 A50", false, "y", Next, Passed, passed},    {"B1 C60 A50", true, "ys", Next, Skipped, skipped},
    {"B1 C60 A50", true, "yrn", Next, NotRun, notRun}, // retry starts over
    {"B2", false, "yn", Next, Failed, noProtocol},
    {"B2 C60 A50", true, "yxn", Next, Failed, gauge}}; // another key goes on to the fuel gauge
INSTANTIATE_TEST_SUITE_P(KeysAndLimits, BatteryVerdicts, ::testing::ValuesIn(batteryVerdicts));

TEST_F(BoardTestFixture, AStopDuringTheCountDownLeavesTheTestNotRun)
{
    BatteryProtocolUnitTest test("I2C", "", prompt, 3, false);
    bench("B2");
    screen.typeKey('y', [this] { manager.keyboardClosed = true; });
    EXPECT_EQ(test.run(manager), Quit);
    EXPECT_EQ(test.state, NotRun);
    EXPECT_EQ(device.sleeps, 1); // the prompt's own poll only
}
