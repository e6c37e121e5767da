#include "app/TestPlan.h"

#include "app/TestManager.h"
#include "app/UnitTestGroup.h"
#include "boardtests/BatteryProtocolUnitTest.h"
#include "boardtests/PowerSourceUnitTest.h"
#include "boardtests/SysVoltageAndLEDTest.h"

#include <memory>

namespace {

// Power-source masks as the board reports them.
constexpr int acdcInput = 1;    // J1
constexpr int dcInput = 2;      // J2
constexpr int batteryInput = 4; // J3

// Battery interfaces as the board reports them.
constexpr int singleWire = 1;
constexpr int smb = 2;
constexpr int i2c = 3;

// Expected system voltages in mV: a supply at 11.6 V or at 16.4 V feeding the host.
constexpr int lowSupplyMv = 11600;
constexpr int highSupplyMv = 16400;

const char* const batteryPrompt = "\nPress Y to continue, (S)kip this Test or (M)enu, (D)ebug, (Q)uit: ";
const char* const markedUpPrompt = "\nPress *Y* to continue or (*M*)enu, (*D*)ebug, (*Q*)uit: ";
const char* const plainPrompt = "\nPress Y to continue or (M)enu, (D)ebug, (Q)uit: ";

const char* const acdcConnector = "*6-Pin* ACDC Connector J1";
const char* const dcConnector = "*4-Pin* DC Connector J2";
const char* const battConnector = "*2-Pin* Batt Connector J3";

struct Stage {
    int sources;
    int systemVoltage;
};

struct ThresholdCheck {
    const char* titleTemplate;       // %1 source name
    const char* instructionTemplate; // %1 first connector, %2 second connector
    const char* step5Template;       // %1 first connector
    const char* prompt;
};

void addThresholdGroup(TestManager& manager, const ThresholdCheck& check, const QString& firstConnector,
                       const QString& sourceName, const QString& secondConnector, Stage stages1To4,
                       Stage stage5)
{
    const QString groupTitle = QString(check.titleTemplate).arg(sourceName);
    const QString baseInstructions = QString(check.instructionTemplate).arg(firstConnector, secondConnector);
    const QString stage5Instructions = baseInstructions + QString(check.step5Template).arg(firstConnector);

    auto group = std::make_shared<UnitTestGroup>(groupTitle);
    group->addUnitTest(std::make_shared<PowerSourceUnitTest>(groupTitle + " - Stages 1 to 4", baseInstructions,
                                                             check.prompt, stages1To4.sources,
                                                             stages1To4.systemVoltage));
    group->addUnitTest(std::make_shared<PowerSourceUnitTest>(groupTitle + " - Stage 5", stage5Instructions,
                                                             check.prompt, stage5.sources, stage5.systemVoltage));
    manager.addUnitTest(group);
}

const ThresholdCheck falling10V4{
    "%1 Falling 10V4 Threshold Check with Max Load TR250",
    "   (Active Power Source: *{APS}* at *{SV}V*)\n\n"
    "1. Ensure the TR417 is supplying power to the TR250\n"
    "2. Ensure PRBS, MIG and Stress tests are running at maximum load\n"
    "3. Connect a Bench Supply at {AL} %1\n"
    "4. Connect a Bench Supply at {AL} %2\n",
    "5. Reduce the supply of %1 to {IL}\n",
    markedUpPrompt,
};

const ThresholdCheck rising10V7{
    "%1 Rising 10V7 Threshold Check with Max Load TR250",
    "   (Active Power Source: *{APS}* at *{SV}V*)\n\n"
    "1. Ensure the TR417 is supplying power to the TR250\n"
    "2. Ensure PRBS, MIG and Stress tests are running at maximum load\n"
    "3. Connect a Bench Supply at {AH} on %2\n"
    "4. Connect a Bench Supply at {IL} on %1\n",
    "5. Increase the supply of %1 to {AL}\n",
    plainPrompt,
};

const ThresholdCheck rising17V8{
    "%1 Rising 17V8 Threshold Check with Max Load TR250",
    "   (Active Power Source: *{APS}* at *{SV}V*)\n\n"
    "1. Ensure the TR417 is supplying power to the TR250\n"
    "2. Ensure PRBS, MIG and Stress tests are running at a constant maximum load\n"
    "3. Connect a Bench Supply at {AH} on %2\n"
    "4. Connect a Bench Supply at {AH} on %1\n",
    "5. Increase the supply of %1 to {IH}\n",
    plainPrompt,
};

const ThresholdCheck falling17V3{
    "%1 Falling 17V3 Threshold Check with Max Load TR250",
    "   (Active Power Source: *{APS}* at *{SV}V*)\n\n"
    "1. Ensure the TR417 is supplying power to the TR250\n"
    "2. Ensure PRBS, MIG and Stress tests are running at maximum load\n"
    "3. Connect a Bench Supply at {AL} %2\n"
    "4. Connect a Bench Supply at {IH} %1\n",
    "5. Reduce the supply of %1 to {AH}\n",
    markedUpPrompt,
};

void addBatteryTest(TestManager& manager, const char* title, const char* instructions, int expectedInterface,
                    bool checkFuelGauge)
{
    manager.addUnitTest(std::make_shared<BatteryProtocolUnitTest>(title, instructions, batteryPrompt,
                                                                  expectedInterface, checkFuelGauge));
}

} // namespace

void addFalling10V4Group(TestManager& manager, const QString& firstConnector, const QString& sourceName,
                         const QString& secondConnector, int firstSource, int secondSource)
{
    addThresholdGroup(manager, falling10V4, firstConnector, sourceName, secondConnector,
                      {firstSource | secondSource, lowSupplyMv}, {secondSource, lowSupplyMv});
}

void addRising10V7Group(TestManager& manager, const QString& firstConnector, const QString& sourceName,
                        const QString& secondConnector, int firstSource, int secondSource,
                        bool firstSourceSupplies)
{
    addThresholdGroup(manager, rising10V7, firstConnector, sourceName, secondConnector,
                      {secondSource, highSupplyMv},
                      {firstSource | secondSource, firstSourceSupplies ? lowSupplyMv : highSupplyMv});
}

void addRising17V8Group(TestManager& manager, const QString& firstConnector, const QString& sourceName,
                        const QString& secondConnector, int firstSource, int secondSource)
{
    addThresholdGroup(manager, rising17V8, firstConnector, sourceName, secondConnector,
                      {firstSource | secondSource, highSupplyMv}, {secondSource, highSupplyMv});
}

void addFalling17V3Group(TestManager& manager, const QString& firstConnector, const QString& sourceName,
                         const QString& secondConnector, int firstSource, int secondSource,
                         bool firstSourceSupplies)
{
    addThresholdGroup(manager, falling17V3, firstConnector, sourceName, secondConnector,
                      {secondSource, lowSupplyMv},
                      {firstSource | secondSource, firstSourceSupplies ? highSupplyMv : lowSupplyMv});
}

void populateTests(TestManager& manager)
{
    manager.addUnitTest(std::make_shared<SysVoltageAndLEDTest>(
        "ACDC Input and LED Test", "LED D7 *On*, LED D8 *Off*, LED D9 *Off*", acdcConnector, acdcInput));
    manager.addUnitTest(std::make_shared<SysVoltageAndLEDTest>(
        "DC Input and LED Test", "LED D7 *Off*, LED D8 *On*, LED D9 *Off*", dcConnector, dcInput));

    addFalling10V4Group(manager, acdcConnector, "ACDC", dcConnector, acdcInput, dcInput);
    addRising10V7Group(manager, acdcConnector, "ACDC", dcConnector, acdcInput, dcInput, true);
    addRising17V8Group(manager, acdcConnector, "ACDC", dcConnector, acdcInput, dcInput);
    addFalling17V3Group(manager, acdcConnector, "ACDC", dcConnector, acdcInput, dcInput, true);

    // This one names the battery connector BAT, the groups below Batt.
    manager.addUnitTest(std::make_shared<SysVoltageAndLEDTest>(
        "BAT Input and Test", "LED D7 *Off*, LED D8 *Off*, LED D9 *On*", "*2-Pin* BAT Connector J3", batteryInput));

    addFalling10V4Group(manager, dcConnector, "DC", battConnector, dcInput, batteryInput);
    addRising10V7Group(manager, dcConnector, "DC", battConnector, dcInput, batteryInput, true);
    addRising17V8Group(manager, dcConnector, "DC", battConnector, dcInput, batteryInput);
    addFalling17V3Group(manager, dcConnector, "DC", battConnector, dcInput, batteryInput, true);

    addFalling10V4Group(manager, battConnector, "Batt", dcConnector, batteryInput, dcInput);
    addRising10V7Group(manager, battConnector, "Batt", dcConnector, batteryInput, dcInput, false);
    addRising17V8Group(manager, battConnector, "Batt", dcConnector, batteryInput, dcInput);
    addFalling17V3Group(manager, battConnector, "Batt", dcConnector, batteryInput, dcInput, false);

    addBatteryTest(manager, "Battery V Plate I2C Protocol Tests",
                   "1. Plug in a bench power supply set to *12V* to the *4-Pin* DC Connector J2\n"
                   "2. Connect a \"V\" Type Plate\n"
                   "3. Fit a Charged Battery\n"
                   "4. Set to *I2C* protocol",
                   i2c, false);
    addBatteryTest(manager, "Battery V Plate SMB Protocol Tests",
                   "1. Plug in a bench power supply set to *12V* to the *4-Pin* DC Connector J2\n"
                   "2. Connect a \"V\" Type Plate\n"
                   "3. Fit a Charged Battery\n"
                   "4. Set to *SMB* protocol",
                   smb, false);
    addBatteryTest(manager, "Battery G Plate Single Wire Protocol/ Analog Fuel Gauge Tests",
                   "1. Plug in a bench power supply set to *12V* to the *4-Pin* DC Connector J2\n"
                   "2. Connect a \"G\" Type Plate\n"
                   "3. Fit a Charged Battery",
                   singleWire, true);
}
