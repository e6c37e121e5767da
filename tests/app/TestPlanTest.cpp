#include "app/TestPlan.h"

#include "app/TestManager.h"
#include "app/UnitTestGroup.h"
#include "boardtests/BatteryProtocolUnitTest.h"
#include "boardtests/PowerSourceUnitTest.h"
#include "boardtests/SysVoltageAndLEDTest.h"
#include "tests/support/FakeBoardDevice.h"
#include "tests/support/ScriptedScreen.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string acdc = "*6-Pin* ACDC Connector J1";
const std::string dc = "*4-Pin* DC Connector J2";
const std::string batt = "*2-Pin* Batt Connector J3";

const std::string head = "   (Active Power Source: *{APS}* at *{SV}V*)\n\n1. Ensure the TR417 is supplying power to the TR250\n";
const std::string load = "2. Ensure PRBS, MIG and Stress tests are running at maximum load\n";
const std::string marked = "\nPress *Y* to continue or (*M*)enu, (*D*)ebug, (*Q*)uit: ";
const std::string plain = "\nPress Y to continue or (M)enu, (D)ebug, (Q)uit: ";

enum Check { Falling10V4, Rising10V7, Rising17V8, Falling17V3 };

std::string stages1To4(Check check, const std::string& f, const std::string& s)
{
    switch (check) {
    case Falling10V4: return head + load + "3. Connect a Bench Supply at {AL} " + f + "\n4. Connect a Bench Supply at {AL} " + s + "\n";
    case Rising10V7: return head + load + "3. Connect a Bench Supply at {AH} on " + s + "\n4. Connect a Bench Supply at {IL} on " + f + "\n";
    case Rising17V8:
        return head + "2. Ensure PRBS, MIG and Stress tests are running at a constant maximum load\n"
               "3. Connect a Bench Supply at {AH} on " + s + "\n4. Connect a Bench Supply at {AH} on " + f + "\n";
    case Falling17V3: return head + load + "3. Connect a Bench Supply at {AL} " + s + "\n4. Connect a Bench Supply at {IH} " + f + "\n";
    }
    return {};
}

std::string step5(Check check, const std::string& f)
{
    switch (check) {
    case Falling10V4: return "5. Reduce the supply of " + f + " to {IL}\n";
    case Rising10V7: return "5. Increase the supply of " + f + " to {AL}\n";
    case Rising17V8: return "5. Increase the supply of " + f + " to {IH}\n";
    case Falling17V3: return "5. Reduce the supply of " + f + " to {AH}\n";
    }
    return {};
}

struct GroupRow {
    size_t index;
    const char* title;
    Check check;
    std::string first, second, prompt;
    int sources1, voltage1, sources5, voltage5;
};

const GroupRow groups[] = {
    {2, "ACDC Falling 10V4 Threshold Check with Max Load TR250", Falling10V4, acdc, dc, marked, 3, 11600, 2, 11600},
    {3, "ACDC Rising 10V7 Threshold Check with Max Load TR250", Rising10V7, acdc, dc, plain, 2, 16400, 3, 11600},
    {4, "ACDC Rising 17V8 Threshold Check with Max Load TR250", Rising17V8, acdc, dc, plain, 3, 16400, 2, 16400},
    {5, "ACDC Falling 17V3 Threshold Check with Max Load TR250", Falling17V3, acdc, dc, marked, 2, 11600, 3, 16400},
    {7, "DC Falling 10V4 Threshold Check with Max Load TR250", Falling10V4, dc, batt, marked, 6, 11600, 4, 11600},
    {8, "DC Rising 10V7 Threshold Check with Max Load TR250", Rising10V7, dc, batt, plain, 4, 16400, 6, 11600},
    {9, "DC Rising 17V8 Threshold Check with Max Load TR250", Rising17V8, dc, batt, plain, 6, 16400, 4, 16400},
    {10, "DC Falling 17V3 Threshold Check with Max Load TR250", Falling17V3, dc, batt, marked, 4, 11600, 6, 16400},
    {11, "Batt Falling 10V4 Threshold Check with Max Load TR250", Falling10V4, batt, dc, marked, 6, 11600, 2, 11600},
    {12, "Batt Rising 10V7 Threshold Check with Max Load TR250", Rising10V7, batt, dc, plain, 2, 16400, 6, 16400},
    {13, "Batt Rising 17V8 Threshold Check with Max Load TR250", Rising17V8, batt, dc, plain, 6, 16400, 2, 16400},
    {14, "Batt Falling 17V3 Threshold Check with Max Load TR250", Falling17V3, batt, dc, marked, 2, 11600, 6, 11600},
};

struct InputRow {
    size_t index;
    const char* title;
    const char* leds;
    const char* connector;
    int source;
};

const InputRow inputs[] = {
    {0, "ACDC Input and LED Test", "LED D7 *On*, LED D8 *Off*, LED D9 *Off*", "*6-Pin* ACDC Connector J1", 1},
    {1, "DC Input and LED Test", "LED D7 *Off*, LED D8 *On*, LED D9 *Off*", "*4-Pin* DC Connector J2", 2},
    {6, "BAT Input and Test", "LED D7 *Off*, LED D8 *Off*, LED D9 *On*", "*2-Pin* BAT Connector J3", 4},
};

struct BatteryRow {
    size_t index;
    const char* title;
    const char* instructions;
    int protocol;
    bool fuelGauge;
};

const BatteryRow batteries[] = {
    {15, "Battery V Plate I2C Protocol Tests",
     "1. Plug in a bench power supply set to *12V* to the *4-Pin* DC Connector J2\n2. Connect a \"V\" Type Plate\n"
     "3. Fit a Charged Battery\n4. Set to *I2C* protocol", 3, false},
    {16, "Battery V Plate SMB Protocol Tests",
     "1. Plug in a bench power supply set to *12V* to the *4-Pin* DC Connector J2\n2. Connect a \"V\" Type Plate\n"
     "3. Fit a Charged Battery\n4. Set to *SMB* protocol", 2, false},
    {17, "Battery G Plate Single Wire Protocol/ Analog Fuel Gauge Tests",
     "1. Plug in a bench power supply set to *12V* to the *4-Pin* DC Connector J2\n2. Connect a \"G\" Type Plate\n"
     "3. Fit a Charged Battery", 1, true},
};

class TestPlan : public ::testing::Test {
protected:
    void SetUp() override
    {
        populateTests(manager);
        ASSERT_EQ(manager.unitTests.size(), 18u);
    }
    ScriptedScreen screen;
    FakeBoardDevice device;
    TestManager manager{false, screen, device, "/nonexistent"};
};

TEST_F(TestPlan, InputTests)
{
    for (const auto& row : inputs) {
        auto* test = dynamic_cast<SysVoltageAndLEDTest*>(manager.unitTests.at(row.index).get());
        ASSERT_NE(test, nullptr) << row.index;
        EXPECT_EQ(test->title, row.title);
        EXPECT_EQ(test->ledDescription, row.leds);
        EXPECT_EQ(test->connectorDescription, row.connector);
        EXPECT_EQ(test->expectedPowerSource, row.source);
    }
}

TEST_F(TestPlan, ThresholdGroups)
{
    for (const auto& row : groups) {
        SCOPED_TRACE(row.title);
        auto* group = dynamic_cast<UnitTestGroup*>(manager.unitTests.at(row.index).get());
        ASSERT_NE(group, nullptr);
        EXPECT_EQ(group->title, row.title);
        ASSERT_EQ(group->children.size(), 2u);
        auto* first = dynamic_cast<PowerSourceUnitTest*>(group->children[0].get());
        auto* second = dynamic_cast<PowerSourceUnitTest*>(group->children[1].get());
        ASSERT_TRUE(first && second);
        EXPECT_EQ(first->title, QString(row.title) + " - Stages 1 to 4");
        EXPECT_EQ(second->title, QString(row.title) + " - Stage 5");
        const std::string base = stages1To4(row.check, row.first, row.second);
        EXPECT_EQ(first->instructions.toStdString(), base);
        EXPECT_EQ(second->instructions.toStdString(), base + step5(row.check, row.first));
        EXPECT_EQ(first->promptText.toStdString(), row.prompt);
        EXPECT_EQ(second->promptText.toStdString(), row.prompt);
        EXPECT_EQ(first->expectedPowerSources, row.sources1);
        EXPECT_EQ(first->expectedSystemVoltage, row.voltage1);
        EXPECT_EQ(second->expectedPowerSources, row.sources5);
        EXPECT_EQ(second->expectedSystemVoltage, row.voltage5);
    }
}

TEST_F(TestPlan, BatteryTests)
{
    for (const auto& row : batteries) {
        auto* test = dynamic_cast<BatteryProtocolUnitTest*>(manager.unitTests.at(row.index).get());
        ASSERT_NE(test, nullptr) << row.index;
        EXPECT_EQ(test->title, row.title);
        EXPECT_EQ(test->instructions, row.instructions);
        EXPECT_EQ(test->promptText, "\nPress Y to continue, (S)kip this Test or (M)enu, (D)ebug, (Q)uit: ");
        EXPECT_EQ(test->expectedInterface, row.protocol);
        EXPECT_EQ(test->checkFuelGauge, row.fuelGauge);
    }
}

} // namespace
