#include "tests/boardtests/BoardTestFixture.h"
#include "boardtests/PowerSourceUnitTest.h"

const char* const read11v8 = "ERROR: Expected System Voltage to be within 0.2V of 11.6V (read 11.8V)";
const std::string retry = "\n (R)etry, (N)ext Test, (M)enu, (D)ebug or (Q)uit : ";
const std::string sourcesPrompt = sources + retry, read11v8Prompt = read11v8 + retry;

class PowerSourceVerdicts : public VerdictTest {};
TEST_P(PowerSourceVerdicts, Verdict)
{
    PowerSourceUnitTest test{"Stage", "Supply {AL} then {IL}", "\nPress *Y* to continue: ", 3, 11600};
    expectVerdict(test, GetParam());
    EXPECT_EQ(manager.detailLines[0], "Supply *11.6V* then *10.0V*");
}
const Verdict powerSourceVerdicts[] = {
    {"P3 S11600", false, "q", Quit, NotRun, notRun, "\nPress *Y* to continue: "},
    {"P3 S11600", false, "n", Next, Passed, passed}, // only m, q, d leave at once
    {"P3 S11800", false, "y", Next, Passed, passed},
    {"P3 S11801", false, "yn", Next, Failed, read11v8, read11v8Prompt.c_str()},
    {"P3 S11801", false, "yrm", Menu, Failed, read11v8}, // retry asks again
    {"P3 S9000", true, "y", Next, Passed, passed},
    {"P1 S11600", true, "yn", Next, Failed, sources, sourcesPrompt.c_str()}, // the mask must match exactly
    {"P0 S11600", false, "yxrq", Quit, Failed, sources}};
INSTANTIATE_TEST_SUITE_P(KeysAndLimits, PowerSourceVerdicts, ::testing::ValuesIn(powerSourceVerdicts));
