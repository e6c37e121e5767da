#include "tests/boardtests/BoardTestFixture.h"

#include "boardtests/PowerSourceUnitTest.h"

namespace {

const char* const passed = "PASSED: Test Completed";
const char* const notRun = "Test Not Run";
const char* const sources = "ERROR: Unexpected Power Sources Indicated";
const char* const read11v8 = "ERROR: Expected System Voltage to be within 0.2V of 11.6V (read 11.8V)";
const char* const read11v4 = "ERROR: Expected System Voltage to be within 0.2V of 11.6V (read 11.4V)";
const char* const sourcesPrompt =
    "ERROR: Unexpected Power Sources Indicated\n (R)etry, (N)ext Test, (M)enu, (D)ebug or (Q)uit : ";
const char* const read11v8Prompt =
    "ERROR: Expected System Voltage to be within 0.2V of 11.6V (read 11.8V)\n (R)etry, (N)ext Test, (M)enu, (D)ebug or (Q)uit : ";

PowerSourceUnitTest makeTest()
{
    return PowerSourceUnitTest("Stage", "Supply {AL} then {IL}\nsecond", "\nPress *Y* to continue: ", 3, 11600);
}

TEST(PowerSourceTokens, EachTokenBecomesBoldVoltsAndNothingElseChanges)
{
    EXPECT_EQ(makeTest().replaceTokensWithValues("a {AL} b {IL} c {AH} d {IH} {AL} {al} {SV} {APS}"),
              "a *11.6V* b *10.0V* c *16.4V* d *18.5V* *11.6V* {al} {SV} {APS}");
}

TEST_F(BoardTestFixture, PowerSourceShowsTheInstructionsWithTokensReplaced)
{
    PowerSourceUnitTest test = makeTest();
    expectVerdict(test, {"P3 S11600", false, "m", Menu, NotRun, notRun, "\nPress *Y* to continue: "});
    EXPECT_EQ(manager.screenTitle, "Stage");
    EXPECT_EQ(manager.detailLines[0], "Supply *11.6V* then *10.0V*");
    EXPECT_EQ(manager.detailLines[1], "second");
}

class PowerSourceVerdicts : public VerdictTest {};

TEST_P(PowerSourceVerdicts, Verdict)
{
    manager.skipVoltageCheck = GetParam().flag;
    PowerSourceUnitTest test = makeTest();
    expectVerdict(test, GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    KeysAndLimits, PowerSourceVerdicts,
    ::testing::Values(Verdict{"P3 S11600", false, "q", Quit, NotRun, notRun}, Verdict{"P3 S11600", false, "d", Debug, NotRun, notRun},
                      Verdict{"P3 S11600", false, "n", Next, Passed, passed}, // only m, q, d leave at once
                      Verdict{"P3 S11800", false, "y", Next, Passed, passed}, Verdict{"P3 S11400", false, "y", Next, Passed, passed},
                      Verdict{"P3 S11801", false, "yn", Next, Failed, read11v8, read11v8Prompt},
                      Verdict{"P3 S11399", false, "yn", Next, Failed, read11v4},
                      Verdict{"P3 S11801", false, "ym", Menu, Failed, read11v8}, Verdict{"P3 S11801", false, "yq", Quit, Failed, read11v8},
                      Verdict{"P3 S11801", false, "yd", Debug, Failed, read11v8},
                      Verdict{"P3 S11801", false, "yrm", Menu, Failed, read11v8}, // retry asks again
                      Verdict{"P3 S9000", true, "y", Next, Passed, passed},
                      Verdict{"P1 S11600", true, "yn", Next, Failed, sources, sourcesPrompt}, // the mask must match exactly
                      Verdict{"P0 S11600", false, "yd", Debug, Failed, sources}, Verdict{"P0 S11600", false, "ym", Menu, Failed, sources},
                      Verdict{"P0 S11600", false, "yq", Quit, Failed, sources},
                      Verdict{"P0 S11600", false, "yxrq", Quit, Failed, sources}));

} // namespace
