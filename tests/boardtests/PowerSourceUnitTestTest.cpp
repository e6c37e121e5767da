#include "tests/boardtests/BoardTestFixture.h"

#include "boardtests/PowerSourceUnitTest.h"

namespace {

const char* const prompt = "\nPress *Y* to continue or (*M*)enu, (*D*)ebug, (*Q*)uit: ";
const char* const sourcesError = "ERROR: Unexpected Power Sources Indicated";

class PowerSourceTest : public BoardTestFixture {
protected:
    PowerSourceTest()
    {
        board('P', 3);
        board('S', 11600);
    }
    PowerSourceUnitTest test{"Stage", "Supply {AL} then {IL}\nsecond", prompt, 3, 11600};
};

TEST(PowerSourceTokens, EachTokenBecomesBoldVoltsAndNothingElseChanges)
{
    PowerSourceUnitTest test("t", "", "", 1, 0);
    EXPECT_EQ(test.replaceTokensWithValues("a {AL} b {IL} c {AH} d {IH} {AL} {al} {SV} {APS}"),
              "a *11.6V* b *10.0V* c *16.4V* d *18.5V* *11.6V* {al} {SV} {APS}");
}

TEST_F(PowerSourceTest, InstructionsAreShownWithTokensReplaced)
{
    screen.typeKey('m');
    EXPECT_EQ(test.run(manager), Menu);
    EXPECT_EQ(manager.screenTitle, "Stage");
    EXPECT_EQ(manager.detailLines[0], "Supply *11.6V* then *10.0V*");
    EXPECT_EQ(manager.detailLines[1], "second");
    EXPECT_EQ(manager.promptLines[1], "Press *Y* to continue or (*M*)enu, (*D*)ebug, (*Q*)uit: ");
    EXPECT_EQ(test.state, NotRun);
}

struct Case {
    int powerSource;
    int systemVoltage;
    bool skipVoltageCheck;
    std::string keys;
    int result;
    int state;
    const char* message;
};

class PowerSourceCases : public PowerSourceTest, public ::testing::WithParamInterface<Case> {};

TEST_P(PowerSourceCases, Verdict)
{
    const Case& c = GetParam();
    board('P', c.powerSource);
    board('S', c.systemVoltage);
    manager.skipVoltageCheck = c.skipVoltageCheck;
    screen.typeKeys(c.keys);
    EXPECT_EQ(test.run(manager), c.result);
    EXPECT_EQ(test.state, c.state);
    EXPECT_EQ(test.resultMessage, c.message);
    EXPECT_EQ(screen.keysLeft(), 0u);
}

const char* const passed = "PASSED: Test Completed";
const char* const notRun = "Test Not Run";
const char* const read11v8 = "ERROR: Expected System Voltage to be within 0.2V of 11.6V (read 11.8V)";

INSTANTIATE_TEST_SUITE_P(
    KeysAndLimits, PowerSourceCases,
    ::testing::Values(
        Case{3, 11600, false, "q", Quit, NotRun, notRun}, Case{3, 11600, false, "d", Debug, NotRun, notRun},
        Case{3, 11600, false, "n", Next, Passed, passed}, // only m, q, d leave at once
        Case{3, 11800, false, "y", Next, Passed, passed}, Case{3, 11400, false, "y", Next, Passed, passed},
        Case{3, 11801, false, "yn", Next, Failed, read11v8},
        Case{3, 11399, false, "yn", Next, Failed, "ERROR: Expected System Voltage to be within 0.2V of 11.6V (read 11.4V)"},
        Case{3, 11801, false, "ym", Menu, Failed, read11v8}, Case{3, 11801, false, "yq", Quit, Failed, read11v8},
        Case{3, 11801, false, "yd", Debug, Failed, read11v8},
        Case{3, 11801, false, "yrm", Menu, Failed, read11v8}, // retry shows the prompt again
        Case{3, 9000, true, "y", Next, Passed, passed},
        Case{1, 11600, false, "yn", Next, Failed, sourcesError}, // mask must match exactly
        Case{1, 11600, true, "yn", Next, Failed, sourcesError}, Case{0, 11600, false, "yd", Debug, Failed, sourcesError},
        Case{0, 11600, false, "ym", Menu, Failed, sourcesError}, Case{0, 11600, false, "yq", Quit, Failed, sourcesError},
        Case{0, 11600, false, "yxrq", Quit, Failed, sourcesError}));

TEST_F(PowerSourceTest, RetryRechecksWithFreshReadings)
{
    board('P', 1);
    screen.typeKey('y');
    screen.typeKey('r', [&] { board('P', 3); }); // the operator fixes the bench, then retries
    screen.typeKey('y');
    EXPECT_EQ(test.run(manager), Next);
    EXPECT_EQ(test.state, Passed);
    EXPECT_EQ(test.resultMessage, passed);
}

TEST_F(PowerSourceTest, VoltageErrorPromptCarriesTheMessage)
{
    board('S', 11801);
    screen.typeKeys("yq");
    test.run(manager);
    EXPECT_EQ(manager.promptLines[0], read11v8);
    EXPECT_EQ(manager.promptLines[1], " (R)etry, (N)ext Test, (M)enu, (D)ebug or (Q)uit : ");
}

} // namespace
