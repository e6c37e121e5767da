#include "tests/boardtests/BoardTestFixture.h"

#include "boardtests/BatteryProtocolUnitTest.h"

#include <QRegularExpression>

namespace {

const char* const prompt = "\nPress Y to continue, (S)kip this Test or (M)enu, (D)ebug, (Q)uit: ";
const char* const passed = "PASSED: Test Completed";
const char* const notRun = "Test Not Run";
const char* const skipped = "Test Skipped";
const char* const noProtocol = "FAILED Protocol Not Found";
const char* const gaugeOff = "FAILED: Analog Fuel Gauge not within 10% of Battery Capacity";

class BatteryTest : public BoardTestFixture {
protected:
    // The count shown after the prompt at each redraw of the wait.
    std::vector<int> countsShown() const
    {
        std::vector<int> counts;
        const QRegularExpression count("^Press Y to continue, \\(S\\)kip this Test or \\(M\\)enu, \\(D\\)ebug, \\(Q\\)uit:  \\.\\.\\.(\\d)$");
        for (const QString& row : screen.secondPromptRows) {
            const auto match = count.match(row);
            if (match.hasMatch())
                counts.push_back(match.captured(1).toInt());
        }
        return counts;
    }
};

TEST_F(BatteryTest, FoundAtOnceAfterOnePollingStepShowingSix)
{
    board('B', 3);
    BatteryProtocolUnitTest test("I2C", "1. Fit\n2. Set", prompt, 3, false);
    screen.typeKey('y');
    EXPECT_EQ(test.run(manager), Next);
    EXPECT_EQ(test.state, Passed);
    EXPECT_EQ(countsShown(), std::vector<int>{6});
    EXPECT_EQ(device.sleeps, 2); // the prompt's poll and one step of the wait
    EXPECT_EQ(manager.detailLines[1], "2. Set");
}

TEST_F(BatteryTest, CountsDownFromSixOverTwentyFiveSteps)
{
    board('B', 2);
    BatteryProtocolUnitTest test("I2C", "", prompt, 3, false);
    screen.typeKeys("yq");
    EXPECT_EQ(test.run(manager), Quit);
    EXPECT_EQ(countsShown(), (std::vector<int>{6, 5, 5, 5, 5, 5, 4, 4, 4, 4, 4, 3, 3, 3, 3, 3, 2, 2, 2, 2, 2, 1, 1, 1, 1}));
    EXPECT_EQ(manager.promptLines[0], "ERROR: Software didn't find an active protocol");
    EXPECT_EQ(manager.promptLines[1], " (R)etry, (N)ext Test, (M)enu or (Q)uit : ");
}

struct Case {
    int batteryInterface;
    int capacity;
    int gauge;
    bool checkFuelGauge;
    std::string keys;
    int result;
    int state;
    const char* message;
};

class BatteryCases : public BatteryTest, public ::testing::WithParamInterface<Case> {};

TEST_P(BatteryCases, Verdict)
{
    const Case& c = GetParam();
    board('B', c.batteryInterface);
    board('C', c.capacity);
    board('A', c.gauge);
    BatteryProtocolUnitTest test("G plate", "", prompt, 1, c.checkFuelGauge);
    test.state = Failed; // a verdict left from an earlier run
    screen.typeKeys(c.keys);
    EXPECT_EQ(test.run(manager), c.result);
    EXPECT_EQ(test.state, c.state);
    EXPECT_EQ(test.resultMessage, c.message);
    EXPECT_EQ(screen.keysLeft(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    FirstPrompt, BatteryCases,
    ::testing::Values(Case{1, 50, 50, true, "d", Debug, NotRun, notRun}, Case{1, 50, 50, true, "m", Menu, NotRun, notRun},
                      Case{1, 50, 50, true, "q", Quit, NotRun, notRun}, Case{1, 50, 50, true, "n", Next, NotRun, notRun},
                      Case{1, 50, 50, true, "s", Next, Skipped, skipped}, Case{1, 50, 50, true, "r", Next, Passed, passed}));

INSTANTIATE_TEST_SUITE_P(
    FuelGauge, BatteryCases,
    ::testing::Values(Case{1, 50, 59, true, "y", Next, Passed, passed}, Case{1, 59, 50, true, "y", Next, Passed, passed},
                      Case{1, 50, 60, true, "yn", Next, Failed, gaugeOff}, Case{1, 60, 50, true, "yn", Next, Failed, gaugeOff},
                      Case{1, -1, 0, true, "yn", Next, Failed, gaugeOff}, Case{1, 5, -1, true, "yn", Next, Failed, gaugeOff},
                      Case{1, 60, 50, false, "y", Next, Passed, passed}, Case{1, 60, 50, true, "yd", Debug, Failed, gaugeOff},
                      Case{1, 60, 50, true, "ym", Menu, Failed, gaugeOff}, Case{1, 60, 50, true, "yq", Quit, Failed, gaugeOff},
                      Case{1, 60, 50, true, "ys", Next, Skipped, skipped}, Case{1, 60, 50, true, "yx", Next, Failed, gaugeOff},
                      Case{1, 60, 50, true, "yrn", Next, NotRun, notRun}));

INSTANTIATE_TEST_SUITE_P(
    ProtocolNotFound, BatteryCases,
    ::testing::Values(Case{2, 50, 50, false, "yd", Debug, Failed, noProtocol}, Case{2, 50, 50, false, "ym", Menu, Failed, noProtocol},
                      Case{2, 50, 50, false, "yn", Next, Failed, noProtocol}, Case{2, 50, 50, false, "yq", Quit, Failed, noProtocol},
                      Case{2, 50, 50, false, "ys", Next, Skipped, skipped}, Case{2, 50, 50, false, "yx", Next, Failed, noProtocol},
                      Case{2, 50, 50, false, "yrs", Next, Skipped, skipped},
                      // Another key goes on to the fuel gauge, still failed.
                      Case{2, 50, 50, true, "yx", Next, Failed, noProtocol}, Case{2, 60, 50, true, "yxn", Next, Failed, gaugeOff}));

TEST_F(BatteryTest, RetryWaitsAgainWithFreshReadings)
{
    board('B', 2);
    BatteryProtocolUnitTest test("SMB", "", prompt, 2, false);
    screen.typeKey('y', [&] { board('B', -1); }); // the battery drops out before the check
    screen.typeKey('r', [&] { board('B', 2); });
    screen.typeKey('y');
    EXPECT_EQ(test.run(manager), Next);
    EXPECT_EQ(test.state, Passed);
}

} // namespace
