#include "tests/boardtests/BoardTestFixture.h"
#include "boardtests/SysVoltageAndLEDTest.h"

const char* const led = "ERROR: LED not confirmed to be lit";
const char* const read13v5 = "ERROR: Expected System Voltage to be between 13.5V and 14.0V (read 13.5V)";
const char* const read14v2 = "ERROR: Expected System Voltage to be between 13.5V and 14.0V (read 14.2V)";
const std::string retry = "\n (*R*)etry, (*N*)ext Test, (*M*)enu or (*Q*)uit : ";
const std::string sourcesPrompt = sources + retry, read14v2Prompt = read14v2 + retry,
                  ledPrompt = "ERROR: Expected you to respond with 'Y'answer \"Yes\"?" + retry;

TEST_F(BoardTestFixture, SysVoltageSupplyForATargetFollowsTheDropMeasuredAtPass)
{
    SysVoltageAndLEDTest test{"ACDC", "LED D7 *On*", "*6-Pin* J1", 1};
    EXPECT_EQ(test.getPSUVoltageRequired(12.0f), 0.0f);
    expectVerdict(test, {"P1 S13700", false, "y", Next, Passed, passed});
    EXPECT_NEAR(test.getPSUVoltageRequired(12.0f), 12.34f, 0.005f);
}

class SysVoltageVerdicts : public VerdictTest {};
TEST_P(SysVoltageVerdicts, Verdict)
{
    SysVoltageAndLEDTest test{"ACDC", "LED D7 *On*", "*6-Pin* J1", 1};
    expectVerdict(test, GetParam());
}
const Verdict sysVoltageVerdicts[] = {
    {"P1 S14000", false, "m", Menu, NotRun, notRun, "Do you see LED D7 *On*?\n *Y* or *N* (*M*)enu, (*D*)ebug, (*Q*)uit : "},
    {"P1 S13500", false, "y", Next, Passed, passed},      {"P1 S14200", false, "y", Next, Passed, passed},
    {"P1 S13499", false, "yn", Next, Failed, read13v5},
    {"P1 S14201", false, "yq", Quit, Failed, read14v2, read14v2Prompt.c_str()},
    {"P1 S13499", false, "yrq", Quit, Failed, read13v5},  {"P1 S9000", true, "y", Next, Passed, passed},
    {"P2 S14000", false, "nn", Next, Failed, sources, sourcesPrompt.c_str()}, // checked before the answer
    {"P1 S14000", false, "nn", Next, Failed, led, ledPrompt.c_str()},
    {"P1 S14000", false, "nry", Next, Passed, passed}};
INSTANTIATE_TEST_SUITE_P(KeysAndLimits, SysVoltageVerdicts, ::testing::ValuesIn(sysVoltageVerdicts));
