#include "tests/boardtests/BoardTestFixture.h"

#include "boardtests/SysVoltageAndLEDTest.h"

namespace {

const char* const led = "ERROR: LED not confirmed to be lit";
const char* const read13v5 = "ERROR: Expected System Voltage to be between 13.5V and 14.0V (read 13.5V)";
const char* const read14v2 = "ERROR: Expected System Voltage to be between 13.5V and 14.0V (read 14.2V)";
const char* const read14v3 = "ERROR: Expected System Voltage to be between 13.5V and 14.0V (read 14.3V)";
const std::string retry = "\n (*R*)etry, (*N*)ext Test, (*M*)enu or (*Q*)uit : ";
const std::string sourcesPrompt = sources + retry, read14v3Prompt = read14v3 + retry,
                  ledPrompt = "ERROR: Expected you to respond with 'Y'answer \"Yes\"?" + retry;

TEST_F(BoardTestFixture, SysVoltageShowsInstructionsAndQuestion)
{
    SysVoltageAndLEDTest test{"ACDC", "LED D7 *On*", "*6-Pin* J1", 1};
    expectVerdict(test, {"P1 S14000", false, "q", Quit, NotRun, notRun,
                         "Do you see LED D7 *On*?\n *Y* or *N* (*M*)enu, (*D*)ebug, (*Q*)uit : "});
    EXPECT_EQ(manager.detailLines[0], "   (Active Power Source: *{APS}* at *{SV}V*)");
    EXPECT_EQ(manager.detailLines[4], "3. Connect a Bench Supply set to *14.0V* on *6-Pin* J1");
}

TEST_F(BoardTestFixture, SysVoltageSupplyForATargetFollowsTheDropMeasuredAtPass)
{
    SysVoltageAndLEDTest test{"ACDC", "LED D7 *On*", "*6-Pin* J1", 1};
    EXPECT_EQ(test.getPSUVoltageRequired(12.0f), 0.0f);
    expectVerdict(test, {"P1 S13700", false, "y", Next, Passed, passed});
    EXPECT_NEAR(test.getPSUVoltageRequired(12.0f), 12.34f, 0.005f);
    // A later failed run keeps the measurement but no longer vouches for it.
    expectVerdict(test, {"P2", false, "yn", Next, Failed, sources});
    EXPECT_EQ(test.getPSUVoltageRequired(12.0f), 0.0f);
    // No reading: the bench supply's own 14.0 V, so no drop.
    expectVerdict(test, {"P1 S9000", true, "y", Next, Passed, passed});
    EXPECT_FLOAT_EQ(test.getPSUVoltageRequired(12.5f), 12.5f);
}

class SysVoltageVerdicts : public VerdictTest {};
TEST_P(SysVoltageVerdicts, Verdict)
{
    SysVoltageAndLEDTest test{"ACDC", "LED D7 *On*", "*6-Pin* J1", 1};
    expectVerdict(test, GetParam());
}
const Verdict sysVoltageVerdicts[] = {
    {"P1 S14000", false, "m", Menu, NotRun, notRun},      {"P1 S14000", false, "d", Debug, NotRun, notRun},
    {"P1 S13500", false, "y", Next, Passed, passed},      {"P1 S14200", false, "y", Next, Passed, passed},
    {"P1 S13499", false, "yn", Next, Failed, read13v5},   {"P1 S14201", false, "yn", Next, Failed, read14v2},
    {"P1 S14260", false, "yq", Quit, Failed, read14v3, read14v3Prompt.c_str()}, // rounded to one decimal
    {"P1 S13499", false, "ym", Menu, Failed, read13v5},   {"P1 S13499", false, "yd", Debug, Failed, read13v5},
    {"P1 S13499", false, "yrq", Quit, Failed, read13v5},  {"P1 S9000", true, "y", Next, Passed, passed},
    {"P2 S14000", true, "yn", Next, Failed, sources, sourcesPrompt.c_str()},
    {"P2 S14000", false, "nn", Next, Failed, sources, sourcesPrompt.c_str()}, // checked before the answer
    {"P3 S14000", false, "yd", Debug, Failed, sources},   {"P2 S14000", false, "ym", Menu, Failed, sources},
    {"P2 S14000", false, "yxq", Quit, Failed, sources},   {"P1 S14000", false, "nn", Next, Failed, led, ledPrompt.c_str()},
    {"P1 S14000", false, "xm", Menu, Failed, led},        {"P1 S14000", false, "nq", Quit, Failed, led},
    {"P1 S14000", false, "nd", Debug, Failed, led},       {"P1 S14000", false, "nry", Next, Passed, passed}};
INSTANTIATE_TEST_SUITE_P(KeysAndLimits, SysVoltageVerdicts, ::testing::ValuesIn(sysVoltageVerdicts));

} // namespace
