#include "app/TestPlan.h"

#include "app/UnitTestGroup.h"
#include "boardtests/BatteryProtocolUnitTest.h"
#include "boardtests/PowerSourceUnitTest.h"
#include "boardtests/SysVoltageAndLEDTest.h"
#include "tests/support/ManagerFixture.h"

#include <string>

// The operator's instructions, word for word. Titles, the order of the tests,
// which inputs and protocol each expects and at what voltage are checked end
// to end: the whole plan passes on the simulated bench set as instructed.
namespace {

const std::string head = "   (Active Power Source: *{APS}* at *{SV}V*)\n\n1. Ensure the TR417 is supplying power to the TR250\n";
const std::string load = "2. Ensure PRBS, MIG and Stress tests are running at maximum load\n";
const std::string marked = "\nPress *Y* to continue or (*M*)enu, (*D*)ebug, (*Q*)uit: ";
const std::string plain = "\nPress Y to continue or (M)enu, (D)ebug, (Q)uit: ";

struct TestPlan : ManagerFixture {
    TestPlan() { populateTests(manager); }
};

TEST_F(TestPlan, InputTests)
{
    const struct { size_t index; const char* leds; const char* connector; } rows[] = {
        {0, "LED D7 *On*, LED D8 *Off*, LED D9 *Off*", "*6-Pin* ACDC Connector J1"},
        {1, "LED D7 *Off*, LED D8 *On*, LED D9 *Off*", "*4-Pin* DC Connector J2"},
        {6, "LED D7 *Off*, LED D8 *Off*, LED D9 *On*", "*2-Pin* BAT Connector J3"},
    };
    for (const auto& row : rows) {
        auto* test = dynamic_cast<SysVoltageAndLEDTest*>(manager.unitTests.at(row.index).get());
        ASSERT_NE(test, nullptr) << row.index;
        EXPECT_EQ(test->ledDescription, row.leds);
        EXPECT_EQ(test->connectorDescription, row.connector);
    }
}

// Each kind of check once; the DC group names the battery connector.
TEST_F(TestPlan, ThresholdGroupsStagesOneToFourThenStageFive)
{
    const struct { size_t index; std::string stages1To4, stage5, prompt; } rows[] = {
        {2, head + load + "3. Connect a Bench Supply at {AL} *6-Pin* ACDC Connector J1\n"
                          "4. Connect a Bench Supply at {AL} *4-Pin* DC Connector J2\n",
         "5. Reduce the supply of *6-Pin* ACDC Connector J1 to {IL}\n", marked},
        {3, head + load + "3. Connect a Bench Supply at {AH} on *4-Pin* DC Connector J2\n"
                          "4. Connect a Bench Supply at {IL} on *6-Pin* ACDC Connector J1\n",
         "5. Increase the supply of *6-Pin* ACDC Connector J1 to {AL}\n", plain},
        {4, head + "2. Ensure PRBS, MIG and Stress tests are running at a constant maximum load\n"
                   "3. Connect a Bench Supply at {AH} on *4-Pin* DC Connector J2\n"
                   "4. Connect a Bench Supply at {AH} on *6-Pin* ACDC Connector J1\n",
         "5. Increase the supply of *6-Pin* ACDC Connector J1 to {IH}\n", plain},
        {5, head + load + "3. Connect a Bench Supply at {AL} *4-Pin* DC Connector J2\n"
                          "4. Connect a Bench Supply at {IH} *6-Pin* ACDC Connector J1\n",
         "5. Reduce the supply of *6-Pin* ACDC Connector J1 to {AH}\n", marked},
        {7, head + load + "3. Connect a Bench Supply at {AL} *4-Pin* DC Connector J2\n"
                          "4. Connect a Bench Supply at {AL} *2-Pin* Batt Connector J3\n",
         "5. Reduce the supply of *4-Pin* DC Connector J2 to {IL}\n", marked},
    };
    for (const auto& row : rows) {
        auto* group = dynamic_cast<UnitTestGroup*>(manager.unitTests.at(row.index).get());
        ASSERT_TRUE(group && group->children.size() == 2u) << row.index;
        auto* first = dynamic_cast<PowerSourceUnitTest*>(group->children[0].get());
        auto* second = dynamic_cast<PowerSourceUnitTest*>(group->children[1].get());
        ASSERT_TRUE(first && second) << row.index;
        EXPECT_EQ(first->instructions.toStdString(), row.stages1To4);
        EXPECT_EQ(second->instructions.toStdString(), row.stages1To4 + row.stage5);
        EXPECT_EQ(first->promptText.toStdString(), row.prompt);
        EXPECT_EQ(second->promptText.toStdString(), row.prompt);
    }
}

TEST_F(TestPlan, BatteryTests)
{
    const std::string plug = "1. Plug in a bench power supply set to *12V* to the *4-Pin* DC Connector J2\n2. Connect a ";
    const struct { size_t index; std::string instructions; bool fuelGauge; } rows[] = {
        {15, plug + "\"V\" Type Plate\n3. Fit a Charged Battery\n4. Set to *I2C* protocol", false},
        {16, plug + "\"V\" Type Plate\n3. Fit a Charged Battery\n4. Set to *SMB* protocol", false},
        {17, plug + "\"G\" Type Plate\n3. Fit a Charged Battery", true},
    };
    for (const auto& row : rows) {
        auto* test = dynamic_cast<BatteryProtocolUnitTest*>(manager.unitTests.at(row.index).get());
        ASSERT_NE(test, nullptr) << row.index;
        EXPECT_EQ(test->instructions.toStdString(), row.instructions);
        EXPECT_EQ(test->promptText, "\nPress Y to continue, (S)kip this Test or (M)enu, (D)ebug, (Q)uit: ");
        EXPECT_EQ(test->checkFuelGauge, row.fuelGauge);
    }
}

} // namespace
