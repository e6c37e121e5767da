#include "tests/boardtests/BoardTestFixture.h"

#include "boardtests/BatteryProtocolUnitTest.h"

namespace {

const char* const prompt = "\nPress Y to continue, (S)kip this Test or (M)enu, (D)ebug, (Q)uit: ";
const char* const passed = "PASSED: Test Completed";
const char* const notRun = "Test Not Run";
const char* const skipped = "Test Skipped";
const char* const noProtocol = "FAILED Protocol Not Found";
const char* const noProtocolPrompt =
    "ERROR: Software didn't find an active protocol\n (R)etry, (N)ext Test, (M)enu or (Q)uit : ";
const char* const gauge = "FAILED: Analog Fuel Gauge not within 10% of Battery Capacity";

class BatteryTest : public BoardTestFixture {
protected:
    // The count shown after the prompt at each redraw of the wait.
    std::vector<int> countsShown() const
    {
        const QString waiting = QString(prompt).trimmed() + "  ...";
        std::vector<int> counts;
        for (const QString& row : screen.secondPromptRows)
            if (row.size() == waiting.size() + 1 && row.startsWith(waiting))
                counts.push_back(row.right(1).toInt());
        return counts;
    }
};

TEST_F(BatteryTest, FoundAtOnceAfterOneStepShowingSix)
{
    BatteryProtocolUnitTest test("I2C", "1. Fit\n2. Set", prompt, 3, false);
    expectVerdict(test, {"B3", false, "y", Next, Passed, passed});
    EXPECT_EQ(countsShown(), std::vector<int>{6});
    EXPECT_EQ(manager.detailLines[1], "2. Set");
}

TEST_F(BatteryTest, CountsDownFromSixOverTwentyFiveSteps)
{
    BatteryProtocolUnitTest test("I2C", "", prompt, 3, false);
    expectVerdict(test, {"B2", false, "yq", Quit, Failed, noProtocol, noProtocolPrompt});
    EXPECT_EQ(countsShown(), (std::vector<int>{6, 5, 5, 5, 5, 5, 4, 4, 4, 4, 4, 3, 3, 3, 3, 3, 2, 2, 2, 2, 2, 1, 1, 1, 1}));
}

class BatteryVerdicts : public VerdictTest {};

TEST_P(BatteryVerdicts, Verdict)
{
    BatteryProtocolUnitTest test("G plate", "", prompt, 1, GetParam().flag);
    test.state = Failed; // a verdict left from an earlier run
    expectVerdict(test, GetParam());
}

// The flag is whether the fuel gauge is checked.
INSTANTIATE_TEST_SUITE_P(
    KeysAndLimits, BatteryVerdicts,
    ::testing::Values(
        Verdict{"B1 C50 A50", true, "d", Debug, NotRun, notRun}, Verdict{"B1 C50 A50", true, "m", Menu, NotRun, notRun},
        Verdict{"B1 C50 A50", true, "q", Quit, NotRun, notRun}, Verdict{"B1 C50 A50", true, "n", Next, NotRun, notRun},
        Verdict{"B1 C50 A50", true, "s", Next, Skipped, skipped}, Verdict{"B1 C50 A50", true, "r", Next, Passed, passed},
        Verdict{"B1 C50 A59", true, "y", Next, Passed, passed}, Verdict{"B1 C59 A50", true, "y", Next, Passed, passed},
        Verdict{"B1 C50 A60", true, "yn", Next, Failed, gauge}, Verdict{"B1 C60 A50", true, "yn", Next, Failed, gauge},
        Verdict{"B1 C-1 A0", true, "yn", Next, Failed, gauge}, Verdict{"B1 C5 A-1", true, "yn", Next, Failed, gauge},
        Verdict{"B1 C60 A50", false, "y", Next, Passed, passed}, Verdict{"B1 C60 A50", true, "yd", Debug, Failed, gauge},
        Verdict{"B1 C60 A50", true, "ym", Menu, Failed, gauge}, Verdict{"B1 C60 A50", true, "yq", Quit, Failed, gauge},
        Verdict{"B1 C60 A50", true, "ys", Next, Skipped, skipped}, Verdict{"B1 C60 A50", true, "yx", Next, Failed, gauge},
        Verdict{"B1 C60 A50", true, "yrn", Next, NotRun, notRun}, // retry starts over
        Verdict{"B2", false, "yd", Debug, Failed, noProtocol}, Verdict{"B2", false, "ym", Menu, Failed, noProtocol},
        Verdict{"B2", false, "yn", Next, Failed, noProtocol}, Verdict{"B2", false, "ys", Next, Skipped, skipped},
        Verdict{"B2", false, "yrs", Next, Skipped, skipped},
        // Another key goes on to the fuel gauge, the test staying failed.
        Verdict{"B2 C50 A50", true, "yx", Next, Failed, noProtocol},
        Verdict{"B2 C60 A50", true, "yxn", Next, Failed, gauge}));

TEST_F(BatteryTest, RetryWaitsAgainWithFreshReadings)
{
    BatteryProtocolUnitTest test("SMB", "", prompt, 2, false);
    bench("B-1");
    screen.typeKey('y');
    screen.typeKey('r', [&] { board('B', 2); });
    screen.typeKey('y');
    EXPECT_EQ(test.run(manager), Next);
    EXPECT_EQ(test.state, Passed);
}

} // namespace
