#include "tests/boardtests/BoardTestFixture.h"

#include "boardtests/PowerSourceUnitTest.h"

namespace {

const char* const read11v8 = "ERROR: Expected System Voltage to be within 0.2V of 11.6V (read 11.8V)";
const char* const read11v4 = "ERROR: Expected System Voltage to be within 0.2V of 11.6V (read 11.4V)";
const std::string retry = "\n (R)etry, (N)ext Test, (M)enu, (D)ebug or (Q)uit : ";
const std::string sourcesPrompt = sources + retry, read11v8Prompt = read11v8 + retry;

PowerSourceUnitTest makeTest() { return {"Stage", "Supply {AL} then {IL}\nsecond", "\nPress *Y* to continue: ", 3, 11600}; }

TEST_F(BoardTestFixture, PowerSourceShowsTheInstructionsWithEachTokenAsBoldVolts)
{
    PowerSourceUnitTest test = makeTest();
    EXPECT_EQ(test.replaceTokensWithValues("a {AL} b {IL} c {AH} d {IH} {AL} {al} {SV} {APS}"),
              "a *11.6V* b *10.0V* c *16.4V* d *18.5V* *11.6V* {al} {SV} {APS}");
    expectVerdict(test, {"P3 S11600", false, "m", Menu, NotRun, notRun, "\nPress *Y* to continue: "});
    EXPECT_EQ(manager.screenTitle, "Stage");
    EXPECT_EQ(manager.detailLines[0], "Supply *11.6V* then *10.0V*");
    EXPECT_EQ(manager.detailLines[1], "second");
}

class PowerSourceVerdicts : public VerdictTest {};
TEST_P(PowerSourceVerdicts, Verdict)
{
    PowerSourceUnitTest test = makeTest();
    expectVerdict(test, GetParam());
}
const Verdict powerSourceVerdicts[] = {
    {"P3 S11600", false, "q", Quit, NotRun, notRun},     {"P3 S11600", false, "d", Debug, NotRun, notRun},
    {"P3 S11600", false, "n", Next, Passed, passed}, // only m, q, d leave at once
    {"P3 S11800", false, "y", Next, Passed, passed},     {"P3 S11400", false, "y", Next, Passed, passed},
    {"P3 S11801", false, "yn", Next, Failed, read11v8, read11v8Prompt.c_str()},
    {"P3 S11399", false, "yn", Next, Failed, read11v4},  {"P3 S11801", false, "ym", Menu, Failed, read11v8},
    {"P3 S11801", false, "yq", Quit, Failed, read11v8},  {"P3 S11801", false, "yd", Debug, Failed, read11v8},
    {"P3 S11801", false, "yrm", Menu, Failed, read11v8}, // retry asks again
    {"P3 S9000", true, "y", Next, Passed, passed},       {"P0 S11600", false, "yd", Debug, Failed, sources},
    {"P1 S11600", true, "yn", Next, Failed, sources, sourcesPrompt.c_str()}, // the mask must match exactly
    {"P0 S11600", false, "ym", Menu, Failed, sources},   {"P0 S11600", false, "yq", Quit, Failed, sources},
    {"P0 S11600", false, "yxrq", Quit, Failed, sources}};
INSTANTIATE_TEST_SUITE_P(KeysAndLimits, PowerSourceVerdicts, ::testing::ValuesIn(powerSourceVerdicts));

} // namespace
