#include "tests/boardtests/BoardTestFixture.h"

#include "boardtests/SysVoltageAndLEDTest.h"

#include <cmath>

namespace {

const char* const sourcesError = "ERROR: Unexpected Power Sources Indicated";
const char* const ledError = "ERROR: LED not confirmed to be lit";

class SysVoltageTest : public BoardTestFixture {
protected:
    SysVoltageTest()
    {
        board('P', 1);
        board('S', 14000);
    }
    SysVoltageAndLEDTest test{"ACDC", "LED D7 *On*", "*6-Pin* J1", 1};
};

TEST_F(SysVoltageTest, ShowsInstructionsAndQuestion)
{
    screen.typeKey('q');
    EXPECT_EQ(test.run(manager), Quit);
    EXPECT_EQ(manager.detailLines[0], "   (Active Power Source: *{APS}* at *{SV}V*)");
    EXPECT_EQ(manager.detailLines[2], "1. Ensure the TR333 is supplying power to the TR250");
    EXPECT_EQ(manager.detailLines[4], "3. Connect a Bench Supply set to *14.0V* on *6-Pin* J1");
    EXPECT_EQ(manager.detailLines[5], "4. Power off the other DC inputs.");
    EXPECT_EQ(manager.promptLines[0], "Do you see LED D7 *On*?");
    EXPECT_EQ(manager.promptLines[1], " *Y* or *N* (*M*)enu, (*D*)ebug, (*Q*)uit : ");
}

struct Case {
    int powerSource;
    int systemVoltage;
    bool skipVoltageCheck;
    std::string keys;
    int result;
    int state;
    const char* message;
    const char* lastPrompt; // first prompt line at the end; nullptr: not checked
};

class SysVoltageCases : public SysVoltageTest, public ::testing::WithParamInterface<Case> {};

TEST_P(SysVoltageCases, Verdict)
{
    const Case& c = GetParam();
    board('P', c.powerSource);
    board('S', c.systemVoltage);
    manager.skipVoltageCheck = c.skipVoltageCheck;
    screen.typeKeys(c.keys);
    EXPECT_EQ(test.run(manager), c.result);
    EXPECT_EQ(test.state, c.state);
    EXPECT_EQ(test.resultMessage, c.message);
    if (c.lastPrompt) {
        EXPECT_EQ(manager.promptLines[0], c.lastPrompt);
    }
    EXPECT_EQ(screen.keysLeft(), 0u);
}

const char* const passed = "PASSED: Test Completed";
const char* const notRun = "Test Not Run";
const char* const ledPrompt = "ERROR: Expected you to respond with 'Y'answer \"Yes\"?";
const char* const read13v5 = "ERROR: Expected System Voltage to be between 13.5V and 14.0V (read 13.5V)";

INSTANTIATE_TEST_SUITE_P(
    KeysAndLimits, SysVoltageCases,
    ::testing::Values(
        Case{1, 14000, false, "m", Menu, NotRun, notRun, nullptr}, Case{1, 14000, false, "d", Debug, NotRun, notRun, nullptr},
        Case{1, 13500, false, "y", Next, Passed, passed, nullptr}, Case{1, 14200, false, "y", Next, Passed, passed, nullptr},
        Case{1, 13499, false, "yn", Next, Failed, read13v5, read13v5},
        Case{1, 14201, false, "yn", Next, Failed,
             "ERROR: Expected System Voltage to be between 13.5V and 14.0V (read 14.2V)", nullptr},
        Case{1, 14260, false, "yq", Quit, Failed,
             "ERROR: Expected System Voltage to be between 13.5V and 14.0V (read 14.3V)",
             "ERROR: Expected System Voltage to be between 13.5V and 14.0V (read 14.3V)"},
        Case{1, 13499, false, "ym", Menu, Failed, read13v5, nullptr}, Case{1, 13499, false, "yd", Debug, Failed, read13v5, nullptr},
        Case{1, 13499, false, "yrq", Quit, Failed, read13v5, nullptr},
        Case{1, 9000, true, "y", Next, Passed, passed, nullptr},
        Case{2, 14000, true, "yn", Next, Failed, sourcesError, sourcesError},
        Case{2, 14000, false, "nn", Next, Failed, sourcesError, sourcesError}, // power source is checked first
        Case{3, 14000, false, "yd", Debug, Failed, sourcesError, nullptr},
        Case{2, 14000, false, "ym", Menu, Failed, sourcesError, nullptr},
        Case{2, 14000, false, "yxq", Quit, Failed, sourcesError, nullptr},
        Case{1, 14000, false, "nn", Next, Failed, ledError, ledPrompt}, Case{1, 14000, false, "xm", Menu, Failed, ledError, nullptr},
        Case{1, 14000, false, "nq", Quit, Failed, ledError, nullptr}, Case{1, 14000, false, "nd", Debug, Failed, ledError, nullptr},
        Case{1, 14000, false, "nry", Next, Passed, passed, nullptr}));

TEST_F(SysVoltageTest, SupplyVoltageForATargetFollowsTheDropMeasuredAtPass)
{
    EXPECT_EQ(test.getPSUVoltageRequired(12.0f), 0.0f);
    board('S', 13700);
    screen.typeKey('y');
    test.run(manager);
    EXPECT_EQ(test.measuredSystemVoltage, 13.7f);
    EXPECT_NEAR(test.getPSUVoltageRequired(12.0f), 12.34f, 0.005f);
    // v squared in single precision, the rest in double precision.
    EXPECT_EQ(test.getPSUVoltageRequired(11.7f), 12.0485888f);
    EXPECT_EQ(test.getPSUVoltageRequired(9.16f), 9.59760857f);

    // A later failed run keeps the measurement but no longer vouches for it.
    board('P', 2);
    screen.typeKeys("yn");
    test.run(manager);
    EXPECT_EQ(test.measuredSystemVoltage, 13.7f);
    EXPECT_EQ(test.getPSUVoltageRequired(12.0f), 0.0f);
}

TEST_F(SysVoltageTest, SupplyVoltageEqualsTargetWithoutDropAndIsNaNWithoutRealRoot)
{
    manager.skipVoltageCheck = true;
    screen.typeKey('y');
    test.run(manager);
    EXPECT_EQ(test.measuredSystemVoltage, 14.0f);
    EXPECT_FLOAT_EQ(test.getPSUVoltageRequired(12.5f), 12.5f);
    test.measuredSystemVoltage = 14.2f;
    EXPECT_TRUE(std::isnan(test.getPSUVoltageRequired(0.0f)));
}

} // namespace
